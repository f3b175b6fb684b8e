// The optimisation window: its defaults and limits, which panels the parameter switches
// enable, the settings it gives the kernel, what RUN refuses, and runs of the stand-in kernel
// of tests/kernel_double with their progress, best line, failure and STOP.
#include "testapp.h"

using namespace lumetrix;

namespace {

// Makes the choices of a text such as "eOpt_layers=1 3; cbThickness; rbThickness2": an edit
// named before "=" takes the text after it, a switch or choice named alone is clicked.
void choose(TLXOpt_Form& f, const QString& choices) {
    for (const QString& choice : choices.split(';', Qt::SkipEmptyParts)) {
        const QString name = choice.section('=', 0, 0).trimmed();
        if (auto* edit = f.findChild<QLineEdit*>(name))
            edit->setText(choice.section('=', 1));
        else if (auto* button = f.findChild<QAbstractButton*>(name))
            button->click();
        else
            QFAIL(qPrintable("no control " + name));
    }
}

// Choices made on top of ready(), where a switch named clicks it (so "cbThickness" switches the
// thickness off), and what RUN does with them: the lines of the settings file it writes,
// joined by "|", or a part of the message with which it refuses.
struct RunCase {
    const char* name;
    const char* choices;
    const char* outcome;
};

const RunCase kRunCases[] = {
    {"thickness absolute, maximal Jsc, a switched-off parameter left out",
     "eOpt_layers=2; eThickness=2; pbThickness_a=100; pbThickness_b=900.5; cbRoughness; "
     "eRoughness=2; cbRoughness; rbMethod2",
     "criterion = max|layers = 3|thickness = 3 abs 100 900.5|method = anneal-normal|stop = 0.1|"
     "output = 0"},
    {"thickness relative nm, R minimal",
     "eOpt_layers=0; rbMin_Jsc; rbThickness2; pbThickness_a=20; pbThickness_b=30",
     "criterion = min|layers = 0|thickness = 2 relnm -20 30|method = simplex|stop = 0.1|"
     "output = 0"},
    {"roughness of two interfaces in percent, difference of two layers",
     "eOpt_layers=1, 3; rbMin_diff_Jsc; cbThickness; cbRoughness; eRoughness=1 4; rbRoughness3; "
     "pbRoughness_a=50; pbRoughness_b=25",
     "criterion = mindiff|layers = 2 4|roughness = 0 3 relpct -50 25|method = simplex|"
     "stop = 0.1|output = 0"},
    {"n and k in band-gap eV, annealing, all files",
     "eOpt_layers=1 2; cbThickness; cbRefractive; eRefractive=1; pbRefractive_a=10; "
     "pbRefractive_b=5; cbExtinction; eExtinction=2; rbExtinction3; pbExtinction_a=0.2; "
     "pbExtinction_b=0.1; rbMethod1; rbIO_2",
     "criterion = max|layers = 2 3|n = 2 relpct -10 5|k = 3 gapev -0.2 0.1|"
     "method = anneal-high|stop = 0.1|output = 2"},
    {"k in band-gap percent, constant steps, stop rule, main files",
     "cbThickness; cbExtinction; eExtinction=1; rbExtinction2; pbExtinction_a=3; "
     "pbExtinction_b=4; rbMethod5; pbSteps=25; pbPrecision=0.5; rbIO_1",
     "criterion = max|layers = 2|k = 2 gappct -3 4|method = steps 25|stop = 0.5|output = 1"},
    {"no layer", "eOpt_layers=", "Specify the layer(s) whose Jsc<photo> is optimised"},
    {"a layer that is no number", "eOpt_layers=1 x", "Specify the layer(s)"},
    {"a negative layer", "eOpt_layers=-1", "Specify the layer(s)"},
    {"difference of one layer", "rbMin_diff_Jsc", "exactly two layers"},
    {"no parameter", "cbThickness", "Switch on at least one optimisation parameter."},
    {"thickness of layer 0", "eThickness=0", "Specify the layer No. whose thickness is optimised"},
    {"empty absolute interval", "pbThickness_a=10", "The interval of the thickness variation"},
    {"empty relative interval", "rbThickness3; pbThickness_a=-5; pbThickness_b=5",
     "The interval of the thickness variation is empty"},
    {"roughness without interfaces", "cbRoughness", "Specify the interface No(s). whose roughness"},
    {"roughness of interface 0", "cbRoughness; eRoughness=0", "Specify the interface No(s)."},
    {"refractive index of the default layer 0", "cbRefractive", "whose refractive index"},
    {"extinction of the default layer 0", "cbExtinction", "whose extinction coefficient"},
    {"steps not whole", "rbMethod5; pbSteps=2.5", "The number of constant steps is a whole number"},
    {"no steps", "rbMethod5; pbSteps=0", "The number of constant steps"},
    {"stop at 0 %", "pbPrecision=0", "The stop threshold is a percentage above 0"},
    {"stop above 100 %", "pbPrecision=101", "The stop threshold"},
    {"no kernel", "", "/no/such/lumetrix-kernel"}, // a path names the kernel, which is missing
};

// A project of two layers, the main window active, and layer 1 with its thickness from 0 to
// 10 nm chosen, which RUN takes.
TLXOpt_Form& ready(test::TestApp& app) {
    app.activeMain();
    app.addLayers(2);
    app.forms->StructureForm->row(2).layerFile->setEditText("ZnO");
    app.forms->StructureForm->row(3).layerFile->setEditText("CIGS");
    TLXOpt_Form& f = *app.forms->LXOpt_Form;
    f.show();
    app.dialogs.calls.clear();
    choose(f, "eOpt_layers=1; cbThickness; pbThickness_b=10");
    return f;
}

// The panel of parameter `index` (thickness, roughness, n, k): its layer edit first, its
// result display last.
QList<const QWidget*> panelOf(const TLXOpt_Form& f, int index) {
    const QString n = QStringList{"Thickness", "Roughness", "Refractive", "Extinction"}[index];
    QList<const QWidget*> panel;
    for (const QString& name : {"e" + n, "rb" + n + "1", "rb" + n + "2", "rb" + n + "3",
                                "pb" + n + "_a", "pb" + n + "_b"})
        if (const QWidget* w = f.findChild<QWidget*>(name))
            panel << w;
    return panel << QList{f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result}[index];
}

// "1" for each enabled widget of a panel, "0" for each disabled one, then the base colour of
// its layer edit and its result display: "w" white, "g" the grey of the window's buttons.
QString stateOf(const TLXOpt_Form& f, int index) {
    const QList<const QWidget*> panel = panelOf(f, index);
    QString out;
    for (const QWidget* w : panel)
        out += w->isEnabled() ? '1' : '0';
    for (const QWidget* w : {panel.front(), panel.back()}) {
        const QColor c = w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                            QPalette::Base);
        out += c == Qt::white ? 'w' : c == f.palette().color(QPalette::Button) ? 'g' : '?';
    }
    return out;
}

// What the window shows of a run: iteration|thickness|roughness|n|k|state line.
QString runShown(const TLXOpt_Form& f) {
    return test::texts({f.pbIter_No, f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result,
                        f.lbRunState});
}

} // namespace

class TestOptForm : public QObject {
    Q_OBJECT
private slots:
    void windowAndDefaults() {
        test::TestApp app;
        TLXOpt_Form& f = *app.forms->LXOpt_Form;
        QCOMPARE(test::frameOf(f),
                 "LXOpt - optical optimisation tool (add-on for Lumetrix)|931x738|1|1");
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(f.palette().color(QPalette::Window), QColor(216, 222, 235)); // 15458008 as B, G, R
        QCOMPARE(test::texts({f.eOpt_layers, f.eThickness, f.eRoughness, f.eRefractive,
                              f.eExtinction, f.pbSteps, f.pbPrecision, f.pbIter_No}),
                 QStringLiteral("|1||0|0|10|0.1|0"));
        QCOMPARE(
            test::texts({f.pbThickness_a, f.pbThickness_b, f.pbRoughness_a, f.pbRoughness_b,
                         f.pbRefractive_a, f.pbRefractive_b, f.pbExtinction_a, f.pbExtinction_b}),
            QStringLiteral("0|0|0|0|0|0|0|0"));
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
        QCOMPARE(f.btOptimRUN->text(), QStringLiteral("RUN OPTIMISATION"));
        QVERIFY(f.pbIter_No->isEnabled());
        // Minimised, the window keeps the left of its last normal place.
        f.show();
        for (const int left : {120, 200}) {
            f.setWindowState(Qt::WindowNoState);
            f.move(left, 40);
            f.FormResize();
            f.setWindowState(Qt::WindowMinimized);
            f.move(left * 2 - 110, 40);
            f.FormResize();
            QCOMPARE(f.x(), left);
        }
    }

    // Every parameter starts switched off; its switch enables its panel and result display,
    // white, and leaves the others grey.
    void switchEnablesOnlyItsPanel_data() {
        test::rows({"thickness", "roughness", "refractive index", "extinction coefficient"});
    }
    void switchEnablesOnlyItsPanel() {
        QFETCH(int, index);
        test::TestApp app;
        TLXOpt_Form& f = *app.forms->LXOpt_Form;
        QCheckBox* box = QList{f.cbThickness, f.cbRoughness, f.cbRefractive, f.cbExtinction}[index];
        box->click();
        for (int p = 0; p < 4; ++p)
            QCOMPARE(stateOf(f, p), p == index ? QString(panelOf(f, p).size(), '1') + "ww"
                                               : QString(panelOf(f, p).size(), '0') + "gg");
        // Off again: grey, and the value shown stays.
        auto* result = QList{f.eThick_result, f.eRough_result, f.eRef_result, f.eExt_result}[index];
        result->setValue(12.5L);
        box->click();
        QCOMPARE(stateOf(f, index), QString(panelOf(f, index).size(), '0') + "gg");
        QCOMPARE(result->Value(), 12.5L);
    }

    void runTakesOrRefusesChoices_data() { test::caseRows(kRunCases); }
    void runTakesOrRefusesChoices() {
        const RunCase& c = test::fetchCase(kRunCases);
        const test::Kernel kernel("", 1);
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        choose(f, c.choices);
        if (c.outcome[0] == '/')
            qputenv("LUMETRIX_KERNEL", c.outcome);
        f.btOptimRUN->click();
        const QString saved = app.workDir() + "/Out/LXOut.dat";
        if (QByteArray(c.outcome).startsWith("criterion")) {
            // The project went where RUN puts it, the settings beside it.
            QVERIFY2(app.dialogs.calls.isEmpty(), qPrintable(app.told()));
            QVERIFY(QFileInfo::exists(saved));
            QCOMPARE(f.settingsPath(), app.workDir() + "/Out/LXOut_opt.txt");
            QStringList lines = QString::fromUtf8(test::readAll(f.settingsPath())).split('\n');
            QCOMPARE(lines.takeLast(), QString()); // each line ends in a line feed
            QCOMPARE(lines.join('|'), QString::fromLatin1(c.outcome));
            QVERIFY(QTest::qWaitFor([&] { return !f.running(); }, 10000));
            return;
        }
        QVERIFY(!f.running());
        QCOMPARE(app.dialogs.calls.size(), 1);
        QVERIFY2(app.told().contains(QLatin1String(c.outcome)), qPrintable(app.told()));
        QVERIFY(!QFileInfo::exists(saved)); // nothing was saved
    }

    // A run to its best line, one the kernel fails and one STOP ends: what the window shows
    // then and what it told.
    void runs_data() { test::rows({"best line", "kernel fails", "stopped"}); }
    void runs() {
        QFETCH(int, index);
        const char* modes[] = {"", "fail", "hang"};
        const test::Kernel kernel(modes[index], 4 - index, index == 2 ? 20 : 0);
        test::TestApp app;
        TLXOpt_Form& f = ready(app);
        choose(f, "eOpt_layers=2; eThickness=2; pbThickness_b=500; cbExtinction; eExtinction=1; "
                  "pbExtinction_b=20");
        f.eExt_result->setValue(9); // a value of an earlier run goes
        f.btOptimRUN->click();
        QVERIFY(f.running());
        QCOMPARE(f.btOptimRUN->text(), QStringLiteral("STOP OPTIMISATION"));
        if (index == 2) {
            QVERIFY(QTest::qWaitFor([&] { return f.pbIter_No->text() == "2"; }, 10000));
            app.main().btRunClick(); // both write the output files: RUN waits
            QCOMPARE(app.main().btRun->text(), QStringLiteral("RUN"));
            QVERIFY2(app.told().startsWith("An optimisation is running"), qPrintable(app.told()));
            app.dialogs.calls.clear();
            f.btOptimRUN->click(); // STOP OPTIMISATION
        }
        QVERIFY(QTest::qWaitFor([&] { return !f.running(); }, 10000));
        QCOMPARE(f.btOptimRUN->text(), QStringLiteral("RUN OPTIMISATION"));
        const QString shown[] = {"4|100.00|0.00|0.000|110.000|Optimal Jsc<photo>: 24 mA/cm2",
                                 "1|0.00|0.00|0.000|0.000|The optimisation failed.",
                                 "2|0.00|0.00|0.000|0.000|Stopped at iteration 2."};
        QCOMPARE(runShown(f), shown[index]);
        QCOMPARE(app.told(), index == 1 ? QStringLiteral("The optimisation failed.\n"
                                                         "layer 9 is not a layer of the structure")
                                        : QString());
    }

    // A line of the kernel: what the window shows then, iteration|thickness|roughness|n|k|state.
    void progressLines() {
        const char* const cases[][2] = {
            {"iteration 7 best 21.5",
             "7|0.00|0.00|0.000|0.000|Best Jsc<photo> so far: 21.5 mA/cm2"},
            {"iteration x best 21.5", "0|0.00|0.00|0.000|0.000|"},
            {"report text", "0|0.00|0.00|0.000|0.000|"},
            {"best: roughness=3.456 n_factor=1.0126 jsc=30.1 iterations=12\r",
             "12|0.00|3.46|1.013|0.000|Optimal Jsc<photo>: 30.1 mA/cm2"},
            {"best: thickness=abc jsc=2 iterations=3",
             "3|0.00|0.00|0.000|0.000|Optimal Jsc<photo>: 2 mA/cm2"},
        };
        for (const auto& [line, shown] : cases) {
            test::TestApp app;
            TLXOpt_Form& f = *app.forms->LXOpt_Form;
            f.takeKernelLine(QString::fromLatin1(line));
            QCOMPARE(runShown(f), QString::fromLatin1(shown));
        }
    }
};

QTEST_MAIN(TestOptForm)
#include "test_optform.moc"
