// Every control of the editor pages reaches its own field of the project (fillProject), a read
// project shows each value in its control (takeLoaded), and a saved project reads back whole.
#include "testapp.h"

using namespace lumetrix;
using test::q;

namespace {

// Each puts a value into a control and the same value into the field the page must fill.
void set(TPBNumEdit* edit, const std::string& text, std::string& field) {
    edit->setValue(std::stod(text));
    field = text;
}
void set(QLineEdit* edit, const std::string& text, std::string& field) {
    edit->setText(q(text));
    field = text;
}
void set(QComboBox* box, const std::string& text, std::string& field) {
    if (box->isEditable())
        box->setEditText(q(text));
    else
        box->setCurrentIndex(box->findText(q(text)));
    field = text;
}
void set(QAbstractButton* button, bool on, bool& field) {
    button->setChecked(on);
    field = on;
}
void choose(QComboBox* box, int item, AdfChoice& field) {
    box->setCurrentIndex(item);
    field = {item, box->itemText(item).toStdString()};
}

std::vector<std::string> listing(const QString& path) {
    std::vector<std::string> items;
    for (const QByteArray& line : test::readAll(path).split('\n'))
        if (!line.trimmed().isEmpty())
            items.push_back(line.trimmed().toStdString());
    return items;
}

// The settings of each page: "main" has every option that carries more values switched on;
// "alt" turns each check and radio choice the other way.
void setStructure(test::TestApp& app, Project& e, bool alt) {
    TStructureForm& page = *app.forms->StructureForm;
    for (int i = 0; i < 2; ++i) {
        page.LbSpeedButton1MouseDown();
        page.LbSpeedButton1MouseUp();
    }
    // {creation, identity, number, enabled, file, thickness, enabled, segments, enabled,
    //  roughness, PV, enabled}
    e.structure.rows = {{1, 1, "", false, "glass", " ", false, " ", false, "", alt, true},
                        {2, 2, "1", true, "CIGS", "1500", true, "3", true, "1.5", !alt, true},
                        {3, 3, "2", true, "my film", "250.5", true, "7", true, "2.5", alt, true},
                        {4, 4, "", false, "Mo", " ", false, " ", false, "3.5", !alt, true}};
    for (int r = 1; r <= 4; ++r) {
        const LayerRow& v = e.structure.rows[static_cast<std::size_t>(r - 1)];
        TLayerRow& row = page.row(r);
        row.layerFile->setEditText(q(v.layerFile));
        if (r == 2 || r == 3) {
            row.thickness->setValue(std::stod(v.thickness));
            row.segments->setValue(std::stod(v.segments));
        }
        if (r > 1)
            row.roughness->setValue(std::stod(v.roughness));
        row.pv->setChecked(v.pvActive);
    }
    // A typed factor counts once the focus is parked, as every command that reads does.
    TMainForm& main = *app.forms->MainForm;
    app.showPage(0, true);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    page.pbIfactor->setFocus();
    page.pbIfactor->selectAll();
    QTest::keyClicks(page.pbIfactor, QStringLiteral("2.5"));
    main.PremakniFocus();
    e.structure.pbIfactor = "2.5";
    set(page.pbCfactor, "3", e.structure.pbCfactor);
}

void setHaze(test::TestApp& app, Project& e, bool alt) {
    THazeForm& page = *app.forms->HazeForm;
    HazeSettings& h = e.haze;
    (alt ? page.rbPower2 : page.rbPowerCustom)->setChecked(true);
    h.power = alt ? HazeSettings::Power::Two : HazeSettings::Power::Custom;
    set(page.ePowerHT, "2.75", h.ePowerHT);
    set(alt ? page.rbHazeC : page.rbHazeH, true, h.rbHazeC); // a method reloads its boxes
    h.rbHazeC = alt;
    set(page.cb_cR_HR, "HR_CIGS_rough", h.cb_cR_HR);
    set(page.cb_cT_HT, "HT_flat", h.cb_cT_HT);
    set(page.cbUseOtherHaze, !alt, h.cbUseOtherHaze);
    set(page.eHazeOtherSpecifyInt, "1,2", h.eHazeOtherSpecifyInt);
    (alt ? page.rbHazeH_adv : page.rbHazeC_adv)->setChecked(true);
    h.rbHazeC_adv = !alt;
    set(page.cb_cR_HR_adv, "cR_flat", h.cb_cR_HR_adv);
    set(page.cb_cT_HT_adv, "cT_ZnO_textured", h.cb_cT_HT_adv);
    set(page.cbSpecified, !alt, h.cbSpecified);
    set(page.eHazeSpecSpecifyInt, "3", h.eHazeSpecSpecifyInt);
}

void setAdf(test::TestApp& app, Project& e, bool alt) {
    TADFForm& page = *app.forms->ADFForm;
    AdfSettings& a = e.adf;
    set(page.pbNoAngles, "30", a.pbNoAngles);
    // One function internal, the other external.
    const AdfColumn& in = alt ? page.adf2 : page.adf1;
    const AdfColumn& ex = alt ? page.adf1 : page.adf2;
    AdfFunction& eIn = alt ? a.adf2 : a.adf1;
    AdfFunction& eEx = alt ? a.adf1 : a.adf2;
    set(ex.external, true, eEx.external);
    choose(in.r, 2, eIn.r);
    choose(in.t, 4, eIn.t);
    set(ex.r, "ADF_r_file", eEx.r.text); // the first file of the list stays selected
    set(ex.t, "ADF_t_file", eEx.t.text);
    const std::string base = alt ? "2." : "1.";
    set(page.adf1.lambT, base + "10", a.adf1.lambertianT);
    set(page.adf1.lambR, base + "20", a.adf1.lambertianR);
    set(page.adf1.ellipsT, base + "30", a.adf1.ellipseT);
    set(page.adf1.ellipsR, base + "40", a.adf1.ellipseR);
    set(page.adf2.lambT, base + "50", a.adf2.lambertianT);
    set(page.adf2.lambR, base + "60", a.adf2.lambertianR);
    set(page.adf2.ellipsT, base + "70", a.adf2.ellipseT);
    set(page.adf2.ellipsR, base + "80", a.adf2.ellipseR);
    set(page.cbOtherADF, !alt, a.cbOtherADF);
    // Group 1 with an internal ADF1 choice and its ellipse ratio, group 2 with external files.
    page.eADFSpecInterface->setText(QStringLiteral("0,2"));
    page.GroupDataChange(page.eADFSpecInterface);
    page.adf1_adv.ellipsR->setValue(2.25);
    page.adf1_adv.r->setCurrentIndex(3);
    page.GroupDataChange(page.adf1_adv.r);
    page.btAddADFGroupClick();
    page.eADFSpecInterface->setText(QStringLiteral("5"));
    page.GroupDataChange(page.eADFSpecInterface);
    page.adf2_adv.external->setChecked(true);
    for (TComboBox* box : {page.adf2_adv.r, page.adf2_adv.t}) {
        box->setEditText(box == page.adf2_adv.r ? QStringLiteral("G_R") : QStringLiteral("G_T"));
        page.GroupDataChange(box);
    }
    a.groups.group(1).interfaces = "0,2";
    a.groups.group(1).adf1.rChoice = "4";
    a.groups.group(1).adf1.parameters[AdfSet::EllipseR] = 2.25;
    AdfGroup& second = a.groups.group(a.groups.add());
    second.interfaces.assign(1, '5'); // not = "5": g++ 12 warns falsely (-Wrestrict)
    second.adf2.external = true;
    second.adf2.rFile = "G_R";
    second.adf2.tFile = "G_T";
    // The lists that close the section are those the two reflectance boxes hold.
    const QString work = app.workDir();
    const auto list = [&](int adf, bool external) {
        return listing(external ? work + QStringLiteral("/List/ADF%1ext.dat").arg(adf)
                                : work + QStringLiteral("/ADF%1.dat").arg(adf));
    };
    a.adf1List = list(1, alt);
    a.adf2List = list(2, !alt);
}

void setRefTrans(test::TestApp& app, Project& e, bool alt) {
    TRefTransForm& page = *app.forms->RefTransForm;
    RefTransSettings& rt = e.refTrans;
    set(page.cbIncludeDecr, !alt, rt.cbIncludeDecr);
    for (std::size_t j = 0; j < 3; ++j) {
        const std::string n = std::to_string(j + 1);
        set(page.factors[j].interfaces, "1" + n, rt.factors[j].interfaces);
        set(page.factors[j].c12, "0.1" + n, rt.factors[j].c12);
        set(page.factors[j].c21, "0.2" + n, rt.factors[j].c21);
        set(page.factors[j].direct, (j == 1) != alt, rt.factors[j].direct);
    }
    set(page.cbIncludeFDecrTR, !alt, rt.cbIncludeFDecrTR);
    const char* functions[2][2] = {{"ReflCal_glass", "ReflCal_ZnO_textured"},
                                   {"ReflCal_ZnO_textured", "ReflCal_glass"}};
    for (std::size_t j = 0; j < 2; ++j) {
        set(page.functions[j].interfaces, "2" + std::to_string(j + 1), rt.functions[j].interfaces);
        set(page.functions[j].c12, functions[j][0], rt.functions[j].c12);
        set(page.functions[j].c21, functions[j][1], rt.functions[j].c21);
        set(page.functions[j].direct, (j == 0) != alt, rt.functions[j].direct);
    }
    set(page.cbIncludeDecr_adv, !alt, rt.cbIncludeDecr_adv);
    set(page.pbC12entire, "0.7", rt.pbC12entire);
    set(page.cbIncludeInc_adv, !alt, rt.cbIncludeInc_adv);
    set(page.eRTSpecifInterface_adv, "4", rt.eRTSpecifInterface_adv);
    set(page.pbC21Scatt, "2.5", rt.pbC21Scatt);
}

void setSpectrum(test::TestApp& app, Project& e, bool alt) {
    TSpectrumForm& page = *app.forms->SpectrumForm;
    SpectrumSettings& s = e.spectrum;
    set(page.cbSpekter, "AM0", s.cbSpekter);
    set(page.cbManually, !alt, s.cbManually);
    set(alt ? page.rbCoherent : page.rbCombination, true, s.rbCoherent);
    s.rbCoherent = alt;
    set(page.pbRatio, "0.35", s.pbRatio);
    set(alt ? page.rbSpecADFExternal : page.rbSpecADFInternal, true, s.rbSpecADFInternal);
    s.rbSpecADFInternal = !alt;
    choose(page.cbADF1_Spekt, alt ? 1 : 3, s.cbADF1_Spekt);
    set(page.pbSpectrLamb, "1.50", s.pbSpectrLamb);
    set(page.pbSpectrEllipsis, "2.50", s.pbSpectrEllipsis);
}

void setFiles(test::TestApp& app, Project& e, bool) {
    TFilesForm& page = *app.forms->FilesForm;
    FilesSettings& f = e.files;
    set(page.eOutFileName, "run7", f.eOutFileName);
    set(page.eOutFileDir, "<WORKDIR>/runs", f.eOutFileDir);
    set(page.eDir_nk, "<WORKDIR>/nk2", f.eDir_nk);
    set(page.eDir_HRHT, "/data/haze", f.eDir_HRHT);
    set(page.eDir_cRcT, "<WORKDIR>/cal", f.eDir_cRcT);
    set(page.eDir_ars, "/data/adf", f.eDir_ars);
    set(page.eDir_spk, "<WORKDIR>/spk", f.eDir_spk);
    set(page.eDir_dat, "<WORKDIR>/lists", f.eDir_dat);
}

void setTekst(test::TestApp& app, Project& e, bool alt) {
    TTekstForm& page = *app.forms->TekstForm;
    set(alt ? page.rbNormalPrecision : page.rbHighPrecision, true, e.rbNormalPrecision);
    e.rbNormalPrecision = alt;
    page.TekstMemo->setPlainText(QStringLiteral("first line\n\nthird line"));
    e.comments = "first line\n\nthird line";
}

struct PageCase {
    const char* name;
    void (*setUp)(test::TestApp&, Project&, bool);
    void (*fill)(const Forms&, Project&);
    void (*take)(Forms&, const LoadedProject&);
};

const PageCase kPages[] = {
    {"Structure", setStructure, [](const Forms& f, Project& p) { f.StructureForm->fillProject(p); },
     [](Forms& f, const LoadedProject& l) { f.StructureForm->takeLoaded(l); }},
    {"Haze", setHaze, [](const Forms& f, Project& p) { f.HazeForm->fillProject(p); },
     [](Forms& f, const LoadedProject& l) { f.HazeForm->takeLoaded(l); }},
    {"ADF", setAdf, [](const Forms& f, Project& p) { f.ADFForm->fillProject(p); },
     [](Forms& f, const LoadedProject& l) { f.ADFForm->takeLoaded(l); }},
    {"R/T", setRefTrans, [](const Forms& f, Project& p) { f.RefTransForm->fillProject(p); },
     [](Forms& f, const LoadedProject& l) { f.RefTransForm->takeLoaded(l); }},
    {"Spectrum", setSpectrum, [](const Forms& f, Project& p) { f.SpectrumForm->fillProject(p); },
     [](Forms& f, const LoadedProject& l) { f.SpectrumForm->takeLoaded(l); }},
    {"Files", setFiles, [](const Forms& f, Project& p) { f.FilesForm->fillProject(p); },
     [](Forms& f, const LoadedProject& l) { f.FilesForm->takeLoaded(l); }},
    {"Comments", setTekst, [](const Forms& f, Project& p) { f.TekstForm->fillProject(p); },
     [](Forms& f, const LoadedProject& l) { f.TekstForm->takeLoaded(l); }},
};

Project collect(const Forms& forms) {
    Project project;
    for (const PageCase& page : kPages)
        page.fill(forms, project);
    return project;
}

// Every page set as in its "main" case, with more layers and groups when asked.
void fillEveryPage(test::TestApp& app, int layers = 2, int groups = 2) {
    Project ignored;
    for (const PageCase& page : kPages)
        page.setUp(app, ignored, false);
    TStructureForm& structure = *app.forms->StructureForm;
    for (int i = 2; i < layers; ++i) {
        structure.LbSpeedButton1MouseDown();
        structure.LbSpeedButton1MouseUp();
        structure.row(i + 2).layerFile->setEditText(QStringLiteral("film%1").arg(i));
    }
    for (int g = 2; g < groups; ++g)
        app.forms->ADFForm->btAddADFGroupClick();
}

// The first line where the files of two projects differ, to tell which value went astray.
QByteArray difference(const Project& actual, const Project& expected) {
    std::vector<std::string> a, b;
    BuildInputFile(actual, {}, a);
    BuildInputFile(expected, {}, b);
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::string x = i < a.size() ? a[i] : "", y = i < b.size() ? b[i] : "";
        if (x != y)
            return QStringLiteral("line %1: \"%2\", expected \"%3\"")
                .arg(i + 1)
                .arg(q(x), q(y))
                .toUtf8();
    }
    const char* section = actual.structure != expected.structure ? "structure"
                          : actual.haze != expected.haze         ? "haze"
                          : actual.adf != expected.adf           ? "ADF"
                          : actual.refTrans != expected.refTrans ? "R/T"
                          : actual.spectrum != expected.spectrum ? "spectrum"
                          : actual.files != expected.files       ? "files"
                                                                 : "precision or comments";
    return QByteArray("in a value of the ") + section + " that the file does not show";
}

void compareProjects(const Project& actual, const Project& expected) {
    QVERIFY2(actual == expected, difference(actual, expected).constData());
}

void pageRows(bool withAlt = true) {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("alt");
    for (int i = 0; i < static_cast<int>(std::size(kPages)); ++i)
        for (const bool alt : {false, true})
            if (withAlt || !alt)
                QTest::addRow("%s %s", kPages[i].name, alt ? "alt" : "main") << i << alt;
}

} // namespace

class PageValuesTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlFillsItsField_data() { pageRows(); }
    void everyControlFillsItsField() {
        QFETCH(int, page);
        QFETCH(bool, alt);
        test::TestApp app;
        Project expected;
        kPages[page].setUp(app, expected, alt);
        Project actual;
        kPages[page].fill(*app.forms, actual);
        compareProjects(actual, expected);
    }

    void takeLoadedShowsEveryValue_data() { pageRows(false); }
    void takeLoadedShowsEveryValue() {
        QFETCH(int, page);
        LoadedProject loaded;
        {
            test::TestApp source;
            kPages[page].setUp(source, loaded.values, false);
        }
        for (const LayerRow& row : loaded.values.structure.rows)
            loaded.rows.push_back(
                {row.layerFile, row.thickness, row.segments,
                 row.roughness.empty() ? std::nullopt : std::optional(row.roughness),
                 row.pvActive});
        test::TestApp app;
        const std::string work = app.forms->MainForm->FolderSettings.WorkDir;
        const auto full = [&](std::string folder) {
            return folder.starts_with("<WORKDIR>") ? work + folder.substr(9) : folder;
        };
        const FilesSettings& f = loaded.values.files;
        loaded.folders = LegacyFolders{full(f.eOutFileDir), full(f.eDir_nk),  full(f.eDir_HRHT),
                                       full(f.eDir_cRcT),   full(f.eDir_ars), full(f.eDir_spk)};
        kPages[page].take(*app.forms, loaded);
        Project actual;
        kPages[page].fill(*app.forms, actual);
        Project expected = loaded.values;
        // What a file does not carry: the listing folder, the manual range, and which item an
        // external ADF box has selected under the name it shows.
        expected.files.eDir_dat = actual.files.eDir_dat;
        for (auto [e, a] : {std::pair{&expected.adf.adf1, &actual.adf.adf1},
                            std::pair{&expected.adf.adf2, &actual.adf.adf2}})
            if (e->external) {
                e->r.selected = a->r.selected;
                e->t.selected = a->t.selected;
            }
        expected.spectrum.cbManually = actual.spectrum.cbManually;
        compareProjects(actual, expected);
    }

    void savedProjectReadsBackWhole_data() {
        QTest::addColumn<bool>("addOn");
        QTest::addColumn<int>("layers");
        QTest::addColumn<int>("groups");
        QTest::newRow("without the add-on") << false << 2 << 2;
        QTest::newRow("with the add-on") << true << 2 << 2;
        QTest::newRow("48 layers, 15 groups") << false << 48 << 15;
    }
    void savedProjectReadsBackWhole() {
        QFETCH(bool, addOn);
        QFETCH(int, layers);
        QFETCH(int, groups);
        test::TestApp app(false);
        if (addOn)
            QVERIFY(app.installAddOn(QStringLiteral("spectrum_valid.spk"), "AM0"));
        app.createForms();
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        fillEveryPage(app, layers, groups);
        if (addOn) // the converted spectrum is written as AM0_tmp, and read as AM0
            QCOMPARE(app.lineStarting("Spectrum: "), QStringLiteral("Spectrum: AM0_tmp"));
        // The file names the output folder, which reading leaves as the program has it.
        app.forms->FilesForm->FormCreate();
        app.forms->FilesForm->eOutFileName->setText(QStringLiteral("run7"));
        Project expected = collect(*app.forms);
        QVERIFY2(app.saveAndReopen(), qPrintable(app.dialogs.messageTexts().join(" | ")));
        QCOMPARE(main.windowTitle(), QStringLiteral("Lumetrix v1.2.8 - reopened.dat"));
        const Project actual = collect(*app.forms);
        // The folders and the manual range are settings of the program, not of the file.
        expected.files = actual.files;
        expected.files.eOutFileName = "run7";
        expected.spectrum.cbManually = actual.spectrum.cbManually;
        // An external function is a file name, not an item of the list.
        expected.adf.adf2.r.selected = actual.adf.adf2.r.selected;
        expected.adf.adf2.t.selected = actual.adf.adf2.t.selected;
        // Identities follow the reading's steps until the Results page renumbers the rows.
        for (std::size_t r = 0; r < expected.structure.rows.size(); ++r)
            expected.structure.rows[r].identity = actual.structure.rows[r].identity;
        compareProjects(actual, expected);
        QVERIFY(main.SaveInputFile(app.tempPath("again.dat")));
        QCOMPARE(test::readAll(app.tempPath("again.dat")).split('\n'),
                 test::readAll(app.tempPath("reopened.dat")).split('\n'));
    }

    void newResetsEveryPage_data() { pageRows(); }
    void newResetsEveryPage() {
        QFETCH(int, page);
        QFETCH(bool, alt);
        test::TestApp app;
        Project expected = collect(*app.forms), changed;
        kPages[page].setUp(app, changed, alt);
        app.dialogs.answerMessage(DialogButton::No);
        app.forms->MainForm->New1Click();
        // New leaves the ADF and spectrum parameters and the manual range; a calibration-function
        // box keeps a choice its new list holds, and the others show the first item.
        for (auto value : {&SpectrumSettings::pbSpectrLamb, &SpectrumSettings::pbSpectrEllipsis})
            expected.spectrum.*value = changed.spectrum.*value;
        expected.spectrum.cbManually = changed.spectrum.cbManually;
        // The bottom medium keeps its identity until the Results page renumbers the rows.
        const Project actual = collect(*app.forms);
        for (std::size_t r = 0; r < expected.structure.rows.size(); ++r)
            expected.structure.rows[r].identity = actual.structure.rows[r].identity;
        for (auto adf : {&AdfSettings::adf1, &AdfSettings::adf2})
            for (auto value : {&AdfFunction::lambertianT, &AdfFunction::lambertianR,
                               &AdfFunction::ellipseT, &AdfFunction::ellipseR})
                expected.adf.*adf.*value = changed.adf.*adf.*value;
        const auto calibrations = listing(app.workDir() + "/List/ReflCal.dat");
        for (std::size_t j = 0; j < 2; ++j)
            for (auto field :
                 {&RefTransSettings::FunctionBlock::c12, &RefTransSettings::FunctionBlock::c21})
                if (std::ranges::count(calibrations, changed.refTrans.functions[j].*field))
                    expected.refTrans.functions[j].*field = changed.refTrans.functions[j].*field;
        compareProjects(actual, expected);
    }

    void aBadFileLeavesTheOpenProject_data() {
        // Which line of which file the reader refuses is told by its own tests; here, the two
        // kinds of message and that nothing changes.
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a line") << QByteArray("~~\r\n\0\0\0", 7) << "\nLine 2: ";
        QTest::newRow("no file, no line") << QByteArray() << "";
    }
    void aBadFileLeavesTheOpenProject() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        fillEveryPage(app);
        const QString good = app.tempPath("good.dat");
        app.dialogs.answerFile(good);
        main.SaveAs1Click();
        const std::vector<std::string> before = app.build();
        const QString title = main.windowTitle();
        const QString bad = app.tempPath("bad.dat");
        QVERIFY(bytes.isEmpty() || test::writeAll(bad, bytes));
        app.dialogs.answerFile(bad);
        main.Importinputfile1Click();
        QVERIFY(app.dialogs.messageTexts().last().startsWith("Cannot open file \"" + bad + "\""));
        QVERIFY2(expected.isEmpty() ? !app.dialogs.messageTexts().last().contains("Line ")
                                    : app.dialogs.messageTexts().last().contains(expected),
                 qPrintable(app.dialogs.messageTexts().last()));
        QCOMPARE(app.build(), before);
        QCOMPARE(main.CurrentFileName, good);
        QCOMPARE(main.windowTitle(), title);
        QVERIFY(!main.OpenInputFile(bad));
        QCOMPARE(main.CurrentFileName, good);
    }

    void oldFileFillsFoldersAndGroupControls() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        const QString workDir = q(main.FolderSettings.WorkDir);
        QByteArray bytes =
            test::readAll(QStringLiteral(LUMETRIX_TEST_DATA_DIR) + "/legacy_ver_1_1.dat");
        const QString path = app.tempPath("old.dat");
        QVERIFY(test::writeAll(path, bytes.replace("/w/", (workDir + "/").toUtf8())));
        QVERIFY(main.OpenInputFile(path));
        const TFilesForm& files = *app.forms->FilesForm;
        QCOMPARE(files.eDir_nk->text(), QStringLiteral("<WORKDIR>/nk"));
        QCOMPARE(q(main.FolderSettings.LayerFileDir), workDir + "/nk");
        QCOMPARE(files.eDir_HRHT->text(), QStringLiteral("/data/haze")); // outside: unchanged
        QCOMPARE(files.eOutFileDir->text(), QStringLiteral("<WORKDIR>/runs"));
        QCOMPARE(files.eOutFileName->text(), QStringLiteral("run3"));
        QVERIFY(app.forms->HazeForm->rbPower2->isChecked());
        TADFForm& adf = *app.forms->ADFForm;
        main.ToolBarClick(main.LbSpeedButton3); // showing the page shows group 1
        QCOMPARE(adf.eADFSpecInterface->text(), QStringLiteral("0,2"));
        QVERIFY(adf.adf2_adv.external->isChecked());
        QCOMPARE(adf.adf2_adv.r->currentText(), QStringLiteral("G_R"));
        QCOMPARE(adf.adf1_adv.lambT->text(), QStringLiteral("1.25"));
        QCOMPARE(adf.adf1_adv.t->currentIndex(), 2);
        QVERIFY(main.advancedFlag(2));
        // Saved again, the old settings are in the group block of the file.
        QVERIFY(main.SaveInputFile(app.tempPath("resaved.dat")));
        QVERIFY(test::readAll(app.tempPath("resaved.dat"))
                    .contains("Specified interfaces (0 = front surface): 0,2\r\n"));
    }

    void misplacedHeadingsWarnAndTheFileStillLoads() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        const QString good = app.tempPath("good.dat");
        QVERIFY(main.SaveInputFile(good));
        QList<QByteArray> lines = test::readAll(good).split('\n');
        lines.insert(13, "extra\r");
        lines.insert(13, "extra\r");
        lines.removeAt(19); // the two factor lines: what follows stands in place again
        lines.removeAt(19);
        const QString shifted = app.tempPath("shifted.dat");
        QVERIFY(test::writeAll(shifted, lines.join('\n')));
        app.dialogs.calls.clear();
        QVERIFY(main.OpenInputFile(shifted));
        QCOMPARE(app.dialogs.messageTexts(),
                 QStringList{"The input file is corrupted.\nThere may be some problems reading "
                             "the file after STRUCTURE!"});
        QCOMPARE(main.CurrentFileName, shifted);
    }

    void newProjectSavesAsTheReferenceFile() {
        test::TestApp app;
        QByteArray expected =
            test::readAll(QStringLiteral(LUMETRIX_TEST_DATA_DIR) + "/new_project.dat");
        QVERIFY(!expected.isEmpty());
        expected.replace("@WORKDIR@", app.forms->MainForm->FolderSettings.WorkDir.c_str());
        QVERIFY(app.forms->MainForm->SaveInputFile(app.tempPath("new.dat")));
        QCOMPARE(test::readAll(app.tempPath("new.dat")), expected);
    }

    void readingSetsTheAdvancedFlags() {
        const auto rt = [](Forms& f) -> TRefTransForm& { return *f.RefTransForm; };
        const struct {
            const char* what;
            std::function<void(Forms&)> change;
            const char* flags; // of the pages with Tags 0 to 4
        } cases[] = {
            {"new project (other ADFs on)", [](Forms&) {}, "00100"},
            {"incoherency factor", [](Forms& f) { f.StructureForm->pbIfactor->setValue(2); },
             "10100"},
            {"other haze", [](Forms& f) { f.HazeForm->cbUseOtherHaze->setChecked(true); }, "01100"},
            {"specified haze", [](Forms& f) { f.HazeForm->cbSpecified->setChecked(true); },
             "01100"},
            {"no other ADFs", [](Forms& f) { f.ADFForm->cbOtherADF->setChecked(false); }, "00000"},
            {"factor column 1", [&](Forms& f) { rt(f).factors[0].interfaces->setText("1"); },
             "00100"},
            {"factor column 2", [&](Forms& f) { rt(f).factors[1].interfaces->setText("2"); },
             "00110"},
            {"factor column 3", [&](Forms& f) { rt(f).factors[2].interfaces->setText("3"); },
             "00110"},
            {"functions", [&](Forms& f) { rt(f).cbIncludeFDecrTR->setChecked(true); }, "00110"},
            {"entire structure", [&](Forms& f) { rt(f).cbIncludeDecr_adv->setChecked(true); },
             "00110"},
            {"back side", [&](Forms& f) { rt(f).cbIncludeInc_adv->setChecked(true); }, "00110"},
            {"diffused light",
             [](Forms& f) {
                 f.SpectrumForm->rbCombination->setChecked(true);
                 f.SpectrumForm->pbRatio->setValue(0.5);
             },
             "00101"},
        };
        for (const auto& c : cases) {
            for (const bool factorsOn : {true, false}) {
                if (!factorsOn && !QByteArray(c.what).startsWith("factor"))
                    continue;
                test::TestApp app;
                TMainForm& main = *app.forms->MainForm;
                for (int tag = 0; tag < 5; ++tag) // flags from before must not stay
                    main.setAdvancedFlag(tag, true);
                rt(*app.forms).cbIncludeDecr->setChecked(factorsOn);
                c.change(*app.forms);
                QVERIFY2(app.saveAndReopen(), c.what);
                for (int tag = 0; tag < 5; ++tag) // the factor columns count only when on
                    QVERIFY2(main.advancedFlag(tag) ==
                                 (c.flags[tag] == '1' && (factorsOn || tag != 3)),
                             qPrintable(QStringLiteral("%1, factors %2: page %3")
                                            .arg(c.what, factorsOn ? "on" : "off")
                                            .arg(tag)));
            }
        }
    }
};

QTEST_MAIN(PageValuesTest)
#include "test_pagevalues.moc"
