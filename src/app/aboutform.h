#pragma once

#include <QWidget>

namespace lumetrix {

class Forms;

// The about box: stays on top; a click on it, or closing it, hides it and gives the main
// window back.
class TAboutForm : public QWidget {
    Q_OBJECT
public:
    explicit TAboutForm(Forms& forms);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Forms& m_forms;
};

} // namespace lumetrix
