#pragma once

#include <QString>
#include <QStringList>

namespace lumetrix {

// What the command line asks for: lumetrix [--workdir DIR] [FILE]
struct CommandLine {
    QString workDir;   // empty: the program's own folder
    QStringList files; // the first one is opened at start
    QString error;     // non-empty: the command line is refused with this message
};

// Parses the arguments after the program name. A --workdir that is missing its folder, or
// names a folder that does not exist, is an error.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace lumetrix
