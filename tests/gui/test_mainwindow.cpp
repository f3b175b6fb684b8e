// The main window: start, page switching (by the side buttons and the keyboard), tool windows,
// the command line, missing listing files, and the project file commands with the recent list and
// the dirty check; the window on small screens, the mouse wheel, the advanced switch and the looks
// of the pages; the numeric edit, the combo box's drop-down width (the spin edit: the ADF group
// tests) and the folded message box.
#include "controls/platform_hooks.h"
#include "core/window_fit.h"
#include "testapp.h"

#include <algorithm>
#include <cmath>
#include <map>

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

double luminance(const QColor& c) {
    const auto lin = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

// The contrast of two colours as the web content accessibility guidelines define it.
double contrast(const QColor& a, const QColor& b) {
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

// Turns the wheel one notch down over the widget and hands the turn on to the parents, as the
// application does; returns the widget that took it.
QWidget* turnWheel(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        QWheelEvent wheel({}, {}, {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &wheel);
        if (wheel.isAccepted())
            return w;
    }
    return nullptr;
}

// The caption with this text among the parent's.
QWidget* caption(const QWidget* parent, const QString& text) {
    for (QLabel* label : parent->findChildren<QLabel*>())
        if (label->text() == text)
            return label;
    return nullptr;
}

enum Extra { Plain, Handler, ReadOnly }; // Handler: an OnInvalidEntry handler replaces the clamp

// Typing into the edit, then leaving it when it has a range or is asked to. The typing rules
// themselves are the edit rules' tests; these cases take each way a key or the clipboard comes.
const struct EditCase {
    const char* name;
    char separator; // the decimal one
    int decimals;
    Extra extra;
    double min, max;
    const char *start, *typed; // "*" first: all selected, else the caret at the end
    Qt::Key key; // then pressed, C, X and V with Ctrl; V and Menu (the edit's own context menu)
    bool leave;  // paste the typed text instead
    const char* shown;
    int beeps;
    const char* clipboard = nullptr; // then
} kEdits[] = {
    {"letters dropped, comma read as point", '.', -1, Plain, 0, 0, "*", "1x2,5", {}, 0, "12.5", 0},
    {"backspace", '.', -1, Plain, 0, 0, "-12.5", "", Qt::Key_Backspace, 0, "-12.", 0},
    {"all deleted gives 0", '.', -1, Plain, 0, 0, "*-12.5", "", Qt::Key_Delete, 0, "0", 0},
    {"read-only", '.', -1, ReadOnly, 0, 0, "*0", "5", {}, 0, "0", 0},
    {"paste filtered", '.', -1, Plain, 0, 0, "*", "1a2", Qt::Key_V, 0, "12", 0},
    {"digit beyond the decimals", '.', 2, Plain, 0, 0, "1.00", "5", {}, 0, "1.00", 1},
    {"comma separator", ',', -1, Plain, 0, 0, "*", "3.1,4", {}, 0, "31,4", 0},
    {"left above the maximum", '.', -1, Plain, 0, 48, "*", "60", {}, 1, "48", 1},
    {"left below the minimum", '.', -1, Plain, 1e-6, 1e8, "*", "0", {}, 1, "0.000001", 1},
    {"left with no range", '.', -1, Plain, 0, 0, "*", "-123.50", {}, 1, "-123.5", 0},
    {"left in range", '.', -1, Plain, 0, 48, "*", "12", {}, 1, "12", 0},
    {"handler instead of the clamp", '.', -1, Handler, 0, 10, "*", "11", {}, 1, "11", 0},
    {"copy without thousands separators", '.', -1, Plain, 0, 0, "*1,234.5", "", Qt::Key_C, 0,
     "1,234.5", 0, "1234.5"},
    {"cut", '.', -1, Plain, 0, 0, "*987", "", Qt::Key_X, 0, "0", 0, "987"},
    {"paste by the context menu", '.', -1, Plain, 0, 0, "*", "4x5,5", Qt::Key_Menu, 0, "45.5", 0},
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
        QCOMPARE(main.CurrentPage, main.pageFor(Page::Structure));
        main.ToolBarClick(main.LbSpeedButton2);
        main.FormActivate();
        QCOMPARE(main.CurrentPage, main.pageFor(Page::Haze));
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
                visiblePages += main.pageFor(static_cast<Page>(t))->isVisible() ? 1 : 0;
            QCOMPARE(visiblePages, page ? 1 : 0);
            QCOMPARE(main.CurrentPage, page ? main.pageFor(static_cast<Page>(tag)) : nullptr);
            QVERIFY(!page || main.CurrentPage->parentWidget() == main.pageHost());
        }
        QCOMPARE(titles.size(), 10); // each page its own title, none without a page
        QVERIFY(titles.contains(QString()));
        // The buttons switch on mouse press, release never unpresses (RUN: test_results).
        QTest::mousePress(main.LbSpeedButton5, Qt::LeftButton);
        QCOMPARE(main.CurrentPage, main.pageFor(Page::Spectrum));
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
            QCOMPARE(main.View1->actions().at(tag)->text(),
                     TMainForm::titleFor(static_cast<Page>(tag)));
            QTest::keyClick(&main, Qt::Key(Qt::Key_1 + tag), Qt::ControlModifier);
            QCOMPARE(main.CurrentPage, main.pageFor(static_cast<Page>(tag)));
            QVERIFY(main.SideButtons[tag]->isChecked());
        }
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_PageDown, 0}, {Qt::Key_PageUp, 8}, {Qt::Key_PageUp, 7}};
        for (const auto& [key, tag] : steps) {
            QTest::keyClick(&main, key, Qt::ControlModifier);
            QCOMPARE(main.CurrentPage, main.pageFor(static_cast<Page>(tag)));
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
            QCOMPARE(main.CurrentPage, main.pageFor(locks ? Page::Structure : Page::Haze));
            QCOMPARE(main.LbSpeedButton2->isChecked(), !locks);
            if (window == app.forms->AboutForm)
                QTest::keyClick(window, Qt::Key_Escape); // as a click does
            else
                window->close();
            QVERIFY(!window->isVisible() && !main.ToolWindowOpen && main.isEnabled());
            main.ToolBarClick(main.LbSpeedButton3); // usable again
            QCOMPARE(main.CurrentPage, main.pageFor(Page::Adf));
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
        main.setEnabled(false); // a tool window holds the main window: nothing has changed
        QCOMPARE(app.build(), baseline);
        main.setEnabled(true);
        const QString path = app.tempPath("asked.dat");
        if (c.exit) {
            QVERIFY(main.SaveInputFile(path));
            main.CurrentFileName = path;
        }
        if (c.changed)
            app.addLayers(1);
        main.FormActivate(); // a later activation leaves the baseline alone
        QCOMPARE(main.BaselineList, baseline);
        main.updateStatusBar();
        QCOMPARE(main.findChild<QLabel*>("StatusModified")->text(),
                 c.changed ? "Modified" : "Unmodified");
        QCOMPARE(main.findChild<QLabel*>("StatusFile")->text(),
                 c.exit ? path : QStringLiteral("Untitled project"));
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

    // Fitted to a 1280 x 720 screen the window keeps its size on every page, RUN stays in the
    // side panel, and the page area scrolls to what lies beyond it. The wheel over a combo box,
    // numeric or spin edit without the focus scrolls and changes nothing, on every page, and
    // gives no focus; with the focus it changes the value.
    void smallScreenWheelAdvancedSwitchAndLineUp() {
        test::TestApp app;
        TMainForm& main = app.activeMain();
        main.applyWindowFit(fitWindow(TMainForm::kClientWidth,
                                      TMainForm::kClientHeight + main.chromeHeight(), 1272, 688,
                                      TMainForm::kLeastWidth, TMainForm::kLeastHeight));
        TStructureForm& structure = *app.forms->StructureForm;
        app.addLayers(46);
        const auto value = [](const QWidget* w) {
            return w->property("currentIndex").toString() + w->property("text").toString();
        };
        const QSize size = main.size();
        for (int step = 0; step < 2 * TMainForm::kPageCount; ++step) {
            main.setAdvancedFlag(static_cast<Page>(step / 2), step % 2 == 0);
            main.ToolBarClick(main.SideButtons[step / 2]);
            QCoreApplication::processEvents();
            QCOMPARE(main.size(), size);
            main.PremakniFocus();
            for (QWidget* w : main.CurrentPage->findChildren<QWidget*>()) {
                if (step % 2 == 1 ||
                    (!qobject_cast<TComboBox*>(w) && !qobject_cast<TPBSpinEdit*>(w) &&
                     !qobject_cast<TPBNumEdit*>(w)))
                    continue;
                const QString before = value(w);
                QVERIFY(turnWheel(w) != w && value(w) == before);
                QVERIFY((w->focusPolicy() & Qt::WheelFocus) != Qt::WheelFocus);
            }
        }
        QVERIFY(main.Panel1->rect().contains(main.btRun->geometry()));
        QCOMPARE(main.PageScroll->horizontalScrollBar()->maximum(), 0); // Results: own views
        QVERIFY(structure.ScrollBox1->verticalScrollBar()->value() > 0);
        main.ToolBarClick(main.LbSpeedButton1);
        QWidget* remove = structure.LbSpeedButton2;
        main.PageScroll->ensureWidgetVisible(remove, 0, 0);
        const QRect shown(remove->mapTo(main.PageScroll->viewport(), QPoint()), remove->size());
        QVERIFY(main.PageScroll->viewport()->rect().contains(shown));
        TComboBox* layer = structure.row(20).layerFile;
        const QString before = value(layer);
        layer->setFocus();
        QVERIFY(turnWheel(layer) == layer && value(layer) != before);
        // The switch shows the flag of the page shown and shows or hides the page's advanced part.
        // Both its looks are readable in every state (text on background at least 4.5:1), and both
        // captions fit between its edges (2) with a padding of 4. The pages' controls line up.
        const auto state = [&] { // the caption, whether pressed, whether the part is shown
            return main.AdvButton->text() + (main.AdvButton->isChecked() ? " 1" : " 0") +
                   test::shown({app.forms->FilesForm->AdvPanel});
        };
        app.showPage(5, false);
        for (const QString& expected : {kShowAdvanced + " 00", kHideAdvanced + " 11"}) {
            QCOMPARE(state(), expected);
            const ButtonLook& look = main.AdvButton->look();
            const QColor pressedText =
                look.pressedTextColor.isValid() ? look.pressedTextColor : look.textColor;
            const std::pair<QColor, QColor> states[] = {{look.color, look.textColor},
                                                        {look.hoverColor, look.textColor},
                                                        {look.pressedColor, pressedText}};
            for (const auto& [back, text] : states)
                QVERIFY(!back.isValid() || contrast(back, text) >= 4.5);
            const QFontMetrics metrics(main.AdvButton->font());
            QVERIFY(metrics.horizontalAdvance(main.AdvButton->text()) <=
                    main.AdvButton->width() - 12);
            main.AdvButtonClick();                  // the page's show handler runs again
            main.ToolBarClick(main.LbSpeedButton1); // the flag is per page
            QCOMPARE(main.AdvButton->text(), kShowAdvanced);
            main.ToolBarClick(main.LbSpeedButton6);
        }
        QCOMPARE(state(), kShowAdvanced + " 00");
        QVERIFY(!main.advancedFlag(Page::Files));
        // Controls that stood out of line on the Files, ADF, reflectance and Haze pages.
        app.showPage(0, false);
        for (QCheckBox* box : main.findChildren<QCheckBox*>())
            box->setChecked(true); // every switched panel shown
        const auto show = [&](int tag) {
            app.showPage(tag, true);
            QCoreApplication::processEvents();
        };
        const auto at = [&](const QWidget* w) {
            return QRect(w->mapTo(&main, QPoint()), w->size());
        };
        const auto apart = [&](const QWidget* a, const QWidget* b) {
            return at(b).left() - at(a).right() > 4;
        };
        const TFilesForm& files = *app.forms->FilesForm;
        show(5);
        for (const QLabel* label : files.findChildren<QLabel*>())
            QVERIFY(!label->text().startsWith(' '));
        QCOMPARE(at(files.btDefault).left(), at(files.eDir_nk).left());
        QVERIFY(at(files.btProjectDir).right() <= at(files.eDir_nk).right());
        QVERIFY(apart(files.btDefault, files.btProjectDir));

        const TADFForm& adf = *app.forms->ADFForm;
        show(2);
        QVERIFY(apart(caption(adf.pUseOtherADF, "Apply to selected interfaces"),
                      adf.eADFSpecInterface));
        QVERIFY(apart(adf.eADFSpecInterface,
                      caption(adf.pUseOtherADF, "(e.g. 0,1,4,... ; 0 = front interface)")));
        QVERIFY(apart(adf.ADFGroupSpin, adf.btAddADFGroup));
        QVERIFY(apart(adf.btAddADFGroup, adf.btRemoveADFGroup));
        const auto* add = qobject_cast<TLbSpeedButton*>(app.forms->StructureForm->LbSpeedButton1);
        for (QPushButton* b : {adf.btAddADFGroup, adf.btRemoveADFGroup}) {
            const auto* look = qobject_cast<TLbSpeedButton*>(b);
            QVERIFY(look && look->look().color == add->look().color && b->size() == add->size());
        }

        const TRefTransForm& rt = *app.forms->RefTransForm;
        show(3);
        const auto under = [&](const QWidget* top, const QWidget* a, const QWidget* b) {
            return at(a).left() == at(top).left() && at(b).left() == at(top).left();
        };
        for (const FactorColumn& f : rt.factors)
            QVERIFY(under(f.interfaces, f.c12, f.c21));
        for (const FunctionColumn& f : rt.functions)
            QVERIFY(under(f.interfaces, f.c12, f.c21));
        QCOMPARE(at(caption(rt.pIncludeInc_adv, "c21scatt = ")).left(),
                 at(caption(rt.pIncludeInc_adv, "Specify interfaces")).left());
        QCOMPARE(at(rt.pbC21Scatt).left(), at(rt.eRTSpecifInterface_adv).left());

        show(1);
        QCOMPARE(app.forms->HazeForm->eHazeOtherSpecifyInt->width(),
                 app.forms->HazeForm->eHazeSpecSpecifyInt->width());
    }

    // A message box stays within the screen: long lines and many lines are cut, and the
    // whole text goes into the details, before the details given. The setters of the numeric edit
    // keep their limits (how a value shows by the decimals: the number-text tests); a change of the
    // regional separator rewrites the text once the edit has its message.
    void foldedMessagesSettersRegionalSeparatorAndDropDownWidth() {
        const QString wide = QString("w").repeated(400), many = QString("l\n").repeated(30);
        const struct {
            QString text, details, shown, folded;
        } cases[] = {
            {"short", "", "short", ""},
            {"short", "detail", "short", "detail"},
            {wide, "", QString("w").repeated(159) + QChar(0x2026), wide},
            {many, "d", QString("l\n").repeated(12) + QChar(0x2026), many + "\n\nd"},
        };
        for (const auto& c : cases) {
            const FoldedMessage folded = foldMessage(c.text, c.details);
            QCOMPARE(folded.text, c.shown);
            QCOMPARE(folded.details, c.folded);
        }
        test::TestApp app(false);
        TPBNumEdit edit;
        edit.setValue(1.5);
        QSignalSpy changes(&edit, &QLineEdit::textChanged);
        edit.setValue(1.5); // the same value fires no change
        QCOMPARE(changes.count(), 0);
        edit.setDecimals(3);
        QCOMPARE(edit.text(), "1.500");
        QCOMPARE(changes.count(), 1);
        edit.setDecimals(40);
        QCOMPARE(edit.Decimals(), 14);
        edit.setDecimals(-7);
        QCOMPARE(edit.Decimals(), -1);
        edit.setMaxLength(5);
        edit.setDecimals(6);
        QCOMPARE(edit.Decimals(), 3);
        edit.setMaxValue(20);
        edit.setMinValue(10);
        edit.setMaxValue(5);  // below the minimum: ignored
        edit.setMinValue(30); // above the maximum: ignored
        QCOMPARE(double(edit.MaxValue()), 20.0);
        QCOMPARE(double(edit.MinValue()), 10.0);
        edit.setDecimals(-1);
        edit.setValue(2.5);
        RegionalSettings::instance().setSeparators({',', '.'});
        QCOMPARE(double(edit.Value()), 2.5); // before the message: the remembered separator
        QCoreApplication::sendPostedEvents(&edit);
        QCOMPARE(edit.text(), "2,5");
        QCOMPARE(double(edit.Value()), 2.5);
        RegionalSettings::instance().setSeparators({'.', ','});
        QCoreApplication::sendPostedEvents(&edit);
        QCOMPARE(edit.text(), "2.5");
        // The drop-down list is as wide as its longest item, a scroll bar and the box need.
        TComboBox box;
        box.resize(80, 24);
        box.addItems({"air", "a much longer layer file name"});
        const int longest =
            QFontMetrics(box.view()->font()).horizontalAdvance("a much longer layer file name");
        QCOMPARE(box.dropDownWidth(), longest + 8);
        box.setMaxVisibleItems(1); // more items than the list shows: room for a scroll bar
        QCOMPARE(box.dropDownWidth(),
                 longest + 8 + box.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        box.resize(2000, 24);
        QCOMPARE(box.dropDownWidth(), 2000); // never narrower than the box
    }

    void typingAndLeaving_data() { test::caseRows(kEdits); }
    void typingAndLeaving() {
        const EditCase& c = test::fetchCase(kEdits);
        test::TestApp app(false);
        if (c.separator == ',')
            RegionalSettings::instance().setSeparators({',', '.'});
        QWidget window; // shown and active, with a plain edit to move the focus to
        auto* edit = new TPBNumEdit(&window);
        auto* other = new QLineEdit(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QString start = c.start;
        edit->setDecimals(c.decimals);
        edit->setMaxValue(c.max);
        edit->setMinValue(c.min);
        edit->setReadOnly(c.extra == ReadOnly);
        int calls = 0;
        if (c.extra == Handler)
            edit->OnInvalidEntry = [&] { ++calls; };
        QSignalSpy exits(edit, &TPBNumEdit::exited);
        QStringList notices; // what the status bar would show
        const auto previous = hooks::setNotice([&](const QString& text) { notices << text; });
        edit->setText(QString(start).remove('*'));
        edit->setFocus(Qt::MouseFocusReason);
        if (start.startsWith('*'))
            edit->selectAll();
        QApplication::clipboard()->setText(c.typed);
        if (c.key != Qt::Key_V && c.key != Qt::Key_Menu)
            QTest::keyClicks(edit, c.typed);
        if (c.key == Qt::Key_Menu)
            std::unique_ptr<QMenu>(edit->createContextMenu())
                ->findChild<QAction*>("edit-paste")
                ->trigger();
        else if (c.key)
            QTest::keyClick(edit, c.key,
                            QString("CXV").contains(QChar(c.key)) ? Qt::ControlModifier
                                                                  : Qt::NoModifier);
        if (c.leave) {
            other->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents(); // the focus comes back through the event loop
            QCOMPARE(exits.count(), c.beeps == 0 && c.extra != Handler ? 1 : 0);
            QTRY_COMPARE(edit->hasFocus(), c.beeps > 0); // a clamped entry keeps the focus
        }
        QCOMPARE(edit->text(), c.shown);
        QCOMPARE(
            double(edit->Value()),
            QString(c.shown).remove(c.separator == '.' ? ',' : '.').replace(',', '.').toDouble());
        if (c.clipboard)
            QCOMPARE(QApplication::clipboard()->text(), c.clipboard);
        QCOMPARE(app.beeps, c.beeps);
        QCOMPARE(calls, c.extra == Handler ? 1 : 0);
        hooks::setNotice(previous);
        const std::map<std::string_view, QString> clamped{
            {"left above the maximum",
             "60 is above the largest value of this field, 48: the field now holds 48."},
            {"left below the minimum", "0 is below the smallest value of this field, 0.000001: "
                                       "the field now holds 0.000001."}};
        const auto told = clamped.find(c.name);
        QCOMPARE(notices, told == clamped.end() ? QStringList() : QStringList{told->second});
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
