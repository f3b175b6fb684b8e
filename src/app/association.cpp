#include "app/association.h"

#include "app/forms.h"
#include "app/mainform.h"
#include "controls/userdialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace lumetrix {
namespace {

QString home(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? QDir::homePath() + fallback : value;
}

// Writes the whole file or nothing; returns the reason of a failure.
QString writeWhole(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        return QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString());
    return {};
}

} // namespace

QString withDefaultApplication(const QString& mimeapps, const QString& mimeType,
                               const QString& desktopFile) {
    const QString section = QStringLiteral("[Default Applications]");
    const QString entry = mimeType + "=" + desktopFile;
    QStringList lines = mimeapps.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    int start = lines.indexOf(section);
    if (start < 0) {
        if (!lines.isEmpty())
            lines << QString();
        lines << section << entry;
        return lines.join(QLatin1Char('\n')) + "\n";
    }
    int end = start + 1;
    while (end < lines.size() && !lines[end].startsWith(QLatin1Char('[')))
        ++end;
    for (int i = start + 1; i < end; ++i) {
        if (lines[i].startsWith(mimeType + "=")) {
            lines[i] = entry;
            return lines.join(QLatin1Char('\n')) + "\n";
        }
    }
    lines.insert(start + 1, entry);
    return lines.join(QLatin1Char('\n')) + "\n";
}

QString associateDatFiles(const QString& program) {
    const QString data = home("XDG_DATA_HOME", QStringLiteral("/.local/share"));
    const QString config = home("XDG_CONFIG_HOME", QStringLiteral("/.config"));
    const QString desktop = QStringLiteral("[Desktop Entry]\nType=Application\nName=Lumetrix\n"
                                           "Comment=Optical simulator of thin-film multilayer "
                                           "structures\nExec=\"%1\" %f\nMimeType=%2;\n"
                                           "Terminal=false\nCategories=Science;Physics;\n")
                                .arg(program, kInputFileMimeType);
    const QString mime =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"%1\">\n"
            "    <comment>Lumetrix input file</comment>\n"
            "    <glob pattern=\"*.dat\" weight=\"60\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n")
            .arg(kInputFileMimeType);
    for (const auto& [path, text] : {std::pair{data + "/applications/" + kDesktopFileName, desktop},
                                     std::pair{data + "/mime/packages/lumetrix-input.xml", mime}}) {
        const QString failure = writeWhole(path, text);
        if (!failure.isEmpty())
            return failure;
    }
    const QString mimeapps = config + "/mimeapps.list";
    QFile existing(mimeapps);
    QString current;
    if (existing.open(QIODevice::ReadOnly))
        current = QString::fromUtf8(existing.readAll());
    existing.close();
    const QString failure =
        writeWhole(mimeapps, withDefaultApplication(current, kInputFileMimeType, kDesktopFileName));
    if (!failure.isEmpty())
        return failure;
    // Tell the desktop, where its tools are installed.
    const QString update = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!update.isEmpty())
        QProcess::execute(update, {data + "/mime"});
    return {};
}

void TMainForm::Associatedatfiles1Click() {
    const QString failure = associateDatFiles(QCoreApplication::applicationFilePath());
    if (!failure.isEmpty()) {
        m_forms.context.dialogs.error(failure);
        return;
    }
    m_forms.context.dialogs.notice(QStringLiteral(".dat files are associated with Lumetrix now."));
}

} // namespace lumetrix
