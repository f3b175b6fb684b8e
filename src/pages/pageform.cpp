#include "pages/pageform.h"

#include "pages/pagehost.h"

#include <QAbstractButton>
#include <QMouseEvent>

namespace lumetrix {

TPageForm::TPageForm(PageHost& host, Page page, QWidget* parent)
    : QWidget(parent), Tag(page), m_host(host) {
    setAutoFillBackground(true);
    hide();
}

void TPageForm::mousePressEvent(QMouseEvent* event) {
    m_host.PremakniFocus();
    QWidget::mousePressEvent(event);
}

void TPageForm::parkFocusOnClick(QWidget* panel) {
    panel->installEventFilter(this);
    panel->setProperty("parksFocus", true);
}

bool TPageForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched->property("parksFocus").toBool())
        m_host.PremakniFocus();
    return QWidget::eventFilter(watched, event);
}

void TPageForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void onChecked(QAbstractButton* button, QObject* context, const std::function<void()>& handler) {
    QObject::connect(button, &QAbstractButton::toggled, context, [handler](bool checked) {
        if (checked)
            handler();
    });
}

bool TPageForm::advanced() const {
    return m_host.advancedFlag(Tag);
}

} // namespace lumetrix
