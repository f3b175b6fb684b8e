#include "app/batch.h"
#include "app/forms.h"
#include "app/mainform.h"
#include "app/options.h"
#include "app/tableprint.h"
#include "controls/regional.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"

#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>

int main(int argc, char* argv[]) {
    // The command line is read before the toolkit starts: --help, --version and wrong usage
    // need no display, and paths mean the caller's folder.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const lumetrix::CommandLine commandLine =
        lumetrix::parseCommandLine(arguments, QDir::currentPath());
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "lumetrix: %s\n%s\n", qPrintable(commandLine.error),
                     qPrintable(lumetrix::kUsage));
        return 2;
    }
    if (commandLine.help) {
        std::printf("%s\n", qPrintable(lumetrix::kUsage));
        return 0;
    }
    if (commandLine.version) {
        std::printf("Lumetrix %s\n", LUMETRIX_VERSION);
        return 0;
    }
    if (!commandLine.tableFile.isEmpty())
        return lumetrix::printResultTable(commandLine.tableFile.toStdString(),
                                          commandLine.tableSkip);

    // The batch mode needs no display.
    if (commandLine.batchSave && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The core reads and writes numbers in the C notation and converts the separators itself;
    // the toolkit has set every locale category from the environment.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Lumetrix"));
    QApplication::setApplicationVersion(QStringLiteral(LUMETRIX_VERSION));

    lumetrix::RegionalSettings::instance().readSystemLocale();
    if (commandLine.batchSave)
        return lumetrix::runBatchSave(commandLine);

    lumetrix::QtUserDialogs dialogs;
    lumetrix::SettingsStore settings;
    lumetrix::Forms forms({dialogs, settings, commandLine.workDir, commandLine.files});
    forms.MainForm->show();
    return QApplication::exec();
}
