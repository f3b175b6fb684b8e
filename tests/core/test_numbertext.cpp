#include "core/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumetrix {
namespace {

struct FixedCase {
    long double value;
    int decimals;
    char separator;
    const char* expected;
};

TEST(NumberText, FormatFixedShowsWhatTheEditShows) {
    const FixedCase cases[] = {
        {2.5L, -1, '.', "2.5"},
        {3, -1, '.', "3"},
        {0.000001L, -1, '.', "0.000001"},
        {1, 2, '.', "1.00"},
        {1, 0, '.', "1"},
        {2.5L, 0, '.', "3"}, // halves round away from zero
        {-2.5L, 0, '.', "-3"},
        {0.1L, -1, '.', "0.1"},
        {1.0L / 3, -1, '.', "0.33333333333333"}, // at most 14 decimals
        {12345678.9L, -1, '.', "12345678.9"},
        {100000000, -1, '.', "100000000"},
        {1e7L, -1, '.', "10000000"}, // never an exponent
        {-0.0L, -1, '.', "0"},
        {-0.0000000000000001L, -1, '.', "0"},
        {2.5L, -1, ',', "2,5"},
        {1, 2, ',', "1,00"},
        {0.125L, 2, '.', "0.13"},
        {-45.25L, -1, '.', "-45.25"},
        {1.005L, 2, '.', "1.01"},  // rounded on the decimal digits, not the binary value
        {9.995L, 2, '.', "10.00"}, // the carry adds a digit
        {0.004L, 2, '.', "0.00"},
        {-0.004L, 2, '.', "0.00"},
        {0.0000000000000049L, -1, '.', "0"},
        {0.000000000000005L, -1, '.', "0.00000000000001"},
        {123456789012345678901.0L, 0, '.', "123456789012345679000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFixed(c.value, c.decimals, c.separator), c.expected)
            << "value " << static_cast<double>(c.value) << " decimals " << c.decimals;
}

TEST(NumberText, FormatGeneralUsesUpToFifteenDigits) {
    const std::pair<long double, const char*> cases[] = {
        {1, "1"},
        {2.5L, "2.5"},
        {0.1L, "0.1"},
        {1.0L / 3, "0.333333333333333"},
        {123456789012345678.0L, "1.23456789012346E17"},
        {0.00001L, "1E-5"},
        {0.0001L, "0.0001"},
        {-0.0L, "0"},
        {1e15L, "1E15"},
        {123456789012345.0L, "123456789012345"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(formatGeneral(value, '.'), expected) << static_cast<double>(value);
    EXPECT_EQ(formatGeneral(2.5L, ','), "2,5");
}

TEST(NumberText, ParseReadsWhatTypingCanLeave) {
    const Separators point{'.', ','};
    const Separators comma{',', '.'};
    struct Case {
        const char* text;
        Separators seps;
        std::optional<long double> expected;
    };
    const Case cases[] = {
        {"", point, 0.0L},
        {"-", point, -0.0L},
        {"2.5", point, 2.5L},
        {"1,234.5", point, 1234.5L}, // thousands separators are dropped
        {"2,5", comma, 2.5L},
        {"1.234,5", comma, 1234.5L},
        {"1E3", point, 1000.0L},
        {"1e-3", point, 0.001L},
        {"1E", point, 1.0L}, // an exponent mark without digits
        {"1E-", point, 1.0L},
        {".", point, 0.0L},
        {"-.5", point, -0.5L},
        {"1.2.3", point, std::nullopt},
        {"abc", point, std::nullopt},
        {"1a2", point, std::nullopt},
        {"1E4933", point, std::nullopt}, // beyond an extended float
        {" 1", point, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = parseNumber(c.text, c.seps);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.text;
        if (got) {
            EXPECT_DOUBLE_EQ(static_cast<double>(*got), static_cast<double>(*c.expected)) << c.text;
        }
    }
    EXPECT_TRUE(std::signbit(*parseNumber("-", point)));
}

TEST(NumberText, FormatThenParseIsTheSameNumber) {
    for (const long double v : {0.0L, 1.0L, 2.5L, 1e-6L, 99999999.0L, 1234.5678L, -17.25L})
        for (const int d : {-1, 6})
            EXPECT_DOUBLE_EQ(static_cast<double>(*parseNumber(formatFixed(v, d, ','), {',', '.'})),
                             static_cast<double>(v));
}

TEST(NumberText, ConvertSeparatorsSwapsBoth) {
    EXPECT_EQ(convertSeparators("1,234.5", {'.', ','}, {',', '.'}), "1.234,5");
    EXPECT_EQ(convertSeparators("2.5", {'.', ','}, {',', ' '}), "2,5");
    EXPECT_EQ(convertSeparators("25", {'.', ','}, {',', '.'}), "25");
}

} // namespace
} // namespace lumetrix
