// The cR_cT transform window: defaults, limits, the HT power panel, the dialogs, RUN; and
// the lock of the main window by the tool windows.
#include "testapp.h"

namespace lumetrix {

using test::q;

namespace {

const QString kFolderCaption = QStringLiteral("Please select directory...");

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
