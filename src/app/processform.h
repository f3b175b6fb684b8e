#pragma once

#include "controls/kernel_run.h"
#include "pages/pageform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>

class QPlainTextEdit;
class QProgressBar;

namespace lumetrix {

// The Process window page: the kernel's report, and the progress of the run.
class TProcessForm : public TPageForm {
    Q_OBJECT
public:
    TProcessForm(PageHost& host, QWidget* parent);

    QPlainTextEdit* ProcessInfoMemo = nullptr;
    QProgressBar* pbProgress = nullptr; // shown from the first run on

    // A run begins: its command goes into the report, the progress starts at zero.
    void runStarted(const QString& program, const QString& inputFile);
    void addReport(const QString& text);
    void setProgress(int done, int total);
    // A run has ended; the elapsed time goes with a completed run.
    void runEnded(KernelRun::End end, const QString& message);
    // A new project: no report, no progress.
    void clearRun();

private:
    QElapsedTimer m_clock;
};

} // namespace lumetrix
