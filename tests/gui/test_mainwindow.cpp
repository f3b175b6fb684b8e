// The main window: page switching, the advanced switch, tool windows, menus, the listing
// boxes, and the project file commands with the recent list and the dirty check.
#include "testapp.h"

using namespace lumetrix;
using test::q;
using test::readAll;

namespace {

int pressedButtons(const TMainForm& main) {
    int n = 0;
    for (const TLbSpeedButton* b : main.SideButtons)
        n += b->isChecked() ? 1 : 0;
    return n;
}

QStringList recentCaptions(const TMainForm& main) {
    QStringList out;
    for (const auto& caption : main.recentList().captions())
        out << q(caption);
    return out;
}

// A layer more and a comment: a changed project.
void changeProject(test::TestApp& app) {
    app.forms->StructureForm->LbSpeedButton1MouseDown();
    app.forms->StructureForm->LbSpeedButton1MouseUp();
    app.forms->TekstForm->TekstMemo->setPlainText(QStringLiteral("changed"));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // --- Start, pages and tool windows

    void startsWithFoldersUnderTheWorkingFolder() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        QCOMPARE(q(main.FolderSettings.WorkDir), QDir(app.workDir()).canonicalPath());
        QCOMPARE(q(main.FolderSettings.ListDir), q(main.FolderSettings.WorkDir) + "/List");
        QCOMPARE(main.windowTitle(), QStringLiteral("Lumetrix v1.2"));
        QVERIFY(main.CurrentFileName.isEmpty());
        QVERIFY(!main.AddOnPresent);
        // The Results page was created after the folders had their defaults.
        QCOMPARE(app.forms->Results->cbIzberiGraf->itemText(1), QStringLiteral("LXOut.rta"));
        QVERIFY(main.LbSpeedButton1->isChecked());
        QCOMPARE(pressedButtons(main), 1);
        // The first activation shows the Structure page; a later one keeps the page.
        main.FormActivate();
        QCOMPARE(main.CurrentPage, main.pageForTag(0));
        QCOMPARE(main.Panel3->text(), QStringLiteral("Structure"));
        main.ToolBarClick(main.LbSpeedButton2);
        main.FormActivate();
        QCOMPARE(main.Panel3->text(), QStringLiteral("Haze parameters"));
    }

    void switchingShowsPageTitleAndAdvancedSwitch() {
        const struct {
            int tag; // 9: a button with no page
            const char* title;
        } cases[] = {{0, "Structure"},
                     {1, "Haze parameters"},
                     {2, "Angular Distribution Functions"},
                     {3, "Total Reflectance and Transmittance"},
                     {4, "Spectrum"},
                     {5, "File locations"},
                     {6, "Additional Settings / Comments"},
                     {7, "Process window"},
                     {8, "Results"},
                     {9, ""}};
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        TLbSpeedButton stray(QStringLiteral("stray"));
        stray.Tag = 9;
        for (const auto& c : cases) {
            main.ToolBarClick(main.LbSpeedButton2);
            const bool page = c.tag < 9;
            TLbSpeedButton* button =
                page ? main.SideButtons[static_cast<std::size_t>(c.tag)] : &stray;
            main.ToolBarClick(button);
            QCOMPARE(main.Panel3->text(), QString::fromLatin1(c.title));
            QCOMPARE(main.AdvButton->isVisible(), c.tag < 6); // pages 0 to 5 have advanced parts
            QVERIFY(button->isChecked());
            QCOMPARE(pressedButtons(main), page ? 1 : 0);
            int visiblePages = 0;
            for (int t = 0; t < TMainForm::kPageCount; ++t)
                visiblePages += main.pageForTag(t)->isVisible() ? 1 : 0;
            QCOMPARE(visiblePages, page ? 1 : 0);
            QCOMPARE(main.CurrentPage, page ? main.pageForTag(c.tag) : nullptr);
            if (page)
                QCOMPARE(main.CurrentPage->parentWidget(), main.pageHost());
        }
    }

    void runAndMouseDownSwitchPages() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        QTest::mousePress(main.LbSpeedButton5, Qt::LeftButton);
        QCOMPARE(main.Panel3->text(), QStringLiteral("Spectrum"));
        QTest::mouseRelease(main.LbSpeedButton5, Qt::LeftButton);
        QVERIFY(main.LbSpeedButton5->isChecked()); // a click never unpresses the button
        QTest::mouseClick(main.btRun, Qt::LeftButton);
        QCOMPARE(main.Panel3->text(), QStringLiteral("Results"));
        QCOMPARE(main.CurrentPage, main.pageForTag(8));
        QVERIFY(main.LbSpeedButton8->isChecked());
        QCOMPARE(pressedButtons(main), 1);
        // A click on the side panel parks the focus on Run.
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.ToolBarClick(main.LbSpeedButton6);
        app.forms->FilesForm->eOutFileName->setFocus();
        QTest::mouseClick(main.Panel1, Qt::LeftButton, {}, QPoint(90, 500));
        QVERIFY(main.btRun->hasFocus());
    }

    void sideButtonsStandWhereTheyShould() {
        test::TestApp app;
        const TMainForm& main = *app.forms->MainForm;
        const int numbers[] = {1, 2, 3, 4, 5, 6, 9, 7, 8}; // LbSpeedButtonN by Tag
        for (int tag = 0; tag < TMainForm::kPageCount; ++tag) {
            const TLbSpeedButton* b = main.SideButtons[static_cast<std::size_t>(tag)];
            QCOMPARE(b->objectName(), QStringLiteral("LbSpeedButton%1").arg(numbers[tag]));
            QCOMPARE(b->Tag, tag);
            QCOMPARE(b->geometry(), QRect(0, 104 + 23 * tag, 185, 24));
        }
        QCOMPARE(main.AdvButton->geometry(), QRect(16, 344, 153, 25));
        QCOMPARE(main.btRun->geometry(), QRect(32, 616, 121, 57));
        QCOMPARE(main.Panel1->width(), 185);
    }

    void toolWindows_data() {
        QTest::addColumn<int>("tool");
        int tool = 0;
        for (const char* name : {"About", "cR_cT transform", "LPIF", "optimisation"})
            QTest::newRow(name) << tool++;
    }
    void toolWindows() {
        QFETCH(int, tool);
        const bool locks = tool < 3; // the optimisation tool leaves the window usable
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        main.ToolBarClick(main.LbSpeedButton1);
        const std::pair<void (TMainForm::*)(), QWidget*> tools[] = {
            {&TMainForm::About1Click, app.forms->AboutForm},
            {&TMainForm::cRcTtransform1Click, app.forms->cR_cT_Form},
            {&TMainForm::CalculateLPIF1Click, app.forms->LPIF_Form},
            {&TMainForm::Opimisationtool1Click, app.forms->LXOpt_Form}};
        const auto [open, window] = tools[tool];
        (main.*open)();
        QVERIFY(window->isVisible());
        QVERIFY(window->isEnabled()); // the tool window itself stays usable
        QCOMPARE(main.ToolWindowOpen, locks);
        QCOMPARE(main.isEnabled(), !locks);
        if (!locks)
            return;
        main.ToolBarClick(main.LbSpeedButton2); // ignored while the window is locked
        QCOMPARE(main.Panel3->text(), QStringLiteral("Structure"));
        QVERIFY(main.LbSpeedButton1->isChecked());
        QVERIFY(!main.LbSpeedButton2->isChecked());
        if (tool == 0)
            QTest::mouseClick(window, Qt::LeftButton); // a click closes the About box
        else
            window->close();
        QVERIFY(!window->isVisible());
        QVERIFY(!main.ToolWindowOpen);
        QVERIFY(main.isEnabled());
        main.ToolBarClick(main.LbSpeedButton2);
        QCOMPARE(main.Panel3->text(), QStringLiteral("Haze parameters"));
    }

    void advancedSwitchFollowsEachPagesFlag() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        TFilesForm& files = *app.forms->FilesForm;
        app.showPage(5, false);
        QCOMPARE(main.AdvButton->text(), kShowAdvanced);
        QCOMPARE(main.AdvButton->look().color, QColor(122, 168, 224));
        QVERIFY(!main.AdvButton->isChecked());
        QVERIFY(!files.AdvPanel->isVisible());
        QVERIFY(files.cbOverwriteLXOut->isVisible());
        main.AdvButtonClick(); // the page's show handler runs again
        QVERIFY(main.advancedFlag(5));
        QVERIFY(files.AdvPanel->isVisible());
        QVERIFY(files.btProjectDir->isVisible());
        QCOMPARE(main.AdvButton->text(), kHideAdvanced);
        QCOMPARE(main.AdvButton->look().color, QColor(208, 224, 244));
        QCOMPARE(main.AdvButton->look().textColor, QColor(10, 36, 106));
        QVERIFY(main.AdvButton->isChecked());
        main.ToolBarClick(main.LbSpeedButton1); // the flag is per page
        QCOMPARE(main.AdvButton->text(), kShowAdvanced);
        main.ToolBarClick(main.LbSpeedButton8);
        QVERIFY(!main.AdvButton->isVisible());
        main.ToolBarClick(main.LbSpeedButton6);
        QVERIFY(main.AdvButton->isVisible());
        QCOMPARE(main.AdvButton->text(), kHideAdvanced);
        main.AdvButtonClick();
        QVERIFY(!main.advancedFlag(5));
        QVERIFY(!files.AdvPanel->isVisible());
        QCOMPARE(main.AdvButton->text(), kShowAdvanced);
    }

    void menusCarryTheirCaptions() {
        test::TestApp app;
        const TMainForm& main = *app.forms->MainForm;
        QCOMPARE((QStringList{main.New1->text(), main.SaveAs1->text(), main.Exit1->text(),
                              main.Opimisationtool1->text()}),
                 (QStringList{"&New", "Save input file &As", "E&xit", "&Opimisation tool"}));
        QCOMPARE(main.Importinputfile1->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(main.Exportinputfile1->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(!main.Printinputfile1->isEnabled());
        QCOMPARE(main.File1->actions().last(), main.Exit1);
        QCOMPARE(main.ools1->title(), QStringLiteral("&Tools"));
        QCOMPARE(main.Help1->actions().size(), 3);
        QVERIFY(main.Associatedatfiles1->isVisible());
    }

    // Every path is taken from the caller's folder, whatever the process's folder is.
    void commandLine() {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).absolutePath();
        QVERIFY(QDir(path).mkdir(QStringLiteral("wd")));
        const struct {
            QStringList arguments;
            const char* workDir; // @ stands for the caller's folder
            QStringList files;
            const char* error;
        } cases[] = {{{"--workdir", "wd", "a.dat"}, "@/wd", {"@/a.dat"}, ""},
                     {{"--workdir", "@/wd", "../b.dat", "/x/c.dat"}, "@/wd", {"/x/c.dat"}, ""},
                     {{"--workdir", "nope"}, "", {}, "does not exist"},
                     {{"--workdir"}, "", {}, "workdir"},
                     {{"--bogus"}, "", {}, "unknown option \"--bogus\""},
                     {{}, "", {}, ""}};
        for (const auto& c : cases) {
            const CommandLine parsed =
                parseCommandLine(QStringList(c.arguments).replaceInStrings("@", path), path);
            QVERIFY2(parsed.error.isEmpty() == !*c.error && parsed.error.contains(c.error),
                     qPrintable(parsed.error));
            if (*c.error)
                continue;
            QCOMPARE(parsed.workDir, QString::fromLatin1(c.workDir).replace("@", path));
            QCOMPARE(parsed.files.mid(parsed.files.size() - c.files.size()),
                     QStringList(c.files).replaceInStrings("@", path));
        }
        const CommandLine batch =
            parseCommandLine({"--batch-save", "../out.dat", "in.dat"}, path + "/wd");
        QCOMPARE(batch.batchOut, path + "/out.dat");
        QCOMPARE(batch.batchIn, path + "/wd/in.dat");
    }

    // --- Listing boxes

    void loadComboList() {
        test::TestApp app;
        ComboLists& lists = app.forms->MainForm->comboLists();
        QComboBox box;
        box.setEditable(true);
        box.setEditText(QStringLiteral("CdS"));
        lists.LoadComboList(&box, app.workDir() + "/List/layer.dat");
        QCOMPARE(box.itemText(0), QStringLiteral("air")); // no CR left from the CR LF file
        QCOMPARE(box.currentText(), QStringLiteral("CdS"));
        QCOMPARE(box.itemText(box.currentIndex()), QStringLiteral("CdS"));
        box.setEditText(QStringLiteral("cds")); // matching is case-sensitive
        lists.LoadComboList(&box, app.workDir() + "/List/layer.dat");
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(box.currentText(), QStringLiteral("cds"));
        QVERIFY(app.dialogs.calls.isEmpty());
        // A file that cannot be read leaves the list as it was and says why.
        box.setCurrentIndex(1);
        const int items = box.count();
        const QString missing = app.workDir() + "/List/missing.dat";
        QVERIFY(test::writeAll(app.workDir() + "/List/binary.dat", QByteArray("air\nM\0o\n", 8)));
        const struct {
            QString file, says;
        } failures[] = {{missing, "Cannot open file \"" + missing + "\""},
                        {app.workDir() + "/List/binary.dat", "Line 2"}};
        for (const auto& f : failures) {
            lists.LoadComboList(&box, f.file);
            QVERIFY2(app.dialogs.messageTexts().last().contains(f.says), qPrintable(f.file));
            QCOMPARE(app.dialogs.calls.last().icon, DialogIcon::Error);
            QCOMPARE(box.count(), items);
            QCOMPARE(box.currentIndex(), 1);
        }
        // SelectComboText selects the first equal item; with none the selection stays.
        box.clear();
        box.addItems({QStringLiteral("Mo"), QStringLiteral("CIGS"), QStringLiteral("CIGS")});
        box.setCurrentIndex(-1);
        box.setEditText(QStringLiteral("CIGS"));
        ComboLists::SelectComboText(&box);
        QCOMPARE(box.currentIndex(), 1);
        box.setEditText(QStringLiteral("glass"));
        ComboLists::SelectComboText(&box);
        QCOMPARE(box.currentIndex(), 1);
    }

    // --- File commands

    void savingAnUntitledProjectRunsSaveAs() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        const QString path = app.tempPath("one.dat");
        app.dialogs.answerFile(path);
        main.Exportinputfile1Click();
        QCOMPARE(app.dialogs.calls.size(), 1);
        QCOMPARE(app.dialogs.calls[0].kind, QStringLiteral("save"));
        QCOMPARE(app.dialogs.calls[0].folder, q(main.FolderSettings.InputFileDir));
        QVERIFY(readAll(path).startsWith("~~~~~~~~>\r\n"));
        QCOMPARE(main.CurrentFileName, path);
        QCOMPARE(main.windowTitle(), QStringLiteral("Lumetrix v1.2.8 - one.dat"));
        app.forms->TekstForm->TekstMemo->setPlainText(QStringLiteral("changed"));
        main.Exportinputfile1Click(); // a titled project asks first: No keeps the file
        QCOMPARE(app.dialogs.messageTexts().last(),
                 "Do you want to save changes you made to '" + path + "'?");
        QVERIFY(!readAll(path).contains("changed"));
        app.dialogs.answerMessage(DialogButton::Yes);
        main.Exportinputfile1Click();
        QVERIFY(readAll(path).contains("changed"));
    }

    void failedSaveKeepsTheOldFileAndSaysWhy() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        const QString target = app.tempPath("project.dat");
        QVERIFY(main.SaveInputFile(target));
        const QByteArray before = readAll(target);
        app.forms->StructureForm->LbSpeedButton1MouseDown();
        app.forms->StructureForm->LbSpeedButton1MouseUp();
        app.forms->StructureForm->row(2).layerFile->setEditText(QStringLiteral("ZnO\u221A"));
        QVERIFY(!main.SaveInputFile(target));
        QVERIFY(app.dialogs.messageTexts().last().startsWith("Cannot create file \"" + target +
                                                             "\". "));
        QVERIFY(app.dialogs.messageTexts().last().contains(QStringLiteral("of layer 1 ")));
        QCOMPARE(readAll(target), before);
    }

    void recentList() {
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
        app.dialogs.answerFile(paths[1]); // saved again: entry 3 of 4 moves to the top
        main.SaveAs1Click();
        QCOMPARE(recentCaptions(main), (QStringList{"&1 " + paths[1], "&2 " + paths[3],
                                                    "&3 " + paths[2], "&4 " + paths[0]}));
        // Clicking an entry asks about the changes (No discards them), opens it, moves it up.
        app.forms->TekstForm->TekstMemo->setPlainText(QStringLiteral("unsaved"));
        app.dialogs.answerMessage(DialogButton::No);
        main.SelectRecent(3);
        QCOMPARE(main.CurrentFileName, paths[2]);
        QCOMPARE(recentCaptions(main), (QStringList{"&1 " + paths[2], "&2 " + paths[1],
                                                    "&3 " + paths[3], "&4 " + paths[0]}));
        QVERIFY(app.forms->TekstForm->TekstMemo->toPlainText().isEmpty());
        // The window stores the list when it goes; a new one restores it.
        const QStringList four = recentCaptions(main);
        app.forms.reset();
        QSettings stored(app.settings->fileName(), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Recent/1")).toString(), four[0]);
        QCOMPARE(stored.value(QStringLiteral("Recent/4")).toString(), four[3]);
        QCOMPARE(stored.value(QStringLiteral("Recent/5")).toString(), QString());
        app.settings = std::make_unique<SettingsStore>(app.settings->fileName());
        app.createForms();
        TMainForm& again = *app.forms->MainForm;
        QCOMPARE(recentCaptions(again), four);
        for (int i = 5; i <= 11; ++i) {
            app.dialogs.answerFile(app.tempPath(QStringLiteral("p%1.dat").arg(i)));
            again.SaveAs1Click();
        }
        QCOMPARE(again.recentList().paths().size(), 10u);
        QVERIFY(!recentCaptions(again).join('\n').contains(paths[0])); // the oldest dropped
        // The menu shows them between the second separator and Exit, in order.
        const QList<QAction*> actions = again.File1->actions();
        QCOMPARE(actions[7]->text(), recentCaptions(again)[0]);
        QCOMPARE(actions[16]->text(), recentCaptions(again)[9]);
        QCOMPARE(actions.last(), again.Exit1);
        QVERIFY(actions[actions.size() - 2]->isSeparator());
    }

    void newAsksOnlyAboutAChangedProject_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("reset");
        QTest::newRow("unchanged") << false << int(DialogButton::Cancel) << true;
        QTest::newRow("changed, Cancel") << true << int(DialogButton::Cancel) << false;
        QTest::newRow("changed, No") << true << int(DialogButton::No) << true;
        QTest::newRow("changed, Yes") << true << int(DialogButton::Yes) << true;
    }
    void newAsksOnlyAboutAChangedProject() {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, reset);
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        QVERIFY(main.BaselineList.empty());
        main.FormActivate();
        const std::vector<std::string> baseline = app.build();
        QCOMPARE(main.BaselineList, baseline);
        app.dialogs.calls.clear();
        if (changed)
            changeProject(app);
        main.FormActivate(); // a later activation leaves the baseline alone
        QCOMPARE(main.BaselineList, baseline);
        const std::vector<std::string> before = app.build();
        const QString path = app.tempPath("asked.dat");
        app.dialogs.answerMessage(static_cast<DialogButton>(answer));
        app.dialogs.answerFile(path);
        main.New1Click();
        QCOMPARE(app.dialogs.messageTexts(),
                 changed ? QStringList{"Do you want to save the data to a input file?"}
                         : QStringList{});
        QCOMPARE(app.build(), reset ? baseline : before);
        QCOMPARE(main.windowTitle(), reset ? "Lumetrix v1.2.8" : "Lumetrix v1.2");
        // Yes with a chosen file saves there and adds the file to the recent list.
        QCOMPARE(QFile::exists(path), answer == int(DialogButton::Yes) && changed);
        QCOMPARE(recentCaptions(main).size(), QFile::exists(path) ? 1 : 0);
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
        QCOMPARE(q(main.FolderSettings.InputFileDir), app.tempPath(QString()) + "/");
    }

    void startProject_data() {
        QTest::addColumn<int>("source"); // 0 none, 1 the example, 2 a file named at start
        QTest::newRow("no example") << 0;
        QTest::newRow("the example") << 1;
        QTest::newRow("named on the command line") << 2;
    }
    void startProject() {
        QFETCH(int, source);
        test::TestApp app(false);
        const QString given = app.tempPath("given.dat");
        if (source == 1) {
            QVERIFY(app.restoreExample());
        } else if (source == 2) {
            app.createForms();
            changeProject(app);
            QVERIFY(app.forms->MainForm->SaveInputFile(given));
            app.forms.reset();
        }
        app.forms =
            std::make_unique<Forms>(AppContext{app.dialogs, *app.settings, app.workDir(),
                                               source == 2 ? QStringList{given} : QStringList{}});
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        QCOMPARE(main.CurrentFileName, source == 2 ? given : QString()); // the example: untitled
        const int rows[] = {2, 7, 3};
        QCOMPARE(app.forms->StructureForm->rowCount(), rows[source]);
        if (source == 0) { // the missing example is reported, the defaults stay
            QCOMPARE(app.dialogs.messageTexts().size(), 1);
            QVERIFY(app.dialogs.messageTexts()[0].startsWith("Cannot open file"));
            return;
        }
        QVERIFY(app.dialogs.calls.isEmpty());
        if (source == 1) {
            QCOMPARE(app.forms->StructureForm->row(5).layerFile->currentText(),
                     QStringLiteral("CIGS"));
            app.dialogs.answerMessage(DialogButton::Cancel);
            main.New1Click(); // it differs from the baseline: New asks
            QCOMPARE(app.dialogs.messageTexts().size(), 1);
        }
    }

    void associationWritesTheDesktopFiles() {
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        QVERIFY(test::writeAll(dir.filePath(QStringLiteral("config/mimeapps.list")),
                               "[Default Applications]\ntext/plain=editor.desktop\n"));
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
        const struct {
            const char *before, *after;
        } cases[] = {{"", "[Default Applications]\na/b=x.desktop\n"},
                     {"[Default Applications]\na/b=old.desktop\n[Added Associations]\nc/d=y\n",
                      "[Default Applications]\na/b=x.desktop\n[Added Associations]\nc/d=y\n"},
                     {"[Added Associations]\nc/d=y\n",
                      "[Added Associations]\nc/d=y\n\n[Default Applications]\na/b=x.desktop\n"}};
        for (const auto& c : cases)
            QCOMPARE(withDefaultApplication(c.before, QStringLiteral("a/b"),
                                            QStringLiteral("x.desktop")),
                     QString::fromLatin1(c.after));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
