// The optimisation against a known optimum: the thickness of a single anti-reflection layer
// under a narrow spectrum is a quarter wave, lambda / 4n; and the settings it refuses.
#include "core/result_files.h"
#include "kernel/optimise.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace lumetrix;
using namespace lumetrix::kernel;
namespace fs = std::filesystem;

namespace {

DataTable constantIndex(double n) {
    DataTable t;
    t.columns = {{300, 1500}, {n, n}, {0, 0}};
    return t;
}

// Air, a coating of n = 1.3 (80 nm to start with) and glass of 1.52, lit at 600 nm.
Simulation coating() {
    Simulation s;
    s.outputBase =
        (fs::temp_directory_path() / ("lumetrix_optimise_" + std::to_string(getpid()))).string();
    s.rows = {{"air", 0, 1, 0, false, constantIndex(1.0)},
              {"coating", 80, 1, 0, false, constantIndex(1.3)},
              {"glass", 0, 1, 0, false, constantIndex(1.52)}};
    s.wavelengths = {599.9, 600, 600.1};
    s.irradiance = {1, 1, 1};
    return s;
}

OptimiseSettings lowestReflectance(OptimiseSettings::Method method) {
    OptimiseSettings settings;
    settings.criterion = OptimiseSettings::Criterion::Min;
    settings.layers = {0}; // R
    settings.parameters = {{OptimisedParameter::Kind::Thickness,
                            {2},
                            OptimisedParameter::Interval::Absolute,
                            50,
                            200}};
    settings.method = method;
    settings.steps = 300;
    settings.stop = 0.01;
    return settings;
}

} // namespace

TEST(Optimise, FindsTheQuarterWaveCoating) {
    const double quarterWave = 600 / (4 * 1.3); // 115.38 nm
    for (const auto method : {OptimiseSettings::Method::Simplex, OptimiseSettings::Method::Steps}) {
        int lines = 0;
        std::string lastBest;
        const auto result =
            optimise(coating(), lowestReflectance(method), 1, [&](const std::string& line) {
                if (line.starts_with("best:"))
                    lastBest = line;
                else
                    ++lines;
            });
        ASSERT_TRUE(result) << result.error().describe();
        EXPECT_NEAR(result.value().values[0], quarterWave, 1.0) << static_cast<int>(method);
        EXPECT_EQ(lines, result.value().iterations);
        // The values were shown as they improved: the last shown are the best.
        const std::string& final = result.value().bestLine;
        EXPECT_EQ(lastBest.substr(0, lastBest.find(" iterations=")),
                  final.substr(0, final.find(" iterations=")));
        EXPECT_TRUE(result.value().bestLine.starts_with("best: thickness=1"))
            << result.value().bestLine;
    }
    // With intermediate files, the last ones written are the best run's.
    OptimiseSettings withFiles = lowestReflectance(OptimiseSettings::Method::Simplex);
    withFiles.output = 1;
    const auto logged = optimise(coating(), withFiles, 1, {});
    ASSERT_TRUE(logged);
    const auto totals = readJscTotals(coating().outputBase + "_Sum.jsc", 3);
    ASSERT_TRUE(totals) << totals.error().describe();
    EXPECT_NEAR(totals.value().items[0], logged.value().jsc, 1e-4);
    EXPECT_TRUE(fs::exists(coating().outputBase + "_opt.log"));
    // Annealing finds a better coating than the 80 nm it starts from.
    const auto annealed =
        optimise(coating(), lowestReflectance(OptimiseSettings::Method::AnnealNormal), 1, {});
    ASSERT_TRUE(annealed);
    EXPECT_NEAR(annealed.value().values[0], quarterWave, 10.0);
}

TEST(Optimise, SettingsFileReadsBackAndBadSettingsAreRefused) {
    const fs::path file =
        fs::temp_directory_path() / ("lumetrix_optimise_" + std::to_string(getpid()) + ".set");
    OptimiseSettings settings = lowestReflectance(OptimiseSettings::Method::Steps);
    settings.parameters.push_back(
        {OptimisedParameter::Kind::K, {2}, OptimisedParameter::Interval::GapEv, -0.1, 0.1});
    {
        std::ofstream out(file);
        for (const std::string& line : optimiseSettingsLines(settings))
            out << line << '\n';
    }
    const auto back = readOptimiseSettings(file.string());
    ASSERT_TRUE(back) << back.error().describe();
    EXPECT_EQ(optimiseSettingsLines(back.value()), optimiseSettingsLines(settings));

    const struct {
        const char* text;
        int line;
        const char* reason;
    } cases[] = {
        {"criterion = best\n", 1, "max, min or mindiff"},
        {"layers = 2\nthickness = 2 abs 200 50\n", 2, "A below B"},
        {"layers = 2\nn = 2 abs 1 2\n", 2, "a kind that suits it"},
        {"layers = 2\nmethod = steps\n", 2, "whole number of steps"},
        {"layers = 2 x\n", 1, "\"x\" is not a layer"},
        {"layers = 2\ncolour = red\n", 2, "unknown setting"},
        {"criterion = mindiff\nlayers = 2\nthickness = 2 abs 1 2\n", 0, "exactly two layers"},
        {"layers = 2\n", 0, "no parameter"},
    };
    for (const auto& c : cases) {
        std::ofstream(file) << c.text;
        const auto read = readOptimiseSettings(file.string());
        ASSERT_FALSE(read) << c.text;
        EXPECT_EQ(read.error().line, c.line) << c.text;
        EXPECT_NE(read.error().reason.find(c.reason), std::string::npos) << read.error().reason;
    }
    // A layer that is not in the structure is refused when the optimisation starts.
    OptimiseSettings wrong = lowestReflectance(OptimiseSettings::Method::Simplex);
    wrong.parameters[0].targets = {3};
    const auto refused = optimise(coating(), wrong, 1, {});
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().reason.find("target 3 is not in the structure"), std::string::npos);
}
