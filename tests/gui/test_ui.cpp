// The window on small screens, the mouse wheel, the advanced switch and the looks of the pages.
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
};

QTEST_MAIN(TestUi)
#include "test_ui.moc"
