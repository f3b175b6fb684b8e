#pragma once

#include "pages/pageform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>

class QPlainTextEdit;
class QProgressBar;

namespace lumetrix {

// A line of the kernel's standard output: "progress I N" after wavelength I of N, anything
// else report text for the Process window.
struct KernelLine {
    bool isProgress = false;
    int done = 0;
    int total = 0;
    QString text; // the line without its line end
};
KernelLine parseKernelLine(const QString& line);

// One run of the kernel: `lumetrix-kernel INPUT.dat` in a child process, its output read line
// by line. Every start ends with `ended`, also a start that fails at once.
class KernelRun : public QObject {
    Q_OBJECT
public:
    enum class End { Completed, Failed, Stopped };

    explicit KernelRun(QObject* parent = nullptr);
    ~KernelRun() override; // a run still going is killed

    bool running() const { return m_process != nullptr; }
    void start(const QString& program, const QString& inputFile, const QString& workDir);
    // Kills the run; it ends as stopped.
    void stop();

signals:
    void reportLine(const QString& text);
    void progress(int done, int total);
    // Failed: `message` is what the kernel wrote on standard error, or why it did not run.
    void ended(lumetrix::KernelRun::End end, const QString& message);

private:
    void readOutput();
    void readErrors();
    void takeLine(const QByteArray& bytes);
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void processError(QProcess::ProcessError error);
    void finish(End end, const QString& message);

    QProcess* m_process = nullptr;
    QString m_program;
    QByteArray m_errors;
    bool m_stopping = false;
};

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
