#include "controls/kernelprogram.h"

#include <QCoreApplication>
#include <QDir>

namespace lumetrix {

QString kernelProgramPath() {
    const QString chosen = qEnvironmentVariable("LUMETRIX_KERNEL");
    if (!chosen.isEmpty())
        return chosen;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("lumetrix-kernel"));
}

} // namespace lumetrix
