#include "pages/spectrumform.h"

#include "core/inputfile_reader.h"

#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "controls/widget_factory.h"
#include "core/adf_groups.h"
#include "core/folders.h"
#include "core/number_ranges.h"
#include "core/project.h"
#include "pages/pagehost.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace lumetrix {
namespace {

constexpr int kPageNone = 2;

// The boxes of the file lists are this wide at least.
constexpr int kFileBoxWidth = 320;

} // namespace

TSpectrumForm::TSpectrumForm(PageHost& host, QWidget* parent)
    : TPageForm(host, Page::Spectrum, parent) {
    setObjectName(QStringLiteral("SpectrumForm"));
    auto* page = layoutOn<QVBoxLayout>(this, {20, 16, 20, 16}, 10);
    buildSpectrumPanel(page);
    page->addWidget(buildAdvancedPanel());
    page->addStretch(1);
    connectHandlers();
    bindComboLists();
    FormCreate();
}

void TSpectrumForm::buildSpectrumPanel(QBoxLayout* page) {
    page->addWidget(boldLabel(QStringLiteral("Illumination Spectrum"), this));
    cbSpekter = comboBox(QStringLiteral("cbSpekter"), this, true, kFileBoxWidth);
    page->addWidget(cbSpekter, 0, Qt::AlignLeft);
    ProPanel = named<QWidget>(this, QStringLiteral("ProPanel"));
    page->addWidget(ProPanel);
    cbManually = checkBox(QStringLiteral("Set range manually"), QStringLiteral("cbManually"), this);
    page->addWidget(cbManually);
}

QWidget* TSpectrumForm::buildAdvancedPanel() {
    AdvPanel = named<QWidget>(this, QStringLiteral("AdvPanel"));
    auto* adv = layoutOn<QVBoxLayout>(AdvPanel, {0, 12, 0, 0});
    adv->addWidget(boldLabel(QStringLiteral("Spectrum is represented by"), AdvPanel));
    rbCoherent =
        radio(QStringLiteral("Coherent direct light applied perpendicularly to the structure"),
              QStringLiteral("rbCoherent"), AdvPanel);
    rbCombination = radio(QStringLiteral("Combination of perpendicular coherent direct "
                                         "light and incoherent diffused light"),
                          QStringLiteral("rbCombination"), AdvPanel);
    exclusiveGroup(this, {rbCoherent, rbCombination});
    adv->addWidget(rbCoherent);
    adv->addWidget(rbCombination);
    adv->addWidget(buildDiffusedLightPanel());
    return AdvPanel;
}

QWidget* TSpectrumForm::buildDiffusedLightPanel() {
    Panel1 = named<QWidget>(AdvPanel, QStringLiteral("Panel1"));
    auto* diffuse = layoutOn<QVBoxLayout>(Panel1, {24, 6, 0, 0});
    pbRatio = numEdit(QStringLiteral("pbRatio"), Panel1,
                      {.max = ranges::kFraction.max, .decimals = 2, .width = 70});
    auto* ratioRow = new QHBoxLayout;
    ratioRow->addWidget(new QLabel(QStringLiteral("Ratio diffused / (diffused + direct)"), Panel1));
    ratioRow->addWidget(pbRatio);
    ratioRow->addWidget(new QLabel(QStringLiteral("(0..1)"), Panel1));
    ratioRow->addStretch(1);
    diffuse->addLayout(ratioRow);
    diffuse->addWidget(
        boldLabel(QStringLiteral("Select ADF of diffused light of the spectrum"), Panel1));
    rbSpecADFInternal = radio(QStringLiteral("Use internally defined ADF"),
                              QStringLiteral("rbSpecADFInternal"), Panel1);
    rbSpecADFExternal = radio(QStringLiteral("Use externally defined ADF"),
                              QStringLiteral("rbSpecADFExternal"), Panel1);
    exclusiveGroup(this, {rbSpecADFInternal, rbSpecADFExternal});
    diffuse->addWidget(rbSpecADFInternal);
    diffuse->addWidget(rbSpecADFExternal);
    diffuse->addWidget(new QLabel(QStringLiteral("Select ADF"), Panel1));
    cbADF1_Spekt = comboBox(QStringLiteral("cbADF1_Spekt"), Panel1, true, kFileBoxWidth);
    diffuse->addWidget(cbADF1_Spekt, 0, Qt::AlignLeft);
    diffuse->addWidget(buildParameterPanel());
    return Panel1;
}

QWidget* TSpectrumForm::buildParameterPanel() {
    Notebook1 = named<QStackedWidget>(Panel1, QStringLiteral("Notebook1"));
    const NumEditSetup parameter{.decimals = 2, .value = 1.0, .width = 70};
    pbSpectrLamb = numEdit(QStringLiteral("pbSpectrLamb"), Notebook1, parameter);
    pbSpectrEllipsis = numEdit(QStringLiteral("pbSpectrEllipsis"), Notebook1, parameter);
    Notebook1->addWidget(
        captionedRow(QStringLiteral("Lambertian power n = "), pbSpectrLamb, Notebook1));
    Notebook1->addWidget(
        captionedRow(QStringLiteral("Ellipsis radius ratio b:a = "), pbSpectrEllipsis, Notebook1));
    Notebook1->addWidget(new QWidget(Notebook1));
    Notebook1->setFixedHeight(28);
    return Notebook1;
}

void TSpectrumForm::connectHandlers() {
    connect(rbCoherent, &QRadioButton::toggled, this, &TSpectrumForm::ADFModelSpectrum);
    connect(rbSpecADFInternal, &QRadioButton::toggled, this, [this](bool) { IntExtADF(); });
    connect(cbADF1_Spekt, &QComboBox::currentIndexChanged, this,
            &TSpectrumForm::cbADF1_SpektChange);
    parkFocusOnClick(AdvPanel);
    parkFocusOnClick(Panel1);
}

void TSpectrumForm::bindComboLists() {
    ComboLists& lists = m_host.comboLists();
    lists.addBinding({[this] { return QList<QComboBox*>{cbSpekter}; },
                      [this] { return spectrumListFile(); },
                      {}});
    lists.addBinding(
        {[this] { return QList<QComboBox*>{cbADF1_Spekt}; }, [this] { return adfListFile(); }, {}});
}

QString TSpectrumForm::spectrumListFile() const {
    return QString::fromStdString(joinPath(m_host.folders().ListDir, "Spectrum.dat"));
}

QString TSpectrumForm::adfListFile() const {
    const FolderSettings& f = m_host.folders();
    return QString::fromStdString(rbSpecADFInternal->isChecked()
                                      ? joinPath(f.WorkDir, "ADF1.dat")
                                      : joinPath(f.ListDir, "ADF1ext.dat"));
}

void TSpectrumForm::FormCreate() {
    ComboLists& lists = m_host.comboLists();
    lists.LoadComboList(cbSpekter, spectrumListFile());
    lists.LoadComboList(cbADF1_Spekt,
                        QString::fromStdString(joinPath(m_host.folders().WorkDir, "ADF1.dat")));
    selectFirstItem(cbSpekter);
    selectFirstItem(cbADF1_Spekt);
    rbCoherent->setChecked(true);
    {
        // The list was just filled from the internal catalogue; checking the internal choice
        // must not fill it again.
        const QSignalBlocker blocker(rbSpecADFInternal);
        rbSpecADFInternal->setChecked(true);
    }
    pbRatio->setValue(0);
    Notebook1->setCurrentIndex(kPageNone);
    ADFModelSpectrum();
    if (m_host.addOnPresent()) {
        m_addOn.bind(QString::fromStdString(joinPath(m_host.folders().WorkDir, "libLXPro.so")),
                     this, ProPanel);
        cbManually->show();
    } else {
        cbManually->hide();
    }
}

void TSpectrumForm::FormShow() {
    AdvPanel->setVisible(advanced());
    if (m_host.addOnPresent())
        m_addOn.showForm(ProPanel);
}

void TSpectrumForm::ADFModelSpectrum() {
    Panel1->setVisible(!rbCoherent->isChecked());
}

void TSpectrumForm::IntExtADF() {
    m_host.comboLists().LoadComboList(cbADF1_Spekt, adfListFile());
    selectFirstItem(cbADF1_Spekt);
    cbADF1_SpektChange();
}

void TSpectrumForm::cbADF1_SpektChange() {
    Notebook1->setCurrentIndex(
        adfParameterPage(1, rbSpecADFExternal->isChecked(), cbADF1_Spekt->currentIndex()));
}

void TSpectrumForm::fillProject(Project& project) const {
    SpectrumSettings& s = project.spectrum;
    s.cbSpekter = cbSpekter->currentText().toStdString();
    s.cbManually = cbManually->isChecked();
    s.rbCoherent = rbCoherent->isChecked();
    s.pbRatio = pbRatio->text().toStdString();
    s.rbSpecADFInternal = rbSpecADFInternal->isChecked();
    s.cbADF1_Spekt = {cbADF1_Spekt->currentIndex(), cbADF1_Spekt->currentText().toStdString()};
    s.pbSpectrLamb = pbSpectrLamb->text().toStdString();
    s.pbSpectrEllipsis = pbSpectrEllipsis->text().toStdString();
}

void TSpectrumForm::takeLoaded(const LoadedProject& loaded) {
    const SpectrumSettings& s = loaded.values.spectrum;
    showComboText(cbSpekter, QString::fromStdString(s.cbSpekter));
    if (s.rbCoherent) {
        rbCoherent->setChecked(true);
        rbSpecADFInternal->setChecked(true);
        selectFirstItem(cbADF1_Spekt);
        pbRatio->setValue(0);
        pbSpectrLamb->setValue(1.0);
        pbSpectrEllipsis->setValue(1.0);
    } else {
        pbRatio->setText(QString::fromStdString(s.pbRatio));
        rbCombination->setChecked(true);
        (s.rbSpecADFInternal ? rbSpecADFInternal : rbSpecADFExternal)->setChecked(true);
        if (s.rbSpecADFInternal)
            cbADF1_Spekt->setCurrentIndex(
                s.cbADF1_Spekt.selected < cbADF1_Spekt->count() ? s.cbADF1_Spekt.selected : -1);
        else
            showComboText(cbADF1_Spekt, QString::fromStdString(s.cbADF1_Spekt.text));
        pbSpectrLamb->setText(QString::fromStdString(s.pbSpectrLamb));
        pbSpectrEllipsis->setText(QString::fromStdString(s.pbSpectrEllipsis));
    }
    cbADF1_SpektChange();
}

} // namespace lumetrix
