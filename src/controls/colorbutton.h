#pragma once

#include <QColor>
#include <QPushButton>

namespace lumetrix {

// The colours of a flat coloured button; an invalid colour means "none".
struct ButtonLook {
    QColor color;
    QColor pressedColor;
    QColor hoverColor;
    QColor textColor = Qt::black;
    QColor pressedTextColor; // the text on the pressed colour; none: the text colour
    QColor lightEdge;
    QColor shadowEdge;
    bool down = false; // shown pressed
};

// A flat button with colour, pressed and hover colours. As a side button it is one of an
// exclusive group whose pressed state only the program sets.
class TLbSpeedButton : public QPushButton {
    Q_OBJECT
public:
    explicit TLbSpeedButton(const QString& caption, QWidget* parent = nullptr);

    int Tag = 0;

    void setLook(const ButtonLook& look);
    const ButtonLook& look() const { return m_look; }

protected:
    // A click never changes the pressed state by itself.
    void nextCheckState() override {}

private:
    ButtonLook m_look;
};

// The look of a button that shows an on/off state or the chosen view: pressed ("on") or
// released.
ButtonLook switchLook(bool on);

// A light command button of a page (ADD, REMOVE): 100 by 26, never shown pressed.
TLbSpeedButton* commandButton(const QString& caption, const QString& name, QWidget* parent);

} // namespace lumetrix
