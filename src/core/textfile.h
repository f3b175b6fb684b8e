#pragma once

#include "core/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
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
// file") in the message for a larger one. Every file read so is text: a UTF-8 byte order mark
// at its start is left out.
Result<std::string> readSmallFile(const std::string& path, std::size_t maxBytes, const char* kind);

// The lines of a text one after the other, without their line ends, read in place: LF, CR LF
// and a lone CR each end a line (files from every system); a last line without an end counts,
// an empty last line does not. Linear in the text however its lines end.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}
    // The next line; false after the last.
    bool next(std::string_view& line);

private:
    std::string_view m_text;
    std::size_t m_at = 0;
    std::size_t m_lf = 0; // the next LF (or the end) at or after m_at, once searched
    std::size_t m_cr = 0; // the next CR (or the end) at or after m_at, once searched
    bool m_searched = false;
};

// The message for a file that cannot be written.
std::string cannotCreateFileMessage(const std::string& path, const std::string& reason);

} // namespace lumetrix
