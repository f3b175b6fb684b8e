#pragma once

#include "core/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lumetrix {

// The bytes of the lines as a file holds them: Windows-1252, each line ending in CR LF.
// Nothing when a line holds a character the file cannot store; `badLine` then names it.
std::optional<std::string> encodeFileText(const std::vector<std::string>& lines,
                                          std::size_t* badLine = nullptr);

// Writes the lines, each ending in CR LF, as Windows-1252 bytes. The text goes to a new file
// beside the target that then replaces it, so a failed save leaves the old file whole. A
// symbolic link is written through to its target; the file keeps its permissions and owner;
// a file the user may not write is refused. Returns the reason when it cannot be written.
std::optional<std::string> writeTextFile(const std::string& path,
                                         const std::vector<std::string>& lines);

// A file written beside its target under a temporary name, not yet in place: a set of files
// is staged first and put in place only when every one of them could be written.
struct StagedFile {
    std::string temp;
    std::string target;
};
// Writes the lines as writeTextFile does, but leaves the new file beside its target.
std::optional<std::string> stageTextFile(const std::string& path,
                                         const std::vector<std::string>& lines, StagedFile& staged);
// Puts a staged file in place of its target; the reason when it cannot.
std::optional<std::string> commitStagedFile(const StagedFile& staged);
void discardStagedFile(const StagedFile& staged);

// The bytes of a file of at most maxBytes; `kind` names what the file should be ("listing
// file") in the message for a larger one.
Result<std::string> readSmallFile(const std::string& path, std::size_t maxBytes, const char* kind);

// The message for a file that cannot be written.
std::string cannotCreateFileMessage(const std::string& path, const std::string& reason);

} // namespace lumetrix
