#include "controls/platform_hooks.h"

#include <QApplication>
#include <QGuiApplication>

namespace lumetrix::hooks {
namespace {
std::function<void()> g_beep;
std::function<Qt::KeyboardModifiers()> g_modifiers;
std::function<void(const QString&)> g_notice;
} // namespace

void beep() {
    if (g_beep)
        g_beep();
    else
        QApplication::beep();
}

std::function<void()> setBeep(std::function<void()> hook) {
    return std::exchange(g_beep, std::move(hook));
}

Qt::KeyboardModifiers keyboardModifiers() {
    return g_modifiers ? g_modifiers() : QGuiApplication::queryKeyboardModifiers();
}

std::function<Qt::KeyboardModifiers()>
setKeyboardModifiers(std::function<Qt::KeyboardModifiers()> hook) {
    return std::exchange(g_modifiers, std::move(hook));
}

void notice(const QString& text) {
    if (g_notice)
        g_notice(text);
}

std::function<void(const QString&)> setNotice(std::function<void(const QString&)> hook) {
    return std::exchange(g_notice, std::move(hook));
}

} // namespace lumetrix::hooks
