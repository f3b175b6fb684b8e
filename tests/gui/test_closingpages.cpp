// The Total Reflectance and Transmittance, Illumination Spectrum and Comments pages, with and
// without the add-on library.
#include "app/mainform.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "pages/filesform.h"
#include "pages/reftransform.h"
#include "pages/spectrumform.h"
#include "pages/tekstform.h"
#include "testapp.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QtTest>

using namespace lumetrix;

namespace {

std::vector<std::string> build(TMainForm& main) {
    std::vector<std::string> lines;
    main.BuildInputFile(lines);
    return lines;
}

// The line that starts with the text, or an empty string.
QString lineStarting(const std::vector<std::string>& lines, const QString& start) {
    for (const std::string& line : lines)
        if (QString::fromStdString(line).startsWith(start))
            return QString::fromStdString(line);
    return {};
}

template <typename Page> Page& showPage(test::TestApp& app, Page& page, int tag, bool advanced) {
    TMainForm& main = *app.forms->MainForm;
    main.show();
    main.ToolBarClick(main.SideButtons[tag]);
    if (main.advancedFlag(tag) != advanced)
        main.AdvButtonClick();
    return page;
}

// A test app whose working folder holds the add-on library and a spectrum file AM15.spk.
void withAddOn(test::TestApp& app, const QString& spectrumFixture) {
    QVERIFY(QFile::copy(QStringLiteral(LUMETRIX_ADDON_PATH), app.workDir() + "/libLXPro.so"));
    if (!spectrumFixture.isEmpty())
        QVERIFY(QFile::copy(QStringLiteral(LUMETRIX_TEST_DATA_DIR) + "/" + spectrumFixture,
                            app.workDir() + "/Spectrum/AM15.spk"));
    app.createForms();
}

QDoubleSpinBox* rangeBox(const TSpectrumForm& page, const char* name) {
    return page.ProPanel->findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
}

} // namespace

class ClosingPagesTest : public QObject {
    Q_OBJECT

private slots:
    void factorColumnsFollowTheCheckAndTheFlag() {
        test::TestApp app;
        TRefTransForm& rt = showPage(app, *app.forms->RefTransForm, 3, false);
        QVERIFY(!rt.pIncludeDecr->isVisible());
        rt.cbIncludeDecr->click();
        QVERIFY(rt.pIncludeDecr->isVisible());
        QVERIFY(rt.factors[0].c12->isVisible());
        QVERIFY(!rt.AdvPanel2->isVisible());
        app.forms->MainForm->AdvButtonClick();
        QVERIFY(rt.AdvPanel2->isVisible());
        QVERIFY(rt.factors[2].direct->isVisible());
        rt.cbIncludeDecr->click();
        QVERIFY(!rt.pIncludeDecr->isVisible());
        QVERIFY(!rt.AdvPanel2->isVisible());
    }

    void enterLeavesTheEditAndClamps() {
        test::TestApp app;
        TRefTransForm& rt = showPage(app, *app.forms->RefTransForm, 3, true);
        QVERIFY(QTest::qWaitForWindowActive(app.forms->MainForm));
        rt.cbIncludeDecr->click();
        TPBNumEdit* c12 = rt.factors[0].c12;
        c12->setFocus();
        c12->selectAll();
        QTest::keyClicks(c12, QStringLiteral("1.5"));
        QTest::keyClick(c12, Qt::Key_Return);
        QCOMPARE(c12->text(), QStringLiteral("1"));
        QCOMPARE(app.beeps, 1);

        rt.cbIncludeInc_adv->click();
        rt.pbC21Scatt->setFocus();
        rt.pbC21Scatt->selectAll();
        QTest::keyClicks(rt.pbC21Scatt, QStringLiteral("0.5"));
        app.forms->MainForm->PremakniFocus();
        QCOMPARE(rt.pbC21Scatt->text(), QStringLiteral("1"));
        QCOMPARE(app.beeps, 2);
    }

    void resetEmptiesEveryColumn() {
        test::TestApp app;
        TRefTransForm& rt = *app.forms->RefTransForm;
        for (const FactorColumn& f : rt.factors) {
            f.interfaces->setText(QStringLiteral("1,2"));
            f.direct->setChecked(true);
            f.c21->setValue(0.5);
        }
        for (const FunctionColumn& f : rt.functions) {
            f.interfaces->setText(QStringLiteral("3"));
            f.direct->setChecked(true);
            f.c12->setCurrentIndex(2);
        }
        rt.cbIncludeDecr->setChecked(true);
        rt.eRTSpecifInterface_adv->setText(QStringLiteral("0"));
        rt.pbC21Scatt->setValue(4);
        rt.FormCreate();
        for (const FactorColumn& f : rt.factors) {
            QVERIFY(f.interfaces->text().isEmpty());
            QVERIFY(!f.direct->isChecked());
            QCOMPARE(f.c21->text(), QStringLiteral("1"));
        }
        for (const FunctionColumn& f : rt.functions) {
            QVERIFY(f.interfaces->text().isEmpty());
            QVERIFY(!f.direct->isChecked());
            QCOMPARE(f.c12->currentIndex(), 2); // the list keeps the choice the box holds
        }
        QVERIFY(!rt.cbIncludeDecr->isChecked());
        QVERIFY(rt.eRTSpecifInterface_adv->text().isEmpty());
        QCOMPARE(rt.pbC21Scatt->text(), QStringLiteral("1"));
    }

    void calibrationFunctionBoxesSelectTheirFirstItem() {
        test::TestApp app;
        TRefTransForm& rt = *app.forms->RefTransForm;
        for (const FunctionColumn& f : rt.functions) {
            QCOMPARE(f.c12->currentIndex(), 0);
            QCOMPARE(f.c21->currentText(), QStringLiteral("none"));
        }
        rt.functions[0].c21->setEditText(QString());
        rt.functions[0].c21->setCurrentIndex(-1);
        app.forms->FilesForm->ReloadListBoxes();
        QCOMPARE(rt.functions[0].c21->currentIndex(), 0);
    }

    void refTransValuesReachTheFile() {
        test::TestApp app;
        TRefTransForm& rt = *app.forms->RefTransForm;
        rt.cbIncludeDecr->setChecked(true);
        rt.factors[0].interfaces->setText(QStringLiteral("0,1"));
        rt.factors[0].c12->setValue(0.25);
        rt.cbIncludeFDecrTR->setChecked(true);
        rt.functions[1].c12->setCurrentIndex(1);
        rt.pbC21Scatt->setValue(2.5);
        const auto lines = build(*app.forms->MainForm);
        QCOMPARE(
            lineStarting(lines, QStringLiteral("Include following calibration factors")).right(1),
            QStringLiteral("y"));
        QVERIFY(std::find(lines.begin(), lines.end(),
                          "Specified interfaces (0 = front surface): 0,1") != lines.end());
        QCOMPARE(lineStarting(lines, QStringLiteral("For light approaching the interface from "
                                                    "front side of the structure, c12")),
                 QStringLiteral("For light approaching the interface from front side of the "
                                "structure, c12 [0..1] = 0.25"));
        QCOMPARE(lineStarting(lines, QStringLiteral("c21scatt")),
                 QStringLiteral("c21scatt [>1]= 2.5"));
    }

    void diffusedLightPanelShowsAndKeepsItsValues() {
        test::TestApp app;
        TSpectrumForm& sp = showPage(app, *app.forms->SpectrumForm, 4, true);
        QVERIFY(!sp.Panel1->isVisible());
        sp.rbCombination->setChecked(true);
        QVERIFY(sp.Panel1->isVisible());
        QVERIFY(sp.pbRatio->isVisible());
        sp.pbRatio->setValue(0.3);
        sp.rbCoherent->setChecked(true);
        QVERIFY(!sp.Panel1->isVisible());
        QCOMPARE(sp.pbRatio->text(), QStringLiteral("0.30"));
    }

    void diffusedAdfChoice() {
        test::TestApp app;
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        sp.cbADF1_Spekt->setCurrentIndex(3);
        QCOMPARE(sp.Notebook1->currentIndex(), 1); // ellipse
        sp.rbSpecADFExternal->setChecked(true);
        QCOMPARE(sp.cbADF1_Spekt->itemText(0), QStringLiteral("ADF1_ZnO_textured"));
        QCOMPARE(sp.Notebook1->currentIndex(), 2);
        sp.rbSpecADFInternal->setChecked(true);
        QCOMPARE(sp.cbADF1_Spekt->currentIndex(), 0);
        QCOMPARE(sp.Notebook1->currentIndex(), 2);
    }

    void coherentLightWritesFixedValuesFromThePage() {
        test::TestApp app;
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        sp.rbCombination->setChecked(true);
        sp.pbRatio->setValue(0.5);
        sp.pbSpectrLamb->setValue(3);
        sp.cbADF1_Spekt->setCurrentIndex(2);
        auto lines = build(*app.forms->MainForm);
        QCOMPARE(lineStarting(lines, QStringLiteral("Ratio diffused")),
                 QStringLiteral("Ratio diffused/(diffused+specular) = 0.50"));
        QCOMPARE(lineStarting(lines, QStringLiteral("ADF spectrum data")),
                 QStringLiteral("ADF spectrum data: 3"));
        sp.rbCoherent->setChecked(true);
        lines = build(*app.forms->MainForm);
        QCOMPARE(lineStarting(lines, QStringLiteral("Ratio diffused")),
                 QStringLiteral("Ratio diffused/(diffused+specular) = 0"));
        QCOMPARE(lineStarting(lines, QStringLiteral("ad [2-3] Lambertian power n = ")),
                 QStringLiteral("ad [2-3] Lambertian power n = 1.00"));
    }

    void withoutTheAddOn() {
        test::TestApp app;
        TSpectrumForm& sp = showPage(app, *app.forms->SpectrumForm, 4, false);
        QVERIFY(!app.forms->MainForm->AddOnPresent);
        QVERIFY(!sp.cbManually->isVisible());
        QVERIFY(sp.ProPanel->findChildren<QWidget*>().isEmpty());
        sp.cbManually->setChecked(true); // even so, without the add-on the name stays plain
        QCOMPARE(lineStarting(build(*app.forms->MainForm), QStringLiteral("Spectrum: ")),
                 QStringLiteral("Spectrum: AM15"));
    }

    void addOnPanelAndConversion() {
        test::TestApp app(false);
        withAddOn(app, QStringLiteral("spectrum_valid.spk"));
        TSpectrumForm& sp = showPage(app, *app.forms->SpectrumForm, 4, false);
        QVERIFY(app.forms->MainForm->AddOnPresent);
        QVERIFY(sp.cbManually->isVisible());
        QVERIFY(rangeBox(sp, "LXProFrom"));
        sp.FormCreate(); // a reset binds again without a second panel
        QCOMPARE(sp.ProPanel->findChildren<QDoubleSpinBox*>().size(), 2);

        rangeBox(sp, "LXProFrom")->setValue(400);
        rangeBox(sp, "LXProTo")->setValue(600);
        sp.cbManually->setChecked(true);
        const auto lines = build(*app.forms->MainForm);
        QCOMPARE(lineStarting(lines, QStringLiteral("Spectrum: ")),
                 QStringLiteral("Spectrum: AM15_tmp"));
        QFile converted(app.workDir() + "/Spectrum/AM15_tmp.spk");
        QVERIFY(converted.open(QIODevice::ReadOnly));
        const QByteArray text = converted.readAll();
        QVERIFY(text.contains("# Range set manually: 400 to 600 nm\r\n400 1.1\r\n"));
        QVERIFY(!text.contains("300\t0.45"));
    }

    void addOnRefusesAMalformedSpectrum() {
        test::TestApp app(false);
        withAddOn(app, QStringLiteral("spectrum_not_a_number.spk"));
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        sp.cbManually->setChecked(true);
        QCOMPARE(lineStarting(build(*app.forms->MainForm), QStringLiteral("Spectrum: ")),
                 QStringLiteral("Spectrum: AM15"));
        QVERIFY(!QFile::exists(app.workDir() + "/Spectrum/AM15_tmp.spk"));
        QVERIFY(app.dialogs.calls.isEmpty()); // the writer shows nothing
    }

    void addOnThatIsNoLibrary() {
        test::TestApp app(false);
        QFile fake(app.workDir() + "/libLXPro.so");
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("not a library");
        fake.close();
        app.createForms();
        TSpectrumForm& sp = *app.forms->SpectrumForm;
        QVERIFY(app.forms->MainForm->AddOnPresent);
        QVERIFY(!sp.addOn().offersConversion());
        sp.cbManually->setChecked(true);
        QCOMPARE(lineStarting(build(*app.forms->MainForm), QStringLiteral("Spectrum: ")),
                 QStringLiteral("Spectrum: AM15"));
    }

    void commentsAndPrecision() {
        test::TestApp app;
        TTekstForm& tekst = *app.forms->TekstForm;
        QVERIFY(tekst.TekstMemo->toPlainText().isEmpty());
        QVERIFY(tekst.rbNormalPrecision->isChecked() != tekst.rbHighPrecision->isChecked());
        tekst.rbHighPrecision->setChecked(true);
        QVERIFY(!tekst.rbNormalPrecision->isChecked());
        tekst.TekstMemo->setPlainText(QStringLiteral("sample A\nannealed 30 min\nsee logbook"));
        const auto lines = build(*app.forms->MainForm);
        QCOMPARE(lineStarting(lines, QStringLiteral("Precision level")),
                 QStringLiteral("Precision level (n-normal, h-high): h"));
        QVERIFY(lines.size() > 4);
        QCOMPARE(QString::fromStdString(lines[lines.size() - 4]), QString());
        QCOMPARE(QString::fromStdString(lines[lines.size() - 3]), QStringLiteral("sample A"));
        QCOMPARE(QString::fromStdString(lines.back()), QStringLiteral("see logbook"));
    }

    void completeNewProjectThroughThePages() {
        test::TestApp app;
        const QString workDir = QString::fromStdString(app.forms->MainForm->FolderSettings.WorkDir);
        QFile golden(QStringLiteral(LUMETRIX_TEST_DATA_DIR) + "/new_project.dat");
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QByteArray expected = golden.readAll();
        expected.replace("@WORKDIR@", workDir.toLocal8Bit());
        const QString target = app.tempPath("new.dat");
        QVERIFY(app.forms->MainForm->SaveInputFile(target));
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), expected);
    }
};

QTEST_MAIN(ClosingPagesTest)
#include "test_closingpages.moc"
