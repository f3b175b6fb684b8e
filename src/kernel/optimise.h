#pragma once

#include "core/result.h"
#include "kernel/simulation.h"

#include <functional>
#include <string>
#include <vector>

namespace lumetrix::kernel {

// What the optimisation varies, each within an interval: "abs" takes A .. B as they stand,
// "relnm" adds A .. B nm to the project's value, "relpct" A .. B percent of it.
struct OptimisedParameter {
    enum class Kind { Thickness, Roughness, N, K };
    enum class Interval { Absolute, RelativeNm, RelativePercent, GapPercent, GapEv };
    Kind kind = Kind::Thickness;
    std::vector<int> targets; // the layer (row position, 2 = first layer) or the interfaces
    Interval interval = Interval::Absolute;
    double from = 0, to = 0;
};

struct OptimiseSettings {
    enum class Criterion { Max, Min, MinDiff };
    enum class Method { Simplex, AnnealHigh, AnnealNormal, AnnealLow, Steps };
    Criterion criterion = Criterion::Max;
    std::vector<int> layers; // row positions of the layers whose Jsc counts; 0 = R
    std::vector<OptimisedParameter> parameters;
    Method method = Method::Simplex;
    int steps = 10;    // for the constant steps
    double stop = 0.1; // percent
    int output = 0;    // 0 none, 1 a log of every iteration, 2 also the best run's files
};

// Reads a settings file, one "key = value" per line ('#' starts a comment); the error names
// the file and the line.
Result<OptimiseSettings> readOptimiseSettings(const std::string& path);
// The same lines as the optimisation window writes them.
std::vector<std::string> optimiseSettingsLines(const OptimiseSettings& settings);

struct OptimiseResult {
    std::vector<double> values; // the best value of each parameter
    double jsc = 0;             // the criterion's photocurrent at the best values
    int iterations = 0;
    std::string bestLine; // "best: thickness=... jsc=... iterations=N"
};

// Optimises the parameters of the simulation for the criterion. `progress` receives a line
// per iteration ("iteration N best X"), followed by a "best: ..." line whenever the best
// values have changed; `stop` is asked between iterations.
Result<OptimiseResult> optimise(const Simulation& simulation, const OptimiseSettings& settings,
                                int threads,
                                const std::function<void(const std::string&)>& progress,
                                const std::function<bool()>& stop = {});

} // namespace lumetrix::kernel
