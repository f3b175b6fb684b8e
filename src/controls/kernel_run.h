#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

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

// One run of the kernel in a child process (a simulation, `lumetrix-kernel INPUT.dat`, or a tool's
// computation), its output read line by line: RUN and the optimisation window both drive the
// kernel through it, with one cap on what is kept of standard error and one set of messages.
// Every start ends with `ended`, also a start that fails at once.
class KernelRun : public QObject {
    Q_OBJECT
public:
    enum class End { Completed, Failed, Stopped };

    explicit KernelRun(QObject* parent = nullptr);
    ~KernelRun() override; // a run still going is killed

    bool running() const { return m_process != nullptr; }
    void start(const QString& program, const QStringList& arguments, const QString& workDir);
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

} // namespace lumetrix
