#include "pages/spectrumform.h"

#include "core/inputfile_reader.h"

#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "core/adf_groups.h"
#include "core/folders.h"
#include "core/project.h"
#include "pages/pagehost.h"

#include <QButtonGroup>
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

TPBNumEdit* twoDecimals(const char* name, QWidget* parent) {
    auto* edit = new TPBNumEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAlignment(Qt::AlignRight);
    edit->setDecimals(2);
    edit->setFixedWidth(70);
    return edit;
}

QWidget* captioned(const QString& caption, QWidget* control, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(caption, row));
    control->setParent(row);
    layout->addWidget(control);
    layout->addStretch(1);
    return row;
}

} // namespace

TSpectrumForm::TSpectrumForm(PageHost& host, QWidget* parent) : TPageForm(host, 4, parent) {
    setObjectName(QStringLiteral("SpectrumForm"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(20, 16, 20, 16);
    page->setSpacing(10);
    QFont bold = font();
    bold.setBold(true);

    auto* spectrumCaption = new QLabel(QStringLiteral("Illumination Spectrum"), this);
    spectrumCaption->setFont(bold);
    page->addWidget(spectrumCaption);
    cbSpekter = new TComboBox(this);
    cbSpekter->setObjectName(QStringLiteral("cbSpekter"));
    cbSpekter->setEditable(true);
    cbSpekter->setMinimumWidth(320);
    page->addWidget(cbSpekter, 0, Qt::AlignLeft);
    ProPanel = new QWidget(this);
    ProPanel->setObjectName(QStringLiteral("ProPanel"));
    page->addWidget(ProPanel);
    cbManually = new QCheckBox(QStringLiteral("Set range manually"), this);
    cbManually->setObjectName(QStringLiteral("cbManually"));
    page->addWidget(cbManually);

    AdvPanel = new QWidget(this);
    AdvPanel->setObjectName(QStringLiteral("AdvPanel"));
    auto* adv = new QVBoxLayout(AdvPanel);
    adv->setContentsMargins(0, 12, 0, 0);
    auto* represented = new QLabel(QStringLiteral("Spectrum is represented by"), AdvPanel);
    represented->setFont(bold);
    adv->addWidget(represented);
    rbCoherent = new QRadioButton(
        QStringLiteral("Coherent direct light applied perpendicularly to the structure"), AdvPanel);
    rbCoherent->setObjectName(QStringLiteral("rbCoherent"));
    rbCombination = new QRadioButton(QStringLiteral("Combination of perpendicular coherent direct "
                                                    "light and incoherent diffused light"),
                                     AdvPanel);
    rbCombination->setObjectName(QStringLiteral("rbCombination"));
    auto* representation = new QButtonGroup(this);
    representation->addButton(rbCoherent);
    representation->addButton(rbCombination);
    adv->addWidget(rbCoherent);
    adv->addWidget(rbCombination);

    Panel1 = new QWidget(AdvPanel);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* diffuse = new QVBoxLayout(Panel1);
    diffuse->setContentsMargins(24, 6, 0, 0);
    pbRatio = twoDecimals("pbRatio", Panel1);
    pbRatio->setMaxValue(1.0);
    auto* ratioRow = new QHBoxLayout;
    ratioRow->addWidget(new QLabel(QStringLiteral("Ratio diffused / (diffused + direct)"), Panel1));
    ratioRow->addWidget(pbRatio);
    ratioRow->addWidget(new QLabel(QStringLiteral("(0..1)"), Panel1));
    ratioRow->addStretch(1);
    diffuse->addLayout(ratioRow);
    auto* adfHeading =
        new QLabel(QStringLiteral("Select ADF of diffused light of the spectrum"), Panel1);
    adfHeading->setFont(bold);
    diffuse->addWidget(adfHeading);
    rbSpecADFInternal = new QRadioButton(QStringLiteral("Use internally defined ADF"), Panel1);
    rbSpecADFInternal->setObjectName(QStringLiteral("rbSpecADFInternal"));
    rbSpecADFExternal = new QRadioButton(QStringLiteral("Use externally defined ADF"), Panel1);
    rbSpecADFExternal->setObjectName(QStringLiteral("rbSpecADFExternal"));
    auto* adfSource = new QButtonGroup(this);
    adfSource->addButton(rbSpecADFInternal);
    adfSource->addButton(rbSpecADFExternal);
    diffuse->addWidget(rbSpecADFInternal);
    diffuse->addWidget(rbSpecADFExternal);
    diffuse->addWidget(new QLabel(QStringLiteral("Select ADF"), Panel1));
    cbADF1_Spekt = new TComboBox(Panel1);
    cbADF1_Spekt->setObjectName(QStringLiteral("cbADF1_Spekt"));
    cbADF1_Spekt->setEditable(true);
    cbADF1_Spekt->setMinimumWidth(320);
    diffuse->addWidget(cbADF1_Spekt, 0, Qt::AlignLeft);
    Notebook1 = new QStackedWidget(Panel1);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    pbSpectrLamb = twoDecimals("pbSpectrLamb", Notebook1);
    pbSpectrLamb->setValue(1.0);
    pbSpectrEllipsis = twoDecimals("pbSpectrEllipsis", Notebook1);
    pbSpectrEllipsis->setValue(1.0);
    Notebook1->addWidget(
        captioned(QStringLiteral("Lambertian power n = "), pbSpectrLamb, Notebook1));
    Notebook1->addWidget(
        captioned(QStringLiteral("Ellipsis radius ratio b:a = "), pbSpectrEllipsis, Notebook1));
    Notebook1->addWidget(new QWidget(Notebook1));
    Notebook1->setFixedHeight(28);
    diffuse->addWidget(Notebook1);
    adv->addWidget(Panel1);
    page->addWidget(AdvPanel);
    page->addStretch(1);

    connect(rbCoherent, &QRadioButton::toggled, this, &TSpectrumForm::ADFModelSpectrum);
    connect(rbSpecADFInternal, &QRadioButton::toggled, this, [this](bool) { IntExtADF(); });
    connect(cbADF1_Spekt, &QComboBox::currentIndexChanged, this,
            &TSpectrumForm::cbADF1_SpektChange);
    parkFocusOnClick(AdvPanel);
    parkFocusOnClick(Panel1);

    ComboLists& lists = host.comboLists();
    lists.addBinding({[this] { return QList<QComboBox*>{cbSpekter}; },
                      [this] { return spectrumListFile(); },
                      {}});
    lists.addBinding(
        {[this] { return QList<QComboBox*>{cbADF1_Spekt}; }, [this] { return adfListFile(); }, {}});

    FormCreate();
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
