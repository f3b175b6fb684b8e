#pragma once

#include <string>
#include <string_view>

namespace lumetrix {

// The path separator of this platform; stored paths may use either "\" or "/".
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kWorkDirMarker = "<WORKDIR>";

// Where the project's files are. WorkDir is the program's folder without a trailing separator.
struct FolderSettings {
    std::string WorkDir;
    std::string LayerFileDir;
    std::string CalibrationDir;
    std::string HazeFileDir;
    std::string ExternalAdfDir;
    std::string SpectrumDir;
    std::string OutFileName;
    std::string OutFileDir;
    std::string ListDir;
    std::string InputFileDir;

    // The defaults under a working folder: nk, cT_cR, HT_HR, ADF_external, Spectrum, LXOut,
    // Out, List, in.
    static FolderSettings defaults(const std::string& workDir);
};

// The folder names under the working folder, as the defaults use them.
namespace subdir {
inline constexpr std::string_view nk = "nk";
inline constexpr std::string_view calibration = "cT_cR";
inline constexpr std::string_view haze = "HT_HR";
inline constexpr std::string_view externalAdf = "ADF_external";
inline constexpr std::string_view spectrum = "Spectrum";
inline constexpr std::string_view out = "Out";
inline constexpr std::string_view list = "List";
inline constexpr std::string_view in = "in";
} // namespace subdir

inline constexpr std::string_view kDefaultOutFileName = "LXOut";

std::string joinPath(std::string_view folder, std::string_view name);

// A path shown with the marker: "<WORKDIR>" + rest when the path begins with workDir
// (compared as written, letter case included); otherwise the path itself.
std::string toWorkDirDisplay(std::string_view path, std::string_view workDir);

// The marker replaced by workDir when the text begins with it; other texts unchanged.
std::string expandWorkDir(std::string_view text, std::string_view workDir);

// The folder a browse dialog starts in for a shown text: for a text holding the marker,
// workDir followed by what comes after the marker and a separator; otherwise the text.
std::string browseStartFolder(std::string_view shown, std::string_view workDir);

bool isPathSeparator(char c);

// The text without one trailing separator.
std::string withoutTrailingSeparator(std::string_view path);

// What follows the last separator; the whole text when it has none.
std::string lastPathComponent(std::string_view path);
// The folder part of a path: everything before its last separator ("" when there is none).
std::string folderPart(std::string_view path);

} // namespace lumetrix
