// The window on small screens, the mouse wheel, the advanced switch and the looks of the pages;
// the numeric edit, the combo box's drop-down width (the spin edit: the ADF group tests) and the
// folded message box.
#include "core/window_fit.h"
#include "testapp.h"

#include <algorithm>
#include <cmath>

using namespace lumetrix;

namespace {

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

class TestUi : public QObject {
    Q_OBJECT
private slots:
    // Fitted to a 1280 x 720 screen the window keeps its size on every page, RUN stays in the
    // side panel, and the page area scrolls to what lies beyond it. The wheel over a combo box,
    // numeric or spin edit without the focus scrolls and changes nothing, on every page, and
    // gives no focus; with the focus it changes the value.
    void smallScreenWheelAdvancedSwitchAndLineUp() {
        test::TestApp app;
        TMainForm& main = app.activeMain();
        main.applyWindowFit(fitWindow(TMainForm::kClientWidth, TMainForm::kClientHeight, 96, 720));
        TStructureForm& structure = *app.forms->StructureForm;
        app.addLayers(46);
        const auto value = [](const QWidget* w) {
            return w->property("currentIndex").toString() + w->property("text").toString();
        };
        const QSize size = main.size();
        for (int step = 0; step < 2 * TMainForm::kPageCount; ++step) {
            main.setAdvancedFlag(step / 2, step % 2 == 0);
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
        QVERIFY(!main.advancedFlag(5));
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

QTEST_MAIN(TestUi)
#include "test_ui.moc"
