// The main window: start, page switching (by the side buttons and the keyboard; the advanced
// switch: test_ui), tool windows, the command line, missing listing files, and the project file
// commands with the recent list and the dirty check.
#include "testapp.h"

using namespace lumetrix;
using test::q;
using test::readAll;

namespace {

QStringList recentCaptions(const TMainForm& main) {
    QStringList out;
    for (const auto& caption : main.recentList().captions())
        out << q(caption);
    return out;
}

const struct DirtyCase {
    const char* name;
    bool exit; // a titled project closed, else New on an untitled one
    bool changed;
    DialogButton answer;
} kDirty[] = {
    {"New, unchanged", false, false, DialogButton::Cancel},
    {"New, Cancel", false, true, DialogButton::Cancel},
    {"New, No", false, true, DialogButton::No},
    {"New, Yes", false, true, DialogButton::Yes},
    {"Exit, Yes", true, true, DialogButton::Yes},
    {"Exit, No", true, true, DialogButton::No},
    {"Exit, Cancel", true, true, DialogButton::Cancel},
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startSwitchingPagesAndSaving() {
        test::TestApp app;
        TMainForm& main = app.main();
        QCOMPARE(app.setting(&FolderSettings::WorkDir), QDir(app.workDir()).canonicalPath());
        // The Results page was created after the folders had their defaults.
        QCOMPARE(app.forms->Results->cbIzberiGraf->itemText(1), "LXOut.rta");
        // The first activation shows the Structure page; a later one keeps the page.
        app.activeMain();
        QCOMPARE(main.CurrentPage, main.pageForTag(0));
        main.ToolBarClick(main.LbSpeedButton2);
        main.FormActivate();
        QCOMPARE(main.CurrentPage, main.pageForTag(1));
        // Each button shows its page alone, pressed alone; the advanced switch on pages 0 to 5.
        TLbSpeedButton stray("stray");
        stray.Tag = 9; // a button with no page
        QSet<QString> titles;
        for (int tag = 0; tag <= 9; ++tag) {
            main.ToolBarClick(main.LbSpeedButton2);
            const bool page = tag < 9;
            TLbSpeedButton* button = page ? main.SideButtons[std::size_t(tag)] : &stray;
            main.ToolBarClick(button);
            titles << main.Panel3->text();
            QCOMPARE(main.AdvButton->isVisible(), tag < 6);
            QVERIFY(button->isChecked());
            QCOMPARE(test::pressedButtons(main), page ? 1 : 0);
            int visiblePages = 0;
            for (int t = 0; t < TMainForm::kPageCount; ++t)
                visiblePages += main.pageForTag(t)->isVisible() ? 1 : 0;
            QCOMPARE(visiblePages, page ? 1 : 0);
            QCOMPARE(main.CurrentPage, page ? main.pageForTag(tag) : nullptr);
            QVERIFY(!page || main.CurrentPage->parentWidget() == main.pageHost());
        }
        QCOMPARE(titles.size(), 10); // each page its own title, none without a page
        QVERIFY(titles.contains(QString()));
        // The buttons switch on mouse press, release never unpresses (RUN: test_results).
        QTest::mousePress(main.LbSpeedButton5, Qt::LeftButton);
        QCOMPARE(main.CurrentPage, main.pageForTag(4));
        QTest::mouseRelease(main.LbSpeedButton5, Qt::LeftButton);
        QVERIFY(main.LbSpeedButton5->isChecked());
        QCOMPARE(test::pressedButtons(main), 1);
        // A click on the side panel parks the focus on Run.
        main.ToolBarClick(main.LbSpeedButton6);
        app.forms->FilesForm->eOutFileName->setFocus();
        QTest::mouseClick(main.Panel1, Qt::LeftButton, {}, QPoint(90, 500));
        QVERIFY(main.btRun->hasFocus());
        // Ctrl+1 to Ctrl+9 show the pages in side-button order, Ctrl+PgDn and Ctrl+PgUp the next
        // and the previous one, as the View menu shows; the lock of a tool window holds for them.
        for (int tag = 0; tag < TMainForm::kPageCount; ++tag) {
            QCOMPARE(main.View1->actions().at(tag)->text(), TMainForm::titleForTag(tag));
            QTest::keyClick(&main, Qt::Key(Qt::Key_1 + tag), Qt::ControlModifier);
            QCOMPARE(main.CurrentPage, main.pageForTag(tag));
            QVERIFY(main.SideButtons[tag]->isChecked());
        }
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_PageDown, 0}, {Qt::Key_PageUp, 8}, {Qt::Key_PageUp, 7}};
        for (const auto& [key, tag] : steps) {
            QTest::keyClick(&main, key, Qt::ControlModifier);
            QCOMPARE(main.CurrentPage, main.pageForTag(tag));
        }
        main.About1Click();
        for (QAction* action : main.View1->actions())
            action->trigger();
        QVERIFY(main.LbSpeedButton7->isChecked());
        QCOMPARE(test::pressedButtons(main), 1);
        QTest::mouseClick(app.forms->AboutForm, Qt::LeftButton);
        // A tool window locks the main window until it closes, the optimisation tool excepted; a
        // click closes the About box.
        const std::pair<void (TMainForm::*)(), QWidget*> tools[] = {
            {&TMainForm::About1Click, app.forms->AboutForm},
            {&TMainForm::cRcTtransform1Click, app.forms->cR_cT_Form},
            {&TMainForm::CalculateLPIF1Click, app.forms->LPIF_Form},
            {&TMainForm::Opimisationtool1Click, app.forms->LXOpt_Form}};
        for (const auto& [open, window] : tools) {
            const bool locks = window != app.forms->LXOpt_Form;
            main.ToolBarClick(main.LbSpeedButton1);
            (main.*open)();
            QVERIFY(window->isVisible() && window->isEnabled()); // the tool itself stays usable
            QCOMPARE(main.ToolWindowOpen, locks);
            QCOMPARE(main.isEnabled(), !locks);
            main.ToolBarClick(main.LbSpeedButton2); // ignored while the window is locked
            QCOMPARE(main.CurrentPage, main.pageForTag(locks ? 0 : 1));
            QCOMPARE(main.LbSpeedButton2->isChecked(), !locks);
            if (window == app.forms->AboutForm)
                QTest::keyClick(window, Qt::Key_Escape); // as a click does
            else
                window->close();
            QVERIFY(!window->isVisible() && !main.ToolWindowOpen && main.isEnabled());
            main.ToolBarClick(main.LbSpeedButton3); // usable again
            QCOMPARE(main.CurrentPage, main.pageForTag(2));
        }
        // Save of an untitled project runs Save As, a titled one asks first; Save As and Save
        // commit a number being typed, clamped to its range; a name the file cannot hold keeps the
        // old file.
        app.activeMain();
        app.addLayers(1);
        const TLayerRow& layer = app.forms->StructureForm->row(2);
        const QString path = app.tempPath("one.dat");
        app.dialogs.answerFile(path);
        main.Exportinputfile1Click();
        QCOMPARE(app.dialogs.calls.size(), 1);
        QCOMPARE(app.dialogs.calls[0].kind, "save");
        QCOMPARE(app.dialogs.calls[0].folder, app.setting(&FolderSettings::InputFileDir));
        QCOMPARE(main.CurrentFileName, path);
        test::typeOver(layer.thickness, "99999999999");
        app.dialogs.answerFile(path);
        main.SaveAs1->trigger();
        QVERIFY(readAll(path).contains(" 10000000 ") && !readAll(path).contains("99999999999"));
        app.memo()->setPlainText("changed");
        main.Exportinputfile1Click(); // unanswered: the file stays
        QCOMPARE(app.dialogs.messageTexts().last(),
                 "Do you want to save changes you made to '" + path + "'?");
        QVERIFY(!readAll(path).contains("changed"));
        app.dialogs.answerMessage(DialogButton::Yes);
        test::typeOver(layer.thickness, "99999999999");
        main.Exportinputfile1Click();
        const QByteArray saved = readAll(path);
        QVERIFY(saved.contains("changed") && !saved.contains("99999999999"));
        layer.layerFile->setEditText("ZnO\u221A");
        QVERIFY(!main.SaveInputFile(path));
        QVERIFY(app.told().contains("Cannot create file \"" + path + "\". "));
        QVERIFY(app.dialogs.messageTexts().last().contains("of layer 1 "));
        QCOMPARE(readAll(path), saved);
        // A long comment with a character the file cannot hold: the box names the character,
        // its line and column, and keeps that line as its detail instead of the whole comment.
        layer.layerFile->setEditText("ZnO");
        app.memo()->setPlainText(QString("x").repeated(5000) + "\nat \u03BB = 500 nm\n" +
                                 QString("y\n").repeated(500));
        QVERIFY(!main.SaveInputFile(path));
        const ScriptedUserDialogs::Call& box = app.dialogs.calls.last();
        QCOMPARE(box.text, "Cannot create file \"" + path +
                               "\". The comment holds the character \"\u03BB\" (U+03BB) at line "
                               "2, column 4, which the input file (Windows-1252) cannot store.");
        QCOMPARE(box.details, QStringLiteral("Comment line 2:\nat \u03BB = 500 nm"));
        QCOMPARE(readAll(path), saved);
    }

    // Save As and Open put their file on top of the recent list; the open and save dialogs start
    // in the folder of the current file.
    void recentList() {
        test::TestApp app;
        TMainForm& main = app.main();
        QStringList paths;
        for (int i : {1, 2, 3, 4, 2}) { // saved again: entry 3 of 4 moves to the top
            paths << app.tempPath(QString("p%1.dat").arg(i));
            app.dialogs.answerFile(paths.last());
            main.SaveAs1Click();
        }
        const auto listed = [&](std::initializer_list<int> order) {
            QStringList out;
            for (int i : order)
                out << QString("&%1 ").arg(out.size() + 1) + paths[i - 1];
            return out;
        };
        QCOMPARE(recentCaptions(main), listed({2, 4, 3, 1}));
        app.dialogs.answerFile(paths[0]);
        main.Importinputfile1Click();
        QCOMPARE(main.CurrentFileName, paths[0]);
        QCOMPARE(app.dialogs.calls.last().kind, "open");
        for (const auto& call : {app.dialogs.calls[1], app.dialogs.calls.last()})
            QCOMPARE(call.folder, QFileInfo(paths[1]).absolutePath()); // second Save As, Open
        QCOMPARE(recentCaptions(main), listed({1, 2, 4, 3}));
        // Clicking an entry asks about the changes (No discards them), opens it, moves it up.
        app.memo()->setPlainText("unsaved");
        app.dialogs.answerMessage(DialogButton::No);
        main.SelectRecent(3);
        QCOMPARE(main.CurrentFileName, paths[3]);
        const QStringList four = listed({4, 1, 2, 3});
        QCOMPARE(recentCaptions(main), four);
        QVERIFY(app.memo()->toPlainText().isEmpty());
        // The window stores the list when it goes; a new one, on the same settings, restores it.
        app.forms.reset();
        app.settings = std::make_unique<SettingsStore>(app.settings->fileName());
        app.createForms();
        TMainForm& again = app.main();
        QCOMPARE(recentCaptions(again), four);
        for (int i = 5; i <= 11; ++i) {
            app.dialogs.answerFile(app.tempPath(QString("p%1.dat").arg(i)));
            again.SaveAs1Click();
        }
        QCOMPARE(again.recentList().paths().size(), 10u);
        QVERIFY(!recentCaptions(again).join('\n').contains(paths[2])); // the oldest dropped
        // The menu shows them between the second separator and Exit, in order.
        const QList<QAction*> actions = again.File1->actions();
        QCOMPARE(actions[7]->text(), recentCaptions(again)[0]);
        QCOMPARE(actions[16]->text(), recentCaptions(again)[9]);
        QVERIFY(actions[actions.size() - 2]->isSeparator() && actions.last() == again.Exit1);
        // An entry whose file is gone is said so first, and leaves the list and the project.
        const QString gone = q(again.recentList().paths()[1]);
        QVERIFY(QFile::remove(gone));
        app.memo()->setPlainText("unsaved");
        app.dialogs.calls.clear();
        again.SelectRecent(2);
        QCOMPARE(app.told(),
                 "The file \"" + gone + "\" no longer exists; it is removed from the list.");
        QCOMPARE(again.recentList().paths().size(), 9u);
        QCOMPARE(app.memo()->toPlainText(), "unsaved");
    }

    // New on an untitled project and closing a titled one ask only about a changed project;
    // Yes saves first, Cancel keeps everything.
    void dirtyCheck_data() { test::caseRows(kDirty); }
    void dirtyCheck() {
        const DirtyCase& c = test::fetchCase(kDirty);
        test::TestApp app;
        TMainForm& main = app.main();
        QVERIFY(main.BaselineList.empty());
        app.activeMain();
        const std::vector<std::string> baseline = app.build();
        QCOMPARE(main.BaselineList, baseline);
        const QString path = app.tempPath("asked.dat");
        if (c.exit) {
            QVERIFY(main.SaveInputFile(path));
            main.CurrentFileName = path;
        }
        if (c.changed)
            app.addLayers(1);
        main.FormActivate(); // a later activation leaves the baseline alone
        QCOMPARE(main.BaselineList, baseline);
        const std::vector<std::string> before = app.build();
        const QByteArray bytes = readAll(path);
        app.dialogs.answerMessage(c.answer);
        app.dialogs.answerFile(path);
        (c.exit ? main.Exit1 : main.New1)->trigger();
        const QString question = c.exit ? "Do you want to save changes you made to '" + path + "'?"
                                        : "Do you want to save the data to a input file?";
        QCOMPARE(app.told(), c.changed ? question : QString());
        const bool goesOn = !c.changed || c.answer != DialogButton::Cancel;
        if (c.exit)
            QCOMPARE(main.isVisible(), !goesOn);
        else
            QCOMPARE(app.build(), goesOn ? baseline : before);
        QCOMPARE(readAll(path) != bytes, c.answer == DialogButton::Yes);
        if (!c.exit) // a new file joins the recent list
            QCOMPARE(recentCaptions(main).size(), c.answer == DialogButton::Yes ? 1 : 0);
    }

    // At start the file named on the command line opens, else the example, untitled; a missing
    // example is told, and missing listing files in one box. Files dropped on the window: one at a
    // time, an input file opens.
    void startProject_data() { test::rows({"no example", "the example", "named at start"}); }
    void startProject() {
        QFETCH(int, index);
        test::TestApp app(index == 2);
        const QString given = app.tempPath("given.dat"), example = "/in/CIGS example.dat";
        if (index == 2) {
            app.addLayers(1); // three rows, not the two of a new project
            QVERIFY(app.main().SaveInputFile(given));
            app.forms.reset();
        }
        QVERIFY(index != 1 || QFile::copy(LUMETRIX_DATA_DIR + example, app.workDir() + example));
        for (const QString& name : QDir(app.workDir() + "/List").entryList({"*.dat"}))
            QVERIFY(index != 0 || QFile::remove(app.workDir() + "/List/" + name));
        QVERIFY(index != 0 ||
                (QDir(app.workDir()).remove("ADF1.dat") && QDir(app.workDir()).remove("ADF2.dat")));
        app.createForms(index == 2 ? QStringList{given} : QStringList{});
        TMainForm& main = app.main();
        main.FormActivate();
        QCOMPARE(main.CurrentFileName, index == 2 ? given : QString()); // the example: untitled
        QCOMPARE(app.forms->StructureForm->rowCount(), (QList{2, 7, 3}[index]));
        // The missing example is reported, the defaults stay.
        QCOMPARE(app.dialogs.calls.size(), index == 0 ? 2 : 0);
        QCOMPARE(app.told().startsWith("7 listing files cannot be read:"), index == 0);
        for (const char* name : {"layer.dat", "ReflCal.dat", "Spectrum.dat", "ADF2.dat"})
            QVERIFY2(index != 0 || app.told().contains(name), name);
        QCOMPARE(app.told().contains("|Cannot open file"), index == 0);
        if (index == 1) {
            QCOMPARE(app.forms->StructureForm->row(5).layerFile->currentText(), "CIGS");
            main.New1Click(); // it differs from the baseline: New asks
            QCOMPARE(app.dialogs.messageTexts().size(), 1);
        } else if (index == 2) {
            const QString dropped = app.workDir() + "/dropped.dat";
            main.dropFiles({dropped, dropped});
            main.dropFiles({app.tempPath("missing.dat")});
            QVERIFY(main.SaveInputFile(dropped) && main.CurrentFileName == given);
            main.dropFiles({dropped});
            QCOMPARE(main.CurrentFileName, dropped);
            QCOMPARE(app.setting(&FolderSettings::InputFileDir), app.workDir() + "/");
            QVERIFY2(app.told().startsWith("You can drop only one file at a time!|Unsupported data "
                                           "file!\nCannot open file"),
                     qPrintable(app.told()));
        }
    }

    // The desktop gets the program's entry and file type, and its list of default applications
    // the entry: in an empty list, in place of an old one in its section, or in a new section.
    void associationAndCommandLine() {
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        test::TestApp app;
        const QByteArray ours = "application/x-lumetrix-input=lumetrix.desktop\n";
        const QByteArray cases[][2] = {
            {"", "[Default Applications]\n" + ours},
            {"[Default Applications]\ntext/plain=e.desktop\n",
             "[Default Applications]\n" + ours + "text/plain=e.desktop\n"},
            {"[Default Applications]\napplication/x-lumetrix-input=old.desktop\n[Added "
             "Associations]\nc/d=y\n",
             "[Default Applications]\n" + ours + "[Added Associations]\nc/d=y\n"},
            {"[Added Associations]\nc/d=y\n",
             "[Added Associations]\nc/d=y\n\n[Default Applications]\n" + ours}};
        for (const auto& [before, after] : cases) {
            QVERIFY(test::writeAll(dir.filePath("config/mimeapps.list"), before));
            app.main().Associatedatfiles1Click();
            QCOMPARE(readAll(dir.filePath("config/mimeapps.list")), after);
            QCOMPARE(app.dialogs.messageTexts().last(),
                     ".dat files are associated with Lumetrix now.");
        }
        QVERIFY(readAll(dir.filePath("data/applications/lumetrix.desktop"))
                    .contains("MimeType=application/x-lumetrix-input;"));
        QVERIFY(readAll(dir.filePath("data/mime/packages/lumetrix-input.xml")).contains("*.dat"));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        // Every path means the caller's folder, whatever the process's folder is (a missing folder,
        // an unknown option and the batch mode's paths: the command-line tests).
        const QString at = QDir(dir.path()).absolutePath();
        QVERIFY(QDir(at).mkdir("wd"));
        const CommandLine given =
            parseCommandLine({"--workdir", "wd", "a.dat", at + "/x/../c"}, at);
        QCOMPARE(given.workDir + "|" + given.files.join('|'),
                 QString("@/wd|@/a.dat|@/c").replace("@", at));
        QVERIFY(parseCommandLine({"--workdir"}, at).error.contains("workdir"));
        const CommandLine none = parseCommandLine({}, at);
        QVERIFY(none.error.isEmpty() && none.workDir.isEmpty() && none.files.isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
