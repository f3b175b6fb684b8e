// The data-file reader: the one text convention, the columns and limits of each kind, the
// faults it refuses (with file and line) and interpolation inside a table only.
#include "core/data_file.h"
#include "new_project.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace lumetrix {
namespace {

namespace fs = std::filesystem;
using Columns = std::vector<std::vector<double>>;
const std::string kScratch = "lumetrix-data-file";

// The bytes as a file of the kind's extension in this process's emptied scratch folder.
std::string scratchFile(const std::string& bytes, DataKind kind) {
    const std::string path = dataFilePath(test::scratch(kScratch).string(), "case", kind);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
}

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST(DataFile, ReadsEveryKindWithItsColumnsAndNamesTheFileAndLineOfAFault) {
    // kind, bytes, columns, comments
    const std::tuple<DataKind, std::string, Columns, std::vector<std::string>> cases[] = {
        {DataKind::Nk,
         "# n and k\r\n# \xB5m\r\n\r\n300\t1.5\t0.1\r\n400 1.6 0\r\n\r\n",
         {{300, 400}, {1.5, 1.6}, {0.1, 0}},
         {"# n and k", "# \xC2\xB5m"}},
        {DataKind::Nk,
         "\xEF\xBB\xBF  # indented\n 1e2 \t +2.5E0\t1e-400",
         {{100}, {2.5}, {0}},
         {"# indented"}},
        {DataKind::Spectrum, "280 0\n290.5 .25\n4000 1.", {{280, 290.5, 4000}, {0, .25, 1}}, {}},
        {DataKind::Haze, "400 0\n500 1\n", {{400, 500}, {0, 1}}, {}},
        {DataKind::Calibration, "400 2.5\n500 0.01\n", {{400, 500}, {2.5, 0.01}}, {}},
        {DataKind::ReflectanceCalibration, "400 0\n500 1\n", {{400, 500}, {0, 1}}, {}},
        {DataKind::ExternalAdf,
         "# deg\n0 1\n45 0.5\n90 0\n",
         {{0, 45, 90}, {1, 0.5, 0}},
         {"# deg"}},
        // Lone CRs end lines as LF and CR LF do, in any mix.
        {DataKind::Nk,
         "# old\r300 1.5 0.1\r\r400 1.6 0\r",
         {{300, 400}, {1.5, 1.6}, {0.1, 0}},
         {"# old"}},
        {DataKind::Spectrum,
         "300 1\r400 2\r\n500 3\n600 4",
         {{300, 400, 500, 600}, {1, 2, 3, 4}},
         {}},
        {DataKind::Haze, "400 0\r500 1", {{400, 500}, {0, 1}}, {}},
        {DataKind::Calibration, "400 2.5\r500 0.01\r", {{400, 500}, {2.5, 0.01}}, {}},
        {DataKind::ExternalAdf, "0 1\r90 0\r", {{0, 90}, {1, 0}}, {}},
    };
    for (const auto& [kind, bytes, columns, comments] : cases) {
        const std::string path = scratchFile(bytes, kind);
        const auto table = readDataFile(path, kind);
        ASSERT_TRUE(table.ok()) << bytes << ": " << table.error().describe();
        EXPECT_EQ(table.value().path, path);
        EXPECT_EQ(table.value().columns, columns) << bytes;
        EXPECT_EQ(table.value().comments, comments) << bytes;
        EXPECT_EQ(table.value().rows(), static_cast<int>(columns[0].size()));
        EXPECT_EQ(table.value().first(), columns[0].front());
        EXPECT_EQ(table.value().last(), columns[0].back());
    }
    // kind, bytes, the line named (0: none), a part of the reason
    const std::tuple<DataKind, std::string, int, const char*> faults[] = {
        {DataKind::Nk, "# c\n\n300 1 0\n\n\n400 1 x\n", 6, "column 3 (k): \"x\" is not a number"},
        {DataKind::Nk, "300 1 0\r\n400 abc 0\r\n", 2, "column 2 (n)"},
        {DataKind::Nk, "300 1 0\r\r400 abc 0\r", 3, "column 2 (n)"},
        {DataKind::Nk, "300 1,5 0\n", 1, "the decimal point is \".\""},
        {DataKind::Nk, "300 0x1 0\n", 1, "\"0x1\" is not a number"},
        {DataKind::Nk, "300 +-1 0\n", 1, "not a number"},
        {DataKind::Nk, "300 nan 0\n", 1, "column 2 (n): \"nan\" is not a finite number"},
        {DataKind::Nk, "300 1 -inf\n", 1, "column 3 (k): \"-inf\" is not a finite number"},
        {DataKind::Nk, "300 1e999 0\n", 1, "not a finite number"},
        {DataKind::Nk, "300 1 0\n400 1\n", 2, "expected 3 numbers (wavelength, n, k), found 2"},
        {DataKind::Nk, "300 1 0 7\n", 1, "expected 3 numbers (wavelength, n, k), found 4"},
        {DataKind::Nk, "300 1 0\n310 1 0\n310 1 0\n", 3, "310 is not above 310 on line 2"},
        {DataKind::Nk, "0 1 0\n", 1, "wavelength must be above 0, found 0"},
        {DataKind::Spectrum, "0 1\n", 1, "wavelength must be above 0"},
        {DataKind::Nk, "300 0 0\n", 1, "n must be above 0, found 0"},
        {DataKind::Nk, "300 1 -1e-9\n", 1, "k must lie between 0 and 1000, found -1e-9"},
        {DataKind::Nk, "300 1 0\n# late\n", 2, "a comment line among the data lines"},
        {DataKind::Spectrum, "300 -0.5\n", 1,
         "irradiance must lie between 0 and 10000, found -0.5"},
        {DataKind::Haze, "300 1.0001\n", 1, "haze must lie between 0 and 1, found 1.0001"},
        {DataKind::Calibration, "300 0\n", 1, "c must be above 0"},
        {DataKind::ReflectanceCalibration, "300 1.5\n", 1, "c must lie between 0 and 1"},
        {DataKind::ExternalAdf, "0 1\n90.5 1\n", 2, "angle must lie between 0 and 90"},
        {DataKind::ExternalAdf, "0 -1\n", 1, "intensity must not be below 0"},
        {DataKind::ExternalAdf, "0 1\n", 0, "at least two angles"},
        {DataKind::ExternalAdf, "0 0\n45 0\n", 0, "every intensity is 0"},
        {DataKind::Nk, "300 1e6 0\n", 1, "n must not be above 1000, found 1e6"},
        {DataKind::Nk, "300 1 1e300\n", 1, "k must lie between 0 and 1000"},
        {DataKind::Spectrum, "300 1e300\n", 1, "irradiance must lie between 0 and 10000"},
        {DataKind::Spectrum, std::string("300 1\n400 1\n5\0\x01 1\n", 18), 3, "NUL byte"},
        {DataKind::Spectrum, std::string{'\xFF', '\xFE', '3', '\0'}, 1, "UTF-16"},
        {DataKind::Spectrum, repeated("#\n", kMaxDataFileComments + 1), 10001, "comment lines"},
        {DataKind::Spectrum, "", 0, "no data line"},
        {DataKind::Spectrum, "# only\n\n  \t\n", 0, "no data line"},
    };
    for (const auto& [kind, bytes, line, says] : faults) {
        const std::string path = scratchFile(bytes, kind);
        const auto table = readDataFile(path, kind);
        ASSERT_FALSE(table.ok()) << bytes;
        EXPECT_EQ(table.error().file, path);
        EXPECT_EQ(table.error().line, line) << bytes << ": " << table.error().describe();
        EXPECT_NE(table.error().reason.find(says), std::string::npos)
            << bytes << ": " << table.error().describe();
    }
    // A missing file, a folder and an oversized file are refused unread.
    const std::string big = scratchFile("", DataKind::Nk);
    fs::resize_file(big, kMaxDataFileBytes + 1); // sparse: nothing is written
    const std::pair<std::string, const char*> unread[] = {
        {dataFilePath(fs::temp_directory_path().string(), "no_such_data", DataKind::Nk),
         "cannot be opened"},
        {fs::temp_directory_path().string(), "folder"},
        {big, "too large"},
    };
    for (const auto& [path, says] : unread) {
        const auto table = readDataFile(path, DataKind::Nk);
        ASSERT_FALSE(table.ok()) << path;
        EXPECT_EQ(table.error().file, path);
        EXPECT_NE(table.error().reason.find(says), std::string::npos) << table.error().reason;
    }
    fs::remove_all(test::scratch(kScratch));
}

TEST(DataTable, InterpolatesBetweenRowsAndNeverOutside) {
    DataTable table;
    table.columns = {{300, 400, 600}, {1, 3, 4}, {0, 0.5, 0.1}};
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<int, double, std::optional<double>> cases[] = {
        // at rows
        {1, 300, 1},
        {1, 400, 3},
        {1, 600, 4},
        {2, 400, 0.5},
        // between rows, and near one
        {1, 350, 2},
        {1, 500, 3.5},
        {2, 500, 0.3},
        {2, 300.5, .0025},
        // outside, by a hair too
        {1, 299, {}},
        {1, std::nextafter(600.0, 700.0), {}},
        {1, nan, {}},
        // columns the table does not have, and the x column itself
        {3, 400, {}},
        {-1, 400, {}},
        {0, 450, 450},
    };
    for (const auto& [column, x, expected] : cases) {
        const auto got = table.at(column, x);
        ASSERT_EQ(got.has_value(), expected.has_value()) << column << " at " << x;
        if (expected) {
            EXPECT_NEAR(*got, *expected, 1e-12) << column << " at " << x;
        }
    }
    // A table of one row holds that row's value at its x alone; an empty one nothing.
    const DataTable single{"", {}, {{500}, {2}}};
    EXPECT_EQ(single.at(1, 500), 2.0);
    EXPECT_FALSE(single.at(1, 500.001));
    EXPECT_FALSE(DataTable{}.at(0, 1));
    EXPECT_TRUE(std::isnan(DataTable{}.first()));
}

TEST(DataFile, ReadingOnFromAHintFindsTheSameRows) {
    // y = x^2 at x = 0..20, read between the rows: on [k, k + 1] the line gives
    // k^2 + (2k + 1)(x - k). Rising x in small and large steps, a step back, and hints that
    // are stale or beyond the table all find the right rows.
    DataTable table;
    table.columns.resize(2);
    for (int k = 0; k <= 20; ++k) {
        table.columns[0].push_back(k);
        table.columns[1].push_back(k * k);
    }
    const auto line = [](double x) {
        const double k = std::min(std::floor(x), 19.0);
        return k * k + (2 * k + 1) * (x - k);
    };
    std::size_t hint = 0;
    for (const double x : {0.0, 0.25, 0.5, 1.0, 1.75, 2.0, 7.5, 19.9, 3.25, 3.5, 20.0, 0.1}) {
        ASSERT_TRUE(table.at(1, x, hint)) << x;
        EXPECT_NEAR(*table.at(1, x, hint), line(x), 1e-12) << x;
    }
    for (std::size_t stale : {std::size_t{5}, std::size_t{21}, std::size_t{1000}}) {
        hint = stale;
        EXPECT_NEAR(*table.at(1, 2.5, hint), 6.5, 1e-12) << stale;
    }
    EXPECT_FALSE(table.at(1, 20.5, hint));
}

TEST(DataFile, PathOfANameInItsFolder) {
    const std::tuple<const char*, DataKind, const char*> cases[] = {
        {"/w/nk", DataKind::Nk, "/w/nk/i-ZnO.nk"},
        {"/w/Spectrum/", DataKind::Spectrum, "/w/Spectrum/i-ZnO.spk"},
        {"/w/HT_HR", DataKind::Haze, "/w/HT_HR/i-ZnO.hz"},
        {"/w/cT_cR", DataKind::Calibration, "/w/cT_cR/i-ZnO.cal"},
        {"/w/cT_cR", DataKind::ReflectanceCalibration, "/w/cT_cR/i-ZnO.cal"},
        {"/w/ADF_external", DataKind::ExternalAdf, "/w/ADF_external/i-ZnO.adf"},
    };
    for (const auto& [folder, kind, path] : cases)
        EXPECT_EQ(dataFilePath(folder, "i-ZnO", kind), path);
}

} // namespace
} // namespace lumetrix
