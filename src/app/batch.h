#pragma once

namespace lumetrix {

struct CommandLine;

// The batch mode: the program starts without a window, opens IN when given, saves to OUT,
// and reports every message on standard error. Returns the exit code: 0 saved, 1 the input
// could not be read or the output not written.
int runBatchSave(const CommandLine& commandLine);

} // namespace lumetrix
