#include "options.h"

#include <QDir>
#include <QFileInfo>

namespace lumetrix {

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine result;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--workdir")) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--workdir needs a folder");
                return result;
            }
            const QString dir = arguments[++i];
            if (!QFileInfo(dir).isDir()) {
                result.error =
                    QStringLiteral("--workdir: the folder \"%1\" does not exist").arg(dir);
                return result;
            }
            result.workDir = QDir(dir).absolutePath();
        } else {
            result.files << arg;
        }
    }
    return result;
}

} // namespace lumetrix
