#pragma once

#include <QWidget>

namespace lumetrix {

class Forms;

// A tool window of the Tools menu. A locking one gives the main window back when it closes.
class TToolWindow : public QWidget {
    Q_OBJECT
public:
    TToolWindow(Forms& forms, const QString& title, bool locksMainWindow);

protected:
    void closeEvent(QCloseEvent* event) override;

    Forms& m_forms;

private:
    bool m_locksMainWindow;
};

// The cR_cT transform window.
class TcR_cT_Form : public TToolWindow {
    Q_OBJECT
public:
    explicit TcR_cT_Form(Forms& forms);
};

// The LPIF calculation window.
class TLPIF_Form : public TToolWindow {
    Q_OBJECT
public:
    explicit TLPIF_Form(Forms& forms);
};

// The optimisation window; it does not lock the main window.
class TLXOpt_Form : public TToolWindow {
    Q_OBJECT
public:
    explicit TLXOpt_Form(Forms& forms);
};

} // namespace lumetrix
