#pragma once

#include <string>

namespace lumetrix {

// Where the kernel's latest run of this session stands, as the status bar and the Results
// page tell it.
struct RunStatus {
    enum class State { Idle, Running, Completed, Stopped, Failed };
    State state = State::Idle;
    int done = 0;  // wavelengths computed, as the kernel last told
    int total = 0; // 0 until the kernel tells the number of wavelengths

    // "Idle", "Running: wavelength 3 of 10", "Completed", "Stopped at wavelength 3 of 10",
    // "Failed".
    std::string text() const;
};

} // namespace lumetrix
