// What a new user meets: work kept on close, numbers checked on every save.
#include "app/forms.h"
#include "app/mainform.h"
#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "core/inputfile_reader.h"
#include "pages/adfform.h"
#include "pages/filesform.h"
#include "pages/hazeform.h"
#include "pages/reftransform.h"
#include "pages/structureform.h"
#include "pages/tekstform.h"
#include "testapp.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
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

    // The wheel over a combo box, numeric or spin edit without the focus scrolls and changes
    // nothing, on every page, and gives no focus; with the focus it changes the value.
    void wheelOverAValueControlScrolls() {
        test::TestApp app;
        TMainForm& main = activeMain(app);
        TStructureForm& structure = *app.forms->StructureForm;
        while (structure.rowCount() < 48) { // ADD pressed and let go
            structure.LbSpeedButton1MouseDown();
            structure.LbSpeedButton1MouseUp();
        }
        const auto shown = [](const QWidget* w) {
            return w->property("currentIndex").toString() + w->property("text").toString();
        };
        for (int tag = TMainForm::kPageCount - 1; tag >= 0; --tag) {
            main.setAdvancedFlag(tag, true);
            main.ToolBarClick(main.SideButtons[tag]);
            main.PremakniFocus();
            for (QWidget* w : main.CurrentPage->findChildren<QWidget*>()) {
                if (!qobject_cast<TComboBox*>(w) && !qobject_cast<TPBSpinEdit*>(w) &&
                    !qobject_cast<TPBNumEdit*>(w))
                    continue;
                const QString before = shown(w);
                QVERIFY(turnWheel(w) != w && shown(w) == before);
                QVERIFY((w->focusPolicy() & Qt::WheelFocus) != Qt::WheelFocus);
            }
        }
        QVERIFY(structure.ScrollBox1->verticalScrollBar()->value() > 0);
        TComboBox* layer = structure.row(20).layerFile;
        const QString before = shown(layer);
        layer->setFocus();
        QVERIFY(turnWheel(layer) == layer && shown(layer) != before);
    }

    // Controls that stood out of line on the Files, ADF, reflectance and Haze pages.
    void pagesLineUp() {
        test::TestApp app;
        TMainForm& main = activeMain(app);
        for (QCheckBox* box : main.findChildren<QCheckBox*>())
            box->setChecked(true); // every switched panel shown
        const auto show = [&](int tag) {
            main.setAdvancedFlag(tag, true);
            main.ToolBarClick(main.SideButtons[tag]);
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
};

QTEST_MAIN(TestUserFaults)
#include "test_userfaults.moc"
