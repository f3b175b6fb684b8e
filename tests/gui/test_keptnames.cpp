// Names that a file holds in the pages' drop-down boxes come back at the next save, whether
// the listing files list them or not.
#include "app/forms.h"
#include "app/mainform.h"
#include "core/inputfile_writer.h"
#include "core/project.h"
#include "core/textfile.h"
#include "testapp.h"

#include <QFile>
#include <QtTest>
#include <functional>

using namespace lumetrix;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Empty when equal; else the first line that differs, for the failure message.
QString firstDifference(const QByteArray& actual, const QByteArray& expected) {
    const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
    for (qsizetype i = 0; i < std::max(a.size(), e.size()); ++i)
        if (a.value(i) != e.value(i))
            return QStringLiteral("line %1: \"%2\" instead of \"%3\"")
                .arg(i + 1)
                .arg(QString::fromLatin1(a.value(i).trimmed()),
                     QString::fromLatin1(e.value(i).trimmed()));
    return {};
}

#define COMPARE_FILES(actual, expected)                                                            \
    QVERIFY2(firstDifference(readAll(actual), readAll(expected)).isEmpty(),                        \
             qPrintable(firstDifference(readAll(actual), readAll(expected))))

using Setter = std::function<void(Project&, const std::string&)>;

// Every box that a reader fills by text, with what must be on for the file to carry it.
const QList<QPair<QString, Setter>>& boxes() {
    static const QList<QPair<QString, Setter>> all = {
        {"layer box", [](Project& p, const std::string& t) { p.structure.rows[1].layerFile = t; }},
        {"cb_cR_HR", [](Project& p, const std::string& t) { p.haze.cb_cR_HR = t; }},
        {"cb_cT_HT", [](Project& p, const std::string& t) { p.haze.cb_cT_HT = t; }},
        {"cb_cR_HR_adv",
         [](Project& p, const std::string& t) {
             p.haze.cbUseOtherHaze = true;
             p.haze.eHazeOtherSpecifyInt = "1";
             p.haze.cb_cR_HR_adv = t;
         }},
        {"cb_cT_HT_adv",
         [](Project& p, const std::string& t) {
             p.haze.cbUseOtherHaze = true;
             p.haze.eHazeOtherSpecifyInt = "1";
             p.haze.cb_cT_HT_adv = t;
         }},
        {"cbADF1R external",
         [](Project& p, const std::string& t) {
             p.adf.adf1.external = true;
             p.adf.adf1.r = {-1, t};
             p.adf.adf1List = {"ADF1_ZnO_textured", "ADF1_CIGS_rough", "ADF1_Mo_back"};
         }},
        {"cbADF2T external",
         [](Project& p, const std::string& t) {
             p.adf.adf2.external = true;
             p.adf.adf2.t = {-1, t};
             p.adf.adf2List = {"ADF2_ZnO_textured", "ADF2_CIGS_rough", "ADF2_Mo_back"};
         }},
        {"group 2 ADF1T external",
         [](Project& p, const std::string& t) {
             p.adf.groups.setCount(2);
             p.adf.groups.group(2).interfaces = "2";
             p.adf.groups.group(2).adf1.external = true;
             p.adf.groups.group(2).adf1.tFile = t;
         }},
        {"group 1 ADF2R external",
         [](Project& p, const std::string& t) {
             p.adf.groups.group(1).adf2.external = true;
             p.adf.groups.group(1).adf2.rFile = t;
         }},
        {"cbCalFunc_c12_1",
         [](Project& p, const std::string& t) {
             p.refTrans.cbIncludeFDecrTR = true;
             p.refTrans.functions[0].c12 = t;
         }},
        {"cbCalFunc_c21_1",
         [](Project& p, const std::string& t) {
             p.refTrans.cbIncludeFDecrTR = true;
             p.refTrans.functions[0].c21 = t;
         }},
        {"cbCalFunc_c12_2",
         [](Project& p, const std::string& t) {
             p.refTrans.cbIncludeFDecrTR = true;
             p.refTrans.functions[1].c12 = t;
         }},
        {"cbCalFunc_c21_2",
         [](Project& p, const std::string& t) {
             p.refTrans.cbIncludeFDecrTR = true;
             p.refTrans.functions[1].c21 = t;
         }},
        {"cbSpekter", [](Project& p, const std::string& t) { p.spectrum.cbSpekter = t; }},
        {"cbADF1_Spekt external",
         [](Project& p, const std::string& t) {
             p.spectrum.rbCoherent = false;
             p.spectrum.pbRatio = "0.50";
             p.spectrum.rbSpecADFInternal = false;
             p.spectrum.cbADF1_Spekt = {-1, t};
         }},
    };
    return all;
}

// A name each box's listing file holds, in the order of boxes().
const char* const kListed[] = {"Mo",
                               "HR_flat",
                               "cT_flat",
                               "cR_flat",
                               "HT_flat",
                               "ADF1_Mo_back",
                               "ADF2_CIGS_rough",
                               "ADF1_CIGS_rough",
                               "ADF2_Mo_back",
                               "ReflCal_glass",
                               "ReflCal_ZnO_textured",
                               "none",
                               "ReflCal_glass",
                               "AM0",
                               "ADF1_Mo_back"};

} // namespace

class TestKeptNames : public QObject {
    Q_OBJECT
private slots:
    void namesComeBackAfterOpenAndSave_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("name");
        for (int i = 0; i < boxes().size(); ++i) {
            const QByteArray label = boxes()[i].first.toUtf8();
            QTest::newRow(label + ", listed") << i << QString::fromLatin1(kListed[i]);
            QTest::newRow(label + ", not listed") << i << QStringLiteral("from another machine");
        }
    }
    void namesComeBackAfterOpenAndSave() {
        QFETCH(int, box);
        QFETCH(QString, name);
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        app.dialogs.calls.clear(); // the test folder has no start project
        Project project = main.collectProject();
        boxes()[box].second(project, name.toStdString());
        std::vector<std::string> lines;
        BuildInputFile(project, main.writerContext(), lines);
        const QString written = app.tempPath("written.dat");
        QVERIFY(!writeTextFile(written.toStdString(), lines));
        QVERIFY(readAll(written).contains(name.toLatin1()));

        QVERIFY(main.OpenInputFile(written));
        const QString saved = app.tempPath("saved.dat");
        QVERIFY(main.SaveInputFile(saved));
        COMPARE_FILES(saved, written);
        QVERIFY2(app.dialogs.messageTexts().isEmpty(),
                 qPrintable(app.dialogs.messageTexts().join("|")));
    }

    // A "ver 1.1" file names one c12 function; it is kept whether listed or not. (The file is
    // saved in the current layout, so only the function's line is compared.)
    void oldFileKeepsItsFunction_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("listed") << QByteArray("ReflCal_glass");
        QTest::newRow("not listed") << QByteArray("cal_a");
    }
    void oldFileKeepsItsFunction() {
        QFETCH(QByteArray, name);
        test::TestApp app;
        TMainForm& main = *app.forms->MainForm;
        main.FormActivate();
        QByteArray old = readAll(LUMETRIX_TEST_DATA_DIR "/legacy_ver_1_1.dat");
        QVERIFY(old.contains("......ReflCal_glass\r\n"));
        old.replace("......ReflCal_glass\r\n", "......" + name + "\r\n");
        const QString oldPath = app.tempPath("old.dat");
        QFile out(oldPath);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(old);
        out.close();

        QVERIFY(main.OpenInputFile(oldPath));
        const QString first = app.tempPath("first.dat");
        QVERIFY(main.SaveInputFile(first));
        QVERIFY(readAll(first).contains("c12(wavelength): " + name + "\r\n"));
    }
};

QTEST_MAIN(TestKeptNames)
#include "test_keptnames.moc"
