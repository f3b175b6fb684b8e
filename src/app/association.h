#pragma once

#include <QString>

namespace lumetrix {

inline const QString kInputFileMimeType = QStringLiteral("application/x-lumetrix-input");
inline const QString kDesktopFileName = QStringLiteral("lumetrix.desktop");

// The text of mimeapps.list with the program as the default for its input files; the other
// entries stay as they were.
QString withDefaultApplication(const QString& mimeapps, const QString& mimeType,
                               const QString& desktopFile);

// Makes the program the handler of ".dat" files for the user: a desktop entry and a MIME type
// under $XDG_DATA_HOME, the default in $XDG_CONFIG_HOME/mimeapps.list. Returns the reason
// when a file cannot be written, or an empty string.
QString associateDatFiles(const QString& program);

} // namespace lumetrix
