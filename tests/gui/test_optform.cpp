// The optimisation window: its defaults and limits, which panels the parameter switches
// enable, the settings it gives the kernel, what RUN refuses, and a run of the stand-in kernel
// of tests/kernel_double with its progress, best line, failure and STOP.
#include "testapp.h"

#include <QtTest>
#include <functional>

using namespace lumetrix;
using kernel::OptimisedParameter;
using kernel::OptimiseSettings;

namespace {

using P = OptimisedParameter;

class Kernel {
public:
    Kernel(const char* mode, int iterations, int delayMs) {
        qputenv("LUMETRIX_KERNEL", LUMETRIX_KERNEL_DOUBLE);
        qputenv("LUMETRIX_DOUBLE", mode);
        qputenv("LUMETRIX_DOUBLE_ROWS", QByteArray::number(iterations));
        qputenv("LUMETRIX_DOUBLE_DELAY_MS", QByteArray::number(delayMs));
    }
    ~Kernel() {
        for (const char* name : {"LUMETRIX_KERNEL", "LUMETRIX_DOUBLE", "LUMETRIX_DOUBLE_ROWS",
                                 "LUMETRIX_DOUBLE_DELAY_MS"})
            qunsetenv(name);
    }
};

QStringList linesOf(const OptimiseSettings& settings) {
    QStringList out;
    for (const std::string& line : kernel::optimiseSettingsLines(settings))
        out << QString::fromStdString(line);
    return out;
}

// Switches a parameter on as a click does.
void switchOn(QCheckBox* box) {
    if (!box->isChecked())
        box->click();
}

struct SettingsCase {
    const char* name;
    std::function<void(TLXOpt_Form&)> choose;
    std::function<void(OptimiseSettings&)> expected; // on top of the defaults
};

const SettingsCase kSettingsCases[] = {
    {"thickness absolute, maximal Jsc",
     [](TLXOpt_Form& f) {
         f.eOpt_layers->setText("2");
         switchOn(f.cbThickness);
         f.eThickness->setValue(2);
         f.pbThickness_a->setValue(100);
         f.pbThickness_b->setValue(900.5L);
     },
     [](OptimiseSettings& s) {
         s.layers = {3};
         s.parameters = {{P::Kind::Thickness, {3}, P::Interval::Absolute, 100, 900.5}};
     }},
    {"thickness relative nm, R minimal",
     [](TLXOpt_Form& f) {
         f.eOpt_layers->setText("0");
         f.rbMin_Jsc->setChecked(true);
         switchOn(f.cbThickness);
         f.rbThickness2->setChecked(true);
         f.pbThickness_a->setValue(20);
         f.pbThickness_b->setValue(30);
     },
     [](OptimiseSettings& s) {
         s.criterion = OptimiseSettings::Criterion::Min;
         s.layers = {0};
         s.parameters = {{P::Kind::Thickness, {2}, P::Interval::RelativeNm, -20, 30}};
     }},
    {"roughness of two interfaces in percent, difference of two layers",
     [](TLXOpt_Form& f) {
         f.eOpt_layers->setText("1, 3");
         f.rbMin_diff_Jsc->setChecked(true);
         switchOn(f.cbRoughness);
         f.eRoughness->setText("1 4");
         f.rbRoughness3->setChecked(true);
         f.pbRoughness_a->setValue(50);
         f.pbRoughness_b->setValue(25);
     },
     [](OptimiseSettings& s) {
         s.criterion = OptimiseSettings::Criterion::MinDiff;
         s.layers = {2, 4};
         s.parameters = {{P::Kind::Roughness, {0, 3}, P::Interval::RelativePercent, -50, 25}};
     }},
    {"n and k in band-gap eV, annealing, all files",
     [](TLXOpt_Form& f) {
         f.eOpt_layers->setText("1 2");
         switchOn(f.cbRefractive);
         f.eRefractive->setValue(1);
         f.pbRefractive_a->setValue(10);
         f.pbRefractive_b->setValue(5);
         switchOn(f.cbExtinction);
         f.eExtinction->setValue(2);
         f.rbExtinction3->setChecked(true);
         f.pbExtinction_a->setValue(0.2L);
         f.pbExtinction_b->setValue(0.1L);
         f.rbMethod1->setChecked(true);
         f.rbIO_2->setChecked(true);
     },
     [](OptimiseSettings& s) {
         s.layers = {2, 3};
         s.parameters = {{P::Kind::N, {2}, P::Interval::RelativePercent, -10, 5},
                         {P::Kind::K, {3}, P::Interval::GapEv, -0.2, 0.1}};
         s.method = OptimiseSettings::Method::AnnealHigh;
         s.output = 2;
     }},
    {"k in band-gap percent, constant steps, stop rule, main files",
     [](TLXOpt_Form& f) {
         f.eOpt_layers->setText("1");
         switchOn(f.cbExtinction);
         f.eExtinction->setValue(1);
         f.rbExtinction2->setChecked(true);
         f.pbExtinction_a->setValue(3);
         f.pbExtinction_b->setValue(4);
         f.rbMethod5->setChecked(true);
         f.pbSteps->setValue(25);
         f.pbPrecision->setValue(0.5L);
         f.rbIO_1->setChecked(true);
     },
     [](OptimiseSettings& s) {
         s.layers = {2};
         s.parameters = {{P::Kind::K, {2}, P::Interval::GapPercent, -3, 4}};
         s.method = OptimiseSettings::Method::Steps;
         s.steps = 25;
         s.stop = 0.5;
         s.output = 1;
     }},
    {"a switched-off parameter is left out",
     [](TLXOpt_Form& f) {
         f.eOpt_layers->setText("1");
         switchOn(f.cbThickness);
         f.pbThickness_b->setValue(10);
         switchOn(f.cbRoughness);
         f.eRoughness->setText("2");
         f.cbRoughness->click();
         f.rbMethod2->setChecked(true);
     },
     [](OptimiseSettings& s) {
         s.layers = {2};
         s.parameters = {{P::Kind::Thickness, {2}, P::Interval::Absolute, 0, 10}};
         s.method = OptimiseSettings::Method::AnnealNormal;
     }},
};

struct RefusalCase {
    const char* name;
    std::function<void(TLXOpt_Form&)> choose;
    const char* message; // part of the message RUN shows
};

// Starts from layer 1 chosen and its thickness switched on from 0 to 10 nm, which RUN takes.
const RefusalCase kRefusalCases[] = {
    {"no layer", [](TLXOpt_Form& f) { f.eOpt_layers->clear(); },
     "Specify the layer(s) whose Jsc<photo> is optimised"},
    {"a layer that is no number", [](TLXOpt_Form& f) { f.eOpt_layers->setText("1 x"); },
     "Specify the layer(s) whose Jsc<photo> is optimised"},
    {"a negative layer", [](TLXOpt_Form& f) { f.eOpt_layers->setText("-1"); },
     "Specify the layer(s)"},
    {"difference of one layer", [](TLXOpt_Form& f) { f.rbMin_diff_Jsc->setChecked(true); },
     "exactly two layers"},
    {"no parameter", [](TLXOpt_Form& f) { f.cbThickness->click(); },
     "Switch on at least one optimisation parameter."},
    {"thickness of layer 0", [](TLXOpt_Form& f) { f.eThickness->setValue(0); },
     "Specify the layer No. whose thickness is optimised"},
    {"empty absolute interval", [](TLXOpt_Form& f) { f.pbThickness_a->setValue(10); },
     "The interval of the thickness variation is empty"},
    {"empty relative interval",
     [](TLXOpt_Form& f) {
         f.rbThickness3->setChecked(true);
         f.pbThickness_a->setValue(-5);
         f.pbThickness_b->setValue(5);
     },
     "The interval of the thickness variation is empty"},
    {"roughness without interfaces", [](TLXOpt_Form& f) { switchOn(f.cbRoughness); },
     "Specify the interface No(s). whose roughness is optimised"},
    {"roughness of interface 0",
     [](TLXOpt_Form& f) {
         switchOn(f.cbRoughness);
         f.eRoughness->setText("0");
     },
     "Specify the interface No(s)."},
    {"refractive index of the default layer 0", [](TLXOpt_Form& f) { switchOn(f.cbRefractive); },
     "whose refractive index is optimised"},
    {"extinction of the default layer 0", [](TLXOpt_Form& f) { switchOn(f.cbExtinction); },
     "whose extinction coefficient is optimised"},
    {"steps not whole",
     [](TLXOpt_Form& f) {
         f.rbMethod5->setChecked(true);
         f.pbSteps->setValue(2.5L);
     },
     "The number of constant steps is a whole number"},
    {"no steps",
     [](TLXOpt_Form& f) {
         f.rbMethod5->setChecked(true);
         f.pbSteps->setValue(0);
     },
     "The number of constant steps"},
    {"stop at 0 %", [](TLXOpt_Form& f) { f.pbPrecision->setValue(0); },
     "The stop threshold is a percentage above 0"},
    {"stop above 100 %", [](TLXOpt_Form& f) { f.pbPrecision->setValue(101); },
     "The stop threshold"},
};

void runnable(TLXOpt_Form& f) {
    f.eOpt_layers->setText("1");
    switchOn(f.cbThickness);
    f.pbThickness_b->setValue(10);
}

// A project of two layers, the main window active.
TLXOpt_Form& ready(test::TestApp& app) {
    app.activeMain();
    app.addLayers(2);
    app.forms->StructureForm->row(2).layerFile->setEditText("ZnO");
    app.forms->StructureForm->row(3).layerFile->setEditText("CIGS");
    TLXOpt_Form& form = *app.forms->LXOpt_Form;
    form.show();
    app.dialogs.calls.clear();
    return form;
}

bool runEnds(const TLXOpt_Form& form) {
    return QTest::qWaitFor([&] { return !form.running(); }, 10000) &&
           form.btOptimRUN->text() == QLatin1String("RUN OPTIMISATION");
}

QList<const QWidget*> panelOf(const TLXOpt_Form& f, int parameter) {
    switch (parameter) {
    case 0:
        return {f.eThickness,   f.rbThickness1,  f.rbThickness2,
                f.rbThickness3, f.pbThickness_a, f.pbThickness_b};
    case 1:
        return {f.eRoughness,   f.rbRoughness1,  f.rbRoughness2,
                f.rbRoughness3, f.pbRoughness_a, f.pbRoughness_b};
    case 2:
        return {f.eRefractive, f.rbRefractive1, f.pbRefractive_a, f.pbRefractive_b};
    default:
        return {f.eExtinction,   f.rbExtinction1,  f.rbExtinction2,
                f.rbExtinction3, f.pbExtinction_a, f.pbExtinction_b};
    }
}

// "1" for each enabled widget, "0" for each disabled one.
QString enabled(const QList<const QWidget*>& widgets) {
    QString out;
    for (const QWidget* w : widgets)
        out += w->isEnabled() ? '1' : '0';
    return out;
}

QColor base(const QWidget* w) {
    return w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled,
                              QPalette::Base);
}

} // namespace

class TestOptForm : public QObject {
    Q_OBJECT
private slots:
    void windowAndDefaults() {
        test::TestApp app;
        const TLXOpt_Form& f = *app.forms->LXOpt_Form;
        QCOMPARE(f.windowTitle(),
                 QStringLiteral("LXOpt - optical optimisation tool (add-on for Lumetrix)"));
        QCOMPARE(f.size(), QSize(931, 738));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(f.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(f.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(f.palette().color(QPalette::Window), QColor(216, 222, 235)); // 15458008 as B, G, R
        QCOMPARE(test::texts({f.eOpt_layers, f.eThickness, f.eRoughness, f.eRefractive,
                              f.eExtinction, f.pbSteps, f.pbPrecision, f.pbIter_No}),
                 QStringLiteral("|1||0|0|10|0.1|0"));
        QCOMPARE(
            test::texts({f.pbThickness_a, f.pbThickness_b, f.pbRoughness_a, f.pbRoughness_b,
                         f.pbRefractive_a, f.pbRefractive_b, f.pbExtinction_a, f.pbExtinction_b}),
            QStringLiteral("0|0|0|0|0|0|0|0"));
        QCOMPARE(test::texts({f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result}),
                 QStringLiteral("0.00|0.00|0.000|0.000"));
        for (const TPBNumEdit* e :
             {f.pbThickness_a, f.pbRoughness_b, f.pbExtinction_a, f.pbSteps, f.pbPrecision})
            QCOMPARE(e->Decimals(), -1);
        QCOMPARE(f.pbIter_No->Decimals(), 0);
        for (const TPBNumEdit* e :
             {f.pbIter_No, f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result})
            QVERIFY(e->isReadOnly());
        QString chosen;
        for (const QAbstractButton* b : std::initializer_list<const QAbstractButton*>{
                 f.rbMin_Jsc, f.rbMax_Jsc, f.rbMin_diff_Jsc, f.rbThickness1, f.rbRoughness1,
                 f.rbRefractive1, f.rbExtinction1, f.rbMethod1, f.rbMethod4, f.rbMethod5, f.rbIO_0,
                 f.rbIO_2, f.cbThickness, f.cbRoughness})
            chosen += b->isChecked() ? '1' : '0';
        QCOMPARE(chosen, QStringLiteral("01011110101000"));
        QCOMPARE(f.rbIO_1->property("Tag").toInt(), 1);
        QCOMPARE(f.rbIO_2->property("Tag").toInt(), 2);
        QCOMPARE(f.btOptimRUN->text(), QStringLiteral("RUN OPTIMISATION"));
        // Every parameter starts switched off, with grey layer edits and result displays.
        for (int p = 0; p < 4; ++p)
            QCOMPARE(enabled(panelOf(f, p)), QString(panelOf(f, p).size(), '0'));
        QCOMPARE(enabled({f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result}),
                 QStringLiteral("0000"));
        QCOMPARE(base(f.eThickness), f.palette().color(QPalette::Button));
        QVERIFY(f.pbIter_No->isEnabled());
    }

    void switchEnablesOnlyItsPanel_data() {
        test::rows({"thickness", "roughness", "refractive index", "extinction coefficient"});
    }
    void switchEnablesOnlyItsPanel() {
        QFETCH(int, index);
        test::TestApp app;
        TLXOpt_Form& f = *app.forms->LXOpt_Form;
        QCheckBox* boxes[] = {f.cbThickness, f.cbRoughness, f.cbRefractive, f.cbExtinction};
        TPBNumEdit* results[] = {f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result};
        const auto target = [&](int p) { return panelOf(f, p).front(); };
        boxes[index]->click();
        for (int p = 0; p < 4; ++p) {
            const bool on = p == index;
            QCOMPARE(enabled(panelOf(f, p)), QString(panelOf(f, p).size(), on ? '1' : '0'));
            QCOMPARE(results[p]->isEnabled(), on);
            QCOMPARE(base(target(p)), on ? QColor(Qt::white) : f.palette().color(QPalette::Button));
            QCOMPARE(base(results[p]),
                     on ? QColor(Qt::white) : f.palette().color(QPalette::Button));
        }
        // Off again: grey, and the value shown stays.
        results[index]->setValue(12.5L);
        boxes[index]->click();
        QCOMPARE(enabled(panelOf(f, index)), QString(panelOf(f, index).size(), '0'));
        QVERIFY(!results[index]->isEnabled());
        QCOMPARE(base(results[index]), f.palette().color(QPalette::Button));
        QCOMPARE(results[index]->Value(), 12.5L);
    }

    void settingsOfChoices_data() { test::caseRows(kSettingsCases); }
    void settingsOfChoices() {
        QFETCH(int, index);
        const SettingsCase& c = kSettingsCases[index];
        test::TestApp app;
        TLXOpt_Form& f = *app.forms->LXOpt_Form;
        c.choose(f);
        OptimiseSettings got;
        QString fault;
        QVERIFY2(f.collectSettings(got, fault), qPrintable(fault));
        OptimiseSettings expected;
        c.expected(expected);
        QCOMPARE(linesOf(got), linesOf(expected));
    }

    void runRefusesIncompleteChoices_data() { test::caseRows(kRefusalCases); }
    void runRefusesIncompleteChoices() {
        QFETCH(int, index);
        const RefusalCase& c = kRefusalCases[index];
        const Kernel kernel("", 1, 0);
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        runnable(f);
        c.choose(f);
        f.btOptimRUN->click();
        QVERIFY(!f.running());
        QCOMPARE(app.dialogs.calls.size(), 1);
        QVERIFY2(app.told().contains(QLatin1String(c.message)), qPrintable(app.told()));
        QVERIFY(!QFileInfo::exists(app.workDir() + "/Out/LXOut.dat")); // nothing was saved
    }

    void runRefusesMissingKernel() {
        qputenv("LUMETRIX_KERNEL", "/no/such/lumetrix-kernel");
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        runnable(f);
        f.btOptimRUN->click();
        qunsetenv("LUMETRIX_KERNEL");
        QVERIFY(!f.running());
        QVERIFY(app.told().contains("/no/such/lumetrix-kernel"));
    }

    void runFillsProgressAndBest() {
        const Kernel kernel("", 4, 0);
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        f.eOpt_layers->setText("2");
        switchOn(f.cbThickness);
        f.eThickness->setValue(2);
        f.pbThickness_b->setValue(500);
        switchOn(f.cbExtinction);
        f.eExtinction->setValue(1);
        f.pbExtinction_b->setValue(20);
        f.eExt_result->setValue(9); // a value of an earlier run goes
        f.btOptimRUN->click();
        QVERIFY(f.running());
        QCOMPARE(f.btOptimRUN->text(), QStringLiteral("STOP OPTIMISATION"));
        QVERIFY(runEnds(f));
        QVERIFY2(app.dialogs.calls.isEmpty(), qPrintable(app.told()));
        QCOMPARE(test::texts(
                     {f.pbIter_No, f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result}),
                 QStringLiteral("4|100.00|0.00|0.000|110.000"));
        QCOMPARE(f.lbRunState->text(), QStringLiteral("Optimal Jsc<photo>: 24 mA/cm2"));
        // The project went where RUN puts it, the settings beside it, as the kernel reads them.
        const QString input = app.workDir() + "/Out/LXOut.dat";
        QVERIFY(QFileInfo::exists(input));
        QCOMPARE(f.settingsPath(), app.workDir() + "/Out/LXOut_opt.txt");
        OptimiseSettings expected;
        QString fault;
        QVERIFY(f.collectSettings(expected, fault));
        QCOMPARE(QString::fromUtf8(test::readAll(f.settingsPath())).split('\n', Qt::SkipEmptyParts),
                 linesOf(expected));
        const auto reread = kernel::readOptimiseSettings(f.settingsPath().toStdString());
        QVERIFY(reread);
        QCOMPARE(linesOf(reread.value()), linesOf(expected));
    }

    void progressLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("shown"); // iteration|thickness|roughness|n|k|state
        const char* const cases[][2] = {
            {"iteration 7 best 21.5",
             "7|0.00|0.00|0.000|0.000|Best Jsc<photo> so far: 21.5 mA/cm2"},
            {"iteration x best 21.5", "0|0.00|0.00|0.000|0.000|"},
            {"report text", "0|0.00|0.00|0.000|0.000|"},
            {"best: roughness=3.456 n_factor=1.0126 jsc=30.1 iterations=12\r",
             "12|0.00|3.46|1.013|0.000|Optimal Jsc<photo>: 30.1 mA/cm2"},
            {"best: thickness=250 k_factor=0.5 jsc=2 iterations=3",
             "3|250.00|0.00|0.000|0.500|Optimal Jsc<photo>: 2 mA/cm2"},
            {"best: thickness=abc jsc=2 iterations=3",
             "3|0.00|0.00|0.000|0.000|Optimal Jsc<photo>: 2 mA/cm2"},
        };
        for (const auto& c : cases)
            QTest::newRow(c[0]) << QString::fromLatin1(c[0]) << QString::fromLatin1(c[1]);
    }
    void progressLines() {
        QFETCH(QString, line);
        QFETCH(QString, shown);
        test::TestApp app;
        TLXOpt_Form& f = *app.forms->LXOpt_Form;
        f.takeKernelLine(line);
        QCOMPARE(test::texts({f.pbIter_No, f.eThick_result, f.eRough_result, f.eRef_result,
                              f.eExt_result, f.lbRunState}),
                 shown);
    }

    void failedRunIsReported() {
        const Kernel kernel("fail", 3, 0);
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        runnable(f);
        f.btOptimRUN->click();
        QVERIFY(runEnds(f));
        QCOMPARE(f.pbIter_No->text(), QStringLiteral("1"));
        QCOMPARE(app.told(), QStringLiteral("The optimisation failed.\n"
                                            "layer 9 is not a layer of the structure"));
    }

    void stopEndsTheRun() {
        const Kernel kernel("hang", 2, 20);
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        runnable(f);
        f.btOptimRUN->click();
        QVERIFY(QTest::qWaitFor([&] { return f.pbIter_No->text() == QLatin1String("2"); }, 10000));
        QVERIFY(f.running());
        f.btOptimRUN->click(); // STOP OPTIMISATION
        QVERIFY(runEnds(f));
        QVERIFY2(app.dialogs.calls.isEmpty(), qPrintable(app.told()));
        QCOMPARE(f.lbRunState->text(), QStringLiteral("Stopped at iteration 2."));
        QCOMPARE(f.pbIter_No->text(), QStringLiteral("2"));
    }

    void minimisedWindowKeepsItsLeft() {
        test::TestApp app;
        TLXOpt_Form& f = *app.forms->LXOpt_Form;
        f.show();
        f.move(120, 40);
        f.FormResize();
        f.setWindowState(Qt::WindowMinimized);
        f.move(400, 40);
        f.FormResize();
        QCOMPARE(f.x(), 120);
        f.setWindowState(Qt::WindowNoState);
        f.move(200, 40);
        f.FormResize();
        f.setWindowState(Qt::WindowMinimized);
        f.move(10, 40);
        f.FormResize();
        QCOMPARE(f.x(), 200);
    }
};

QTEST_MAIN(TestOptForm)
#include "test_optform.moc"
