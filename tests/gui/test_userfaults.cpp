// What a new user meets: work kept on close, numbers checked on every save.
#include "app/forms.h"
#include "app/mainform.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "core/inputfile_reader.h"
#include "pages/spectrumform.h"
#include "pages/structureform.h"
#include "pages/tekstform.h"
#include "testapp.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QtTest>

using namespace lumetrix;

namespace {

// The main window shown and active, with one layer (row 2) to edit.
TMainForm& activeMain(test::TestApp& app) {
    TMainForm& main = *app.forms->MainForm;
    main.show();
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        qWarning("the main window did not become active");
    main.FormActivate();
    app.dialogs.calls.clear(); // the test folder has no start project
    return main;
}

} // namespace

class TestUserFaults : public QObject {
    Q_OBJECT
private slots:
    // Closing runs the dirty check: Yes saves, No discards, Cancel keeps the window.
    void closingAsksAboutUnsavedWork_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << int(DialogButton::Yes) << true << true;
        QTest::newRow("No") << int(DialogButton::No) << true << false;
        QTest::newRow("Cancel") << int(DialogButton::Cancel) << false << false;
    }
    void closingAsksAboutUnsavedWork() {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        test::TestApp app;
        TMainForm& main = activeMain(app);
        const QString path = app.tempPath("p.dat");
        QVERIFY(main.SaveInputFile(path));
        main.CurrentFileName = path;
        main.BaselineList.clear();
        app.forms->StructureForm->pbAddRemoveLayer->setValue(1);
        const QByteArray before = [&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        app.dialogs.answerMessage(DialogButton(answer));
        main.Exit1->trigger();
        QCOMPARE(app.dialogs.messageTexts(),
                 QStringList("Do you want to save changes you made to '" + path + "'?"));
        QCOMPARE(main.isVisible(), !closed);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll() != before, saved);
    }

    // A number typed beyond its range is clamped before any command writes it.
    void everySaveClampsTheTypedNumber_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("Save As") << QStringLiteral("SaveAs1");
        QTest::newRow("Save") << QStringLiteral("Exportinputfile1");
    }
    void everySaveClampsTheTypedNumber() {
        QFETCH(QString, command);
        test::TestApp app;
        TMainForm& main = activeMain(app);
        main.CurrentFileName = app.tempPath("named.dat");
        TStructureForm& structure = *app.forms->StructureForm;
        structure.pbAddRemoveLayer->setValue(1);
        TPBNumEdit* thickness = structure.row(2).thickness;
        thickness->setFocus(Qt::MouseFocusReason);
        thickness->selectAll();
        QTest::keyClicks(thickness, QStringLiteral("99999999999"));
        QCOMPARE(thickness->text(), QStringLiteral("99999999999"));

        const QString path = command == "SaveAs1" ? app.tempPath("as.dat") : main.CurrentFileName;
        app.dialogs.answerFile(path);
        app.dialogs.answerMessage(DialogButton::Yes);
        main.findChild<QAction*>(command)->trigger();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(!text.contains("99999999999"));
        QVERIFY(text.contains(" 10000000 "));
    }

    // Comments up to the limits open and show; one character more is refused with the limit
    // and the line named, and the open project stays.
    void commentLimits_data() {
        QTest::addColumn<int>("lineLength");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("refusal");
        const int longest = int(kMaxCommentLineLength);
        const int mostLines = int(kMaxCommentBytes) / (longest + 1);
        QTest::newRow("longest lines, most text") << longest << mostLines << QString();
        QTest::newRow("a line too long")
            << longest + 1 << 3 << QStringLiteral("longer than 4096 characters");
        QTest::newRow("too much text")
            << 100 << int(kMaxCommentBytes) / 100 << QStringLiteral("longer than 1048576 bytes");
    }
    void commentLimits() {
        QFETCH(int, lineLength);
        QFETCH(int, lines);
        QFETCH(QString, refusal);
        test::TestApp app;
        TMainForm& main = activeMain(app);
        const QString path = app.tempPath("c.dat");
        QVERIFY(main.SaveInputFile(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        const int commentsStart = int(main.BaselineList.size()) + 1;
        for (int i = 0; i < lines; ++i)
            file.write(QByteArray(lineLength, 'a' + char(i % 26)) + "\r\n");
        file.close();
        const bool opened = main.OpenInputFile(path);
        QCOMPARE(opened, refusal.isEmpty());
        if (opened) {
            QCOMPARE(app.forms->TekstForm->TekstMemo->blockCount(), lines + 1);
            return;
        }
        const QString message = app.dialogs.messageTexts().last();
        QVERIFY2(message.contains(refusal), qPrintable(message));
        QVERIFY2(message.contains(QRegularExpression("Line \\d+: ")), qPrintable(message));
        if (lineLength > int(kMaxCommentLineLength))
            QVERIFY2(message.contains(QStringLiteral("Line %1: ").arg(commentsStart)),
                     qPrintable(message));
        QVERIFY(app.forms->TekstForm->TekstMemo->toPlainText().isEmpty());
    }

    // A range the add-on refuses, or a spectrum file that is missing, is told once at the save.
    void refusedSpectrumRangeIsToldOnce_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<QString>("spectrum");
        QTest::addColumn<QString>("reason");
        QTest::newRow("From above To") << 900.0 << "AM15"
                                       << "the range from 900 to 600 nm is empty";
        QTest::newRow("missing file") << 400.0 << "nosuch"
                                      << "nosuch.spk";
    }
    void refusedSpectrumRangeIsToldOnce() {
        QFETCH(double, from);
        QFETCH(QString, spectrum);
        QFETCH(QString, reason);
        test::TestApp app(false);
        QVERIFY(QFile::copy(QStringLiteral(LUMETRIX_ADDON_PATH), app.workDir() + "/libLXPro.so"));
        app.createForms();
        TMainForm& main = activeMain(app);
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        sp.ProPanel->findChild<QDoubleSpinBox*>(QStringLiteral("LXProFrom"))->setValue(from);
        sp.ProPanel->findChild<QDoubleSpinBox*>(QStringLiteral("LXProTo"))->setValue(600);
        sp.cbSpekter->setEditText(spectrum);
        sp.cbManually->setChecked(true);
        QVERIFY(main.SaveInputFile(app.tempPath("s.dat")));
        const QStringList messages = app.dialogs.messageTexts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(reason), qPrintable(messages[0]));
        QVERIFY(messages[0].endsWith("the full spectrum \"" + spectrum + "\" was written."));
    }

    // A working folder without its listing files: one box names them all.
    void missingListingFilesInOneBox() {
        test::TestApp app(false);
        QDir work(app.workDir());
        for (const QString& name : QDir(app.workDir() + "/List").entryList({"*.dat"}))
            QVERIFY(QFile::remove(app.workDir() + "/List/" + name));
        QVERIFY(work.remove("ADF1.dat") && work.remove("ADF2.dat"));
        app.createForms();
        const QStringList messages = app.dialogs.messageTexts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith("7 listing files cannot be read:"),
                 qPrintable(messages[0]));
        for (const char* name : {"layer.dat", "ReflCal.dat", "Spectrum.dat", "ADF2.dat"})
            QVERIFY2(messages[0].contains(QLatin1String(name)), name);
    }

    // A recent entry whose file is gone is said so first, and leaves the list and the project.
    void recentEntryWhoseFileIsGone() {
        test::TestApp app;
        TMainForm& main = activeMain(app);
        RecentList list;
        const std::string gone = app.tempPath("gone.dat").toStdString();
        list.use(app.tempPath("kept.dat").toStdString());
        list.use(gone);
        main.setRecentList(list);
        app.forms->StructureForm->pbAddRemoveLayer->setValue(1); // unsaved work
        const int rows = app.forms->StructureForm->rowCount();
        main.SelectRecent(1);
        QCOMPARE(app.dialogs.messageTexts(),
                 QStringList("The file \"" + QString::fromStdString(gone) +
                             "\" no longer exists; it is removed from the list."));
        QCOMPARE(main.recentList().paths(), std::vector<std::string>{list.paths()[1]});
        QCOMPARE(app.forms->StructureForm->rowCount(), rows);
    }
};

QTEST_MAIN(TestUserFaults)
#include "test_userfaults.moc"
