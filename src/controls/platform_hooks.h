#pragma once

#include <QString>
#include <Qt>
#include <functional>

// Services of the desktop that tests replace: the beep, the keyboard state, and the notices
// that the main window shows in its status bar.
namespace lumetrix::hooks {

void beep();
// Replaces the beep (nullptr restores the system's); returns the previous hook.
std::function<void()> setBeep(std::function<void()> hook);

// The modifier keys held down now.
Qt::KeyboardModifiers keyboardModifiers();
std::function<Qt::KeyboardModifiers()>
setKeyboardModifiers(std::function<Qt::KeyboardModifiers()> hook);

// A short notice for the user (a typed value that was changed); nothing without a hook.
void notice(const QString& text);
std::function<void(const QString&)> setNotice(std::function<void(const QString&)> hook);

} // namespace lumetrix::hooks
