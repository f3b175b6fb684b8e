#pragma once

class QWidget;

namespace lumetrix {

// The one rule of the mouse wheel over a value control (combo box, numeric edit, spin edit):
// the wheel may change the value only of the control that has the keyboard focus, and it
// never gives the focus. Over any other value control a turn goes on to the parents, so the
// scroll area that holds the control scrolls. Each value control applies it when it is made.
void applyWheelRule(QWidget* control);

} // namespace lumetrix
