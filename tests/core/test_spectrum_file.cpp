#include "core/spectrum_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace lumetrix {
namespace {

namespace fs = std::filesystem;

std::string fixture(const char* name) {
    return std::string(LUMETRIX_TEST_DATA_DIR) + "/" + name;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path scratch(const char* name) {
    const fs::path dir = fs::temp_directory_path() / "lumetrix_spectrum_test";
    fs::create_directories(dir);
    const fs::path file = dir / name;
    fs::remove(file);
    return file;
}

fs::path writeSource(const char* name, const std::string& bytes) {
    const fs::path file = scratch(name);
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

TEST(SpectrumFile, ReadsCommentsAndData) {
    const auto spectrum = readSpectrumFile(fixture("spectrum_valid.spk"));
    ASSERT_TRUE(spectrum.ok()) << spectrum.error().describe();
    EXPECT_EQ(spectrum.value().comments.size(), 2u);
    ASSERT_EQ(spectrum.value().points.size(), 5u);
    EXPECT_EQ(spectrum.value().points[0].wavelength, 300);
    EXPECT_EQ(spectrum.value().points[0].text, "300\t0.45");
    EXPECT_EQ(spectrum.value().points[3].irradiance, 1.4);
}

TEST(SpectrumFile, MalformedFilesSayWhere) {
    struct Case {
        const char* name;
        std::string bytes;
        int line;
    };
    const Case cases[] = {
        {"not_a_number.spk", "300 0.45\n400 x\n", 2},
        {"three_fields.spk", "300 0.45 1\n", 1},
        {"one_field.spk", "# c\n300\n", 2},
        {"falling.spk", "300 1\n300 1\n", 2},
        {"negative.spk", "300 -1\n", 1},
        {"zero_wavelength.spk", "0 1\n", 1},
        {"comment_in_data.spk", "300 1\n# late\n400 1\n", 2},
        {"binary.spk", std::string("300 1\n4\0 1\n", 11), 2},
        {"comma.spk", "300,5 1\n", 1},
        {"empty.spk", "", 0},
        {"only_comments.spk", "# nothing\n\n", 0},
    };
    for (const auto& c : cases) {
        const auto result = readSpectrumFile(writeSource(c.name, c.bytes).string());
        ASSERT_FALSE(result.ok()) << c.name;
        EXPECT_EQ(result.error().line, c.line) << c.name << ": " << result.error().describe();
    }
    EXPECT_FALSE(readSpectrumFile(fixture("no_such.spk")).ok());
}

TEST(SpectrumFile, RangeFileHoldsThePointsInside) {
    const fs::path target = scratch("AM15_tmp.spk");
    ASSERT_FALSE(writeSpectrumRange(fixture("spectrum_valid.spk"), target.string(), 400, 600));
    EXPECT_EQ(readBytes(target), "# AM1.5 global, test excerpt\r\n"
                                 "# wavelength (nm)  irradiance (W/(m2 nm))\r\n"
                                 "# Range set manually: 400 to 600 nm\r\n"
                                 "400 1.1\r\n500   1.5\r\n600 1.4E0\r\n");
    const auto reread = readSpectrumFile(target.string());
    ASSERT_TRUE(reread.ok());
    EXPECT_EQ(reread.value().points.size(), 3u);
}

TEST(SpectrumFile, NothingIsWrittenForABadSourceOrRange) {
    const fs::path target = scratch("kept_tmp.spk");
    std::ofstream(target, std::ios::binary) << "old\r\n";
    const std::pair<std::string, std::pair<double, double>> cases[] = {
        {fixture("spectrum_not_a_number.spk"), {0, 5000}},
        {fixture("spectrum_falling_wavelength.spk"), {0, 5000}},
        {fixture("spectrum_valid.spk"), {800, 900}}, // no point inside
        {fixture("spectrum_valid.spk"), {600, 400}}, // from above to
        {fixture("no_such.spk"), {0, 5000}},
    };
    for (const auto& [source, range] : cases) {
        const auto failure = writeSpectrumRange(source, target.string(), range.first, range.second);
        ASSERT_TRUE(failure) << source;
        EXPECT_EQ(readBytes(target), "old\r\n") << source;
    }
}

} // namespace
} // namespace lumetrix
