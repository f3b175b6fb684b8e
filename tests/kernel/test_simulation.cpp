// A whole run of the shipped example: the result files read back with the Results page's own
// readers, the photocurrents against hand-worked numbers, and refused inputs.
#include "core/numbertext.h"
#include "core/result_files.h"
#include "kernel/result_writer.h"
#include "kernel/simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <regex>
#include <sstream>
#include <unistd.h>

using namespace lumetrix;
using namespace lumetrix::kernel;
namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A change to the example's text: `from` becomes `to`, the first one after `after` or all.
struct Edit {
    std::string from, to;
    bool all = false;
    std::string after = {};
};

// The example project with its folders in the shipped data and its output in a folder of the
// test (per process, so that runs side by side do not share it), edited, and prepared.
Result<Simulation> prepare(const std::string& name, const std::vector<Edit>& edits = {}) {
    const fs::path dir =
        fs::temp_directory_path() / ("lumetrix_kernel_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Out");
    std::string text = slurp(std::string(LUMETRIX_DATA_DIR) + "/in/CIGS example.dat");
    std::vector<Edit> all{{"/opt/lumetrix/Out", (dir / "Out").string(), true},
                          {"/opt/lumetrix", LUMETRIX_DATA_DIR, true}};
    all.insert(all.end(), edits.begin(), edits.end());
    for (const Edit& e : all) {
        auto at = text.find(e.from, text.find(e.after));
        EXPECT_NE(at, std::string::npos) << e.from;
        for (; at != std::string::npos;
             at = e.all ? text.find(e.from, at + e.to.size()) : std::string::npos)
            text.replace(at, e.from.size(), e.to);
    }
    std::ofstream(dir / "project.dat", std::ios::binary) << text;
    return prepareSimulation((dir / "project.dat").string());
}

Simulation prepared(const std::string& name, const std::vector<Edit>& edits = {}) {
    const auto s = prepare(name, edits);
    EXPECT_TRUE(s) << (s ? "" : s.error().describe());
    return s.value();
}

// A run of `s` with its result files written.
RunResults runWritten(const Simulation& s, int threads) {
    ResultWriter writer(s);
    EXPECT_FALSE(writer.begin());
    const RunResults results = runSimulation(
        s, threads,
        {nullptr, nullptr, [&](int i, const WavelengthResult& o) { writer.row(i, o); }});
    EXPECT_FALSE(writer.finish(results));
    return results;
}

// R + T + ΣA of one wavelength's result.
double balance(const WavelengthResult& r) {
    double sum = r.R() + r.T();
    for (std::size_t l = 0; l < r.specular.A.size(); ++l)
        sum += r.A(l);
    return sum;
}

} // namespace

TEST(Photocurrent, FlatSpectrumFullyAbsorbedMatchesTheClosedForm) {
    // 1 W/(m^2 nm) from 400 to 1200 nm, every photon absorbed:
    // J = q / (h c) * (1200^2 - 400^2) / 2 nm^2 * 1e-9 m/nm = 806554.39 * 6.4e-4 A/m^2
    //   = 516.19 A/m^2 = 51.619 mA/cm^2.
    std::vector<double> lambda;
    for (double l = 400; l <= 1200; l += 10)
        lambda.push_back(l);
    const std::vector<double> ones(lambda.size(), 1.0), quarter(lambda.size(), 0.25);
    EXPECT_NEAR(photocurrent(lambda, ones, ones), 51.6195, 1e-3);
    EXPECT_NEAR(photocurrent(lambda, ones, quarter), 51.6195 / 4, 1e-3);
}

TEST(Simulation, ExampleRunsTheResultsPageReadsEveryFileAndAFailedRunLeavesNone) {
    const Simulation s = prepared("example");
    const RunResults run = runWritten(s, 2);
    ASSERT_EQ(s.layerCount(), 5);
    const std::string& base = s.outputBase;
    const auto count = static_cast<int>(s.wavelengths.size());

    // .rta: header, one row per wavelength, the empty last line; R + T + ΣA in the last column.
    // Every quantity is its specular part (_Spec.rta) plus its scattered part (_Dif.rta).
    const auto rta = readResultTable(base + ".rta", 0),
               specular = readResultTable(base + "_Spec.rta", 0),
               dif = readResultTable(base + "_Dif.rta", 0);
    ASSERT_TRUE(rta && specular && dif);
    EXPECT_EQ(rta.value().rowCount(), count + 2);
    EXPECT_EQ(rta.value().columnCount(), 10);
    EXPECT_EQ(rta.value().cell(0, 7), "CIGS");
    double scattered = 0;
    for (int r = 1; r <= count; r += 7) {
        double sum = 0;
        for (int c = 2; c <= 9; ++c) {
            const double total = std::stod(rta.value().cell(r, c)),
                         d = std::stod(dif.value().cell(r, c));
            if (c < 9) // R, T and the layers' A; column 9 holds their sum
                sum += total;
            EXPECT_NEAR(total, std::stod(specular.value().cell(r, c)) + d, 1e-7) << r << " " << c;
            scattered += std::abs(d);
        }
        EXPECT_NEAR(sum, 1, 1e-6) << r;
        EXPECT_NEAR(std::stod(rta.value().cell(r, 9)), 1, 1e-7) << r;
        // The specular file holds the beams' own reflectance, not the scattered part.
        const double beamR = run.optics[static_cast<std::size_t>(r - 1)].specular.R;
        EXPECT_NEAR(std::stod(specular.value().cell(r, 2)), beamR, 1e-6) << r;
    }
    EXPECT_GT(scattered, 0.1); // the example's interfaces are rough

    // _Sum.jsc: the items R, T and each layer, and the PV total (CIGS alone). A 2 µm CIGS
    // absorber under a ZnO window gets roughly 30 to 38 mA/cm2 of the ~46 that AM1.5G holds
    // from 300 to 1200 nm; R, T and the layers share out everything the spectrum holds.
    const auto totals = readJscTotals(base + "_Sum.jsc", 7);
    ASSERT_TRUE(totals) << totals.error().describe();
    EXPECT_NEAR(totals.value().items[5], run.jph[3], 1e-4);
    EXPECT_NEAR(totals.value().total, totals.value().items[5], 1e-4);
    EXPECT_GT(totals.value().total, 30);
    EXPECT_LT(totals.value().total, 38);
    double all = 0;
    for (double j : totals.value().items)
        all += j;
    EXPECT_NEAR(
        all,
        photocurrent(s.wavelengths, s.irradiance, std::vector<double>(s.wavelengths.size(), 1.0)),
        1e-3);

    // .GL: one row per segment; the generation over the CIGS segments gives back its Jph.
    const auto gl = readResultTable(base + ".GL", 4);
    ASSERT_TRUE(gl);
    EXPECT_EQ(gl.value().rowCount(), 1 + 5 + 2 + 2 + 40 + 5);
    double carriers = 0; // per cm2 and second
    for (int r = 1; r < gl.value().rowCount(); ++r)
        if (gl.value().cell(r, 2) == "CIGS")
            carriers += std::stod(gl.value().cell(r, 3)) * (2000.0 / 40 * 1e-7);
    EXPECT_NEAR(carriers * 1.602176634e-19 * 1e3, run.jph[3], 1e-4);
    EXPECT_NEAR(std::stod(gl.value().cell(1, 1)), 35, 1e-9); // the middle of ZnO's first fifth

    const auto jph = readResultTable(base + ".jph", 4);
    ASSERT_TRUE(jph);
    EXPECT_EQ(jph.value().columnCount(), 7);
    const auto ratio = readResultTable(base + "_ratio.jph", 4);
    ASSERT_TRUE(ratio);
    EXPECT_EQ(ratio.value().cell(1, 5), rta.value().cell(1, 7)); // CIGS's absorbed share

    // One thread writes the same bytes as two.
    const auto files = [&base] {
        return std::vector{slurp(base + ".rta"), slurp(base + "_Sum.jsc"), slurp(base + ".GL")};
    };
    const std::vector<std::string> twoThreads = files();
    const RunResults single = runWritten(s, 1);
    EXPECT_EQ(files(), twoThreads);

    // A new run writes its rows beside the earlier set and leaves it whole until it is
    // complete: a stopped run leaves its own "_partial.rta", an abandoned one nothing.
    const std::vector<std::string> earlier = files();
    {
        ResultWriter stopped(s);
        ASSERT_FALSE(stopped.begin());
        stopped.row(0, single.optics[0]);
    }
    EXPECT_EQ(files(), earlier);
    EXPECT_EQ(slurp(base + "_partial.rta").substr(0, 16), "Wavelength (nm)\t");
    ResultWriter abandoned(s);
    ASSERT_FALSE(abandoned.begin());
    abandoned.row(0, single.optics[0]);
    abandoned.abandon();
    EXPECT_FALSE(fs::exists(base + "_partial.rta"));
    EXPECT_EQ(files(), earlier);
    // A file of the set that cannot be written (a folder in its place) leaves the set whole
    // and no file staged beside it; the estimate of the room needed covers the set.
    fs::remove(base + ".jph");
    fs::create_directory(base + ".jph");
    ResultWriter blocked(s);
    const auto refused = blocked.begin(); // found before the run
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("LXOut.jph\""), std::string::npos) << *refused;
    EXPECT_FALSE(fs::exists(base + "_partial.rta"));
    fs::remove(base + ".jph");
    std::ofstream(base + ".jph") << "earlier";
    ASSERT_FALSE(blocked.begin());
    fs::remove(base + "_T.adf"); // a folder takes a name during the run
    fs::create_directory(base + "_T.adf");
    EXPECT_TRUE(blocked.finish(single));
    EXPECT_EQ(files(), earlier);
    EXPECT_EQ(slurp(base + ".jph"), "earlier");
    std::uintmax_t written = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(base).parent_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(std::regex_search(name, std::regex("\\.(rta|jsc|jph|GL|hrt|adf)\\.")))
            << name << " was left staged";
        if (entry.is_regular_file())
            written += entry.file_size();
    }
    EXPECT_LT(written, blocked.bytesNeeded());
}

TEST(Simulation, RefusedInputsNameTheFile) {
    const std::string spectra = std::string(LUMETRIX_DATA_DIR) + "/Spectrum";
    const struct {
        const char* name;
        std::vector<Edit> edits;
        const char* file;   // the end of the file named
        const char* reason; // a part of the message (file, line: reason)
    } cases[] = {
        {"missing_nk", {{"CdS ", "CdX "}}, "CdX.nk", ""},
        {"missing_spectrum", {{"Spectrum: AM15", "Spectrum: AM99"}}, "AM99.spk", ""},
        {"no_common_range",
         {{"Spectrum: AM15", "Spectrum: far_infrared"}, {spectra, LUMETRIX_TEST_DATA_DIR}},
         ".nk",
         "no wavelength of the spectrum"},
        {"calibration_beyond_nk",
         {{"T data: cT_glass_air\r\nR data: cR_glass_air",
           "T data: c_far_infrared\r\nR data: c_far_infrared"},
          {std::string(LUMETRIX_DATA_DIR) + "/cT_cR", LUMETRIX_TEST_DATA_DIR}},
         "c_far_infrared.cal",
         "does not overlap"},
        {"no_output_name", {{"/Out/LXOut\r\n", "/Out/\r\n"}}, "project.dat", "have no name"},
        {"too_many_angles",
         {{"90 degrees: 45", "90 degrees: 100000"}},
         "project.dat",
         "\"100000\" is not a whole number from 1 to 360"},
        {"no_angles", {{"90 degrees: 45", "90 degrees: 0"}}, "project.dat", "from 1 to 360"},
        {"angles_beyond_int",
         {{"90 degrees: 45", "90 degrees: 1e12"}},
         "project.dat",
         "project.dat, line 49: the number of equivalent angles per 90 degrees \"1e12\" is not a "
         "whole number from 1 to 360"},
        {"main_choice_beyond_int",
         {{"T data: 2\r\n", "T data: -99999999999\r\n"}},
         "project.dat",
         "line 55: the ADF1 for T -99999999999 is not a whole number between 0 and 1000"},
        {"main_choice_beyond_the_models",
         {{"T data: 2\r\n", "T data: 8\r\n"}},
         "project.dat",
         "line 55: the internal ADF1 number 8 is none of the models (the ADF1 for T is a model "
         "from 1 to 7)"},
        {"group_choice_beyond_int",
         {{"T data: 1\r\n", "T data: -99999999999\r\n", false, "ADF interface group: 1"}},
         "project.dat",
         "line 86: the ADF1 of ADF interface group 1 for T \"-99999999999\" is not a whole number "
         "between 0 and 1000"},
        {"group_choice_beyond_the_models",
         {{"T data: 1\r\n", "T data: 9\r\n", false, "Lambertian power n for T = 1\r\n"}},
         "project.dat",
         "line 98: the internal ADF2 number 9 is none of the models (the ADF2 of ADF interface "
         "group 1 for T is a model from 1 to 8)"},
        {"diffuse_ratio_beyond_1",
         {{"specular) = 0\r\n", "specular) = 5\r\n"}},
         "project.dat",
         "line 171: the diffuse ratio 5 is not between 0 and 1"},
        {"spectrum_choice_missing",
         {{"specular) = 0\r\n", "specular) = 0.5\r\n"}},
         "project.dat",
         "line 175: the ADF of the diffused light \"\" is not a number"},
        {"negative_power",
         {{"Lambertian power n for T = 1.00", "Lambertian power n for T = -1000"}},
         "project.dat",
         "the Lambertian power n of ADF1 for T is -1000; it must lie between 0 and 100"},
        {"flat_ellipse",
         {{"T data: 2\r\nR data: 2", "T data: 4\r\nR data: 2"},
          {"ratio b:a for T = 1.00", "ratio b:a for T = 0"}},
         "project.dat",
         "the ellipsis radius ratio b:a of ADF1 for T is 0; it must be above 0"},
        {"joined_heading",
         {{"=\r\nCALCULATION SETTINGS", "=CALCULATION SETTINGS"}},
         "project.dat",
         "the heading \"CALCULATION SETTINGS\" does not stand on this line: the file is damaged "
         "after the section \"FILES\""},
    };
    // An interface list (here ADF group 1's) of anything but interface numbers is refused by
    // the reader with its line, never read as other numbers or thrown out of the kernel; one
    // beyond the structure by the run.
    for (const char* list : {"1a2", "2.5", "99999999999", "6"}) {
        const auto prepared = prepare(
            "interfaces", {{"front surface): \r\n", "front surface): " + std::string(list) + "\r\n",
                            false, "ADF interface group"}});
        ASSERT_FALSE(prepared) << list;
        const bool number = std::string_view(list) == "6";
        EXPECT_NE(
            prepared.error().describe().find(std::string(number ? "" : "line 81: ") +
                                             "the interfaces of ADF interface group 1 \"" + list +
                                             "\": \"" + list + "\" is not an interface " +
                                             (number ? "of the structure (0 to 5)" : "number")),
            std::string::npos)
            << prepared.error().describe();
    }
    for (const auto& c : cases) {
        const auto prepared = prepare(c.name, c.edits);
        ASSERT_FALSE(prepared) << c.name;
        EXPECT_TRUE(prepared.error().file.ends_with(c.file)) << prepared.error().describe();
        EXPECT_NE(prepared.error().describe().find(c.reason), std::string::npos)
            << prepared.error().describe();
    }
}

TEST(Simulation, ASpectrumRangeIsReadFromBesideTheOutput) {
    // A range set manually is written beside the output files, never into the spectrum
    // folder; the kernel reads it there.
    const auto missing = prepare("range", {{"Spectrum: AM15", "Spectrum: AM15_tmp"}});
    ASSERT_FALSE(missing);
    const fs::path dir =
        fs::temp_directory_path() / ("lumetrix_kernel_range_" + std::to_string(getpid()));
    EXPECT_EQ(missing.error().file, (dir / "Out" / "AM15_tmp.spk").string());
    std::ofstream(dir / "Out" / "AM15_tmp.spk") << "# Range set manually\n500 1\n600 1.5\n700 1\n";
    const auto ranged = prepareSimulation((dir / "project.dat").string());
    ASSERT_TRUE(ranged) << ranged.error().describe();
    EXPECT_EQ(ranged.value().wavelengths, (std::vector<double>{500, 600, 700}));
    EXPECT_EQ(ranged.value().spectrumName, "AM15_tmp");
}

TEST(Simulation, ZeroHazeIsTheFlatResult) {
    // Haze data of 0 at every rough interface: the flat results, bit for bit, and no
    // scattered light at all.
    const Simulation hazeless =
        prepared("zero_haze", {{"(c): c\r\nT data: cT_glass_air\r\nR data: cR_glass_air",
                                "(c): h\r\nT data: HT_flat\r\nR data: HR_flat"}});
    Simulation flat = hazeless;
    flat.anyRough = false;
    for (const double lambda : {350.0, 600.0, 1000.0}) {
        const WavelengthResult a = solveWavelength(hazeless, lambda);
        const WavelengthResult b = solveWavelength(flat, lambda);
        EXPECT_EQ(a.specular.R, b.specular.R);
        EXPECT_EQ(a.specular.segments, b.specular.segments);
        EXPECT_EQ(a.diffuseR, 0);
        EXPECT_EQ(a.diffuseT, 0);
        for (double d : a.diffuseA)
            EXPECT_EQ(d, 0);
    }
}

TEST(Simulation, DiffuseShareOfTheIlluminationEntersAsScatteredLight) {
    const Simulation s =
        prepared("diffuse", {{"specular) = 0\r\n", "specular) = 0.4\r\n"},
                             {"ADF spectrum data:  \r\n", "ADF spectrum data: 2\r\n"}});
    EXPECT_DOUBLE_EQ(s.scattering.diffuseShare, 0.4);
    const WavelengthResult r = solveWavelength(s, 600);
    EXPECT_NEAR(balance(r), 1, 1e-9);
    // The beam carries 0.6 of the light: its own share of R, T and A stays below that.
    EXPECT_LT(r.specular.R + r.specular.T + r.specular.A[3], 0.6);
    EXPECT_GT(r.diffuseA[3], 0.2); // most of the diffuse light ends in the CIGS
}

TEST(Simulation, AnInterfaceOfAnAdfGroupScattersByTheGroupsAdfs) {
    // Group 1 takes the front surface and keeps its ADFs specular (item 1 in its "data"
    // lines); the main ADFs of the example are Lambertian. The light scattered back at the
    // front then leaves straight back instead of spreading over the angles.
    const Simulation plain = prepared("ungrouped");
    const Simulation grouped =
        prepared("grouped",
                 {{"front surface): \r\n", "front surface): 0\r\n", false, "ADF interface group"}});
    const Scattering& sc = grouped.scattering;
    ASSERT_EQ(sc.groups.size(), 1u);
    EXPECT_EQ(sc.groups[0].first, std::vector<int>{0});
    EXPECT_EQ(&sc.adfsOf(1), &sc.adfs);
    EXPECT_NEAR(sc.adfsOf(1).shares1R[0], 0.001218, 1e-6); // the main: Lambertian, sin^2 2°
    EXPECT_EQ(sc.adfsOf(0).shares1R[0], 1);                // the group's: specular
    const WavelengthResult a = solveWavelength(plain, 500);
    const WavelengthResult b = solveWavelength(grouped, 500);
    EXPECT_GT(b.leavingR(0), 0.5 * b.leavingR.sum());
    EXPECT_LT(a.leavingR(0), 0.05 * b.leavingR(0));
}

TEST(Simulation, CalibrationLowersTheReflectanceAtItsInterfaces) {
    // Block 1 halves the front surface's reflectance; the light it keeps out of R goes in. The
    // other columns hold no interfaces but must hold numbers.
    const Simulation plain = prepared("uncalibrated");
    const std::string block = "calibration factors to decrease";
    const Simulation calibrated =
        prepared("calibrated", {{"(y/n): n", "(y/n): y", false, block},
                                {"surface):  \r\n", "surface): 0\r\n", false, block},
                                {"c12 [0..1] =  \r\n", "c12 [0..1] = 0.5\r\n"},
                                {"[0..1] =  \r\n", "[0..1] = 1\r\n", true}});
    EXPECT_EQ(calibrated.calibration.at(0, 600).c12, 0.5);
    EXPECT_EQ(calibrated.calibration.at(1, 600).c12, 1);
    for (const double lambda : {450.0, 800.0}) {
        const WavelengthResult a = solveWavelength(plain, lambda);
        const WavelengthResult b = solveWavelength(calibrated, lambda);
        EXPECT_NEAR(balance(b), 1, 1e-9) << lambda;
        EXPECT_LT(b.R(), a.R()) << lambda;
        EXPECT_GT(b.A(3), a.A(3)) << lambda; // more light reaches the CIGS
    }
}

TEST(Simulation, TheHazeOfTransmissionUsesTheChosenPower) {
    // The front surface (air / ZnO_Al, rms 40 nm) at 600 nm by the scalar formula
    // H_T = 1 - exp[-(4 pi sigma cT |n1 - n2| / lambda)^gamma] with gamma as chosen: "2" and "3"
    // are the radio buttons, anything else the custom value.
    const std::string line = "transmitted light (HT): 3";
    for (const auto& [text, gamma] : {std::pair{"2", 2.0}, {"3", 3.0}, {"2.5", 2.5}}) {
        const Simulation s = prepared(std::string("power_") + text,
                                      {{line, "transmitted light (HT): " + std::string(text)}});
        const double n = s.rows[1].nk.at(1, 600).value(),
                     cT = s.scattering.main.t.at(1, 600).value();
        const double x = 4 * std::numbers::pi * 40 * cT * std::abs(1 - n) / 600;
        const WavelengthResult r = solveWavelength(s, 600);
        ASSERT_FALSE(r.hazeT.empty());
        EXPECT_NEAR(r.hazeT[0], 1 - std::exp(-std::pow(x, gamma)), 1e-12) << text;
    }
}

TEST(Simulation, ANumberThatIsNotFiniteStopsTheRunAtItsWavelength) {
    // CIGS's k is not a number from its first point above 800 nm on: every wavelength below
    // the first one it reaches is handed on, that one is named, and nothing is totalled.
    Simulation s = prepared("not_finite");
    DataTable& nk = s.rows[4].nk;
    for (std::size_t p = 0; p < nk.columns[0].size(); ++p)
        if (nk.columns[0][p] > 800)
            nk.columns[2][p] = std::numeric_limits<double>::quiet_NaN();
    std::size_t first = 0;
    while (std::isfinite(nk.at(2, s.wavelengths[first]).value()))
        ++first;
    for (const int threads : {1, 2}) {
        std::size_t handed = 0;
        const RunResults r = runSimulation(
            s, threads, {nullptr, nullptr, [&](int, const WavelengthResult&) { ++handed; }});
        ASSERT_TRUE(r.failure) << threads;
        EXPECT_EQ(handed, first) << threads;
        EXPECT_EQ(r.failure->find("at " + formatGeneral(s.wavelengths[first], '.') + " nm the "),
                  0u)
            << *r.failure;
        EXPECT_TRUE(r.jph.empty());
    }
}

TEST(Simulation, TheReportWarnsOfAnAbsorbingTopMediumAndASingleWavelength) {
    EXPECT_TRUE(runWarnings(prepared("plain_top")).empty());
    const auto absorbing = runWarnings(prepared("glass_top", {{"air ", "Mo  "}}));
    ASSERT_EQ(absorbing.size(), 1u);
    EXPECT_EQ(absorbing[0].find("Warning: the top medium Mo absorbs"), 0u) << absorbing[0];
    Simulation single = prepared("single");
    single.wavelengths.resize(1);
    const auto one = runWarnings(single);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NE(one[0].find("every Jph is 0"), std::string::npos) << one[0];
}

TEST(ResultWriter, RoundOffOfZeroIsWrittenAsZero) {
    const Simulation s = prepared("round_off");
    WavelengthResult o;
    o.specular.R = 0.25;
    o.specular.T = -1.1e-16;
    o.specular.A = {-1.1e-16, 9e-13, 2e-12, -3e-12, 0.75};
    EXPECT_EQ(ResultWriter(s).rtaRow(0, o, ResultWriter::Light::All),
              formatGeneral(s.wavelengths[0], '.') + "\t0.25\t0\t0\t0\t2e-12\t-3e-12\t0.75\t1");
}

TEST(Simulation, ARelativeOutputPathLiesBesideTheInputFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("lumetrix_kernel_relative_" + std::to_string(getpid()));
    const std::string stated = (dir / "Out").string() + "/LXOut\r\n";
    EXPECT_EQ(prepared("relative", {{stated, "Out/Run1\r\n"}}).outputBase,
              (dir / "Out" / "Run1").string());
    EXPECT_EQ(prepared("relative", {{stated, "Run2\r\n"}}).outputBase, (dir / "Run2").string());
}

namespace {

// A weakly absorbing slab (n = 3.5, k = 7.9577e-8: alpha d = 1e-4 over 100 um at 1000 nm) on a
// near-perfect mirror (0.01 + 1000i), behind a rough front from air; Lambertian ADF1 and ADF2.
// The haze comes from haze data of 1 (a full randomiser) or from the scalar formula with
// cR = cT = 1 at the rms roughness `sigma`.
Simulation slabOnMirror(double sigma, bool fullHaze) {
    const auto flat = [](double a, double b) {
        return DataTable{"", {}, {{800, 1200}, {a, a}, {b, b}}};
    };
    Simulation s;
    s.rows = {{"air", 0, 1, 0, false, flat(1, 0)},
              {"slab", 1e5, 1, sigma, true, flat(3.5, 1e-4 * 1000 / (4 * std::numbers::pi * 1e5))},
              {"mirror", 0, 1, 0, false, flat(0.01, 1000)}};
    s.anyRough = true;
    Scattering& sc = s.scattering;
    sc.main = {!fullHaze, flat(1, 1), flat(1, 1)};
    sc.powerHT = 3;
    for (Adf* adf : {&sc.adfs.adf1R, &sc.adfs.adf1T, &sc.adfs.adf2R, &sc.adfs.adf2T})
        adf->model = AdfModel::Lambertian;
    sc.adfs.share(sc.bins);
    return s;
}

} // namespace

TEST(Simulation, RoughFrontOverAMirrorNeverPassesTheErgodicLimit) {
    // The limit A = T0 4n^2 alpha d / (<T> + 4n^2 alpha d) (E. Yablonovitch, JOSA 72, 899
    // (1982)): T0 = 1 - (2.5 / 4.5)^2 = 0.691358 the front's normal transmittance, <T> =
    // 1 - 0.32420575 its hemispherical mean from air (tmm: scattering_references.py),
    // 4n^2 alpha d = 0.0049: A = 0.0049767. The beam's scattered light
    // enters the slab at the angles its own light leaves by, so no roughness passes the limit
    // and a full randomiser reaches it.
    const double limit = 0.691358 * 0.0049 / (1 - 0.32420575 + 0.0049);
    const WavelengthResult full = solveWavelength(slabOnMirror(30, true), 1000);
    EXPECT_NEAR(full.A(0), limit, 0.02 * limit);
    for (const double sigma : {10.0, 30.0, 60.0, 100.0, 200.0}) {
        const WavelengthResult r = solveWavelength(slabOnMirror(sigma, false), 1000);
        EXPECT_LE(r.A(0), 1.01 * limit) << sigma;
        EXPECT_GT(r.A(0), 0.4 * limit) << sigma;
        EXPECT_NEAR(balance(r), 1, 1e-9) << sigma;
    }
}

TEST(OutputLock, OneRunAtATimeAndStaleLocksAreTakenOver) {
    const fs::path dir = fs::temp_directory_path() / ("lumetrix_lock_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string base = (dir / "LXOut").string();
    {
        OutputLock first(base), second(base);
        ASSERT_FALSE(first.acquire());
        const auto refused = second.acquire();
        ASSERT_TRUE(refused);
        EXPECT_NE(refused->find("another run (process " + std::to_string(getpid()) + ")"),
                  std::string::npos)
            << *refused;
    }
    EXPECT_FALSE(fs::exists(base + ".lock")); // released by its holder only, at its end
    // A process above the largest possible id has ended: its lock is stale.
    std::ofstream(base + ".lock") << "4194305\n";
    {
        OutputLock taker(base);
        EXPECT_FALSE(taker.acquire());
    }
    EXPECT_FALSE(fs::exists(base + ".lock"));
    fs::remove_all(dir);
}
