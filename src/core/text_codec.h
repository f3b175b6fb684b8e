#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumetrix {

// Files of the program are Windows-1252 bytes; the program works in UTF-8 inside.
std::string cp1252ToUtf8(std::string_view bytes);

// Returns nothing when the text holds a character that Windows-1252 cannot store
// (or is not valid UTF-8).
std::optional<std::string> utf8ToCp1252(std::string_view text);

// The first character of a UTF-8 text that Windows-1252 cannot store: its bytes, its code
// point (0 for a broken sequence), and its line and column, both counted from 1 (lines end at
// '\n', columns count characters).
struct UnstorableCharacter {
    std::string text;
    char32_t codePoint = 0;
    int line = 1, column = 1;
};
std::optional<UnstorableCharacter> firstUnstorable(std::string_view text);

} // namespace lumetrix
