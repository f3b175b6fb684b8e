#include "core/run_status.h"

namespace lumetrix {

std::string RunStatus::text() const {
    const std::string at =
        total > 0 ? "wavelength " + std::to_string(done) + " of " + std::to_string(total)
                  : std::string();
    switch (state) {
    case State::Running:
        return at.empty() ? "Running" : "Running: " + at;
    case State::Completed:
        return "Completed";
    case State::Stopped:
        return at.empty() ? "Stopped" : "Stopped at " + at;
    case State::Failed:
        return "Failed";
    case State::Idle:
        break;
    }
    return "Idle";
}

} // namespace lumetrix
