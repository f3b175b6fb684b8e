#include "controls/kernel_run.h"

#include <QRegularExpression>

namespace lumetrix {

namespace {

// Standard error beyond this is not kept: the message is its first lines.
constexpr qsizetype kMaxErrorBytes = 64 * 1024;

} // namespace

KernelLine parseKernelLine(const QString& line) {
    KernelLine parsed;
    parsed.text = line;
    while (parsed.text.endsWith(QLatin1Char('\n')) || parsed.text.endsWith(QLatin1Char('\r')))
        parsed.text.chop(1);
    static const QRegularExpression progress(QStringLiteral("^progress (\\d{1,9}) (\\d{1,9})$"));
    const QRegularExpressionMatch match = progress.match(parsed.text);
    if (!match.hasMatch())
        return parsed;
    const int done = match.captured(1).toInt();
    const int total = match.captured(2).toInt();
    if (total < 1 || done > total)
        return parsed; // not a step of a run: shown as it came
    parsed.isProgress = true;
    parsed.done = done;
    parsed.total = total;
    return parsed;
}

KernelRun::KernelRun(QObject* parent) : QObject(parent) {}

KernelRun::~KernelRun() {
    if (!m_process)
        return;
    m_process->disconnect(this);
    m_process->kill();
    m_process->waitForFinished(3000);
}

void KernelRun::start(const QString& program, const QStringList& arguments,
                      const QString& workDir) {
    if (m_process)
        return;
    m_program = program;
    m_errors.clear();
    m_stopping = false;
    m_process = new QProcess(this);
    m_process->setProgram(program);
    m_process->setArguments(arguments);
    m_process->setWorkingDirectory(workDir);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &KernelRun::readOutput);
    connect(m_process, &QProcess::readyReadStandardError, this, &KernelRun::readErrors);
    connect(m_process, &QProcess::finished, this, &KernelRun::processFinished);
    connect(m_process, &QProcess::errorOccurred, this, &KernelRun::processError);
    m_process->start(QIODevice::ReadOnly);
}

void KernelRun::stop() {
    if (!m_process)
        return;
    m_stopping = true;
    m_process->kill();
}

void KernelRun::readOutput() {
    while (m_process && m_process->canReadLine())
        takeLine(m_process->readLine());
}

void KernelRun::readErrors() {
    const QByteArray bytes = m_process->readAllStandardError();
    if (m_errors.size() < kMaxErrorBytes)
        m_errors += bytes.left(kMaxErrorBytes - m_errors.size());
}

void KernelRun::takeLine(const QByteArray& bytes) {
    const KernelLine line = parseKernelLine(QString::fromUtf8(bytes));
    if (line.isProgress)
        emit progress(line.done, line.total);
    else
        emit reportLine(line.text);
}

void KernelRun::processFinished(int exitCode, QProcess::ExitStatus status) {
    readOutput();
    if (m_process->bytesAvailable() > 0) // a last line without its line end
        takeLine(m_process->readAll());
    readErrors();
    const QString errors = QString::fromUtf8(m_errors).trimmed();
    if (m_stopping)
        finish(End::Stopped, {});
    else if (status == QProcess::CrashExit)
        finish(End::Failed, QStringLiteral("The simulation kernel stopped unexpectedly.") +
                                (errors.isEmpty() ? QString() : "\n" + errors));
    else if (exitCode != 0)
        finish(End::Failed, !errors.isEmpty()
                                ? errors
                                : QStringLiteral("The simulation kernel ended with exit code %1 "
                                                 "and gave no reason.")
                                      .arg(exitCode));
    else
        finish(End::Completed, {});
}

void KernelRun::processError(QProcess::ProcessError error) {
    // A run that started ends through `finished`, a crash included.
    if (error != QProcess::FailedToStart)
        return;
    finish(End::Failed, QStringLiteral("The simulation kernel \"%1\" cannot be started: %2")
                            .arg(m_program, m_process->errorString()));
}

void KernelRun::finish(End end, const QString& message) {
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    emit ended(end, message);
}

} // namespace lumetrix
