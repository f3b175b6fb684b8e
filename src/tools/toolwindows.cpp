#include "tools/toolwindows.h"

#include <QCloseEvent>

namespace lumetrix {

TToolWindow::TToolWindow(const QString& title, bool locksMainWindow, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), m_locksMainWindow(locksMainWindow) {
    setWindowTitle(title);
    resize(640, 480);
}

void TToolWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_locksMainWindow)
        emit lockReleased();
}

} // namespace lumetrix
