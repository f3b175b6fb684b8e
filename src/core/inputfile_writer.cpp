#include "inputfile_writer.h"

#include "numbertext.h"
#include "text_codec.h"

#include <algorithm>

namespace lumetrix {
namespace {

std::string padded(std::string_view text, std::size_t width) {
    std::string out(text);
    const std::size_t length = textLength(text);
    if (length < width)
        out.append(width - length, ' ');
    return out;
}

std::string majorRule(int w) { return std::string(static_cast<std::size_t>(w + 68), '='); }
std::string minorRule(int w) { return std::string(static_cast<std::size_t>(w + 68), '-'); }

void sectionOpening(std::string_view heading, int w, std::vector<std::string>& lines) {
    lines.push_back(majorRule(w));
    lines.emplace_back(heading);
    lines.emplace_back();
}

// A numeric row field: the text shortened to leave the blank the reader cuts before the
// next column; "x" for a disabled edit.
std::string numericField(const std::string& text, bool enabled, int width, char separator) {
    if (!enabled)
        return padded("x", static_cast<std::size_t>(width));
    const std::size_t room = static_cast<std::size_t>(width - 1);
    return padded(fitFieldText(text, room, separator).value_or(text),
                  static_cast<std::size_t>(width));
}

bool isVoidName(const std::string& name) { return name.empty() || name == " "; }

} // namespace

std::size_t textLength(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::optional<std::string> fitFieldText(std::string_view text, std::size_t maxLength,
                                        char decimalSeparator) {
    if (textLength(text) <= maxLength)
        return std::string(text);
    const auto value = parseNumber(text, {decimalSeparator, '\0'});
    if (!value)
        return std::nullopt;
    for (int decimals = 14; decimals >= 0; --decimals) {
        std::string candidate = formatFixed(*value, decimals, decimalSeparator);
        if (candidate.find(decimalSeparator) != std::string::npos) {
            candidate.erase(candidate.find_last_not_of('0') + 1);
            if (candidate.back() == decimalSeparator)
                candidate.pop_back();
        }
        if (candidate.size() <= maxLength)
            return candidate;
    }
    return std::nullopt;
}

namespace writer {

int nameColumnWidth(const StructureSettings& structure) {
    std::size_t w = 32;
    for (const LayerRow& row : structure.rows)
        w = std::max(w, textLength(row.layerFile));
    return static_cast<int>(w);
}

void header(std::vector<std::string>& lines) {
    lines.emplace_back("~~~~~~~~>");
    lines.emplace_back("~Lumetrix~>");
    lines.emplace_back("~~~~~~~~~~~>");
    lines.push_back("ver " + std::string(kFormatVersion));
}

void structureSection(const StructureSettings& structure, int w, char decimalSeparator,
                      std::vector<std::string>& lines) {
    sectionOpening("STRUCTURE", w, lines);
    lines.push_back("No. of layers: " + std::to_string(structure.rows.size()));
    lines.emplace_back();
    lines.push_back("Layer" + std::string(static_cast<std::size_t>(w - 3), ' ') +
                    "Thickness (nm)   No of segm.   rms roughness(nm)   PV active (0/1)");
    lines.push_back(minorRule(w));
    for (std::size_t i = 0; i < structure.rows.size(); ++i) {
        const LayerRow& row = structure.rows[i];
        std::string line = padded(isVoidName(row.layerFile) ? "void" : row.layerFile,
                                  static_cast<std::size_t>(w + 2));
        line += numericField(row.thickness, row.thicknessEnabled, kThicknessFieldWidth,
                             decimalSeparator);
        line += numericField(row.segments, row.segmentsEnabled, kSegmentsFieldWidth,
                             decimalSeparator);
        line += i == 0 ? padded("x", kRoughnessFieldWidth)
                       : numericField(row.roughness, true, kRoughnessFieldWidth,
                                      decimalSeparator);
        line += row.pvActive ? "1" : "0";
        lines.push_back(line);
    }
    lines.emplace_back();
}

void incoherencySection(const StructureSettings& structure, int w,
                        std::vector<std::string>& lines) {
    sectionOpening("LAYER INCOHERENCY CONDITIONS", w, lines);
    lines.push_back("Incoherent thickness factor (multiplication of the initial d_incoh): " +
                    structure.pbIfactor);
    lines.push_back("Coherent thickness factor (division of the multiplied d_incoh): " +
                    structure.pbCfactor);
    lines.emplace_back();
}

} // namespace writer

void BuildInputFile(const Project& project, const WriterContext& context,
                    std::vector<std::string>& lines) {
    const int w = writer::nameColumnWidth(project.structure);
    writer::header(lines);
    writer::structureSection(project.structure, w, context.decimalSeparator, lines);
    writer::incoherencySection(project.structure, w, lines);
}

std::optional<std::string> checkProjectForFile(const Project& project, char decimalSeparator) {
    const auto& rows = project.structure.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const LayerRow& row = rows[i];
        const std::string where = " of row " + std::to_string(i + 1);
        if (!utf8ToCp1252(row.layerFile))
            return "The layer file name" + where + " (\"" + row.layerFile +
                   "\") holds a character that the input file cannot store.";
        const struct {
            const char* name;
            const std::string& text;
            bool used;
            int width;
        } fields[] = {
            {"thickness", row.thickness, row.thicknessEnabled, kThicknessFieldWidth},
            {"number of segments", row.segments, row.segmentsEnabled, kSegmentsFieldWidth},
            {"roughness", row.roughness, i > 0, kRoughnessFieldWidth},
        };
        for (const auto& f : fields) {
            if (f.used && !fitFieldText(f.text, static_cast<std::size_t>(f.width - 1),
                                        decimalSeparator))
                return std::string("The ") + f.name + where + " (\"" + f.text +
                       "\") is too long for its column of the input file.";
        }
    }
    return std::nullopt;
}

} // namespace lumetrix
