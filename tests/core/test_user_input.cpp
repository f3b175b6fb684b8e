// Files as users edit them: names with unusual characters, loose numbers, huge comments.
#include "core/inputfile_reader.h"
#include "core/listing.h"
#include "core/textfile.h"

#include <gtest/gtest.h>

#include <functional>

namespace lumetrix {
namespace {

const ReaderContext kContext{{'.', ','}, "/w", false};

std::vector<std::string> fixtureLines(const char* name) {
    const auto bytes =
        readSmallFile(std::string(LUMETRIX_TEST_DATA_DIR) + "/" + name, 1 << 20, "fixture");
    return splitLines(bytes.value());
}

// A line of a fixture with its text from a column on replaced.
void replaceFrom(std::vector<std::string>& lines, int line, std::size_t column,
                 const std::string& text) {
    std::string& l = lines.at(static_cast<std::size_t>(line - 1));
    l = l.substr(0, std::min(l.size(), column - 1)) +
        std::string(column - 1 - std::min(l.size(), column - 1), ' ') + text;
}

TEST(PathNames, OnlySlashesSeparateFolders) {
    auto current = fixtureLines("new_project.dat");
    replaceFrom(current, 180, 1, "/w/Out/run 10:30");
    current[11].replace(0, 5, "nk:v2");
    const auto loaded = parseInputLines(current, "a.dat", kContext);
    ASSERT_TRUE(loaded.ok()) << loaded.error().describe();
    EXPECT_EQ(loaded.value().values.files.eOutFileName, "run 10:30");
    EXPECT_EQ(loaded.value().rows.at(0).layerFile, "nk:v2");

    auto old = fixtureLines("legacy_ver_1_1.dat");
    replaceFrom(old, 155, 1, "C:\\runs\\run 10:30");
    const auto legacy = parseInputLines(old, "b.dat", kContext);
    ASSERT_TRUE(legacy.ok()) << legacy.error().describe();
    EXPECT_EQ(legacy.value().values.files.eOutFileName, "run 10:30");
    EXPECT_EQ(legacy.value().folders->outFileDir, "C:\\runs");
}

} // namespace
} // namespace lumetrix
