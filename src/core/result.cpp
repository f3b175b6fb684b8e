#include "core/result.h"

namespace lumetrix {

std::string ReadError::describe() const {
    std::string out = file;
    if (line > 0)
        out += ", line " + std::to_string(line);
    return out + ": " + reason;
}

} // namespace lumetrix
