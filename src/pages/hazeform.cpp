#include "pages/hazeform.h"

#include "core/inputfile_reader.h"

#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/number_ranges.h"
#include "core/project.h"
#include "pages/pagehost.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumetrix {
namespace {

const QString kInterfacesHint = QStringLiteral("(e.g. 0,1,4,... ; 0 = front interface)");
// The boxes of the file lists are this wide at least.
constexpr int kFileBoxWidth = 260;

// "Specify interfaces" over the edit and the hint beside it, in rows 0 and 1 of a grid. Both
// interface edits of the page are as wide as the file boxes.
void interfacesRows(QGridLayout* grid, QLineEdit* edit, QWidget* parent) {
    edit->setFixedWidth(kFileBoxWidth);
    grid->addWidget(new QLabel(QStringLiteral("Specify interfaces"), parent), 0, 0);
    grid->addWidget(edit, 1, 0);
    grid->addWidget(new QLabel(kInterfacesHint, parent), 1, 1);
}

} // namespace

THazeForm::THazeForm(PageHost& host, QWidget* parent) : TPageForm(host, Page::Haze, parent) {
    setObjectName(QStringLiteral("HazeForm"));
    auto* page = layoutOn<QVBoxLayout>(this, {20, 16, 20, 16}, 16);
    page->addWidget(buildPowerPanel());
    page->addWidget(buildMethodPanel());
    page->addWidget(buildAdvancedPanel());
    page->addStretch(1);
    connectHandlers();
    bindComboLists();
    FormCreate();
}

QWidget* THazeForm::buildPowerPanel() {
    Panel5 = named<QWidget>(this, QStringLiteral("Panel5"));
    auto* power = layoutOn<QGridLayout>(Panel5, {0, 0, 0, 0});
    power->addWidget(new QLabel(QStringLiteral("Select power factor for calculation of haze "
                                               "parameter for transmitted light (HT):"),
                                Panel5),
                     0, 0, 1, 5);
    rbPower2 = radio(QStringLiteral("2"), QStringLiteral("rbPower2"), Panel5);
    rbPower3 = radio(QStringLiteral("3"), QStringLiteral("rbPower3"), Panel5);
    rbPowerCustom = radio(QString(), QStringLiteral("rbPowerCustom"), Panel5);
    ePowerHT = numEdit(QStringLiteral("ePowerHT"), Panel5, {.max = ranges::kPowerFactor.max});
    power->addWidget(rbPower2, 1, 0);
    power->addWidget(rbPower3, 1, 1);
    power->addWidget(rbPowerCustom, 1, 2);
    power->addWidget(ePowerHT, 1, 3);
    power->setColumnStretch(4, 1);
    return Panel5;
}

QWidget* THazeForm::buildMethodPanel() {
    Panel6 = named<QWidget>(this, QStringLiteral("Panel6"));
    auto* method = layoutOn<QGridLayout>(Panel6, {0, 0, 0, 0});
    rbHazeC = radio(QStringLiteral("Use calibration functions (cR, cT)"), QStringLiteral("rbHazeC"),
                    Panel6);
    rbHazeH =
        radio(QStringLiteral("Use haze input data (HR, HT)"), QStringLiteral("rbHazeH"), Panel6);
    LbStaticText1 = new QLabel(QStringLiteral("Specify cR"), Panel6);
    LbStaticText3 = new QLabel(QStringLiteral("Specify cT"), Panel6);
    cb_cR_HR = comboBox(QStringLiteral("cb_cR_HR"), Panel6, true, kFileBoxWidth);
    cb_cT_HT = comboBox(QStringLiteral("cb_cT_HT"), Panel6, true, kFileBoxWidth);
    method->addWidget(rbHazeC, 0, 0);
    method->addWidget(rbHazeH, 1, 0);
    method->addWidget(LbStaticText1, 2, 0);
    method->addWidget(LbStaticText3, 2, 1);
    method->addWidget(cb_cR_HR, 3, 0);
    method->addWidget(cb_cT_HT, 3, 1);
    method->setColumnStretch(2, 1);
    return Panel6;
}

QWidget* THazeForm::buildAdvancedPanel() {
    AdvPanel = named<QWidget>(this, QStringLiteral("AdvPanel"));
    auto* adv = layoutOn<QVBoxLayout>(AdvPanel, {0, 0, 0, 0});
    cbUseOtherHaze = checkBox(QStringLiteral("Use other haze parameters for specified interfaces"),
                              QStringLiteral("cbUseOtherHaze"), AdvPanel);
    addSwitchedPanel(adv, cbUseOtherHaze, buildOtherHazePanel());
    cbSpecified = checkBox(
        QStringLiteral("At specified interfaces coherent specular light, coming from the front "
                       "(top) side of the structure, \nis scattered in transmission only"),
        QStringLiteral("cbSpecified"), AdvPanel);
    addSwitchedPanel(adv, cbSpecified, buildSpecifiedPanel(), 10);
    return AdvPanel;
}

QWidget* THazeForm::buildOtherHazePanel() {
    pUseOtherHaze = named<QWidget>(AdvPanel, QStringLiteral("pUseOtherHaze"));
    auto* other = layoutOn<QGridLayout>(pUseOtherHaze, {24, 0, 0, 0});
    eHazeOtherSpecifyInt = named<QLineEdit>(pUseOtherHaze, QStringLiteral("eHazeOtherSpecifyInt"));
    rbHazeC_adv = radio(rbHazeC->text(), QStringLiteral("rbHazeC_adv"), pUseOtherHaze);
    rbHazeH_adv = radio(rbHazeH->text(), QStringLiteral("rbHazeH_adv"), pUseOtherHaze);
    LbStaticText2 = new QLabel(QStringLiteral("Specify cR"), pUseOtherHaze);
    LbStaticText4 = new QLabel(QStringLiteral("Specify cT"), pUseOtherHaze);
    cb_cR_HR_adv = comboBox(QStringLiteral("cb_cR_HR_adv"), pUseOtherHaze, true, kFileBoxWidth);
    cb_cT_HT_adv = comboBox(QStringLiteral("cb_cT_HT_adv"), pUseOtherHaze, true, kFileBoxWidth);
    interfacesRows(other, eHazeOtherSpecifyInt, pUseOtherHaze);
    other->addWidget(rbHazeC_adv, 2, 0);
    other->addWidget(rbHazeH_adv, 3, 0);
    other->addWidget(LbStaticText2, 4, 0);
    other->addWidget(LbStaticText4, 4, 1);
    other->addWidget(cb_cR_HR_adv, 5, 0);
    other->addWidget(cb_cT_HT_adv, 5, 1);
    other->setColumnStretch(2, 1);
    return pUseOtherHaze;
}

QWidget* THazeForm::buildSpecifiedPanel() {
    pSpecified = named<QWidget>(AdvPanel, QStringLiteral("pSpecified"));
    auto* specified = layoutOn<QGridLayout>(pSpecified, {24, 0, 0, 0});
    eHazeSpecSpecifyInt = named<QLineEdit>(pSpecified, QStringLiteral("eHazeSpecSpecifyInt"));
    interfacesRows(specified, eHazeSpecSpecifyInt, pSpecified);
    specified->setColumnStretch(2, 1);
    return pSpecified;
}

void THazeForm::connectHandlers() {
    // The two method choices are independent groups.
    exclusiveGroup(this, {rbHazeC, rbHazeH});
    exclusiveGroup(this, {rbHazeC_adv, rbHazeH_adv});
    onChecked(rbHazeC, this, [this] { rbHazeCClick(); });
    onChecked(rbHazeH, this, [this] { rbHazeCClick(); });
    onChecked(rbHazeC_adv, this, [this] { rbHazeC_advClick(); });
    onChecked(rbHazeH_adv, this, [this] { rbHazeC_advClick(); });
    connect(cbUseOtherHaze, &QCheckBox::toggled, this, &THazeForm::cbUseOtherHazeClick);
    connect(cbSpecified, &QCheckBox::toggled, this, &THazeForm::cbSpecifiedClick);
    for (QWidget* panel : {Panel5, Panel6, AdvPanel, pUseOtherHaze, pSpecified})
        parkFocusOnClick(panel);
}

void THazeForm::bindComboLists() {
    ComboLists& lists = m_host.comboLists();
    lists.addBinding({[this] { return QList<QComboBox*>{cb_cR_HR}; },
                      [this] { return listingFile(rbHazeC->isChecked(), true); },
                      {}});
    lists.addBinding({[this] { return QList<QComboBox*>{cb_cT_HT}; },
                      [this] { return listingFile(rbHazeC->isChecked(), false); },
                      {}});
    lists.addBinding({[this] { return QList<QComboBox*>{cb_cR_HR_adv}; },
                      [this] { return listingFile(rbHazeC_adv->isChecked(), true); },
                      {}});
    lists.addBinding({[this] { return QList<QComboBox*>{cb_cT_HT_adv}; },
                      [this] { return listingFile(rbHazeC_adv->isChecked(), false); },
                      {}});
}

QString THazeForm::listingFile(bool calibration, bool first) const {
    const char* name = calibration ? (first ? "cR.dat" : "cT.dat") : (first ? "HR.dat" : "HT.dat");
    return QString::fromStdString(joinPath(m_host.folders().ListDir, name));
}

void THazeForm::FormCreate() {
    ComboLists& lists = m_host.comboLists();
    lists.LoadComboLists({cb_cR_HR, cb_cR_HR_adv}, listingFile(true, true));
    lists.LoadComboLists({cb_cT_HT, cb_cT_HT_adv}, listingFile(true, false));
    for (TComboBox* box : {cb_cR_HR, cb_cT_HT, cb_cR_HR_adv, cb_cT_HT_adv})
        selectFirstItem(box);
    rbHazeC->setChecked(true);
    rbHazeC_adv->setChecked(true);
    eHazeOtherSpecifyInt->clear();
    eHazeSpecSpecifyInt->clear();
    cbUseOtherHaze->setChecked(false);
    cbSpecified->setChecked(false);
    rbPower3->setChecked(true);
    ePowerHT->setValue(2.5);
    cbUseOtherHazeClick();
    cbSpecifiedClick();
}

void THazeForm::FormShow() {
    AdvPanel->setVisible(advanced());
}

void THazeForm::applyMethod(bool calibration, TComboBox* first, TComboBox* second,
                            QLabel* firstCaption, QLabel* secondCaption) {
    ComboLists& lists = m_host.comboLists();
    lists.LoadComboList(first, listingFile(calibration, true));
    lists.LoadComboList(second, listingFile(calibration, false));
    firstCaption->setText(calibration ? QStringLiteral("Specify cR")
                                      : QStringLiteral("Specify HR"));
    secondCaption->setText(calibration ? QStringLiteral("Specify cT")
                                       : QStringLiteral("Specify HT"));
    selectFirstItem(first);
    selectFirstItem(second);
}

void THazeForm::rbHazeCClick() {
    applyMethod(rbHazeC->isChecked(), cb_cR_HR, cb_cT_HT, LbStaticText1, LbStaticText3);
}

void THazeForm::rbHazeC_advClick() {
    applyMethod(rbHazeC_adv->isChecked(), cb_cR_HR_adv, cb_cT_HT_adv, LbStaticText2, LbStaticText4);
}

void THazeForm::cbUseOtherHazeClick() {
    pUseOtherHaze->setVisible(cbUseOtherHaze->isChecked());
}

void THazeForm::cbSpecifiedClick() {
    pSpecified->setVisible(cbSpecified->isChecked());
}

void THazeForm::fillProject(Project& project) const {
    HazeSettings& h = project.haze;
    h.power = rbPower2->isChecked()   ? HazeSettings::Power::Two
              : rbPower3->isChecked() ? HazeSettings::Power::Three
                                      : HazeSettings::Power::Custom;
    h.ePowerHT = ePowerHT->text().toStdString();
    h.rbHazeC = rbHazeC->isChecked();
    h.cb_cR_HR = cb_cR_HR->currentText().toStdString();
    h.cb_cT_HT = cb_cT_HT->currentText().toStdString();
    h.cbUseOtherHaze = cbUseOtherHaze->isChecked();
    h.eHazeOtherSpecifyInt = eHazeOtherSpecifyInt->text().toStdString();
    h.rbHazeC_adv = rbHazeC_adv->isChecked();
    h.cb_cR_HR_adv = cb_cR_HR_adv->currentText().toStdString();
    h.cb_cT_HT_adv = cb_cT_HT_adv->currentText().toStdString();
    h.cbSpecified = cbSpecified->isChecked();
    h.eHazeSpecSpecifyInt = eHazeSpecSpecifyInt->text().toStdString();
}

void THazeForm::takeLoaded(const LoadedProject& loaded) {
    const HazeSettings& h = loaded.values.haze;
    if (loaded.powerCarried) {
        switch (h.power) {
        case HazeSettings::Power::Two:
            rbPower2->setChecked(true);
            break;
        case HazeSettings::Power::Three:
            rbPower3->setChecked(true);
            break;
        case HazeSettings::Power::Custom:
            ePowerHT->setText(QString::fromStdString(h.ePowerHT));
            rbPowerCustom->setChecked(true);
            break;
        }
    }
    (h.rbHazeC ? rbHazeC : rbHazeH)->setChecked(true);
    showComboText(cb_cT_HT, QString::fromStdString(h.cb_cT_HT));
    showComboText(cb_cR_HR, QString::fromStdString(h.cb_cR_HR));
    cbUseOtherHaze->setChecked(h.cbUseOtherHaze);
    if (h.cbUseOtherHaze) {
        eHazeOtherSpecifyInt->setText(QString::fromStdString(h.eHazeOtherSpecifyInt));
        (h.rbHazeC_adv ? rbHazeC_adv : rbHazeH_adv)->setChecked(true);
        showComboText(cb_cT_HT_adv, QString::fromStdString(h.cb_cT_HT_adv));
        showComboText(cb_cR_HR_adv, QString::fromStdString(h.cb_cR_HR_adv));
    } else {
        eHazeOtherSpecifyInt->clear();
        rbHazeC_adv->setChecked(true);
        selectFirstItem(cb_cT_HT_adv);
        selectFirstItem(cb_cR_HR_adv);
    }
    cbSpecified->setChecked(h.cbSpecified);
    eHazeSpecSpecifyInt->setText(
        QString::fromStdString(h.cbSpecified ? h.eHazeSpecSpecifyInt : ""));
    if (loaded.layout == LoadedProject::Layout::Current ||
        loaded.layout == LoadedProject::Layout::Older)
        for (TComboBox* box : {cb_cR_HR, cb_cT_HT, cb_cR_HR_adv, cb_cT_HT_adv})
            ComboLists::SelectComboText(box);
}

} // namespace lumetrix
