// The numeric edit, the combo box's drop-down width and the spin edit.
#include "testapp.h"

using namespace lumetrix;

namespace {

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
};

const struct LeavingCase {
    const char* name;
    double min, max;
    bool handler; // an OnInvalidEntry handler is set
    const char *typed, *shown;
    int beeps;
} kLeaving[] = {
    {"above the maximum", 0, 48, false, "60", "48", 1},
    {"below the minimum", 0.000001, 1e8, false, "0", "0.000001", 1},
    {"no range", 0, 0, false, "-123.50", "-123.5", 0},
    {"in range", 0, 48, false, "12", "12", 0},
    {"handler instead of the clamp", 0, 10, true, "11", "11", 0},
};

const struct TypingCase {
    const char* name;
    bool comma; // the decimal separator
    int decimals;
    const char* start;
    bool selectAll; // else the caret stands at the end
    bool readOnly;
    const char* clipboard;
    const char* typed;
    Qt::Key key; // then pressed (V with Ctrl)
    const char* shown;
    int beeps;
} kTyping[] = {
    {"letters dropped, comma read as point", false, -1, "", true, false, "", "1x2,5",
     Qt::Key_unknown, "12.5", 0},
    {"minus toggles the sign", false, -1, "12.5", false, false, "", "-", Qt::Key_unknown, "-12.5",
     0},
    {"backspace", false, -1, "-12.5", false, false, "", "", Qt::Key_Backspace, "-12.", 0},
    {"all deleted gives 0", false, -1, "-12.5", true, false, "", "", Qt::Key_Delete, "0", 0},
    {"read-only", false, -1, "0", true, true, "", "5", Qt::Key_unknown, "0", 0},
    {"paste filtered", false, -1, "", true, false, "1a2", "", Qt::Key_V, "12", 0},
    {"digit beyond the decimals", false, 2, "1.00", false, false, "", "5", Qt::Key_unknown, "1.00",
     1},
    {"comma separator", true, -1, "", true, false, "", "3.1,4", Qt::Key_unknown, "31,4", 0},
};

} // namespace

class ControlsTest : public QObject {
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
        TPBNumEdit edit;
        edit.setDecimals(decimals);
        edit.setValue(value);
        QTEST(edit.text(), "shown");
        QCOMPARE(static_cast<double>(edit.Value()), value);
    }

    void settersKeepTheirLimits() {
        test::TestApp app(false);
        TPBNumEdit edit;
        edit.setValue(1.5);
        QSignalSpy changes(&edit, &QLineEdit::textChanged);
        edit.setValue(1.5); // the same value fires no change
        QCOMPARE(changes.count(), 0);
        edit.setDecimals(3);
        QCOMPARE(edit.text(), QStringLiteral("1.500"));
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
        edit.setMaxValue(5); // below the minimum: ignored
        QCOMPARE(static_cast<double>(edit.MaxValue()), 20.0);
        edit.setMinValue(30); // above the maximum: ignored
        QCOMPARE(static_cast<double>(edit.MinValue()), 10.0);
    }

    void leavingTheEdit_data() { test::caseRows(kLeaving); }
    void leavingTheEdit() {
        QFETCH(int, index);
        const LeavingCase& c = kLeaving[index];
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.edit->setMaxValue(c.max);
        w.edit->setMinValue(c.min);
        int calls = 0;
        if (c.handler)
            w.edit->OnInvalidEntry = [&] { ++calls; };
        QSignalSpy exits(w.edit, &TPBNumEdit::exited);
        w.edit->setFocus(Qt::MouseFocusReason);
        w.edit->selectAll();
        QTest::keyClicks(w.edit, c.typed);
        w.other->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents(); // the focus comes back through the event
                                           // loop
        QCOMPARE(w.edit->text(), QString::fromLatin1(c.shown));
        QCOMPARE(app.beeps, c.beeps);
        QCOMPARE(calls, c.handler ? 1 : 0);
        QCOMPARE(exits.count(), c.beeps == 0 && !c.handler ? 1 : 0);
        QTRY_COMPARE(w.edit->hasFocus(),
                     c.beeps > 0); // a clamped entry keeps the focus
    }

    void typing_data() { test::caseRows(kTyping); }
    void typing() {
        QFETCH(int, index);
        const TypingCase& c = kTyping[index];
        test::TestApp app(false);
        if (c.comma)
            RegionalSettings::instance().setSeparators({',', '.'});
        EditWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.edit->setDecimals(c.decimals);
        w.edit->setText(c.start);
        w.edit->setReadOnly(c.readOnly);
        QApplication::clipboard()->setText(c.clipboard);
        w.edit->setFocus();
        if (c.selectAll)
            w.edit->selectAll();
        else
            w.edit->setCursorPosition(static_cast<int>(strlen(c.start)));
        QTest::keyClicks(w.edit, c.typed);
        if (c.key != Qt::Key_unknown)
            QTest::keyClick(w.edit, c.key,
                            c.key == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(w.edit->text(), QString::fromLatin1(c.shown));
        QCOMPARE(static_cast<double>(w.edit->Value()),
                 QString(c.shown).replace(',', '.').toDouble());
        QCOMPARE(app.beeps, c.beeps);
    }

    void clipboardCommands() {
        test::TestApp app(false);
        EditWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        // Copy and cut leave no thousands separator; cut removes the selection.
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
        // The edit's own context menu pastes by the typing rules too.
        QApplication::clipboard()->setText(QStringLiteral("4x5,5"));
        w.edit->selectAll();
        std::unique_ptr<QMenu> menu(w.edit->createContextMenu());
        QAction* paste = nullptr;
        for (QAction* action : menu->actions())
            if (action->objectName() == QLatin1String("edit-paste"))
                paste = action;
        QVERIFY(paste);
        paste->trigger();
        QCOMPARE(w.edit->text(), QStringLiteral("45.5"));
    }

    void regionalSeparatorChangeRewritesTheText() {
        test::TestApp app(false);
        TPBNumEdit edit;
        edit.setValue(2.5);
        RegionalSettings::instance().setSeparators({',', '.'});
        // Until the edit has handled its message, reading converts the remembered
        // separator.
        QCOMPARE(static_cast<double>(edit.Value()), 2.5);
        QCoreApplication::sendPostedEvents(&edit);
        QCOMPARE(edit.text(), QStringLiteral("2,5"));
        QCOMPARE(static_cast<double>(edit.Value()), 2.5);
        RegionalSettings::instance().setSeparators({'.', ','});
        QCoreApplication::sendPostedEvents(&edit);
        QCOMPARE(edit.text(), QStringLiteral("2.5"));
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

    void spinEdit() {
        test::TestApp app(false);
        TPBSpinEdit spin;
        spin.setRange(1, 15);
        spin.setValue(3);
        spin.setIncrement(0); // no increment: no step
        spin.stepUp();
        spin.stepDown();
        QCOMPARE(spin.value(), 3);
        spin.setIncrement(1);
        spin.stepUp();
        QCOMPARE(spin.value(), 4);
        spin.show();
        QTest::keyClick(&spin, Qt::Key_Return); // Enter and Escape are refused
        QTest::keyClick(&spin, Qt::Key_Escape);
        QCOMPARE(app.beeps, 2);
    }
};

QTEST_MAIN(ControlsTest)
#include "test_controls.moc"
