#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "controls/regional.h"
#include "testapp.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>
#include <QtTest>

using namespace lumetrix;

// A window with a numeric edit and a plain edit to move the focus to.
struct EditWindow {
    QWidget window;
    TPBNumEdit* edit;
    QLineEdit* other;

    EditWindow() {
        auto* layout = new QVBoxLayout(&window);
        edit = new TPBNumEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
    }

    bool ready() { return QTest::qWaitForWindowActive(&window); }

    void typeAndLeave(const QString& keys) {
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, keys);
        other->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents(); // the focus comes back through the event loop
    }
};

class NumEditTest : public QObject {
    Q_OBJECT

private slots:
    void showsValueByDecimals_data() {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("-1 2.5") << -1 << 2.5 << "2.5";
        QTest::newRow("-1 3") << -1 << 3.0 << "3";
        QTest::newRow("-1 0.000001") << -1 << 0.000001 << "0.000001";
        QTest::newRow("2 1") << 2 << 1.0 << "1.00";
        QTest::newRow("0 7") << 0 << 7.0 << "7";
    }
    void showsValueByDecimals() {
        test::TestApp app(false);
        QFETCH(int, decimals);
        QFETCH(double, value);
        QFETCH(QString, shown);
        TPBNumEdit edit;
        edit.setDecimals(decimals);
        edit.setValue(value);
        QCOMPARE(edit.text(), shown);
        QCOMPARE(static_cast<double>(edit.Value()), value);
    }

    void writingTheSameValueDoesNotFireChange() {
        test::TestApp app(false);
        TPBNumEdit edit;
        edit.setValue(2.5);
        QSignalSpy changes(&edit, &QLineEdit::textChanged);
        edit.setValue(2.5);
        QCOMPARE(changes.count(), 0);
        edit.setValue(3);
        QCOMPARE(changes.count(), 1);
    }

    void decimalsChangeReformatsAndIsClamped() {
        test::TestApp app(false);
        TPBNumEdit edit;
        edit.setValue(1.5);
        edit.setDecimals(3);
        QCOMPARE(edit.text(), QStringLiteral("1.500"));
        edit.setDecimals(40);
        QCOMPARE(edit.Decimals(), 14);
        edit.setDecimals(-7);
        QCOMPARE(edit.Decimals(), -1);
        edit.setMaxLength(5);
        edit.setDecimals(6);
        QCOMPARE(edit.Decimals(), 3);
    }

    void leavingOutOfRangeClampsBeepsAndKeepsFocus() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setMaxValue(48);
        w.edit->setMinValue(0);
        w.typeAndLeave(QStringLiteral("60"));
        QCOMPARE(w.edit->text(), QStringLiteral("48"));
        QCOMPARE(app.beeps, 1);
        QTRY_VERIFY(w.edit->hasFocus());
    }

    void leavingBelowTheMinimumSetsTheMinimum() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setMaxValue(100000000);
        w.edit->setMinValue(0.000001);
        w.typeAndLeave(QStringLiteral("0"));
        QCOMPARE(w.edit->text(), QStringLiteral("0.000001"));
        QCOMPARE(app.beeps, 1);
    }

    void noRangeAcceptsAnythingAndNormalises() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.typeAndLeave(QStringLiteral("-123.50"));
        QCOMPARE(w.edit->text(), QStringLiteral("-123.5"));
        QCOMPARE(app.beeps, 0);
        QVERIFY(w.other->hasFocus());
    }

    void inRangeLeavesQuietly() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setMaxValue(48);
        QSignalSpy exits(w.edit, &TPBNumEdit::exited);
        w.typeAndLeave(QStringLiteral("12"));
        QCOMPARE(w.edit->text(), QStringLiteral("12"));
        QCOMPARE(app.beeps, 0);
        QCOMPARE(exits.count(), 1);
    }

    void invalidEntryHandlerReplacesTheClamp() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setMaxValue(10);
        int calls = 0;
        w.edit->OnInvalidEntry = [&] { ++calls; };
        w.typeAndLeave(QStringLiteral("11"));
        QCOMPARE(calls, 1);
        QCOMPARE(w.edit->text(), QStringLiteral("11"));
        QCOMPARE(app.beeps, 0);
    }

    void rangeSettersIgnoreCrossedLimits() {
        test::TestApp app(false);
        TPBNumEdit edit;
        edit.setMaxValue(20);
        edit.setMinValue(10);
        edit.setMaxValue(5);
        QCOMPARE(static_cast<double>(edit.MaxValue()), 20.0);
        edit.setMinValue(30);
        QCOMPARE(static_cast<double>(edit.MinValue()), 10.0);
    }

    void typingFilter() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setFocus();
        w.edit->selectAll();
        QTest::keyClicks(w.edit, QStringLiteral("1x2,5"));
        QCOMPARE(w.edit->text(), QStringLiteral("12.5"));
        QTest::keyClick(w.edit, Qt::Key_Minus);
        QCOMPARE(w.edit->text(), QStringLiteral("-12.5"));
        QTest::keyClick(w.edit, Qt::Key_Backspace);
        QCOMPARE(w.edit->text(), QStringLiteral("-12."));
        w.edit->selectAll();
        QTest::keyClick(w.edit, Qt::Key_Delete);
        QCOMPARE(w.edit->text(), QStringLiteral("0"));
    }

    void readOnlyIsNotFiltered() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setReadOnly(true);
        w.edit->setFocus();
        QTest::keyClicks(w.edit, QStringLiteral("5"));
        QCOMPARE(w.edit->text(), QStringLiteral("0"));
    }

    void pasteObeysTheTypingRules() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        QApplication::clipboard()->setText(QStringLiteral("1a2"));
        w.edit->setFocus();
        w.edit->selectAll();
        QTest::keyClick(w.edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.edit->text(), QStringLiteral("12"));
    }

    void contextMenuPasteObeysTheTypingRules() {
        test::TestApp app(false);
        TPBNumEdit edit;
        QApplication::clipboard()->setText(QStringLiteral("4x5,5"));
        edit.selectAll();
        QMenu* menu = edit.createContextMenu();
        QAction* paste = nullptr;
        QStringList names;
        for (QAction* action : menu->actions()) {
            names << action->objectName();
            if (action->objectName() == QLatin1String("edit-paste"))
                paste = action;
        }
        QVERIFY2(paste, qPrintable(names.join(',')));
        paste->trigger();
        delete menu;
        QCOMPARE(edit.text(), QStringLiteral("45.5"));
    }

    void copyAndCutLeaveNoThousandsSeparator() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setText(QStringLiteral("1,234.5"));
        w.edit->setFocus();
        w.edit->selectAll();
        QTest::keyClick(w.edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1234.5"));
        w.edit->setText(QStringLiteral("987"));
        w.edit->setSelection(1, 2);
        QTest::keyClick(w.edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("87"));
        QCOMPARE(w.edit->text(), QStringLiteral("9"));
    }

    void fixedDecimalsBeepOnTooManyDigits() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setDecimals(2);
        w.edit->setValue(1);
        w.edit->setFocus();
        w.edit->setCursorPosition(4);
        QTest::keyClicks(w.edit, QStringLiteral("5"));
        QCOMPARE(w.edit->text(), QStringLiteral("1.00"));
        QCOMPARE(app.beeps, 1);
    }

    void regionalSeparatorChangeRewritesTheText() {
        test::TestApp app(false);
        TPBNumEdit edit;
        edit.setValue(2.5);
        RegionalSettings::instance().setSeparators({',', '.'});
        // Until the edit has handled its message, reading converts the remembered separator.
        QCOMPARE(static_cast<double>(edit.Value()), 2.5);
        QCoreApplication::sendPostedEvents(&edit);
        QCOMPARE(edit.text(), QStringLiteral("2,5"));
        QCOMPARE(static_cast<double>(edit.Value()), 2.5);
        RegionalSettings::instance().setSeparators({'.', ','});
        QCoreApplication::sendPostedEvents(&edit);
        QCOMPARE(edit.text(), QStringLiteral("2.5"));
    }

    void commaSeparatorTakesCommaNotPoint() {
        test::TestApp app(false);
        RegionalSettings::instance().setSeparators({',', '.'});
        EditWindow w;
        QVERIFY(w.ready());
        w.edit->setFocus();
        w.edit->selectAll();
        QTest::keyClicks(w.edit, QStringLiteral("3.1,4"));
        QCOMPARE(w.edit->text(), QStringLiteral("31,4"));
        QCOMPARE(static_cast<double>(w.edit->Value()), 31.4);
    }

    void dropDownListIsAsWideAsItsLongestItem() {
        test::TestApp app(false);
        TComboBox box;
        box.resize(80, 24);
        box.addItems({QStringLiteral("air"), QStringLiteral("a much longer layer file name")});
        const QFontMetrics metrics(box.view()->font());
        const int longest =
            metrics.horizontalAdvance(QStringLiteral("a much longer layer file name"));
        QCOMPARE(box.dropDownWidth(), longest + 8);
        box.setMaxVisibleItems(1); // more items than the list shows: room for a scroll bar
        QCOMPARE(box.dropDownWidth(),
                 longest + 8 + box.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        box.resize(2000, 24);
        QCOMPARE(box.dropDownWidth(), 2000); // never narrower than the box
    }

    void spinEditWithoutIncrementDoesNotStep() {
        test::TestApp app(false);
        TPBSpinEdit spin;
        spin.setRange(1, 15);
        spin.setValue(3);
        spin.setIncrement(0);
        spin.stepUp();
        spin.stepDown();
        QCOMPARE(spin.value(), 3);
        spin.setIncrement(1);
        spin.stepUp();
        QCOMPARE(spin.value(), 4);
    }

    void spinEditRefusesEnterAndEscape() {
        test::TestApp app(false);
        TPBSpinEdit spin;
        spin.show();
        QTest::keyClick(&spin, Qt::Key_Return);
        QTest::keyClick(&spin, Qt::Key_Escape);
        QCOMPARE(app.beeps, 2);
    }
};

QTEST_MAIN(NumEditTest)
#include "test_numedit.moc"
