#pragma once

#include "core/numbertext.h"
#include "core/project.h"
#include "core/result.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lumetrix {

// A structure row as a file states it. A numeric field that is absent ("x" in the file) leaves
// the row's edit as it is; the roughness of row 1 is never read.
struct LoadedRow {
    std::string layerFile;
    std::optional<std::string> thickness;
    std::optional<std::string> segments;
    std::optional<std::string> roughness;
    bool pvActive = false;

    bool operator==(const LoadedRow&) const = default;
};

// The folders a file names (the front end takes them from old files only).
struct LegacyFolders {
    std::string outFileDir; // full path
    std::string layerFileDir;
    std::string hazeFileDir;
    std::string calibrationDir;
    std::string externalAdfDir;
    std::string spectrumDir;

    bool operator==(const LegacyFolders&) const = default;
};

// An input file read whole, before any page takes a value.
struct LoadedProject {
    enum class Layout { Current, Older, Version11, Unversioned };
    Layout layout = Layout::Current;
    // The last section found in place when the headings stand elsewhere; empty when in place.
    std::string corruptedAfter;
    int corruptedLine = 0;      // the line that should hold the first heading not in place
    std::string missingHeading; // and that heading

    std::vector<LoadedRow> rows;
    // Every other value, as the pages take it; what the file does not carry keeps the value
    // of a new project and is marked in the flags below.
    Project values;

    bool factorsCarried = true;       // pbIfactor, pbCfactor
    bool powerCarried = true;         // the power factor of the haze
    bool allFactorSetsCarried = true; // the factor columns 2 and 3 and the direct marks
    enum class Functions { None, FirstC12, All };
    Functions functionsCarried = Functions::All;
    bool precisionCarried = true;
    std::optional<LegacyFolders> folders;
    // The folders the FILES section states, in every layout (the kernel reads its data there).
    LegacyFolders statedFolders;
    int outputLine = 0; // the line of the output path, for the kernel's messages
    // The lines of the settings the kernel checks further, for its messages: kAnglesLine,
    // each internal ADF choice by the name its message gives it ("ADF1 for T", see
    // adfGroupChoiceName and kSpectrumAdfChoice).
    std::map<std::string, int> lines;
    int lineOf(const std::string& setting) const {
        const auto at = lines.find(setting);
        return at == lines.end() ? 0 : at->second;
    }

    // The advanced flags the reading sets (true) or clears (false), by page Tag 0..3 and 4.
    std::array<std::optional<bool>, 5> advanced;
};

inline const std::string kAnglesLine = "number of equivalent angles";
inline const std::string kSpectrumAdfChoice = "ADF of the diffused light";
// The name of an ADF choice of an interface group ("ADF2 of ADF interface group 3"), before
// " for T" or " for R".
inline std::string adfGroupChoiceName(int group, const char* adf) {
    return std::string(adf) + " of ADF interface group " + std::to_string(group);
}

struct ReaderContext {
    Separators separators;
    std::string workDir;
    bool addOnPresent = false;
};

// Reads an input file of any layout into a LoadedProject, or the first thing wrong with it
// (its line and what is wrong). Nothing outside is changed.
Result<LoadedProject> readInputFile(const std::string& path, const ReaderContext& context);
// The same from the file's lines (Windows-1252 bytes, line ends removed).
Result<LoadedProject> parseInputLines(const std::vector<std::string>& lines,
                                      const std::string& file, const ReaderContext& context);

// Input files can be large (50 rows, 15 groups, long lists) but not this large.
inline constexpr std::size_t kMaxInputFileBytes = 16 * 1024 * 1024;
// The comments are notes, and the Comments page lays out each line whole: longer lines or
// more text would keep it busy for minutes.
inline constexpr std::size_t kMaxCommentLineLength = 4096; // characters
inline constexpr std::size_t kMaxCommentBytes = 1024 * 1024;
// What is wrong with comments beyond those limits, with the 1-based comment line; nothing
// when they are within.
std::optional<std::pair<int, std::string>> commentProblem(const std::string& comments);

} // namespace lumetrix
