#pragma once

#include <Qt>
#include <functional>

// Services of the desktop that tests replace: the beep and the keyboard state.
namespace lumetrix::hooks {

void beep();
// Replaces the beep (nullptr restores the system's); returns the previous hook.
std::function<void()> setBeep(std::function<void()> hook);

// The modifier keys held down now.
Qt::KeyboardModifiers keyboardModifiers();
std::function<Qt::KeyboardModifiers()>
setKeyboardModifiers(std::function<Qt::KeyboardModifiers()> hook);

} // namespace lumetrix::hooks
