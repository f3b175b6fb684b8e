#include "core/spectrum_file.h"

#include "core/listing.h"
#include "core/text_codec.h"
#include "core/textfile.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace lumetrix {
namespace {

// Spectrum files hold a few thousand lines; anything far larger is not one.
constexpr std::size_t kMaxSpectrumFileBytes = 16 * 1024 * 1024;

bool isBlank(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::optional<double> number(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string numberText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

} // namespace

Result<SpectrumFile> readSpectrumFile(const std::string& path) {
    const auto bytes = readSmallFile(path, kMaxSpectrumFileBytes, "spectrum file");
    if (!bytes)
        return bytes.error();

    SpectrumFile spectrum;
    const std::vector<std::string> lines = splitLines(bytes.value());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const int n = static_cast<int>(i + 1);
        if (line.find('\0') != std::string::npos)
            return ReadError{path, n, "not a text file (NUL byte)"};
        if (isBlank(line))
            continue;
        if (line.front() == '#') {
            if (!spectrum.points.empty())
                return ReadError{path, n, "a comment line among the data lines"};
            spectrum.comments.push_back(line);
            continue;
        }
        std::istringstream fields(line);
        std::string first, second, extra;
        fields >> first >> second >> extra;
        const auto wavelength = number(first);
        const auto irradiance = number(second);
        if (!wavelength || !irradiance || !extra.empty())
            return ReadError{path, n, "expected a wavelength and an irradiance"};
        if (*wavelength <= 0)
            return ReadError{path, n, "the wavelength must be above 0 nm"};
        if (*irradiance < 0)
            return ReadError{path, n, "the irradiance must not be negative"};
        if (!spectrum.points.empty() && *wavelength <= spectrum.points.back().wavelength)
            return ReadError{path, n, "the wavelengths must rise from line to line"};
        spectrum.points.push_back({*wavelength, *irradiance, line});
    }
    if (spectrum.points.empty())
        return ReadError{path, 0, "the file holds no data line"};
    return spectrum;
}

std::optional<std::string> writeSpectrumRange(const std::string& source, const std::string& target,
                                              double from, double to) {
    if (!(from <= to))
        return "the range from " + numberText(from) + " to " + numberText(to) + " nm is empty";
    const auto spectrum = readSpectrumFile(source);
    if (!spectrum)
        return spectrum.error().describe();
    std::vector<std::string> lines = spectrum.value().comments;
    lines.push_back("# Range set manually: " + numberText(from) + " to " + numberText(to) + " nm");
    std::size_t kept = 0;
    for (const auto& point : spectrum.value().points) {
        if (point.wavelength >= from && point.wavelength <= to) {
            lines.push_back(point.text);
            ++kept;
        }
    }
    if (kept == 0)
        return source + ": no data point between " + numberText(from) + " and " + numberText(to) +
               " nm";
    // The lines came from a Windows-1252 file; they go back as they were.
    std::vector<std::string> utf8;
    for (const std::string& line : lines)
        utf8.push_back(cp1252ToUtf8(line));
    if (const auto failure = writeTextFile(target, utf8))
        return cannotCreateFileMessage(target, *failure);
    return std::nullopt;
}

} // namespace lumetrix
