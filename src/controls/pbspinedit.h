#pragma once

#include <QSpinBox>

namespace lumetrix {

// An integer edit with up and down buttons. With Increment 0 the buttons do not step;
// Enter and Escape are refused with a beep.
class TPBSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TPBSpinEdit(QWidget* parent = nullptr);

    int Increment() const { return m_increment; }
    void setIncrement(int increment);

    void stepBy(int steps) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    StepEnabled stepEnabled() const override;

private:
    int m_increment = 1;
};

} // namespace lumetrix
