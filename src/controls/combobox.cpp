#include "controls/combobox.h"

#include "controls/wheel_rule.h"

#include <QAbstractItemView>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

namespace lumetrix {

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    applyWheelRule(this);
}

int TComboBox::dropDownWidth() const {
    const QFontMetrics metrics(view()->font());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
    int width = widest + 8;
    if (count() > maxVisibleItems())
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return std::max(width, this->width());
}

void TComboBox::showPopup() {
    view()->setMinimumWidth(dropDownWidth());
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    const QScreen* screen = this->screen();
    if (!popup || !screen)
        return;
    const int screenRight = screen->availableGeometry().right();
    if (popup->geometry().right() > screenRight) {
        const int boxRight = mapToGlobal(QPoint(width(), 0)).x();
        popup->move(boxRight - popup->width(), popup->y());
    }
}

void selectFirstItem(QComboBox* box) {
    if (box->count() > 0) {
        box->setCurrentIndex(0);
        return;
    }
    box->setCurrentIndex(-1);
    if (box->isEditable())
        box->setEditText(QString());
}

} // namespace lumetrix
