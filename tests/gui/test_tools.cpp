// The cR_cT transform and LPIF windows: defaults, limits, the HT power panel, the dialogs,
// the lock of the main window, the table reading and column choice, and RUN.
#include "testapp.h"
#include "tools/lpif_table.h"

#include <cmath>

namespace lumetrix {

using test::q;

namespace {

const QString kFolderCaption = QStringLiteral("Please select directory...");

// A "_ratio.jph" file as the kernel writes it: four lines of run information, the header,
// then wavelength and the absorbed fraction of each layer, TAB-separated.
QByteArray ratioFile(const QList<QList<double>>& rows) {
    QByteArray text = "Lumetrix simulation results\r\nInput file: x.dat\r\n"
                      "Spectrum: AM15, 400 - 800 nm, 5 wavelengths\r\n"
                      "Fraction of the incident photons absorbed per layer\r\n"
                      "Wavelength (nm)\tZnO\tCIGS\r\n";
    for (const QList<double>& row : rows) {
        QStringList fields;
        for (double v : row)
            fields << QString::number(v, 'g', 10);
        text += fields.join('\t').toUtf8() + "\r\n";
    }
    return text;
}

const ScriptedUserDialogs::Call& lastCall(const test::TestApp& app) {
    return app.dialogs.calls.last();
}

} // namespace

class ToolWindowTests : public QObject {
    Q_OBJECT

private slots:
    // ---- cR_cT transform window ----

    void transformDefaults_data() { test::rows({"kind", "numbers", "folders", "texts", "lists"}); }
    void transformDefaults() {
        QFETCH(int, index);
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        const QString expected[] = {
            "1|0|0|1|0",
            "50|2.5|Range: 0 .. 10000",
            app.setting(&FolderSettings::LayerFileDir) + "|" +
                app.setting(&FolderSettings::CalibrationDir),
            "||",
            "air|air|" + QString::number(w.cbIncidentLay->count()),
        };
        const QString actual[] = {
            QStringList{QString::number(w.rb_cR->isChecked()),
                        QString::number(w.rb_cT->isChecked()),
                        QString::number(w.rbHTfactor2->isChecked()),
                        QString::number(w.rbHTfactor3->isChecked()),
                        QString::number(w.Panel1->isVisibleTo(&w))}
                .join('|'),
            test::texts({w.pbRMS, w.ePowerHT}) + "|" + w.pbRMS->toolTip(),
            test::texts({w.eNKdir, w.eFileDir}),
            test::texts({w.eHazeDataFileName, w.eFileName}) + "|" + w.eResultMemo->toPlainText(),
            test::texts({w.cbIncidentLay, w.cbTransLay}) + "|" +
                QString::number(w.cbTransLay->count()),
        };
        QCOMPARE(actual[index], expected[index]);
        if (index == 4) // the lists hold layer.dat, line for line
            QVERIFY(w.cbIncidentLay->count() > 5 && w.cbIncidentLay->findText("CIGS") >= 0);
    }

    void transformWindow() {
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        QCOMPARE(w.windowTitle(), QStringLiteral("cR_cT transform"));
        QCOMPARE(w.size(), QSize(691, 601));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(w.palette().color(QPalette::Window), QColor(0xD8, 0xDE, 0xEB));
    }

    void transformLimits_data() { test::rows({"rms", "power"}); }
    void transformLimits() {
        QFETCH(int, index);
        struct Limit {
            double min, max;
        };
        const Limit expected[] = {{0, 10000}, {2, 3}};
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        TPBNumEdit* edit = index == 0 ? w.pbRMS : w.ePowerHT;
        QCOMPARE(double(edit->MinValue()), expected[index].min);
        QCOMPARE(double(edit->MaxValue()), expected[index].max);
        QCOMPARE(edit->Decimals(), -1);
    }

    // cT shows the power row with 3 chosen; cR hides it and a later cT finds the choice kept.
    void powerPanel_data() { test::rows({"cT shows 3", "cR hides", "choice kept"}); }
    void powerPanel() {
        QFETCH(int, index);
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        w.show();
        QTest::mouseClick(w.rb_cT, Qt::LeftButton);
        QVERIFY(w.Panel1->isVisible() && w.rbHTfactor3->isChecked());
        if (index == 0)
            return;
        QTest::mouseClick(w.rbHTfactor2, Qt::LeftButton);
        QTest::mouseClick(w.rb_cR, Qt::LeftButton);
        QVERIFY(!w.Panel1->isVisible());
        if (index == 1)
            return;
        QTest::mouseClick(w.rb_cT, Qt::LeftButton);
        QVERIFY(w.Panel1->isVisible() && w.rbHTfactor2->isChecked() && !w.rbHTfactor3->isChecked());
    }

    // Each browse button: the dialog, where it starts, and what the edit takes.
    void transformBrowse_data() {
        test::rows({"haze, empty edit", "haze, file named", "haze, cancelled", "nk folder",
                    "output folder"});
    }
    void transformBrowse() {
        QFETCH(int, index);
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        const QString named = app.tempPath("haze/HR.txt");
        if (index == 1 || index == 2)
            w.eHazeDataFileName->setText(named);
        if (index != 2) {
            app.dialogs.answerFile(app.tempPath("chosen.txt"));
            app.dialogs.answerFolder(app.tempPath("chosen"));
        }
        QPushButton* button[] = {w.btHazeData, w.btHazeData, w.btHazeData, w.btNKDir, w.btFolder};
        QLineEdit* edit[] = {w.eHazeDataFileName, w.eHazeDataFileName, w.eHazeDataFileName,
                             w.eNKdir, w.eFileDir};
        const QString before = edit[index]->text();
        QTest::mouseClick(button[index], Qt::LeftButton);
        QCOMPARE(app.dialogs.calls.size(), 1);
        const auto& call = lastCall(app);
        const QString start[] = {app.workDir(), app.tempPath("haze"), app.tempPath("haze"), before,
                                 before};
        QCOMPARE(call.folder, start[index]);
        if (index < 3) {
            QCOMPARE(call.kind, QStringLiteral("open"));
            QCOMPARE(call.text, QStringLiteral("ASCII file|*.txt|All files|*.*"));
        } else {
            QCOMPARE(call.kind, QStringLiteral("folder"));
            QCOMPARE(call.text, kFolderCaption);
        }
        const QString after[] = {app.tempPath("chosen.txt"), app.tempPath("chosen.txt"), named,
                                 app.tempPath("chosen"), app.tempPath("chosen")};
        QCOMPARE(edit[index]->text(), after[index]);
    }

    // RUN refuses a missing setting with its message and writes nothing.
    void transformRefused_data() {
        test::rows({"no haze file", "rms 0", "no incident layer", "no layer in transmission",
                    "no nk folder", "no name", "no folder"});
    }
    void transformRefused() {
        QFETCH(int, index);
        const char* messages[] = {"Select the file with haze data.",
                                  "Define an rms roughness above 0 nm.",
                                  "Define the incident layer.",
                                  "Define the layer in transmission.",
                                  "Specify the folder of the nk data.",
                                  "Specify the name of the cR or cT file.",
                                  "Specify the folder of the cR or cT file."};
        test::TestApp app;
        TcR_cT_Form& w = *app.forms->cR_cT_Form;
        w.eHazeDataFileName->setText(app.workDir() + "/HT_HR/HR_CIGS_rough.hz");
        w.eFileName->setText("made");
        switch (index) {
        case 0:
            w.eHazeDataFileName->clear();
            break;
        case 1:
            w.pbRMS->setValue(0);
            break;
        case 2:
            w.cbIncidentLay->setCurrentIndex(-1);
            break;
        case 3:
            w.cbTransLay->setCurrentIndex(-1);
            break;
        case 4:
            w.eNKdir->clear();
            break;
        case 5:
            w.eFileName->clear();
            break;
        default:
            w.eFileDir->clear();
        }
        w.brRUNTransfClick();
        QCOMPARE(app.told(), QString::fromLatin1(messages[index]));
        QCOMPARE(lastCall(app).icon, DialogIcon::Error);
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
        w.cbIncidentLay->setCurrentText("air");
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
        const QString file = QString::fromUtf8(test::readAll(path));
        QVERIFY(file.contains(index == 0 ? "cR" : "HT power factor 2.25"));
        const QStringList memo = w.eResultMemo->toPlainText().split('\n');
        // 300 nm lies outside the glass data or not; 600 nm (haze 0) is skipped in any case.
        QCOMPARE(memo.value(0), (index == 0 ? "cR file written: " : "cT file written: ") + path);
        const int header = index == 0 ? 1 : 2;
        if (index == 1)
            QCOMPARE(memo.value(1), QStringLiteral("HT power factor: 2.25"));
        QVERIFY2(memo.value(header).startsWith("Range: ") &&
                     memo.value(header).endsWith(" - 700 nm"),
                 qPrintable(memo.join('|')));
        const int points = memo.value(header + 1).mid(8).toInt();
        const int skipped = memo.value(header + 2).mid(21).toInt();
        QCOMPARE(points + skipped, 5);
        QCOMPARE(memo.size(), header + 3 + skipped);
        QVERIFY(memo.filter("600").size() == 1 && memo.filter("600").first().startsWith("  "));
    }

    // ---- LPIF window ----

    void lpifDefaults() {
        test::TestApp app;
        TLPIF_Form& w = *app.forms->LPIF_Form;
        QCOMPARE(w.windowTitle(), QStringLiteral("Calculate LPIF"));
        QCOMPARE(w.size(), QSize(896, 644));
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(test::texts({w.eReference, w.eImproved, w.eFileName, w.eFileDir}),
                 QStringLiteral("||LPIF_out|"));
        for (QTableView* table : {w.sgTable1, w.sgTable2})
            QCOMPARE(QSize(table->model()->columnCount(), table->model()->rowCount()), QSize(2, 2));
        QCOMPARE(QSize(w.sgResult->columnCount(), w.sgResult->rowCount()), QSize(12, 2));
        QVERIFY(!w.sgResult->item(0, 0)->background().style()); // no fixed row
        QCOMPARE(w.RefColumn + w.ImprColumn, 0);
    }

    // How a file is read into a table: rows, columns, and the cells of note.
    void lpifTableReading_data() {
        test::rows({"TAB", "TAB, last line short", "fixed-width", "one line", "empty",
                    "kernel file", "kernel file, no data"});
    }
    void lpifTableReading() {
        QFETCH(int, index);
        struct Case {
            const char* bytes;
            bool tab;
            int rows, columns;
            const char* cells; // (0,0) | (1,0) | (1,1) | (0,1)
        };
        const Case cases[] = {
            {"Wave length\tA 1\tB\r\n 400\t0.1 \t0.2\r\n500\t0.3\t0.4\t\r\n", true, 3, 3,
             "Wave length| 400|0.1|A1"},
            {"h0\th1\th2\n400\t0.1\t0.2\n500\t0.3\n", true, 3, 2, "h0|400|0.1|h1"},
            {"lambda   A_1    A2\n  400   0.125  0.5\n  500   0.25   0.75\n", false, 3, 4,
             "|1|400|lambda"},
            {"only a header\n", false, 2, 2, "|||"},
            {"", false, 2, 2, "|||"},
            {"Lumetrix simulation results\r\nInput file: a b.dat\r\nSpectrum: x\r\nFraction\r\n"
             "Wavelength (nm)\tZnO\tCIGS\r\n400\t0.1\t0.2\r\n",
             true, 2, 3, "Wavelength (nm)|400|0.1|ZnO"},
            {"Lumetrix simulation results\r\nInput file: a b.dat\r\nSpectrum: x\r\nFraction\r\n"
             "Wavelength (nm)\tZnO\tCIGS\r\n",
             false, 2, 2, "|||"},
        };
        const Case& c = cases[index];
        const LpifTable t = parseLpifTable(c.bytes, "t.jph");
        QCOMPARE(t.tabSeparated, c.tab);
        QCOMPARE(QSize(t.columns, t.rowCount()), QSize(c.columns, c.rows));
        QCOMPARE(QStringList({t.cell(0, 0), t.cell(1, 0), t.cell(1, 1), t.cell(0, 1)}).join('|'),
                 QString::fromLatin1(c.cells));
        // The calculation numbers columns as the Results page: the first field is column 1.
        QCOMPARE(t.resultColumn(1), c.tab ? 2 : 1);
    }

    // Browse: the dialog, the edit, the table, the output folder and the layer column.
    void lpifBrowse_data() {
        test::rows({"reference, empty folder", "reference, folder kept", "improved", "cancelled",
                    "unreadable"});
    }
    void lpifBrowse() {
        QFETCH(int, index);
        test::TestApp app;
        TLPIF_Form& w = *app.forms->LPIF_Form;
        const QString file = app.tempPath("runs/ref_ratio.jph");
        QVERIFY(test::writeAll(file, "Wavelength\tL1\tL2\n400\t0.1\t0.2\n500\t0.3\t0.4\n"));
        if (index == 1)
            w.eFileDir->setText("/kept");
        if (index != 3)
            app.dialogs.answerFile(index == 4 ? app.tempPath("none_ratio.jph") : file);
        const bool improved = index == 2;
        QTest::mouseClick(improved ? w.btImpr : w.btRef, Qt::LeftButton);
        QCOMPARE(lastCall(app).kind, QString::fromLatin1(index == 4 ? "message" : "open"));
        QCOMPARE(app.dialogs.calls.first().text,
                 QStringLiteral("Jph file|*_ratio.jph|All files|*.*"));
        QCOMPARE(QPoint(w.RefColumn, w.ImprColumn), improved ? QPoint(0, 1) : QPoint(1, 0));
        QTableView* table = improved ? w.sgTable2 : w.sgTable1;
        QLineEdit* edit = improved ? w.eImproved : w.eReference;
        const QString shown[] = {file, file, file, "", app.tempPath("none_ratio.jph")};
        QCOMPARE(edit->text(), shown[index]);
        const QString folder[] = {app.tempPath("runs"), "/kept", app.tempPath("runs"), "",
                                  app.tempPath("")};
        QCOMPARE(w.eFileDir->text(), QDir::cleanPath(folder[index]));
        const int columns = index == 3 || index == 4 ? 2 : 3;
        QCOMPARE(table->model()->columnCount(), columns);
        if (index == 4)
            QVERIFY(app.told().startsWith("Cannot open file \"" + app.tempPath("none_ratio.jph")));
    }

    // A press on a cell chooses its column; on a heading cell other than column 0 it also
    // selects the whole column. Presses outside the cells change nothing.
    void lpifColumnChoice_data() {
        test::rows({"data cell, column 3", "heading, column 2", "heading, column 0", "outside"});
    }
    void lpifColumnChoice() {
        QFETCH(int, index);
        test::TestApp app;
        TLPIF_Form& w = *app.forms->LPIF_Form;
        w.table2()->setTable(parseLpifTable("h\ta\tb\tc\tl\n1\t2\t3\t4\t5\n6\t7\t8\t9\t1\n", "t"));
        w.ImprColumn = 1;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint cells[] = {{3, 2}, {2, 0}, {0, 0}};
        QPoint at = w.sgTable2->viewport()->rect().bottomRight() - QPoint(2, 2);
        if (index < 3)
            at = w.sgTable2->visualRect(w.table2()->index(cells[index].y(), cells[index].x()))
                     .center();
        QTest::mouseClick(w.sgTable2->viewport(), Qt::LeftButton, {}, at);
        const int chosen[] = {3, 2, 0, 1};
        QCOMPARE(w.ImprColumn, chosen[index]);
        QCOMPARE(w.RefColumn, 0);
        const QModelIndexList selected = w.sgTable2->selectionModel()->selectedIndexes();
        const int expectedSelected[] = {1, 3, 1, 0};
        QCOMPARE(selected.size(), expectedSelected[index]);
        if (index == 1)
            for (const QModelIndex& cell : selected)
                QCOMPARE(cell.column(), 2);
    }

    void lpifRefused_data() {
        test::rows({"no reference", "no improved", "no reference column", "no improved column",
                    "no name", "no folder"});
    }
    void lpifRefused() {
        QFETCH(int, index);
        const char* messages[] = {
            "Select the \"*_ratio.jph\" file of the REFERENCE structure.",
            "Select the \"*_ratio.jph\" file of the IMPROVED structure.",
            "Select the layer (column) in the table of the REFERENCE structure.",
            "Select the layer (column) in the table of the IMPROVED structure.",
            "Specify the name of the LPIF output file.",
            "Specify the folder of the LPIF output file."};
        test::TestApp app;
        TLPIF_Form& w = *app.forms->LPIF_Form;
        w.eReference->setText(app.tempPath("a_ratio.jph"));
        w.eImproved->setText(app.tempPath("b_ratio.jph"));
        w.eFileDir->setText(QDir::cleanPath(app.tempPath("")));
        w.RefColumn = w.ImprColumn = 2;
        QLineEdit* cleared[] = {w.eReference, w.eImproved, nullptr,
                                nullptr,      w.eFileName, w.eFileDir};
        if (cleared[index])
            cleared[index]->clear();
        if (index == 2)
            w.RefColumn = 0;
        if (index == 3)
            w.ImprColumn = 0;
        w.brRUNLPIFClick();
        QCOMPARE(app.told(), QString::fromLatin1(messages[index]));
        QCOMPARE(lastCall(app).icon, DialogIcon::Error);
    }

    // RUN computes through the kernel: the summary row and the output file.
    void lpifRuns_data() { test::rows({"computed", "column outside the table"}); }
    void lpifRuns() {
        QFETCH(int, index);
        test::TestApp app;
        TLPIF_Form& w = *app.forms->LPIF_Form;
        // LPIF = ln(1 - A_impr) / ln(1 - A_ref): the CIGS column absorbs 1 - e^-1 and
        // 1 - e^-2 (LPIF 2) at 400 nm and 500 nm, 1 - e^-0.5 and 1 - e^-1.5 (LPIF 3) at 600 nm.
        const double e1 = 1 - std::exp(-1.0), e2 = 1 - std::exp(-2.0);
        const double h = 1 - std::exp(-0.5), h3 = 1 - std::exp(-1.5);
        const QString ref = app.tempPath("ref_ratio.jph"), impr = app.tempPath("impr_ratio.jph");
        QVERIFY(test::writeAll(ref, ratioFile({{400, 0.1, e1}, {500, 0.1, e1}, {600, 0.1, h}})));
        QVERIFY(test::writeAll(impr, ratioFile({{400, 0.2, e2}, {500, 0.2, e2}, {600, 0.2, h3}})));
        app.dialogs.answerFile(ref);
        app.dialogs.answerFile(impr);
        w.btRefClick();
        w.btImprClick();
        // The tables start at the header below the run information: wavelength, ZnO, CIGS.
        QCOMPARE(w.table1()->table().cell(0, 2), QStringLiteral("CIGS"));
        QCOMPARE(w.table2()->table().cell(3, 0), QStringLiteral("600"));
        w.RefColumn = w.ImprColumn = index == 0 ? 2 : 3; // 3 is past the last column
        w.eFileName->setText("cigs");
        QTest::mouseClick(w.brRUNLPIF, Qt::LeftButton);
        const QString out = app.tempPath("cigs.lpif");
        QCOMPARE(w.outputPath(), out);
        QStringList row;
        for (int c = 0; c < 12; ++c)
            row << w.sgResult->item(1, c)->text();
        if (index == 1) {
            QVERIFY(app.told().startsWith("The LPIF calculation failed:\n"));
            QCOMPARE(row.join(""), QString());
            QVERIFY(!QFile::exists(out));
            return;
        }
        QCOMPARE(app.told(), QString());
        QCOMPARE(row.join('|'),
                 QStringLiteral("400|600|3|2.3333|2.0000|400|3.0000|600|2.0000|2.0000|3.0000|-"));
        QVERIFY(QFile::exists(out));
        QCOMPARE(w.sgResult->item(0, 3)->text(), QStringLiteral("mean"));
    }

    // ---- both ----

    // Opening from the Tools menu locks the main window; closing gives it back.
    void lock_data() { test::rows({"cR_cT transform", "LPIF"}); }
    void lock() {
        QFETCH(int, index);
        test::TestApp app;
        TMainForm& main = app.activeMain();
        QWidget* window =
            index == 0 ? static_cast<QWidget*>(app.forms->cR_cT_Form) : app.forms->LPIF_Form;
        (main.*(index == 0 ? &TMainForm::cRcTtransform1Click : &TMainForm::CalculateLPIF1Click))();
        QVERIFY(window->isVisible() && !main.isEnabled() && main.ToolWindowOpen);
        window->close();
        QVERIFY(!window->isVisible() && main.isEnabled() && !main.ToolWindowOpen);
    }
};

} // namespace lumetrix

QTEST_MAIN(lumetrix::ToolWindowTests)
#include "test_tools.moc"
