#pragma once

#include <QString>
#include <QStringList>

namespace lumetrix {

// What the command line asks for:
//   lumetrix [--workdir DIR] [FILE]
//   lumetrix [--workdir DIR] --batch-save OUT [IN]
struct CommandLine {
    QString workDir;   // empty: the program's own folder
    QStringList files; // the first one is opened at start
    bool help = false;
    bool version = false;
    bool batchSave = false;
    QString tableFile; // --table: print the table of this result file
    int tableSkip = 0;
    QString batchOut;
    QString batchIn; // empty: a new project
    QString error;   // non-empty: the command line is refused with this message
};

inline const QString kUsage =
    QStringLiteral("usage: lumetrix [--workdir DIR] [FILE]\n"
                   "       lumetrix [--workdir DIR] --batch-save OUT [IN]\n"
                   "       lumetrix --table FILE [--skip H]\n"
                   "       lumetrix --help | --version");

// Parses the arguments after the program name. A --workdir that is missing its folder, or
// names a folder that does not exist or a file, is an error; so is a --batch-save without OUT or
// with more than one IN, and an option the program does not know ("--" ends the options). Relative
// paths are taken as relative to the caller's folder.
CommandLine parseCommandLine(const QStringList& arguments, const QString& callerFolder);

} // namespace lumetrix
