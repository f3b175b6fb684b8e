#include "app/batch.h"
#include "app/forms.h"
#include "app/mainform.h"
#include "app/options.h"
#include "controls/regional.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"

#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>
#include <cstring>

namespace {

bool asksForBatchMode(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--batch-save") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // The batch mode needs no display.
    if (asksForBatchMode(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The core reads and writes numbers in the C notation and converts the separators itself;
    // the toolkit has set every locale category from the environment.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Lumetrix"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.8"));

    const lumetrix::CommandLine commandLine =
        lumetrix::parseCommandLine(QApplication::arguments().mid(1), QDir::currentPath());
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "lumetrix: %s\n%s\n", qPrintable(commandLine.error),
                     qPrintable(lumetrix::kUsage));
        return 2;
    }

    lumetrix::RegionalSettings::instance().readSystemLocale();
    if (commandLine.batchSave)
        return lumetrix::runBatchSave(commandLine);

    lumetrix::QtUserDialogs dialogs;
    lumetrix::SettingsStore settings;
    lumetrix::Forms forms({dialogs, settings, commandLine.workDir, commandLine.files});
    forms.MainForm->show();
    return QApplication::exec();
}
