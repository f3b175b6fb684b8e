#pragma once

#include "core/result.h"

#include <optional>
#include <string>
#include <vector>

namespace lumetrix {

// A spectrum file (".spk"), read by the data-file reader (core/data_file.h) as
// DataKind::Spectrum: comment lines beginning with "#", then one data line per wavelength:
// the wavelength in nm and the spectral irradiance in W/(m^2 nm), separated by blanks or
// tabs, with "." as the decimal point. Wavelengths rise strictly; irradiances are not
// negative. Empty lines are allowed anywhere.
struct SpectrumFile {
    struct Point {
        double wavelength;
        double irradiance;
        std::string text; // the data line as written (the file's bytes)
    };
    std::vector<std::string> comments; // the comment lines before the data, as UTF-8
    std::vector<Point> points;
};

Result<SpectrumFile> readSpectrumFile(const std::string& path);

// Writes the part of the source spectrum from `from` to `to` nm (both included) to the
// target, with the source's comments and a line stating the range. Nothing is written when
// the source is malformed, the range is empty or holds no data point; the reason is returned.
std::optional<std::string> writeSpectrumRange(const std::string& source, const std::string& target,
                                              double from, double to);

} // namespace lumetrix
