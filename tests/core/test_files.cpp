// The files the program reads and writes as text: Windows-1252 codec, listing files, saved
// text files and spectrum files.
#include "core/listing.h"
#include "core/result_files.h"
#include "core/spectrum_file.h"
#include "core/text_codec.h"
#include "core/textfile.h"
#include "new_project.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace lumetrix {
namespace {

namespace fs = std::filesystem;
using namespace test;

TEST(TextCodec, Windows1252BothWaysAndWhatItCannotHold) {
    const std::pair<std::string, std::string> cases[] = {
        {"air", "air"},           {"\xE9", "\xC3\xA9"}, // é
        {"\x80", "\xE2\x82\xAC"},                       // euro sign
        {"\xB5m", "\xC2\xB5m"},                         // micro sign
        {"\x81", "\xC2\x81"},                           // an undefined byte keeps its number
    };
    for (const auto& [bytes, utf8] : cases) {
        EXPECT_EQ(cp1252ToUtf8(bytes), utf8);
        EXPECT_EQ(utf8ToCp1252(utf8), bytes);
    }
    for (const char* refused : {"\xE2\x88\x9A",     // square root sign
                                "\xF0\x9F\x98\x80", // an emoji
                                "\xC3",             // cut off
                                "\xC3("})           // broken sequence
        EXPECT_FALSE(utf8ToCp1252(refused).has_value()) << refused;
    // The first character it cannot hold, by line and column (characters, not bytes).
    const auto at = firstUnstorable("\xC3\xA9t\xC3\xA9\nab \xCE\xBB \xE2\x88\x9A");
    ASSERT_TRUE(at);
    EXPECT_EQ(std::tuple(at->text, static_cast<int>(at->codePoint), at->line, at->column),
              std::tuple(std::string("\xCE\xBB"), 0x3BB, 2, 4));
}

TEST(Listing, LineEndsLastLinesAndBadFiles) {
    using Items = std::vector<std::string>;
    const std::pair<std::string, Items> cases[] = {
        {fixture("listing_crlf.dat"), {"air", "glass", "Mo"}},
        {fixture("listing_lf_no_last_end.dat"), {"air", "glass", "Mo"}},
        {fixture("listing_empty_middle_line.dat"), {"air", "", "Mo"}},
        {fixture("listing_cp1252.dat"), {"ZnO\xC2\xB5m"}},
        {fixture("listing_empty.dat"), {}},
    };
    for (const auto& [path, expected] : cases) {
        const auto got = readListingFile(path);
        ASSERT_TRUE(got.ok()) << path << ": " << got.error().describe();
        EXPECT_EQ(got.value(), expected) << path;
    }
    EXPECT_EQ(splitLines("a\r\n\r\nb\r\n"), (Items{"a", "", "b"}));
    EXPECT_EQ(splitLines("a\rb\n"), (Items{"a", "b"}));
    EXPECT_EQ(splitLines("a\r\rb\r\n\rc"), (Items{"a", "", "b", "", "c"}));
    EXPECT_EQ(splitLines("\r"), (Items{""}));
    EXPECT_EQ(splitLines(""), Items{});
    EXPECT_EQ(splitLines("\n"), (Items{""}));
    // Files that do not read say what and where.
    const fs::path big = scratch("lumetrix-listing") / "too_large.dat";
    {
        std::ofstream out(big, std::ios::binary);
        const std::string line(1023, 'x');
        for (std::size_t written = 0; written <= kMaxListingFileBytes; written += 1024)
            out << line << '\n';
    }
    const fs::path pipe = big.parent_path() / "pipe.dat", zeros = big.parent_path() / "zeros.dat";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", zeros);
    const std::tuple<std::string, int, const char*> bad[] = {
        {pipe.string(), 0, "not a regular file"},  // would block for ever
        {zeros.string(), 0, "not a regular file"}, // would never end
        {fixture("no_such_listing.dat"), 0, "no_such_listing.dat"},
        {fixture("listing_binary.dat"), 2, "listing_binary.dat"},
        {LUMETRIX_TEST_DATA_DIR, 0, ""}, // a folder
        {big.string(), 0, "too large"},
    };
    for (const auto& [path, line, named] : bad) {
        const auto got = readListingFile(path);
        ASSERT_FALSE(got.ok()) << path;
        EXPECT_EQ(got.error().line, line) << path;
        EXPECT_NE(got.error().describe().find(named), std::string::npos) << got.error().describe();
    }
    fs::remove_all(big.parent_path());
}

TEST(Listing, AnItemJoinsOnceAndAnUnreadableListingIsLeftAlone) {
    const fs::path dir = scratch("lumetrix-listing-add");
    const fs::path list = dir / "cR.dat";
    std::ofstream(list, std::ios::binary) << "a\r\nb";
    EXPECT_FALSE(addListingItem(list.string(), "c\xC2\xB5"));
    EXPECT_FALSE(addListingItem(list.string(), "a"));
    EXPECT_EQ(readBytes(list), "a\r\nb\r\nc\xB5\r\n");
    const auto refused = addListingItem((dir / "none.dat").string(), "x");
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("none.dat"), std::string::npos) << *refused;
    EXPECT_FALSE(fs::exists(dir / "none.dat"));
    fs::remove_all(dir);
}

TEST(TextFile, EveryReaderSkipsAUtf8ByteOrderMarkAtTheStart) {
    const fs::path dir = scratch("lumetrix-bom");
    const auto withMark = [&](const std::string& name, const std::string& text) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF" << text;
        return path.string();
    };
    EXPECT_EQ(readSmallFile(withMark("a.txt", "x\r\n"), 100, "file").value(), "x\r\n");
    EXPECT_EQ(readListingFile(withMark("list.dat", "air\r\nglass\r\n")).value(),
              (std::vector<std::string>{"air", "glass"}));
    const auto table = readResultTable(withMark("r.rta", "lambda\tR\n300\t0.1\n"), 0);
    ASSERT_TRUE(table) << table.error().describe();
    EXPECT_EQ(table.value().cell(0, 1), "lambda");
    const auto project = readInputFile(
        withMark("p.dat", readBytes(fixture("cigs_example_resaved.dat"))), ReaderContext{});
    ASSERT_TRUE(project) << project.error().describe();
    EXPECT_EQ(project.value().rows.size(), 7u);
    // Only at the start: elsewhere the bytes are text like any other.
    EXPECT_EQ(readSmallFile(withMark("b.txt", "\xEF\xBB\xBF"), 100, "file").value(),
              "\xEF\xBB\xBF");
    fs::remove_all(dir);
}

TEST(TextFile, WritesCrLfWindows1252ThroughLinksKeepingTheOldFileOnFailureAsASpectrumRangeDoes) {
    const fs::path dir = scratch("lumetrix-textfile");
    const fs::path target = dir / "out.dat";
    ASSERT_FALSE(writeTextFile(target.string(), {"a", "ZnO\xC2\xB5", ""}));
    EXPECT_EQ(readBytes(target), "a\r\nZnO\xB5\r\n\r\n");

    const auto refused = writeTextFile(target.string(), {"new", "\xE2\x88\x9A"});
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("line 2"), std::string::npos);
    EXPECT_EQ(readBytes(target), "a\r\nZnO\xB5\r\n\r\n");
    // Through a link the file linked to is written, keeping its permissions.
    fs::permissions(target, fs::perms(0640));
    fs::create_symlink("out.dat", dir / "link.dat");
    ASSERT_FALSE(writeTextFile((dir / "link.dat").string(), {"new"}));
    EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
    EXPECT_EQ(readBytes(target), "new\r\n");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));

    fs::create_directories(dir / "folder.dat");
    EXPECT_TRUE(writeTextFile((dir / "folder.dat").string(), {"x"}));
    EXPECT_TRUE(writeTextFile((dir / "missing" / "x.dat").string(), {"x"}));
    // No stray file beside the targets: only out.dat, link.dat and folder.dat.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
    // A spectrum range file holds the points inside, or nothing is written.
    const fs::path range = dir / "AM15_tmp.spk";
    ASSERT_FALSE(writeSpectrumRange(fixture("spectrum_valid.spk"), range.string(), 300, 600));
    const std::string written = "# AM1.5 global, test excerpt\r\n"
                                "# wavelength (nm)  irradiance (W/(m2 nm))\r\n"
                                "# Range set manually: 300 to 600 nm\r\n"
                                "300\t0.45\r\n400 1.1\r\n500   1.5\r\n600 1.4E0\r\n";
    EXPECT_EQ(readBytes(range), written);
    const auto reread = readSpectrumFile(range.string()); // comments and points, as written
    ASSERT_TRUE(reread.ok()) << reread.error().describe();
    EXPECT_EQ(reread.value().comments.size(), 3u);
    ASSERT_EQ(reread.value().points.size(), 4u);
    EXPECT_EQ(reread.value().points[0].text, "300\t0.45");
    EXPECT_EQ(reread.value().points[3].wavelength, 600);
    EXPECT_EQ(reread.value().points[3].irradiance, 1.4);

    // A source that does not read is refused as the data-file reader says (its faults: the
    // data-file tests), naming the line.
    const std::tuple<std::string, double, double, const char*> unreadable[] = {
        {fixture("spectrum_not_a_number.spk"), 0, 5000, ", line 2: column 2"},
        {fixture("spectrum_falling_wavelength.spk"), 0, 5000, ", line 2: the wavelength"},
        {fixture("spectrum_valid.spk"), 800, 900, "no data point between 800 and 900"},
        {fixture("spectrum_valid.spk"), 600, 400, "from 600 to 400 nm is empty"},
        {fixture("no_such.spk"), 0, 5000, "no_such.spk"},
    };
    for (const auto& [source, from, to, says] : unreadable) {
        const auto refusal = writeSpectrumRange(source, range.string(), from, to);
        ASSERT_TRUE(refusal) << source;
        EXPECT_NE(refusal->find(says), std::string::npos) << *refusal;
        EXPECT_EQ(readBytes(range), written) << source;
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace lumetrix
