#include "app/aboutform.h"
#include "app/mainform.h"
#include "app/options.h"
#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "core/window_fit.h"
#include "pages/filesform.h"
#include "pages/pageform.h"
#include "pages/structureform.h"
#include "results/results.h"
#include "testapp.h"
#include "tools/toolwindows.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <cmath>

using namespace lumetrix;

namespace {

int pressedButtons(const TMainForm& main) {
    int n = 0;
    for (const TLbSpeedButton* b : main.SideButtons)
        n += b->isChecked() ? 1 : 0;
    return n;
}

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

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithFoldersUnderTheWorkingFolder() {
        test::TestApp app;
        const TMainForm& main = *app.forms->MainForm;
        QCOMPARE(QString::fromStdString(main.FolderSettings.WorkDir),
                 QDir(app.workDir()).canonicalPath());
        QCOMPARE(QString::fromStdString(main.FolderSettings.ListDir),
                 QString::fromStdString(main.FolderSettings.WorkDir) + "/List");
        QCOMPARE(main.windowTitle(), QStringLiteral("Lumetrix v1.2"));
        QVERIFY(main.CurrentFileName.isEmpty());
        QVERIFY(!main.AddOnPresent);
        // The Results page was created after the folders had their defaults.
        QCOMPARE(app.forms->Results->cbIzberiGraf->itemText(1), QStringLiteral("LXOut.rta"));
        QVERIFY(main.LbSpeedButton1->isChecked());
        QCOMPARE(pressedButtons(main), 1);
    }

    void addOnPresentWhenTheLibraryIsBesideTheProgram() {
        test::TestApp app(false);
        writeFile(app.workDir() + "/libLXPro.so", "not really a library");
        app.createForms();
        QVERIFY(app.forms->MainForm->AddOnPresent);
    }

    void firstActivationShowsTheStructurePageOnce() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        QCOMPARE(main.CurrentPage, main.pageForTag(0));
        QCOMPARE(main.Panel3->text(), QStringLiteral("Structure"));
        main.ToolBarClick(main.LbSpeedButton2);
        main.FormActivate(); // a later activation keeps the page
        QCOMPARE(main.Panel3->text(), QStringLiteral("Haze parameters"));
    }

    void switchingShowsPageTitleAndAdvancedSwitch_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("advSwitch");
        QTest::newRow("0") << 0 << "Structure" << true;
        QTest::newRow("1") << 1 << "Haze parameters" << true;
        QTest::newRow("2") << 2 << "Angular Distribution Functions" << true;
        QTest::newRow("3") << 3 << "Total Reflectance and Transmittance" << true;
        QTest::newRow("4") << 4 << "Spectrum" << true;
        QTest::newRow("5") << 5 << "File locations" << true;
        QTest::newRow("6") << 6 << "Additional Settings / Comments" << false;
        QTest::newRow("7") << 7 << "Process window" << false;
        QTest::newRow("8") << 8 << "Results" << false;
    }
    void switchingShowsPageTitleAndAdvancedSwitch() {
        QFETCH(int, tag);
        QFETCH(QString, title);
        QFETCH(bool, advSwitch);
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        main.ToolBarClick(main.SideButtons[tag]);
        QCOMPARE(main.Panel3->text(), title);
        QVERIFY(main.CurrentPage);
        QVERIFY(main.CurrentPage->isVisible());
        QCOMPARE(main.CurrentPage->parentWidget(), main.pageHost());
        QCOMPARE(main.AdvButton->isVisible(), advSwitch);
        QVERIFY(main.SideButtons[tag]->isChecked());
        QCOMPARE(pressedButtons(main), 1);
        int visiblePages = 0;
        for (int t = 0; t < TMainForm::kPageCount; ++t)
            visiblePages += main.pageForTag(t)->isVisible() ? 1 : 0;
        QCOMPARE(visiblePages, 1);
    }

    void sideButtonsStandWhereTheyShould() {
        test::TestApp app;
        const TMainForm& main = *app.forms->MainForm;
        const char* order[] = {"LbSpeedButton1", "LbSpeedButton2", "LbSpeedButton3",
                               "LbSpeedButton4", "LbSpeedButton5", "LbSpeedButton6",
                               "LbSpeedButton9", "LbSpeedButton7", "LbSpeedButton8"};
        for (int tag = 0; tag < TMainForm::kPageCount; ++tag) {
            const TLbSpeedButton* b = main.SideButtons[tag];
            QCOMPARE(b->objectName(), QString::fromLatin1(order[tag]));
            QCOMPARE(b->Tag, tag);
            QCOMPARE(b->geometry(), QRect(0, 104 + 23 * tag, 185, 24));
        }
        QCOMPARE(main.LbSpeedButton9->y(), 242);
        QCOMPARE(main.AdvButton->geometry(), QRect(16, 344, 153, 25));
        QCOMPARE(main.btRun->geometry(), QRect(32, 616, 121, 57));
        QCOMPARE(main.Panel1->width(), 185);
    }

    // Fitted to a 1280 x 720 screen the window keeps its size on every page, RUN stays in the
    // side panel, and the page area scrolls to what lies beyond it.
    void smallScreenScrollsThePageArea() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        main.applyWindowFit(fitWindow(TMainForm::kClientWidth, TMainForm::kClientHeight, 96, 720));
        const QSize size = main.size();
        for (int step = 0; step < 2 * TMainForm::kPageCount; ++step) {
            main.setAdvancedFlag(step / 2, step % 2 == 0);
            main.ToolBarClick(main.SideButtons[step / 2]);
            QCoreApplication::processEvents();
            QCOMPARE(main.size(), size);
        }
        QVERIFY(main.Panel1->rect().contains(main.btRun->geometry()));
        QCOMPARE(main.PageScroll->horizontalScrollBar()->maximum(), 0); // Results: own views
        main.ToolBarClick(main.LbSpeedButton1);
        QWidget* remove = app.forms->StructureForm->LbSpeedButton2;
        main.PageScroll->ensureWidgetVisible(remove, 0, 0);
        const QRect shown(remove->mapTo(main.PageScroll->viewport(), QPoint()), remove->size());
        QVERIFY(main.PageScroll->viewport()->rect().contains(shown));
    }

    // Ctrl+1 to Ctrl+9 show the pages in side-button order, Ctrl+PgDn and Ctrl+PgUp the next and
    // the previous one, as the View menu shows; the lock of a tool window holds for them too.
    void keysSwitchPages() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
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
        QCOMPARE(pressedButtons(main), 1);
    }

    void otherTagsShowNoPage() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        TLbSpeedButton stray(QStringLiteral("stray"));
        stray.Tag = 9;
        main.ToolBarClick(main.LbSpeedButton2);
        main.ToolBarClick(&stray);
        QCOMPARE(main.CurrentPage, static_cast<TPageForm*>(nullptr));
        QVERIFY(main.Panel3->text().isEmpty());
        QVERIFY(!main.pageForTag(1)->isVisible());
    }

    void switchingIsIgnoredWhileTheAboutBoxIsOpen() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        main.ToolBarClick(main.LbSpeedButton1);
        main.About1Click();
        QVERIFY(main.ToolWindowOpen);
        QVERIFY(!main.isEnabled());
        QVERIFY(app.forms->AboutForm->isVisible());
        main.ToolBarClick(main.LbSpeedButton2);
        QCOMPARE(main.Panel3->text(), QStringLiteral("Structure"));
        QVERIFY(main.LbSpeedButton1->isChecked());
        QVERIFY(!main.LbSpeedButton2->isChecked());
        QTest::mouseClick(app.forms->AboutForm, Qt::LeftButton); // a click closes it
        QVERIFY(!app.forms->AboutForm->isVisible());
        QVERIFY(!main.ToolWindowOpen);
        QVERIFY(main.isEnabled());
        main.ToolBarClick(main.LbSpeedButton2);
        QCOMPARE(main.Panel3->text(), QStringLiteral("Haze parameters"));
    }

    void lockingToolWindowsGiveTheWindowBackWhenClosed() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        for (auto open : {&TMainForm::cRcTtransform1Click, &TMainForm::CalculateLPIF1Click}) {
            (main.*open)();
            QVERIFY(main.ToolWindowOpen);
            QVERIFY(!main.isEnabled());
            QWidget* tool = open == &TMainForm::cRcTtransform1Click
                                ? static_cast<QWidget*>(app.forms->cR_cT_Form)
                                : static_cast<QWidget*>(app.forms->LPIF_Form);
            QVERIFY(tool->isVisible());
            QVERIFY(tool->isEnabled()); // the tool window itself stays usable
            tool->close();
            QVERIFY(!main.ToolWindowOpen);
            QVERIFY(main.isEnabled());
        }
        main.Opimisationtool1Click();
        QVERIFY(app.forms->LXOpt_Form->isVisible());
        QVERIFY(!main.ToolWindowOpen);
        QVERIFY(main.isEnabled());
    }

    void advancedLookFollowsEachPagesFlag() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        main.ToolBarClick(main.LbSpeedButton2);
        QCOMPARE(main.AdvButton->text(), kShowAdvanced);
        QCOMPARE(main.AdvButton->look().color, QColor(122, 168, 224));
        QVERIFY(!main.AdvButton->isChecked());
        main.AdvButtonClick();
        QVERIFY(main.advancedFlag(1));
        QCOMPARE(main.AdvButton->text(), kHideAdvanced);
        QCOMPARE(main.AdvButton->look().color, QColor(208, 224, 244));
        QCOMPARE(main.AdvButton->look().textColor, QColor(10, 36, 106)); // readable on it
        QVERIFY(main.AdvButton->isChecked());
        main.ToolBarClick(main.LbSpeedButton1);
        QCOMPARE(main.AdvButton->text(), kShowAdvanced);
        main.ToolBarClick(main.LbSpeedButton8);
        QVERIFY(!main.AdvButton->isVisible());
        main.ToolBarClick(main.LbSpeedButton2);
        QVERIFY(main.AdvButton->isVisible());
        QCOMPARE(main.AdvButton->text(), kHideAdvanced);
        main.AdvButtonClick();
        QVERIFY(!main.advancedFlag(1));
        QCOMPARE(main.AdvButton->text(), kShowAdvanced);
    }

    // Both looks of the advanced switch are readable in every state (text on background at
    // least 4.5:1), and both captions fit between its edges (2) with a padding of 4.
    void advancedSwitchIsReadable() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.ToolBarClick(main.LbSpeedButton1);
        for (int click = 0; click < 2; ++click, main.AdvButtonClick()) {
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
        }
    }

    void advancedSwitchReRunsTheShowHandler() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        main.ToolBarClick(main.LbSpeedButton6);
        TFilesForm& files = *app.forms->FilesForm;
        QVERIFY(!files.AdvPanel->isVisible());
        main.AdvButtonClick();
        QVERIFY(files.AdvPanel->isVisible());
        main.AdvButtonClick();
        QVERIFY(!files.AdvPanel->isVisible());
    }

    void runShowsTheResultsPage() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        QTest::mouseClick(main.btRun, Qt::LeftButton);
        QCOMPARE(main.Panel3->text(), QStringLiteral("Results"));
        QCOMPARE(main.CurrentPage, main.pageForTag(8));
        QVERIFY(main.LbSpeedButton8->isChecked());
        QCOMPARE(pressedButtons(main), 1);
    }

    void sideButtonsSwitchOnMouseDown() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        QTest::mousePress(main.LbSpeedButton5, Qt::LeftButton);
        QCOMPARE(main.Panel3->text(), QStringLiteral("Spectrum"));
        QTest::mouseRelease(main.LbSpeedButton5, Qt::LeftButton);
        QVERIFY(main.LbSpeedButton5->isChecked()); // a click never unpresses the button
        QCOMPARE(pressedButtons(main), 1);
    }

    void keysReachTheFilesPageExceptP() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        TFilesForm& files = *app.forms->FilesForm;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.ToolBarClick(main.LbSpeedButton6);
        main.AdvButtonClick();
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(files.btDefault, &enter);
        QVERIFY(files.overDefaultButton());
        files.eOutFileName->setFocus();
        // Ctrl is held (as the keyboard state tells); only the P key itself is sent.
        app.modifiers = Qt::ControlModifier;
        QTest::keyPress(files.eOutFileName, Qt::Key_P);
        QCOMPARE(files.btDefault->text(), kAssignPaths);
        QTest::keyPress(files.eOutFileName, Qt::Key_A);
        QCOMPARE(files.btDefault->text(), kAssignAllPaths);
        app.modifiers = Qt::NoModifier;
        QTest::keyRelease(files.eOutFileName, Qt::Key_Control);
        QCOMPARE(files.btDefault->text(), kAssignPaths);
    }

    void premakniFocusParksOnRun() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.ToolBarClick(main.LbSpeedButton6);
        app.forms->FilesForm->eOutFileName->setFocus();
        QTest::mouseClick(main.Panel1, Qt::LeftButton, {}, QPoint(90, 500));
        QVERIFY(main.btRun->hasFocus());
    }

    void loadComboListKeepsTextAndSelectsItsItem() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        QComboBox box;
        box.setEditable(true);
        box.setEditText(QStringLiteral("CdS"));
        main.comboLists().LoadComboList(&box, app.workDir() + "/List/layer.dat");
        QCOMPARE(box.itemText(0), QStringLiteral("air")); // no CR left from the CR LF file
        QCOMPARE(box.currentText(), QStringLiteral("CdS"));
        QCOMPARE(box.itemText(box.currentIndex()), QStringLiteral("CdS"));

        box.setEditText(QStringLiteral("cds")); // matching is case-sensitive
        main.comboLists().LoadComboList(&box, app.workDir() + "/List/layer.dat");
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(box.currentText(), QStringLiteral("cds"));
        QVERIFY(app.dialogs.calls.isEmpty());
    }

    void loadComboListFailureLeavesTheList() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        QComboBox box;
        box.addItems({QStringLiteral("one"), QStringLiteral("two")});
        box.setCurrentIndex(1);
        const QString missing = app.workDir() + "/List/missing.dat";
        main.comboLists().LoadComboList(&box, missing);
        QCOMPARE(app.dialogs.calls.size(), 1);
        QCOMPARE(app.dialogs.calls[0].icon, DialogIcon::Error);
        QVERIFY(app.dialogs.calls[0].text.startsWith("Cannot open file \"" + missing + "\""));
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.currentIndex(), 1);

        writeFile(app.workDir() + "/List/binary.dat", QByteArray("air\nM\0o\n", 8));
        main.comboLists().LoadComboList(&box, app.workDir() + "/List/binary.dat");
        QCOMPARE(app.dialogs.calls.size(), 2);
        QVERIFY(app.dialogs.calls[1].text.contains(QStringLiteral("Line 2")));
        QCOMPARE(box.count(), 2);
    }

    void selectComboTextWalksFromTheFirstItem() {
        test::TestApp app;
        QComboBox box;
        box.setEditable(true);
        box.addItems({QStringLiteral("Mo"), QStringLiteral("CIGS"), QStringLiteral("CIGS")});
        box.setEditText(QStringLiteral("CIGS"));
        box.setCurrentIndex(-1);
        box.setEditText(QStringLiteral("CIGS"));
        ComboLists::SelectComboText(&box);
        QCOMPARE(box.currentIndex(), 1);
        box.setEditText(QStringLiteral("glass"));
        ComboLists::SelectComboText(&box);
        QCOMPARE(box.currentIndex(), 1); // no equal item: the selection stays
    }

    void menusCarryTheirCaptions() {
        test::TestApp app;
        const TMainForm& main = *app.forms->MainForm;
        QCOMPARE(main.New1->text(), QStringLiteral("&New"));
        QCOMPARE(main.Importinputfile1->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(main.Exportinputfile1->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(main.SaveAs1->text(), QStringLiteral("Save input file &As"));
        QVERIFY(!main.Printinputfile1->isEnabled());
        QCOMPARE(main.Exit1->text(), QStringLiteral("E&xit"));
        QCOMPARE(main.File1->actions().last(), main.Exit1);
        QCOMPARE(main.ools1->title(), QStringLiteral("&Tools"));
        QCOMPARE(main.Opimisationtool1->text(), QStringLiteral("&Opimisation tool"));
        QCOMPARE(main.Help1->actions().size(), 3);
        QVERIFY(main.Associatedatfiles1->isVisible());
    }

    void commandLine() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("wd")));
        // Every path is taken from the caller's folder, whatever the process's folder is.
        const CommandLine ok = parseCommandLine(
            {QStringLiteral("--workdir"), QStringLiteral("wd"), QStringLiteral("a.dat")},
            dir.path());
        QVERIFY(ok.error.isEmpty());
        QCOMPARE(ok.workDir, dir.filePath(QStringLiteral("wd")));
        QCOMPARE(ok.files, QStringList{dir.filePath(QStringLiteral("a.dat"))});
        const CommandLine batch =
            parseCommandLine({QStringLiteral("--batch-save"), QStringLiteral("../out.dat"),
                              QStringLiteral("/x/in.dat")},
                             dir.filePath(QStringLiteral("wd")));
        QCOMPARE(batch.batchOut, dir.filePath(QStringLiteral("out.dat")));
        QCOMPARE(batch.batchIn, QStringLiteral("/x/in.dat"));
        const CommandLine missing =
            parseCommandLine({QStringLiteral("--workdir"), QStringLiteral("nope")}, dir.path());
        QVERIFY(missing.error.contains(QStringLiteral("does not exist")));
        QVERIFY(!parseCommandLine({QStringLiteral("--workdir")}, dir.path()).error.isEmpty());
        QVERIFY(parseCommandLine({}, dir.path()).files.isEmpty());
    }
};

QTEST_MAIN(MainFormTest)
#include "test_mainform.moc"
