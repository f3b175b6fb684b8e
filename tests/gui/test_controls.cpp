// The numeric edit and the combo box's drop-down width (the spin edit: the ADF group tests).
#include "testapp.h"

using namespace lumetrix;

namespace {

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

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    // The setters keep their limits (how a value shows by the decimals: the number-text tests);
    // a change of the regional separator rewrites the text once the edit has its message.
    // A message box stays within the screen: long lines and many lines are cut, and the
    // whole text goes into the details, before the details given.
    void foldedMessages() {
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
    }

    void settersRegionalSeparatorAndDropDownWidth() {
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
    }
};

QTEST_MAIN(ControlsTest)
#include "test_controls.moc"
