// How the editor pages behave: the Structure rows, the panels and lists of the Haze, ADF,
// R/T and Spectrum pages, the ADF groups, the add-on, and the folders of the File locations page.
// Every control of the editor pages reaches its own field of the project, a saved project reads
// back whole, New resets every page, and bad files are refused. A name in any box that the listing
// files lack comes back at the next save: the batch test of unlisted names.
#include "testapp.h"

using namespace lumetrix;
using test::q;
using test::shown;
using test::texts;

namespace {

constexpr int kLambertian = 0, kEllipsis = 1, kNone = 2; // the ADF parameter panels

// One column of the Structure rows, "|" between the rows; empty where a row has no such cell.
template <typename Cell> QString column(const TStructureForm& page, Cell* TLayerRow::*cell) {
    QStringList out;
    for (int r = 1; r <= page.rowCount(); ++r)
        out << (page.row(r).*cell ? texts({page.row(r).*cell}) : QString());
    return out.join('|');
}

// Layers with the given names, thicknesses 100, 200, ... and roughness 1, 2, ...
void makeStack(test::TestApp& app, const QStringList& layerNames) {
    app.addLayers(int(layerNames.size()));
    for (int i = 0; i < layerNames.size(); ++i) {
        TLayerRow& row = app.forms->StructureForm->row(i + 2);
        row.layerFile->setEditText(layerNames[i]);
        row.thickness->setText(QString::number(100 * (i + 1)));
        row.roughness->setText(QString::number(i + 1));
    }
}

// The folders the File locations page shows and those the program uses, "|" between them.
QString folders(const test::TestApp& app) {
    const TFilesForm& f = *app.forms->FilesForm;
    QStringList out{texts(
        {f.eDir_nk, f.eDir_cRcT, f.eDir_HRHT, f.eDir_ars, f.eDir_spk, f.eDir_dat, f.eOutFileDir})};
    for (auto field : {&FolderSettings::InputFileDir, &FolderSettings::ListDir,
                       &FolderSettings::OutFileDir, &FolderSettings::LayerFileDir})
        out << app.setting(field);
    return out.join('|');
}

const struct RowMenuCase {
    const char* name;
    const char* stack; // names separated by "|"
    int row;
    bool add;
    const char *names, *roughness, *numbers;
} kRowMenu[] = {
    {"add above layer 1", "A|B", 2, true, "air| |A|B|air", "|0|1|2|0", "|1|2|3|"},
    {"delete layer 1", "A|B|C", 2, false, "air|B|C|air", "|2|3|0", "|1|2|"},
    {"add on the bottom medium", "A", 3, true, "air|A|air", "|1|0", "|1|"},
    {"delete the bottom medium", "A", 3, false, "air|A|air", "|1|0", "|1|"},
};

const struct SpectrumCase {
    const char* name;
    const char* library; // what lies in the working folder
    const char* fixture; // put as Spectrum/AM15.spk
    const char* spectrum;
    double from; // the manual range, to 600 nm
    const char* line;
    const char* note;     // told once by the save
    bool manually = true; // the range set manually
} kSpectrum[] = {
    {"no add-on", "", "", "AM15", 400, "Spectrum: AM15", ""},
    {"malformed spectrum", "addon", "spectrum_not_a_number.spk", "AM15", 400, "Spectrum: AM15",
     "could not be applied"},
    {"a file that is no library", "fake", "", "AM15", 400, "Spectrum: AM15", ""},
    {"manual range", "addon", "spectrum_valid.spk", "AM15", 400, "Spectrum: AM15_tmp", ""},
    {"From above To", "addon", "", "AM15", 900, "Spectrum: AM15", "from 900 to 600 nm is empty"},
    {"missing spectrum", "addon", "", "nosuch", 400, "Spectrum: nosuch", "nosuch.spk"},
    {"range not set", "addon", "spectrum_valid.spk", "AM15", 400, "Spectrum: AM15", "", false},
};

// A folder given by its button, the dialog answered with it (none: cancelled), or typed into
// the output folder's edit, then Enter or the focus moved on; @ stands for the working folder.
const struct FolderCase {
    const char* name;
    const char *button, *given;
    bool enter;
    bool create; // the answer to the question, if asked
    const char *shown, *told;
    bool exists;
} kFolders[] = {
    {"nk inside", "btDir_nk", "@/nk2", false, false, "<WORKDIR>/nk2", "", false},
    {"output inside", "btOutFileDir", "@/runs/Out2", false, false, "<WORKDIR>/runs/Out2", "",
     false},
    {"spectrum outside", "btDir_spk", "/elsewhere/data", false, false, "/elsewhere/data", "",
     false},
    {"calibration cancelled", "btDir_cal", "", false, false, "<WORKDIR>/cT_cR", "", true},
    {"Enter strips the separator", "", "<WORKDIR>/Out/", true, false, "<WORKDIR>/Out", "", true},
    {"leaving applies it", "", "<WORKDIR>/in/", false, false, "<WORKDIR>/in", "", true},
    {"missing, not created", "", "<WORKDIR>/Out9", true, false, "<WORKDIR>/Out9",
     "Directory @/Out9 does no exist! Create it?", false},
    {"missing, created", "", "<WORKDIR>/Out9", true, true, "<WORKDIR>/Out9",
     "Directory @/Out9 does no exist! Create it?", true},
    {"below a file", "", "@/List/layer.dat/Out", true, true, "@/List/layer.dat/Out",
     "Directory @/List/layer.dat/Out does no exist! Create it?|Cannot create @/List/layer.dat/Out",
     false},
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
        flags += main.advancedFlag(static_cast<Page>(tag)) ? '1' : '0';
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

class PagesTest : public QObject {
    Q_OBJECT

private slots:
    void structureRows() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        const auto state = [&] { // the rows, and how often ADD or REMOVE repeats
            return QString("%1 rows").arg(page.rowCount()) +
                   (page.Timer1->isActive() ? QString(", every %1 ms").arg(page.Timer1->interval())
                                            : QString());
        };
        QCOMPARE(column(page, &TLayerRow::layerFile) + column(page, &TLayerRow::roughness),
                 "air|air|0");
        QVERIFY(page.pbAddRemoveLayer->isReadOnly());
        page.LbSpeedButton2MouseDown(); // REMOVE on no layers
        page.LbSpeedButton1MouseUp();
        QCOMPARE(page.pbAddRemoveLayer->text(), "0");
        // ADD: a blank layer above the bottom medium (its values: the layer-row tests); every
        // row gets the list of layer.dat.
        page.row(2).pv->setChecked(true);
        QTest::mouseClick(page.LbSpeedButton1, Qt::LeftButton);
        const TLayerRow &layer = page.row(2), &bottom = page.row(3);
        QCOMPARE(column(page, &TLayerRow::layerFile) + column(page, &TLayerRow::number),
                 "air| |air|1|");
        QVERIFY(layer.thickness->isEnabled() && !bottom.thickness->isEnabled());
        QVERIFY(!layer.pv->isChecked() && bottom.pv->isChecked());
        const int items = page.row(1).layerFile->count();
        QVERIFY(items >= 7 && layer.layerFile->count() == items);
        QCOMPARE(layer.layerFile->itemText(items - 1), page.row(1).layerFile->itemText(items - 1));
        QCOMPARE(state(), "3 rows"); // released: no repetition
        // Held: one step at once, again after 500 ms, then every 100 ms, up to 48 layers.
        QTest::mousePress(page.LbSpeedButton1, Qt::LeftButton);
        QCOMPARE(state(), "4 rows, every 500 ms");
        page.Timer1Timer();
        QCOMPARE(state(), "5 rows, every 100 ms");
        for (int i = 0; i < 60; ++i)
            page.Timer1Timer();
        QCOMPARE(texts({page.pbAddRemoveLayer, page.row(49).number}), "48|48");
        QTest::mouseRelease(page.LbSpeedButton1, Qt::LeftButton);
        QCOMPARE(state(), "50 rows");
        QTest::mousePress(page.LbSpeedButton2, Qt::LeftButton); // REMOVE held likewise
        QCOMPARE(state(), "49 rows, every 500 ms");
        for (int i = 0; i < 60; ++i)
            page.Timer1Timer();
        QTest::mouseRelease(page.LbSpeedButton2, Qt::LeftButton);
        QCOMPARE(state(), "2 rows");
        // A new listing folder refills the boxes: each keeps its text and selects the equal item,
        // by case; a listing file that cannot be read there is told, and its box keeps its list.
        makeStack(app, {"CIGS", "cigs"});
        QComboBox* spectrum = app.forms->SpectrumForm->cbSpekter;
        const int spectra = spectrum->count();
        const QString lists = app.tempPath("lists");
        test::copyTree(app.workDir() + "/List", lists);
        QVERIFY(QFile::remove(lists + "/Spectrum.dat"));
        QVERIFY(test::writeAll(lists + "/layer.dat", "air\r\nCIGS\r\nW\r\n"));
        app.dialogs.answerFolder(lists);
        app.forms->FilesForm->btDirClick(app.forms->FilesForm->brDir_dat);
        QCOMPARE(app.forms->FilesForm->eDir_dat->text(), lists);
        QCOMPARE(column(page, &TLayerRow::layerFile), "air|CIGS|cigs|air");
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(page.row(r).layerFile->count(), 3);
        QCOMPARE(page.row(2).layerFile->currentIndex(), 1);
        QCOMPARE(page.row(3).layerFile->currentIndex(), -1);
        QCOMPARE(app.dialogs.messageTexts().size(), 1);
        QVERIFY(app.told().startsWith("Cannot open file \"" + lists + "/Spectrum.dat\""));
        QCOMPARE(app.dialogs.calls.last().icon, DialogIcon::Error);
        QCOMPARE(spectrum->count(), spectra);
        // SelectComboText selects the first equal item; with none the selection stays.
        QComboBox box;
        box.setEditable(true);
        box.addItems({"Mo", "CIGS", "CIGS"});
        for (const char* text : {"CIGS", "glass"}) {
            box.setEditText(text);
            ComboLists::SelectComboText(&box);
            QCOMPARE(box.currentIndex(), 1);
        }
    }

    void rowMenu_data() { test::caseRows(kRowMenu); }
    void rowMenu() {
        const RowMenuCase& c = test::fetchCase(kRowMenu);
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        const QStringList stack = QString(c.stack).split('|');
        makeStack(app, stack);
        QCOMPARE(page.row(1).number->contextMenuPolicy(), Qt::DefaultContextMenu); // no menu
        emit page.row(c.row).number->customContextMenuRequested(QPoint(2, 2));
        QCOMPARE(page.popupRow(), c.row);
        page.PopupMenu1->hide();
        (c.add ? page.AddLayer : page.DeleteLayer)->trigger();
        QCOMPARE(column(page, &TLayerRow::layerFile), c.names);
        QCOMPARE(column(page, &TLayerRow::roughness), c.roughness);
        QCOMPARE(column(page, &TLayerRow::number), c.numbers);
        for (int r = 1; r <= page.rowCount(); ++r) // which row is which: the layer-row tests
            QCOMPARE(page.row(r).layerFile->property("Tag").toInt(), page.row(r).identity);
        QCOMPARE(page.pbAddRemoveLayer->text(), QString::number(page.rowCount() - 2));
        if (stack.size() > 1) // the thickness travels with its layer
            QCOMPARE(page.row(c.add ? 3 : 2).thickness->text(), c.add ? "100" : "200");
    }

    // A haze method reloads only its own two boxes, with their first items; the panels of the Haze
    // and R/T pages follow the advanced flag and their checks, and hide without clearing.
    void hazeRefTransAdfAndSpectrumPanels() {
        test::TestApp app;
        THazeForm& h = *app.forms->HazeForm;
        const std::array<std::tuple<QRadioButton*, QRadioButton*, TComboBox*, TComboBox*>, 2> pairs{
            {{h.rbHazeC, h.rbHazeH, h.cb_cR_HR, h.cb_cT_HT},
             {h.rbHazeC_adv, h.rbHazeH_adv, h.cb_cR_HR_adv, h.cb_cT_HT_adv}}};
        for (int i = 0; i < 2; ++i) {
            const auto [c, haze, first, second] = pairs[i];
            first->setEditText("typed name");
            haze->setChecked(true);
            QCOMPARE(texts({first, second}), "HR_ZnO_textured|HT_ZnO_textured");
            QVERIFY(std::get<0>(pairs[1 - i])->isChecked());
            QCOMPARE(std::get<2>(pairs[1 - i])->currentText(), "cR_glass_air");
            second->setEditText("another");
            c->setChecked(true);
            QCOMPARE(texts({first, second}), "cR_glass_air|cT_glass_air");
            QCOMPARE(first->itemText(1), "cR_ZnO_textured");
        }
        app.showPage(1, false);
        const QList<const QWidget*> panels{h.Panel5,        h.Panel6,     h.AdvPanel,
                                           h.pUseOtherHaze, h.pSpecified, h.rbHazeC_adv,
                                           h.cb_cT_HT_adv};
        QCOMPARE(shown(panels), "1100000");
        app.main().AdvButtonClick();
        QCOMPARE(shown(panels), "1110000");
        h.cbUseOtherHaze->click();
        h.cbSpecified->click();
        QCOMPARE(shown(panels), "1111111");
        h.eHazeOtherSpecifyInt->setText("0,3");
        h.cbUseOtherHaze->click();
        QCOMPARE(shown(panels), "1110100");
        QCOMPARE(h.eHazeOtherSpecifyInt->text(), "0,3");
        TRefTransForm& rt = *app.forms->RefTransForm;
        // Reloaded, an R/T box without a choice takes the first (a new project's: its file).
        rt.functions[0].c21->setCurrentIndex(-1);
        app.forms->FilesForm->ReloadListBoxes();
        QCOMPARE(rt.functions[0].c21->currentIndex(), 0);
        // The factor columns follow their check; columns 2 and 3 also the advanced flag.
        app.showPage(3, false);
        const QList<const QWidget*> rtPanels{rt.pIncludeDecr, rt.factors[0].c12, rt.AdvPanel2,
                                             rt.factors[2].direct};
        QCOMPARE(shown(rtPanels), "0000");
        rt.cbIncludeDecr->click();
        QCOMPARE(shown(rtPanels), "1100");
        app.main().AdvButtonClick();
        QCOMPARE(shown(rtPanels), "1111");
        rt.cbIncludeDecr->click();
        QCOMPARE(shown(rtPanels), "0000");
        // A factor out of its range is clamped with a beep, by Enter or by parking the focus.
        rt.cbIncludeDecr->click();
        rt.cbIncludeInc_adv->click();
        for (TPBNumEdit* edit : {rt.factors[0].c12, rt.pbC21Scatt}) {
            test::typeOver(edit, edit == rt.pbC21Scatt ? "0.5" : "1.5");
            if (edit == rt.pbC21Scatt)
                app.main().PremakniFocus();
            else
                QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(edit->text(), "1");
        }
        QCOMPARE(app.beeps, 2);
        // Each ADF box, the spectrum's too, shows the parameter panel of its choice, none for a
        // file; switched external, a box lists the files, back the catalogue, from the first.
        const struct {
            int adf, item, page;
        } cases[] = {{1, 0, kNone},       {1, 2, kLambertian}, {1, 3, kEllipsis}, {1, 5, kNone},
                     {2, 1, kLambertian}, {2, 5, kEllipsis},   {2, 6, kEllipsis}, {2, 7, kNone}};
        TADFForm& form = *app.forms->ADFForm;
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        for (const auto& c : cases) {
            for (AdfColumn* column : {c.adf == 1 ? &form.adf1 : &form.adf2,
                                      c.adf == 1 ? &form.adf1_adv : &form.adf2_adv}) {
                column->r->setCurrentIndex(c.item);
                column->t->setCurrentIndex(c.item);
                sp.cbADF1_Spekt->setCurrentIndex(c.adf == 1 ? c.item : 0);
                QVERIFY2(column->notebookR->currentIndex() == c.page &&
                             column->notebookT->currentIndex() == c.page &&
                             sp.Notebook1->currentIndex() == (c.adf == 1 ? c.page : kNone),
                         qPrintable(QString("ADF%1 item %2").arg(c.adf).arg(c.item)));
            }
        }
        form.adf1.r->setCurrentIndex(2);
        form.adf1.lambR->setValue(3.5);
        form.adf1.r->setCurrentIndex(3);
        form.adf1.r->setCurrentIndex(1); // the Lambertian value survives the other panel
        QCOMPARE(form.adf1.lambR->text(), "3.50");
        const std::tuple<QRadioButton*, QRadioButton*, TComboBox*, QStackedWidget*, int> boxes[] = {
            {form.adf2.external, form.adf2.internal, form.adf2.r, form.adf2.notebookR, 2},
            {sp.rbSpecADFExternal, sp.rbSpecADFInternal, sp.cbADF1_Spekt, sp.Notebook1, 1}};
        for (const auto& [external, internal, box, panel, adf] : boxes) {
            external->setChecked(true);
            QCOMPARE(texts({box}), QString("ADF%1_ZnO_textured").arg(adf));
            for (int item = 0; item < box->count(); ++item) {
                box->setCurrentIndex(item);
                QCOMPARE(panel->currentIndex(), kNone);
            }
            box->setEditText("typed");
            internal->setChecked(true);
            QCOMPARE(texts({box}), "Specular (no scattering)");
            QCOMPARE(panel->currentIndex(), kNone);
        }
        // The diffused part's panel shows with combined light and hides without clearing.
        app.showPage(4, true);
        QVERIFY(!sp.Panel1->isVisible());
        sp.rbCombination->setChecked(true);
        QVERIFY(sp.Panel1->isVisible());
        sp.pbRatio->setValue(0.3);
        sp.rbCoherent->setChecked(true);
        QCOMPARE(shown({sp.Panel1}) + sp.pbRatio->text(), "00.30");
    }

    void adfGroups() {
        test::TestApp app;
        TADFForm& form = *app.forms->ADFForm;
        TPBSpinEdit& spin = *form.ADFGroupSpin;
        const AdfColumn &adf1 = form.adf1_adv, &adf2 = form.adf2_adv;
        // The group shown of how many, the spin's maximum and step, and what the group holds.
        const auto groups = [&] {
            return QString("%1 of %2, max %3, step %4: ")
                       .arg(form.selectedGroup())
                       .arg(form.groups().count())
                       .arg(spin.maximum())
                       .arg(spin.Increment()) +
                   texts({form.eADFSpecInterface, adf1.r, adf1.ellipsR});
        };
        app.showPage(2, true);
        QVERIFY(form.pUseOtherADF->isVisible());
        spin.stepUp(); // one group: neither the spin nor Remove does anything
        form.btRemoveADFGroup->click();
        QTest::keyClick(&spin, Qt::Key_Return); // the spin refuses Enter and Escape
        QTest::keyClick(&spin, Qt::Key_Escape);
        QCOMPARE(app.beeps, 2);
        QCOMPARE(groups(), "1 of 1, max 1, step 0: |Specular (no scattering)|1.00");
        adf1.r->setCurrentIndex(3);
        adf1.ellipsR->setValue(2.25);
        form.GroupDataChange(adf1.r);
        for (int g = 1; g <= 3; ++g) {
            if (g > 1) { // a new group shows its defaults
                form.btAddADFGroup->click();
                QCOMPARE(
                    groups(),
                    QString("%1 of %1, max %1, step 1: |Specular (no scattering)|1.00").arg(g));
                QVERIFY(adf1.internal->isChecked());
            }
            form.eADFSpecInterface->setText(QString::number(g));
            form.GroupDataChange(form.eADFSpecInterface);
        }
        spin.setValue(1); // group 1 as stored
        QCOMPARE(groups(), "1 of 3, max 3, step 1: 1|Ellipsoid b:a|2.25");
        QCOMPARE(adf1.notebookR->currentIndex(), kEllipsis);
        QCOMPARE(form.groups().group(1).adf1.rChoice, "4");
        spin.stepUp();
        form.btRemoveADFGroup->click(); // group 3 moves down
        QCOMPARE(groups(), "2 of 2, max 2, step 1: 3|Specular (no scattering)|1.00");
        form.btRemoveADFGroup->click(); // the last group was selected
        QCOMPARE(groups(), "1 of 1, max 1, step 0: 1|Ellipsoid b:a|2.25");
        form.btAddADFGroup->click(); // re-added: every default, the T ellipse ratio included
        QCOMPARE(adf2.ellipsT->text(), "1.00");
        QCOMPARE(form.groups().group(2), AdfGroup::defaults());
        // Showing a group never stores into it.
        AdfSet &first = form.groups().group(1).adf2, &second = form.groups().group(2).adf2;
        first.external = true;
        first.parameters = {7, 7, 7, 7};
        second.parameters = {2, 3, 4, 5};
        for (int round = 0; round < 2; ++round) {
            spin.setValue(1);
            QCOMPARE(adf2.lambR->text(), "7.00");
            QVERIFY(adf2.external->isChecked());
            spin.setValue(2);
            QCOMPARE(texts({adf2.lambR, adf2.ellipsT}), "2.00|5.00");
        }
        QCOMPARE(first.parameters, (std::array<double, 4>{7, 7, 7, 7}));
        QCOMPARE(second.parameters, (std::array<double, 4>{2, 3, 4, 5}));
        // Leaving a group edit stores it: Add moves the focus first.
        test::typeOver(form.eADFSpecInterface, "0,4");
        test::typeOver(adf2.lambT, "1.5");
        form.btAddADFGroup->click();
        QCOMPARE(form.groups().group(2).interfaces, "0,4");
        QCOMPARE(form.groups().group(2).adf2.parameters[AdfSet::LambertianT], 1.5);
        QCOMPARE(form.selectedGroup(), 3);
        // A group's ADF switched external and back keeps both its item and its file.
        adf1.t->setCurrentIndex(4);
        form.GroupDataChange(adf1.t);
        adf1.external->setChecked(true);
        QVERIFY(form.groups().group(3).adf1.external);
        QCOMPARE(texts({adf1.t}) + "|" + adf1.r->itemText(0), "ADF1T_unity|ADF1_ZnO_textured");
        adf1.t->setEditText("ADF1_CIGS_rough");
        form.GroupDataChange(adf1.t);
        adf1.internal->setChecked(true);
        QCOMPARE(adf1.t->currentIndex(), 4);
        QCOMPARE(form.groups().group(3).adf1.tFile, "ADF1_CIGS_rough");
        adf1.external->setChecked(true);
        QCOMPARE(adf1.t->currentText(), "ADF1_CIGS_rough");
    }

    void spectrumAddOn_data() { test::caseRows(kSpectrum); }
    void spectrumAddOn() {
        const SpectrumCase& c = test::fetchCase(kSpectrum);
        const QString library = c.library, spectrum = c.spectrum;
        const bool addOn = library == "addon";
        test::TestApp app(false);
        QVERIFY(!addOn || app.installAddOn(c.fixture));
        QVERIFY(library != "fake" || test::writeAll(app.workDir() + "/libLXPro.so", "no library"));
        app.createForms();
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        app.showPage(4, false);
        QCOMPARE(app.main().AddOnPresent, !library.isEmpty());
        QCOMPARE(sp.cbManually->isVisible(), !library.isEmpty());
        QCOMPARE(sp.addOn().offersConversion(), addOn);
        QVERIFY(!library.isEmpty() || sp.ProPanel->findChildren<QWidget*>().isEmpty());
        sp.FormCreate(); // a reset binds again without a second panel
        QCOMPARE(sp.ProPanel->findChildren<QDoubleSpinBox*>().size(), addOn ? 2 : 0);
        if (addOn) {
            sp.ProPanel->findChild<QDoubleSpinBox*>("LXProFrom")->setValue(c.from);
            sp.ProPanel->findChild<QDoubleSpinBox*>("LXProTo")->setValue(600);
        }
        sp.cbSpekter->setEditText(spectrum);
        sp.cbManually->setChecked(c.manually);
        QVERIFY(app.main().SaveInputFile(app.tempPath("s.dat")));
        QVERIFY(test::readAll(app.tempPath("s.dat")).contains(c.line + QByteArray("\r\n")));
        // The range lies beside the output; the spectrum folder is left as it was.
        QVERIFY(!QFile::exists(app.workDir() + "/Spectrum/" + spectrum + "_tmp.spk"));
        const QString rangeFile =
            app.setting(&FolderSettings::OutFileDir) + "/" + spectrum + "_tmp.spk";
        const QByteArray converted = test::readAll(rangeFile);
        QCOMPARE(converted.isEmpty(), !QByteArray(c.line).endsWith("_tmp"));
        QVERIFY(converted.isEmpty() ||
                (converted.contains("# Range set manually: 400 to 600 nm\r\n400 1.1\r\n") &&
                 !converted.contains("300\t0.45")));
        // Comparing the project with its file, as the status bar does every second, writes
        // no range file and finds the saved lines (where the range was taken).
        QFile::remove(rangeFile);
        app.main().CurrentFileName = app.tempPath("s.dat");
        app.main().updateStatusBar();
        QVERIFY(!QFile::exists(rangeFile));
        if (!*c.note)
            QCOMPARE(app.main().findChild<QLabel*>("StatusModified")->text(),
                     QStringLiteral("Unmodified"));
        // A refused range is told once, after the full spectrum is written.
        QCOMPARE(app.dialogs.calls.size(), *c.note ? 1 : 0);
        QVERIFY2(!*c.note ||
                     (app.told().contains(c.note) &&
                      app.told().endsWith("full spectrum \"" + spectrum + "\" was written.")),
                 qPrintable(app.told()));
    }

    void foldersGivenByButtonOrTyped_data() { test::caseRows(kFolders); }
    void foldersGivenByButtonOrTyped() {
        const FolderCase& c = test::fetchCase(kFolders);
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, true);
        const QString wd = app.setting(&FolderSettings::WorkDir);
        const auto expand = [&](const char* text) { return QString(text).replace('@', wd); };
        const QMap<QString, std::pair<QLineEdit*, std::string FolderSettings::*>> rows{
            {"btDir_nk", {files.eDir_nk, &FolderSettings::LayerFileDir}},
            {"btOutFileDir", {files.eOutFileDir, &FolderSettings::OutFileDir}},
            {"btDir_spk", {files.eDir_spk, &FolderSettings::SpectrumDir}},
            {"btDir_cal", {files.eDir_cRcT, &FolderSettings::CalibrationDir}}};
        const auto [edit, field] = rows[*c.button ? c.button : "btOutFileDir"];
        const QString before = edit->text();
        if (c.create)
            app.dialogs.answerMessage(DialogButton::Ok);
        if (*c.button) { // the dialog starts at the folder shown, the marker expanded
            if (*c.given)
                app.dialogs.answerFolder(expand(c.given));
            QTest::mouseClick(files.findChild<QPushButton*>(c.button), Qt::LeftButton);
            QCOMPARE(app.dialogs.calls.last().kind, "folder");
            QCOMPARE(app.dialogs.calls.last().folder,
                     QString(before).replace("<WORKDIR>", wd) + "/");
        } else {
            edit->setFocus();
            edit->setText(expand(c.given));
            if (c.enter)
                QTest::keyClick(edit, Qt::Key_Return);
            else
                files.eOutFileName->setFocus(Qt::TabFocusReason);
        }
        QCOMPARE(edit->text(), expand(c.shown));
        const QString full = expand(c.shown).replace("<WORKDIR>", wd);
        QCOMPARE(app.setting(field), full); // kept when not created
        QCOMPARE(QDir(full).exists(), c.exists);
        QCOMPARE(app.told(), expand(c.told));
        QVERIFY(!*c.told || app.dialogs.calls.last().icon == DialogIcon::Error);
        if (QByteArray(c.told).endsWith("Create it?"))
            QCOMPARE(app.dialogs.calls.last().buttons,
                     (QList<DialogButton>{DialogButton::Ok, DialogButton::Cancel}));
    }

    void defaultButton_data() { test::caseRows(kCaption); }
    void defaultButton() {
        const CaptionCase& c = test::fetchCase(kCaption);
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, c.advanced);
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        if (c.over)
            QCoreApplication::sendEvent(files.btDefault, &enter);
        QCOMPARE(files.overDefaultButton(), c.over);
        const QString wd = app.setting(&FolderSettings::WorkDir), project = app.tempPath("project");
        const QString fresh = folders(app);
        QVERIFY(fresh.startsWith("<WORKDIR>/")); // what lies under it: the folder tests
        // Project directory: from the working folder, every folder below the one chosen.
        app.dialogs.answerFolder(project);
        QTest::mouseClick(files.btProjectDir, Qt::LeftButton);
        QCOMPARE(app.dialogs.calls.last().folder, wd);
        QCOMPARE(folders(app), QString(fresh).replace("<WORKDIR>", project).replace(wd, project));
        QVERIFY(!QDir(project).exists()); // nothing is created
        files.eOutFileDir->setText(app.tempPath("sims/run7"));
        files.eOutFileName->setFocus();
        app.modifiers = Qt::ControlModifier; // as the keyboard state tells
        QTest::keyPress(files.eOutFileName, c.key);
        QCOMPARE(files.btDefault->text(), c.all ? kAssignAllPaths : kAssignPaths);
        // Default puts the folders back under the working folder; with "ALL" also the output
        // folder, keeping its last name (asked for and made), else it stays.
        app.dialogs.answerMessage(DialogButton::Ok);
        files.btDefaultClick();
        QCOMPARE(folders(app),
                 QString(fresh)
                     .replace("<WORKDIR>/Out", c.all ? "<WORKDIR>/run7" : app.tempPath("sims/run7"))
                     .replace(wd + "/Out", c.all ? wd + "/run7" : project + "/Out"));
        QCOMPARE(QDir(wd + "/run7").exists(), c.all);
        app.modifiers = Qt::NoModifier;
        QTest::keyRelease(files.eOutFileName, Qt::Key_Control);
        QCOMPARE(files.btDefault->text(), kAssignPaths);
        if (c.over) { // Ctrl again, then the mouse leaves
            app.modifiers = Qt::ControlModifier;
            files.FormKeyDown(Qt::Key_Control, Qt::ControlModifier);
            QCoreApplication::sendEvent(files.btDefault, &leave);
            QCOMPARE(files.btDefault->text(), kAssignPaths);
            QVERIFY(!files.overDefaultButton());
        }
        // The output name names the result files; the reset brings back every folder (under the
        // working folder, shown with the marker) and the name; the overwrite choice is stored.
        QComboBox* list = app.forms->Results->cbIzberiGraf;
        files.eOutFileName->setText("run1");
        QCOMPARE(app.setting(&FolderSettings::OutFileName) + "|" + list->itemText(1),
                 "run1|run1.rta");
        files.FormCreate();
        QCOMPARE(folders(app), fresh);
        QCOMPARE(app.setting(&FolderSettings::OutFileName) + "|" + list->itemText(1),
                 "LXOut|LXOut.rta");
        QCOMPARE(files.eWorkDir->text(), wd);
        QVERIFY(files.eWorkDir->isReadOnly() && !files.cbOverwriteLXOut->isChecked());
        for (const bool on : {true, false}) { // stored at once
            files.cbOverwriteLXOut->click();
            const QSettings stored(app.settings->fileName(), QSettings::IniFormat);
            QCOMPARE(stored.value("OverwriteOutFiles").toBool(), on);
        }
    }

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
        // The range goes into the output folder (a run needs it to exist) and is read there.
        QVERIFY(QDir(app.workDir()).mkpath("runs"));
        QCOMPARE(std::ranges::count(app.build(), "Spectrum: AM0_tmp"), 1);
        QVERIFY(!QFile::exists(app.workDir() + "/runs/AM0_tmp.spk")); // a save writes it
        QVERIFY(main.SaveInputFile(app.tempPath("range.dat")));
        QVERIFY(QFile::exists(app.workDir() + "/runs/AM0_tmp.spk"));
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
        QVERIFY(adf.adf2_adv.external->isChecked() && main.advancedFlag(Page::Adf));
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
            main.setAdvancedFlag(static_cast<Page>(tag), true);
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

QTEST_MAIN(PagesTest)
#include "test_pages.moc"
