// RUN: the project goes to the kernel, whose report and progress the Process window shows
// and whose result the Results page follows and then shows with its totals; STOP, failures,
// the overwrite question, and where the kernel's input file is written. The kernel is the
// stand-in of tests/kernel_double.
#include "app/processform.h"
#include "controls/kernelprogram.h"
#include "testapp.h"

#include <QProgressBar>
#include <QtTest>

using namespace lumetrix;

namespace {

// The stand-in kernel as RUN's program, told how to behave (see kernel_double.cpp).
class Kernel {
public:
    explicit Kernel(const char* mode, int rows = 3, int delayMs = 0,
                    const QByteArray& program = LUMETRIX_KERNEL_DOUBLE) {
        qputenv("LUMETRIX_KERNEL", program);
        qputenv("LUMETRIX_DOUBLE", mode);
        qputenv("LUMETRIX_DOUBLE_ROWS", QByteArray::number(rows));
        qputenv("LUMETRIX_DOUBLE_DELAY_MS", QByteArray::number(delayMs));
    }
    ~Kernel() {
        for (const char* name : {"LUMETRIX_KERNEL", "LUMETRIX_DOUBLE", "LUMETRIX_DOUBLE_ROWS",
                                 "LUMETRIX_DOUBLE_DELAY_MS"})
            qunsetenv(name);
    }
};

// A project of two layers, ZnO and CIGS, in the main window shown.
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
    // "R=1.25 T=2.50 ..." as the on-line items show their photocurrents.
    QString jscShown() const {
        QStringList shown;
        for (const OnLineItem& item : results.OnLineItems)
            shown << item.box->text() + "=" + item.jsc->text();
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

} // namespace

class TestRun : public QObject {
    Q_OBJECT
private slots:
    void kernelLines() {
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
    }

    void kernelProgram() {
        qputenv("LUMETRIX_KERNEL", "/opt/kernels/lumetrix-kernel-test");
        QCOMPARE(kernelProgramPath(), QStringLiteral("/opt/kernels/lumetrix-kernel-test"));
        qunsetenv("LUMETRIX_KERNEL");
        QCOMPARE(kernelProgramPath(), QCoreApplication::applicationDirPath() + "/lumetrix-kernel");
    }

    // Two runs one after the other: RUN reads STOP while the kernel works, the Process window
    // shows its report and progress, and the Results page then shows each new result with its
    // totals, the lines already on the graph included; the second ends while the About box
    // holds the pages, and its result is shown with the Results page.
    void completedRuns() {
        TwoLayers app;
        TMainForm& main = app.main();
        const QString title = main.windowTitle();
        for (const int wavelengths : {3, 4}) {
            const Kernel kernel("", wavelengths);
            QTest::mouseClick(main.btRun, Qt::LeftButton);
            QCOMPARE(main.btRun->text(), QStringLiteral("STOP"));
            QVERIFY(main.runInProgress() && main.kernelRun().running());
            QCOMPARE(main.CurrentPage, main.pageForTag(7));
            const bool locked = wavelengths == 4;
            if (locked)
                main.About1Click();
            QVERIFY(app.runEnds());
            QCOMPARE(app.told(), QString());
            if (locked) {
                QCOMPARE(main.CurrentPage, main.pageForTag(7));
                QTest::mouseClick(app.forms->AboutForm, Qt::LeftButton);
                main.ToolBarClick(main.LbSpeedButton8);
            }
            QVERIFY(app.report().contains("input " + app.out(".dat")));
            QVERIFY(app.report().contains(
                QStringLiteral("Range used: 300 - %1 nm").arg(290 + 10 * wavelengths)));
            QVERIFY(!app.report().contains("progress"));
            QVERIFY(app.process.pbProgress->isVisibleTo(&app.process));
            QCOMPARE(app.process.pbProgress->maximum(), wavelengths);
            QCOMPARE(app.process.pbProgress->value(), wavelengths);
            QCOMPARE(main.CurrentPage, main.pageForTag(8));
            QVERIFY(main.LbSpeedButton8->isChecked());
            QCOMPARE(app.jscShown(), QStringLiteral("R=1.25 T=2.50 ZnO=3.75 CIGS=5.00"));
            QCOMPARE(app.results.pbJscTotal->text(), QStringLiteral("99.50"));
            QVERIFY(app.results.pbJscTotal->isVisible());
            const std::vector<double> r{0.1, 0.11, 0.12, 0.13};
            QCOMPARE(app.pointsOf(kReflectanceLine),
                     std::vector<double>(r.begin(), r.begin() + wavelengths));
            QCOMPARE(app.pointsOf(3).size(), std::size_t(wavelengths));
        }
        QCOMPARE(app.report().count("Completed in "), 2);
        QVERIFY(main.CurrentFileName.isEmpty());
        QCOMPARE(main.windowTitle(), title);
    }

    // While the kernel works the on-line view follows the rows it has written, the last one
    // left out, without totals and without a message for a file not there yet; STOP ends the
    // run as stopped.
    void followedAndStopped() {
        TwoLayers app;
        TMainForm& main = app.main();
        QVERIFY(test::writeAll(app.out(".rta"), "lambda\tR\tT\tZnO\tCIGS\tSum\n"
                                                "500\t0.9\t0\t0\t0.1\t1\n"
                                                "510\t0.9\t0\t0\t0.1\t1\n"
                                                "520\t0.9\t0\t0\t0.1\t1\n\n"));
        const Kernel kernel("hang", 4, 200);
        main.btRunClick();
        main.ToolBarClick(main.LbSpeedButton8); // before the kernel writes its file
        QCOMPARE(main.btRun->text(), QStringLiteral("STOP"));
        QCOMPARE(app.pointsOf(kReflectanceLine), std::vector<double>{}); // none of the old
        QTRY_COMPARE_WITH_TIMEOUT(app.process.pbProgress->value(), 4, 10000);
        QTRY_COMPARE(app.results.onLineTable().rowCount(), 4); // the header and three of four rows
        QCOMPARE(app.pointsOf(kReflectanceLine), (std::vector<double>{0.1, 0.11}));
        QCOMPARE(app.pointsOf(2), (std::vector<double>{0.2, 0.195}));
        QVERIFY(app.results.pbJscTotal->isHidden());
        QCOMPARE(app.jscShown(), QStringLiteral("R=0.00 T=0.00 ZnO=0.00 CIGS=0.00"));
        QCOMPARE(app.told(), QString());
        QTest::mouseClick(main.btRun, Qt::LeftButton);
        QVERIFY(app.runEnds());
        QVERIFY(app.report().endsWith("The run was stopped."));
        QCOMPARE(app.process.pbProgress->text(), QStringLiteral("Stopped at wavelength 4 of 4"));
        QCOMPARE(app.told(), QString());
    }

    void failedRuns_data() { test::caseRows(kFailures); }
    void failedRuns() {
        QFETCH(int, index);
        const FailureCase& c = kFailures[index];
        TwoLayers app;
        TMainForm& main = app.main();
        QVERIFY(app.saveAndReopen("project.dat"));
        app.forms->StructureForm->row(2).thickness->setValue(120); // unsaved
        if (index == 4)
            QVERIFY(QDir(app.workDir() + "/Out").removeRecursively());
        const Kernel kernel(c.mode, 3, 0, c.program);
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
        QVERIFY(main.CurrentPage != main.pageForTag(8));
    }

    void overwriteQuestion_data() { test::caseRows(kOverwrite); }
    void overwriteQuestion() {
        QFETCH(int, index);
        const OverwriteCase& c = kOverwrite[index];
        TwoLayers app;
        app.forms->FilesForm->cbOverwriteLXOut->setChecked(c.ask);
        if (c.existing) {
            QVERIFY(test::writeAll(app.out(".rta"), "old rows\n"));
            QVERIFY(test::writeAll(app.out(".jsc"), "old totals\n"));
        }
        const Kernel kernel("");
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
        const Kernel kernel("");
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
};

QTEST_MAIN(TestRun)
#include "test_run.moc"
