#include "tools/toolwindows.h"

#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "controls/userdialogs.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/listing.h"
#include "kernel/tools.h"
#include "pages/pagehost.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace lumetrix {
namespace {

const QString kBrowse = QStringLiteral("Browse...");
const QString kBrowseCaption = QStringLiteral("Please select directory...");
constexpr int kBoxWidth = 220;

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::string toStd(const QString& text) {
    return text.trimmed().toStdString();
}

// The nk file of a layer named in a list: the list names layers with or without ".nk".
std::string nkFile(const QString& folder, const QString& layer) {
    QString name = layer.trimmed();
    if (!name.endsWith(QLatin1String(".nk"), Qt::CaseInsensitive))
        name += QLatin1String(".nk");
    return joinPath(toStd(folder), name.toStdString());
}

QString number(double value) {
    return QString::number(value, 'g', 10);
}

// A caption above its control, and the control's row with an optional button.
void addSetting(QVBoxLayout* column, const QString& caption, QWidget* control,
                QPushButton* button = nullptr, bool stretch = true) {
    auto* label = new QLabel(caption, column->parentWidget());
    label->setBuddy(control);
    auto* row = new QHBoxLayout;
    row->addWidget(control, stretch ? 1 : 0);
    if (button)
        row->addWidget(button);
    if (!stretch)
        row->addStretch(1);
    column->addWidget(label);
    column->addLayout(row);
    column->addSpacing(6);
}

} // namespace

TcR_cT_Form::TcR_cT_Form(PageHost& host)
    : TToolWindow(QStringLiteral("cR_cT transform"), true,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      m_host(host) {
    setObjectName(QStringLiteral("cR_cT_Form"));
    setFixedSize(691, 601);
    fillBackground(this, kDialogColor);

    auto* column = layoutOn<QVBoxLayout>(this, {16, 12, 16, 12}, 2);
    lDescription = named<QLabel>(this, QStringLiteral("lDescription"));
    lDescription->setText(QStringLiteral(
        "The transform generates standard cR or cT input file from measured haze data. For "
        "determination of cR file, haze data for reflected light are used. For determination "
        "of cT file, haze data for transmitted light are required."));
    lDescription->setWordWrap(true);
    lDescription->installEventFilter(this);
    column->addWidget(lDescription);
    column->addSpacing(8);
    column->addWidget(buildKindRow());
    column->addSpacing(6);

    eHazeDataFileName = named<QLineEdit>(this, QStringLiteral("eHazeDataFileName"));
    btHazeData = pushButton(QStringLiteral("Open file"), QStringLiteral("btHazeData"), this);
    addSetting(column, QStringLiteral("Select file with haze data (standart format required):"),
               eHazeDataFileName, btHazeData);
    pbRMS = numEdit(QStringLiteral("pbRMS"), this, {.min = 0, .max = 10000, .value = 50});
    pbRMS->setToolTip(QStringLiteral("Range: 0 .. 10000"));
    addSetting(column, QStringLiteral("Define rms roughness of the interface (nm):"), pbRMS,
               nullptr, false);
    cbIncidentLay = comboBox(QStringLiteral("cbIncidentLay"), this, false, kBoxWidth);
    addSetting(column, QStringLiteral("Define incident layer (nk data):"), cbIncidentLay, nullptr,
               false);
    cbTransLay = comboBox(QStringLiteral("cbTransLay"), this, false, kBoxWidth);
    addSetting(column, QStringLiteral("Define layer in transmission (nk data):"), cbTransLay,
               nullptr, false);
    eNKdir = named<QLineEdit>(this, QStringLiteral("eNKdir"));
    btNKDir = pushButton(kBrowse, QStringLiteral("btNKDir"), this);
    addSetting(column, QStringLiteral("Specify the folder of the nk data:"), eNKdir, btNKDir);
    eFileName = named<QLineEdit>(this, QStringLiteral("eFileName"));
    addSetting(column, QStringLiteral("Specify the name of the cR or cT file (w/o extens.):"),
               eFileName);
    eFileDir = named<QLineEdit>(this, QStringLiteral("eFileDir"));
    btFolder = pushButton(kBrowse, QStringLiteral("btFolder"), this);
    addSetting(column, QStringLiteral("Specify the folder of the cR or cT file:"), eFileDir,
               btFolder);

    auto* bottom = new QHBoxLayout;
    eResultMemo = named<QPlainTextEdit>(this, QStringLiteral("eResultMemo"));
    eResultMemo->setReadOnly(true);
    eResultMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    brRUNTransf = pushButton(QStringLiteral("RUN"), QStringLiteral("brRUNTransf"), this);
    brRUNTransf->setMinimumSize(90, 40);
    bottom->addWidget(eResultMemo, 1);
    bottom->addWidget(brRUNTransf, 0, Qt::AlignBottom);
    column->addLayout(bottom, 1);

    connect(rb_cR, &QRadioButton::toggled, this, &TcR_cT_Form::rb_cRClick);
    connect(btHazeData, &QPushButton::clicked, this, &TcR_cT_Form::btHazeDataClick);
    for (QPushButton* button : {btNKDir, btFolder})
        connect(button, &QPushButton::clicked, this, [this, button] { btFolderClick(button); });
    connect(brRUNTransf, &QPushButton::clicked, this, &TcR_cT_Form::brRUNTransfClick);
    m_host.comboLists().addBinding(
        {[this] {
             return QList<QComboBox*>{cbIncidentLay, cbTransLay};
         },
         [this] { return fromStd(joinPath(m_host.folders().ListDir, "layer.dat")); },
         {}});
    FormCreate();
}

QWidget* TcR_cT_Form::buildKindRow() {
    auto* row = new QWidget(this);
    auto* layout = layoutOn<QHBoxLayout>(row, {0, 0, 0, 0}, 16);
    rb_cR = radio(QStringLiteral("cR"), QStringLiteral("rb_cR"), row);
    rb_cT = radio(QStringLiteral("cT"), QStringLiteral("rb_cT"), row);
    exclusiveGroup(row, {rb_cR, rb_cT});
    layout->addWidget(rb_cR);
    layout->addWidget(rb_cT);
    layout->addSpacing(24);
    layout->addWidget(buildPowerPanel());
    layout->addStretch(1);
    row->setFixedHeight(56); // the same height with and without the power panel
    return row;
}

QWidget* TcR_cT_Form::buildPowerPanel() {
    auto* box = new QGroupBox(QStringLiteral("HT power factor"), this);
    box->setObjectName(QStringLiteral("Panel1"));
    Panel1 = box;
    auto* layout = layoutOn<QHBoxLayout>(box, {8, 2, 8, 2}, 12);
    rbHTfactor2 = radio(QStringLiteral("2"), QStringLiteral("rbHTfactor2"), box);
    rbHTfactor3 = radio(QStringLiteral("3"), QStringLiteral("rbHTfactor3"), box);
    rbHTfactorCustom = radio(QString(), QStringLiteral("rbHTfactorCustom"), box);
    ePowerHT =
        numEdit(QStringLiteral("ePowerHT"), box, {.min = 2, .max = 3, .value = 2.5, .width = 60});
    exclusiveGroup(box, {rbHTfactor2, rbHTfactor3, rbHTfactorCustom});
    rbHTfactor3->setChecked(true);
    layout->addWidget(rbHTfactor2);
    layout->addWidget(rbHTfactor3);
    layout->addWidget(rbHTfactorCustom);
    layout->addWidget(ePowerHT);
    return box;
}

void TcR_cT_Form::FormCreate() {
    const FolderSettings& folders = m_host.folders();
    m_host.comboLists().LoadComboLists({cbIncidentLay, cbTransLay},
                                       fromStd(joinPath(folders.ListDir, "layer.dat")));
    for (TComboBox* box : {cbIncidentLay, cbTransLay})
        if (box->currentIndex() < 0)
            selectFirstItem(box);
    eNKdir->setText(fromStd(folders.LayerFileDir));
    eFileDir->setText(fromStd(folders.CalibrationDir));
    rb_cR->setChecked(true);
    rb_cRClick();
}

void TcR_cT_Form::rb_cRClick() {
    Panel1->setVisible(rb_cT->isChecked());
}

void TcR_cT_Form::btHazeDataClick() {
    const QString current = eHazeDataFileName->text().trimmed();
    const std::string start =
        current.isEmpty() ? m_host.folders().WorkDir : folderPart(current.toStdString());
    // The shipped haze data files end in ".hz": offered first, beside the plain text files.
    const QString chosen = m_host.dialogs().openFile(
        {fromStd(start), QStringLiteral("Haze data|*.hz|ASCII file|*.txt|All files|*.*"),
         QStringLiteral("hz")});
    if (!chosen.isEmpty())
        eHazeDataFileName->setText(chosen);
}

void TcR_cT_Form::btFolderClick(QPushButton* Sender) {
    QLineEdit* edit = Sender == btNKDir ? eNKdir : eFileDir;
    const QString chosen = m_host.dialogs().browseFolder(kBrowseCaption, edit->text());
    if (!chosen.isEmpty())
        edit->setText(chosen);
}

void TcR_cT_Form::FormClick() {
    brRUNTransf->setFocus();
}

void TcR_cT_Form::mousePressEvent(QMouseEvent* event) {
    FormClick();
    TToolWindow::mousePressEvent(event);
}

bool TcR_cT_Form::eventFilter(QObject* watched, QEvent* event) {
    // The description text starts the transform as RUN does.
    if (watched == lDescription && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        brRUNTransfClick();
        return true;
    }
    return TToolWindow::eventFilter(watched, event);
}

QString TcR_cT_Form::outputPath() const {
    return fromStd(
        joinPath(toStd(eFileDir->text()), toStd(eFileName->text()) + std::string(".cal")));
}

double TcR_cT_Form::powerFactor() const {
    if (rbHTfactor2->isChecked())
        return 2;
    if (rbHTfactor3->isChecked())
        return 3;
    // A value typed but not yet committed still keeps to the edit's range.
    return static_cast<double>(
        std::clamp(ePowerHT->Value(), ePowerHT->MinValue(), ePowerHT->MaxValue()));
}

QString TcR_cT_Form::missingInput() const {
    if (eHazeDataFileName->text().trimmed().isEmpty())
        return QStringLiteral("Select the file with haze data.");
    if (!(pbRMS->Value() > 0))
        return QStringLiteral("Define an rms roughness above 0 nm.");
    if (cbIncidentLay->currentText().trimmed().isEmpty())
        return QStringLiteral("Define the incident layer.");
    if (cbTransLay->currentText().trimmed().isEmpty())
        return QStringLiteral("Define the layer in transmission.");
    if (eNKdir->text().trimmed().isEmpty())
        return QStringLiteral("Specify the folder of the nk data.");
    if (eFileName->text().trimmed().isEmpty())
        return QStringLiteral("Specify the name of the cR or cT file.");
    if (eFileDir->text().trimmed().isEmpty())
        return QStringLiteral("Specify the folder of the cR or cT file.");
    return {};
}

void TcR_cT_Form::brRUNTransfClick() {
    FormClick(); // a number being typed commits
    if (const QString problem = missingInput(); !problem.isEmpty()) {
        m_host.dialogs().error(problem);
        return;
    }
    const std::string workDir = m_host.folders().WorkDir;
    kernel::TransformRequest request;
    request.reflected = rb_cR->isChecked();
    request.hazeFile = expandWorkDir(toStd(eHazeDataFileName->text()), workDir);
    request.rms = static_cast<double>(std::min(pbRMS->Value(), pbRMS->MaxValue()));
    const QString nkFolder = fromStd(expandWorkDir(toStd(eNKdir->text()), workDir));
    request.incidentNk = nkFile(nkFolder, cbIncidentLay->currentText());
    request.transmissionNk = nkFile(nkFolder, cbTransLay->currentText());
    request.power = powerFactor();
    request.outFile = expandWorkDir(outputPath().toStdString(), workDir);

    eResultMemo->clear();
    const Result<kernel::TransformReport> result = kernel::transformHaze(request);
    if (!result) {
        eResultMemo->setPlainText(QStringLiteral("No file written."));
        m_host.dialogs().error(QStringLiteral("The transform failed:\n") +
                               fromStd(result.error().describe()));
        return;
    }
    const kernel::TransformReport& report = result.value();
    QStringList lines;
    lines << (request.reflected ? QStringLiteral("cR file written: ")
                                : QStringLiteral("cT file written: ")) +
                 fromStd(request.outFile);
    if (!request.reflected)
        lines << QStringLiteral("HT power factor: ") + number(request.power);
    lines << QStringLiteral("Range: %1 - %2 nm").arg(number(report.first), number(report.last));
    lines << QStringLiteral("Points: %1").arg(report.points);
    lines << QStringLiteral("Skipped wavelengths: %1").arg(report.skipped.size());
    for (const std::string& skipped : report.skipped)
        lines << QStringLiteral("  ") + fromStd(skipped);
    // A file of the calibration folder joins the list of its kind, so that the Haze page
    // offers it at once.
    std::error_code error;
    if (std::filesystem::equivalent(folderPart(request.outFile),
                                    expandWorkDir(m_host.folders().CalibrationDir, workDir),
                                    error)) {
        const std::string listing =
            joinPath(m_host.folders().ListDir, request.reflected ? "cR.dat" : "cT.dat");
        if (const auto fault = addListingItem(listing, toStd(eFileName->text())))
            lines << QStringLiteral("Not added to the list of calibration files: ") +
                         fromStd(*fault);
        else
            emit calibrationListed();
    }
    eResultMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

} // namespace lumetrix
