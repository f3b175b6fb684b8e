// The computations of the tool windows: the cR_cT transform against the kernel's own haze
// formulas run backwards, the light path improvement factor of known absorptions, and the
// optimisation against a known optimum (the thickness of a single anti-reflection layer under
// a narrow spectrum is a quarter wave, lambda / 4n) with the settings it refuses.
#include "core/data_file.h"
#include "core/result_files.h"
#include "kernel/optimise.h"
#include "kernel/scattering.h"
#include "kernel/tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace lumetrix;
using namespace lumetrix::kernel;
namespace fs = std::filesystem;
using Method = OptimiseSettings::Method;
using P = OptimisedParameter;

namespace {

fs::path scratch(const std::string& name) {
    const fs::path dir =
        fs::temp_directory_path() / ("lumetrix_tools_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string nk(const char* name) {
    return std::string(LUMETRIX_DATA_DIR) + "/nk/" + name + ".nk";
}

double c(double lambda) { // the calibration function to recover
    return 0.6 + 0.0004 * lambda;
}

// Air, a coating of n = 1.3 (80 nm to start with) and glass of 1.52, lit at 600 nm.
Simulation coating() {
    const auto constantIndex = [](double n) {
        DataTable t;
        t.columns = {{300, 1500}, {n, n}, {0, 0}};
        return t;
    };
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

OptimiseSettings lowestReflectance(Method method) {
    OptimiseSettings settings;
    settings.criterion = OptimiseSettings::Criterion::Min;
    settings.layers = {0}; // R
    settings.parameters = {{P::Kind::Thickness, {2}, P::Interval::Absolute, 50, 200}};
    settings.method = method;
    settings.steps = 300;
    settings.stop = 0.01;
    return settings;
}

} // namespace

TEST(Transform, RecoversTheCalibrationFunctionThatMadeTheHaze) {
    const DataTable air = readDataFile(nk("air"), DataKind::Nk).value();
    const DataTable zno = readDataFile(nk("ZnO_Al"), DataKind::Nk).value();
    for (const bool reflected : {true, false}) {
        const fs::path dir = scratch(reflected ? "cR" : "cT");
        // Haze by the kernel's formulas for sigma 40 nm, gamma 3, and two unusable lines.
        std::ofstream hz(dir / "made.hz");
        hz.precision(17);
        hz << "# made by the test\n";
        for (double lambda = 400; lambda <= 1000; lambda += 50) {
            const double n1 = *air.at(1, lambda), n2 = *zno.at(1, lambda);
            const double h = reflected ? hazeR(lambda, 40, c(lambda), n1, 0)
                                       : hazeT(lambda, 40, c(lambda), n1, n2, 0, 3);
            hz << lambda << '\t' << h << '\n';
        }
        hz << "1050\t0\n1100\t1\n";
        hz.close();
        const auto report = transformHaze({reflected, (dir / "made.hz").string(), 40, nk("air"),
                                           nk("ZnO_Al"), 3, (dir / "out.cal").string()});
        ASSERT_TRUE(report) << report.error().describe();
        EXPECT_EQ(report.value().points, 13);
        EXPECT_EQ(report.value().first, 400);
        EXPECT_EQ(report.value().last, 1000);
        ASSERT_EQ(report.value().skipped.size(), 2u);
        EXPECT_EQ(report.value().skipped[0], "1050 nm: haze 0 (no scattering to calibrate)");
        const auto cal = readDataFile((dir / "out.cal").string(), DataKind::Calibration);
        ASSERT_TRUE(cal) << cal.error().describe();
        for (int r = 0; r < cal.value().rows(); ++r) {
            const double lambda = cal.value().columns[0][static_cast<std::size_t>(r)];
            EXPECT_NEAR(cal.value().columns[1][static_cast<std::size_t>(r)] / c(lambda), 1, 1e-9)
                << lambda;
        }
    }
}

TEST(Transform, RefusesWhatGivesNoCalibration) {
    const fs::path dir = scratch("refused");
    std::ofstream(dir / "flat.hz") << "500\t0\n600\t0\n";
    // cR or cT, the haze file, sigma, a part of the reason
    const std::tuple<bool, const char*, double, const char*> cases[] = {
        {true, "flat.hz", 40, "no wavelength of the haze data gives a calibration value"},
        {true, "flat.hz", 0, "the rms roughness must be above 0 nm"},
        {false, "missing.hz", 40, "missing.hz"},
        {true, "out.cal", 40, "also a file the computation reads"},
    };
    std::ofstream(dir / "out.cal") << "500\t0.5\n600\t0.5\n";
    const auto slurp = [](const fs::path& path) {
        std::stringstream bytes;
        bytes << std::ifstream(path).rdbuf();
        return bytes.str();
    };
    for (const auto& [reflected, haze, rms, reason] : cases) {
        const fs::path out = dir / "out.cal";
        const auto report = transformHaze(
            {reflected, (dir / haze).string(), rms, nk("air"), nk("glass"), 3, out.string()});
        ASSERT_FALSE(report) << reason;
        EXPECT_NE(report.error().describe().find(reason), std::string::npos)
            << report.error().describe();
        EXPECT_EQ(slurp(out), "500\t0.5\n600\t0.5\n"); // nothing written
    }
}

TEST(Lpif, PathRatioOfKnownAbsorptions) {
    // A_ref = 1 - e^-0.5 and A_impr = 1 - e^-1.5 give LPIF = 3; with e^-1 it is 2.
    const fs::path dir = scratch("lpif");
    const auto write = [&](const char* name, const std::vector<std::pair<double, double>>& rows) {
        std::ofstream f(dir / name);
        f.precision(17);
        f << "Lumetrix simulation results\nInput file: x\nSpectrum: x\nFraction\n"
             "Wavelength (nm)\tZnO\tCIGS\n";
        for (const auto& [lambda, a] : rows)
            f << lambda << "\t0.1\t" << a << "\n";
        f << "\n";
    };
    const double ref = 1 - std::exp(-0.5);
    write("ref_ratio.jph", {{400, ref}, {600, ref}, {800, ref}, {900, 0}, {950, 1e-300}});
    write("impr_ratio.jph", {{400, 1 - std::exp(-1.5)},
                             {600, 1 - std::exp(-1.0)},
                             {800, 1 - std::exp(-1.5)},
                             {900, 0.5},
                             {950, 0.5}});
    const auto s = computeLpif({(dir / "ref_ratio.jph").string(), (dir / "impr_ratio.jph").string(),
                                3, 3, (dir / "out.lpif").string()});
    ASSERT_TRUE(s) << s.error().describe();
    EXPECT_EQ(s.value().points, 3); // 900 and 950 nm: (next to) nothing absorbed in the reference
    EXPECT_EQ(s.value().undefined, 2);
    EXPECT_NEAR(s.value().mean, 8.0 / 3, 1e-12);
    EXPECT_NEAR(s.value().minimum, 2, 1e-12);
    EXPECT_EQ(s.value().minimumAt, 600);
    EXPECT_NEAR(s.value().notable[0].second, 3, 1e-12);   // 400 nm
    EXPECT_NEAR(s.value().notable[1].second, 2.5, 1e-12); // 500 nm, between 3 and 2
    EXPECT_TRUE(std::isnan(s.value().notable[5].second)); // 1000 nm, outside
    EXPECT_EQ(lpifReport(s.value()).at(1), "LPIF at 400 nm: 3, 500 nm: 2.5, 600 nm: 2, 700 nm: "
                                           "2.5, 800 nm: 3, 1000 nm: none (outside the range)");
    const auto table = readDataFile((dir / "out.lpif").string(), DataKind::Calibration);
    EXPECT_FALSE(table); // a table of four columns, not a calibration file
    const auto bad =
        computeLpif({(dir / "ref_ratio.jph").string(), (dir / "impr_ratio.jph").string(), 4, 3,
                     (dir / "bad.lpif").string()});
    ASSERT_FALSE(bad);
    EXPECT_NE(bad.error().reason.find("column 4 is not a layer's column"), std::string::npos);
    // Refused: falling wavelengths, a file without the header below the run information (an
    // ".rta"), and an output that is one of the inputs (it would be lost).
    write("falling_ratio.jph", {{400, ref}, {399.5, ref}});
    std::ofstream(dir / "LXOut.rta") << "Wavelength (nm)\tR\tT\tCIGS\tR+T+A\n"
                                     << "300\t0.2\t0\t0.8\t1\n310\t0.2\t0\t0.8\t1\n"
                                     << "320\t0.2\t0\t0.8\t1\n330\t0.2\t0\t0.8\t1\n";
    std::ofstream(dir / "empty_ratio.jph");
    std::ofstream(dir / "binary_ratio.jph", std::ios::binary) << std::string("PK\3\4\n\0\1\2", 8);
    std::ofstream(dir / "header_ratio.jph") << "Lumetrix simulation results\nInput file: x\n"
                                            << "Spectrum: x\nFraction\nWavelength (nm)\tCIGS\n";
    const std::tuple<const char*, const char*, const char*> refused[] = {
        {"empty_ratio.jph", "out.lpif", "empty_ratio.jph: the file holds no table (0 lines)"},
        {"binary_ratio.jph", "out.lpif",
         "binary_ratio.jph, line 2: the file holds no table: it is not a text file (NUL byte)"},
        {"header_ratio.jph", "out.lpif",
         "header_ratio.jph, line 5: the file holds no table (5 lines)"},
        {"falling_ratio.jph", "out.lpif", "399.5 nm is not above the one before (400 nm)"},
        {"LXOut.rta", "out.lpif", "this is not a \"_ratio.jph\" file"},
        {"ref_ratio.jph", "impr_ratio.jph", "also a file the computation reads"},
    };
    for (const auto& [input, out, reason] : refused) {
        const auto r = computeLpif({(dir / input).string(), (dir / "impr_ratio.jph").string(), 3, 3,
                                    (dir / out).string()});
        ASSERT_FALSE(r) << input;
        EXPECT_NE(r.error().describe().find(reason), std::string::npos) << r.error().describe();
    }
}

TEST(Optimise, FindsTheQuarterWaveCoating) {
    const double quarterWave = 600 / (4 * 1.3); // 115.38 nm
    for (const auto method : {Method::Simplex, Method::Steps}) {
        int lines = 0;
        std::string lastBest;
        std::vector<std::string> others;
        const auto result =
            optimise(coating(), lowestReflectance(method), 1, [&](const std::string& line) {
                if (line.starts_with("best:"))
                    lastBest = line;
                else if (line.starts_with("iteration "))
                    ++lines;
                else
                    others.push_back(line);
            });
        EXPECT_EQ(others, method == Method::Steps
                              ? std::vector<std::string>{"Constant steps: 301 runs"}
                              : std::vector<std::string>{});
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
    // With intermediate files, the last ones written are the best run's, also where the best
    // point was met before the last (the grid ends far from it).
    OptimiseSettings withFiles;
    for (const auto method : {Method::Steps, Method::Simplex}) {
        withFiles = lowestReflectance(method);
        withFiles.output = 1;
        const auto logged = optimise(coating(), withFiles, 1, {});
        ASSERT_TRUE(logged);
        const auto totals = readJscTotals(coating().outputBase + "_Sum.jsc", 3);
        ASSERT_TRUE(totals) << totals.error().describe();
        EXPECT_NEAR(totals.value().items[0], logged.value().jsc, 1e-4);
        EXPECT_TRUE(fs::exists(coating().outputBase + "_opt.log"));
    }
    // Files asked for that cannot be written (a folder where the ".rta" goes) end the search
    // with the reason, for the main files and for all of them.
    fs::remove(coating().outputBase + ".rta");
    fs::create_directory(coating().outputBase + ".rta");
    for (const int output : {1, 2}) {
        withFiles.output = output;
        const auto unwritten = optimise(coating(), withFiles, 1, {});
        ASSERT_FALSE(unwritten) << output;
        EXPECT_NE(unwritten.error().reason.find(".rta"), std::string::npos)
            << unwritten.error().describe();
    }
    fs::remove(coating().outputBase + ".rta");
    // Annealing finds a better coating than the 80 nm it starts from.
    const auto annealed = optimise(coating(), lowestReflectance(Method::AnnealNormal), 1, {});
    ASSERT_TRUE(annealed);
    EXPECT_NEAR(annealed.value().values[0], quarterWave, 10.0);
}

TEST(Optimise, SettingsFileReadsBackAndBadSettingsAreRefused) {
    const fs::path file = scratch("settings") / "optimise.set";
    OptimiseSettings settings = lowestReflectance(Method::Steps);
    settings.parameters.push_back({P::Kind::K, {2}, P::Interval::GapEv, -0.1, 0.1});
    settings.steps = 140; // 141^2 runs: below the limit
    {
        std::ofstream out(file);
        for (const std::string& line : optimiseSettingsLines(settings))
            out << line << '\n';
    }
    const auto back = readOptimiseSettings(file.string());
    ASSERT_TRUE(back) << back.error().describe();
    EXPECT_EQ(optimiseSettingsLines(back.value()), optimiseSettingsLines(settings));
    // A byte order mark before the first setting is no part of its key; lone CRs end lines.
    std::ofstream(file, std::ios::binary)
        << "\xEF\xBB\xBF"
        << "criterion = max\rlayers = 2\rthickness = 2 abs 50 200\r";
    const auto marked = readOptimiseSettings(file.string());
    ASSERT_TRUE(marked) << marked.error().describe();
    EXPECT_EQ(marked.value().criterion, OptimiseSettings::Criterion::Max);

    // the file, the line named (0: none), a part of the reason
    const std::tuple<const char*, int, const char*> cases[] = {
        {"criterion = best\n", 1, "max, min or mindiff"},
        {"layers = 2\nthickness = 2 abs 200 50\n", 2, "A below B"},
        {"layers = 2\nn = 2 abs 1 2\n", 2, "a kind that suits it"},
        {"layers = 2\nmethod = steps\n", 2, "whole number of steps"},
        {"layers = 2 x\n", 1, "\"x\" is not a layer"},
        {"layers = 2\ncolour = red\n", 2, "unknown setting"},
        {"criterion = mindiff\nlayers = 2\nthickness = 2 abs 1 2\n", 0, "exactly two layers"},
        {"layers = 2\n", 0, "no parameter"},
        {"layers = 2\nn = 2 relpct -300 -200\n", 2, "n factor must stay above 0"},
        {"layers = 2\nk = 2 relpct -200 -100\n", 2, "k factor must stay at least 0"},
        {"layers = 2\nthickness = 2 abs 1 2\n\nthickness = 2 relnm 1 2\n", 4,
         "thickness of layer 2 is given twice (also on line 2)"},
        {"layers = 2\nmethod = steps 100000\nthickness = 2 abs 1 2\n", 2, "make 100001 runs"},
        {"layers = 2\nmethod = steps 150\nthickness = 2 abs 1 2\nk = 2 gapev 0 1\n", 2,
         "over 2 parameters make 22801 runs; at most 20000"},
    };
    for (const auto& [text, line, reason] : cases) {
        std::ofstream(file) << text;
        const auto read = readOptimiseSettings(file.string());
        ASSERT_FALSE(read) << text;
        EXPECT_EQ(read.error().line, line) << text;
        EXPECT_NE(read.error().reason.find(reason), std::string::npos) << read.error().reason;
    }
    // A layer that is not in the structure is refused when the optimisation starts.
    OptimiseSettings wrong = lowestReflectance(Method::Simplex);
    wrong.parameters[0].targets = {3};
    const auto refused = optimise(coating(), wrong, 1, {});
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().reason.find("target 3 is not in the structure"), std::string::npos);
    wrong = lowestReflectance(Method::Simplex);
    wrong.parameters[0].to = 1e300;
    EXPECT_NE(optimise(coating(), wrong, 1, {}).error().reason.find("beyond 1e7 nm"),
              std::string::npos);
}
