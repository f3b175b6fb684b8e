#include "pages/hazeform.h"

#include "core/inputfile_reader.h"

#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "core/folders.h"
#include "core/project.h"
#include "pages/pagehost.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumetrix {
namespace {

const QString kInterfacesHint = QStringLiteral("(e.g. 0,1,4,... ; 0 = front interface)");

QRadioButton* radio(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

TComboBox* fileBox(const char* name, QWidget* parent) {
    auto* box = new TComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setMinimumWidth(260);
    return box;
}

} // namespace

THazeForm::THazeForm(PageHost& host, QWidget* parent) : TPageForm(host, 1, parent) {
    setObjectName(QStringLiteral("HazeForm"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(20, 16, 20, 16);
    page->setSpacing(16);

    Panel5 = new QWidget(this);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    auto* power = new QGridLayout(Panel5);
    power->setContentsMargins(0, 0, 0, 0);
    power->addWidget(new QLabel(QStringLiteral("Select power factor for calculation of haze "
                                               "parameter for transmitted light (HT):"),
                                Panel5),
                     0, 0, 1, 5);
    rbPower2 = radio(QStringLiteral("2"), "rbPower2", Panel5);
    rbPower3 = radio(QStringLiteral("3"), "rbPower3", Panel5);
    rbPowerCustom = radio(QString(), "rbPowerCustom", Panel5);
    ePowerHT = new TPBNumEdit(Panel5);
    ePowerHT->setObjectName(QStringLiteral("ePowerHT"));
    ePowerHT->setAlignment(Qt::AlignRight);
    ePowerHT->setMaxValue(100.0);
    power->addWidget(rbPower2, 1, 0);
    power->addWidget(rbPower3, 1, 1);
    power->addWidget(rbPowerCustom, 1, 2);
    power->addWidget(ePowerHT, 1, 3);
    power->setColumnStretch(4, 1);
    page->addWidget(Panel5);

    Panel6 = new QWidget(this);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    auto* method = new QGridLayout(Panel6);
    method->setContentsMargins(0, 0, 0, 0);
    rbHazeC = radio(QStringLiteral("Use calibration functions (cR, cT)"), "rbHazeC", Panel6);
    rbHazeH = radio(QStringLiteral("Use haze input data (HR, HT)"), "rbHazeH", Panel6);
    LbStaticText1 = new QLabel(QStringLiteral("Specify cR"), Panel6);
    LbStaticText3 = new QLabel(QStringLiteral("Specify cT"), Panel6);
    cb_cR_HR = fileBox("cb_cR_HR", Panel6);
    cb_cT_HT = fileBox("cb_cT_HT", Panel6);
    method->addWidget(rbHazeC, 0, 0);
    method->addWidget(rbHazeH, 1, 0);
    method->addWidget(LbStaticText1, 2, 0);
    method->addWidget(LbStaticText3, 2, 1);
    method->addWidget(cb_cR_HR, 3, 0);
    method->addWidget(cb_cT_HT, 3, 1);
    method->setColumnStretch(2, 1);
    page->addWidget(Panel6);

    AdvPanel = new QWidget(this);
    AdvPanel->setObjectName(QStringLiteral("AdvPanel"));
    auto* adv = new QVBoxLayout(AdvPanel);
    adv->setContentsMargins(0, 0, 0, 0);
    cbUseOtherHaze = new QCheckBox(
        QStringLiteral("Use other haze parameters for specified interfaces"), AdvPanel);
    cbUseOtherHaze->setObjectName(QStringLiteral("cbUseOtherHaze"));
    adv->addWidget(cbUseOtherHaze);
    pUseOtherHaze = new QWidget(AdvPanel);
    pUseOtherHaze->setObjectName(QStringLiteral("pUseOtherHaze"));
    auto* other = new QGridLayout(pUseOtherHaze);
    other->setContentsMargins(24, 0, 0, 0);
    eHazeOtherSpecifyInt = new QLineEdit(pUseOtherHaze);
    eHazeOtherSpecifyInt->setObjectName(QStringLiteral("eHazeOtherSpecifyInt"));
    rbHazeC_adv = radio(rbHazeC->text(), "rbHazeC_adv", pUseOtherHaze);
    rbHazeH_adv = radio(rbHazeH->text(), "rbHazeH_adv", pUseOtherHaze);
    LbStaticText2 = new QLabel(QStringLiteral("Specify cR"), pUseOtherHaze);
    LbStaticText4 = new QLabel(QStringLiteral("Specify cT"), pUseOtherHaze);
    cb_cR_HR_adv = fileBox("cb_cR_HR_adv", pUseOtherHaze);
    cb_cT_HT_adv = fileBox("cb_cT_HT_adv", pUseOtherHaze);
    other->addWidget(new QLabel(QStringLiteral("Specify interfaces"), pUseOtherHaze), 0, 0);
    other->addWidget(eHazeOtherSpecifyInt, 1, 0);
    other->addWidget(new QLabel(kInterfacesHint, pUseOtherHaze), 1, 1);
    other->addWidget(rbHazeC_adv, 2, 0);
    other->addWidget(rbHazeH_adv, 3, 0);
    other->addWidget(LbStaticText2, 4, 0);
    other->addWidget(LbStaticText4, 4, 1);
    other->addWidget(cb_cR_HR_adv, 5, 0);
    other->addWidget(cb_cT_HT_adv, 5, 1);
    other->setColumnStretch(2, 1);
    adv->addWidget(pUseOtherHaze);
    cbSpecified = new QCheckBox(
        QStringLiteral("At specified interfaces coherent specular light, coming from the front "
                       "(top) side of the structure, \nis scattered in transmission only"),
        AdvPanel);
    cbSpecified->setObjectName(QStringLiteral("cbSpecified"));
    adv->addSpacing(10);
    adv->addWidget(cbSpecified);
    pSpecified = new QWidget(AdvPanel);
    pSpecified->setObjectName(QStringLiteral("pSpecified"));
    auto* specified = new QGridLayout(pSpecified);
    specified->setContentsMargins(24, 0, 0, 0);
    eHazeSpecSpecifyInt = new QLineEdit(pSpecified);
    eHazeSpecSpecifyInt->setObjectName(QStringLiteral("eHazeSpecSpecifyInt"));
    specified->addWidget(new QLabel(QStringLiteral("Specify interfaces"), pSpecified), 0, 0);
    specified->addWidget(eHazeSpecSpecifyInt, 1, 0);
    specified->addWidget(new QLabel(kInterfacesHint, pSpecified), 1, 1);
    specified->setColumnStretch(2, 1);
    adv->addWidget(pSpecified);
    page->addWidget(AdvPanel);
    page->addStretch(1);

    // The two method choices are independent groups.
    for (const auto& group : {std::pair{rbHazeC, rbHazeH}, std::pair{rbHazeC_adv, rbHazeH_adv}}) {
        auto* buttons = new QButtonGroup(this);
        buttons->addButton(group.first);
        buttons->addButton(group.second);
    }
    onChecked(rbHazeC, this, [this] { rbHazeCClick(); });
    onChecked(rbHazeH, this, [this] { rbHazeCClick(); });
    onChecked(rbHazeC_adv, this, [this] { rbHazeC_advClick(); });
    onChecked(rbHazeH_adv, this, [this] { rbHazeC_advClick(); });
    connect(cbUseOtherHaze, &QCheckBox::toggled, this, &THazeForm::cbUseOtherHazeClick);
    connect(cbSpecified, &QCheckBox::toggled, this, &THazeForm::cbSpecifiedClick);
    for (QWidget* panel : {Panel5, Panel6, AdvPanel, pUseOtherHaze, pSpecified})
        parkFocusOnClick(panel);

    ComboLists& lists = host.comboLists();
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

    FormCreate();
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
