#include "testapp.h"

#include "app/mainform.h"
#include "controls/platform_hooks.h"
#include "controls/regional.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace lumetrix::test {

bool copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList texts(const QList<const QWidget*>& widgets) {
    QStringList out;
    for (const QWidget* w : widgets) {
        if (auto* edit = qobject_cast<const QLineEdit*>(w))
            out << edit->text();
        else if (auto* box = qobject_cast<const QComboBox*>(w))
            out << box->currentText();
        else if (auto* label = qobject_cast<const QLabel*>(w))
            out << label->text();
        else if (auto* button = qobject_cast<const QAbstractButton*>(w))
            out << button->text();
        else
            out << QStringLiteral("?");
    }
    return out;
}

QList<bool> visible(const QList<const QWidget*>& widgets) {
    QList<bool> out;
    for (const QWidget* w : widgets)
        out << w->isVisible();
    return out;
}

TestApp::TestApp(bool create) {
    m_workDir = m_temp.filePath(QStringLiteral("work"));
    copyTree(QStringLiteral(LUMETRIX_DATA_DIR), m_workDir);
    // No start project unless a test asks for it (restoreExample).
    QFile::remove(m_workDir + "/in/CIGS example.dat");
    settings = std::make_unique<SettingsStore>(m_temp.filePath(QStringLiteral("settings.ini")));
    RegionalSettings::instance().setSeparators({'.', ','});
    m_oldBeep = hooks::setBeep([this] { ++beeps; });
    m_oldModifiers = hooks::setKeyboardModifiers([this] { return modifiers; });
    if (create)
        createForms();
}

bool TestApp::restoreExample() {
    return QFile::copy(QStringLiteral(LUMETRIX_DATA_DIR) + "/in/CIGS example.dat",
                       m_workDir + "/in/CIGS example.dat");
}

bool TestApp::installAddOn(const QString& spectrumFixture, const QString& name) {
    return QFile::copy(QStringLiteral(LUMETRIX_ADDON_PATH), m_workDir + "/libLXPro.so") &&
           (spectrumFixture.isEmpty() ||
            QFile::copy(QStringLiteral(LUMETRIX_TEST_DATA_DIR) + "/" + spectrumFixture,
                        m_workDir + "/Spectrum/" + name + ".spk"));
}

void TestApp::createForms() {
    forms = std::make_unique<Forms>(AppContext{dialogs, *settings, m_workDir, {}});
}

void TestApp::showPage(int tag, bool advanced) {
    TMainForm& main = *forms->MainForm;
    main.show();
    if (!main.activated())
        main.FormActivate(); // the first activation shows the Structure page
    main.ToolBarClick(main.SideButtons[static_cast<std::size_t>(tag)]);
    if (main.advancedFlag(tag) != advanced)
        main.AdvButtonClick();
}

std::vector<std::string> TestApp::build() {
    std::vector<std::string> lines;
    forms->MainForm->BuildInputFile(lines);
    return lines;
}

QString TestApp::lineStarting(const QString& start) {
    for (const std::string& line : build())
        if (q(line).startsWith(start))
            return q(line);
    return {};
}

bool TestApp::saveAndReopen(const QString& name) {
    // Saved under its name, the project is not changed: opening asks nothing.
    dialogs.answerFile(tempPath(name));
    forms->MainForm->SaveAs1Click();
    return forms->MainForm->OpenInputFile(tempPath(name));
}

TestApp::~TestApp() {
    forms.reset();
    hooks::setBeep(m_oldBeep);
    hooks::setKeyboardModifiers(m_oldModifiers);
}

} // namespace lumetrix::test
