#include "core/spectrum_file.h"

#include "core/data_file.h"
#include "core/numbertext.h"
#include "core/text_codec.h"
#include "core/textfile.h"

#include <cstdio>

namespace lumetrix {
namespace {

std::string numberText(double value) {
    std::string text;
    appendGeneral(text, value, 6); // as "%g" writes it
    return text;
}

} // namespace

Result<SpectrumFile> readSpectrumFile(const std::string& path) {
    std::vector<std::string> lines;
    const auto table = readDataFile(path, DataKind::Spectrum, lines);
    if (!table)
        return table.error();
    SpectrumFile spectrum;
    spectrum.comments = table.value().comments;
    const auto& columns = table.value().columns;
    for (std::size_t i = 0; i < lines.size(); ++i)
        spectrum.points.push_back({columns[0][i], columns[1][i], lines[i]});
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
            lines.push_back(cp1252ToUtf8(point.text)); // the file's bytes, as they were
            ++kept;
        }
    }
    if (kept == 0)
        return source + ": no data point between " + numberText(from) + " and " + numberText(to) +
               " nm";
    if (const auto failure = writeTextFile(target, lines))
        return cannotCreateFileMessage(target, *failure);
    return std::nullopt;
}

} // namespace lumetrix
