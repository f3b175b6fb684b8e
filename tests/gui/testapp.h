#pragma once

#include "app/forms.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

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

} // namespace lumetrix::test
