#include "app/processform.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QVBoxLayout>

namespace lumetrix {

TProcessForm::TProcessForm(PageHost& host, QWidget* parent)
    : TPageForm(host, Page::Process, parent) {
    setObjectName(QStringLiteral("ProcessForm"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    ProcessInfoMemo = new QPlainTextEdit(this);
    ProcessInfoMemo->setObjectName(QStringLiteral("ProcessInfoMemo"));
    ProcessInfoMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ProcessInfoMemo->setReadOnly(true);
    layout->addWidget(ProcessInfoMemo);
    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setFormat(QStringLiteral("Wavelength %v of %m"));
    pbProgress->hide();
    layout->addWidget(pbProgress);
}

void TProcessForm::runStarted(const QString& program, const QString& inputFile) {
    m_clock.start();
    if (!ProcessInfoMemo->document()->isEmpty())
        ProcessInfoMemo->appendPlainText(QString());
    ProcessInfoMemo->appendPlainText(QStringLiteral("Run: %1 \"%2\"").arg(program, inputFile));
    pbProgress->setRange(0, 0); // busy until the kernel tells the number of wavelengths
    pbProgress->setValue(0);
    pbProgress->setFormat(QStringLiteral("Starting ..."));
    pbProgress->show();
}

void TProcessForm::addReport(const QString& text) {
    ProcessInfoMemo->appendPlainText(text);
}

void TProcessForm::setProgress(int done, int total) {
    pbProgress->setFormat(QStringLiteral("Wavelength %v of %m"));
    pbProgress->setRange(0, total);
    pbProgress->setValue(done);
    pbProgress->show();
}

void TProcessForm::runEnded(KernelRun::End end, const QString& message) {
    const bool told = pbProgress->maximum() > 0; // the kernel told how far it got
    if (!told)
        pbProgress->setRange(0, 1);
    switch (end) {
    case KernelRun::End::Completed:
        ProcessInfoMemo->appendPlainText(
            QStringLiteral("Completed in %1 s.").arg(double(m_clock.elapsed()) / 1000, 0, 'f', 1));
        pbProgress->setFormat(QStringLiteral("Completed"));
        break;
    case KernelRun::End::Stopped:
        ProcessInfoMemo->appendPlainText(QStringLiteral("The run was stopped."));
        pbProgress->setFormat(told ? QStringLiteral("Stopped at wavelength %v of %m")
                                   : QStringLiteral("Stopped"));
        break;
    case KernelRun::End::Failed:
        ProcessInfoMemo->appendPlainText(QStringLiteral("The run failed: ") + message);
        pbProgress->setFormat(QStringLiteral("Failed"));
        break;
    }
}

void TProcessForm::clearRun() {
    ProcessInfoMemo->clear();
    pbProgress->hide();
}

} // namespace lumetrix
