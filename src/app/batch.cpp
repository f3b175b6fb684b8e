#include "batch.h"

#include "forms.h"
#include "mainform.h"
#include "options.h"
#include "settingsstore.h"
#include "userdialogs.h"

#include <cstdio>

namespace lumetrix {

int runBatchSave(const CommandLine& commandLine) {
    ScriptedUserDialogs dialogs; // no one to answer: questions get Cancel or No
    dialogs.echo = [](const QString& text) {
        std::fprintf(stderr, "lumetrix: %s\n", qPrintable(text));
    };
    SettingsStore settings;
    Forms forms({dialogs, settings, commandLine.workDir, {}});

    if (!commandLine.batchIn.isEmpty()) {
        dialogs.error(QStringLiteral("Cannot open file \"%1\"\nReading input files is not "
                                     "available in this version.")
                          .arg(commandLine.batchIn));
        return 1;
    }
    return forms.MainForm->SaveInputFile(commandLine.batchOut) ? 0 : 1;
}

} // namespace lumetrix
