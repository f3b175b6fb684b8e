// RUN with the stand-in kernel of tests/kernel_double: the Process window, the Results page
// following and showing the result, STOP, failures, the overwrite question and the kernel's
// input file. The Results page: result files as tables, the on-line view, the graph's lines,
// legend and settings, and the axis selection dialog.
#include "app/processform.h"
#include "controls/kernelprogram.h"
#include "results/resultchart.h"
#include "testapp.h"

#include <qcustomplot.h>

using namespace lumetrix;

namespace {

struct TwoLayers : test::TestApp {
    TwoLayers() : results(*forms->Results), process(*forms->ProcessForm) {
        activeMain();
        addLayers(2);
        forms->StructureForm->row(2).layerFile->setEditText("ZnO");
        forms->StructureForm->row(3).layerFile->setEditText("CIGS");
    }
    QString out(const QString& suffix) const { return workDir() + "/Out/LXOut" + suffix; }
    QString report() const { return process.ProcessInfoMemo->toPlainText(); }
    bool runEnds() {
        return QTest::qWaitFor([&] { return main().btRun->text() == QLatin1String("RUN"); },
                               10000) &&
               !main().kernelRun().running();
    }
    // "R=1.25 T=2.50 ..." as the on-line items show their photocurrents, "!" after an item
    // whose line is not shown.
    QString jscShown() const {
        QStringList shown;
        for (const OnLineItem& item : results.OnLineItems)
            shown << item.box->text() + "=" + item.jsc->text() + (item.box->isChecked() ? "" : "!");
        return shown.join(' ');
    }
    std::vector<double> pointsOf(int id) const {
        const int index = results.lines().find(id);
        return index < 0 ? std::vector<double>{} : results.lines().line(index).data.y;
    }

    TResults& results;
    TProcessForm& process;
};

// A run that fails says why; the project stays as it was.
const struct FailureCase {
    const char* name;
    const char* mode;
    QByteArray program;
    const char* told;
} kFailures[] = {
    {"message of the kernel", "fail", LUMETRIX_KERNEL_DOUBLE,
     "The simulation failed.\nnk/CIGS.nk, line 7: the wavelengths do not rise"},
    {"exit code without a message", "silent", LUMETRIX_KERNEL_DOUBLE,
     "ended with exit code 1 and gave no reason"},
    {"crash", "crash", LUMETRIX_KERNEL_DOUBLE, "The simulation kernel stopped unexpectedly."},
    {"missing program", "", "/nowhere/lumetrix-kernel", "\"/nowhere/lumetrix-kernel\" is missing"},
    {"missing output folder", "", LUMETRIX_KERNEL_DOUBLE, "/Out\" does not exist"},
};

// With "Ask if overwrite output files" checked, result files of the output name are only
// replaced after a Yes; No writes nothing.
const struct OverwriteCase {
    const char* name;
    bool ask, existing;
    DialogButton answer;
    bool asked, runs;
} kOverwrite[] = {{"not asked when unchecked", false, true, DialogButton::No, false, true},
                  {"Yes overwrites", true, true, DialogButton::Yes, true, true},
                  {"No keeps the files", true, true, DialogButton::No, true, false},
                  {"nothing to overwrite", true, false, DialogButton::No, false, true}};

// The two-layer project with the on-line result of a run over three wavelengths (ended by the
// kernel's empty line) and its totals.
struct OnLineResult : TwoLayers {
    OnLineResult() {
        test::writeAll(out(".rta"), "lambda\tR\tT\tZnO\tCIGS\tSum\n"
                                    "300\t0.1\t0.8\t0.05\t0.05\t1\n"
                                    "310\t0.2\t0.7\t0.04\t0.06\t1\n"
                                    "320\t0.3\t0.6\t0.03\t0.07\t1\n\n");
        test::writeAll(out("_Sum.jsc"),
                       "Jsc\n(mA/cm2)\n\n4.1\tR\n0\tT\n2.25\tZnO\n31.5\tCIGS\n\n31.5\tPV\n");
    }
};

QStringList legend(const TResults& results) {
    QStringList labels;
    for (int i = 0; i < results.lines().count(); ++i)
        labels << QString::fromStdString(results.lines().line(i).data.label);
    return labels;
}

// The events of a double click as the window system delivers them.
void doubleClick(QWidget* widget) {
    QTest::mousePress(widget, Qt::LeftButton);
    QTest::mouseRelease(widget, Qt::LeftButton);
    QTest::mousePress(widget, Qt::LeftButton);
    QTest::mouseDClick(widget, Qt::LeftButton);
    QTest::mouseRelease(widget, Qt::LeftButton);
}

QStringList drawn(const TResults& results) {
    QStringList titles;
    for (const SeriesLook& look : results.Graf->series())
        titles << look.title + (look.dashed ? "~" : "") + (look.visible ? "" : "(hidden)");
    return titles;
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
private slots:
    // The kernel's lines, and without LUMETRIX_KERNEL (which every run here sets) the kernel
    // beside the program; then runs of the stand-in.
    void kernelLinesProgramAndCompletedRuns() {
        const char* const cases[][2] = {
            // line, its progress or report text
            {"progress 3 10", "3/10"},
            {"progress 10 10\r\n", "10/10"},
            {"progress 0 4", "0/4"},
            {"progress 11 10", "progress 11 10"}, // beyond the end: report text
            {"progress 1 0", "progress 1 0"},
            {"progress -1 4", "progress -1 4"},
            {"progress 1 4 nm", "progress 1 4 nm"},
            {"Progress 1 4", "Progress 1 4"},
            {"progress 2", "progress 2"},
            {"Range used: 300 - 1100 nm\n", "Range used: 300 - 1100 nm"},
        };
        for (const auto& [line, parsed] : cases) {
            const KernelLine got = parseKernelLine(QString::fromLatin1(line));
            QCOMPARE(got.isProgress ? QStringLiteral("%1/%2").arg(got.done).arg(got.total)
                                    : got.text,
                     QString::fromLatin1(parsed));
        }
        qunsetenv("LUMETRIX_KERNEL");
        QCOMPARE(kernelProgramPath(), QCoreApplication::applicationDirPath() + "/lumetrix-kernel");
        // Two runs: RUN reads STOP while the kernel works, the Process window shows its report and
        // progress, then the Results page each new result; the second ends under the About box.
        TwoLayers app;
        TMainForm& main = app.main();
        const QString title = main.windowTitle();
        for (const int wavelengths : {3, 4}) {
            const test::Kernel kernel("", wavelengths);
            QTest::mouseClick(main.btRun, Qt::LeftButton);
            QCOMPARE(main.btRun->text(), QStringLiteral("STOP"));
            QVERIFY(main.runInProgress() && main.kernelRun().running());
            QCOMPARE(main.CurrentPage, main.pageFor(Page::Process));
            const bool locked = wavelengths == 4;
            if (locked)
                main.About1Click();
            QVERIFY(app.runEnds());
            QCOMPARE(app.told(), QString());
            if (locked) {
                QCOMPARE(main.CurrentPage, main.pageFor(Page::Process));
                QTest::mouseClick(app.forms->AboutForm, Qt::LeftButton);
                main.ToolBarClick(main.LbSpeedButton8);
            }
            QVERIFY(app.report().contains(
                QStringLiteral("Range used: 300 - %1 nm").arg(290 + 10 * wavelengths)));
            QVERIFY(!app.report().contains("progress"));
            QVERIFY(app.process.pbProgress->isVisibleTo(&app.process));
            QCOMPARE(app.process.pbProgress->maximum(), wavelengths);
            QCOMPARE(app.process.pbProgress->value(), wavelengths);
            QCOMPARE(main.CurrentPage, main.pageFor(Page::Results));
            QVERIFY(main.LbSpeedButton8->isChecked());
            QCOMPARE(app.jscShown(), QStringLiteral("R=1.25 T=2.50 ZnO=3.75 CIGS=5.00"));
            QCOMPARE(app.results.pbJscTotal->text(), QStringLiteral("99.50"));
            const std::vector<double> r{0.1, 0.11, 0.12, 0.13};
            QCOMPARE(app.pointsOf(kReflectanceLine),
                     std::vector<double>(r.begin(), r.begin() + wavelengths));
            QCOMPARE(app.pointsOf(3).size(), std::size_t(wavelengths));
        }
        QCOMPARE(app.report().count("Completed in "), 2);
        QCOMPARE(main.windowTitle(), title);
    }

    // While the kernel works the on-line view follows its rows but the last, without totals or a
    // message for a file not there yet; STOP ends the run as stopped.
    void followedAndStopped() {
        TwoLayers app;
        TMainForm& main = app.main();
        QVERIFY(test::writeAll(app.out(".rta"), "lambda\tR\tT\tZnO\tCIGS\tSum\n"
                                                "500\t0.9\t0\t0\t0.1\t1\n"
                                                "510\t0.9\t0\t0\t0.1\t1\n"
                                                "520\t0.9\t0\t0\t0.1\t1\n\n"));
        const test::Kernel kernel("hang", 4, 200);
        main.btRunClick();
        main.ToolBarClick(main.LbSpeedButton8); // before the kernel writes its file
        QCOMPARE(app.pointsOf(kReflectanceLine), std::vector<double>{}); // none of the old
        QTRY_COMPARE_WITH_TIMEOUT(app.process.pbProgress->value(), 4, 10000);
        QTRY_COMPARE(app.results.onLineTable().rowCount(), 4); // the header and three of four rows
        QCOMPARE(app.pointsOf(kReflectanceLine), (std::vector<double>{0.1, 0.11}));
        QCOMPARE(app.pointsOf(2), (std::vector<double>{0.2, 0.195}));
        QVERIFY(app.results.pbJscTotal->isHidden());
        QCOMPARE(app.jscShown(), QStringLiteral("R=0.00 T=0.00 ZnO=0.00 CIGS=0.00"));
        QCOMPARE(app.told(), QString());
        // Both write the output files: an optimisation cannot start now.
        QCOMPARE(main.saveKernelInput(), QString());
        QVERIFY2(app.told().startsWith("A simulation is running"), qPrintable(app.told()));
        app.dialogs.calls.clear();
        QTest::mouseClick(main.btRun, Qt::LeftButton);
        QVERIFY(app.runEnds());
        QVERIFY(app.report().endsWith("The run was stopped."));
        QCOMPARE(app.process.pbProgress->text(), QStringLiteral("Stopped at wavelength 4 of 4"));
        QCOMPARE(app.told(), QString());
        // The stopped run's rows stay in view, all of them, on the graph as in the table, and
        // the page says which run they are; the earlier complete set is left whole.
        QCOMPARE(
            app.results.lRunState->text(),
            QStringLiteral("Stopped at wavelength 4 of 4 (LXOut_partial.rta), no photocurrents"));
        QCOMPARE(app.pointsOf(kReflectanceLine), (std::vector<double>{0.1, 0.11, 0.12}));
        QVERIFY(app.results.OnLineItems[0].jsc->isHidden() && app.results.pbJscTotal->isHidden());
        QVERIFY(test::readAll(app.out(".rta")).startsWith("lambda\tR\tT\tZnO\tCIGS\tSum\n500"));
        QCOMPARE(main.findChild<QLabel*>("StatusRun")->text(),
                 QStringLiteral("Run: Stopped at wavelength 4 of 4"));
    }

    // Closing the window during a run asks first: No keeps the run, Yes stops it and closes.
    void closingDuringARunAsks() {
        TwoLayers app;
        TMainForm& main = app.main();
        main.show();
        const test::Kernel kernel("hang", 4, 200);
        main.btRunClick();
        app.dialogs.answerMessage(DialogButton::No);
        QVERIFY(!main.close());
        QVERIFY(app.told().startsWith("A simulation is running."));
        QVERIFY(main.kernelRun().running() && main.isVisible());
        app.dialogs.answerMessage(DialogButton::Yes);
        app.dialogs.answerMessage(DialogButton::No); // the project is not saved
        QVERIFY(main.close());
        QVERIFY(!main.isVisible());
        QTRY_VERIFY(!main.kernelRun().running());
        QVERIFY(!main.settings().value("MainWindow/geometry").toByteArray().isEmpty());
    }

    // After a failed run the page shows the earlier complete run, its totals and its lines
    // together, and says so; the earlier files are left as they were.
    void failedRunLeavesTheCompleteRunInView() {
        OnLineResult app;
        const QByteArray rows = test::readAll(app.out(".rta"));
        const test::Kernel kernel("fail", 3);
        app.main().btRunClick();
        QVERIFY(app.runEnds());
        QVERIFY(app.told().startsWith("The simulation failed."));
        app.showPage(8, false);
        QVERIFY2(app.results.lRunState->text().startsWith("The last run failed. Complete run of "),
                 qPrintable(app.results.lRunState->text()));
        QVERIFY(app.results.lRunState->text().endsWith("(LXOut.rta)"));
        QCOMPARE(app.pointsOf(kReflectanceLine), (std::vector<double>{0.1, 0.2, 0.3}));
        QCOMPARE(app.jscShown(), QStringLiteral("R=4.10 T=0.00 ZnO=2.25 CIGS=31.50"));
        QCOMPARE(app.results.pbJscTotal->text(), QStringLiteral("31.50"));
        QCOMPARE(test::readAll(app.out(".rta")), rows);
        QCOMPARE(app.main().findChild<QLabel*>("StatusRun")->text(), QStringLiteral("Run: Failed"));
    }

    void failedRuns_data() { test::caseRows(kFailures); }
    void failedRuns() {
        const FailureCase& c = test::fetchCase(kFailures);
        TwoLayers app;
        TMainForm& main = app.main();
        QVERIFY(app.saveAndReopen("project.dat"));
        app.forms->StructureForm->row(2).thickness->setValue(120); // unsaved
        if (c.name == std::string_view("missing output folder"))
            QVERIFY(QDir(app.workDir() + "/Out").removeRecursively());
        const test::Kernel kernel(c.mode, 3, 0, c.program);
        const std::vector<std::string> project = app.build();
        const QString title = main.windowTitle();
        app.dialogs.calls.clear();
        main.btRunClick();
        QVERIFY(app.runEnds());
        QCOMPARE(app.dialogs.calls.size(), 1);
        QCOMPARE(app.dialogs.calls[0].icon, DialogIcon::Error);
        QVERIFY2(app.told().contains(QString::fromLatin1(c.told)), qPrintable(app.told()));
        QCOMPARE(app.build(), project);
        QCOMPARE(main.CurrentFileName, app.tempPath("project.dat"));
        QCOMPARE(main.windowTitle(), title);
        QVERIFY(main.CurrentPage != main.pageFor(Page::Results));
    }

    void overwriteQuestion_data() { test::caseRows(kOverwrite); }
    void overwriteQuestion() {
        const OverwriteCase& c = test::fetchCase(kOverwrite);
        TwoLayers app;
        app.forms->FilesForm->cbOverwriteLXOut->setChecked(c.ask);
        if (c.existing) {
            QVERIFY(test::writeAll(app.out(".rta"), "old rows\n"));
            QVERIFY(test::writeAll(app.out(".jsc"), "old totals\n"));
        }
        const test::Kernel kernel("");
        app.dialogs.answerMessage(c.answer);
        app.main().btRunClick();
        QCOMPARE(app.dialogs.calls.size(), c.asked ? 1 : 0);
        if (c.asked) {
            QCOMPARE(app.dialogs.calls[0].icon, DialogIcon::Warning);
            QCOMPARE(app.dialogs.calls[0].buttons, (QList{DialogButton::Yes, DialogButton::No}));
            QVERIFY(app.told().contains("LXOut.rta, LXOut.jsc"));
        }
        QCOMPARE(app.main().runInProgress(), c.runs);
        QVERIFY(app.runEnds());
        QCOMPARE(test::readAll(app.out(".rta")).startsWith("lambda"), c.runs);
        QCOMPARE(QFile::exists(app.out(".dat")), c.runs);
        if (c.existing && !c.runs)
            QCOMPARE(test::readAll(app.out(".rta")), QByteArray("old rows\n"));
    }

    // The kernel reads the project, a number being typed included, from <output name>.dat in
    // the output folder; when that file is the user's own project, from <output name>_run.dat.
    void inputFileOfTheKernel_data() {
        test::rows({"untitled project", "project saved elsewhere", "project saved as LXOut.dat"});
    }
    void inputFileOfTheKernel() {
        QFETCH(int, index);
        TwoLayers app;
        TMainForm& main = app.main();
        const QString own = index == 1 ? app.tempPath("mine.dat") : app.out(".dat");
        if (index > 0) {
            app.dialogs.answerFile(own);
            main.SaveAs1Click();
            QCOMPARE(main.CurrentFileName, own);
        }
        const QByteArray saved = test::readAll(own);
        test::typeOver(app.forms->StructureForm->row(3).thickness, "1750");
        const test::Kernel kernel("");
        main.btRunClick();
        QVERIFY(app.runEnds());
        const QString input = app.out(index == 2 ? "_run.dat" : ".dat");
        QVERIFY(app.report().contains("input " + input));
        QVERIFY(test::readAll(input).contains(" 1750 "));
        QCOMPARE(test::readAll(input),
                 QByteArray::fromStdString(encodeFileText(app.build()).value_or("")));
        if (index > 0)
            QCOMPARE(test::readAll(own), saved);
        QCOMPARE(main.CurrentFileName, index > 0 ? own : QString());
    }

    // Before any run both files are missing; then result files of both layouts, as tables.
    void resultFilesAsTables() {
        test::TestApp app;
        TResults& results = *app.forms->Results;
        const QString out = app.workDir() + "/Out/";
        app.showPage(8, false);
        QCOMPARE(app.told(), QString()); // no box: the page says it
        QCOMPARE(results.lRunState->text(),
                 QStringLiteral("No complete run of the output name \"LXOut\" yet"));
        QVERIFY(results.pbJscTotal->isHidden());
        results.cbIzberiGrafChange(4);
        QCOMPARE(results.LOpenedFile->text(),
                 QStringLiteral("On-line results: LXOut.GL: not written yet"));
        QCOMPARE(app.told(), QString());
        QVERIFY(results.lines().empty());
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_tabs.rta", out + "LXOut.rta"));
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_fixed.GL", out + "LXOut.GL"));
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_fixed.GL", out + "import.Gl"));
        const QAbstractItemModel& model = *results.sgTable->model();
        const auto cell = [&](int r, int c) { return model.index(r, c).data().toString(); };
        const struct {
            int entry;
            const char* opened;
            QStringList header;
        } cases[] = {{1, "On-line results: LXOut.rta", {"", "lambda", "R", "T"}},
                     {4, "On-line results: LXOut.GL", {"", "x(nm)", "G1", "G2"}},
                     {10, "Opened file: import.Gl", {"", "x(nm)", "G1", "G2"}}};
        for (const auto& c : cases) {
            app.dialogs.answerFile(out + "import.Gl");
            results.cbIzberiGrafChange(c.entry);
            QCOMPARE(results.LOpenedFile->text(), QString::fromLatin1(c.opened));
            QCOMPARE(results.Notebook1->currentIndex(), 1);
            QCOMPARE(QSize(model.columnCount(), model.rowCount()), QSize(4, 3));
            QCOMPARE((QStringList{cell(0, 0), cell(0, 1), cell(0, 2), cell(0, 3)}), c.header);
            QCOMPARE(cell(2, 0), QStringLiteral("2"));
        }
        QCOMPARE(results.imported(), true);

        results.cbIzberiGrafChange(1);
        results.sgTable->selectionModel()->select(
            QItemSelection(model.index(1, 1), model.index(2, 2)), QItemSelectionModel::Select);
        QTest::keyClick(results.sgTable, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("300\t0.1\n310\t0.3\n"));

        // The kernel's titles as written, every cell shown whole in columns the user sizes; a
        // click on a title and Ctrl+C copy the whole column.
        test::writeAll(out + "LXOut.jsc", "Item\tJph specular (mA/cm2)\tJph total (mA/cm2)\n"
                                          "R\t4.9091\t6.0245\n"
                                          "Total of the PV-active layers\t31.0000\t32.7100\n");
        results.cbIzberiGrafChange(6);
        QCOMPARE(cell(0, 2), QStringLiteral("Jph specular (mA/cm2)"));
        QCOMPARE(cell(2, 1), QStringLiteral("Total of the PV-active layers"));
        QCOMPARE(test::clippedCells(results.sgTable), QString());
        QCOMPARE(results.sgTable->horizontalHeader()->sectionResizeMode(1),
                 QHeaderView::Interactive);
        const QRect title = results.sgTable->visualRect(model.index(0, 2));
        QTest::mouseClick(results.sgTable->viewport(), Qt::LeftButton, {}, title.center());
        QTest::keyClick(results.sgTable, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Jph specular (mA/cm2)\n4.9091\n31.0000\n"));

        QVERIFY(QDir().mkdir(out + "LXOut_Spec.rta")); // there, but not a result file
        results.cbIzberiGraf->setCurrentIndex(2);
        results.cbIzberiGrafChange(2);
        QVERIFY(app.dialogs.messageTexts().last().startsWith("Cannot open file \"" + out +
                                                             "LXOut_Spec.rta\""));
        QCOMPARE(results.cbIzberiGraf->currentIndex(), 0);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(cell(1, 0), QString());
    }

    // The on-line view: the table without the last line and column, the photocurrents, a line
    // per item with R on top, drawn over the others; the legend's commands; the lines as the
    // layers and the project change.
    void onLineView() {
        OnLineResult app;
        TResults& results = app.results;
        app.showPage(8, false);
        QCOMPARE(app.told(), QString());
        const QAbstractItemModel& model = *results.sgTable->model();
        QCOMPARE(QSize(model.columnCount(), model.rowCount()), QSize(6, 4));
        QCOMPARE(model.index(0, 5).data().toString(), QStringLiteral("CIGS"));
        QCOMPARE(app.jscShown(), QStringLiteral("R=4.10 T=0.00 ZnO=2.25 CIGS=31.50"));
        QCOMPARE(results.pbJscTotal->text(), QStringLiteral("31.50"));
        QVERIFY(!results.pbJscTotal->isHidden());
        QCOMPARE(legend(results), (QStringList{"R", "T", "ZnO", "CIGS"}));
        QCOMPARE(drawn(results), (QStringList{"CIGS", "ZnO", "T", "R"}));
        const LineContent& cigs = results.lines().line(3);
        QCOMPARE(cigs.data.x, (std::vector<double>{300, 310, 320}));
        QCOMPARE(cigs.data.y, (std::vector<double>{0.05, 0.06, 0.07}));
        for (int i = 0; i < 4; ++i) // made CIGS first, coloured R first
            QCOMPARE(results.lines().line(i).colour, kLinePalette[static_cast<std::size_t>(i)]);
        QCOMPARE(results.eXLabel->cursorPosition(), 0); // the title shown from its start
        // The label of the last x tick fits in the chart, which draws only labels that fit.
        const auto* plot = results.Graf->findChild<QCustomPlot*>();
        const double last = plot->xAxis->coordToPixel(plot->xAxis->range().upper);
        const QFontMetrics metrics(plot->xAxis->tickLabelFont());
        QVERIFY(last + metrics.horizontalAdvance("1100") / 2.0 <= plot->viewport().right());

        app.dialogs.answerSeries(SeriesProperties{"R", true}); // same text, no axis offered
        results.LabelClick(kReflectanceLine);
        QCOMPARE(app.dialogs.calls.last().folder, QString());
        QCOMPARE(results.lines().line(0).id, kReflectanceLine);
        results.Addseconday1Click();
        app.dialogs.answerSeries(SeriesProperties{"R front", true});
        results.LabelClick(kReflectanceLine);
        QCOMPARE(app.dialogs.calls.last().folder, QStringLiteral("axis"));
        QCOMPARE(legend(results).first(), QStringLiteral("R front"));
        QVERIFY(!results.OnLineItems[0].box->isChecked()); // the item lets go of the line
        QCOMPARE(drawn(results).last(), QStringLiteral("R front~"));
        const int renamed = results.lines().line(0).id;
        QCOMPARE(renamed, kFirstOtherLine);

        app.dialogs.answerColor(std::nullopt);
        results.ColorLineMouseDown(renamed, Qt::LeftButton, {});
        QCOMPARE(results.Graf->series().back().colour, QColor(255, 0, 0)); // kept
        app.dialogs.answerColor(QColor(1, 2, 3));
        results.ColorLineMouseDown(renamed, Qt::MiddleButton, {});
        QCOMPARE(results.Graf->series().back().colour, QColor(1, 2, 3));
        results.Removesecondaryaxis1Click();
        QCOMPARE(drawn(results).last(), QStringLiteral("R front"));

        // The legend box hides a line; the menu removes one, on-line or not.
        results.LineCheckClick(kTransmittanceLine, false);
        QCOMPARE(drawn(results), (QStringList{"CIGS", "ZnO", "T(hidden)", "R front"}));
        results.popUpLegendMenu(std::nullopt, {});
        QVERIFY(!results.Removeline1->isEnabled());
        results.PopupMenu1->hide();
        for (int id : {renamed, 2}) {
            results.popUpLegendMenu(id, {});
            results.PopupMenu1->hide();
            results.Removeline1Click();
        }
        QCOMPARE(legend(results), (QStringList{"T", "CIGS"}));
        QVERIFY(!results.OnLineItems[2].box->isChecked());

        // Clear graph asks first; then the next old copies count from 1 again.
        results.Cleargraph1Click();
        QCOMPARE(results.lines().count(), 2);
        app.dialogs.answerMessage(DialogButton::Yes);
        results.Cleargraph1Click();
        QVERIFY(results.lines().empty());
        QVERIFY(!results.OnLineItems[1].box->isChecked());
        for (int item : {3, 2, 1, 0}) // as first shown
            results.OnLineItems[item].box->setChecked(true);
        QCOMPARE(results.lines().line(3).colour, kLinePalette[0]); // CIGS, made first again

        // While a run is in progress the last row may be half written.
        app.main().setRunStatus({RunStatus::State::Running, 2, 3});
        results.OnLineItems[0].box->setChecked(false);
        results.OnLineItems[0].box->setChecked(true);
        QCOMPARE(results.lines().line(0).data.y, (std::vector<double>{0.1, 0.2}));
        app.main().setRunStatus({});

        // A deleted layer takes its line along; the line of the layer below follows its row.
        app.forms->StructureForm->popUpRowMenu(2, {});
        app.forms->StructureForm->DeleteLayerClick();
        results.SyncOnLineItems();
        QCOMPARE(legend(results), (QStringList{"R", "T", "CIGS"}));
        QCOMPARE(results.lines().line(2).id, 2);
        QCOMPARE(app.jscShown(), QStringLiteral("R=0.00 T=0.00 CIGS=0.00"));
        // A layer added above it moves it on again: the rows are known by their last positions.
        app.forms->StructureForm->popUpRowMenu(2, {});
        app.forms->StructureForm->AddLayerClick();
        results.SyncOnLineItems();
        QCOMPARE(legend(results), (QStringList{"R", "T", "CIGS"}));
        QCOMPARE(results.lines().line(2).id, 3);

        // New keeps copies of the on-line lines; the layer lines go with their items, so no row
        // of the next project takes them over. Open (the menu command) lets every line go.
        app.dialogs.answerMessage(DialogButton::No); // the changed project is not saved
        app.main().New1Click();
        QCOMPARE(legend(results), (QStringList{"Old1 CIGS", "Old1 T", "Old1 R"}));
        QCOMPARE(results.OnLineItems.size(), std::size_t(2));
        QCOMPARE(results.Notebook1->currentIndex(), 0);
        QCOMPARE(results.sgTable->model()->rowCount(), 2);
        const QString saved = app.tempPath("saved.dat");
        QVERIFY(app.main().SaveInputFile(saved));
        app.dialogs.answerFile(saved);
        app.dialogs.answerMessage(DialogButton::No); // the project is not saved again
        app.main().Importinputfile1Click();
        QVERIFY(results.lines().empty());
        QVERIFY(!results.cbDeleteOnLinePlots->isChecked());
    }

    // The filter chosen decides the format of a picture and adds its extension; the picture
    // carries a legend: with every point off the axes, the top line's colour is the legend's.
    // Then the lines of a run kept for comparison: the next run's result renews the on-line lines
    // and leaves the old copies as they were. Last, a double click on a legend label or swatch,
    // answered with OK, opens its dialog once and rebuilds the legend after the press (the press
    // used to end in the deleted control).
    void savedPicturesKeptLinesAndLegendDoubleClick() {
        OnLineResult app;
        TResults& results = app.results;
        app.showPage(8, false);
        results.Graf->setRange(ChartAxis::Bottom, 2000, 3000);
        const Rgb top = results.lines().line(0).colour;
        const struct {
            int filter;
            const char *typed, *written, *magic;
        } cases[] = {{1, "graph", "graph.pdf", "%PDF"},
                     {0, "graph", "graph.png", "\x89PNG"},
                     {0, "shot.PNG", "shot.PNG", "\x89PNG"},
                     {2, "all.pdf", "all.pdf", "%PDF"},
                     {2, "all", "all.png", "\x89PNG"}};
        for (const auto& c : cases) {
            app.dialogs.answerFilter(c.filter);
            app.dialogs.answerFile(app.tempPath(c.typed));
            results.SavePicture1Click();
            const QByteArray bytes = test::readAll(app.tempPath(c.written));
            QVERIFY2(bytes.startsWith(c.magic), c.written);
            if (bytes.startsWith("%PDF"))
                continue;
            const QImage picture = QImage::fromData(bytes);
            int legendPixels = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    legendPixels += picture.pixelColor(x, y) == QColor(top.r, top.g, top.b);
            QVERIFY2(legendPixels > 0, c.written);
        }
        QCOMPARE(app.told(), QString());

        QTest::mouseClick(results.btKeepLines, Qt::LeftButton);
        QCOMPARE(legend(results), (QStringList{"R", "T", "ZnO", "CIGS", "Old1 CIGS", "Old1 ZnO",
                                               "Old1 T", "Old1 R"}));
        test::writeAll(app.out(".rta"), "lambda\tR\tT\tZnO\tCIGS\tSum\n300\t0.5\t0\t0\t0\t1\n"
                                        "310\t0.6\t0\t0\t0\t1\n320\t0\t0\t0\t0\t1\n\n");
        app.showPage(1, false);
        app.showPage(8, false);
        QCOMPARE(app.pointsOf(kReflectanceLine), (std::vector<double>{0.5, 0.6, 0}));
        QCOMPARE(results.lines().line(7).data.y, (std::vector<double>{0.1, 0.2, 0.3}));
        QCOMPARE(results.lines().count(), 8);

        const auto control = [&](const char* name) { // of the top line
            for (QWidget* w : results.sbGraphData->widget()->findChildren<QWidget*>(name))
                if (w->property("lineId").toInt() == results.lines().line(0).id)
                    return w;
            return static_cast<QWidget*>(nullptr);
        };
        app.dialogs.calls.clear();
        app.dialogs.answerSeries(SeriesProperties{"R front", false});
        doubleClick(control("label"));
        QTRY_COMPARE(legend(results).first(), QStringLiteral("R front"));
        app.dialogs.answerColor(QColor(1, 2, 3));
        doubleClick(control("swatch"));
        QTRY_COMPARE(results.lines().line(0).colour, (Rgb{1, 2, 3}));
        QCOMPARE(app.dialogs.calls.size(), 2); // one dialog per double click
    }

    // Apply checks each range, the axes before a wrong one staying applied; Enter in a range
    // edit ends the automatic range; the graph data file holds every line's points side by side;
    // the axis selection dialog.
    void graphSettingsSavingAndAxes() {
        OnLineResult app;
        TResults& results = app.results;
        ResultChart& chart = *results.Graf;
        const struct {
            TPBNumEdit* edit;
            double value;
            QObject* sender;
            QString told;
        } steps[] = {
            {results.pbXMax, 300, results.btApplyGraphSettings,
             "Max value for X axis must be greater then MIN Value!"},
            {results.pbXMax, 1500, results.pbYMin,
             "Max value for Y axis must be greater then MIN Value!"},
            {results.pbYMin, 0, results.btApplyGraphSettings, ""},
            {results.pbY2Max, 0, results.btApplyGraphSettings,
             "Max value for Y2 axis must be greater then MIN Value!"},
        };
        results.pbYMin->setValue(1);
        results.Addseconday1Click();
        for (const auto& step : steps) {
            step.edit->setValue(step.value);
            app.dialogs.calls.clear();
            results.btApplyGraphSettingsClick(step.sender);
            QCOMPARE(app.told(), step.told);
        }
        results.pbXMin->setValue(1200); // applied with Y2 still wrong
        results.eXLabel->setText("nm");
        results.btApplyGraphSettingsClick(results.btApplyGraphSettings);
        QCOMPARE(chart.title(ChartAxis::Bottom), QStringLiteral("nm"));
        QCOMPARE(chart.minimum(ChartAxis::Bottom), 1200.0);
        QCOMPARE(chart.maximum(ChartAxis::Bottom), 1500.0);
        results.cbYAuto->setChecked(true);
        results.autoClick(ChartAxis::Left);
        QVERIFY(chart.automatic(ChartAxis::Left));
        results.pbYMax->setValue(2);
        QTest::keyClick(results.pbYMax, Qt::Key_Return);
        QVERIFY(!results.cbYAuto->isChecked() && !chart.automatic(ChartAxis::Left));
        QCOMPARE(chart.maximum(ChartAxis::Left), 2.0);

        // Lines of 3 and 2 points: the shorter one leaves two empty fields.
        test::writeAll(app.workDir() + "/Out/LXOut_Spec.rta", "x\ty\n1\t0.5\n2\t0.25\n");
        for (int entry : {1, 2}) {
            results.cbIzberiGrafChange(entry);
            results.AddTableLine(1, 2);
        }
        const QString data = app.tempPath("graph.res");
        app.dialogs.answerFile(data);
        results.SaveTarvo1Click();
        QCOMPARE(test::readAll(data), QByteArray("R_X\tR_Y\ty_X\ty_Y\t\r\n300\t0.1\t1\t0.5\t\r\n"
                                                 "310\t0.2\t2\t0.25\t\r\n320\t0.3\t\t\t\r\n"));
        results.resize(900, 700);
        app.dialogs.answerFile(app.tempPath("chart.png"));
        results.SavePicture1Click();
        const QImage png(app.tempPath("chart.png"));
        QVERIFY(png.width() > 3 * chart.width() && png.width() < 3.2 * chart.width());

        // The axis selection dialog makes a line of two table columns; the side buttons wait.
        app.activeMain();
        app.dialogs.calls.clear();
        results.cbIzberiGraf->setCurrentIndex(1);
        results.cbIzberiGrafChange(1);
        results.Addline1Click();
        TSelectGraphForm& dialog = *app.forms->SelectGraphForm;
        QVERIFY(dialog.isVisible());
        QVERIFY(app.main().ToolWindowOpen);
        QVERIFY(!app.main().Panel1->isEnabled());
        QCOMPARE(dialog.cbXAxis->count(), 6);
        QCOMPARE(dialog.cbXAxis->currentText(), QStringLiteral("lambda"));
        dialog.btOKClick();
        QCOMPARE(app.told(), QStringLiteral("Please select both axes!"));
        QVERIFY(dialog.isVisible());
        dialog.columnTitleClicked(5);
        QCOMPARE(dialog.cbYAxis->currentIndex(), 4);
        dialog.btOKClick();
        QVERIFY(!dialog.isVisible());
        QVERIFY(app.main().Panel1->isEnabled());
        QVERIFY(!app.main().ToolWindowOpen);
        QCOMPARE(results.Notebook1->currentIndex(), 0);
        QCOMPARE(legend(results), (QStringList{"R", "y", "CIGS"}));
        QCOMPARE(results.lines().line(2).data.y, (std::vector<double>{0.05, 0.06, 0.07}));
        // Typed text that is no entry plots the row numbers.
        results.Addline1Click();
        dialog.cbYAxis->setEditText("anything");
        dialog.btOKClick();
        QCOMPARE(results.lines().line(3).data.y, (std::vector<double>{1, 2, 3}));
    }
};

QTEST_MAIN(TestResults)
#include "test_results.moc"
