#include "controls/pbspinedit.h"

#include "controls/platform_hooks.h"
#include "controls/wheel_rule.h"

#include <QKeyEvent>

namespace lumetrix {

TPBSpinEdit::TPBSpinEdit(QWidget* parent) : QSpinBox(parent) {
    applyWheelRule(this);
}

void TPBSpinEdit::setIncrement(int increment) {
    m_increment = increment;
    if (increment != 0)
        setSingleStep(increment);
}

void TPBSpinEdit::stepBy(int steps) {
    if (m_increment == 0)
        return;
    QSpinBox::stepBy(steps);
}

QAbstractSpinBox::StepEnabled TPBSpinEdit::stepEnabled() const {
    // The buttons stay live with Increment 0; a click simply does not step.
    return m_increment == 0 ? (StepUpEnabled | StepDownEnabled) : QSpinBox::stepEnabled();
}

void TPBSpinEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        hooks::beep();
        event->accept();
        return;
    default:
        QSpinBox::keyPressEvent(event);
    }
}

} // namespace lumetrix
