#pragma once

#include "core/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lumetrix {

// Listing files are small; anything larger is not one.
inline constexpr std::size_t kMaxListingFileBytes = 4 * 1024 * 1024;

// Reads a listing file: one item per line, LF, CR LF or CR line ends, Windows-1252 text
// (returned as UTF-8). A last line without a line end counts; an empty last line does not.
Result<std::vector<std::string>> readListingFile(const std::string& path);

// Adds the item (UTF-8) as the last line of the listing file unless the file lists it already;
// the reason when the file cannot be read or written (it is then left as it was).
std::optional<std::string> addListingItem(const std::string& path, const std::string& item);

// Splits file text into lines the way the readers see them (LineCursor: LF, CR LF or CR).
std::vector<std::string> splitLines(const std::string& text);

} // namespace lumetrix
