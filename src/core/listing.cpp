#include "core/listing.h"

#include "core/text_codec.h"
#include "core/textfile.h"

namespace lumetrix {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last)
            end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(start, stop - start));
        start = last ? text.size() : end + 1;
    }
    return lines;
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
