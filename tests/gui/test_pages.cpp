// How the editor pages behave: the Structure rows, the panels and lists of the Haze, ADF,
// R/T and Spectrum pages, the ADF groups, the add-on, and the folders of the File locations page.
#include "testapp.h"

using namespace lumetrix;
using test::q;
using test::texts;
using test::visible;

namespace {

constexpr int kLambertian = 0;
constexpr int kEllipsis = 1;
constexpr int kNone = 2;

template <typename Cell> QStringList column(const TStructureForm& page, Cell* TLayerRow::*cell) {
    QStringList out;
    for (int r = 1; r <= page.rowCount(); ++r)
        out << (page.row(r).*cell ? texts({page.row(r).*cell})[0] : QString());
    return out;
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

QString setting(const test::TestApp& app, std::string FolderSettings::*field) {
    return q(app.forms->MainForm->FolderSettings.*field);
}

void sendEvent(QWidget* widget, QEvent::Type type) {
    QEvent event(type);
    QCoreApplication::sendEvent(widget, &event);
}

const struct RowMenuCase {
    const char* name;
    const char* stack; // texts separated by "|"
    int row;
    bool add;
    const char *names, *roughness;
    QList<int> identities; // a new row's is the row count, the bottom medium's too for now
} kRowMenu[] = {
    {"add above layer 1", "A|B", 2, true, "air| |A|B|air", "|0|1|2|0", {1, 5, 2, 3, 5}},
    {"delete layer 1", "A|B|C", 2, false, "air|B|C|air", "|2|3|0", {1, 3, 4, 5}},
    {"add on the bottom medium", "A", 3, true, "air|A|air", "|1|0", {1, 2, 3}},
    {"delete the bottom medium", "A", 3, false, "air|A|air", "|1|0", {1, 2, 3}},
};

QStringList split(const char* text) {
    return QString::fromLatin1(text).split('|');
}

const struct SpectrumCase {
    const char* name;
    const char* library; // what lies in the working folder
    const char* spectrum;
    const char* line;
} kSpectrum[] = {
    {"no add-on", "", "", "Spectrum: AM15"},
    {"add-on, malformed spectrum", "addon", "spectrum_not_a_number.spk", "Spectrum: AM15"},
    {"a file that is no library", "fake", "spectrum_valid.spk", "Spectrum: AM15"},
    {"add-on, manual range", "addon", "spectrum_valid.spk", "Spectrum: AM15_tmp"},
};

const struct BrowseCase {
    const char* name;
    const char* button;
    const char* below; // the folder chosen below the working folder; empty: one outside
    bool cancelled;
} kBrowse[] = {
    {"nk inside", "btDir_nk", "nk2", false},
    {"nk outside", "btDir_nk", "", false},
    {"output inside", "btOutFileDir", "runs/Out2", false},
    {"spectrum outside", "btDir_spk", "", false},
    {"calibration cancelled", "btDir_cal", "", true},
};

const struct OutputCase {
    const char* name;
    const char* typed; // @ stands for the working folder
    bool enter;        // else the focus moves on
    bool create;       // the answer to the question, if asked
    const char* shown;
    const char* message;
    bool exists;
} kOutput[] = {
    {"Enter strips the separator", "<WORKDIR>/Out/", true, false, "<WORKDIR>/Out", "", true},
    {"leaving applies it", "<WORKDIR>/in/", false, false, "<WORKDIR>/in", "", true},
    {"missing, not created", "<WORKDIR>/Out9", true, false, "<WORKDIR>/Out9",
     "Directory @/Out9 does no exist! Create it?", false},
    {"missing, created", "<WORKDIR>/Out9", true, true, "<WORKDIR>/Out9",
     "Directory @/Out9 does no exist! Create it?", true},
    {"below a file", "@/List/layer.dat/Out", true, true, "@/List/layer.dat/Out",
     "Cannot create @/List/layer.dat/Out", false},
};

const struct CaptionCase {
    const char* name;
    bool advanced, over;
    Qt::Key key; // pressed with Ctrl held, through the main window
    bool all;    // "Assign ALL paths"
} kCaption[] = {
    {"Ctrl over the button", true, true, Qt::Key_Control, true},
    {"A over the button", true, true, Qt::Key_A, true},
    {"P is not passed on", true, true, Qt::Key_P, false},
    {"away from the button", true, false, Qt::Key_Control, false},
    {"advanced part hidden", false, true, Qt::Key_Control, false},
};

} // namespace

class PagesTest : public QObject {
    Q_OBJECT

private slots:
    // --- Structure page

    void structureRows() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        QCOMPARE(column(page, &TLayerRow::layerFile), (QStringList{"air", "air"}));
        QCOMPARE(column(page, &TLayerRow::roughness), (QStringList{"", "0"}));
        QVERIFY(page.pbAddRemoveLayer->isReadOnly());
        page.LbSpeedButton2MouseDown(); // REMOVE on no layers
        page.LbSpeedButton1MouseUp();
        QCOMPARE(page.pbAddRemoveLayer->text(), QStringLiteral("0"));
        // ADD: a blank layer above the bottom medium, which keeps its roughness and PV mark;
        // every row gets the list of layer.dat.
        page.row(2).roughness->setText(QStringLiteral("12.5"));
        page.row(2).pv->setChecked(true);
        QTest::mouseClick(page.LbSpeedButton1, Qt::LeftButton);
        QCOMPARE(column(page, &TLayerRow::layerFile), (QStringList{"air", " ", "air"}));
        const TLayerRow& layer = page.row(2);
        QCOMPARE(texts({layer.thickness, layer.segments, layer.roughness, layer.number}),
                 (QStringList{"0", "1", "0", "1"}));
        QCOMPARE(page.row(3).roughness->text(), QStringLiteral("12.5"));
        QVERIFY(layer.thickness->isEnabled() && !page.row(3).thickness->isEnabled());
        QVERIFY(!layer.pv->isChecked() && page.row(3).pv->isChecked());
        const int items = page.row(1).layerFile->count();
        QVERIFY(items >= 7);
        QCOMPARE(layer.layerFile->count(), items);
        QCOMPARE(layer.layerFile->itemText(items - 1), page.row(1).layerFile->itemText(items - 1));
        QVERIFY(!page.Timer1->isActive()); // released: no repetition
        // Held: one step at once, again after 500 ms, then every 100 ms, up to 48 layers.
        QTest::mousePress(page.LbSpeedButton1, Qt::LeftButton);
        QCOMPARE(page.rowCount(), 4);
        QCOMPARE(page.Timer1->interval(), 500);
        page.Timer1Timer();
        QCOMPARE(page.rowCount(), 5);
        QCOMPARE(page.Timer1->interval(), 100);
        for (int i = 0; i < 60; ++i)
            page.Timer1Timer();
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

    void rowMenu_data() { test::caseRows(kRowMenu); }
    void rowMenu() {
        QFETCH(int, index);
        const RowMenuCase& c = kRowMenu[index];
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, split(c.stack));
        QCOMPARE(page.row(1).number->contextMenuPolicy(), Qt::DefaultContextMenu);
        emit page.row(c.row).number->customContextMenuRequested(QPoint(2, 2));
        QCOMPARE(page.popupRow(), c.row);
        page.PopupMenu1->hide();
        (c.add ? page.AddLayer : page.DeleteLayer)->trigger();
        QCOMPARE(column(page, &TLayerRow::layerFile), split(c.names));
        QCOMPARE(column(page, &TLayerRow::roughness), split(c.roughness));
        for (int r = 1; r <= page.rowCount(); ++r) { // layers numbered 1.., media without
            const bool medium = r == 1 || r == page.rowCount();
            QCOMPARE(page.row(r).number->text(), medium ? QString() : QString::number(r - 1));
            const int id = c.identities[r - 1];
            QCOMPARE(page.row(r).identity, id);
            QCOMPARE(page.row(r).layerFile->property("Tag").toInt(), id);
            QCOMPARE(page.findRow(id), c.identities.indexOf(id) + 1);
        }
        QCOMPARE(page.pbAddRemoveLayer->text(), QString::number(page.rowCount() - 2));
        if (split(c.stack).size() > 1) // the thickness travels with its layer
            QCOMPARE(page.row(c.add ? 3 : 2).thickness->text(), c.add ? "100" : "200");
    }

    void rowLayout() {
        test::TestApp app;
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
        app.showPage(0, false); // the scroll box makes room for the advanced panel
        QCOMPARE(page.ScrollBox1->height(), 617);
        QVERIFY(!page.AdvPanel->isVisible());
        app.forms->MainForm->AdvButtonClick();
        QCOMPARE(page.ScrollBox1->height(), 442);
        QVERIFY(page.AdvPanel->isVisible());
    }

    // --- Haze parameters page

    void hazeMethodSwitchesOnlyItsOwnBoxes() {
        test::TestApp app;
        THazeForm& h = *app.forms->HazeForm;
        struct Pair {
            QRadioButton *c, *h;
            TComboBox *first, *second;
            QLabel *firstCaption, *secondCaption;
        };
        const Pair pairs[] = {
            {h.rbHazeC, h.rbHazeH, h.cb_cR_HR, h.cb_cT_HT, h.LbStaticText1, h.LbStaticText3},
            {h.rbHazeC_adv, h.rbHazeH_adv, h.cb_cR_HR_adv, h.cb_cT_HT_adv, h.LbStaticText2,
             h.LbStaticText4}};
        for (int i = 0; i < 2; ++i) {
            const Pair& p = pairs[i];
            const Pair& other = pairs[1 - i];
            p.first->setEditText(QStringLiteral("typed name"));
            p.h->setChecked(true); // the lists reload with their first items
            QCOMPARE(
                texts({p.first, p.second, p.firstCaption, p.secondCaption}),
                (QStringList{"HR_ZnO_textured", "HT_ZnO_textured", "Specify HR", "Specify HT"}));
            QVERIFY(other.c->isChecked());
            QCOMPARE(texts({other.first, other.firstCaption}),
                     (QStringList{"cR_glass_air", "Specify cR"}));
            p.second->setEditText(QStringLiteral("another"));
            p.c->setChecked(true);
            QCOMPARE(texts({p.first, p.second, p.firstCaption, p.secondCaption}),
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
        QCOMPARE(visible(panels), (QList<bool>{true, true, false, false, false}));
        app.forms->MainForm->AdvButtonClick();
        QCOMPARE(visible(panels), (QList<bool>{true, true, true, false, false}));
        haze.cbUseOtherHaze->click();
        haze.cbSpecified->click();
        QCOMPARE(visible(panels), (QList<bool>{true, true, true, true, true}));
        QVERIFY(haze.rbHazeC_adv->isVisible() && haze.cb_cT_HT_adv->isVisible());
        haze.eHazeOtherSpecifyInt->setText(QStringLiteral("0,3"));
        haze.cbUseOtherHaze->click(); // hides without clearing
        QCOMPARE(visible(panels), (QList<bool>{true, true, true, false, true}));
        QCOMPARE(haze.eHazeOtherSpecifyInt->text(), QStringLiteral("0,3"));
    }

    // --- Angular Distribution Functions page

    void parameterPanelsFollowTheItem() {
        const struct {
            int adf, item, page;
        } cases[] = {{1, 0, kNone},       {1, 2, kLambertian}, {1, 3, kEllipsis}, {1, 5, kNone},
                     {2, 1, kLambertian}, {2, 5, kEllipsis},   {2, 6, kEllipsis}, {2, 7, kNone}};
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        for (const auto& c : cases) {
            for (AdfColumn* column : {c.adf == 1 ? &form.adf1 : &form.adf2,
                                      c.adf == 1 ? &form.adf1_adv : &form.adf2_adv}) {
                column->r->setCurrentIndex(c.item);
                column->t->setCurrentIndex(c.item);
                const QString what = QStringLiteral("ADF%1 item %2").arg(c.adf).arg(c.item);
                QVERIFY2(column->notebookR->currentIndex() == c.page, qPrintable(what));
                QVERIFY2(column->notebookT->currentIndex() == c.page, qPrintable(what));
            }
        }
        QCOMPARE(
            (QStringList{form.adf1.notebookR->objectName(), form.adf1.notebookT->objectName(),
                         form.adf2.notebookR->objectName(), form.adf2_adv.notebookT->objectName()}),
            (QStringList{"Notebook1", "Notebook3", "Notebook2", "Notebook8"}));
    }

    void adfParametersAndExternalFunctions() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
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
                QCOMPARE(texts({form.eADFSpecInterface, form.adf1_adv.r, form.adf1_adv.ellipsR}),
                         (QStringList{"", "Specular (no scattering)", "1.00"}));
                QVERIFY(form.adf1_adv.internal->isChecked());
            }
            form.eADFSpecInterface->setText(QString::number(g));
            form.GroupDataChange(form.eADFSpecInterface);
        }
        form.ADFGroupSpin->setValue(1); // group 1 as stored
        QCOMPARE(texts({form.eADFSpecInterface, form.adf1_adv.ellipsR}),
                 (QStringList{"1", "2.25"}));
        QCOMPARE(form.adf1_adv.r->currentIndex(), 3);
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

    void groupChoicesAreStoredOnlyWhenEdited() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        app.showPage(2, true);
        // A group's ADF switched external and back keeps both its item and its file.
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
        // Showing a group never stores into it.
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
            QCOMPARE(texts({form.adf2_adv.lambR, form.adf2_adv.ellipsT}),
                     (QStringList{"2.00", "5.00"}));
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

    void refTransColumnsAndEdits() {
        test::TestApp app;
        TRefTransForm& rt = *app.forms->RefTransForm;
        for (const FunctionColumn& f : rt.functions) // the function boxes: their first item
            QCOMPARE(texts({f.c12, f.c21}), (QStringList{"none", "none"}));
        rt.functions[0].c21->setCurrentIndex(-1);
        app.forms->FilesForm->ReloadListBoxes();
        QCOMPARE(rt.functions[0].c21->currentIndex(), 0);
        // The factor columns follow their check; columns 2 and 3 also the advanced flag.
        app.showPage(3, false);
        const QList<const QWidget*> panels{rt.pIncludeDecr, rt.factors[0].c12, rt.AdvPanel2,
                                           rt.factors[2].direct};
        QCOMPARE(visible(panels), (QList<bool>{false, false, false, false}));
        rt.cbIncludeDecr->click();
        QCOMPARE(visible(panels), (QList<bool>{true, true, false, false}));
        app.forms->MainForm->AdvButtonClick();
        QCOMPARE(visible(panels), (QList<bool>{true, true, true, true}));
        rt.cbIncludeDecr->click();
        QCOMPARE(visible(panels), (QList<bool>{false, false, false, false}));
        // A factor out of its range is clamped with a beep, by Enter or by parking the focus.
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        rt.cbIncludeDecr->click();
        rt.cbIncludeInc_adv->click();
        for (TPBNumEdit* edit : {rt.factors[0].c12, rt.pbC21Scatt}) {
            const int beeps = app.beeps;
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, edit == rt.pbC21Scatt ? "0.5" : "1.5");
            if (edit == rt.pbC21Scatt)
                app.forms->MainForm->PremakniFocus();
            else
                QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(edit->text(), QStringLiteral("1"));
            QCOMPARE(app.beeps, beeps + 1);
        }
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

    void spectrumAddOn_data() { test::caseRows(kSpectrum); }
    void spectrumAddOn() {
        QFETCH(int, index);
        const SpectrumCase& c = kSpectrum[index];
        const QString library = QString::fromLatin1(c.library);
        test::TestApp app(false);
        if (library == "addon")
            QVERIFY(app.installAddOn(QString::fromLatin1(c.spectrum)));
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
        sp.FormCreate(); // a reset binds again without a second panel
        QCOMPARE(sp.ProPanel->findChildren<QDoubleSpinBox*>().size(), library == "addon" ? 2 : 0);
        if (library == "addon") {
            sp.ProPanel->findChild<QDoubleSpinBox*>(QStringLiteral("LXProFrom"))->setValue(400);
            sp.ProPanel->findChild<QDoubleSpinBox*>(QStringLiteral("LXProTo"))->setValue(600);
        }
        sp.cbManually->setChecked(true);
        QCOMPARE(app.lineStarting("Spectrum: "), QString::fromLatin1(c.line));
        const QByteArray converted = test::readAll(app.workDir() + "/Spectrum/AM15_tmp.spk");
        QCOMPARE(converted.isEmpty(), QByteArray(c.line).endsWith("AM15"));
        if (!converted.isEmpty()) {
            QVERIFY(converted.contains("# Range set manually: 400 to 600 nm\r\n400 1.1\r\n"));
            QVERIFY(!converted.contains("300\t0.45"));
        }
        QVERIFY(app.dialogs.calls.isEmpty()); // the writer shows nothing
    }

    // --- File locations page

    void browse_data() { test::caseRows(kBrowse); }
    void browse() {
        QFETCH(int, index);
        const BrowseCase& c = kBrowse[index];
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, true);
        const QString wd = setting(app, &FolderSettings::WorkDir);
        const QMap<QString, std::pair<QLineEdit*, std::string FolderSettings::*>> rows{
            {"btDir_nk", {files.eDir_nk, &FolderSettings::LayerFileDir}},
            {"btOutFileDir", {files.eOutFileDir, &FolderSettings::OutFileDir}},
            {"btDir_spk", {files.eDir_spk, &FolderSettings::SpectrumDir}},
            {"btDir_cal", {files.eDir_cRcT, &FolderSettings::CalibrationDir}}};
        const auto [edit, field] = rows[c.button];
        const QString before = edit->text(), beforeSetting = setting(app, field);
        const QString below = QString::fromLatin1(c.below);
        const QString chosen = below.isEmpty() ? app.tempPath("elsewhere/data") : wd + "/" + below;
        if (!c.cancelled)
            app.dialogs.answerFolder(chosen);
        QTest::mouseClick(files.findChild<QPushButton*>(c.button), Qt::LeftButton);
        const auto& call = app.dialogs.calls.last();
        QCOMPARE(call.kind, QStringLiteral("folder"));
        QCOMPARE(call.text, QStringLiteral("Please select directory..."));
        // The dialog starts at the folder shown, the marker expanded, with a separator.
        QCOMPARE(call.folder, QString(before).replace("<WORKDIR>", wd) + "/");
        QCOMPARE(edit->text(), c.cancelled       ? before
                               : below.isEmpty() ? chosen
                                                 : "<WORKDIR>/" + below);
        QCOMPARE(setting(app, field), c.cancelled ? beforeSetting : chosen);
        QTest::mouseClick(files.findChild<QPushButton*>(c.button), Qt::LeftButton);
        if (below.isEmpty() && !c.cancelled) // a full path starts the next one as shown
            QCOMPARE(app.dialogs.calls.last().folder, chosen);
    }

    void outputFolderIsAppliedWhenLeft_data() { test::caseRows(kOutput); }
    void outputFolderIsAppliedWhenLeft() {
        QFETCH(int, index);
        const OutputCase& c = kOutput[index];
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, true);
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        app.dialogs.calls.clear(); // the start project is missing
        const QString wd = setting(app, &FolderSettings::WorkDir);
        const auto expand = [&](const char* text) {
            return QString::fromLatin1(text).replace('@', wd);
        };
        if (c.create)
            app.dialogs.answerMessage(DialogButton::Ok);
        files.eOutFileDir->setFocus();
        files.eOutFileDir->setText(expand(c.typed));
        if (c.enter)
            QTest::keyClick(files.eOutFileDir, Qt::Key_Return);
        else
            files.eOutFileName->setFocus(Qt::TabFocusReason);
        QCOMPARE(files.eOutFileDir->text(), expand(c.shown));
        const QString full = expand(c.shown).replace("<WORKDIR>", wd);
        QCOMPARE(setting(app, &FolderSettings::OutFileDir), full); // kept when not created
        QCOMPARE(QDir(full).exists(), c.exists);
        QCOMPARE(app.dialogs.messageTexts().isEmpty(), !*c.message);
        if (*c.message) {
            QCOMPARE(app.dialogs.messageTexts().last(), expand(c.message));
            QCOMPARE(app.dialogs.calls.last().icon, DialogIcon::Error);
        }
        if (QByteArray(c.message).endsWith("Create it?"))
            QCOMPARE(app.dialogs.calls.last().buttons,
                     (QList<DialogButton>{DialogButton::Ok, DialogButton::Cancel}));
    }

    void defaultButton_data() { test::caseRows(kCaption); }
    void defaultButton() {
        QFETCH(int, index);
        const CaptionCase& c = kCaption[index];
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, c.advanced);
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        if (c.over)
            sendEvent(files.btDefault, QEvent::Enter);
        QCOMPARE(files.overDefaultButton(), c.over);
        const QString wd = setting(app, &FolderSettings::WorkDir);
        const QString project = app.tempPath("project");
        app.dialogs.answerFolder(project);
        files.btProjectDirClick(); // every folder below another one
        files.eOutFileDir->setText(app.tempPath("sims/run7"));
        files.eOutFileName->setFocus();
        app.modifiers = Qt::ControlModifier; // as the keyboard state tells
        QTest::keyPress(files.eOutFileName, c.key);
        QCOMPARE(files.btDefault->text(), c.all ? kAssignAllPaths : kAssignPaths);
        // Default puts the folders back under the working folder; with "ALL" also the output
        // folder, keeping its last name (asked for and made), else it stays.
        app.dialogs.answerMessage(DialogButton::Ok);
        files.btDefaultClick();
        QCOMPARE(texts({files.eDir_nk, files.eDir_cRcT, files.eDir_HRHT, files.eDir_ars,
                        files.eDir_spk, files.eDir_dat}),
                 QStringList({"nk", "cT_cR", "HT_HR", "ADF_external", "Spectrum", "List"})
                     .replaceInStrings(QRegularExpression("^"), "<WORKDIR>/"));
        QCOMPARE(setting(app, &FolderSettings::ListDir), wd + "/List");
        QCOMPARE(setting(app, &FolderSettings::InputFileDir), wd + "/in");
        QCOMPARE(files.eOutFileDir->text(), c.all ? "<WORKDIR>/run7" : app.tempPath("sims/run7"));
        QCOMPARE(setting(app, &FolderSettings::OutFileDir),
                 c.all ? wd + "/run7" : project + "/Out");
        QCOMPARE(QDir(wd + "/run7").exists(), c.all);
        app.modifiers = Qt::NoModifier;
        QTest::keyRelease(files.eOutFileName, Qt::Key_Control);
        QCOMPARE(files.btDefault->text(), kAssignPaths);
        if (c.over) { // Ctrl again, then the mouse leaves
            app.modifiers = Qt::ControlModifier;
            files.FormKeyDown(Qt::Key_Control, Qt::ControlModifier);
            sendEvent(files.btDefault, QEvent::Leave);
            QCOMPARE(files.btDefault->text(), kAssignPaths);
            QVERIFY(!files.overDefaultButton());
        }
    }

    void projectDirectoryAndReset() {
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        const QString wd = setting(app, &FolderSettings::WorkDir);
        const QList<const QWidget*> edits{files.eDir_nk,    files.eDir_cRcT, files.eDir_HRHT,
                                          files.eDir_ars,   files.eDir_spk,  files.eDir_dat,
                                          files.eOutFileDir};
        const QStringList under{"nk", "cT_cR", "HT_HR", "ADF_external", "Spectrum", "List", "Out"};
        const auto below = [&](const QString& folder) {
            return QStringList(under).replaceInStrings(QRegularExpression("^"), folder + "/");
        };
        const auto check = [&](const QString& shown, const QString& folder) {
            QCOMPARE(texts(edits), below(shown));
            QCOMPARE(setting(app, &FolderSettings::InputFileDir), folder + "/in");
            QCOMPARE(setting(app, &FolderSettings::ListDir), folder + "/List");
            QCOMPARE(setting(app, &FolderSettings::OutFileDir), folder + "/Out");
            QCOMPARE(setting(app, &FolderSettings::LayerFileDir), folder + "/nk");
        };
        check(QStringLiteral("<WORKDIR>"), wd); // a new page shows the marker
        QCOMPARE(files.eWorkDir->text(), wd);
        QVERIFY(files.eWorkDir->isReadOnly());
        QVERIFY(!files.cbOverwriteLXOut->isChecked());
        const QString d = app.tempPath("project");
        app.dialogs.answerFolder(d);
        QTest::mouseClick(files.btProjectDir, Qt::LeftButton);
        QCOMPARE(app.dialogs.calls.last().folder, wd);
        check(d, d);
        QVERIFY(!QDir(d).exists()); // nothing is created
        files.FormCreate();         // the reset brings every folder back
        check(QStringLiteral("<WORKDIR>"), wd);
    }

    void outputNameAndOverwriteChoice() {
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        QComboBox* list = app.forms->Results->cbIzberiGraf;
        files.eOutFileName->setText(QStringLiteral("run1"));
        QCOMPARE(setting(app, &FolderSettings::OutFileName), QStringLiteral("run1"));
        QCOMPARE(list->count(), 11);
        QCOMPARE((QStringList{list->itemText(0), list->itemText(1), list->itemText(9),
                              list->itemText(10)}),
                 (QStringList{"OnLine results as selected below", "run1.rta", "run1.hrt",
                              "IMPORT results..."}));
        files.FormCreate(); // the reset brings the default name and list back
        QCOMPARE(list->itemText(1), QStringLiteral("LXOut.rta"));
        QCOMPARE(setting(app, &FolderSettings::OutFileName), QStringLiteral("LXOut"));
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
        QCOMPARE(column(page, &TLayerRow::layerFile),
                 (QStringList{"air", "CIGS", "my film", "air"}));
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
