// The Results page: result files of both layouts as tables, the on-line view with its
// photocurrents, the graph's lines, legend and settings, and the axis selection dialog.
#include "results/resultchart.h"
#include "testapp.h"

#include <QClipboard>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStackedWidget>
#include <QTableView>
#include <QtTest>

using namespace lumetrix;

namespace {

// A project of two layers, ZnO and CIGS, with the on-line result of a run over three
// wavelengths (ended by the kernel's empty line) and its totals.
struct OnLineResult : test::TestApp {
    OnLineResult() : results(*forms->Results) {
        addLayers(2);
        forms->StructureForm->row(2).layerFile->setEditText("ZnO");
        forms->StructureForm->row(3).layerFile->setEditText("CIGS");
        test::writeAll(workDir() + "/Out/LXOut.rta", "lambda\tR\tT\tZnO\tCIGS\tSum\n"
                                                     "300\t0.1\t0.8\t0.05\t0.05\t1\n"
                                                     "310\t0.2\t0.7\t0.04\t0.06\t1\n"
                                                     "320\t0.3\t0.6\t0.03\t0.07\t1\n\n");
        test::writeAll(workDir() + "/Out/LXOut_Sum.jsc",
                       "Jsc\n(mA/cm2)\n\n4.1\tR\n0\tT\n2.25\tZnO\n31.5\tCIGS\n\n31.5\tPV\n");
    }
    TResults& results;
};

QStringList legend(const TResults& results) {
    QStringList labels;
    for (int i = 0; i < results.lines().count(); ++i)
        labels << QString::fromStdString(results.lines().line(i).data.label);
    return labels;
}

QStringList drawn(const TResults& results) {
    QStringList titles;
    for (const SeriesLook& look : results.Graf->series())
        titles << look.title + (look.dashed ? "~" : "") + (look.visible ? "" : "(hidden)");
    return titles;
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
private slots:
    // Before any run the page reports both missing files and plots nothing; then the result
    // files of both layouts, and one opened, as tables.
    void resultFilesAsTables() {
        test::TestApp app;
        TResults& results = *app.forms->Results;
        const QString out = app.workDir() + "/Out/";
        app.showPage(8, false);
        const QStringList told = app.dialogs.messageTexts();
        QCOMPARE(told.size(), 2);
        QVERIFY(told[0].startsWith("Cannot open file \"" + out + "LXOut.rta\""));
        QVERIFY(told[1].startsWith("Cannot open file \"" + out + "LXOut_Sum.jsc\""));
        QVERIFY(results.lines().empty());
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_tabs.rta", out + "LXOut.rta"));
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_fixed.GL", out + "LXOut.GL"));
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_fixed.GL", out + "import.Gl"));
        const QAbstractItemModel& model = *results.sgTable->model();
        const auto cell = [&](int r, int c) { return model.index(r, c).data().toString(); };
        const struct {
            int entry;
            const char* opened;
            QStringList header;
        } cases[] = {{1, "On-line results: LXOut.rta", {"", "lambda", "R", "T"}},
                     {4, "On-line results: LXOut.GL", {"", "x(nm)", "G1", "G2"}},
                     {10, "Opened file: import.Gl", {"", "x(nm)", "G1", "G2"}}};
        for (const auto& c : cases) {
            app.dialogs.answerFile(out + "import.Gl");
            results.cbIzberiGrafChange(c.entry);
            QCOMPARE(results.LOpenedFile->text(), QString::fromLatin1(c.opened));
            QCOMPARE(results.Notebook1->currentIndex(), 1);
            QCOMPARE(model.rowCount(), 3);
            QCOMPARE(model.columnCount(), 4);
            QCOMPARE((QStringList{cell(0, 0), cell(0, 1), cell(0, 2), cell(0, 3)}), c.header);
            QCOMPARE(cell(2, 0), QStringLiteral("2"));
        }
        QCOMPARE(results.imported(), true);

        // Cells 1..2 of rows 1..2 copied as TAB-separated lines.
        results.cbIzberiGrafChange(1);
        results.sgTable->selectionModel()->select(
            QItemSelection(model.index(1, 1), model.index(2, 2)), QItemSelectionModel::Select);
        QTest::keyClick(results.sgTable, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("300\t0.1\n310\t0.3\n"));

        // A missing file: the message, the cleared table, the on-line entry shown.
        results.cbIzberiGraf->setCurrentIndex(2);
        results.cbIzberiGrafChange(2);
        QVERIFY(app.dialogs.messageTexts().last().startsWith("Cannot open file \"" + out +
                                                             "LXOut_Spec.rta\""));
        QCOMPARE(results.cbIzberiGraf->currentIndex(), 0);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(cell(1, 0), QString());
    }

    // The on-line view: the table without the last line and column, the photocurrents, and a
    // line per item with R on top, drawn over the others; the lines as the layers and the
    // project change.
    void onLineView() {
        OnLineResult app;
        TResults& results = app.results;
        app.showPage(8, false);
        QCOMPARE(app.told(), QString());
        const QAbstractItemModel& model = *results.sgTable->model();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 6);
        QCOMPARE(model.index(0, 5).data().toString(), QStringLiteral("CIGS"));
        QStringList jsc;
        for (const OnLineItem& item : results.OnLineItems)
            jsc << item.box->text() + "=" + item.jsc->text() + (item.box->isChecked() ? "" : "!");
        QCOMPARE(jsc.join(' '), QStringLiteral("R=4.10 T=0.00 ZnO=2.25 CIGS=31.50"));
        QCOMPARE(results.pbJscTotal->text(), QStringLiteral("31.50"));
        QVERIFY(!results.pbJscTotal->isHidden());
        QCOMPARE(legend(results), (QStringList{"R", "T", "ZnO", "CIGS"}));
        QCOMPARE(drawn(results), (QStringList{"CIGS", "ZnO", "T", "R"}));
        const LineContent& cigs = results.lines().line(3);
        QCOMPARE(cigs.data.x, (std::vector<double>{300, 310, 320}));
        QCOMPARE(cigs.data.y, (std::vector<double>{0.05, 0.06, 0.07}));
        QCOMPARE(cigs.colour, kLinePalette[0]); // made first
        // While a run is in progress the last row may be half written.
        app.main().btRun->setText("STOP");
        results.OnLineItems[0].box->setChecked(false);
        results.OnLineItems[0].box->setChecked(true);
        QCOMPARE(results.lines().line(0).data.y, (std::vector<double>{0.1, 0.2}));
        app.main().btRun->setText("RUN");

        // A deleted layer takes its line along; the line of the layer below follows its row.
        app.forms->StructureForm->popUpRowMenu(2, {});
        app.forms->StructureForm->DeleteLayerClick();
        results.SyncOnLineItems();
        QCOMPARE(legend(results), (QStringList{"R", "T", "CIGS"}));
        QCOMPARE(results.lines().line(2).id, 2);
        QVERIFY(results.lines().line(2).data.x.empty());
        QCOMPARE(results.OnLineItems.size(), std::size_t(3));
        QVERIFY(results.OnLineItems[2].box->isChecked());
        QCOMPARE(results.OnLineItems[2].box->text(), QStringLiteral("CIGS"));
        // A layer added above it moves it on again: the rows are known by their last positions.
        app.forms->StructureForm->popUpRowMenu(2, {});
        app.forms->StructureForm->AddLayerClick();
        results.SyncOnLineItems();
        QCOMPARE(legend(results), (QStringList{"R", "T", "CIGS"}));
        QCOMPARE(results.lines().line(2).id, 3);

        // New keeps copies of the on-line lines; the layer lines go with their items, so no row
        // of the next project takes them over. Open (the menu command) lets every line go.
        app.dialogs.answerMessage(DialogButton::No); // the changed project is not saved
        app.main().New1Click();
        QCOMPARE(legend(results), (QStringList{"Old1 CIGS", "Old1 T", "Old1 R"}));
        QCOMPARE(results.OnLineItems.size(), std::size_t(2));
        QCOMPARE(results.Notebook1->currentIndex(), 0);
        QCOMPARE(results.sgTable->model()->rowCount(), 2);
        const QString saved = app.tempPath("saved.dat");
        QVERIFY(app.main().SaveInputFile(saved));
        app.dialogs.answerFile(saved);
        app.dialogs.answerMessage(DialogButton::No); // the project is not saved again
        app.main().Importinputfile1Click();
        QVERIFY(results.lines().empty());
        QVERIFY(!results.cbDeleteOnLinePlots->isChecked());
    }

    // Rename, axis, colour, removal and clearing through the legend and the menus.
    void legendCommands() {
        OnLineResult app;
        TResults& results = app.results;
        app.showPage(8, false);
        app.dialogs.answerSeries(SeriesProperties{"R", true}); // same text, no axis offered
        results.LabelClick(kReflectanceLine);
        QCOMPARE(app.dialogs.calls.last().folder, QString());
        QCOMPARE(results.lines().line(0).id, kReflectanceLine);
        results.Addseconday1Click();
        app.dialogs.answerSeries(SeriesProperties{"R front", true});
        results.LabelClick(kReflectanceLine);
        QCOMPARE(app.dialogs.calls.last().folder, QStringLiteral("axis"));
        QCOMPARE(legend(results).first(), QStringLiteral("R front"));
        QVERIFY(!results.OnLineItems[0].box->isChecked()); // the item lets go of the line
        QCOMPARE(drawn(results).last(), QStringLiteral("R front~"));
        const int renamed = results.lines().line(0).id;
        QCOMPARE(renamed, kFirstOtherLine);

        app.dialogs.answerColor(std::nullopt);
        results.ColorLineMouseDown(renamed, Qt::LeftButton, {});
        QCOMPARE(results.Graf->series().back().colour, QColor(0, 255, 255)); // kept
        app.dialogs.answerColor(QColor(1, 2, 3));
        results.ColorLineMouseDown(renamed, Qt::MiddleButton, {});
        QCOMPARE(results.Graf->series().back().colour, QColor(1, 2, 3));
        results.Removesecondaryaxis1Click();
        QCOMPARE(drawn(results).last(), QStringLiteral("R front"));

        // The legend box hides a line; the menu removes one, on-line or not.
        results.LineCheckClick(kTransmittanceLine, false);
        QCOMPARE(drawn(results), (QStringList{"CIGS", "ZnO", "T(hidden)", "R front"}));
        results.popUpLegendMenu(std::nullopt, {});
        QVERIFY(!results.Removeline1->isEnabled());
        results.PopupMenu1->hide();
        for (int id : {renamed, 2}) {
            results.popUpLegendMenu(id, {});
            results.PopupMenu1->hide();
            results.Removeline1Click();
        }
        QCOMPARE(legend(results), (QStringList{"T", "CIGS"}));
        QVERIFY(!results.OnLineItems[2].box->isChecked());

        // Clear graph asks first; then the next old copies count from 1 again.
        results.Cleargraph1Click();
        QCOMPARE(results.lines().count(), 2);
        app.dialogs.answerMessage(DialogButton::Yes);
        results.Cleargraph1Click();
        QVERIFY(results.lines().empty());
        QVERIFY(!results.OnLineItems[1].box->isChecked());
        results.OnLineItems[0].box->setChecked(true);
        QCOMPARE(results.lines().line(0).colour, kLinePalette[0]);
    }

    // The axis selection dialog makes a line of two table columns; the side buttons wait.
    void axisSelection() {
        OnLineResult app;
        TResults& results = app.results;
        app.activeMain();
        results.cbIzberiGraf->setCurrentIndex(1);
        results.cbIzberiGrafChange(1);
        results.Addline1Click();
        TSelectGraphForm& dialog = *app.forms->SelectGraphForm;
        QVERIFY(dialog.isVisible());
        QVERIFY(app.main().ToolWindowOpen);
        QVERIFY(!app.main().Panel1->isEnabled());
        QCOMPARE(dialog.cbXAxis->count(), 6);
        QCOMPARE(dialog.cbXAxis->currentText(), QStringLiteral("lambda"));
        dialog.btOKClick();
        QCOMPARE(app.told(), QStringLiteral("Please select both axes!"));
        QVERIFY(dialog.isVisible());
        dialog.columnTitleClicked(5);
        QCOMPARE(dialog.cbYAxis->currentIndex(), 4);
        dialog.btOKClick();
        QVERIFY(!dialog.isVisible());
        QVERIFY(app.main().Panel1->isEnabled());
        QVERIFY(!app.main().ToolWindowOpen);
        QCOMPARE(results.Notebook1->currentIndex(), 0);
        QCOMPARE(legend(results), QStringList{"CIGS"});
        QCOMPARE(results.lines().line(0).data.y, (std::vector<double>{0.05, 0.06, 0.07}));
        // Typed text that is no entry plots the row numbers.
        results.Addline1Click();
        dialog.cbYAxis->setEditText("anything");
        dialog.btOKClick();
        QCOMPARE(results.lines().line(1).data.y, (std::vector<double>{1, 2, 3}));
    }

    // Apply checks each range, the axes before a wrong one staying applied; Enter in a range
    // edit ends the automatic range; the graph data file holds every line's points side by side.
    void graphSettingsAndSaving() {
        OnLineResult app;
        TResults& results = app.results;
        ResultChart& chart = *results.Graf;
        const struct {
            TPBNumEdit* edit;
            double value;
            QObject* sender;
            QString told;
        } steps[] = {
            {results.pbXMax, 300, results.btApplyGraphSettings,
             "Max value for X axis must be greater then MIN Value!"},
            {results.pbXMax, 1500, results.pbYMin,
             "Max value for Y axis must be greater then MIN Value!"},
            {results.pbYMin, 0, results.btApplyGraphSettings, ""},
            {results.pbY2Max, 0, results.btApplyGraphSettings,
             "Max value for Y2 axis must be greater then MIN Value!"},
        };
        results.pbYMin->setValue(1);
        results.Addseconday1Click();
        for (const auto& step : steps) {
            step.edit->setValue(step.value);
            app.dialogs.calls.clear();
            results.btApplyGraphSettingsClick(step.sender);
            QCOMPARE(app.told(), step.told);
        }
        results.pbXMin->setValue(1200); // applied with Y2 still wrong
        results.eXLabel->setText("nm");
        results.btApplyGraphSettingsClick(results.btApplyGraphSettings);
        QCOMPARE(chart.title(ChartAxis::Bottom), QStringLiteral("nm"));
        QCOMPARE(chart.minimum(ChartAxis::Bottom), 1200.0);
        QCOMPARE(chart.maximum(ChartAxis::Bottom), 1500.0);
        results.cbYAuto->setChecked(true);
        results.autoClick(ChartAxis::Left);
        QVERIFY(chart.automatic(ChartAxis::Left));
        results.pbYMax->setValue(2);
        QTest::keyClick(results.pbYMax, Qt::Key_Return);
        QVERIFY(!results.cbYAuto->isChecked() && !chart.automatic(ChartAxis::Left));
        QCOMPARE(chart.maximum(ChartAxis::Left), 2.0);

        // Lines of 3 and 2 points: the shorter one leaves two empty fields.
        test::writeAll(app.workDir() + "/Out/LXOut_Spec.rta", "x\ty\n1\t0.5\n2\t0.25\n");
        for (int entry : {1, 2}) {
            results.cbIzberiGrafChange(entry);
            results.AddTableLine(1, 2);
        }
        const QString data = app.tempPath("graph.res");
        app.dialogs.answerFile(data);
        results.SaveTarvo1Click();
        QCOMPARE(test::readAll(data), QByteArray("R_X\tR_Y\ty_X\ty_Y\t\r\n300\t0.1\t1\t0.5\t\r\n"
                                                 "310\t0.2\t2\t0.25\t\r\n320\t0.3\t\t\t\r\n"));
        results.resize(900, 700);
        for (const QString name : {"chart.png", "chart.pdf"}) {
            app.dialogs.answerFile(app.tempPath(name));
            results.SavePicture1Click();
        }
        const QImage png(app.tempPath("chart.png"));
        QVERIFY(png.width() > 3 * chart.width() && png.width() < 3.2 * chart.width());
        QVERIFY(test::readAll(app.tempPath("chart.pdf")).startsWith("%PDF"));
    }
};

QTEST_MAIN(TestResults)
#include "test_results.moc"
