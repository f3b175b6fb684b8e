#pragma once

#include "core/project.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetrix {

// What the writer needs besides the project: where <WORKDIR> points, the regional decimal
// separator, the spectrum folder and the add-on's spectrum conversion.
struct WriterContext {
    std::string workDir;
    char decimalSeparator = '.';
    std::string spectrumDir;
    bool addOnPresent = false;
    // The add-on's MakeAM15File(source, target); nothing when it wrote the target, otherwise
    // why not. Empty when the add-on offers no conversion.
    std::function<std::optional<std::string>(const std::string& source, const std::string& target)>
        makeAm15File;
    // Told why, when the full spectrum is written instead of the range the user set.
    std::function<void(const std::string& message)> note;
};

inline constexpr std::string_view kFormatVersion = "1.2.8";

// What ends the name of a spectrum range set manually ("AM15_tmp").
inline constexpr const char* kSpectrumRangeSuffix = "_tmp";

// Widths of the STRUCTURE row fields after the name column.
inline constexpr int kThicknessFieldWidth = 17;
inline constexpr int kSegmentsFieldWidth = 14;
inline constexpr int kRoughnessFieldWidth = 20;

// Appends the input file, one string per line, to the list; the list is not cleared first.
void BuildInputFile(const Project& project, const WriterContext& context,
                    std::vector<std::string>& lines);

// A value the file cannot hold as it stands: why, and the text (or line of it) at fault as a
// detail (empty where the reason says all); nothing when the project can be saved.
struct FileProblem {
    std::string reason;
    std::string detail;
};
std::optional<FileProblem> checkProjectForFile(const Project& project, char decimalSeparator);

// The number of characters of a UTF-8 text (the file stores one byte per character).
std::size_t textLength(std::string_view utf8);

// A numeric field text that fits maxLength characters: the text itself when it fits,
// otherwise the number rounded to as many decimals as fit; nothing when even the whole
// number does not fit or the text is not a number.
std::optional<std::string> fitFieldText(std::string_view text, std::size_t maxLength,
                                        char decimalSeparator);

// The sections, each appending its lines.
namespace writer {
// The name column width w and the rule width W = w + 68.
int nameColumnWidth(const StructureSettings& structure);
void header(std::vector<std::string>& lines);
void structureSection(const StructureSettings& structure, int w, char decimalSeparator,
                      std::vector<std::string>& lines);
void incoherencySection(const StructureSettings& structure, int w, std::vector<std::string>& lines);
void hazeSection(const HazeSettings& haze, int w, std::vector<std::string>& lines);
void adfSection(const AdfSettings& adf, int w, char decimalSeparator,
                std::vector<std::string>& lines);
void refTransSection(const RefTransSettings& rt, int w, std::vector<std::string>& lines);
// outputDir: the folder of the run's output files, where a spectrum range is written.
void spectrumSection(const SpectrumSettings& spectrum, const std::string& outputDir, int w,
                     const WriterContext& context, std::vector<std::string>& lines);
void filesSection(const FilesSettings& files, int w, const std::string& workDir,
                  std::vector<std::string>& lines);
void calculationSection(bool normalPrecision, int w, std::vector<std::string>& lines);
void commentsSection(const std::string& comments, int w, std::vector<std::string>& lines);
// The spectrum line: with the add-on and "Set range manually", the add-on converts N.spk of the
// spectrum folder into N_tmp.spk beside the run's output (the shipped spectra stay untouched)
// and the line names N_tmp, which the kernel reads there; when it cannot, the line names N.
std::string spectrumLine(const SpectrumSettings& spectrum, const std::string& outputDir,
                         const WriterContext& context);
} // namespace writer

} // namespace lumetrix
