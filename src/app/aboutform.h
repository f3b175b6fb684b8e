#pragma once

#include <QWidget>

namespace lumetrix {

// The about box: stays on top; a click on it, Escape, or closing it, hides it and gives the
// main window back.
class TAboutForm : public QWidget {
    Q_OBJECT
public:
    TAboutForm();

signals:
    void lockReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

} // namespace lumetrix
