#include "controls/wheel_rule.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace lumetrix {
namespace {

class WheelRule : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return false;
        event->ignore(); // the application hands an ignored turn on to the parent
        return true;
    }
};

QObject* wheelRule() {
    static QPointer<WheelRule> rule;
    if (!rule)
        rule = new WheelRule(QCoreApplication::instance());
    return rule;
}

} // namespace

void applyWheelRule(QWidget* control) {
    if ((control->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus)
        control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(wheelRule());
}

} // namespace lumetrix
