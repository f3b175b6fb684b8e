// The Results page's table: result files of both layouts, the header skip, copying cells.
#include "app/forms.h"
#include "app/mainform.h"
#include "controls/combobox.h"
#include "results/results.h"
#include "testapp.h"

#include <QClipboard>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStackedWidget>
#include <QTableView>
#include <QtTest>

using namespace lumetrix;

class TestResults : public QObject {
    Q_OBJECT
private slots:
    void resultFilesAsTables() {
        test::TestApp app;
        TResults& results = *app.forms->Results;
        const QString out = app.workDir() + "/Out/";
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_tabs.rta", out + "LXOut.rta"));
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_fixed.GL", out + "LXOut.GL"));
        QVERIFY(QFile::copy(LUMETRIX_TEST_DATA_DIR "/result_fixed.GL", out + "import.Gl"));
        const QAbstractItemModel& model = *results.sgTable->model();
        const auto cell = [&](int r, int c) { return model.index(r, c).data().toString(); };
        const struct {
            int entry;
            const char* opened;
            int rows, columns;
            QStringList header;
        } cases[] = {{1, "On-line results: LXOut.rta", 3, 4, {"", "lambda", "R", "T"}},
                     {4, "On-line results: LXOut.GL", 3, 4, {"", "x(nm)", "G1", "G2"}},
                     {10, "Opened file: import.Gl", 3, 4, {"", "x(nm)", "G1", "G2"}}};
        for (const auto& c : cases) {
            app.dialogs.answerFile(out + "import.Gl");
            results.cbIzberiGrafChange(c.entry);
            QCOMPARE(results.LOpenedFile->text(), QString::fromLatin1(c.opened));
            QCOMPARE(results.Notebook1->currentIndex(), 1);
            QCOMPARE(model.rowCount(), c.rows);
            QCOMPARE(model.columnCount(), c.columns);
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
};

QTEST_MAIN(TestResults)
#include "test_results.moc"
