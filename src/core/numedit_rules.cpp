#include "core/numedit_rules.h"

#include <cstdlib>

namespace lumetrix {
namespace {

int exponentPos(const std::string& text) {
    const auto e = text.find('E');
    return e == std::string::npos ? -1 : static_cast<int>(e);
}

int mantissaEnd(const std::string& text) {
    const int e = exponentPos(text);
    return e < 0 ? static_cast<int>(text.size()) : e;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void collapse(EditState& state, int caret) {
    state.selStart = caret;
    state.selLength = 0;
}

} // namespace

KeyOutcome NumEditRules::typeChar(EditState& state, char ch) const {
    const char dec = m_config.separators.decimal;
    if (dec == '.' && ch == ',')
        ch = '.';
    if (ch == 'e')
        ch = 'E';

    if (ch == '-') {
        toggleSign(state);
        return KeyOutcome::Accepted;
    }
    const bool separator = ch == dec && m_config.decimals != 0;
    if (!isDigit(ch) && ch != 'E' && !separator)
        return KeyOutcome::Refused;

    if (state.selLength > 0)
        deleteSelection(state);
    if (separator)
        return typeSeparator(state);
    if (ch == 'E') {
        const int e = exponentPos(state.text);
        if (e >= 0) {
            collapse(state, e + 1);
        } else {
            state.text += 'E';
            collapse(state, static_cast<int>(state.text.size()));
        }
        return KeyOutcome::Accepted;
    }
    return typeDigit(state, ch);
}

void NumEditRules::toggleSign(EditState& state) const {
    std::string& t = state.text;
    const int e = exponentPos(t);
    const int caret = state.caret();
    const int signPos = (e >= 0 && caret > e) ? e + 1 : 0;
    const bool remove = signPos < static_cast<int>(t.size()) && t[signPos] == '-';
    if (remove)
        t.erase(signPos, 1);
    else
        t.insert(signPos, 1, '-');
    const int delta = remove ? -1 : 1;
    int newCaret = caret >= signPos ? caret + delta : caret;
    if (newCaret < signPos + (remove ? 0 : 1))
        newCaret = signPos + (remove ? 0 : 1);
    collapse(state, newCaret);
}

KeyOutcome NumEditRules::typeSeparator(EditState& state) const {
    std::string& t = state.text;
    const char dec = m_config.separators.decimal;
    const auto existing = t.find(dec);
    if (existing != std::string::npos) {
        collapse(state, static_cast<int>(existing) + 1);
        return KeyOutcome::Accepted;
    }
    const int end = mantissaEnd(t);
    int pos = state.caret();
    if (m_config.decimals < 0 || pos > end)
        pos = end;
    if (pos == 0 && !t.empty() && t[0] == '-')
        pos = 1;
    if (m_config.decimals > 0 && end - pos > m_config.decimals)
        return KeyOutcome::RefusedWithBeep;
    t.insert(pos, 1, dec);
    collapse(state, pos + 1);
    return KeyOutcome::Accepted;
}

KeyOutcome NumEditRules::typeDigit(EditState& state, char digit) const {
    std::string& t = state.text;
    const char dec = m_config.separators.decimal;
    const int e = exponentPos(t);
    int caret = state.caret();

    if (e >= 0 && caret > e) { // exponent digit
        std::string candidate = t;
        candidate.insert(caret, 1, digit);
        const std::string exponent = candidate.substr(e + 1);
        if (std::abs(std::atoi(exponent.c_str())) > kMaxExponent)
            return KeyOutcome::RefusedWithBeep;
        t = candidate;
        collapse(state, caret + 1);
        return KeyOutcome::Accepted;
    }

    const int signLength = (!t.empty() && t[0] == '-') ? 1 : 0;
    if (caret < signLength)
        caret = signLength;
    const int end = mantissaEnd(t);
    const auto sepPos = t.find(dec);
    const int integerEnd = sepPos == std::string::npos ? end : static_cast<int>(sepPos);

    // A lone leading zero gives way to the digit typed next to it.
    if (integerEnd - signLength == 1 && t[signLength] == '0' && caret <= signLength + 1) {
        t[signLength] = digit;
        collapse(state, signLength + 1);
        return KeyOutcome::Accepted;
    }

    if (m_config.decimals > 0 && sepPos != std::string::npos && caret > integerEnd) {
        const int decimalsNow = end - integerEnd - 1;
        if (caret < end) { // overwrite inside a fixed-width fraction
            t[caret] = digit;
            collapse(state, caret + 1);
            return KeyOutcome::Accepted;
        }
        if (decimalsNow >= m_config.decimals)
            return KeyOutcome::RefusedWithBeep;
    }
    t.insert(caret, 1, digit);
    collapse(state, caret + 1);
    return KeyOutcome::Accepted;
}

void NumEditRules::removeAt(EditState& state, int pos) const {
    std::string& t = state.text;
    const char c = t[pos];
    if (c == m_config.separators.decimal && m_config.decimals > 0) {
        collapse(state, pos); // the fixed fraction keeps its separator
        return;
    }
    if (c == 'E')
        t.erase(pos); // the exponent goes with its mark
    else
        t.erase(pos, 1);
    if (t.empty() || t == "-") {
        t.assign(1, '0'); // not = "0": g++ 12 warns falsely (-Wrestrict) on that
        pos = 1;
    }
    collapse(state, pos);
}

void NumEditRules::backspace(EditState& state) const {
    if (state.selLength > 0) {
        deleteSelection(state);
        return;
    }
    if (state.selStart <= 0)
        return;
    removeAt(state, state.selStart - 1);
}

void NumEditRules::deleteForward(EditState& state) const {
    if (state.selLength > 0) {
        deleteSelection(state);
        return;
    }
    if (state.selStart >= static_cast<int>(state.text.size()))
        return;
    removeAt(state, state.selStart);
}

void NumEditRules::deleteSelection(EditState& state) const {
    if (state.selLength <= 0)
        return;
    if (state.selStart == 0 && state.selLength >= static_cast<int>(state.text.size())) {
        state.text = formatFixed(0, m_config.decimals, m_config.separators.decimal);
        // The caret stands behind the zero, so that a digit typed next replaces it.
        collapse(state, 1);
        return;
    }
    const int count = state.selLength;
    collapse(state, state.selStart + count);
    for (int i = 0; i < count && state.selStart > 0; ++i)
        removeAt(state, state.selStart - 1);
}

bool NumEditRules::paste(EditState& state, std::string_view clipboard) const {
    deleteSelection(state);
    bool beeped = false;
    for (const char ch : clipboard)
        if (typeChar(state, ch) == KeyOutcome::RefusedWithBeep)
            beeped = true;
    return beeped;
}

std::string NumEditRules::copyText(const EditState& state) const {
    std::string out;
    for (const char c : state.text.substr(state.selStart, state.selLength))
        if (c != m_config.separators.thousands)
            out += c;
    return out;
}

} // namespace lumetrix
