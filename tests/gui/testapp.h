#pragma once

// Every header the GUI tests use, and the application they run on.
#include "app/aboutform.h"
#include "app/association.h"
#include "app/forms.h"
#include "app/mainform.h"
#include "app/options.h"
#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "controls/regional.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"
#include "core/inputfile_reader.h"
#include "core/inputfile_writer.h"
#include "core/listing.h"
#include "core/textfile.h"
#include "pages/adfform.h"
#include "pages/filesform.h"
#include "pages/hazeform.h"
#include "pages/reftransform.h"
#include "pages/spectrumform.h"
#include "pages/structureform.h"
#include "pages/tekstform.h"
#include "results/results.h"
#include "tools/optform.h"
#include "tools/toolwindows.h"

#include <QtTest>
#include <QtWidgets>

namespace lumetrix::test {

// A working folder copied from data/ (without the example project), scripted dialogs, a
// settings store of its own, a beep counter, and the forms of the program created on them.
class TestApp {
public:
    explicit TestApp(bool createForms = true);
    ~TestApp();

    QString workDir() const { return m_workDir; }
    QString tempPath(const QString& name) const { return m_temp.filePath(name); }
    TMainForm& main() const { return *forms->MainForm; }
    QString setting(std::string FolderSettings::*field) const {
        return QString::fromStdString(main().FolderSettings.*field);
    }
    QString told() const { return dialogs.messageTexts().join('|'); } // every message so far
    QPlainTextEdit* memo() const { return forms->TekstForm->TekstMemo; }
    void createForms(const QStringList& files = {}); // files named on the command line
    // Puts the add-on library into the working folder and, when given, a spectrum file of
    // tests/data as Spectrum/<name>.spk; call before createForms().
    bool installAddOn(const QString& spectrumFixture = {}, const QString& name = "AM15");
    // The main window shown, active and activated (the first activation sets the baseline
    // and shows the Structure page), with no dialog recorded.
    TMainForm& activeMain();
    void showPage(int tag, bool advanced); // with or without its advanced part
    void addLayers(int count);             // with ADD, as a click adds them
    // The input file of the project as the pages hold it.
    std::vector<std::string> build();
    // Saves the project as a file of the temporary folder and opens that file.
    bool saveAndReopen(const QString& name = "reopened.dat");

    ScriptedUserDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Forms> forms;
    int beeps = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier; // what the keyboard state reports

private:
    QTemporaryDir m_temp;
    QString m_workDir;
    std::function<void()> m_oldBeep;
    std::function<Qt::KeyboardModifiers()> m_oldModifiers;
};

void copyTree(const QString& from, const QString& to);
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes); // making the folder first
inline QString q(const std::string& s) {
    return QString::fromStdString(s);
}
// What the widgets show (the text of an edit, a box, a label or a button), joined by "|".
QString texts(const QList<const QWidget*>& widgets);
// Which widgets are visible, as "1" and "0".
QString shown(const QList<const QWidget*>& widgets);
inline long pressedButtons(const TMainForm& main) { // how many side buttons are down
    return std::ranges::count_if(main.SideButtons, [](auto* b) { return b->isChecked(); });
}

// The title, the size, and whether the window stays on top and has a minimise button.
QString frameOf(const QWidget& w);

// The cells of a table whose text its column is too narrow to show whole, joined by "|";
// and "hidden" first when the columns offer no header edges to size them by.
QString clippedCells(const QTableView* table);

// Gives the edit the focus and types over its whole text.
void typeOver(QLineEdit* edit, const QString& text);

// A data function's rows, with the row's number as "index".
void rows(const QList<const char*>& names);
// The rows for a table of cases, each named by its first member, "name": the test function
// takes its case as cases[index].
template <typename Case, std::size_t N> void caseRows(const Case (&cases)[N]) {
    QList<const char*> names;
    for (const Case& c : cases)
        names << c.name;
    rows(names);
}
// The case of the row that runs, of a table given to caseRows().
template <typename Case, std::size_t N> const Case& fetchCase(const Case (&cases)[N]) {
    return cases[*static_cast<int*>(QTest::qData("index", QMetaType::Int))];
}

#ifdef LUMETRIX_KERNEL_DOUBLE
// The stand-in kernel as the program RUN starts, told how to behave (see kernel_double.cpp),
// while the object lives.
class Kernel {
public:
    explicit Kernel(const char* mode, int rows = 3, int delayMs = 0,
                    const QByteArray& program = LUMETRIX_KERNEL_DOUBLE) {
        qputenv("LUMETRIX_KERNEL", program);
        qputenv("LUMETRIX_DOUBLE", mode);
        qputenv("LUMETRIX_DOUBLE_ROWS", QByteArray::number(rows));
        qputenv("LUMETRIX_DOUBLE_DELAY_MS", QByteArray::number(delayMs));
    }
    ~Kernel() {
        for (const char* name : {"LUMETRIX_KERNEL", "LUMETRIX_DOUBLE", "LUMETRIX_DOUBLE_ROWS",
                                 "LUMETRIX_DOUBLE_DELAY_MS"})
            qunsetenv(name);
    }
};
#endif

} // namespace lumetrix::test
