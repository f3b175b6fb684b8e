#include "tools/toolwindows.h"

#include <QCloseEvent>

namespace lumetrix {

TToolWindow::TToolWindow(const QString& title, bool locksMainWindow)
    : QWidget(nullptr, Qt::Window), m_locksMainWindow(locksMainWindow) {
    setWindowTitle(title);
    resize(640, 480);
}

void TToolWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_locksMainWindow)
        emit lockReleased();
}

TcR_cT_Form::TcR_cT_Form() : TToolWindow(QStringLiteral("cR_cT transform"), true) {
    setObjectName(QStringLiteral("cR_cT_Form"));
}

TLPIF_Form::TLPIF_Form() : TToolWindow(QStringLiteral("LPIF calculation"), true) {
    setObjectName(QStringLiteral("LPIF_Form"));
}

} // namespace lumetrix
