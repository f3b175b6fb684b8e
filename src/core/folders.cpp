#include "core/folders.h"

namespace lumetrix {

FolderSettings FolderSettings::defaults(const std::string& workDir) {
    FolderSettings f;
    f.WorkDir = workDir;
    f.LayerFileDir = joinPath(workDir, subdir::nk);
    f.CalibrationDir = joinPath(workDir, subdir::calibration);
    f.HazeFileDir = joinPath(workDir, subdir::haze);
    f.ExternalAdfDir = joinPath(workDir, subdir::externalAdf);
    f.SpectrumDir = joinPath(workDir, subdir::spectrum);
    f.OutFileName = std::string(kDefaultOutFileName);
    f.OutFileDir = joinPath(workDir, subdir::out);
    f.ListDir = joinPath(workDir, subdir::list);
    f.InputFileDir = joinPath(workDir, subdir::in);
    return f;
}

bool isPathSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || !isPathSeparator(out.back()))
        out += kPathSeparator;
    out += name;
    return out;
}

std::string toWorkDirDisplay(std::string_view path, std::string_view workDir) {
    if (!workDir.empty() && path.substr(0, workDir.size()) == workDir)
        return std::string(kWorkDirMarker) + std::string(path.substr(workDir.size()));
    return std::string(path);
}

std::string expandWorkDir(std::string_view text, std::string_view workDir) {
    if (text.substr(0, kWorkDirMarker.size()) == kWorkDirMarker)
        return std::string(workDir) + std::string(text.substr(kWorkDirMarker.size()));
    return std::string(text);
}

std::string browseStartFolder(std::string_view shown, std::string_view workDir) {
    const auto marker = shown.find(kWorkDirMarker);
    if (marker == std::string_view::npos)
        return std::string(shown);
    return std::string(workDir) + std::string(shown.substr(marker + kWorkDirMarker.size())) +
           kPathSeparator;
}

std::string withoutTrailingSeparator(std::string_view path) {
    if (!path.empty() && isPathSeparator(path.back()))
        path.remove_suffix(1);
    return std::string(path);
}

std::string lastPathComponent(std::string_view path) {
    const auto pos = path.find_last_of("/\\");
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string folderPart(std::string_view path) {
    const auto pos = path.find_last_of("/\\");
    return std::string(pos == std::string_view::npos ? std::string_view() : path.substr(0, pos));
}

} // namespace lumetrix
