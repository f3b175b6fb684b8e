#include "toolwindows.h"

#include "forms.h"
#include "mainform.h"

#include <QCloseEvent>

namespace lumetrix {

TToolWindow::TToolWindow(Forms& forms, const QString& title, bool locksMainWindow)
    : QWidget(nullptr, Qt::Window), m_forms(forms), m_locksMainWindow(locksMainWindow) {
    setWindowTitle(title);
    resize(640, 480);
}

void TToolWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_locksMainWindow)
        m_forms.MainForm->toolWindowClosed();
}

TcR_cT_Form::TcR_cT_Form(Forms& forms)
    : TToolWindow(forms, QStringLiteral("cR_cT transform"), true) {
    setObjectName(QStringLiteral("cR_cT_Form"));
}

TLPIF_Form::TLPIF_Form(Forms& forms)
    : TToolWindow(forms, QStringLiteral("LPIF calculation"), true) {
    setObjectName(QStringLiteral("LPIF_Form"));
}

TLXOpt_Form::TLXOpt_Form(Forms& forms) : TToolWindow(forms, QStringLiteral("Optimisation"), false) {
    setObjectName(QStringLiteral("LXOpt_Form"));
}

} // namespace lumetrix
