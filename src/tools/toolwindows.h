#pragma once

#include <QWidget>

namespace lumetrix {

// A tool window of the Tools menu. A locking one gives the main window back when it closes.
class TToolWindow : public QWidget {
    Q_OBJECT
public:
    TToolWindow(const QString& title, bool locksMainWindow);

signals:
    // A locking window has closed: the main window is given back.
    void lockReleased();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_locksMainWindow;
};

// The cR_cT transform window.
class TcR_cT_Form : public TToolWindow {
    Q_OBJECT
public:
    TcR_cT_Form();
};

// The LPIF calculation window.
class TLPIF_Form : public TToolWindow {
    Q_OBJECT
public:
    TLPIF_Form();
};

} // namespace lumetrix
