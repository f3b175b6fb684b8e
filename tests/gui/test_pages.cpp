// How the editor pages behave: the Structure rows, the panels and lists of the Haze, ADF,
// R/T and Spectrum pages, the ADF groups, the add-on, and the folders of the File locations page.
#include "app/mainform.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "pages/adfform.h"
#include "pages/filesform.h"
#include "pages/hazeform.h"
#include "pages/reftransform.h"
#include "pages/spectrumform.h"
#include "pages/structureform.h"
#include "results/results.h"
#include "testapp.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

using namespace lumetrix;
using test::q;

namespace {

constexpr int kLambertian = 0;
constexpr int kEllipsis = 1;
constexpr int kNone = 2;

QStringList column(const TStructureForm& page, const std::function<QString(const TLayerRow&)>& f) {
    QStringList out;
    for (int r = 1; r <= page.rowCount(); ++r)
        out << f(page.row(r));
    return out;
}
QStringList names(const TStructureForm& page) {
    return column(page, [](const TLayerRow& row) { return row.layerFile->currentText(); });
}

// Layers with the given names, thicknesses 100, 200, ... and roughness 1, 2, ...
void makeStack(TStructureForm& page, const QStringList& layerNames) {
    for (int i = 0; i < layerNames.size(); ++i) {
        page.LbSpeedButton1MouseDown();
        page.LbSpeedButton1MouseUp();
    }
    for (int i = 0; i < layerNames.size(); ++i) {
        TLayerRow& row = page.row(i + 2);
        row.layerFile->setEditText(layerNames[i]);
        row.thickness->setText(QString::number(100 * (i + 1)));
        row.roughness->setText(QString::number(i + 1));
    }
}

const FolderSettings& folders(const test::TestApp& app) {
    return app.forms->MainForm->FolderSettings;
}
QString workDirOf(const test::TestApp& app) {
    return q(folders(app).WorkDir);
}

} // namespace

class PagesTest : public QObject {
    Q_OBJECT

private slots:
    // --- Structure page

    void structureStartsWithTwoMediaRows() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        QCOMPARE(names(page), (QStringList{"air", "air"}));
        QVERIFY(page.pbAddRemoveLayer->isReadOnly());
        QVERIFY(page.row(1).roughness == nullptr);
        QCOMPARE(page.row(2).roughness->text(), QStringLiteral("0"));
        const int items = page.row(1).layerFile->count();
        QVERIFY(items >= 7);
        page.LbSpeedButton2MouseDown(); // REMOVE on no layers
        page.LbSpeedButton1MouseUp();
        QCOMPARE(page.rowCount(), 2);
        QCOMPARE(page.pbAddRemoveLayer->text(), QStringLiteral("0"));
        // ADD: a blank layer above the bottom medium, which keeps its roughness and PV mark;
        // every row has the list of layer.dat.
        page.row(2).roughness->setText(QStringLiteral("12.5"));
        page.row(2).pv->setChecked(true);
        QTest::mouseClick(page.LbSpeedButton1, Qt::LeftButton);
        QCOMPARE(names(page), (QStringList{"air", " ", "air"}));
        const TLayerRow& layer = page.row(2);
        QCOMPARE(test::texts({layer.thickness, layer.segments, layer.roughness, layer.number,
                              page.row(3).roughness}),
                 (QStringList{"0", "1", "0", "1", "12.5"}));
        QVERIFY(layer.thickness->isEnabled() && !page.row(3).thickness->isEnabled());
        QVERIFY(!layer.pv->isChecked() && page.row(3).pv->isChecked());
        QCOMPARE(layer.layerFile->count(), items);
        QCOMPARE(layer.layerFile->itemText(items - 1), page.row(1).layerFile->itemText(items - 1));
        QVERIFY(!page.Timer1->isActive()); // released: no repetition
    }

    void holdingAddOrRemoveRepeats() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        QTest::mousePress(page.LbSpeedButton1, Qt::LeftButton);
        QCOMPARE(page.rowCount(), 3); // one step at once
        QCOMPARE(page.Timer1->interval(), 500);
        page.Timer1Timer(); // 500 ms later
        QCOMPARE(page.rowCount(), 4);
        QCOMPARE(page.Timer1->interval(), 100);
        for (int i = 0; i < 60; ++i) // then every 100 ms, up to 48 layers
            page.Timer1Timer();
        QCOMPARE(page.rowCount(), 50);
        QCOMPARE(page.pbAddRemoveLayer->text(), QStringLiteral("48"));
        QCOMPARE(page.row(49).number->text(), QStringLiteral("48"));
        QTest::mouseRelease(page.LbSpeedButton1, Qt::LeftButton);
        QVERIFY(!page.Timer1->isActive());
        page.popUpRowMenu(10, QPoint()); // no layer above the 48th
        page.PopupMenu1->hide();
        page.AddLayer->trigger();
        QCOMPARE(page.rowCount(), 50);
        QCOMPARE(page.row(10).identity, 10);

        QTest::mousePress(page.LbSpeedButton2, Qt::LeftButton);
        QCOMPARE(page.rowCount(), 49);
        QCOMPARE(page.Timer1->interval(), 500);
        for (int i = 0; i < 60; ++i)
            page.Timer1Timer();
        QCOMPARE(page.rowCount(), 2);
        QTest::mouseRelease(page.LbSpeedButton2, Qt::LeftButton);
        QVERIFY(!page.Timer1->isActive());
    }

    void rowMenu_data() {
        QTest::addColumn<QStringList>("stack");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("add");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("roughness");
        QTest::addColumn<QList<int>>("identities");
        // The inserted layer gets the new row count as identity, which the bottom medium
        // holds too until the Results page renumbers the rows.
        QTest::newRow("add above layer 1")
            << QStringList{"A", "B"} << 2 << true << QStringList{"air", " ", "A", "B", "air"}
            << QStringList{"", "0", "1", "2", "0"} << QList<int>{1, 5, 2, 3, 5};
        QTest::newRow("delete layer 1")
            << QStringList{"A", "B", "C"} << 2 << false << QStringList{"air", "B", "C", "air"}
            << QStringList{"", "2", "3", "0"} << QList<int>{1, 3, 4, 5};
        QTest::newRow("add on the bottom medium")
            << QStringList{"A"} << 3 << true << QStringList{"air", "A", "air"}
            << QStringList{"", "1", "0"} << QList<int>{1, 2, 3};
        QTest::newRow("delete the bottom medium")
            << QStringList{"A"} << 3 << false << QStringList{"air", "A", "air"}
            << QStringList{"", "1", "0"} << QList<int>{1, 2, 3};
    }
    void rowMenu() {
        QFETCH(QStringList, stack);
        QFETCH(int, row);
        QFETCH(bool, add);
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, stack);
        QCOMPARE(page.row(1).number->contextMenuPolicy(), Qt::DefaultContextMenu);
        emit page.row(row).number->customContextMenuRequested(QPoint(2, 2));
        QCOMPARE(page.popupRow(), row);
        page.PopupMenu1->hide();
        (add ? page.AddLayer : page.DeleteLayer)->trigger();
        QTEST(names(page), "names");
        QTEST(
            column(page, [](const TLayerRow& r) { return r.roughness ? r.roughness->text() : ""; }),
            "roughness");
        QFETCH(QList<int>, identities);
        for (int r = 1; r <= page.rowCount(); ++r) { // layers numbered 1.., media without
            const bool medium = r == 1 || r == page.rowCount();
            QCOMPARE(page.row(r).number->text(), medium ? QString() : QString::number(r - 1));
            QCOMPARE(page.row(r).identity, identities[r - 1]);
            QCOMPARE(page.row(r).layerFile->property("Tag").toInt(), identities[r - 1]);
            QCOMPARE(page.findRow(identities[r - 1]), identities.indexOf(identities[r - 1]) + 1);
        }
        QCOMPARE(page.pbAddRemoveLayer->text(), QString::number(page.rowCount() - 2));
        if (stack.size() > 1) // the thickness travels with its layer
            QCOMPARE(page.row(add ? 3 : 2).thickness->text(), add ? "100" : "200");
    }

    void rowsStandWhereTheyShould() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, {QStringLiteral("A"), QStringLiteral("B")});
        const TLayerRow& row = page.row(3); // r = 3: top 42
        const struct {
            QWidget* widget;
            const char* name;
            QRect geometry;
        } cells[] = {
            {row.pv, "G3", {0, 40, 15, 25}},          {row.number, "Ln3", {35, 42, 20, 22}},
            {row.layerFile, "L3", {54, 42, 325, 22}}, {row.thickness, "T3", {378, 42, 90, 22}},
            {row.segments, "P3", {467, 42, 90, 22}},  {row.roughness, "R3", {556, 32, 90, 22}}};
        for (const auto& cell : cells) {
            QCOMPARE(cell.widget->objectName(), QString::fromLatin1(cell.name));
            QCOMPARE(cell.widget->geometry(), cell.geometry);
        }
        QCOMPARE(row.segments->Decimals(), 0);
        QCOMPARE(static_cast<double>(row.thickness->MaxValue()), 1e7);
        QCOMPARE(static_cast<double>(row.segments->MinValue()), 1.0);
        // The scroll box makes room for the advanced panel.
        app.showPage(0, false);
        QCOMPARE(page.ScrollBox1->height(), 617);
        QVERIFY(!page.AdvPanel->isVisible());
        main.AdvButtonClick();
        QCOMPARE(page.ScrollBox1->height(), 442);
        QVERIFY(page.AdvPanel->isVisible());
    }

    // --- Haze parameters page

    void hazeMethodSwitchesOnlyItsOwnBoxes() {
        test::TestApp app;
        THazeForm& haze = *app.forms->HazeForm;
        struct Pair {
            QRadioButton *c, *h;
            TComboBox *first, *second;
            QLabel *firstCaption, *secondCaption;
        };
        const Pair pairs[] = {{haze.rbHazeC, haze.rbHazeH, haze.cb_cR_HR, haze.cb_cT_HT,
                               haze.LbStaticText1, haze.LbStaticText3},
                              {haze.rbHazeC_adv, haze.rbHazeH_adv, haze.cb_cR_HR_adv,
                               haze.cb_cT_HT_adv, haze.LbStaticText2, haze.LbStaticText4}};
        for (int i = 0; i < 2; ++i) {
            const Pair& p = pairs[i];
            const Pair& other = pairs[1 - i];
            p.first->setEditText(QStringLiteral("typed name"));
            p.h->setChecked(true); // the lists reload with their first items
            QCOMPARE(
                test::texts({p.first, p.second, p.firstCaption, p.secondCaption}),
                (QStringList{"HR_ZnO_textured", "HT_ZnO_textured", "Specify HR", "Specify HT"}));
            QVERIFY(other.c->isChecked());
            QCOMPARE(test::texts({other.first, other.firstCaption}),
                     (QStringList{"cR_glass_air", "Specify cR"}));
            p.second->setEditText(QStringLiteral("another"));
            p.c->setChecked(true);
            QCOMPARE(test::texts({p.first, p.second, p.firstCaption, p.secondCaption}),
                     (QStringList{"cR_glass_air", "cT_glass_air", "Specify cR", "Specify cT"}));
            QCOMPARE(p.first->itemText(1), QStringLiteral("cR_ZnO_textured"));
        }
    }

    void hazePanelsFollowTheFlagAndChecks() {
        test::TestApp app;
        THazeForm& haze = *app.forms->HazeForm;
        app.showPage(1, false);
        const QList<const QWidget*> panels{haze.Panel5, haze.Panel6, haze.AdvPanel,
                                           haze.pUseOtherHaze, haze.pSpecified};
        QCOMPARE(test::visible(panels), (QList<bool>{true, true, false, false, false}));
        app.forms->MainForm->AdvButtonClick();
        QCOMPARE(test::visible(panels), (QList<bool>{true, true, true, false, false}));
        haze.cbUseOtherHaze->click();
        haze.cbSpecified->click();
        QCOMPARE(test::visible(panels), (QList<bool>{true, true, true, true, true}));
        QVERIFY(haze.rbHazeC_adv->isVisible() && haze.cb_cT_HT_adv->isVisible());
        haze.eHazeOtherSpecifyInt->setText(QStringLiteral("0,3"));
        haze.cbUseOtherHaze->click(); // hides without clearing
        QCOMPARE(test::visible(panels), (QList<bool>{true, true, true, false, true}));
        QCOMPARE(haze.eHazeOtherSpecifyInt->text(), QStringLiteral("0,3"));
    }

    // --- Angular Distribution Functions page

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

    void adfParametersAndExternalFunctions() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        QCOMPARE(form.adf1.notebookR->objectName(), QStringLiteral("Notebook1"));
        QCOMPARE(form.adf1.notebookT->objectName(), QStringLiteral("Notebook3"));
        QCOMPARE(form.adf2.notebookR->objectName(), QStringLiteral("Notebook2"));
        QCOMPARE(form.adf2_adv.notebookT->objectName(), QStringLiteral("Notebook8"));
        form.adf1.r->setCurrentIndex(2);
        form.adf1.lambR->setValue(3.5);
        form.adf1.r->setCurrentIndex(3);
        form.adf1.r->setCurrentIndex(1); // the Lambertian value survives the other panel
        QCOMPARE(form.adf1.lambR->text(), QStringLiteral("3.50"));
        // External: the files' list, its first item, and no parameter for any item.
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

    void addingAndRemovingGroups() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        app.showPage(2, true);
        QVERIFY(form.pUseOtherADF->isVisible());
        QCOMPARE(form.ADFGroupSpin->maximum(), 1);
        QCOMPARE(form.ADFGroupSpin->Increment(), 0);
        form.ADFGroupSpin->stepUp(); // one group: neither the spin nor Remove does anything
        form.btRemoveADFGroup->click();
        QCOMPARE(form.selectedGroup(), 1);
        QCOMPARE(form.groups().count(), 1);
        form.adf1_adv.r->setCurrentIndex(3);
        form.adf1_adv.ellipsR->setValue(2.25);
        form.GroupDataChange(form.adf1_adv.r);
        for (int g = 1; g <= 3; ++g) {
            if (g > 1) { // a new group shows its defaults
                form.btAddADFGroup->click();
                QCOMPARE(form.selectedGroup(), g);
                QCOMPARE(form.ADFGroupSpin->maximum(), g);
                QCOMPARE(form.ADFGroupSpin->Increment(), 1);
                QVERIFY(form.eADFSpecInterface->text().isEmpty());
                QCOMPARE(form.adf1_adv.r->currentIndex(), 0);
                QCOMPARE(form.adf1_adv.ellipsR->text(), QStringLiteral("1.00"));
                QVERIFY(form.adf1_adv.internal->isChecked());
            }
            form.eADFSpecInterface->setText(QString::number(g));
            form.GroupDataChange(form.eADFSpecInterface);
        }
        form.ADFGroupSpin->setValue(1); // group 1 as stored
        QCOMPARE(form.eADFSpecInterface->text(), QStringLiteral("1"));
        QCOMPARE(form.adf1_adv.r->currentIndex(), 3);
        QCOMPARE(form.adf1_adv.ellipsR->text(), QStringLiteral("2.25"));
        QCOMPARE(form.adf1_adv.notebookR->currentIndex(), kEllipsis);
        QCOMPARE(form.groups().group(1).adf1.rChoice, std::string("4"));
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
        QCOMPARE(form.adf2_adv.ellipsT->text(), QStringLiteral("1.00"));
        QCOMPARE(form.groups().group(2), AdfGroup::defaults());
    }

    void groupSwitchedExternalAndBackKeepsBothChoices() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
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
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        app.showPage(2, true);
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
        // Leaving a group edit stores it: Add moves the focus first.
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        form.eADFSpecInterface->setFocus();
        QTest::keyClicks(form.eADFSpecInterface, QStringLiteral("0,4"));
        form.adf2_adv.lambT->setFocus();
        form.adf2_adv.lambT->selectAll();
        QTest::keyClicks(form.adf2_adv.lambT, QStringLiteral("1.5"));
        form.btAddADFGroup->click();
        QCOMPARE(form.groups().group(2).interfaces, std::string("0,4"));
        QCOMPARE(form.groups().group(2).adf2.parameters[AdfSet::LambertianT], 1.5);
        QCOMPARE(form.selectedGroup(), 3);
    }

    // --- Total Reflectance and Transmittance page

    void factorColumnsFollowTheCheckAndTheFlag() {
        test::TestApp app;
        TRefTransForm& rt = *app.forms->RefTransForm;
        app.showPage(3, false);
        QVERIFY(!rt.pIncludeDecr->isVisible());
        rt.cbIncludeDecr->click();
        QVERIFY(rt.pIncludeDecr->isVisible());
        QVERIFY(rt.factors[0].c12->isVisible());
        QVERIFY(!rt.AdvPanel2->isVisible());
        app.forms->MainForm->AdvButtonClick();
        QVERIFY(rt.AdvPanel2->isVisible());
        QVERIFY(rt.factors[2].direct->isVisible());
        rt.cbIncludeDecr->click();
        QVERIFY(!rt.pIncludeDecr->isVisible());
        QVERIFY(!rt.AdvPanel2->isVisible());
    }

    void factorEditsClampWhenLeft() {
        test::TestApp app;
        TRefTransForm& rt = *app.forms->RefTransForm;
        app.showPage(3, true);
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        rt.cbIncludeDecr->click();
        rt.cbIncludeInc_adv->click();
        const struct {
            TPBNumEdit* edit;
            const char* typed;
            bool enter; // else the focus is parked
        } cases[] = {{rt.factors[0].c12, "1.5", true}, {rt.pbC21Scatt, "0.5", false}};
        for (const auto& c : cases) {
            const int beeps = app.beeps;
            c.edit->setFocus();
            c.edit->selectAll();
            QTest::keyClicks(c.edit, QString::fromLatin1(c.typed));
            if (c.enter)
                QTest::keyClick(c.edit, Qt::Key_Return);
            else
                app.forms->MainForm->PremakniFocus();
            QCOMPARE(c.edit->text(), QStringLiteral("1"));
            QCOMPARE(app.beeps, beeps + 1);
        }
    }

    void calibrationFunctionBoxesSelectTheirFirstItem() {
        test::TestApp app;
        TRefTransForm& rt = *app.forms->RefTransForm;
        for (const FunctionColumn& f : rt.functions) {
            QCOMPARE(f.c12->currentIndex(), 0);
            QCOMPARE(f.c21->currentText(), QStringLiteral("none"));
        }
        rt.functions[0].c21->setEditText(QString());
        rt.functions[0].c21->setCurrentIndex(-1);
        app.forms->FilesForm->ReloadListBoxes();
        QCOMPARE(rt.functions[0].c21->currentIndex(), 0);
    }

    // --- Illumination Spectrum page

    void diffusedLightPanelAndAdfChoice() {
        test::TestApp app;
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        app.showPage(4, true);
        QVERIFY(!sp.Panel1->isVisible());
        sp.rbCombination->setChecked(true);
        QVERIFY(sp.Panel1->isVisible());
        sp.pbRatio->setValue(0.3);
        sp.rbCoherent->setChecked(true);
        QVERIFY(!sp.Panel1->isVisible());
        QCOMPARE(sp.pbRatio->text(), QStringLiteral("0.30"));
        sp.cbADF1_Spekt->setCurrentIndex(3);
        QCOMPARE(sp.Notebook1->currentIndex(), kEllipsis);
        sp.rbSpecADFExternal->setChecked(true);
        QCOMPARE(sp.cbADF1_Spekt->itemText(0), QStringLiteral("ADF1_ZnO_textured"));
        QCOMPARE(sp.Notebook1->currentIndex(), kNone);
        sp.rbSpecADFInternal->setChecked(true);
        QCOMPARE(sp.cbADF1_Spekt->currentIndex(), 0);
        QCOMPARE(sp.Notebook1->currentIndex(), kNone);
    }

    void spectrumNameStaysPlainWithoutAConversion_data() {
        QTest::addColumn<QString>("library"); // what lies in the working folder
        QTest::addColumn<QString>("spectrum");
        QTest::newRow("no add-on") << ""
                                   << "";
        QTest::newRow("add-on, malformed spectrum") << "addon"
                                                    << "spectrum_not_a_number.spk";
        QTest::newRow("a file that is no library") << "fake"
                                                   << "spectrum_valid.spk";
    }
    void spectrumNameStaysPlainWithoutAConversion() {
        QFETCH(QString, library);
        QFETCH(QString, spectrum);
        test::TestApp app(false);
        if (library == "addon")
            QVERIFY(app.installAddOn(spectrum));
        else if (library == "fake")
            QVERIFY(test::writeAll(app.workDir() + "/libLXPro.so", "not a library"));
        app.createForms();
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        app.showPage(4, false);
        app.dialogs.calls.clear(); // the start project is missing
        QCOMPARE(app.forms->MainForm->AddOnPresent, !library.isEmpty());
        QCOMPARE(sp.cbManually->isVisible(), !library.isEmpty());
        QCOMPARE(sp.addOn().offersConversion(), library == "addon");
        if (library.isEmpty())
            QVERIFY(sp.ProPanel->findChildren<QWidget*>().isEmpty());
        sp.cbManually->setChecked(true);
        QCOMPARE(app.lineStarting("Spectrum: "), QStringLiteral("Spectrum: AM15"));
        QVERIFY(!QFile::exists(app.workDir() + "/Spectrum/AM15_tmp.spk"));
        QVERIFY(app.dialogs.calls.isEmpty()); // the writer shows nothing
    }

    void addOnPanelConvertsTheSpectrum() {
        test::TestApp app(false);
        QVERIFY(app.installAddOn(QStringLiteral("spectrum_valid.spk")));
        app.createForms();
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        sp.FormCreate(); // a reset binds again without a second panel
        QCOMPARE(sp.ProPanel->findChildren<QDoubleSpinBox*>().size(), 2);
        sp.ProPanel->findChild<QDoubleSpinBox*>(QStringLiteral("LXProFrom"))->setValue(400);
        sp.ProPanel->findChild<QDoubleSpinBox*>(QStringLiteral("LXProTo"))->setValue(600);
        sp.cbManually->setChecked(true);
        QCOMPARE(app.lineStarting("Spectrum: "), QStringLiteral("Spectrum: AM15_tmp"));
        const QByteArray text = test::readAll(app.workDir() + "/Spectrum/AM15_tmp.spk");
        QVERIFY(text.contains("# Range set manually: 400 to 600 nm\r\n400 1.1\r\n"));
        QVERIFY(!text.contains("300\t0.45"));
    }

    // --- File locations page

    void filesPageShowsFoldersWithTheMarker() {
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        QCOMPARE(files.eWorkDir->text(), workDirOf(app));
        QVERIFY(files.eWorkDir->isReadOnly());
        QCOMPARE(test::texts({files.eOutFileDir, files.eDir_nk, files.eDir_cRcT, files.eDir_HRHT,
                              files.eDir_ars, files.eDir_spk, files.eDir_dat}),
                 QStringList({"Out", "nk", "cT_cR", "HT_HR", "ADF_external", "Spectrum", "List"})
                     .replaceInStrings(QRegularExpression("^"), "<WORKDIR>/"));
        QCOMPARE(q(folders(app).InputFileDir), workDirOf(app) + "/in");
        QCOMPARE(q(folders(app).OutFileDir), workDirOf(app) + "/Out");
        QVERIFY(!files.cbOverwriteLXOut->isChecked());
    }

    void browse_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("chosenBelowWorkDir"); // empty: a folder outside
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("nk inside") << "btDir_nk"
                                   << "nk2" << false;
        QTest::newRow("nk outside") << "btDir_nk"
                                    << "" << false;
        QTest::newRow("output inside") << "btOutFileDir"
                                       << "runs/Out2" << false;
        QTest::newRow("spectrum outside") << "btDir_spk"
                                          << "" << false;
        QTest::newRow("calibration cancelled") << "btDir_cal"
                                               << "" << true;
    }
    void browse() {
        QFETCH(QString, button);
        QFETCH(QString, chosenBelowWorkDir);
        QFETCH(bool, cancelled);
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, true);
        const QString wd = workDirOf(app);
        const QMap<QString, std::pair<QLineEdit*, std::string FolderSettings::*>> rows{
            {"btDir_nk", {files.eDir_nk, &FolderSettings::LayerFileDir}},
            {"btOutFileDir", {files.eOutFileDir, &FolderSettings::OutFileDir}},
            {"btDir_spk", {files.eDir_spk, &FolderSettings::SpectrumDir}},
            {"btDir_cal", {files.eDir_cRcT, &FolderSettings::CalibrationDir}}};
        const auto [edit, setting] = rows[button];
        const QString before = edit->text(), beforeSetting = q(folders(app).*setting);
        const QString chosen = chosenBelowWorkDir.isEmpty() ? app.tempPath("elsewhere/data")
                                                            : wd + "/" + chosenBelowWorkDir;
        if (!cancelled)
            app.dialogs.answerFolder(chosen);
        QTest::mouseClick(files.findChild<QPushButton*>(button), Qt::LeftButton);
        const auto& call = app.dialogs.calls.last();
        QCOMPARE(call.kind, QStringLiteral("folder"));
        QCOMPARE(call.text, QStringLiteral("Please select directory..."));
        // The dialog starts at the folder shown, the marker expanded, with a separator.
        QCOMPARE(call.folder, QString(before).replace("<WORKDIR>", wd) + "/");
        if (cancelled) {
            QCOMPARE(edit->text(), before);
            QCOMPARE(q(folders(app).*setting), beforeSetting);
            return;
        }
        QCOMPARE(edit->text(),
                 chosenBelowWorkDir.isEmpty() ? chosen : "<WORKDIR>/" + chosenBelowWorkDir);
        QCOMPARE(q(folders(app).*setting), chosen);
        QTest::mouseClick(files.findChild<QPushButton*>(button), Qt::LeftButton);
        if (chosenBelowWorkDir.isEmpty()) // a full path starts the next one as shown
            QCOMPARE(app.dialogs.calls.last().folder, chosen);
    }

    void outputFolderIsAppliedWhenLeft_data() {
        QTest::addColumn<QString>("typed"); // @ stands for the working folder
        QTest::addColumn<bool>("enter");    // else the focus moves on
        QTest::addColumn<bool>("create");   // the answer to the question, if asked
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("exists");
        QTest::newRow("Enter strips the separator")
            << "<WORKDIR>/Out/" << true << false << "<WORKDIR>/Out"
            << "" << true;
        QTest::newRow("leaving applies it") << "<WORKDIR>/in/" << false << false << "<WORKDIR>/in"
                                            << "" << true;
        QTest::newRow("missing, not created")
            << "<WORKDIR>/Out9" << true << false << "<WORKDIR>/Out9"
            << "Directory @/Out9 does no exist! Create it?" << false;
        QTest::newRow("missing, created") << "<WORKDIR>/Out9" << true << true << "<WORKDIR>/Out9"
                                          << "Directory @/Out9 does no exist! Create it?" << true;
        QTest::newRow("below a file")
            << "@/List/layer.dat/Out" << true << true << "@/List/layer.dat/Out"
            << "Cannot create @/List/layer.dat/Out" << false;
    }
    void outputFolderIsAppliedWhenLeft() {
        QFETCH(QString, typed);
        QFETCH(bool, enter);
        QFETCH(bool, create);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        QFETCH(bool, exists);
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, true);
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        app.dialogs.calls.clear(); // the start project is missing
        const QString wd = workDirOf(app);
        if (create)
            app.dialogs.answerMessage(DialogButton::Ok);
        files.eOutFileDir->setFocus();
        files.eOutFileDir->setText(typed.replace('@', wd));
        if (enter)
            QTest::keyClick(files.eOutFileDir, Qt::Key_Return);
        else
            files.eOutFileName->setFocus(Qt::TabFocusReason);
        QCOMPARE(files.eOutFileDir->text(), shown.replace('@', wd));
        const QString full = QString(shown).replace("<WORKDIR>", wd);
        QCOMPARE(q(folders(app).OutFileDir), full); // kept even when not created
        QCOMPARE(QDir(full).exists(), exists);
        message.replace('@', wd);
        QCOMPARE(app.dialogs.messageTexts().isEmpty(), message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(app.dialogs.messageTexts().last(), message);
            QCOMPARE(app.dialogs.calls.last().icon, DialogIcon::Error);
        }
        if (message.endsWith("Create it?"))
            QCOMPARE(app.dialogs.calls.last().buttons,
                     (QList<DialogButton>{DialogButton::Ok, DialogButton::Cancel}));
    }

    void defaultButtonCaption_data() {
        QTest::addColumn<bool>("advanced");
        QTest::addColumn<bool>("over");
        QTest::addColumn<int>("key"); // pressed with Ctrl held, through the main window
        QTest::addColumn<QString>("caption");
        QTest::newRow("Ctrl over the button")
            << true << true << int(Qt::Key_Control) << kAssignAllPaths;
        QTest::newRow("A over the button") << true << true << int(Qt::Key_A) << kAssignAllPaths;
        QTest::newRow("P is not passed on") << true << true << int(Qt::Key_P) << kAssignPaths;
        QTest::newRow("away from the button")
            << true << false << int(Qt::Key_Control) << kAssignPaths;
        QTest::newRow("advanced part hidden")
            << false << true << int(Qt::Key_Control) << kAssignPaths;
    }
    void defaultButtonCaption() {
        QFETCH(bool, advanced);
        QFETCH(bool, over);
        QFETCH(int, key);
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, advanced);
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        if (over) {
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(files.btDefault, &enter);
        }
        QCOMPARE(files.overDefaultButton(), over);
        files.eOutFileName->setFocus();
        app.modifiers = Qt::ControlModifier; // as the keyboard state tells
        QTest::keyPress(files.eOutFileName, static_cast<Qt::Key>(key));
        QTEST(files.btDefault->text(), "caption");
        app.modifiers = Qt::NoModifier;
        QTest::keyRelease(files.eOutFileName, Qt::Key_Control);
        QCOMPARE(files.btDefault->text(), kAssignPaths);
        if (over) { // Ctrl again, then the mouse leaves
            app.modifiers = Qt::ControlModifier;
            files.FormKeyDown(Qt::Key_Control, Qt::ControlModifier);
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(files.btDefault, &leave);
            QCOMPARE(files.btDefault->text(), kAssignPaths);
            QVERIFY(!files.overDefaultButton());
        }
    }

    void projectDirectoryDefaultAndReset() {
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, true);
        const QString wd = workDirOf(app);
        const QString d = app.tempPath("project");
        app.dialogs.answerFolder(d);
        QTest::mouseClick(files.btProjectDir, Qt::LeftButton);
        QCOMPARE(app.dialogs.calls.last().folder, wd);
        const QList<QLineEdit*> edits{files.eDir_nk,    files.eDir_cRcT, files.eDir_HRHT,
                                      files.eDir_ars,   files.eDir_spk,  files.eDir_dat,
                                      files.eOutFileDir};
        const QStringList under{"nk", "cT_cR", "HT_HR", "ADF_external", "Spectrum", "List", "Out"};
        for (int i = 0; i < edits.size(); ++i)
            QCOMPARE(edits[i]->text(), d + "/" + under[i]);
        QCOMPARE(q(folders(app).InputFileDir), d + "/in");
        QCOMPARE(q(folders(app).ListDir), d + "/List");
        QCOMPARE(q(folders(app).OutFileDir), d + "/Out");
        QVERIFY(!QDir(d).exists()); // nothing is created
        // Default: every folder back under the working folder but the output folder.
        QTest::mouseClick(files.btDefault, Qt::LeftButton);
        for (int i = 0; i < edits.size() - 1; ++i)
            QCOMPARE(edits[i]->text(), "<WORKDIR>/" + under[i]);
        QCOMPARE(q(folders(app).ListDir), wd + "/List");
        QCOMPARE(q(folders(app).InputFileDir), wd + "/in");
        QCOMPARE(files.eOutFileDir->text(), d + "/Out");
        QCOMPARE(q(folders(app).OutFileDir), d + "/Out");
        // The reset brings the output folder back too.
        app.dialogs.answerFolder(d);
        QTest::mouseClick(files.btProjectDir, Qt::LeftButton);
        files.FormCreate();
        const FolderSettings expected = FolderSettings::defaults(folders(app).WorkDir);
        for (auto field : {&FolderSettings::ListDir, &FolderSettings::OutFileDir,
                           &FolderSettings::InputFileDir, &FolderSettings::LayerFileDir})
            QCOMPARE(q(folders(app).*field), q(expected.*field));
        QCOMPARE(files.eDir_dat->text(), QStringLiteral("<WORKDIR>/List"));
        QCOMPARE(files.eOutFileDir->text(), QStringLiteral("<WORKDIR>/Out"));
    }

    void ctrlDefaultMovesTheOutputFolderUnderTheWorkingFolder() {
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, true);
        app.dialogs.calls.clear(); // the start project is missing
        const QString wd = workDirOf(app);
        files.eOutFileDir->setText(app.tempPath("sims/run7"));
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(files.btDefault, &enter);
        app.modifiers = Qt::ControlModifier;
        files.FormKeyDown(Qt::Key_Control, Qt::ControlModifier);
        app.dialogs.answerMessage(DialogButton::Ok);
        files.btDefaultClick();
        QCOMPARE(files.eOutFileDir->text(), QStringLiteral("<WORKDIR>/run7"));
        QCOMPARE(q(folders(app).OutFileDir), wd + "/run7");
        QCOMPARE(app.dialogs.messageTexts().size(), 1); // run7 did not exist: asked and made
        QVERIFY(QDir(wd + "/run7").exists());
    }

    void outputNameAndOverwriteChoice() {
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        QComboBox* list = app.forms->Results->cbIzberiGraf;
        files.eOutFileName->setText(QStringLiteral("run1"));
        QCOMPARE(q(folders(app).OutFileName), QStringLiteral("run1"));
        QCOMPARE(list->count(), 11);
        QCOMPARE(list->itemText(0), QStringLiteral("OnLine results as selected below"));
        QCOMPARE(list->itemText(1), QStringLiteral("run1.rta"));
        QCOMPARE(list->itemText(9), QStringLiteral("run1.hrt"));
        QCOMPARE(list->itemText(10), QStringLiteral("IMPORT results..."));
        files.FormCreate(); // the reset brings the default name and list back
        QCOMPARE(list->itemText(1), QStringLiteral("LXOut.rta"));
        QCOMPARE(q(folders(app).OutFileName), QStringLiteral("LXOut"));
        for (const bool on : {true, false}) { // the overwrite choice is stored at once
            files.cbOverwriteLXOut->click();
            QSettings stored(app.settings->fileName(), QSettings::IniFormat);
            QCOMPARE(stored.value(QStringLiteral("OverwriteOutFiles")).toBool(), on);
        }
    }

    void newListingFolderRefillsTheBoxes() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        TFilesForm& files = *app.forms->FilesForm;
        makeStack(page, {QStringLiteral("CIGS"), QStringLiteral("my film")});
        QComboBox* spectrum = app.forms->SpectrumForm->cbSpekter;
        const int spectra = spectrum->count();
        const QString lists = app.tempPath("lists");
        QVERIFY(test::copyTree(app.workDir() + "/List", lists));
        QVERIFY(QFile::remove(lists + "/Spectrum.dat"));
        QVERIFY(test::writeAll(lists + "/layer.dat", "air\r\nCIGS\r\nW\r\n"));
        app.dialogs.answerFolder(lists);
        files.btDirClick(files.brDir_dat);
        QCOMPARE(files.eDir_dat->text(), lists);
        // Each row keeps its name and selects the equal item of the new list.
        QCOMPARE(names(page), (QStringList{"air", "CIGS", "my film", "air"}));
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(page.row(r).layerFile->count(), 3);
        QCOMPARE(page.row(2).layerFile->currentIndex(), 1);
        QCOMPARE(page.row(3).layerFile->currentIndex(), -1);
        // Spectrum.dat is missing there: one error, and that box keeps its list.
        QCOMPARE(app.dialogs.messageTexts().size(), 1);
        QVERIFY(app.dialogs.messageTexts()[0].startsWith("Cannot open file \"" + lists +
                                                         "/Spectrum.dat\""));
        QCOMPARE(spectrum->count(), spectra);
    }
};

QTEST_MAIN(PagesTest)
#include "test_pages.moc"
