#include "forms.h"
#include "mainform.h"
#include "options.h"
#include "regional.h"
#include "settingsstore.h"
#include "userdialogs.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumetrix"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.8"));

    const lumetrix::CommandLine commandLine =
        lumetrix::parseCommandLine(QApplication::arguments().mid(1));
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "lumetrix: %s\nusage: lumetrix [--workdir DIR] [FILE]\n",
                     qPrintable(commandLine.error));
        return 2;
    }

    lumetrix::RegionalSettings::instance().readSystemLocale();
    lumetrix::QtUserDialogs dialogs;
    lumetrix::SettingsStore settings;
    lumetrix::Forms forms({dialogs, settings, commandLine.workDir, commandLine.files});
    forms.MainForm->show();
    return QApplication::exec();
}
