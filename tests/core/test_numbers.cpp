// Number texts: what the numeric edits show and read, the typing rules that keep them numbers,
// and the numbers of the result files.
#include "core/numbertext.h"
#include "core/numedit_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

namespace lumetrix {
namespace {

TEST(NumberText, FormatFixedShowsWhatTheEditShowsAndFormatGeneral) {
    // value, decimals (-1: as many as it takes), separator, text
    const std::tuple<long double, int, char, const char*> cases[] = {
        {2.5L, -1, '.', "2.5"},
        {3, -1, '.', "3"},
        {0.000001L, -1, '.', "0.000001"},
        {1, 2, '.', "1.00"},
        {2.5L, 0, '.', "3"}, // halves round away from zero
        {-2.5L, 0, '.', "-3"},
        {1.0L / 3, -1, '.', "0.33333333333333"}, // at most 14 decimals
        {12345678.9L, -1, '.', "12345678.9"},
        {100000000, -1, '.', "100000000"},
        {1e7L, -1, '.', "10000000"}, // never an exponent
        {-0.0L, -1, '.', "0"},
        {-0.0000000000000001L, -1, '.', "0"},
        {2.5L, -1, ',', "2,5"},
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
    for (const auto& [value, decimals, separator, expected] : cases)
        EXPECT_EQ(formatFixed(value, decimals, separator), expected)
            << "value " << static_cast<double>(value) << " decimals " << decimals;
    // The general format uses up to fifteen digits.
    const std::pair<long double, const char*> general[] = {
        {0.1L, "0.1"},
        {1.0L / 3, "0.333333333333333"},
        {123456789012345678.0L, "1.23456789012346E17"},
        {0.00001L, "1E-5"},
        {0.0001L, "0.0001"},
        {-0.0L, "0"},
        {1e15L, "1E15"},
        {123456789012345.0L, "123456789012345"},
    };
    for (const auto& [value, expected] : general)
        EXPECT_EQ(formatGeneral(value, '.'), expected) << static_cast<double>(value);
    EXPECT_EQ(formatGeneral(2.5L, ','), "2,5");
}

// The result files' numbers are the bytes the C library's printf gives: every stored file
// stays as it was written before, whatever writes it.
TEST(NumberText, AppendedNumbersAreWhatPrintfWrites) {
    std::vector<double> values{
        0.0,           -0.0,          1.0,        0.1,         1e-5,
        9.99999995e-5, 1e-4,          99999999.5, 999999995.0, 1e8,
        123456785,     0.00012345675, 5e-324,     2.2e-308,    1.7976931348623157e308,
        -1.5e-12,      33.15725,      0.5,        2.5,         0.125,
        1e21,          1e22};
    std::mt19937_64 bits(20261207);
    for (int i = 0; i < 30000; ++i) {
        const std::uint64_t raw = bits();
        double v;
        std::memcpy(&v, &raw, sizeof v);
        if (std::isfinite(v))
            values.push_back(v);
        values.push_back(std::ldexp(static_cast<double>(raw >> 11), -53) *
                         std::pow(10.0, static_cast<int>(raw % 40) - 20)); // around 1
    }
    for (const double v : values) {
        for (const int digits : {6, 8, 10}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*g", digits, v);
            std::string got;
            appendGeneral(got, v, digits);
            ASSERT_EQ(got, expected) << "%." << digits << "g of " << v;
        }
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.4f", v);
        std::string got = "x";
        appendFixed(got, v, 4);
        ASSERT_EQ(got, "x" + std::string(expected)) << "%.4f of " << v;
    }
}

// Reading takes two short cuts: a plain decimal is divided out instead of read by strtold,
// and a text the edits would show unchanged is not formatted again. Both must give exactly
// what the long way gives, on every text.
TEST(NumberText, ShortCutsOfReadingGiveWhatTheLongWayGives) {
    std::mt19937_64 random(7);
    const auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };
    std::vector<std::string> texts{"0",
                                   "-0",
                                   "0.0",
                                   "00",
                                   "1.50",
                                   "-0.5",
                                   "1e3",
                                   "+1",
                                   ".5",
                                   "5.",
                                   "0.000123",
                                   "1234.5678",
                                   "99999999999999999.9",
                                   "999999999999999.9",
                                   "99999999999999.9",
                                   "123456789012345678",
                                   "1234567890123456789",
                                   "0,5"};
    for (int i = 0; i < 20000; ++i)
        texts.push_back((random() % 4 == 0 ? "-" : "") +
                        digits(1 + static_cast<int>(random() % 12)) +
                        (random() % 3 ? "." + digits(static_cast<int>(random() % 12)) : ""));
    for (const std::string& text : texts) {
        const auto value = parseFileNumber(text, '.');
        char* end = nullptr;
        const long double strtoldValue = std::strtold(text.c_str(), &end);
        if (value && *end == '\0') {
            ASSERT_EQ(std::memcmp(&*value, &strtoldValue, 10), 0) << text;
        }
        for (const int decimals : {-1, 0, 2, 4})
            if (isFormattedFixed(text, decimals, '.')) {
                ASSERT_TRUE(value) << text;
                ASSERT_EQ(formatFixed(*value, decimals, '.'), text) << text << " at " << decimals;
            }
    }
    // The edits' own texts take the short cut.
    for (const long double v : {0.0L, 1.5L, -2.25L, 1234.5678L, 0.000123L, 350.0L})
        for (const int decimals : {-1, 0, 2})
            EXPECT_TRUE(isFormattedFixed(formatFixed(v, decimals, '.'), decimals, '.'))
                << formatFixed(v, decimals, '.');
}

TEST(NumberText, ParseReadsWhatTypingCanLeaveAndSeparatorsConvert) {
    const Separators point{'.', ','};
    const Separators comma{',', '.'};
    const std::tuple<const char*, Separators, std::optional<long double>> cases[] = {
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
    for (const auto& [text, seps, expected] : cases) {
        const auto got = parseNumber(text, seps);
        ASSERT_EQ(got.has_value(), expected.has_value()) << text;
        if (got) {
            EXPECT_DOUBLE_EQ(static_cast<double>(*got), static_cast<double>(*expected)) << text;
        }
    }
    EXPECT_TRUE(std::signbit(parseNumber("-", point).value_or(1)));
    // A change of the regional settings swaps both separators.
    EXPECT_EQ(convertSeparators("1,234.5", point, comma), "1.234,5");
    EXPECT_EQ(convertSeparators("2.5", point, {',', ' '}), "2,5");
    EXPECT_EQ(convertSeparators("25", point, comma), "25");
}

struct TypingCase {
    const char* name;
    const char* text;
    int selStart, selLength, decimals;
    const char* keys;
    const char* expected;
    int expectedCaret;
    bool beeped;
    char decimal = '.'; // the thousands separator is the other of '.' and ','
};

// Feeds keys one at a time: '\b' is Backspace, '\x7f' Delete, and '\026' (Ctrl+V) pastes the
// keys after it; true when a key asked for a beep.
bool feed(const NumEditRules& rules, EditState& state, const char* keys) {
    bool beeped = false;
    for (const char* k = keys; *k; ++k) {
        if (*k == '\026')
            return rules.paste(state, k + 1) || beeped;
        if (*k == '\b')
            rules.backspace(state);
        else if (*k == '\x7f')
            rules.deleteForward(state);
        else if (rules.typeChar(state, *k) == KeyOutcome::RefusedWithBeep)
            beeped = true;
    }
    return beeped;
}

TEST(NumEditRules, KeysKeepTheTextANumberAndCopyDropsThousandsSeparators) {
    const TypingCase cases[] = {
        {"leading zero replaced", "0", 1, 0, -1, "60", "60", 2, false},
        {"leading zero after minus", "-0", 2, 0, -1, "7", "-7", 2, false},
        {"letters refused silently", "0", 1, 0, -1, "1a2", "12", 2, false},
        {"comma taken as point", "12", 2, 0, -1, ",5", "12.5", 4, false},
        {"second separator moves caret", "1.5", 0, 0, -1, ".", "1.5", 2, false},
        {"separator at mantissa end", "15", 1, 0, -1, ".", "15.", 3, false},
        {"separator refused at Decimals 0", "15", 2, 0, 0, ".", "15", 2, false},
        {"minus toggles mantissa sign", "15", 2, 0, -1, "-", "-15", 3, false},
        {"minus twice restores", "15", 2, 0, -1, "--", "15", 2, false},
        {"minus after E toggles exponent", "1E5", 3, 0, -1, "-", "1E-5", 4, false},
        {"e taken as E at end", "2", 1, 0, -1, "e3", "2E3", 3, false},
        {"second E moves caret", "2E3", 0, 0, -1, "E", "2E3", 2, false},
        {"exponent beyond 4932 beeps", "1E493", 5, 0, -1, "3", "1E493", 5, true},
        {"exponent 4932 allowed", "1E493", 5, 0, -1, "2", "1E4932", 6, false},
        {"negative exponent limit", "1E-493", 6, 0, -1, "9", "1E-493", 6, true},
        {"fixed decimals overwrite", "1.00", 2, 0, 2, "57", "1.57", 4, false},
        {"fixed decimals full beeps", "1.57", 4, 0, 2, "3", "1.57", 4, true},
        {"digit before minus goes after it", "-5", 0, 0, -1, "3", "-35", 2, false},
        {"backspace removes digit", "123", 3, 0, -1, "\b", "12", 2, false},
        {"backspace to empty gives 0", "5", 1, 0, -1, "\b", "0", 1, false},
        {"backspace keeps fixed separator", "1.00", 2, 0, 2, "\b", "1.00", 1, false},
        {"backspace on E drops exponent", "2E15", 2, 0, -1, "\b", "2", 1, false},
        {"delete removes digit at caret", "123", 0, 0, -1, "\x7f", "23", 0, false},
        {"delete at end does nothing", "123", 3, 0, -1, "\x7f", "123", 3, false},
        {"backspace at start does nothing", "123", 0, 0, -1, "\b", "123", 0, false},
        {"backspace lone minus digit", "-5", 2, 0, -1, "\b", "0", 1, false},
        {"comma is the separator", "12", 2, 0, -1, ",", "12,", 3, false, ','},
        {"point refused where comma is the separator", "12", 2, 0, -1, ".", "12", 2, false, ','},
        {"whole text deleted gives 0", "12.50", 0, 5, 2, "\x7f", "0.00", 1, false},
        {"backspace deletes the selection", "12345", 1, 2, -1, "\b", "145", 1, false},
        {"typing replaces the selection", "12345", 1, 3, -1, "9", "195", 2, false},
        {"paste drops letters", "0", 0, 1, -1, "\0261a2", "12", 2, false},
        {"paste takes comma as point", "0", 0, 1, -1, "\0263,5", "3.5", 3, false},
        {"paste beyond fixed decimals beeps", "0.00", 0, 4, 2, "\0261.234", "1.23", 4, true},
    };
    for (const auto& c : cases) {
        const NumEditRules rules({c.decimals, {c.decimal, c.decimal == '.' ? ',' : '.'}});
        EditState state{c.text, c.selStart, c.selLength};
        const bool beeped = feed(rules, state, c.keys);
        EXPECT_EQ(state.text, c.expected) << c.name;
        EXPECT_EQ(state.caret(), c.expectedCaret) << c.name;
        EXPECT_EQ(beeped, c.beeped) << c.name;
    }
    const NumEditRules rules({-1, {'.', ','}}); // copying drops thousands separators
    EXPECT_EQ(rules.copyText({"1,234.5", 0, 7}) + "|" + rules.copyText({"1,234.5", 2, 3}),
              "1234.5|234");
}

} // namespace
} // namespace lumetrix
