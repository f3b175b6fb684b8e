#include "core/numedit_rules.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

struct TypingCase {
    const char* name;
    const char* text;
    int caret;
    int decimals;
    const char* keys;
    const char* expected;
    int expectedCaret;
    bool beeped;
};

// Feeds keys one at a time; '\b' is Backspace and '\x7f' Delete.
bool feed(const NumEditRules& rules, EditState& state, const char* keys) {
    bool beeped = false;
    for (const char* k = keys; *k; ++k) {
        if (*k == '\b')
            rules.backspace(state);
        else if (*k == '\x7f')
            rules.deleteForward(state);
        else if (rules.typeChar(state, *k) == KeyOutcome::RefusedWithBeep)
            beeped = true;
    }
    return beeped;
}

TEST(NumEditRules, TypingKeepsTheTextANumber) {
    const TypingCase cases[] = {
        {"leading zero replaced", "0", 1, -1, "60", "60", 2, false},
        {"leading zero after minus", "-0", 2, -1, "7", "-7", 2, false},
        {"letters refused silently", "0", 1, -1, "1a2", "12", 2, false},
        {"comma taken as point", "12", 2, -1, ",5", "12.5", 4, false},
        {"second separator moves caret", "1.5", 0, -1, ".", "1.5", 2, false},
        {"separator at mantissa end", "15", 1, -1, ".", "15.", 3, false},
        {"separator refused at Decimals 0", "15", 2, 0, ".", "15", 2, false},
        {"minus toggles mantissa sign", "15", 2, -1, "-", "-15", 3, false},
        {"minus twice restores", "15", 2, -1, "--", "15", 2, false},
        {"minus after E toggles exponent", "1E5", 3, -1, "-", "1E-5", 4, false},
        {"e taken as E at end", "2", 1, -1, "e3", "2E3", 3, false},
        {"second E moves caret", "2E3", 0, -1, "E", "2E3", 2, false},
        {"exponent beyond 4932 beeps", "1E493", 5, -1, "3", "1E493", 5, true},
        {"exponent 4932 allowed", "1E493", 5, -1, "2", "1E4932", 6, false},
        {"negative exponent limit", "1E-493", 6, -1, "9", "1E-493", 6, true},
        {"fixed decimals overwrite", "1.00", 2, 2, "57", "1.57", 4, false},
        {"fixed decimals full beeps", "1.57", 4, 2, "3", "1.57", 4, true},
        {"digit before minus goes after it", "-5", 0, -1, "3", "-35", 2, false},
        {"backspace removes digit", "123", 3, -1, "\b", "12", 2, false},
        {"backspace to empty gives 0", "5", 1, -1, "\b", "0", 1, false},
        {"backspace keeps fixed separator", "1.00", 2, 2, "\b", "1.00", 1, false},
        {"backspace on E drops exponent", "2E15", 2, -1, "\b", "2", 1, false},
        {"delete removes digit at caret", "123", 0, -1, "\x7f", "23", 0, false},
        {"delete at end does nothing", "123", 3, -1, "\x7f", "123", 3, false},
        {"backspace at start does nothing", "123", 0, -1, "\b", "123", 0, false},
        {"backspace lone minus digit", "-5", 2, -1, "\b", "0", 1, false},
    };
    for (const auto& c : cases) {
        const NumEditRules rules({c.decimals, {'.', ','}});
        EditState state{c.text, c.caret, 0};
        const bool beeped = feed(rules, state, c.keys);
        EXPECT_EQ(state.text, c.expected) << c.name;
        EXPECT_EQ(state.caret(), c.expectedCaret) << c.name;
        EXPECT_EQ(beeped, c.beeped) << c.name;
    }
}

TEST(NumEditRules, CommaIsRefusedWhereItIsNotTheSeparatorButThePointIs) {
    const NumEditRules commaRules({-1, {',', '.'}});
    EditState state{"12", 2, 0};
    EXPECT_EQ(commaRules.typeChar(state, ','), KeyOutcome::Accepted);
    EXPECT_EQ(state.text, "12,");
    EditState other{"12", 2, 0};
    EXPECT_EQ(commaRules.typeChar(other, '.'), KeyOutcome::Refused);
    EXPECT_EQ(other.text, "12");
}

TEST(NumEditRules, SelectionDeletion) {
    const NumEditRules rules({2, {'.', ','}});
    EditState whole{"12.50", 0, 5};
    rules.deleteSelection(whole);
    EXPECT_EQ(whole.text, "0.00"); // the whole text selected: the value becomes 0

    const NumEditRules free({-1, {'.', ','}});
    EditState part{"12345", 1, 2};
    free.backspace(part);
    EXPECT_EQ(part.text, "145");
    EXPECT_EQ(part.caret(), 1);

    EditState typed{"12345", 1, 3};
    free.typeChar(typed, '9');
    EXPECT_EQ(typed.text, "195");
}

TEST(NumEditRules, PasteFeedsThroughTheTypingRules) {
    const NumEditRules rules({-1, {'.', ','}});
    EditState state{"0", 0, 1};
    EXPECT_FALSE(rules.paste(state, "1a2"));
    EXPECT_EQ(state.text, "12");

    EditState withSeparators{"0", 0, 1};
    rules.paste(withSeparators, "3,5");
    EXPECT_EQ(withSeparators.text, "3.5");

    const NumEditRules fixed({2, {'.', ','}});
    EditState tooMany{"0.00", 0, 4};
    EXPECT_TRUE(fixed.paste(tooMany, "1.234"));
    EXPECT_EQ(tooMany.text, "1.23");
}

TEST(NumEditRules, CopyDropsThousandsSeparators) {
    const NumEditRules rules({-1, {'.', ','}});
    EXPECT_EQ(rules.copyText({"1,234.5", 0, 7}), "1234.5");
    EXPECT_EQ(rules.copyText({"1,234.5", 2, 3}), "234");
}

} // namespace
} // namespace lumetrix
