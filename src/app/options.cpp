#include "app/options.h"

#include <QDir>
#include <QFileInfo>

namespace lumetrix {

CommandLine parseCommandLine(const QStringList& arguments, const QString& callerFolder) {
    // Paths mean the caller's folder: the program later works in its own folder.
    const QDir caller(callerFolder);
    const auto absolute = [&caller](const QString& path) {
        return QDir::cleanPath(caller.absoluteFilePath(path));
    };
    CommandLine result;
    QStringList positional;
    bool optionsEnd = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (optionsEnd || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            positional << absolute(arg);
        } else if (arg == QLatin1String("--")) {
            optionsEnd = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            result.help = true;
        } else if (arg == QLatin1String("--version")) {
            result.version = true;
        } else if (arg == QLatin1String("--workdir")) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--workdir needs a folder");
                return result;
            }
            const QString dir = arguments[++i];
            const QFileInfo info(absolute(dir));
            if (info.exists() && !info.isDir()) {
                result.error = QStringLiteral("--workdir: \"%1\" is a file, not a folder").arg(dir);
                return result;
            }
            if (!info.isDir()) {
                result.error =
                    QStringLiteral("--workdir: the folder \"%1\" does not exist").arg(dir);
                return result;
            }
            result.workDir = absolute(dir);
        } else if (arg == QLatin1String("--table") || arg == QLatin1String("--skip")) {
            if (i + 1 >= arguments.size()) {
                result.error = arg + QStringLiteral(" needs a value");
                return result;
            }
            const QString value = arguments[++i];
            if (arg == QLatin1String("--table")) {
                result.tableFile = absolute(value);
                continue;
            }
            bool number = false;
            result.tableSkip = value.toInt(&number);
            if (!number || result.tableSkip < 0) {
                result.error =
                    QStringLiteral("--skip needs a number of lines, not \"%1\"").arg(value);
                return result;
            }
        } else if (arg == QLatin1String("--batch-save")) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--batch-save needs the file to write");
                return result;
            }
            result.batchSave = true;
            result.batchOut = absolute(arguments[++i]);
        } else {
            result.error = QStringLiteral("unknown option \"%1\"").arg(arg);
            return result;
        }
    }
    if (result.batchSave) {
        if (positional.size() > 1) {
            result.error = QStringLiteral("--batch-save takes at most one input file");
            return result;
        }
        result.batchIn = positional.value(0);
    } else {
        result.files = positional;
    }
    return result;
}

} // namespace lumetrix
