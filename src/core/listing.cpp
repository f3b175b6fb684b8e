#include "listing.h"

#include "text_codec.h"

#include <fstream>
#include <iterator>

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
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ReadError{path, 0, "the file cannot be opened"};
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size < 0)
        return ReadError{path, 0, "the file cannot be read"};
    if (static_cast<std::size_t>(size) > kMaxListingFileBytes)
        return ReadError{path, 0,
                         "the file is too large for a listing file (" + std::to_string(size) +
                             " bytes)"};
    in.seekg(0);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof())
        return ReadError{path, 0, "the file cannot be read"};

    std::vector<std::string> lines = splitLines(bytes);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find('\0') != std::string::npos)
            return ReadError{path, static_cast<int>(i + 1), "not a text file (NUL byte)"};
        lines[i] = cp1252ToUtf8(lines[i]);
    }
    return lines;
}

} // namespace lumetrix
