#include "app/mainform.h"
#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "pages/filesform.h"
#include "results/results.h"
#include "testapp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

using namespace lumetrix;

namespace {

QString workDirOf(const test::TestApp& app) {
    return QString::fromStdString(app.forms->MainForm->FolderSettings.WorkDir);
}

const FolderSettings& folders(const test::TestApp& app) {
    return app.forms->MainForm->FolderSettings;
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// Shows the File locations page with its advanced part.
TFilesForm& showAdvancedFilesPage(test::TestApp& app) {
    TMainForm& main = *app.forms->MainForm;
    main.show();
    main.ToolBarClick(main.LbSpeedButton6);
    if (!main.advancedFlag(5))
        main.AdvButtonClick();
    return *app.forms->FilesForm;
}

void pressEnter(QLineEdit* edit) {
    QTest::keyClick(edit, Qt::Key_Return);
}

void writeLines(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

class FilesFormTest : public QObject {
    Q_OBJECT

private slots:
    void defaultsShowTheMarker() {
        test::TestApp app;
        TFilesForm& files = *app.forms->FilesForm;
        const QString wd = workDirOf(app);
        QCOMPARE(files.eWorkDir->text(), wd);
        QVERIFY(files.eWorkDir->isReadOnly());
        QCOMPARE(files.eOutFileName->text(), QStringLiteral("LXOut"));
        QCOMPARE(files.eOutFileDir->text(), QStringLiteral("<WORKDIR>/Out"));
        QCOMPARE(files.eDir_nk->text(), QStringLiteral("<WORKDIR>/nk"));
        QCOMPARE(files.eDir_cRcT->text(), QStringLiteral("<WORKDIR>/cT_cR"));
        QCOMPARE(files.eDir_HRHT->text(), QStringLiteral("<WORKDIR>/HT_HR"));
        QCOMPARE(files.eDir_ars->text(), QStringLiteral("<WORKDIR>/ADF_external"));
        QCOMPARE(files.eDir_spk->text(), QStringLiteral("<WORKDIR>/Spectrum"));
        QCOMPARE(files.eDir_dat->text(), QStringLiteral("<WORKDIR>/List"));
        QCOMPARE(q(folders(app).InputFileDir), wd + "/in");
        QCOMPARE(q(folders(app).OutFileDir), wd + "/Out");
        QVERIFY(!files.cbOverwriteLXOut->isChecked());
    }

    void browseShowsMarkerInsideTheWorkingFolder_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("chosenBelowWorkDir"); // empty: a folder outside
        QTest::newRow("nk inside") << "btDir_nk"
                                   << "nk2";
        QTest::newRow("nk outside") << "btDir_nk"
                                    << "";
        QTest::newRow("output inside") << "btOutFileDir"
                                       << "runs/Out2";
        QTest::newRow("spectrum outside") << "btDir_spk"
                                          << "";
    }
    void browseShowsMarkerInsideTheWorkingFolder() {
        QFETCH(QString, button);
        QFETCH(QString, chosenBelowWorkDir);
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        const QString wd = workDirOf(app);
        const QString chosen = chosenBelowWorkDir.isEmpty() ? app.tempPath("elsewhere/data")
                                                            : wd + "/" + chosenBelowWorkDir;
        app.dialogs.answerFolder(chosen);
        auto* b = files.findChild<QPushButton*>(button);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);

        const auto& call = app.dialogs.calls.last();
        QCOMPARE(call.kind, QStringLiteral("folder"));
        QCOMPARE(call.text, QStringLiteral("Please select directory..."));
        const QString shown =
            chosenBelowWorkDir.isEmpty() ? chosen : "<WORKDIR>/" + chosenBelowWorkDir;
        if (button == "btDir_nk") {
            QCOMPARE(call.folder, wd + "/nk/"); // the marker's folder, with a separator
            QCOMPARE(files.eDir_nk->text(), shown);
            QCOMPARE(q(folders(app).LayerFileDir), chosen);
        } else if (button == "btOutFileDir") {
            QCOMPARE(files.eOutFileDir->text(), shown);
            QCOMPARE(q(folders(app).OutFileDir), chosen);
        } else {
            QCOMPARE(files.eDir_spk->text(), shown);
            QCOMPARE(q(folders(app).SpectrumDir), chosen);
        }
    }

    void cancelledBrowseChangesNothing() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        const FolderSettings before = folders(app);
        QTest::mouseClick(files.btDir_cal, Qt::LeftButton); // no answer: cancelled
        QCOMPARE(files.eDir_cRcT->text(), QStringLiteral("<WORKDIR>/cT_cR"));
        QCOMPARE(folders(app).CalibrationDir, before.CalibrationDir);
    }

    void browseStartsAtAFullPathAsShown() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        const QString outside = app.tempPath("x");
        app.dialogs.answerFolder(outside);
        QTest::mouseClick(files.btDir_ars, Qt::LeftButton);
        QTest::mouseClick(files.btDir_ars, Qt::LeftButton);
        QCOMPARE(app.dialogs.calls.last().folder, outside);
    }

    void enterOnTheOutputFolderStripsTheSeparatorAndExpands() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        files.eOutFileDir->setText(QStringLiteral("<WORKDIR>/Out/"));
        pressEnter(files.eOutFileDir);
        QCOMPARE(files.eOutFileDir->text(), QStringLiteral("<WORKDIR>/Out"));
        QCOMPARE(q(folders(app).OutFileDir), workDirOf(app) + "/Out");
        QVERIFY(app.dialogs.calls.isEmpty()); // the folder exists: no question
    }

    void missingOutputFolderIsOfferedForCreation() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        const QString wd = workDirOf(app);
        files.eOutFileDir->setText(QStringLiteral("<WORKDIR>/Out9"));
        pressEnter(files.eOutFileDir);
        QCOMPARE(app.dialogs.calls.size(), 1);
        QCOMPARE(app.dialogs.calls[0].text, "Directory " + wd + "/Out9 does no exist! Create it?");
        QCOMPARE(app.dialogs.calls[0].icon, DialogIcon::Error);
        QCOMPARE(app.dialogs.calls[0].buttons,
                 (QList<DialogButton>{DialogButton::Ok, DialogButton::Cancel}));
        QVERIFY(!QDir(wd + "/Out9").exists());              // cancelled
        QCOMPARE(q(folders(app).OutFileDir), wd + "/Out9"); // the setting keeps the path

        app.dialogs.answerMessage(DialogButton::Ok);
        pressEnter(files.eOutFileDir);
        QVERIFY(QDir(wd + "/Out9").exists());
    }

    void failedCreationIsReportedAndTheProgramGoesOn() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        const QString wd = workDirOf(app);
        const QString impossible = wd + "/List/layer.dat/Out"; // below a file
        files.eOutFileDir->setText(impossible);
        app.dialogs.answerMessage(DialogButton::Ok);
        pressEnter(files.eOutFileDir);
        QCOMPARE(app.dialogs.messageTexts().last(), "Cannot create " + impossible);
        QCOMPARE(app.dialogs.calls.last().icon, DialogIcon::Error);
        QCOMPARE(q(folders(app).OutFileDir), impossible);
    }

    void leavingTheOutputFolderAppliesIt() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        files.eOutFileDir->setFocus();
        files.eOutFileDir->setText(QStringLiteral("<WORKDIR>/in/"));
        files.eOutFileName->setFocus(Qt::TabFocusReason);
        QCOMPARE(files.eOutFileDir->text(), QStringLiteral("<WORKDIR>/in"));
        QCOMPARE(q(folders(app).OutFileDir), workDirOf(app) + "/in");
    }

    void defaultButtonCaptionFollowsCtrlOverTheButton() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        app.modifiers = Qt::ControlModifier;
        files.FormKeyDown(Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(files.btDefault->text(), kAssignPaths); // the mouse is not over it
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(files.btDefault, &enter);
        files.FormKeyDown(Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(files.btDefault->text(), kAssignAllPaths);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(files.btDefault, &leave);
        QCOMPARE(files.btDefault->text(), kAssignPaths);
        QVERIFY(!files.overDefaultButton());
    }

    void captionStaysWhileTheAdvancedPartIsHidden() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        app.forms->MainForm->AdvButtonClick(); // hide the advanced part
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(files.btDefault, &enter);
        app.modifiers = Qt::ControlModifier;
        files.FormKeyDown(Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(files.btDefault->text(), kAssignPaths);
    }

    void defaultButtonResetsFoldersButNotTheOutputFolder() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        const QString wd = workDirOf(app);
        const QString project = app.tempPath("project");
        app.dialogs.answerFolder(project);
        QTest::mouseClick(files.btProjectDir, Qt::LeftButton);
        QTest::mouseClick(files.btDefault, Qt::LeftButton);
        QCOMPARE(files.eDir_nk->text(), QStringLiteral("<WORKDIR>/nk"));
        QCOMPARE(files.eDir_dat->text(), QStringLiteral("<WORKDIR>/List"));
        QCOMPARE(q(folders(app).ListDir), wd + "/List");
        QCOMPARE(q(folders(app).InputFileDir), wd + "/in");
        QCOMPARE(files.eOutFileDir->text(), project + "/Out");
        QCOMPARE(q(folders(app).OutFileDir), project + "/Out");
    }

    void ctrlDefaultMovesTheOutputFolderUnderTheWorkingFolder() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
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

    void projectDirectoryPutsEveryFolderUnderIt() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        const QString d = app.tempPath("project");
        app.dialogs.answerFolder(d);
        QTest::mouseClick(files.btProjectDir, Qt::LeftButton);
        QCOMPARE(app.dialogs.calls.last().folder, workDirOf(app));
        QCOMPARE(files.eDir_nk->text(), d + "/nk");
        QCOMPARE(files.eDir_cRcT->text(), d + "/cT_cR");
        QCOMPARE(files.eDir_HRHT->text(), d + "/HT_HR");
        QCOMPARE(files.eDir_ars->text(), d + "/ADF_external");
        QCOMPARE(files.eDir_spk->text(), d + "/Spectrum");
        QCOMPARE(files.eDir_dat->text(), d + "/List");
        QCOMPARE(files.eOutFileDir->text(), d + "/Out");
        QCOMPARE(q(folders(app).InputFileDir), d + "/in");
        QCOMPARE(q(folders(app).ListDir), d + "/List");
        QCOMPARE(q(folders(app).OutFileDir), d + "/Out");
        QVERIFY(!QDir(d).exists()); // nothing is created
    }

    void outputNameRebuildsTheResultList() {
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
        QCOMPARE(files.eOutFileName->text(), QStringLiteral("LXOut"));
        QCOMPARE(list->itemText(1), QStringLiteral("LXOut.rta"));
        QCOMPARE(q(folders(app).OutFileName), QStringLiteral("LXOut"));
    }

    void resetBringsEveryFolderBack() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        app.dialogs.answerFolder(app.tempPath("p"));
        QTest::mouseClick(files.btProjectDir, Qt::LeftButton);
        files.FormCreate();
        const FolderSettings expected = FolderSettings::defaults(folders(app).WorkDir);
        QCOMPARE(q(folders(app).ListDir), q(expected.ListDir));
        QCOMPARE(q(folders(app).OutFileDir), q(expected.OutFileDir));
        QCOMPARE(q(folders(app).InputFileDir), q(expected.InputFileDir));
        QCOMPARE(files.eDir_dat->text(), QStringLiteral("<WORKDIR>/List"));
        QCOMPARE(files.eOutFileDir->text(), QStringLiteral("<WORKDIR>/Out"));
    }

    void overwriteChoiceGoesToTheSettingsStore() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        files.cbOverwriteLXOut->click();
        QSettings stored(app.settings->fileName(), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("OverwriteOutFiles")).toBool(), true);
        files.cbOverwriteLXOut->click();
        stored.sync();
        QCOMPARE(QSettings(app.settings->fileName(), QSettings::IniFormat)
                     .value(QStringLiteral("OverwriteOutFiles"))
                     .toBool(),
                 false);
    }

    void newListingFolderRefillsEveryJoinedBox() {
        test::TestApp app;
        TFilesForm& files = showAdvancedFilesPage(app);
        TMainForm& main = *app.forms->MainForm;
        QComboBox rowA, rowB, spectrum;
        for (QComboBox* box : {&rowA, &rowB, &spectrum})
            box->setEditable(true);
        main.comboLists().LoadComboList(&rowA, app.workDir() + "/List/layer.dat");
        main.comboLists().LoadComboList(&rowB, app.workDir() + "/List/layer.dat");
        rowA.setEditText(QStringLiteral("Mo"));
        rowB.setEditText(QStringLiteral("my own name"));
        main.comboLists().addBinding({[&] {
                                          return QList<QComboBox*>{&rowA, &rowB};
                                      },
                                      [&] { return q(folders(app).ListDir) + "/layer.dat"; },
                                      {}});
        int afterLoads = 0;
        main.comboLists().addBinding({[&] { return QList<QComboBox*>{&spectrum}; },
                                      [&] { return q(folders(app).ListDir) + "/Spectrum.dat"; },
                                      [&](QComboBox*) { ++afterLoads; }});

        const QString lists = app.tempPath("lists2");
        QVERIFY(test::copyTree(app.workDir() + "/List", lists));
        QVERIFY(QFile::remove(lists + "/Spectrum.dat"));
        writeLines(lists + "/layer.dat", "Mo\r\nW\r\nmy own name\r\n");
        app.dialogs.answerFolder(lists);
        QTest::mouseClick(files.brDir_dat, Qt::LeftButton);

        QCOMPARE(rowA.count(), 3);
        QCOMPARE(rowA.currentText(), QStringLiteral("Mo"));
        QCOMPARE(rowA.currentIndex(), 0);
        QCOMPARE(rowB.currentText(), QStringLiteral("my own name"));
        QCOMPARE(rowB.currentIndex(), 2);
        QCOMPARE(files.eDir_dat->text(), lists);
        // Spectrum.dat is missing there: one box for that file, its list as it was.
        QCOMPARE(app.dialogs.messageTexts().size(), 1);
        QVERIFY(app.dialogs.messageTexts()[0].startsWith("Cannot open file \"" + lists +
                                                         "/Spectrum.dat\""));
        QCOMPARE(spectrum.count(), 0);
        QCOMPARE(afterLoads, 0);
    }

    void advancedPartOnlyWithTheFlag() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        main.ToolBarClick(main.LbSpeedButton6);
        QVERIFY(!app.forms->FilesForm->AdvPanel->isVisible());
        QVERIFY(app.forms->FilesForm->cbOverwriteLXOut->isVisible());
        main.AdvButtonClick();
        QVERIFY(app.forms->FilesForm->AdvPanel->isVisible());
        QVERIFY(app.forms->FilesForm->btProjectDir->isVisible());
    }
};

QTEST_MAIN(FilesFormTest)
#include "test_filesform.moc"
