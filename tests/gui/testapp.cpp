#include "testapp.h"

#include "controls/platform_hooks.h"
#include "controls/regional.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

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

void TestApp::createForms() {
    forms = std::make_unique<Forms>(AppContext{dialogs, *settings, m_workDir, {}});
}

TestApp::~TestApp() {
    forms.reset();
    hooks::setBeep(m_oldBeep);
    hooks::setKeyboardModifiers(m_oldModifiers);
}

} // namespace lumetrix::test
