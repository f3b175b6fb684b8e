// Files as users edit them: names with unusual characters, loose numbers, huge comments.
#include "core/inputfile_reader.h"
#include "core/listing.h"
#include "core/textfile.h"
#include "new_project.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace lumetrix {
namespace {

using namespace test;

const ReaderContext kContext = readerContext();

// A line of a fixture with `width` characters from a column on (0: the rest of the line)
// replaced by the text, padded with blanks to the width.
void replaceFrom(std::vector<std::string>& lines, int line, std::size_t column, std::string text,
                 std::size_t width = 0) {
    std::string& l = lines.at(static_cast<std::size_t>(line - 1));
    const std::size_t kept = std::min(l.size(), column - 1);
    text.resize(std::max(text.size(), width), ' ');
    l = l.substr(0, kept) + std::string(column - 1 - kept, ' ') + text +
        (width && l.size() > kept + width ? l.substr(kept + width) : "");
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

// A numeric field converts whole, within the range of the edit that shows it, or the file is
// refused naming the line and the setting.
TEST(LooseNumbers, ConvertWholeOrRefuse) {
    struct Case {
        int line;
        std::size_t column, width; // width 0: to the end of the line
        std::string text;
        const char* refusal; // nullptr: read as `shown`
        std::string shown;
        char decimal = '.';
    };
    const Case cases[] = {
        {13, 35, 17, "3x0", "the thickness of layer 1 \"3x0\" is not a number", ""},
        {13, 35, 17, "0x10", "the thickness of layer 1 \"0x10\" is not a number", ""},
        {13, 35, 17, "3,5", nullptr, "3.5"},
        {13, 35, 17, ".", "the thickness of layer 1 \".\" is not a number", ""},
        {13, 35, 17, "3.5", "the thickness of layer 1 \"3.5\" is not a number", "", ','},
        {13, 35, 17, "1,000.5", "the thickness of layer 1 \"1,000.5\" is not a number", ""},
        {13, 35, 17, "-5", "the thickness of layer 1 -5 is not between 0 and 10000000", ""},
        {13, 35, 17, "1e3", nullptr, "1000"},
        {13, 52, 14, "2.5x", "the number of segments of layer 1 \"2.5x\" is not a number", ""},
        {13, 52, 14, "2.5",
         "the number of segments of layer 1 2.5 is not a whole number between 1 and 1000", ""},
        {13, 52, 14, "1e9",
         "the number of segments of layer 1 1e9 is not a whole number between 1 and 1000", ""},
        {13, 66, 20, "", "the roughness of layer 1 \"\" is not a number", ""},
        {24, 65, 0, "0", "the C_factor 0 is not between 1E-6 and 9999999", ""},
        {49, 42, 0, "4 5", "the number of equivalent angles \"4 5\" is not a number", ""},
        {59, 37, 0, "1.0O", "the Lambertian power n for T \"1.0O\" is not a number", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.line) + ": " + c.text);
        auto lines = fixtureLines("cigs_example_resaved.dat");
        replaceFrom(lines, c.line, c.column, c.text, c.width);
        const auto loaded = parseInputLines(
            lines, "a.dat", {{c.decimal, c.decimal == '.' ? ',' : '.'}, "/w", false});
        if (!c.refusal) {
            ASSERT_TRUE(loaded.ok()) << loaded.error().describe();
            EXPECT_EQ(loaded.value().rows.at(1).thickness, c.shown);
            continue;
        }
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.error().line, c.line);
        EXPECT_EQ(loaded.error().reason, c.refusal);
    }
}

// A user who may not write the file gets the system's reason and the file stays. Run as
// another user when this is root, who may write anything.
TEST(Saving, ReadOnlyFileIsRefused) {
    const auto dir = scratch("lumetrix-save-locked");
    const auto file = dir / "locked.dat";
    ASSERT_EQ(writeTextFile(file.string(), {"old"}), std::nullopt);
    std::filesystem::permissions(file, std::filesystem::perms(0444));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        const auto refused = writeTextFile(file.string(), {"new"});
        ::_exit(!refused ? 1 : *refused == "Permission denied" ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: saved, 2: another reason, 3: no other user";
    EXPECT_EQ(readBytes(file), "old\r\n");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace lumetrix
