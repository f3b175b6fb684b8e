#pragma once

#include <QString>

namespace lumetrix {

// The simulation kernel program: $LUMETRIX_KERNEL when it is set, otherwise
// "lumetrix-kernel" in the folder of the running program.
QString kernelProgramPath();

} // namespace lumetrix
