// Every control of the editor pages reaches its own field of the project, a saved project reads
// back whole, New resets every page, and bad files are refused. A name in any box that the listing
// files lack comes back at the next save: the batch test of unlisted names.
#include "testapp.h"

using namespace lumetrix;
using test::q;

namespace {

// Puts a value into a control and the same value into the field the page must fill.
template <typename Widget, typename Value>
void set(Widget* widget, const std::type_identity_t<Value>& value, Value& field) {
    if constexpr (std::is_same_v<Value, bool>)
        widget->setChecked(value);
    else if constexpr (std::is_base_of_v<TPBNumEdit, Widget>)
        widget->setValue(std::stod(value));
    else if constexpr (std::is_base_of_v<QLineEdit, Widget>)
        widget->setText(q(value));
    else if (widget->isEditable())
        widget->setEditText(q(value));
    else
        widget->setCurrentIndex(widget->findText(q(value)));
    field = value;
}
void choose(QComboBox* box, int item, AdfChoice& field) {
    box->setCurrentIndex(item);
    field = {item, box->itemText(item).toStdString()};
}

std::vector<std::string> listing(const QString& path) {
    return readListingFile(path.toStdString()).value();
}

// The settings of each page: "main" has every option that carries more values switched on;
// "alt" turns each check and radio choice the other way.
void setStructure(test::TestApp& app, Project& e, bool alt) {
    TStructureForm& page = *app.forms->StructureForm;
    app.addLayers(2);
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
    app.showPage(0, true);
    test::typeOver(page.pbIfactor, "2.5");
    app.main().PremakniFocus();
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
    page.eADFSpecInterface->setText("0,2");
    page.GroupDataChange(page.eADFSpecInterface);
    page.adf1_adv.ellipsR->setValue(2.25);
    page.adf1_adv.r->setCurrentIndex(3);
    page.GroupDataChange(page.adf1_adv.r);
    page.btAddADFGroupClick();
    page.eADFSpecInterface->setText("5");
    page.GroupDataChange(page.eADFSpecInterface);
    page.adf2_adv.external->setChecked(true);
    for (TComboBox* box : {page.adf2_adv.r, page.adf2_adv.t}) {
        box->setEditText(box == page.adf2_adv.r ? "G_R" : "G_T");
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
    page.TekstMemo->setPlainText("first line\n\nthird line");
    e.comments = "first line\n\nthird line";
}

template <auto form> void fill(const Forms& forms, Project& project) {
    (forms.*form)->fillProject(project);
}

const struct PageCase {
    const char* name;
    void (*setUp)(test::TestApp&, Project&, bool);
    void (*fill)(const Forms&, Project&);
} kPages[] = {
    {"Structure", setStructure, fill<&Forms::StructureForm>},
    {"Haze", setHaze, fill<&Forms::HazeForm>},
    {"ADF", setAdf, fill<&Forms::ADFForm>},
    {"R/T", setRefTrans, fill<&Forms::RefTransForm>},
    {"Spectrum", setSpectrum, fill<&Forms::SpectrumForm>},
    {"Files", setFiles, fill<&Forms::FilesForm>},
    {"Comments", setTekst, fill<&Forms::TekstForm>},
};

Project collect(const Forms& forms) {
    Project project;
    for (const PageCase& page : kPages)
        page.fill(forms, project);
    return project;
}

QStringList fileLines(const Project& project) {
    std::vector<std::string> lines;
    BuildInputFile(project, {}, lines);
    QStringList out;
    for (const std::string& line : lines)
        out << q(line);
    return out;
}

// The files first, to tell which value went astray.
void compareProjects(const Project& actual, const Project& expected) {
    QCOMPARE(fileLines(actual), fileLines(expected));
    QVERIFY2(actual == expected, "a value that the file does not show differs");
}

// The advanced flags of the pages with Tags 0 to 4. Reading a file sets those of the options in
// use and clears the others; which option sets which flag: the reader's tests.
QString advancedFlags(const TMainForm& main) {
    QString flags;
    for (int tag = 0; tag < 5; ++tag)
        flags += main.advancedFlag(tag) ? '1' : '0';
    return flags;
}

constexpr int kLongest = int(kMaxCommentLineLength), kMost = int(kMaxCommentBytes);

// Files opened over a saved new project: refused ones leave it, with the file and the line named.
const struct OpenCase {
    const char* name;
    QByteArray bytes;      // the whole file ("-": none); empty: the new project's
    int lineLength, lines; // comment lines appended
    const char* says;      // a pattern of the messages; %1: the first comment line appended
    bool opens;
} kOpen[] = {
    {"a line refused", QByteArray("~~\r\n\0\0\0", 7), 0, 0, "\nLine 2: ", false},
    {"no file, no line", "-", 0, 0, "^Cannot open file \"[^\n]*\"\n(?!Line )", false},
    {"misplaced headings", test::readAll(LUMETRIX_TEST_DATA_DIR "/misplaced_headings.dat"), 0, 0,
     "^The input file is corrupted.\n.*STRUCTURE!$", true},
    {"longest comment lines, most text", {}, kLongest, kMost / (kLongest + 1), "^$", true},
    {"comment line too long", {}, kLongest + 1, 3, "\nLine %1: .*4096 char", false},
    {"too much comment text", {}, 100, kMost / 100, "\nLine \\d+: .*1048576 bytes", false},
};

} // namespace

class PageValuesTest : public QObject {
    Q_OBJECT

private slots:
    // Every page set as in its "main" case, saved and opened again, shows the same project, the
    // add-on's converted spectrum written as AM0_tmp and read as AM0. (A file opened and saved
    // again, of 48 layers and 15 groups, is the same file: the batch test of unlisted names.)
    void savedProjectReadsBackWholeThenAnOldFileOpens() {
        test::TestApp app(false);
        QVERIFY(app.installAddOn("spectrum_valid.spk", "AM0"));
        app.createForms();
        TMainForm& main = app.main();
        main.FormActivate();
        Project ignored;
        for (const PageCase& page : kPages)
            page.setUp(app, ignored, false);
        QCOMPARE(std::ranges::count(app.build(), "Spectrum: AM0_tmp"), 1);
        // The file names the output folder, which reading leaves as the program has it.
        app.forms->FilesForm->FormCreate();
        app.forms->FilesForm->eOutFileName->setText("run7");
        Project expected = collect(*app.forms);
        QVERIFY2(app.saveAndReopen(), qPrintable(app.dialogs.messageTexts().join(" | ")));
        QCOMPARE(main.windowTitle(), "Lumetrix v1.2.8 - reopened.dat");
        QCOMPARE(advancedFlags(main), "11111");
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
        // An old file: folders under the working folder shown with the marker, the group controls
        // on the page's showing, and its one c12 function, not listed (a listed one: above), kept
        // at the next save.
        const QString workDir = app.setting(&FolderSettings::WorkDir);
        QByteArray bytes = test::readAll(LUMETRIX_TEST_DATA_DIR "/legacy_ver_1_1.dat");
        bytes.replace("/w/", (workDir + "/").toUtf8());
        bytes.replace("......ReflCal_glass\r\n", "......cal_a\r\n");
        const QString path = app.tempPath("old.dat");
        QVERIFY(test::writeAll(path, bytes));
        QVERIFY(main.OpenInputFile(path));
        const TFilesForm& files = *app.forms->FilesForm; // outside the working folder: as it is
        QCOMPARE(
            test::texts({files.eDir_nk, files.eDir_HRHT, files.eOutFileDir, files.eOutFileName}),
            "<WORKDIR>/nk|/data/haze|<WORKDIR>/runs|run3");
        QCOMPARE(app.setting(&FolderSettings::LayerFileDir), workDir + "/nk");
        QVERIFY(app.forms->HazeForm->rbPower2->isChecked());
        const TADFForm& adf = *app.forms->ADFForm;
        main.ToolBarClick(main.LbSpeedButton3); // showing the page shows group 1
        QCOMPARE(test::texts(
                     {adf.eADFSpecInterface, adf.adf2_adv.r, adf.adf1_adv.lambT, adf.adf1_adv.t}),
                 "0,2|G_R|1.25|Lambertian cos^n, normalised");
        QVERIFY(adf.adf2_adv.external->isChecked() && main.advancedFlag(2));
        QVERIFY(main.SaveInputFile(app.tempPath("resaved.dat")));
        QVERIFY(test::readAll(app.tempPath("resaved.dat")).contains("c12(wavelength): cal_a\r\n"));
    }

    // Each control fills its own field of the project; New gives back the new project's.
    void everyControlFillsItsFieldAndNewResetsIt_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("alt");
        for (int i = 0; i < int(std::size(kPages)); ++i)
            for (const bool alt : {false, true})
                QTest::addRow("%s %s", kPages[i].name, alt ? "alt" : "main") << i << alt;
    }
    void everyControlFillsItsFieldAndNewResetsIt() {
        QFETCH(int, page);
        QFETCH(bool, alt);
        test::TestApp app;
        Project expected = collect(*app.forms), changed, filled;
        kPages[page].setUp(app, changed, alt);
        kPages[page].fill(*app.forms, filled);
        compareProjects(filled, changed);
        app.dialogs.answerMessage(DialogButton::No);
        app.main().New1Click();
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

    void openingAFile_data() { test::caseRows(kOpen); }
    void openingAFile() {
        const OpenCase& c = test::fetchCase(kOpen);
        test::TestApp app;
        TMainForm& main = app.activeMain();
        const QString good = app.tempPath("good.dat"), path = app.tempPath("opened.dat");
        app.dialogs.answerFile(good);
        main.SaveAs1Click();
        const std::vector<std::string> before = app.build();
        const QString title = main.windowTitle();
        QByteArray bytes = c.bytes.isEmpty() ? test::readAll(good) : c.bytes;
        const QString firstAppended = QString::number(bytes.count('\n') + 1);
        for (int i = 0; i < c.lines; ++i)
            bytes += QByteArray(c.lineLength, char('a' + i % 26)) + "\r\n";
        QVERIFY(bytes == "-" || test::writeAll(path, bytes));
        for (int tag = 0; tag < 5; ++tag) // flags from before must not stay
            main.setAdvancedFlag(tag, true);
        app.dialogs.answerFile(path);
        main.Importinputfile1Click();
        const QString told = app.dialogs.messageTexts().join('|');
        QVERIFY2(told.contains(QRegularExpression(QString(c.says).replace("%1", firstAppended))),
                 qPrintable(told));
        QCOMPARE(main.CurrentFileName, c.opens ? path : good);
        if (c.opens) {
            QCOMPARE(app.forms->TekstForm->TekstMemo->blockCount(), c.lines + 1);
            QVERIFY(!c.bytes.isEmpty() || advancedFlags(main) == "00100"); // other ADFs on
            return;
        }
        QVERIFY(told.startsWith("Cannot open file \"" + path + "\"\n"));
        QCOMPARE(app.build(), before);
        QCOMPARE(main.windowTitle(), title);
        QVERIFY(!main.OpenInputFile(path));
    }
};

QTEST_MAIN(PageValuesTest)
#include "test_pagevalues.moc"
