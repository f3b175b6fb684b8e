#include "controls/colorbutton.h"

namespace lumetrix {
namespace {

QString css(const QColor& c) {
    return c.name(QColor::HexRgb);
}

} // namespace

TLbSpeedButton::TLbSpeedButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setCheckable(true);
    setFlat(true);
}

void TLbSpeedButton::setLook(const ButtonLook& look) {
    m_look = look;
    setChecked(look.down);
    QString sheet = QStringLiteral("QPushButton { background-color: %1; color: %2; ")
                        .arg(css(look.color), css(look.textColor));
    if (look.lightEdge.isValid() && look.shadowEdge.isValid()) {
        sheet += QStringLiteral("border-style: solid; border-width: 2px; border-top-color: %1; "
                                "border-left-color: %1; border-bottom-color: %2; "
                                "border-right-color: %2; }")
                     .arg(css(look.down ? look.shadowEdge : look.lightEdge),
                          css(look.down ? look.lightEdge : look.shadowEdge));
    } else {
        sheet += QStringLiteral("border: none; }");
    }
    if (look.hoverColor.isValid())
        sheet +=
            QStringLiteral("QPushButton:hover { background-color: %1; }").arg(css(look.hoverColor));
    if (look.pressedColor.isValid())
        sheet +=
            QStringLiteral("QPushButton:pressed, QPushButton:checked { background-color: %1; "
                           "color: %2; }")
                .arg(css(look.pressedColor),
                     css(look.pressedTextColor.isValid() ? look.pressedTextColor : look.textColor));
    setStyleSheet(sheet);
}

// The text colours are chosen for a contrast of at least 4.5:1 in every state: navy on the
// light "on" colour (10.6:1), black on the "off" and hover colours (8.5:1, 11.3:1), white on
// the pressed colour (5.9:1).
ButtonLook switchLook(bool on) {
    ButtonLook look;
    if (on) {
        look.color = QColor(208, 224, 244);
        look.lightEdge = QColor(41, 101, 173);
        look.shadowEdge = Qt::white;
        look.textColor = QColor(10, 36, 106);
        look.down = true;
    } else {
        look.color = QColor(122, 168, 224);
        look.pressedColor = QColor(41, 101, 173);
        look.hoverColor = QColor(160, 193, 233);
        look.lightEdge = Qt::white;
        look.shadowEdge = QColor(192, 192, 192);
        look.textColor = Qt::black;
        look.pressedTextColor = Qt::white;
    }
    return look;
}

TLbSpeedButton* commandButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new TLbSpeedButton(caption, parent);
    button->setObjectName(name);
    button->setCheckable(false);
    ButtonLook look;
    look.color = QColor(122, 168, 224);
    look.pressedColor = QColor(41, 101, 173);
    look.hoverColor = QColor(160, 193, 233);
    look.pressedTextColor = Qt::white;
    button->setLook(look);
    button->setFixedSize(100, 26);
    return button;
}

} // namespace lumetrix
