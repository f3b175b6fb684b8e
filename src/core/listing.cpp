#include "core/listing.h"

#include "core/text_codec.h"
#include "core/textfile.h"

#include <algorithm>

namespace lumetrix {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    LineCursor cursor(text);
    for (std::string_view line; cursor.next(line);)
        lines.emplace_back(line);
    return lines;
}

std::optional<std::string> addListingItem(const std::string& path, const std::string& item) {
    auto items = readListingFile(path);
    if (!items)
        return items.error().describe();
    std::vector<std::string> lines = std::move(items).value();
    if (std::find(lines.begin(), lines.end(), item) != lines.end())
        return std::nullopt;
    lines.push_back(item);
    if (const auto reason = writeTextFile(path, lines))
        return cannotCreateFileMessage(path, *reason);
    return std::nullopt;
}

Result<std::vector<std::string>> readListingFile(const std::string& path) {
    const auto bytes = readSmallFile(path, kMaxListingFileBytes, "listing file");
    if (!bytes)
        return bytes.error();
    std::vector<std::string> lines = splitLines(bytes.value());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find('\0') != std::string::npos)
            return ReadError{path, static_cast<int>(i + 1), "not a text file (NUL byte)"};
        lines[i] = cp1252ToUtf8(lines[i]);
    }
    return lines;
}

} // namespace lumetrix
