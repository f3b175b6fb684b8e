#include "core/text_codec.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace lumetrix {
namespace {

// Code points of the bytes 0x80..0x9F; 0 marks the five bytes that Windows-1252 leaves
// undefined, which are read as the C1 control of the same number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<char> cp1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        const char32_t mapped = kHighControls[i] ? kHighControls[i] : 0x80 + i;
        if (mapped == cp)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    // Plain ASCII, most of every file, is the same in both encodings.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b >= 0x80 && b < 0xA0)
            appendUtf8(out, kHighControls[b - 0x80] ? kHighControls[b - 0x80] : b);
        else
            appendUtf8(out, b);
    }
    return out;
}

namespace {

// The code point at text[i] and its length in bytes; nothing for a broken sequence.
std::optional<std::pair<char32_t, std::size_t>> decodeAt(std::string_view text, std::size_t i) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    std::size_t extra = 0; // continuation bytes after the first
    if (b >= 0x80)
        extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 4;
    if (extra == 4 || i + extra >= text.size())
        return std::nullopt;
    char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto cont = static_cast<std::uint8_t>(text[i + k]);
        if ((cont & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (cont & 0x3F);
    }
    return std::pair{cp, extra + 1};
}

} // namespace

std::optional<std::string> utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto decoded = decodeAt(text, i);
        const auto byte = decoded ? cp1252Byte(decoded->first) : std::nullopt;
        if (!byte)
            return std::nullopt;
        out += *byte;
        i += decoded->second;
    }
    return out;
}

std::optional<UnstorableCharacter> firstUnstorable(std::string_view text) {
    UnstorableCharacter at;
    for (std::size_t i = 0; i < text.size(); ++at.column) {
        const auto decoded = decodeAt(text, i);
        if (!decoded || !cp1252Byte(decoded->first)) {
            at.text = text.substr(i, decoded ? decoded->second : 1);
            at.codePoint = decoded ? decoded->first : 0;
            return at;
        }
        if (text[i] == '\n') {
            ++at.line;
            at.column = 0;
        }
        i += decoded->second;
    }
    return std::nullopt;
}

} // namespace lumetrix
