#pragma once

#include "core/numbertext.h"

#include <string>
#include <string_view>

namespace lumetrix {

// The text of a numeric edit with its caret and selection, in character positions.
struct EditState {
    std::string text;
    int selStart = 0; // the caret when selLength is 0
    int selLength = 0;

    int caret() const { return selStart + selLength; }
    bool operator==(const EditState&) const = default;
};

struct NumEditConfig {
    int decimals = -1;
    Separators separators;
};

// The outcome of one keystroke.
enum class KeyOutcome { Accepted, Refused, RefusedWithBeep };

// The typing rules of the numeric edit: one character at a time, keeping the text a number.
class NumEditRules {
public:
    explicit NumEditRules(NumEditConfig config) : m_config(config) {}

    KeyOutcome typeChar(EditState& state, char ch) const;
    void backspace(EditState& state) const;
    void deleteForward(EditState& state) const;
    // Deletes the selection: a selection of the whole text makes the value 0.
    void deleteSelection(EditState& state) const;
    // Deletes the selection, then feeds the text through the typing rules; true when some
    // character asked for a beep.
    bool paste(EditState& state, std::string_view clipboard) const;
    // What Copy puts on the clipboard: the selection without thousands separators.
    std::string copyText(const EditState& state) const;

private:
    KeyOutcome typeDigit(EditState& state, char digit) const;
    KeyOutcome typeSeparator(EditState& state) const;
    void toggleSign(EditState& state) const;
    void removeAt(EditState& state, int pos) const;

    NumEditConfig m_config;
};

} // namespace lumetrix
