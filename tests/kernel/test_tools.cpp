// The computations of the tool windows: the cR_cT transform against the kernel's own haze
// formulas run backwards, and the light path improvement factor of known absorptions.
#include "core/data_file.h"
#include "kernel/scattering.h"
#include "kernel/tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace lumetrix;
using namespace lumetrix::kernel;
namespace fs = std::filesystem;

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

} // namespace

TEST(Transform, RecoversTheCalibrationFunctionThatMadeTheHaze) {
    const DataTable air = readDataFile(nk("air"), DataKind::Nk).value();
    const DataTable zno = readDataFile(nk("ZnO_Al"), DataKind::Nk).value();
    for (const bool reflected : {true, false}) {
        const fs::path dir = scratch(reflected ? "cR" : "cT");
        // Haze by the kernel's formulas for sigma 40 nm, gamma 3, and two unusable lines.
        std::ofstream hz(dir / "made.hz");
        hz << "# made by the test\n";
        for (double lambda = 400; lambda <= 1000; lambda += 50) {
            const double n1 = *air.at(1, lambda), n2 = *zno.at(1, lambda);
            const double h = reflected ? hazeR(lambda, 40, c(lambda), n1, 0)
                                       : hazeT(lambda, 40, c(lambda), n1, n2, 0, 3);
            char line[64];
            std::snprintf(line, sizeof line, "%.17g\t%.17g\n", lambda, h);
            hz << line;
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
    const struct {
        TransformRequest request;
        const char* reason;
    } cases[] = {
        {{true, (dir / "flat.hz").string(), 40, nk("air"), nk("glass"), 3,
          (dir / "a.cal").string()},
         "no wavelength of the haze data gives a calibration value"},
        {{true, (dir / "flat.hz").string(), 0, nk("air"), nk("glass"), 3, (dir / "b.cal").string()},
         "the rms roughness must be above 0 nm"},
        {{false, (dir / "missing.hz").string(), 40, nk("air"), nk("glass"), 3,
          (dir / "c.cal").string()},
         ""},
    };
    for (const auto& c : cases) {
        const auto report = transformHaze(c.request);
        ASSERT_FALSE(report) << c.reason;
        EXPECT_NE(report.error().describe().find(c.reason), std::string::npos)
            << report.error().describe();
        EXPECT_FALSE(fs::exists(c.request.outFile)); // nothing written
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
    write("ref_ratio.jph", {{400, ref}, {600, ref}, {800, ref}, {900, 0}});
    write("impr_ratio.jph", {{400, 1 - std::exp(-1.5)},
                             {600, 1 - std::exp(-1.0)},
                             {800, 1 - std::exp(-1.5)},
                             {900, 0.5}});
    const auto s = computeLpif({(dir / "ref_ratio.jph").string(), (dir / "impr_ratio.jph").string(),
                                3, 3, (dir / "out.lpif").string()});
    ASSERT_TRUE(s) << s.error().describe();
    EXPECT_EQ(s.value().points, 3); // 900 nm: nothing absorbed in the reference
    EXPECT_NEAR(s.value().mean, 8.0 / 3, 1e-12);
    EXPECT_NEAR(s.value().minimum, 2, 1e-12);
    EXPECT_EQ(s.value().minimumAt, 600);
    EXPECT_NEAR(s.value().notable[0].second, 3, 1e-12);   // 400 nm
    EXPECT_NEAR(s.value().notable[1].second, 2.5, 1e-12); // 500 nm, between 3 and 2
    EXPECT_TRUE(std::isnan(s.value().notable[5].second)); // 1000 nm, outside
    const auto table = readDataFile((dir / "out.lpif").string(), DataKind::Calibration);
    EXPECT_FALSE(table); // a table of four columns, not a calibration file
    const auto bad =
        computeLpif({(dir / "ref_ratio.jph").string(), (dir / "impr_ratio.jph").string(), 4, 3,
                     (dir / "bad.lpif").string()});
    ASSERT_FALSE(bad);
    EXPECT_NE(bad.error().reason.find("column 4 is not a layer's column"), std::string::npos);
}
