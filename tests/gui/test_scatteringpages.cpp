// The Haze parameters and Angular Distribution Functions pages.
#include "app/mainform.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "pages/adfform.h"
#include "pages/hazeform.h"
#include "testapp.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QtTest>

using namespace lumetrix;

namespace {

constexpr int kLambertian = 0;
constexpr int kEllipsis = 1;
constexpr int kNone = 2;

std::vector<std::string> build(TMainForm& main) {
    std::vector<std::string> lines;
    main.BuildInputFile(lines);
    return lines;
}

// Line n (from 1) of a file of the new two-row project.
QString line(const std::vector<std::string>& lines, std::size_t n) {
    return QString::fromStdString(lines.at(n - 1));
}

constexpr std::size_t C = 2;

// Shows a page with its advanced part.
template <typename Page> Page& showAdvanced(test::TestApp& app, Page& page, int tag) {
    TMainForm& main = *app.forms->MainForm;
    main.show();
    main.ToolBarClick(main.SideButtons[tag]);
    if (!main.advancedFlag(tag))
        main.AdvButtonClick();
    return page;
}

} // namespace

class ScatteringPagesTest : public QObject {
    Q_OBJECT

private slots:
    void hazeMethodSwitchReloadsBothLists() {
        test::TestApp app;
        THazeForm& haze = *app.forms->HazeForm;
        haze.cb_cR_HR->setEditText(QStringLiteral("typed name"));
        haze.rbHazeH->setChecked(true);
        QCOMPARE(haze.cb_cR_HR->currentText(), QStringLiteral("HR_ZnO_textured"));
        QCOMPARE(haze.cb_cT_HT->currentText(), QStringLiteral("HT_ZnO_textured"));
        QCOMPARE(haze.LbStaticText1->text(), QStringLiteral("Specify HR"));
        QCOMPARE(haze.LbStaticText3->text(), QStringLiteral("Specify HT"));
        haze.cb_cT_HT->setEditText(QStringLiteral("another"));
        haze.rbHazeC->setChecked(true);
        QCOMPARE(haze.cb_cR_HR->currentText(), QStringLiteral("cR_glass_air"));
        QCOMPARE(haze.cb_cT_HT->currentText(), QStringLiteral("cT_glass_air"));
        QCOMPARE(haze.cb_cR_HR->itemText(1), QStringLiteral("cR_ZnO_textured"));
        QCOMPARE(haze.LbStaticText1->text(), QStringLiteral("Specify cR"));
        // The other interfaces' method is a choice of its own.
        QCOMPARE(haze.LbStaticText2->text(), QStringLiteral("Specify cR"));
        QVERIFY(haze.rbHazeC_adv->isChecked());
    }

    void advancedMethodSwitchesOnlyItsOwnBoxes() {
        test::TestApp app;
        THazeForm& haze = *app.forms->HazeForm;
        haze.rbHazeH_adv->setChecked(true);
        QCOMPARE(haze.cb_cR_HR_adv->currentText(), QStringLiteral("HR_ZnO_textured"));
        QCOMPARE(haze.LbStaticText4->text(), QStringLiteral("Specify HT"));
        QCOMPARE(haze.cb_cR_HR->currentText(), QStringLiteral("cR_glass_air"));
        QVERIFY(haze.rbHazeC->isChecked());
    }

    void otherHazePanelShowsAndHidesWithoutClearing() {
        test::TestApp app;
        THazeForm& haze = showAdvanced(app, *app.forms->HazeForm, 1);
        QVERIFY(haze.cbUseOtherHaze->isVisible());
        QVERIFY(!haze.pUseOtherHaze->isVisible());
        haze.cbUseOtherHaze->click();
        QVERIFY(haze.pUseOtherHaze->isVisible());
        QVERIFY(haze.rbHazeC_adv->isVisible());
        QVERIFY(haze.cb_cT_HT_adv->isVisible());
        haze.eHazeOtherSpecifyInt->setText(QStringLiteral("0,3"));
        haze.cbUseOtherHaze->click();
        QVERIFY(!haze.pUseOtherHaze->isVisible());
        QCOMPARE(haze.eHazeOtherSpecifyInt->text(), QStringLiteral("0,3"));
        haze.cbSpecified->click();
        QVERIFY(haze.pSpecified->isVisible());
    }

    void withoutTheAdvancedFlagOnlyPowerAndMethod() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        THazeForm& haze = *app.forms->HazeForm;
        main.show();
        main.ToolBarClick(main.LbSpeedButton2);
        QVERIFY(haze.Panel5->isVisible());
        QVERIFY(haze.Panel6->isVisible());
        QVERIFY(!haze.AdvPanel->isVisible());
    }

    void hazeSettingsReachTheFile() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        THazeForm& haze = *app.forms->HazeForm;
        haze.rbPowerCustom->setChecked(true);
        haze.ePowerHT->setValue(2.75);
        haze.cbUseOtherHaze->setChecked(true);
        haze.eHazeOtherSpecifyInt->setText(QStringLiteral("1,2"));
        haze.rbHazeH_adv->setChecked(true);
        auto lines = build(main);
        QCOMPARE(line(lines, C + 22),
                 QStringLiteral("Power factor for calculation of haze parameter for transmitted "
                                "light (HT): 2.75"));
        QCOMPARE(line(lines, C + 29).right(1), QStringLiteral("y"));
        QCOMPARE(line(lines, C + 30),
                 QStringLiteral("Specified interfaces (0 = front surface): 1,2"));
        QCOMPARE(line(lines, C + 31).right(1), QStringLiteral("h"));
        QCOMPARE(line(lines, C + 32), QStringLiteral("T data: HT_ZnO_textured"));

        haze.FormCreate(); // the reset brings every default back
        lines = build(main);
        QCOMPARE(line(lines, C + 22).right(3), QStringLiteral(": 3"));
        QCOMPARE(line(lines, C + 29).right(1), QStringLiteral("n"));
        QCOMPARE(haze.ePowerHT->text(), QStringLiteral("2.5"));
        QVERIFY(haze.eHazeOtherSpecifyInt->text().isEmpty());
    }

    void parameterPanelsFollowTheItem_data() {
        QTest::addColumn<int>("adf");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("page");
        QTest::newRow("ADF1 item 0") << 1 << 0 << kNone;
        QTest::newRow("ADF1 item 2") << 1 << 2 << kLambertian;
        QTest::newRow("ADF1 item 3") << 1 << 3 << kEllipsis;
        QTest::newRow("ADF1 item 5") << 1 << 5 << kNone;
        QTest::newRow("ADF2 item 1") << 2 << 1 << kLambertian;
        QTest::newRow("ADF2 item 5") << 2 << 5 << kEllipsis;
        QTest::newRow("ADF2 item 6") << 2 << 6 << kEllipsis;
        QTest::newRow("ADF2 item 7") << 2 << 7 << kNone;
    }
    void parameterPanelsFollowTheItem() {
        QFETCH(int, adf);
        QFETCH(int, item);
        QFETCH(int, page);
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        for (AdfColumn* column :
             {adf == 1 ? &form.adf1 : &form.adf2, adf == 1 ? &form.adf1_adv : &form.adf2_adv}) {
            column->r->setCurrentIndex(item);
            column->t->setCurrentIndex(item);
            QCOMPARE(column->notebookR->currentIndex(), page);
            QCOMPARE(column->notebookT->currentIndex(), page);
        }
    }

    void lambertianValueIsKeptAcrossPages() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        form.adf1.r->setCurrentIndex(2);
        form.adf1.lambR->setValue(3.5);
        form.adf1.r->setCurrentIndex(3);
        QCOMPARE(form.adf1.notebookR->currentIndex(), kEllipsis);
        form.adf1.r->setCurrentIndex(1);
        QCOMPARE(form.adf1.notebookR->currentIndex(), kLambertian);
        QCOMPARE(form.adf1.lambR->text(), QStringLiteral("3.50"));
        QCOMPARE(form.adf1.notebookR->objectName(), QStringLiteral("Notebook1"));
        QCOMPARE(form.adf1.notebookT->objectName(), QStringLiteral("Notebook3"));
        QCOMPARE(form.adf2.notebookR->objectName(), QStringLiteral("Notebook2"));
        QCOMPARE(form.adf2_adv.notebookT->objectName(), QStringLiteral("Notebook8"));
    }

    void externalFunctionsShowNoParameter() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        form.adf2.external->setChecked(true);
        QCOMPARE(form.adf2.r->itemText(0), QStringLiteral("ADF2_ZnO_textured"));
        QCOMPARE(form.adf2.r->currentIndex(), 0);
        for (int item = 0; item < form.adf2.r->count(); ++item) {
            form.adf2.r->setCurrentIndex(item);
            QCOMPARE(form.adf2.notebookR->currentIndex(), kNone);
        }
        form.adf2.r->setEditText(QStringLiteral("typed"));
        form.adf2.internal->setChecked(true); // back: the catalogue, first item
        QCOMPARE(form.adf2.r->currentText(), QStringLiteral("Specular (no scattering)"));
    }

    void newProjectHasOtherAdfsChecked() {
        test::TestApp app;
        TADFForm& form = showAdvanced(app, *app.forms->ADFForm, 2);
        QVERIFY(form.cbOtherADF->isChecked());
        QVERIFY(form.pUseOtherADF->isVisible());
        QCOMPARE(form.pbNoAngles->text(), QStringLiteral("45"));
        QCOMPARE(form.ADFGroupSpin->maximum(), 1);
        QCOMPARE(form.ADFGroupSpin->Increment(), 0);
        QCOMPARE(form.adf1.lambT->text(), QStringLiteral("1.00"));
    }

    void addingAGroupShowsItsDefaults() {
        test::TestApp app;
        TADFForm& form = showAdvanced(app, *app.forms->ADFForm, 2);
        form.eADFSpecInterface->setText(QStringLiteral("0,1"));
        form.GroupDataChange(form.eADFSpecInterface);
        form.adf1_adv.r->setCurrentIndex(3);
        form.adf1_adv.ellipsR->setValue(2.25);
        form.GroupDataChange(form.adf1_adv.r);
        form.btAddADFGroup->click();
        QCOMPARE(form.selectedGroup(), 2);
        QCOMPARE(form.ADFGroupSpin->maximum(), 2);
        QCOMPARE(form.ADFGroupSpin->Increment(), 1);
        QVERIFY(form.eADFSpecInterface->text().isEmpty());
        QCOMPARE(form.adf1_adv.r->currentIndex(), 0);
        QCOMPARE(form.adf1_adv.ellipsR->text(), QStringLiteral("1.00"));
        QVERIFY(form.adf1_adv.internal->isChecked());
        form.ADFGroupSpin->stepDown();
        QCOMPARE(form.selectedGroup(), 1);
        QCOMPARE(form.eADFSpecInterface->text(), QStringLiteral("0,1"));
        QCOMPARE(form.adf1_adv.r->currentIndex(), 3);
        QCOMPARE(form.adf1_adv.ellipsR->text(), QStringLiteral("2.25"));
        QCOMPARE(form.adf1_adv.notebookR->currentIndex(), kEllipsis);
        QCOMPARE(form.groups().group(1).adf1.rChoice, std::string("4"));
    }

    void oneGroupSpinDoesNotStep() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        form.ADFGroupSpin->stepUp();
        QCOMPARE(form.selectedGroup(), 1);
        form.btRemoveADFGroup->click(); // one group: nothing happens
        QCOMPARE(form.groups().count(), 1);
    }

    void removingGroups() {
        test::TestApp app;
        TADFForm& form = showAdvanced(app, *app.forms->ADFForm, 2);
        for (int g = 1; g <= 3; ++g) {
            if (g > 1)
                form.btAddADFGroup->click();
            form.eADFSpecInterface->setText(QString::number(g));
            form.GroupDataChange(form.eADFSpecInterface);
        }
        form.ADFGroupSpin->setValue(2);
        form.btRemoveADFGroup->click();
        QCOMPARE(form.groups().count(), 2);
        QCOMPARE(form.selectedGroup(), 2);
        QCOMPARE(form.eADFSpecInterface->text(), QStringLiteral("3")); // group 3 moved down
        form.btRemoveADFGroup->click(); // the last group was selected
        QCOMPARE(form.selectedGroup(), 1);
        QCOMPARE(form.eADFSpecInterface->text(), QStringLiteral("1"));
        QCOMPARE(form.ADFGroupSpin->Increment(), 0);
        form.btAddADFGroup->click(); // re-added: every default, the T ellipse ratio included
        QVERIFY(form.eADFSpecInterface->text().isEmpty());
        QCOMPARE(form.adf2_adv.ellipsT->text(), QStringLiteral("1.00"));
        QCOMPARE(form.groups().group(2), AdfGroup::defaults());
    }

    void groupSwitchedExternalAndBackKeepsBothChoices() {
        test::TestApp app;
        TADFForm& form = showAdvanced(app, *app.forms->ADFForm, 2);
        form.adf1_adv.t->setCurrentIndex(4);
        form.GroupDataChange(form.adf1_adv.t);
        form.adf1_adv.external->setChecked(true);
        QVERIFY(form.groups().group(1).adf1.external);
        QCOMPARE(form.adf1_adv.t->currentText(), QStringLiteral("ADF1T_unity"));
        QCOMPARE(form.adf1_adv.r->itemText(0), QStringLiteral("ADF1_ZnO_textured"));
        form.adf1_adv.t->setEditText(QStringLiteral("ADF1_CIGS_rough"));
        form.GroupDataChange(form.adf1_adv.t);
        form.adf1_adv.internal->setChecked(true);
        QCOMPARE(form.adf1_adv.t->currentIndex(), 4);
        QCOMPARE(form.groups().group(1).adf1.tFile, std::string("ADF1_CIGS_rough"));
        form.adf1_adv.external->setChecked(true);
        QCOMPARE(form.adf1_adv.t->currentText(), QStringLiteral("ADF1_CIGS_rough"));
    }

    void showingAGroupNeverStoresIntoIt() {
        // Group 1 has an external ADF2 with its own parameters, group 2 an internal one with
        // others; stepping between them shows each as stored.
        test::TestApp app;
        TADFForm& form = showAdvanced(app, *app.forms->ADFForm, 2);
        AdfSet& first = form.groups().group(1).adf2;
        form.btAddADFGroup->click();
        AdfSet& second = form.groups().group(2).adf2;
        first.external = true;
        first.parameters = {7, 7, 7, 7};
        second.parameters = {2, 3, 4, 5};
        for (int round = 0; round < 2; ++round) {
            form.ADFGroupSpin->setValue(1);
            QCOMPARE(form.adf2_adv.lambR->text(), QStringLiteral("7.00"));
            QVERIFY(form.adf2_adv.external->isChecked());
            form.ADFGroupSpin->setValue(2);
            QCOMPARE(form.adf2_adv.lambR->text(), QStringLiteral("2.00"));
            QCOMPARE(form.adf2_adv.ellipsT->text(), QStringLiteral("5.00"));
        }
        QCOMPARE(first.parameters, (std::array<double, 4>{7, 7, 7, 7}));
        QCOMPARE(second.parameters, (std::array<double, 4>{2, 3, 4, 5}));
    }

    void leavingAGroupEditStoresIt() {
        test::TestApp app;
        TADFForm& form = showAdvanced(app, *app.forms->ADFForm, 2);
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        form.eADFSpecInterface->setFocus();
        QTest::keyClicks(form.eADFSpecInterface, QStringLiteral("0,4"));
        form.adf2_adv.lambT->setFocus();
        form.adf2_adv.lambT->selectAll();
        QTest::keyClicks(form.adf2_adv.lambT, QStringLiteral("1.5"));
        form.btAddADFGroup->click(); // moves the focus first: the pending edit is stored
        QCOMPARE(form.groups().group(1).interfaces, std::string("0,4"));
        QCOMPARE(form.groups().group(1).adf2.parameters[AdfSet::LambertianT], 1.5);
        QCOMPARE(form.selectedGroup(), 2);
    }

    void groupsAndListsReachTheFile() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        TADFForm& form = *app.forms->ADFForm;
        form.btAddADFGroup->click();
        form.btAddADFGroup->click();
        form.adf1.external->setChecked(true);
        const auto lines = build(main);
        QCOMPARE(line(lines, C + 71), QStringLiteral("No. of ADF interface groups: 3"));
        QCOMPARE(line(lines, C + 46).right(1), QStringLiteral("e"));
        QCOMPARE(line(lines, C + 48), QStringLiteral("T data: ADF1_ZnO_textured"));
        QCOMPARE(line(lines, C + 159), QStringLiteral("List of internal ADF1"));
        // With the external ADF1 chosen, its list holds the external file names.
        QCOMPARE(line(lines, C + 160), QStringLiteral("[1] ADF1_ZnO_textured"));

        form.cbOtherADF->setChecked(false);
        const auto unchecked = build(main);
        QCOMPARE(line(unchecked, C + 71), QStringLiteral("No. of ADF interface groups: 1"));
        QCOMPARE(line(unchecked, C + 72 + 29), QStringLiteral("List of internal ADF1"));
    }

    void resetPutsTheGroupsBack() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        form.btAddADFGroup->click();
        form.adf1.external->setChecked(true);
        form.cbOtherADF->setChecked(false);
        form.FormCreate();
        QCOMPARE(form.groups().count(), 1);
        QCOMPARE(form.selectedGroup(), 1);
        QVERIFY(form.adf1.internal->isChecked());
        QVERIFY(form.cbOtherADF->isChecked());
        QCOMPARE(form.adf1.r->itemText(0), QStringLiteral("Specular (no scattering)"));
        QCOMPARE(form.adf1.notebookR->currentIndex(), kNone);
    }
};

QTEST_MAIN(ScatteringPagesTest)
#include "test_scatteringpages.moc"
