#include "core/listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumetrix {
namespace {

std::string fixture(const char* name) {
    return std::string(LUMETRIX_TEST_DATA_DIR) + "/" + name;
}

TEST(Listing, LineEndsAndLastLines) {
    using Items = std::vector<std::string>;
    const std::pair<const char*, Items> cases[] = {
        {"listing_crlf.dat", {"air", "glass", "Mo"}},
        {"listing_lf_no_last_end.dat", {"air", "glass", "Mo"}},
        {"listing_empty_middle_line.dat", {"air", "", "Mo"}},
        {"listing_cp1252.dat", {"ZnO\xC2\xB5m"}},
        {"listing_empty.dat", {}},
    };
    for (const auto& [name, expected] : cases) {
        const auto got = readListingFile(fixture(name));
        ASSERT_TRUE(got.ok()) << name << ": " << got.error().describe();
        EXPECT_EQ(got.value(), expected) << name;
    }
}

TEST(Listing, ShippedListsReadCleanly) {
    const auto layers = readListingFile(std::string(LUMETRIX_DATA_DIR) + "/List/layer.dat");
    ASSERT_TRUE(layers.ok());
    ASSERT_FALSE(layers.value().empty());
    EXPECT_EQ(layers.value().front(), "air");
    for (const auto& item : layers.value())
        EXPECT_EQ(item.find('\r'), std::string::npos) << item;
    // The internal ADF catalogues must be long enough for every parameter panel.
    EXPECT_GE(readListingFile(std::string(LUMETRIX_DATA_DIR) + "/ADF1.dat").value().size(), 5u);
    EXPECT_GE(readListingFile(std::string(LUMETRIX_DATA_DIR) + "/ADF2.dat").value().size(), 7u);
}

TEST(Listing, BadFilesSayWhatAndWhere) {
    const auto missing = readListingFile(fixture("no_such_listing.dat"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().line, 0);
    EXPECT_NE(missing.error().describe().find("no_such_listing.dat"), std::string::npos);

    const auto binary = readListingFile(fixture("listing_binary.dat"));
    ASSERT_FALSE(binary.ok());
    EXPECT_EQ(binary.error().line, 2);

    const auto folder = readListingFile(LUMETRIX_TEST_DATA_DIR);
    EXPECT_FALSE(folder.ok());

    const auto big = std::filesystem::temp_directory_path() / "lumetrix_listing_too_large.dat";
    {
        std::ofstream out(big, std::ios::binary);
        const std::string line(1023, 'x');
        for (std::size_t written = 0; written <= kMaxListingFileBytes; written += 1024)
            out << line << '\n';
    }
    const auto huge = readListingFile(big.string());
    std::filesystem::remove(big);
    ASSERT_FALSE(huge.ok());
    EXPECT_NE(huge.error().reason.find("too large"), std::string::npos);
}

TEST(Listing, SplitLinesKeepsEmptyLinesButNotTheFinalEnd) {
    EXPECT_EQ(splitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitLines("a\rb\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(splitLines("\n"), (std::vector<std::string>{""}));
}

} // namespace
} // namespace lumetrix
