#pragma once

// Every header the GUI tests use: the program's windows and pages, its controls, and the
// widgets and test tools of the toolkit.
#include "app/aboutform.h"
#include "app/association.h"
#include "app/mainform.h"
#include "app/options.h"
#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "controls/regional.h"
#include "core/inputfile_reader.h"
#include "core/inputfile_writer.h"
#include "pages/adfform.h"
#include "pages/filesform.h"
#include "pages/hazeform.h"
#include "pages/reftransform.h"
#include "pages/spectrumform.h"
#include "pages/structureform.h"
#include "pages/tekstform.h"
#include "results/results.h"
#include "tools/toolwindows.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>
#include <cstring>

#include "app/forms.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"

#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumetrix::test {

// A working folder copied from data/, scripted dialogs, a settings store of its own, a beep
// counter, and the forms of the program created on them.
class TestApp {
public:
    explicit TestApp(bool createForms = true);
    ~TestApp();

    QString workDir() const { return m_workDir; }
    QString tempPath(const QString& name) const { return m_temp.filePath(name); }
    void createForms();
    // Puts the example project back into the working folder's "in" folder.
    bool restoreExample();
    // Puts the add-on library into the working folder and, when given, a spectrum file of
    // tests/data under the name Spectrum/<name>.spk; call before createForms().
    bool installAddOn(const QString& spectrumFixture = {}, const QString& name = "AM15");

    // Shows the main window, activated, on the page with this Tag, with or without its
    // advanced part.
    void showPage(int tag, bool advanced);
    // The input file of the project as the pages hold it, and its line that starts so.
    std::vector<std::string> build();
    QString lineStarting(const QString& start);
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

// Copies a folder tree.
bool copyTree(const QString& from, const QString& to);
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);
inline QString q(const std::string& s) {
    return QString::fromStdString(s);
}
// What each widget shows: the text of an edit, a box, a label or a button.
QStringList texts(const QList<const QWidget*>& widgets);
// Whether each widget is visible.
QList<bool> visible(const QList<const QWidget*>& widgets);

// A data function's rows for a table of cases, each named by its first member, "name":
// the test function takes its case as cases[index].
template <typename Case, std::size_t N> void caseRows(const Case (&cases)[N]) {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(cases[i].name) << static_cast<int>(i);
}

} // namespace lumetrix::test
