#include "core/text_codec.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

TEST(TextCodec, Windows1252RoundTrip) {
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
}

TEST(TextCodec, RefusesWhatTheFileCannotHold) {
    EXPECT_FALSE(utf8ToCp1252("\xE2\x88\x9A").has_value());     // square root sign
    EXPECT_FALSE(utf8ToCp1252("\xF0\x9F\x98\x80").has_value()); // an emoji
    EXPECT_FALSE(utf8ToCp1252("\xC3").has_value());             // cut off
    EXPECT_FALSE(utf8ToCp1252("\xC3(").has_value());            // broken sequence
}

} // namespace
} // namespace lumetrix
