#include "app/batch.h"

#include "app/forms.h"
#include "app/mainform.h"
#include "app/options.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"

#include <cstdio>

namespace lumetrix {

int runBatchSave(const CommandLine& commandLine) {
    ScriptedUserDialogs dialogs; // no one to answer: questions get Cancel or No
    dialogs.echo = [](const QString& text) {
        std::fprintf(stderr, "lumetrix: %s\n", qPrintable(text));
    };
    SettingsStore settings;
    Forms forms({dialogs, settings, commandLine.workDir, {}});

    // The pages are as their creation left them: the file is read into them as at start.
    if (!commandLine.batchIn.isEmpty() && !forms.MainForm->ReadInputFile(commandLine.batchIn))
        return 1;
    return forms.MainForm->SaveInputFile(commandLine.batchOut) ? 0 : 1;
}

} // namespace lumetrix
