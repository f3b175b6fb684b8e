#include "app/mainform.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "pages/filesform.h"
#include "pages/structureform.h"
#include "testapp.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QtTest>

using namespace lumetrix;

namespace {

QStringList names(const TStructureForm& page) {
    QStringList out;
    for (int r = 1; r <= page.rowCount(); ++r)
        out << page.row(r).layerFile->currentText();
    return out;
}

QList<int> identities(const TStructureForm& page) {
    QList<int> out;
    for (int r = 1; r <= page.rowCount(); ++r)
        out << page.row(r).identity;
    return out;
}

QStringList numbers(const TStructureForm& page) {
    QStringList out;
    for (int r = 1; r <= page.rowCount(); ++r)
        out << page.row(r).number->text();
    return out;
}

// Layers with the given names, thicknesses 100, 200, ... and roughness 1, 2, ...
void makeStack(TStructureForm& page, const QStringList& layerNames) {
    for (int i = 0; i < layerNames.size(); ++i) {
        page.LbSpeedButton1MouseDown();
        page.LbSpeedButton1MouseUp();
    }
    for (int i = 0; i < layerNames.size(); ++i) {
        TLayerRow& row = page.row(i + 2);
        row.layerFile->setEditText(layerNames[i]);
        row.thickness->setText(QString::number(100 * (i + 1)));
        row.roughness->setText(QString::number(i + 1));
    }
}

std::vector<std::string> build(TMainForm& main) {
    std::vector<std::string> lines;
    main.BuildInputFile(lines);
    return lines;
}

} // namespace

class StructureFormTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithTwoMediaRows() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        QCOMPARE(page.rowCount(), 2);
        QCOMPARE(page.pbAddRemoveLayer->text(), QStringLiteral("0"));
        QVERIFY(page.pbAddRemoveLayer->isReadOnly());
        for (int r = 1; r <= 2; ++r) {
            const TLayerRow& row = page.row(r);
            QCOMPARE(row.layerFile->currentText(), QStringLiteral("air"));
            QVERIFY(!row.thickness->isEnabled());
            QCOMPARE(row.thickness->text(), QStringLiteral(" "));
            QVERIFY(!row.segments->isEnabled());
            QCOMPARE(row.segments->text(), QStringLiteral(" "));
            QVERIFY(!row.number->isEnabled());
            QVERIFY(row.number->text().isEmpty());
        }
        QVERIFY(page.row(1).roughness == nullptr);
        QCOMPARE(page.row(2).roughness->text(), QStringLiteral("0"));
        page.LbSpeedButton2MouseDown(); // REMOVE on no layers
        page.LbSpeedButton1MouseUp();
        QCOMPARE(page.rowCount(), 2);
        QCOMPARE(page.pbAddRemoveLayer->text(), QStringLiteral("0"));
    }

    void rowListsComeFromTheListingFile() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, {QStringLiteral("CIGS")});
        const int items = page.row(1).layerFile->count();
        QVERIFY(items >= 7);
        QCOMPARE(page.row(1).layerFile->itemText(0), QStringLiteral("air"));
        for (int r = 2; r <= 3; ++r) {
            QCOMPARE(page.row(r).layerFile->count(), items);
            QCOMPARE(page.row(r).layerFile->itemText(items - 1),
                     page.row(1).layerFile->itemText(items - 1));
        }
    }

    void addOnAnEmptyStructure() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        page.row(2).roughness->setText(QStringLiteral("12.5"));
        page.row(2).pv->setChecked(true);
        QTest::mouseClick(page.LbSpeedButton1, Qt::LeftButton);
        QCOMPARE(page.rowCount(), 3);
        QCOMPARE(names(page), (QStringList{"air", " ", "air"}));
        const TLayerRow& layer = page.row(2);
        QCOMPARE(layer.thickness->text(), QStringLiteral("0"));
        QVERIFY(layer.thickness->isEnabled());
        QCOMPARE(layer.segments->text(), QStringLiteral("1"));
        QCOMPARE(layer.roughness->text(), QStringLiteral("0"));
        QVERIFY(!layer.pv->isChecked());
        QCOMPARE(layer.number->text(), QStringLiteral("1"));
        const TLayerRow& bottom = page.row(3);
        QCOMPARE(bottom.roughness->text(), QStringLiteral("12.5"));
        QVERIFY(bottom.pv->isChecked());
        QVERIFY(!bottom.thickness->isEnabled());
        QCOMPARE(identities(page), (QList<int>{1, 2, 3}));
        QVERIFY(!page.Timer1->isActive()); // released: no repetition
    }

    void holdingAddRepeatsAndStopsAtFortyEight() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        QTest::mousePress(page.LbSpeedButton1, Qt::LeftButton);
        QCOMPARE(page.rowCount(), 3); // one step at once
        QVERIFY(page.Timer1->isActive());
        QCOMPARE(page.Timer1->interval(), 500);
        page.Timer1Timer(); // 500 ms later
        QCOMPARE(page.rowCount(), 4);
        QCOMPARE(page.Timer1->interval(), 100);
        for (int i = 0; i < 60; ++i) // then every 100 ms
            page.Timer1Timer();
        QCOMPARE(page.rowCount(), 50);
        QCOMPARE(page.pbAddRemoveLayer->text(), QStringLiteral("48"));
        QCOMPARE(page.row(49).number->text(), QStringLiteral("48"));
        QTest::mouseRelease(page.LbSpeedButton1, Qt::LeftButton);
        QVERIFY(!page.Timer1->isActive());

        QTest::mousePress(page.LbSpeedButton2, Qt::LeftButton);
        QCOMPARE(page.rowCount(), 49);
        QCOMPARE(page.Timer1->interval(), 500);
        for (int i = 0; i < 60; ++i)
            page.Timer1Timer();
        QCOMPARE(page.rowCount(), 2);
        QTest::mouseRelease(page.LbSpeedButton2, Qt::LeftButton);
        QVERIFY(!page.Timer1->isActive());
    }

    void addLayerAboveTheFirstLayer() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, {QStringLiteral("A"), QStringLiteral("B")});
        emit page.row(2).number->customContextMenuRequested(QPoint(2, 2));
        QCOMPARE(page.popupRow(), 2);
        page.PopupMenu1->hide();
        page.AddLayer->trigger();
        QCOMPARE(names(page), (QStringList{"air", " ", "A", "B", "air"}));
        QCOMPARE(numbers(page), (QStringList{"", "1", "2", "3", ""}));
        QCOMPARE(page.pbAddRemoveLayer->text(), QStringLiteral("3"));
        QCOMPARE(page.row(2).identity, 5); // the new row count
        QCOMPARE(page.row(2).layerFile->property("Tag").toInt(), 5);
        QCOMPARE(page.row(3).thickness->text(), QStringLiteral("100"));
        QCOMPARE(page.row(3).roughness->text(), QStringLiteral("1"));
        QCOMPARE(page.row(2).roughness->text(), QStringLiteral("0"));
        // The inserted layer gets the new row count, which the bottom medium holds too, until
        // the Results page renumbers the rows.
        QCOMPARE(identities(page), (QList<int>{1, 5, 2, 3, 5}));
        QCOMPARE(page.findRow(2), 3);
    }

    void deleteLayerKeepsTheRoughnessOfTheLayersBelow() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        page.row(5).roughness->setText(QStringLiteral("4"));
        page.popUpRowMenu(2, QPoint());
        page.PopupMenu1->hide();
        page.DeleteLayer->trigger();
        QCOMPARE(names(page), (QStringList{"air", "B", "C", "air"}));
        QCOMPARE(numbers(page), (QStringList{"", "1", "2", ""}));
        QCOMPARE(page.row(2).roughness->text(), QStringLiteral("2")); // between A and B before
        QCOMPARE(page.row(3).roughness->text(), QStringLiteral("3"));
        QCOMPARE(page.row(4).roughness->text(), QStringLiteral("4"));
        QCOMPARE(page.row(2).thickness->text(), QStringLiteral("200"));
        QCOMPARE(identities(page), (QList<int>{1, 3, 4, 5}));
        QCOMPARE(page.findRow(2), 0);
        QCOMPARE(page.pbAddRemoveLayer->text(), QStringLiteral("2"));
    }

    void rowMenuOnlyOnLayers() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, {QStringLiteral("A")});
        QCOMPARE(page.row(1).number->contextMenuPolicy(), Qt::DefaultContextMenu);
        QCOMPARE(page.row(2).number->contextMenuPolicy(), Qt::CustomContextMenu);
        page.popUpRowMenu(3, QPoint()); // the bottom medium is no layer
        page.PopupMenu1->hide();
        page.DeleteLayer->trigger();
        page.AddLayer->trigger();
        QCOMPARE(names(page), (QStringList{"air", "A", "air"}));
    }

    void addAboveAtFortyEightLayersDoesNothing() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        page.LbSpeedButton1MouseDown();
        for (int i = 0; i < 50; ++i)
            page.Timer1Timer();
        page.LbSpeedButton1MouseUp();
        QCOMPARE(page.rowCount(), 50);
        page.popUpRowMenu(10, QPoint());
        page.PopupMenu1->hide();
        page.AddLayer->trigger();
        QCOMPARE(page.rowCount(), 50);
        QCOMPARE(page.row(10).identity, 10);
    }

    void rowsStandWhereTheyShould() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, {QStringLiteral("A"), QStringLiteral("B")});
        const TLayerRow& row = page.row(3); // r = 3: top 42
        QCOMPARE(row.pv->geometry(), QRect(0, 40, 15, 25));
        QCOMPARE(row.number->geometry(), QRect(35, 42, 20, 22));
        QCOMPARE(row.layerFile->geometry(), QRect(54, 42, 325, 22));
        QCOMPARE(row.thickness->geometry(), QRect(378, 42, 90, 22));
        QCOMPARE(row.segments->geometry(), QRect(467, 42, 90, 22));
        QCOMPARE(row.roughness->geometry(), QRect(556, 32, 90, 22));
        QCOMPARE(row.layerFile->objectName(), QStringLiteral("L3"));
        QCOMPARE(row.thickness->objectName(), QStringLiteral("T3"));
        QCOMPARE(row.segments->objectName(), QStringLiteral("P3"));
        QCOMPARE(row.roughness->objectName(), QStringLiteral("R3"));
        QCOMPARE(row.number->objectName(), QStringLiteral("Ln3"));
        QCOMPARE(row.pv->objectName(), QStringLiteral("G3"));
        QCOMPARE(row.segments->Decimals(), 0);
        QCOMPARE(static_cast<double>(row.thickness->MaxValue()), 1e7);
        QCOMPARE(static_cast<double>(row.segments->MinValue()), 1.0);
    }

    void scrollBoxHeightFollowsTheAdvancedPanel() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        TStructureForm& page = *app.forms->StructureForm;
        main.show();
        main.ToolBarClick(main.LbSpeedButton1);
        QCOMPARE(page.ScrollBox1->height(), 617);
        QVERIFY(!page.AdvPanel->isVisible());
        main.AdvButtonClick();
        QCOMPARE(page.ScrollBox1->height(), 442);
        QVERIFY(page.AdvPanel->isVisible());
        QCOMPARE(page.pbIfactor->text(), QStringLiteral("1"));
        QCOMPARE(page.pbCfactor->text(), QStringLiteral("1"));
    }

    void newListingFolderKeepsEachRowsName() {
        test::TestApp app;
        TStructureForm& page = *app.forms->StructureForm;
        makeStack(page, {QStringLiteral("CIGS"), QStringLiteral("my film")});
        const QString lists = app.tempPath("lists");
        QDir().mkpath(lists);
        QFile f(lists + "/layer.dat");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("air\r\nCIGS\r\nW\r\n");
        f.close();
        app.dialogs.answerFolder(lists);
        app.forms->FilesForm->btDirClick(app.forms->FilesForm->brDir_dat);
        QCOMPARE(names(page), (QStringList{"air", "CIGS", "my film", "air"}));
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(page.row(r).layerFile->count(), 3);
        QCOMPARE(page.row(2).layerFile->currentIndex(), 1);
        QCOMPARE(page.row(3).layerFile->currentIndex(), -1);
    }

    void pageValuesReachTheFile() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        TStructureForm& page = *app.forms->StructureForm;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        makeStack(page, {QStringLiteral("CIGS"), QString()});
        page.row(2).pv->setChecked(true);
        main.ToolBarClick(main.LbSpeedButton1);
        main.AdvButtonClick();
        page.pbIfactor->setFocus();
        page.pbIfactor->selectAll();
        QTest::keyClicks(page.pbIfactor, QStringLiteral("2.5"));
        main.PremakniFocus(); // commits, as every command that reads the pages does
        const auto lines = build(main);
        QCOMPARE(QString::fromStdString(lines[7]), QStringLiteral("No. of layers: 4"));
        QCOMPARE(QString::fromStdString(lines[12]), "CIGS" + QString(30, ' ') + "100" +
                                                        QString(14, ' ') + "1" + QString(13, ' ') +
                                                        "1" + QString(19, ' ') + "1");
        QVERIFY(lines[13].starts_with("void "));
        QCOMPARE(QString::fromStdString(lines[15 + 4]),
                 QStringLiteral("Incoherent thickness factor (multiplication of the initial "
                                "d_incoh): 2.5"));
    }

    void baselineIsTheUntouchedProject() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        QVERIFY(main.BaselineList.empty());
        main.FormActivate();
        const auto baseline = build(main);
        QCOMPARE(main.BaselineList, baseline);
        makeStack(*app.forms->StructureForm, {QStringLiteral("Mo")});
        main.FormActivate(); // a later activation leaves the baseline alone
        QCOMPARE(main.BaselineList, baseline);
        QVERIFY(build(main) != baseline);
    }

    void failedSaveKeepsTheOldFileAndSaysWhy() {
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        const QString target = app.tempPath("project.dat");
        QVERIFY(main.SaveInputFile(target));
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray before = saved.readAll();
        saved.close();
        QVERIFY(before.startsWith("~~~~~~~~>\r\n"));

        makeStack(*app.forms->StructureForm, {QStringLiteral("ZnO\u221A")});
        QVERIFY(!main.SaveInputFile(target));
        QVERIFY(app.dialogs.messageTexts().last().startsWith("Cannot create file \"" + target +
                                                             "\". "));
        QVERIFY(app.dialogs.messageTexts().last().contains(QStringLiteral("of layer 1 ")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), before);
    }
};

QTEST_MAIN(StructureFormTest)
#include "test_structureform.moc"
