// The tool windows. The cR_cT transform and LPIF windows: defaults, limits, the HT power panel,
// the dialogs, the table reading and column choice, and RUN. The optimisation window: its defaults
// and limits, which panels the parameter switches enable, the settings it gives the kernel, what
// RUN refuses, and runs of the stand-in kernel with their progress, best line, failure and STOP.
#include "testapp.h"
#include "tools/lpif_table.h"

#include <QScreen>
#include <QScrollArea>

namespace lumetrix {

namespace {

// The kind, the text and the start folder of the last dialog.
QString lastCallOf(const test::TestApp& app) {
    const auto& call = app.dialogs.calls.last();
    return call.kind + "|" + call.text + "|" + call.folder;
}

// What RUN says, named, when `clear` takes a setting away.
template <typename Form> struct Refusal {
    const char* name;
    void (*clear)(Form&);
};

const Refusal<TcR_cT_Form> kTransformRefusals[] = {
    {"Select the file with haze data.", [](TcR_cT_Form& w) { w.eHazeDataFileName->clear(); }},
    {"Define an rms roughness above 0 nm.", [](TcR_cT_Form& w) { w.pbRMS->setValue(0); }},
    {"Define the incident layer.", [](TcR_cT_Form& w) { w.cbIncidentLay->setCurrentIndex(-1); }},
    {"Define the layer in transmission.",
     [](TcR_cT_Form& w) { w.cbTransLay->setCurrentIndex(-1); }},
    {"Specify the folder of the nk data.", [](TcR_cT_Form& w) { w.eNKdir->clear(); }},
    {"Specify the name of the cR or cT file.", [](TcR_cT_Form& w) { w.eFileName->clear(); }},
    {"Specify the folder of the cR or cT file.", [](TcR_cT_Form& w) { w.eFileDir->clear(); }},
};

const Refusal<TLPIF_Form> kLpifRefusals[] = {
    {"Select the \"*_ratio.jph\" file of the REFERENCE structure.",
     [](TLPIF_Form& w) { w.eReference->clear(); }},
    {"Select the \"*_ratio.jph\" file of the IMPROVED structure.",
     [](TLPIF_Form& w) { w.eImproved->clear(); }},
    {"Select the layer (column) in the table of the REFERENCE structure.",
     [](TLPIF_Form& w) { w.RefColumn = 0; }},
    {"Select the layer (column) in the table of the IMPROVED structure.",
     [](TLPIF_Form& w) { w.ImprColumn = 0; }},
    {"Specify the name of the LPIF output file.", [](TLPIF_Form& w) { w.eFileName->clear(); }},
    {"Specify the folder of the LPIF output file.", [](TLPIF_Form& w) { w.eFileDir->clear(); }},
};

// Makes the choices of a text such as "eOpt_layers=1 3; cbThickness; rbThickness2": an edit
// named before "=" takes the text after it, a switch or choice named alone is clicked.
void choose(TLXOpt_Form& f, const QString& choices) {
    for (const QString& choice : choices.split(';', Qt::SkipEmptyParts)) {
        const QString name = choice.section('=', 0, 0).trimmed();
        if (auto* edit = f.findChild<QLineEdit*>(name))
            edit->setText(choice.section('=', 1));
        else if (auto* button = f.findChild<QAbstractButton*>(name))
            button->click();
        else
            QFAIL(qPrintable("no control " + name));
    }
}

// Choices made on top of ready(), where a switch named clicks it (so "cbThickness" switches the
// thickness off), and what RUN does with them: the lines of the settings file it writes,
// joined by "|", or a part of the message with which it refuses.
struct RunCase {
    const char* name;
    const char* choices;
    const char* outcome;
};

const RunCase kRunCases[] = {
    {"thickness absolute, maximal Jsc, a switched-off parameter left out",
     "eOpt_layers=2; eThickness=2; pbThickness_a=100; pbThickness_b=900.5; cbRoughness; "
     "eRoughness=2; cbRoughness; rbMethod2",
     "criterion = max|layers = 3|thickness = 3 abs 100 900.5|method = anneal-normal|stop = 0.1|"
     "output = 0"},
    {"thickness relative nm, R minimal",
     "eOpt_layers=0; rbMin_Jsc; rbThickness2; pbThickness_a=20; pbThickness_b=30",
     "criterion = min|layers = 0|thickness = 2 relnm -20 30|method = simplex|stop = 0.1|"
     "output = 0"},
    {"roughness of two interfaces in percent, difference of two layers",
     "eOpt_layers=1, 3; rbMin_diff_Jsc; cbThickness; cbRoughness; eRoughness=1 4; rbRoughness3; "
     "pbRoughness_a=50; pbRoughness_b=25",
     "criterion = mindiff|layers = 2 4|roughness = 0 3 relpct -50 25|method = simplex|"
     "stop = 0.1|output = 0"},
    {"n and k in band-gap eV, annealing, all files",
     "eOpt_layers=1 2; cbThickness; cbRefractive; eRefractive=1; pbRefractive_a=10; "
     "pbRefractive_b=5; cbExtinction; eExtinction=2; rbExtinction3; pbExtinction_a=0.2; "
     "pbExtinction_b=0.1; rbMethod1; rbIO_2",
     "criterion = max|layers = 2 3|n = 2 relpct -10 5|k = 3 gapev -0.2 0.1|"
     "method = anneal-high|stop = 0.1|output = 2"},
    {"k in band-gap percent, constant steps, stop rule, main files",
     "cbThickness; cbExtinction; eExtinction=1; rbExtinction2; pbExtinction_a=3; "
     "pbExtinction_b=4; rbMethod5; pbSteps=25; pbPrecision=0.5; rbIO_1",
     "criterion = max|layers = 2|k = 2 gappct -3 4|method = steps 25|stop = 0.5|output = 1"},
    {"no layer", "eOpt_layers=", "Specify the layer(s) whose Jsc<photo> is optimised"},
    {"a layer that is no number", "eOpt_layers=1 x", "Specify the layer(s)"},
    {"a negative layer", "eOpt_layers=-1", "Specify the layer(s)"},
    {"difference of one layer", "rbMin_diff_Jsc", "exactly two layers"},
    {"no parameter", "cbThickness", "Switch on at least one optimisation parameter."},
    {"thickness of layer 0", "eThickness=0", "Specify the layer No. whose thickness is optimised"},
    {"empty absolute interval", "pbThickness_a=10", "The interval of the thickness variation"},
    {"empty relative interval", "rbThickness3; pbThickness_a=-5; pbThickness_b=5",
     "The interval of the thickness variation is empty"},
    {"roughness without interfaces", "cbRoughness", "Specify the interface No(s). whose roughness"},
    {"roughness of interface 0", "cbRoughness; eRoughness=0", "Specify the interface No(s)."},
    {"refractive index of the default layer 0", "cbRefractive", "whose refractive index"},
    {"extinction of the default layer 0", "cbExtinction", "whose extinction coefficient"},
    {"steps not whole", "rbMethod5; pbSteps=2.5", "The number of constant steps is a whole number"},
    {"no steps", "rbMethod5; pbSteps=0", "The number of constant steps"},
    {"stop at 0 %", "pbPrecision=0", "The stop threshold is a percentage above 0"},
    {"stop above 100 %", "pbPrecision=101", "The stop threshold"},
    {"no kernel", "", "/no/such/lumetrix-kernel"}, // a path names the kernel, which is missing
};

// A project of two layers, the main window active, and layer 1 with its thickness from 0 to
// 10 nm chosen, which RUN takes.
TLXOpt_Form& ready(test::TestApp& app) {
    app.activeMain();
    app.addLayers(2);
    app.forms->StructureForm->row(2).layerFile->setEditText("ZnO");
    app.forms->StructureForm->row(3).layerFile->setEditText("CIGS");
    TLXOpt_Form& f = *app.forms->LXOpt_Form;
    f.show();
    app.dialogs.calls.clear();
    choose(f, "eOpt_layers=1; cbThickness; pbThickness_b=10");
    return f;
}

// The panel of parameter `index` (thickness, roughness, n, k): its layer edit first, its
// result display last.
QList<const QWidget*> panelOf(const TLXOpt_Form& f, int index) {
    const QString n = QStringList{"Thickness", "Roughness", "Refractive", "Extinction"}[index];
    QList<const QWidget*> panel;
    for (const QString& name : {"e" + n, "rb" + n + "1", "rb" + n + "2", "rb" + n + "3",
                                "pb" + n + "_a", "pb" + n + "_b"})
        if (const QWidget* w = f.findChild<QWidget*>(name))
            panel << w;
    return panel << QList{f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result}[index];
}

// "1" for each enabled widget of a panel, "0" for each disabled one, then the base colour of
// its layer edit and its result display: "w" white, "g" the grey of the window's buttons.
QString stateOf(const TLXOpt_Form& f, int index) {
    const QList<const QWidget*> panel = panelOf(f, index);
    QString out;
    for (const QWidget* w : panel)
        out += w->isEnabled() ? '1' : '0';
    for (const QWidget* w : {panel.front(), panel.back()}) {
        const QColor c = w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                            QPalette::Base);
        out += c == Qt::white ? 'w' : c == f.palette().color(QPalette::Button) ? 'g' : '?';
    }
    return out;
}

// What the window shows of a run: iteration|thickness|roughness|n|k|state line.
QString runShown(const TLXOpt_Form& f) {
    return test::texts({f.pbIter_No, f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result,
                        f.lbRunState});
}

} // namespace

class ToolWindowTests : public QObject {
    Q_OBJECT

private slots:
    // The frames of both windows, the transform window's defaults, limits, power panel and
    // browse buttons.
    void windowsAndDefaults() {
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        QCOMPARE(test::frameOf(w), QStringLiteral("cR_cT transform|691x601|1|0"));
        QCOMPARE(w.palette().color(QPalette::Window), QColor(0xD8, 0xDE, 0xEB));
        QCOMPARE(test::texts({w.pbRMS, w.ePowerHT, w.eHazeDataFileName, w.eFileName,
                              w.cbIncidentLay, w.cbTransLay}),
                 QStringLiteral("50|2.5|||air|air"));
        QCOMPARE(w.pbRMS->toolTip(), QStringLiteral("Range: 0 .. 10000"));
        QCOMPARE(QList<long double>({w.pbRMS->MinValue(), w.pbRMS->MaxValue(),
                                     w.ePowerHT->MinValue(), w.ePowerHT->MaxValue()}),
                 QList<long double>({0, 10000, 2, 3}));
        QVERIFY(w.pbRMS->Decimals() == -1 && w.ePowerHT->Decimals() == -1);
        QCOMPARE(test::texts({w.eNKdir, w.eFileDir}),
                 app.setting(&FolderSettings::LayerFileDir) + "|" +
                     app.setting(&FolderSettings::CalibrationDir));
        // The lists hold layer.dat, line for line.
        QCOMPARE(w.cbTransLay->count(), w.cbIncidentLay->count());
        QVERIFY(w.cbIncidentLay->count() > 5 && w.cbIncidentLay->findText("CIGS") >= 0);

        TLPIF_Form& l = *app.forms->LPIF_Form;
        QCOMPARE(test::frameOf(l), QStringLiteral("Calculate LPIF|896x644|0|1"));
        QCOMPARE(test::texts({l.eReference, l.eImproved, l.eFileName, l.eFileDir}),
                 QStringLiteral("||LPIF_out|"));
        for (QTableView* table : {l.sgTable1, l.sgTable2})
            QCOMPARE(QSize(table->model()->columnCount(), table->model()->rowCount()), QSize(2, 2));
        QCOMPARE(QSize(l.sgResult->columnCount(), l.sgResult->rowCount()), QSize(14, 2));
        QVERIFY(!l.sgResult->item(0, 0)->background().style()); // no fixed row

        // cR, chosen first, hides the power row; cT shows it with 3 chosen; cR hides it again and
        // a later cT finds the choice kept.
        w.show();
        QVERIFY(w.rb_cR->isChecked() && !w.Panel1->isVisible());
        QTest::mouseClick(w.rb_cT, Qt::LeftButton);
        QVERIFY(w.Panel1->isVisible() && w.rbHTfactor3->isChecked());
        QTest::mouseClick(w.rbHTfactor2, Qt::LeftButton);
        QTest::mouseClick(w.rb_cR, Qt::LeftButton);
        QVERIFY(!w.Panel1->isVisible());
        QTest::mouseClick(w.rb_cT, Qt::LeftButton);
        QVERIFY(w.Panel1->isVisible() && w.rbHTfactor2->isChecked() && !w.rbHTfactor3->isChecked());

        const QString haze = "open|Haze data|*.hz|ASCII file|*.txt|All files|*.*|";
        app.dialogs.answerFile(app.tempPath("chosen.txt"));
        QTest::mouseClick(w.btHazeData, Qt::LeftButton); // from the working folder when empty
        QCOMPARE(lastCallOf(app), haze + app.workDir());
        QCOMPARE(w.eHazeDataFileName->text(), app.tempPath("chosen.txt"));
        w.eHazeDataFileName->setText(app.tempPath("haze/HR.txt"));
        QTest::mouseClick(w.btHazeData, Qt::LeftButton); // from the file's folder; cancelled
        QCOMPARE(lastCallOf(app), haze + app.tempPath("haze"));
        QCOMPARE(w.eHazeDataFileName->text(), app.tempPath("haze/HR.txt"));
        for (const auto& [button, edit] :
             {std::pair{w.btNKDir, w.eNKdir}, std::pair{w.btFolder, w.eFileDir}}) {
            const QString before = edit->text();
            app.dialogs.answerFolder(app.tempPath("chosen"));
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(lastCallOf(app), "folder|Please select directory...|" + before);
            QCOMPARE(edit->text(), app.tempPath("chosen"));
        }
        QCOMPARE(app.dialogs.calls.size(), 4);
    }

    // RUN refuses a missing setting with its message and writes nothing.
    void transformRefused_data() { test::caseRows(kTransformRefusals); }
    void transformRefused() {
        const auto& refusal = test::fetchCase(kTransformRefusals);
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        w.eHazeDataFileName->setText(app.workDir() + "/HT_HR/HR_CIGS_rough.hz");
        w.eFileName->setText("made");
        refusal.clear(w);
        w.brRUNTransfClick();
        QCOMPARE(app.told(), QString::fromLatin1(refusal.name));
        QCOMPARE(app.dialogs.calls.last().icon, DialogIcon::Error);
        QVERIFY(!QFile::exists(w.outputPath()));
        QVERIFY(w.eResultMemo->toPlainText().isEmpty());
    }

    // RUN writes "<folder>/<name>.cal" and reports the range, points and skipped wavelengths.
    void transformRuns_data() { test::rows({"cR", "cT custom power", "unreadable haze file"}); }
    void transformRuns() {
        QFETCH(int, index);
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        const QString haze = app.tempPath("haze.hz");
        QVERIFY(test::writeAll(haze, "# made for the test\n300 0.5\n400 0.2\n500 0.1\n"
                                     "600 0\n700 0.05\n"));
        w.eHazeDataFileName->setText(index == 2 ? app.tempPath("none.hz") : haze);
        w.eFileName->setText("made");
        w.eFileDir->setText(QDir::cleanPath(app.tempPath("")));
        w.cbTransLay->setCurrentText("glass");
        if (index == 1) {
            w.rb_cT->setChecked(true);
            w.rbHTfactorCustom->setChecked(true);
            w.ePowerHT->setText("2.25");
        }
        QTest::mouseClick(w.brRUNTransf, Qt::LeftButton);
        const QString path = app.tempPath("made.cal");
        QCOMPARE(w.outputPath(), path);
        if (index == 2) {
            QVERIFY(app.told().startsWith("The transform failed:\n"));
            QVERIFY(app.told().contains("none.hz"));
            QVERIFY(!QFile::exists(path));
            QCOMPARE(w.eResultMemo->toPlainText(), QStringLiteral("No file written."));
            return;
        }
        QCOMPARE(app.told(), QString());
        QVERIFY(QString::fromUtf8(test::readAll(path))
                    .contains(index == 0 ? "cR" : "HT power factor 2.25"));
        // 300 nm lies inside the glass data of data/nk; 600 nm (haze 0) is skipped.
        QCOMPARE(w.eResultMemo->toPlainText(),
                 (index == 0 ? "cR file written: " : "cT file written: ") + path +
                     (index == 1 ? "\nHT power factor: 2.25" : "") +
                     "\nRange: 300 - 700 nm\nPoints: 4\nSkipped wavelengths: 1\n"
                     "  600 nm: haze 0 (no scattering to calibrate)");
    }

    // A calibration file written into the calibration folder joins the listing of its kind
    // (once, however often it is written), and the Haze page offers it at once.
    void transformedFileIsOfferedAtOnce() {
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        const QString haze = app.tempPath("haze.hz");
        QVERIFY(test::writeAll(haze, "300 0.5\n400 0.2\n"));
        w.eHazeDataFileName->setText(haze);
        w.eFileName->setText("cR_made");
        w.cbTransLay->setCurrentText("glass");
        const QComboBox* offered = app.forms->HazeForm->cb_cR_HR;
        QCOMPARE(offered->findText("cR_made"), -1);
        QTest::mouseClick(w.brRUNTransf, Qt::LeftButton);
        QTest::mouseClick(w.brRUNTransf, Qt::LeftButton);
        QCOMPARE(app.told(), QString());
        QVERIFY(offered->findText("cR_made") >= 0);
        QCOMPARE(app.forms->HazeForm->cb_cT_HT->findText("cR_made"), -1);
        const auto listed = readListingFile((app.workDir() + "/List/cR.dat").toStdString());
        QCOMPARE(std::ranges::count(listed.value(), std::string("cR_made")), 1);
    }

    // How a file is read into a table: rows, columns, and the cells of note.
    void lpifTableReading_data() {
        test::rows({"TAB", "TAB, last line short", "fixed-width", "one line", "empty",
                    "kernel file", "kernel file, no data"});
    }
    void lpifTableReading() {
        QFETCH(int, index);
        const QByteArray head = "Lumetrix simulation results\r\nInput file: a b.dat\r\nSpectrum: "
                                "x\r\nFraction\r\nWavelength (nm)\tZnO\tCIGS\r\n";
        struct Case {
            QByteArray bytes;
            bool tab;
            int rows, columns;
            const char* cells; // (0,0) | (1,0) | (1,1) | (0,1)
        };
        const Case cases[] = {
            {"Wave length\tA 1\tB\r\n 400\t0.1 \t0.2\r\n500\t0.3\t0.4\t\r\n", true, 3, 3,
             "Wave length|400|0.1|A 1"},
            {"h0\th1\th2\n400\t0.1\t0.2\n500\t0.3\n", true, 3, 2, "h0|400|0.1|h1"},
            {"lambda   A_1    A2\n  400   0.125  0.5\n  500   0.25   0.75\n", false, 3, 4,
             "|1|400|lambda"},
            {"only a header\n", false, 2, 2, "|||"},
            {"", false, 2, 2, "|||"},
            {head + "400\t0.1\t0.2\r\n", true, 2, 3, "Wavelength (nm)|400|0.1|ZnO"},
            {head, false, 2, 2, "|||"},
        };
        const Case& c = cases[index];
        const LpifTable t = parseLpifTable(c.bytes.toStdString(), "t.jph");
        QCOMPARE(t.tabSeparated, c.tab);
        QCOMPARE(QSize(t.columns, t.rowCount()), QSize(c.columns, c.rows));
        QCOMPARE(QStringList({t.cell(0, 0), t.cell(1, 0), t.cell(1, 1), t.cell(0, 1)}).join('|'),
                 QString::fromLatin1(c.cells));
        // The calculation numbers columns as the Results page: the first field is column 1.
        QCOMPARE(t.resultColumn(1), c.tab ? 2 : 1);
    }

    // Browse, cancelled, unreadable, with the output folder kept and found: the dialog, the
    // edits, the table's columns and the layer columns of both tables; the column choice; RUN.
    void lpifBrowseColumnChoiceAndRun() {
        test::TestApp app;
        TLPIF_Form& w = *app.forms->LPIF_Form;
        const QString file = app.tempPath("runs/ref_ratio.jph");
        const QString none = app.tempPath("none_ratio.jph"),
                      temp = QDir::cleanPath(app.tempPath(""));
        QVERIFY(
            test::writeAll(file, "Wavelength (nm)\tL1\tL2\n400\t0.12345678\t0.2\n500\t0.3\t0.4\n"));
        const auto browse = [&](QPushButton* button, const QLineEdit* edit,
                                const QTableView* table) {
            QTest::mouseClick(button, Qt::LeftButton);
            return QStringLiteral("%1|%2|%3|%4 %5")
                .arg(edit->text(), w.eFileDir->text())
                .arg(table->model()->columnCount())
                .arg(w.RefColumn)
                .arg(w.ImprColumn);
        };
        QCOMPARE(browse(w.btRef, w.eReference, w.sgTable1), QStringLiteral("||2|1 0"));
        QCOMPARE(lastCallOf(app), "open|Jph file|*_ratio.jph|All files|*.*|" +
                                      app.setting(&FolderSettings::OutFileDir));
        app.dialogs.answerFile(none);
        QCOMPARE(browse(w.btRef, w.eReference, w.sgTable1), none + "|" + temp + "|2|1 0");
        QVERIFY(app.told().startsWith("Cannot open file \"" + none));
        app.dialogs.answerFile(file);
        QCOMPARE(browse(w.btRef, w.eReference, w.sgTable1), file + "|" + temp + "|3|1 0");
        w.eFileDir->clear();
        w.RefColumn = 0;
        app.dialogs.answerFile(file);
        QCOMPARE(browse(w.btImpr, w.eImproved, w.sgTable2), file + "|" + temp + "/runs|3|0 1");
        QCOMPARE(test::clippedCells(w.sgTable2), QString()); // sizable, each cell read whole
        QCOMPARE(app.dialogs.calls.size(), 5);               // four open dialogs and one message

        // A press on a cell chooses its column; on a heading cell other than column 0 it also
        // selects the whole column. Presses outside the cells change nothing.
        w.table2()->setTable(parseLpifTable("h\ta\tb\tc\tl\n1\t2\t3\t4\t5\n6\t7\t8\t9\t1\n", "t"));
        w.ImprColumn = 1;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto press = [&](QPoint at) {
            QTest::mouseClick(w.sgTable2->viewport(), Qt::LeftButton, {}, at);
            QString out = QStringLiteral("%1 %2:").arg(w.RefColumn).arg(w.ImprColumn);
            for (const QModelIndex& cell : w.sgTable2->selectionModel()->selectedIndexes())
                out += QString::number(cell.column());
            return out;
        };
        const auto cell = [&](int row, int column) {
            return w.sgTable2->visualRect(w.table2()->index(row, column)).center();
        };
        QCOMPARE(press(w.sgTable2->viewport()->rect().bottomRight() - QPoint(2, 2)), "0 1:");
        QCOMPARE(press(cell(2, 3)), "0 3:3");
        QCOMPARE(press(cell(0, 2)), "0 2:222");
        QCOMPARE(press(cell(0, 0)), "0 0:0");

        // RUN computes through the kernel, on files as the kernel writes them: the summary row
        // and the output file, in the folder found above; a calculation that fails clears the row
        // and writes nothing. LPIF = ln(1 - A_impr) / ln(1 - A_ref): the CIGS column absorbs 0.5
        // and 0.75 (LPIF 2) at 400 nm and 500 nm, 0.5 and 0.875 (LPIF 3) at 600 nm.
        app.dialogs.calls.clear();
        const QByteArray head =
            "Lumetrix simulation results\r\nInput file: x.dat\r\nSpectrum: AM15\r\n"
            "Fraction absorbed per layer\r\nWavelength (nm)\tZnO\tCIGS\r\n";
        const QString ref = app.tempPath("ref_ratio.jph"), impr = app.tempPath("impr_ratio.jph");
        QVERIFY(test::writeAll(ref, head + "400\t0.1\t0.5\r\n500\t0.1\t0.5\r\n600\t0.1\t0.5\r\n"));
        QVERIFY(
            test::writeAll(impr, head + "400\t0.2\t0.75\r\n500\t0.2\t0.75\r\n600\t0.2\t0.875\r\n"));
        app.dialogs.answerFile(ref);
        app.dialogs.answerFile(impr);
        w.btRefClick();
        w.btImprClick();
        w.RefColumn = w.ImprColumn = 2;
        w.eFileName->setText("cigs");
        const QString out = app.tempPath("runs/cigs.lpif");
        const auto run = [&] {
            QTest::mouseClick(w.brRUNLPIF, Qt::LeftButton);
            QStringList row;
            for (int c = 0; c < w.sgResult->columnCount(); ++c)
                row << w.sgResult->item(1, c)->text();
            return row.join('|');
        };
        // The LPIF at every wavelength of note of the calculation, "-" outside the range.
        QStringList headings;
        for (int c = 8; c < w.sgResult->columnCount(); ++c)
            headings << w.sgResult->item(0, c)->text();
        QCOMPARE(headings.join('|'), QStringLiteral("400 nm|500 nm|600 nm|700 nm|800 nm|1000 nm"));
        QCOMPARE(run(), QStringLiteral(
                            "400|600|3|2.3333|2.0000|400|3.0000|600|2.0000|2.0000|3.0000|-|-|-"));
        QCOMPARE(test::clippedCells(w.sgResult), QStringLiteral("hidden")); // every cell whole
        QCOMPARE(app.told(), QString());
        QVERIFY(QFile::remove(out));
        QCOMPARE(w.sgResult->item(0, 3)->text(), QStringLiteral("mean"));
        w.RefColumn = w.ImprColumn = 3; // past the last column
        QCOMPARE(run(), QStringLiteral("|||||||||||||"));
        QVERIFY(app.told().startsWith("The LPIF calculation failed:\n"));
        QVERIFY(!QFile::exists(out));
    }

    // A path typed into a file edit loads on Enter or when the edit is left, once per change of
    // its text: the table, the layer column 1 and the output folder, or one message.
    void lpifTypedPathLoadsOncePerChange() {
        test::TestApp app;
        TLPIF_Form& w = *app.forms->LPIF_Form;
        const QString file = app.tempPath("runs/typed_ratio.jph");
        const QString none = app.tempPath("none_ratio.jph");
        QVERIFY(test::writeAll(file, "Wavelength (nm)\tL1\tL2\n400\t0.1\t0.2\n"));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        test::typeOver(w.eReference, file);
        QCOMPARE(w.sgTable1->model()->columnCount(), 2); // typing alone loads nothing
        QTest::keyClick(w.eReference, Qt::Key_Return);
        QCOMPARE(QStringLiteral("%1|%2|%3")
                     .arg(w.sgTable1->model()->columnCount())
                     .arg(w.RefColumn)
                     .arg(w.eFileDir->text()),
                 "3|1|" + QDir::cleanPath(app.tempPath("runs")));
        w.RefColumn = 2;
        w.eImproved->setFocus(Qt::TabFocusReason); // left unchanged: not loaded again
        QCOMPARE(w.RefColumn, 2);
        test::typeOver(w.eImproved, none);
        w.eReference->setFocus(Qt::TabFocusReason); // left after a change: loaded
        QVERIFY(app.told().startsWith("Cannot open file \"" + none));
        w.eImproved->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.eImproved, Qt::Key_Return);
        w.eReference->setFocus(Qt::TabFocusReason);
        QCOMPARE(app.dialogs.calls.size(), 1); // the same text: no second message
        QCOMPARE(w.RefColumn, 2);
    }

    void lpifRefused_data() { test::caseRows(kLpifRefusals); }
    void lpifRefused() {
        const auto& refusal = test::fetchCase(kLpifRefusals);
        test::TestApp app;
        TLPIF_Form& w = *app.forms->LPIF_Form;
        w.eReference->setText(app.tempPath("a_ratio.jph"));
        w.eImproved->setText(app.tempPath("b_ratio.jph"));
        w.eFileDir->setText(QDir::cleanPath(app.tempPath("")));
        w.RefColumn = w.ImprColumn = 2;
        refusal.clear(w);
        w.brRUNLPIFClick();
        QCOMPARE(app.told(), QString::fromLatin1(refusal.name));
        QCOMPARE(app.dialogs.calls.last().icon, DialogIcon::Error);
    }

    void optimisationWindowDefaultsAndSwitches() {
        test::TestApp app;
        TLXOpt_Form& f = *app.forms->LXOpt_Form;
        QCOMPARE(test::frameOf(f),
                 "LXOpt - optical optimisation tool (add-on for Lumetrix)|931x738|1|1");

        // A screen 720 high shows the window whole, its content scrolling.
        f.show();
        QVERIFY(f.frameGeometry().height() <= f.screen()->availableGeometry().height());
        QCOMPARE(f.findChild<QScrollArea*>("OptScroll")->widget()->minimumSize(),
                 TLXOpt_Form::kDesignedSize);
        f.hide();
        QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(f.palette().color(QPalette::Window), QColor(216, 222, 235)); // 15458008 as B, G, R
        QCOMPARE(test::texts({f.eOpt_layers, f.eThickness, f.eRoughness, f.eRefractive,
                              f.eExtinction, f.pbSteps, f.pbPrecision, f.pbIter_No}),
                 QStringLiteral("|1||0|0|10|0.1|0"));
        QCOMPARE(
            test::texts({f.pbThickness_a, f.pbThickness_b, f.pbRoughness_a, f.pbRoughness_b,
                         f.pbRefractive_a, f.pbRefractive_b, f.pbExtinction_a, f.pbExtinction_b}),
            QStringLiteral("0|0|0|0|0|0|0|0"));
        for (const TPBNumEdit* e :
             {f.pbThickness_a, f.pbRoughness_b, f.pbExtinction_a, f.pbSteps, f.pbPrecision})
            QCOMPARE(e->Decimals(), -1);
        QCOMPARE(f.pbIter_No->Decimals(), 0);
        for (const TPBNumEdit* e :
             {f.pbIter_No, f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result})
            QVERIFY(e->isReadOnly());
        QString chosen;
        for (const QAbstractButton* b : std::initializer_list<const QAbstractButton*>{
                 f.rbMin_Jsc, f.rbMax_Jsc, f.rbMin_diff_Jsc, f.rbThickness1, f.rbRoughness1,
                 f.rbRefractive1, f.rbExtinction1, f.rbMethod1, f.rbMethod4, f.rbMethod5, f.rbIO_0,
                 f.rbIO_2, f.cbThickness, f.cbRoughness})
            chosen += b->isChecked() ? '1' : '0';
        QCOMPARE(chosen, QStringLiteral("01011110101000"));
        QCOMPARE(f.btOptimRUN->text(), QStringLiteral("RUN OPTIMISATION"));
        QVERIFY(f.pbIter_No->isEnabled());
        // Every parameter starts switched off; its switch enables its panel and result display,
        // white, and leaves the others grey. Off again: grey, and the value shown stays.
        for (int index = 0; index < 4; ++index) {
            QCheckBox* box =
                QList{f.cbThickness, f.cbRoughness, f.cbRefractive, f.cbExtinction}[index];
            box->click();
            for (int p = 0; p < 4; ++p)
                QCOMPARE(stateOf(f, p), p == index ? QString(panelOf(f, p).size(), '1') + "ww"
                                                   : QString(panelOf(f, p).size(), '0') + "gg");
            auto* result =
                QList{f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result}[index];
            result->setValue(12.5L);
            box->click();
            QCOMPARE(stateOf(f, index), QString(panelOf(f, index).size(), '0') + "gg");
            QCOMPARE(result->Value(), 12.5L);
        }
        // Minimised, the window keeps the left of its last normal place.
        f.show();
        for (const int left : {120, 200}) {
            f.setWindowState(Qt::WindowNoState);
            f.move(left, 40);
            f.FormResize();
            f.setWindowState(Qt::WindowMinimized);
            f.move(left * 2 - 110, 40);
            f.FormResize();
            QCOMPARE(f.x(), left);
        }
    }

    void runTakesOrRefusesChoices_data() { test::caseRows(kRunCases); }
    void runTakesOrRefusesChoices() {
        const RunCase& c = test::fetchCase(kRunCases);
        const test::Kernel kernel("", 1);
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        choose(f, c.choices);
        if (c.outcome[0] == '/')
            qputenv("LUMETRIX_KERNEL", c.outcome);
        f.btOptimRUN->click();
        const QString saved = app.workDir() + "/Out/LXOut.dat";
        if (QByteArray(c.outcome).startsWith("criterion")) {
            // The project went where RUN puts it, the settings beside it.
            QVERIFY2(app.dialogs.calls.isEmpty(), qPrintable(app.told()));
            QVERIFY(QFileInfo::exists(saved));
            QCOMPARE(f.settingsPath(), app.workDir() + "/Out/LXOut_opt.txt");
            QStringList lines = QString::fromUtf8(test::readAll(f.settingsPath())).split('\n');
            QCOMPARE(lines.takeLast(), QString()); // each line ends in a line feed
            QCOMPARE(lines.join('|'), QString::fromLatin1(c.outcome));
            QVERIFY(QTest::qWaitFor([&] { return !f.running(); }, 10000));
            return;
        }
        QVERIFY(!f.running());
        QCOMPARE(app.dialogs.calls.size(), 1);
        QVERIFY2(app.told().contains(QLatin1String(c.outcome)), qPrintable(app.told()));
        QVERIFY(!QFileInfo::exists(saved)); // nothing was saved
    }

    // A run to its best line, one the kernel fails and one STOP ends: what the window shows
    // then and what it told.
    void optimisationRuns_data() { test::rows({"best line", "kernel fails", "stopped"}); }
    void optimisationRuns() {
        QFETCH(int, index);
        const char* modes[] = {"", "fail", "hang"};
        const test::Kernel kernel(modes[index], 4 - index, index == 2 ? 20 : 0);
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        choose(f, "eOpt_layers=2; eThickness=2; pbThickness_b=500; cbExtinction; eExtinction=1; "
                  "pbExtinction_b=20");
        f.eExt_result->setValue(9); // a value of an earlier run goes
        f.btOptimRUN->click();
        QVERIFY(f.running());
        QCOMPARE(f.btOptimRUN->text(), QStringLiteral("STOP OPTIMISATION"));
        if (index == 2) {
            QVERIFY(QTest::qWaitFor([&] { return f.pbIter_No->text() == "2"; }, 10000));
            app.main().btRunClick(); // both write the output files: RUN waits
            QCOMPARE(app.main().btRun->text(), QStringLiteral("RUN"));
            QVERIFY2(app.told().startsWith("An optimisation is running"), qPrintable(app.told()));
            app.dialogs.calls.clear();
            f.btOptimRUN->click(); // STOP OPTIMISATION
        }
        QVERIFY(QTest::qWaitFor([&] { return !f.running(); }, 10000));
        QCOMPARE(f.btOptimRUN->text(), QStringLiteral("RUN OPTIMISATION"));
        const QString shown[] = {
            "4|100.00|0.00|0.000|110.000|Optimal Jsc<photo>: 24 mA/cm2",
            "1|0.00|0.00|0.000|0.000|The optimisation failed.",
            "2|0.00|0.00|0.000|0.000|Stopped at iteration 2. Best Jsc<photo> found: 22 mA/cm2"};
        QCOMPARE(runShown(f), shown[index]);
        QCOMPARE(app.told(), index == 1 ? QStringLiteral("The optimisation failed.\n"
                                                         "layer 9 is not a layer of the structure")
                                        : QString());
    }

    // A line of the kernel: what the window shows then, iteration|thickness|roughness|n|k|state.
    void optimisationProgressLines() {
        const char* const cases[][2] = {
            {"iteration 7 best 21.5",
             "7|0.00|0.00|0.000|0.000|Best Jsc<photo> so far: 21.5 mA/cm2"},
            {"iteration x best 21.5", "0|0.00|0.00|0.000|0.000|"},
            {"report text", "0|0.00|0.00|0.000|0.000|"},
            {"best: roughness=3.456 n_factor=1.0126 jsc=30.1 iterations=12\r",
             "12|0.00|3.46|1.013|0.000|Optimal Jsc<photo>: 30.1 mA/cm2"},
            {"best: thickness=abc jsc=2 iterations=3",
             "3|0.00|0.00|0.000|0.000|Optimal Jsc<photo>: 2 mA/cm2"},
        };
        for (const auto& [line, shown] : cases) {
            test::TestApp app;
            TLXOpt_Form& f = *app.forms->LXOpt_Form;
            f.takeKernelLine(QString::fromLatin1(line));
            QCOMPARE(runShown(f), QString::fromLatin1(shown));
        }
    }
};

} // namespace lumetrix

QTEST_MAIN(lumetrix::ToolWindowTests)
#include "test_tools.moc"
