#include "app/association.h"
#include "app/mainform.h"
#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "pages/adfform.h"
#include "pages/filesform.h"
#include "pages/hazeform.h"
#include "pages/reftransform.h"
#include "pages/spectrumform.h"
#include "pages/structureform.h"
#include "pages/tekstform.h"
#include "testapp.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

using namespace lumetrix;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList recentCaptions(const TMainForm& main) {
    QStringList out;
    for (const auto& caption : main.recentList().captions())
        out << QString::fromStdString(caption);
    return out;
}

// Some layers and settings on every page, as a user would leave them.
void editProject(test::TestApp& app, int layers, int groups) {
    Forms& f = *app.forms;
    TStructureForm& st = *f.StructureForm;
    for (int i = 0; i < layers; ++i) {
        st.LbSpeedButton1MouseDown();
        st.LbSpeedButton1MouseUp();
    }
    for (int r = 2; r < st.rowCount(); ++r) {
        st.row(r).layerFile->setEditText(QStringLiteral("film") + QString::number(r));
        st.row(r).thickness->setValue(12.5 * r);
        st.row(r).roughness->setValue(r % 3);
        st.row(r).pv->setChecked(r % 2 == 0);
    }
    st.pbCfactor->setValue(2);
    f.HazeForm->rbHazeH->setChecked(true);
    f.HazeForm->cbUseOtherHaze->setChecked(true);
    f.HazeForm->eHazeOtherSpecifyInt->setText(QStringLiteral("1,2"));
    f.ADFForm->adf1.r->setCurrentIndex(3);
    f.ADFForm->adf2.external->setChecked(true);
    for (int g = 1; g < groups; ++g)
        f.ADFForm->btAddADFGroupClick();
    f.ADFForm->groups().group(groups).interfaces.assign(
        1, '7'); // not = "7": g++ 12 warns falsely (-Wrestrict)
    f.ADFForm->groups().group(groups).adf2.parameters[AdfSet::EllipseR] = 2.5;
    f.RefTransForm->cbIncludeDecr->setChecked(true);
    f.RefTransForm->factors[1].interfaces->setText(QStringLiteral("3"));
    f.SpectrumForm->rbCombination->setChecked(true);
    f.SpectrumForm->pbRatio->setValue(0.4);
    f.TekstForm->TekstMemo->setPlainText(QStringLiteral("first\nsecond"));
    f.TekstForm->rbHighPrecision->setChecked(true);
}

// A project of 4 rows and 2 groups as the writer writes it (C = 4), with line n (from 0)
// replaced.
QByteArray goodProjectBytes() {
    test::TestApp app;
    editProject(app, 2, 2);
    const QString path = app.tempPath("good.dat");
    app.forms->MainForm->SaveInputFile(path);
    return readAll(path);
}

QByteArray spoiled(int index, const QByteArray& line) {
    QList<QByteArray> lines = goodProjectBytes().split('\n');
    lines[index] = line + "\r";
    return lines.join('\n');
}

QByteArray spoiledHeading() {
    QByteArray bytes = goodProjectBytes();
    bytes.replace("TOTAL REFLECTANCE AND TRANSMITTANCE", "TOTAL");
    return bytes;
}

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void savingAnUntitledProjectRunsSaveAs() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        const QString path = app.tempPath("one.dat");
        app.dialogs.answerFile(path);
        main.Exportinputfile1Click();
        QCOMPARE(app.dialogs.calls.size(), 1);
        QCOMPARE(app.dialogs.calls[0].kind, QStringLiteral("save"));
        QCOMPARE(app.dialogs.calls[0].folder,
                 QString::fromStdString(main.FolderSettings.InputFileDir));
        QVERIFY(readAll(path).startsWith("~~~~~~~~>\r\n"));
        QCOMPARE(main.CurrentFileName, path);
        QCOMPARE(main.windowTitle(), QStringLiteral("Lumetrix v1.2.8 - one.dat"));

        app.dialogs.answerMessage(DialogButton::Yes); // a titled project asks first
        main.Exportinputfile1Click();
        QCOMPARE(app.dialogs.messageTexts().last(),
                 "Do you want to save changes you made to '" + path + "'?");
    }

    void recentListOrder() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        QStringList paths;
        for (int i = 1; i <= 4; ++i) {
            paths << app.tempPath(QStringLiteral("p%1.dat").arg(i));
            app.dialogs.answerFile(paths.last());
            main.SaveAs1Click();
        }
        QCOMPARE(recentCaptions(main), (QStringList{"&1 " + paths[3], "&2 " + paths[2],
                                                    "&3 " + paths[1], "&4 " + paths[0]}));
        app.dialogs.answerFile(paths[1]); // entry 3 of 4
        main.SaveAs1Click();
        QCOMPARE(recentCaptions(main), (QStringList{"&1 " + paths[1], "&2 " + paths[3],
                                                    "&3 " + paths[2], "&4 " + paths[0]}));
        for (int i = 5; i <= 11; ++i) {
            app.dialogs.answerFile(app.tempPath(QStringLiteral("p%1.dat").arg(i)));
            main.SaveAs1Click();
        }
        QCOMPARE(main.recentList().paths().size(), 10u);
        QVERIFY(!recentCaptions(main).join('\n').contains(paths[0])); // the oldest dropped
        // The menu shows them between the second separator and Exit, in order.
        const QList<QAction*> actions = main.File1->actions();
        const int first = actions.indexOf(main.File1->actions()[7]);
        QCOMPARE(actions[first]->text(), recentCaptions(main)[0]);
        QCOMPARE(actions.last(), main.Exit1);
        QVERIFY(actions[actions.size() - 2]->isSeparator());
    }

    void clickingARecentEntryOpensItAndMovesItUp() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        QStringList paths;
        for (int i = 1; i <= 3; ++i) {
            paths << app.tempPath(QStringLiteral("r%1.dat").arg(i));
            app.dialogs.answerFile(paths.last());
            main.SaveAs1Click();
        }
        app.forms->TekstForm->TekstMemo->setPlainText(QStringLiteral("unsaved"));
        app.dialogs.answerMessage(DialogButton::No); // discard the change
        main.SelectRecent(3);
        QCOMPARE(main.CurrentFileName, paths[0]);
        QCOMPARE(recentCaptions(main),
                 (QStringList{"&1 " + paths[0], "&2 " + paths[2], "&3 " + paths[1]}));
        QVERIFY(app.forms->TekstForm->TekstMemo->toPlainText().isEmpty());
    }

    void recentListIsStoredAndRestored() {
        test::TestApp app;
        const QString path = app.tempPath("kept.dat");
        app.dialogs.answerFile(path);
        app.forms->MainForm->SaveAs1Click();
        app.forms.reset(); // the main window stores the list when it goes
        QSettings stored(app.settings->fileName(), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Recent/1")).toString(), "&1 " + path);
        QCOMPARE(stored.value(QStringLiteral("Recent/2")).toString(), QString());
        app.settings = std::make_unique<SettingsStore>(app.settings->fileName());
        app.createForms();
        QCOMPARE(recentCaptions(*app.forms->MainForm), QStringList{"&1 " + path});
    }

    void newOnTheBaselineAsksNothing() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        app.dialogs.calls.clear();
        main.New1Click();
        QVERIFY(app.dialogs.calls.isEmpty());
        QCOMPARE(main.windowTitle(), QStringLiteral("Lumetrix v1.2.8"));
        QCOMPARE(app.forms->StructureForm->rowCount(), 2);
        QCOMPARE(app.forms->StructureForm->row(1).layerFile->currentText(), QStringLiteral("air"));
        QCOMPARE(app.forms->StructureForm->row(2).layerFile->currentText(), QStringLiteral("air"));
    }

    void cancelledNewLeavesEverything() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        editProject(app, 3, 2);
        std::vector<std::string> before;
        main.BuildInputFile(before);
        app.dialogs.answerMessage(DialogButton::Cancel);
        main.New1Click();
        QCOMPARE(app.dialogs.messageTexts().last(),
                 QStringLiteral("Do you want to save the data to a input file?"));
        std::vector<std::string> after;
        main.BuildInputFile(after);
        QCOMPARE(after, before);

        // Yes with a chosen file: saved there, and it becomes the project's file.
        const QString path = app.tempPath("asked.dat");
        app.dialogs.answerMessage(DialogButton::Yes);
        app.dialogs.answerFile(path);
        main.New1Click();
        QVERIFY(QFile::exists(path));
        QCOMPARE(recentCaptions(main), QStringList{"&1 " + path});
        QCOMPARE(app.forms->StructureForm->rowCount(), 2); // and New went on
    }

    void filesReadBackThroughThePages_data() {
        QTest::addColumn<int>("layers");
        QTest::addColumn<int>("groups");
        QTest::newRow("no layers, 1 group") << 0 << 1;
        QTest::newRow("5 layers, 3 groups") << 5 << 3;
        QTest::newRow("48 layers, 15 groups") << 48 << 15;
    }
    void filesReadBackThroughThePages() {
        QFETCH(int, layers);
        QFETCH(int, groups);
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        editProject(app, layers, groups);
        const QString first = app.tempPath("first.dat");
        QVERIFY(main.SaveInputFile(first));
        app.dialogs.answerMessage(DialogButton::No);
        main.New1Click();
        QVERIFY(main.OpenInputFile(first));
        QCOMPARE(main.CurrentFileName, first);
        QCOMPARE(main.windowTitle(), QStringLiteral("Lumetrix v1.2.8 - first.dat"));
        const QString second = app.tempPath("second.dat");
        QVERIFY(main.SaveInputFile(second));
        QCOMPARE(readAll(second), readAll(first));
        QVERIFY(main.advancedFlag(1)); // other haze parameters in use
        QVERIFY(main.advancedFlag(0)); // C_factor 2
    }

    void aBadFileLeavesTheOpenProject_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        // Spoiled copies of a project of 4 rows and 2 groups (see spoiled()).
        QTest::newRow("binary") << QByteArray("~~\r\n\0\0\0", 7) << "Line 2";
        QTest::newRow("truncated")
            << QByteArray("a\r\nb\r\nc\r\nver 1.2.8\r\n\r\n\r\n\r\nNo. of layers: 2\r\n")
            << "the file ends before this line";
        QTest::newRow("row count 99") << spoiled(7, "No. of layers: 99") << "Line 8";
        QTest::newRow("group count 16")
            << spoiled(4 + 71 - 1, "No. of ADF interface groups: 16") << "Line 75";
        QTest::newRow("thickness not a number")
            << spoiled(13, "CIGS" + QByteArray(30, ' ') + "thick") << "Line 14";
        QTest::newRow("no reflectance heading") << spoiledHeading() << "TOTAL REFLECTANCE";
    }
    void aBadFileLeavesTheOpenProject() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        editProject(app, 2, 2);
        const QString good = app.tempPath("good.dat");
        app.dialogs.answerFile(good);
        main.SaveAs1Click();
        std::vector<std::string> before;
        main.BuildInputFile(before);
        const QString title = main.windowTitle();

        const QString bad = app.tempPath("bad.dat");
        writeAll(bad, bytes);
        app.dialogs.answerFile(bad);
        main.Importinputfile1Click();
        QVERIFY(app.dialogs.messageTexts().last().startsWith("Cannot open file \"" + bad + "\""));
        QVERIFY2(app.dialogs.messageTexts().last().contains(expected),
                 qPrintable(app.dialogs.messageTexts().last()));
        std::vector<std::string> after;
        main.BuildInputFile(after);
        QCOMPARE(after, before);
        QCOMPARE(main.CurrentFileName, good);
        QCOMPARE(main.windowTitle(), title);
        QVERIFY(!main.OpenInputFile(bad));
        QCOMPARE(main.CurrentFileName, good);
    }

    void oldFileFillsFoldersAndGroupControls() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        const QString workDir = QString::fromStdString(main.FolderSettings.WorkDir);
        QByteArray bytes = readAll(QStringLiteral(LUMETRIX_TEST_DATA_DIR) + "/legacy_ver_1_1.dat");
        QVERIFY(!bytes.isEmpty());
        bytes.replace("/w/", (workDir + "/").toUtf8());
        const QString path = app.tempPath("old.dat");
        writeAll(path, bytes);
        QVERIFY(main.OpenInputFile(path));
        const TFilesForm& files = *app.forms->FilesForm;
        QCOMPARE(files.eDir_nk->text(), QStringLiteral("<WORKDIR>/nk"));
        QCOMPARE(QString::fromStdString(main.FolderSettings.LayerFileDir), workDir + "/nk");
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
        const QString resaved = app.tempPath("resaved.dat");
        QVERIFY(main.SaveInputFile(resaved));
        QVERIFY(readAll(resaved).contains("Specified interfaces (0 = front surface): 0,2\r\n"));
    }

    void misplacedHeadingsWarnAndTheFileStillLoads() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        const QString good = app.tempPath("good.dat");
        QVERIFY(main.SaveInputFile(good));
        QList<QByteArray> lines = readAll(good).split('\n');
        lines.insert(13, "extra\r");
        lines.insert(13, "extra\r");
        lines.removeAt(19); // the two factor lines: what follows stands in place again
        lines.removeAt(19);
        const QString shifted = app.tempPath("shifted.dat");
        writeAll(shifted, lines.join('\n'));
        app.dialogs.calls.clear();
        QVERIFY(main.OpenInputFile(shifted));
        QCOMPARE(app.dialogs.messageTexts(),
                 QStringList{"The input file is corrupted.\nThere may be some problems reading "
                             "the file after STRUCTURE!"});
        QCOMPARE(main.CurrentFileName, shifted);
    }

    void droppedFiles() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        app.dialogs.calls.clear();
        main.dropFiles({app.tempPath("a.dat"), app.tempPath("b.dat")});
        QCOMPARE(app.dialogs.messageTexts(), QStringList{"You can drop only one file at a time!"});
        QVERIFY(main.CurrentFileName.isEmpty());
        main.dropFiles({app.tempPath("missing.dat")});
        QVERIFY(app.dialogs.messageTexts().last().startsWith("Unsupported data file!"));
        const QString good = app.tempPath("dropped.dat");
        QVERIFY(main.SaveInputFile(good));
        main.dropFiles({good});
        QCOMPARE(main.CurrentFileName, good);
        QCOMPARE(QString::fromStdString(main.FolderSettings.InputFileDir),
                 app.tempPath(QString()) + "/");
    }

    void startProjectIsTheExample() {
        test::TestApp app(false);
        QVERIFY(app.restoreExample());
        app.createForms();
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        QVERIFY(main.CurrentFileName.isEmpty()); // an untitled project
        QCOMPARE(app.forms->StructureForm->rowCount(), 7);
        QCOMPARE(app.forms->StructureForm->row(5).layerFile->currentText(), QStringLiteral("CIGS"));
        QVERIFY(app.dialogs.calls.isEmpty());
        app.dialogs.answerMessage(DialogButton::Cancel);
        main.New1Click(); // it differs from the baseline: New asks
        QCOMPARE(app.dialogs.messageTexts().size(), 1);
    }

    void missingExampleShowsTheBoxAndKeepsDefaults() {
        test::TestApp app;
        app.forms->MainForm->FormActivate();
        QCOMPARE(app.dialogs.messageTexts().size(), 1);
        QVERIFY(app.dialogs.messageTexts()[0].startsWith("Cannot open file"));
        QCOMPARE(app.forms->StructureForm->rowCount(), 2);
    }

    void commandLineFileIsOpenedAtStart() {
        test::TestApp app(false);
        const QString path = app.tempPath("given.dat");
        app.createForms();
        QVERIFY(app.forms->MainForm->SaveInputFile(path));
        app.forms.reset();
        app.forms =
            std::make_unique<Forms>(AppContext{app.dialogs, *app.settings, app.workDir(), {path}});
        app.forms->MainForm->FormActivate();
        QCOMPARE(app.forms->MainForm->CurrentFileName, path);
    }

    void associationWritesTheDesktopFiles() {
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        QDir().mkpath(dir.filePath(QStringLiteral("config")));
        writeAll(dir.filePath(QStringLiteral("config/mimeapps.list")),
                 "[Default Applications]\ntext/plain=editor.desktop\n");
        test::TestApp app;
        app.forms->MainForm->Associatedatfiles1Click();
        QCOMPARE(app.dialogs.messageTexts(),
                 QStringList{".dat files are associated with Lumetrix now."});
        const QByteArray desktop =
            readAll(dir.filePath(QStringLiteral("data/applications/lumetrix.desktop")));
        QVERIFY(desktop.contains("MimeType=application/x-lumetrix-input;"));
        QVERIFY(desktop.contains("Exec=\""));
        QVERIFY(readAll(dir.filePath(QStringLiteral("data/mime/packages/lumetrix-input.xml")))
                    .contains("<glob pattern=\"*.dat\""));
        const QByteArray mimeapps = readAll(dir.filePath(QStringLiteral("config/mimeapps.list")));
        QVERIFY(mimeapps.contains("text/plain=editor.desktop"));
        QVERIFY(mimeapps.contains("application/x-lumetrix-input=lumetrix.desktop"));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }

    void mimeappsMerging() {
        QCOMPARE(
            withDefaultApplication(QString(), QStringLiteral("a/b"), QStringLiteral("x.desktop")),
            QStringLiteral("[Default Applications]\na/b=x.desktop\n"));
        QCOMPARE(
            withDefaultApplication(
                QStringLiteral(
                    "[Default Applications]\na/b=old.desktop\n[Added Associations]\nc/d=y\n"),
                QStringLiteral("a/b"), QStringLiteral("x.desktop")),
            QStringLiteral("[Default Applications]\na/b=x.desktop\n[Added Associations]\nc/d=y\n"));
        QCOMPARE(withDefaultApplication(QStringLiteral("[Added Associations]\nc/d=y\n"),
                                        QStringLiteral("a/b"), QStringLiteral("x.desktop")),
                 QStringLiteral(
                     "[Added Associations]\nc/d=y\n\n[Default Applications]\na/b=x.desktop\n"));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "test_filecommands.moc"
