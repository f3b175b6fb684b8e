#include "core/inputfile_writer.h"

#include "core/folders.h"
#include "core/inputfile_reader.h"
#include "core/interface_list.h"
#include "core/numbertext.h"
#include "core/text_codec.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace lumetrix {
namespace {

// The label of every line that names interfaces.
const std::string kInterfaces = "Specified interfaces (0 = front surface): ";

std::string padded(std::string_view text, std::size_t width) {
    std::string out(text);
    const std::size_t length = textLength(text);
    if (length < width)
        out.append(width - length, ' ');
    return out;
}

std::string majorRule(int w) {
    return std::string(static_cast<std::size_t>(w + 68), '=');
}
std::string minorRule(int w) {
    return std::string(static_cast<std::size_t>(w + 68), '-');
}

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

bool isVoidName(const std::string& name) {
    return name.empty() || name == " ";
}

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
        line +=
            numericField(row.segments, row.segmentsEnabled, kSegmentsFieldWidth, decimalSeparator);
        line += i == 0 ? padded("x", kRoughnessFieldWidth)
                       : numericField(row.roughness, true, kRoughnessFieldWidth, decimalSeparator);
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

void hazeSection(const HazeSettings& haze, int w, std::vector<std::string>& lines) {
    static const std::string kMethod = "Select Haze functions (h) / Callibration functions (c): ";
    sectionOpening("HAZE PARAMETERS", w, lines);
    const std::string power = "Power factor for calculation of haze parameter for transmitted "
                              "light (HT): ";
    switch (haze.power) {
    case HazeSettings::Power::Two:
        lines.push_back(power + "2");
        break;
    case HazeSettings::Power::Three:
        lines.push_back(power + "3");
        break;
    case HazeSettings::Power::Custom:
        lines.push_back(power + haze.ePowerHT);
        break;
    }
    lines.push_back(minorRule(w));
    lines.push_back(kMethod + (haze.rbHazeC ? "c" : "h"));
    lines.push_back("T data: " + haze.cb_cT_HT);
    lines.push_back("R data: " + haze.cb_cR_HR);
    lines.emplace_back();
    lines.push_back(minorRule(w));
    if (haze.cbUseOtherHaze) {
        lines.emplace_back("Use other haze parameters for specified interfaces (y/n): y");
        lines.push_back(kInterfaces + haze.eHazeOtherSpecifyInt);
        lines.push_back(kMethod + (haze.rbHazeC_adv ? "c" : "h"));
        lines.push_back("T data: " + haze.cb_cT_HT_adv);
        lines.push_back("R data: " + haze.cb_cR_HR_adv);
    } else {
        lines.emplace_back("Use other haze parameters for specified interfaces (y/n): n");
        lines.push_back(kInterfaces + " ");
        lines.push_back(kMethod + "c");
        lines.emplace_back("T data:  ");
        lines.emplace_back("R data:  ");
    }
    lines.emplace_back();
    lines.push_back(minorRule(w));
    lines.push_back("At specified interfaces coherent specular light, coming from the front side "
                    "of the structure, is scattered only in transmission (y/n): " +
                    std::string(haze.cbSpecified ? "y" : "n"));
    lines.push_back(kInterfaces + (haze.cbSpecified ? haze.eHazeSpecSpecifyInt : " "));
    lines.emplace_back();
}

namespace {

const char* const kAdf1Heading =
    "Selection of ADF1 (for perpendicular incidence of coherent specular beam)";
const char* const kAdf2Heading = "Selection of ADF2 (for incidence of incoherent scattered beam)";

std::string sourceLine(int n, bool external) {
    return "Select Internal ADF" + std::to_string(n) +
           " (i) / Defined by external file (e): " + (external ? "e" : "i");
}

// The four parameter lines of ADF n; the ellipse range differs between ADF1 and ADF2.
void parameterLines(int n, const std::string& lambT, const std::string& lambR,
                    const std::string& ellT, const std::string& ellR,
                    std::vector<std::string>& lines) {
    const std::string range = n == 1 ? "ad [4-5]" : "ad [4-7]";
    lines.push_back("Additional settings for internal ADF" + std::to_string(n));
    lines.push_back("ad [2-3] Lambertian power n for T = " + lambT);
    lines.push_back("ad [2-3] Lambertian power n for R = " + lambR);
    lines.push_back(range + " Ellipsis radius ratio b:a for T = " + ellT);
    lines.push_back(range + " Ellipsis radius ratio b:a for R = " + ellR);
}

std::string mainChoice(const AdfFunction& f, const AdfChoice& c) {
    return f.external ? c.text : std::to_string(c.selected + 1);
}

void mainFunction(int n, const AdfFunction& f, std::vector<std::string>& lines) {
    lines.emplace_back(n == 1 ? kAdf1Heading : kAdf2Heading);
    lines.push_back(sourceLine(n, f.external));
    lines.emplace_back();
    lines.push_back("T data: " + mainChoice(f, f.t));
    lines.push_back("R data: " + mainChoice(f, f.r));
    lines.emplace_back();
    parameterLines(n, f.lambertianT, f.lambertianR, f.ellipseT, f.ellipseR, lines);
    lines.emplace_back();
}

// One ADF of a group block; with placeholders when the groups are not in use.
void groupFunction(int n, const AdfSet& set, bool used, char separator,
                   std::vector<std::string>& lines) {
    const auto number = [&](AdfSet::Parameter p) {
        return formatGeneral(set.parameters[p], separator);
    };
    lines.emplace_back(n == 1 ? kAdf1Heading : kAdf2Heading);
    lines.push_back(sourceLine(n, used && set.external));
    lines.emplace_back();
    if (used) {
        lines.push_back("T data: " + (set.external ? set.tFile : set.tChoice));
        lines.push_back("R data: " + (set.external ? set.rFile : set.rChoice));
    } else {
        lines.emplace_back("T data:  ");
        lines.emplace_back("R data:  ");
    }
    lines.emplace_back();
    parameterLines(n, number(AdfSet::LambertianT), number(AdfSet::LambertianR),
                   number(AdfSet::EllipseT), number(AdfSet::EllipseR), lines);
    lines.emplace_back();
}

void groupBlock(int g, const AdfGroup& group, bool used, int w, char separator,
                std::vector<std::string>& lines) {
    lines.emplace_back();
    lines.push_back("ADF interface group: " + std::to_string(g));
    lines.push_back(kInterfaces + (used ? group.interfaces : std::string(" ")));
    lines.emplace_back();
    groupFunction(1, group.adf1, used, separator, lines);
    groupFunction(2, group.adf2, used, separator, lines);
    lines.push_back(minorRule(w));
}

void internalList(int n, const std::vector<std::string>& items, std::vector<std::string>& lines) {
    lines.push_back("List of internal ADF" + std::to_string(n));
    for (std::size_t k = 0; k < items.size(); ++k) {
        std::string& line = lines.emplace_back();
        line.reserve(items[k].size() + 8);
        line += '[';
        line += std::to_string(k + 1);
        line += "] ";
        line += items[k];
    }
    lines.emplace_back();
}

} // namespace

void adfSection(const AdfSettings& adf, int w, char decimalSeparator,
                std::vector<std::string>& lines) {
    sectionOpening("ANGULAR DISTRIBUTION FUNCTIONS", w, lines);
    lines.push_back("No. of equivalent angles per 90 degrees: " + adf.pbNoAngles);
    lines.emplace_back();
    lines.push_back(minorRule(w));
    mainFunction(1, adf.adf1, lines);
    mainFunction(2, adf.adf2, lines);
    lines.push_back(minorRule(w));
    const bool used = adf.cbOtherADF;
    const int groups = used ? adf.groups.count() : 1;
    lines.push_back(std::string("Use other ADF for specified interfaces: ") + (used ? "y" : "n"));
    lines.push_back("No. of ADF interface groups: " + std::to_string(groups));
    for (int g = 1; g <= groups; ++g)
        groupBlock(g, adf.groups.group(g), used, w, decimalSeparator, lines);
    internalList(1, adf.adf1List, lines);
    internalList(2, adf.adf2List, lines);
}

namespace {

// The four lines of a column of calibration factors or functions; a column whose block is off
// writes its labels with the placeholder.
void calibrationColumn(bool used, const std::string& interfaces, const std::string& c12,
                       const std::string& c21, bool direct, const char* placeholder,
                       const std::array<const char*, 3>& labels, std::vector<std::string>& lines) {
    lines.push_back(kInterfaces + (used ? interfaces : std::string(placeholder)));
    lines.push_back(labels[0] + (used ? c12 : std::string(placeholder)));
    lines.push_back(labels[1] + (used ? c21 : std::string(placeholder)));
    lines.push_back(labels[2] + std::string(used && direct ? "y" : "n"));
}

} // namespace

void refTransSection(const RefTransSettings& rt, int w, std::vector<std::string>& lines) {
    sectionOpening("TOTAL REFLECTANCE AND TRANSMITTANCE", w, lines);
    const bool factors = rt.cbIncludeDecr;
    lines.push_back("Include following calibration factors to decrease total reflectance at "
                    "specified interfaces (y/n): " +
                    std::string(factors ? "y" : "n"));
    for (std::size_t j = 0; j < rt.factors.size(); ++j) {
        const auto& b = rt.factors[j];
        calibrationColumn(
            factors, b.interfaces, b.c12, b.c21, b.direct, " ",
            {"For light approaching the interface from front side of the structure, "
             "c12 [0..1] = ",
             "For light approaching the interface from back side of the structure, "
             "c21 [0..1] = ",
             "Use specified values c12 and c21 as total reflectance directly (y/n): "},
            lines);
        if (j + 1 < rt.factors.size())
            lines.push_back(minorRule(w));
    }
    lines.emplace_back();
    lines.push_back(minorRule(w));
    const bool functions = rt.cbIncludeFDecrTR;
    lines.push_back(functions ? "Include following calibration functions to decrease total "
                                "reflectance at specified interfaces (y/n): y"
                              : "Include following calibration functions to decrease total "
                                "reflectance at specified interfaces (y/n): n)");
    for (std::size_t j = 0; j < rt.functions.size(); ++j) {
        const auto& b = rt.functions[j];
        calibrationColumn(functions, b.interfaces, b.c12, b.c21, b.direct, "",
                          {"For light approaching the interface from the front side of the "
                           "structure, c12(wavelength): ",
                           "For light approaching the interface from the front side of the "
                           "structure, c21(wavelength): ",
                           "Use specified functions c12 and c21 as total reflectance directly "
                           "(y/n): "},
                          lines);
        if (j + 1 < rt.functions.size())
            lines.push_back(minorRule(w));
    }
    lines.emplace_back();
    lines.push_back(minorRule(w));
    lines.push_back("Include following calibration factor to decrease total reflectance of "
                    "entire structure (y/n): " +
                    std::string(rt.cbIncludeDecr_adv ? "y" : "n"));
    lines.push_back("c12entire [0..1] = " + (rt.cbIncludeDecr_adv ? rt.pbC12entire : " "));
    lines.emplace_back();
    lines.push_back(minorRule(w));
    lines.push_back("Include following calibration factor to increase total reflectance from "
                    "the back side for scattered light beams at specified interfaces (y/n): " +
                    std::string(rt.cbIncludeInc_adv ? "y" : "n"));
    lines.push_back(kInterfaces +
                    (rt.cbIncludeInc_adv ? rt.eRTSpecifInterface_adv : std::string(" ")));
    lines.push_back("c21scatt [>1]= " + rt.pbC21Scatt);
    lines.emplace_back();
}

std::string spectrumLine(const SpectrumSettings& spectrum, const std::string& outputDir,
                         const WriterContext& context) {
    const std::string& name = spectrum.cbSpekter;
    if (context.addOnPresent && spectrum.cbManually && context.makeAm15File) {
        const std::string source = joinPath(context.spectrumDir, name + ".spk");
        const std::string target = joinPath(outputDir, name + kSpectrumRangeSuffix + ".spk");
        std::optional<std::string> failure;
        try {
            failure = context.makeAm15File(source, target);
        } catch (...) {
            failure = "the add-on failed"; // a failing conversion is not the save's failure
        }
        if (!failure)
            return "Spectrum: " + name + kSpectrumRangeSuffix;
        if (context.note)
            context.note("The spectrum range could not be applied (" + *failure +
                         "); the full spectrum \"" + name + "\" was written.");
    }
    return "Spectrum: " + name;
}

void spectrumSection(const SpectrumSettings& spectrum, const std::string& outputDir, int w,
                     const WriterContext& context, std::vector<std::string>& lines) {
    sectionOpening("ILLUMINATION SPECTRUM", w, lines);
    lines.push_back(spectrumLine(spectrum, outputDir, context));
    const bool diffuse = !spectrum.rbCoherent;
    lines.push_back("Ratio diffused/(diffused+specular) = " +
                    (diffuse ? spectrum.pbRatio : std::string("0")));
    lines.emplace_back("For diffused part of the spectrum");
    lines.push_back("Select Internal ADF1 (i) / ADF1 defined by external file (e): " +
                    std::string(diffuse && !spectrum.rbSpecADFInternal ? "e" : "i"));
    lines.emplace_back();
    std::string adf = " ";
    if (diffuse)
        adf = spectrum.rbSpecADFInternal ? std::to_string(spectrum.cbADF1_Spekt.selected + 1)
                                         : spectrum.cbADF1_Spekt.text;
    lines.push_back("ADF spectrum data: " + adf);
    lines.emplace_back();
    lines.emplace_back("Additional settings for internal ADF1 for spectrum");
    lines.push_back("ad [2-3] Lambertian power n = " +
                    (diffuse ? spectrum.pbSpectrLamb : std::string("1.00")));
    lines.push_back("ad [4-5] Ellipsis radius ratio b:a = " +
                    (diffuse ? spectrum.pbSpectrEllipsis : std::string("1.00")));
    lines.emplace_back();
}

void filesSection(const FilesSettings& files, int w, const std::string& workDir,
                  std::vector<std::string>& lines) {
    const auto expanded = [&](const std::string& text) { return expandWorkDir(text, workDir); };
    sectionOpening("FILES", w, lines);
    lines.emplace_back("Name of the output files (with full path):");
    lines.push_back(expanded(files.eOutFileDir) + kPathSeparator + files.eOutFileName);
    lines.push_back(minorRule(w));
    lines.emplace_back("Full paths to the files");
    lines.emplace_back();
    const std::pair<const char*, const std::string*> folders[] = {
        {"Complex refractive indexes:", &files.eDir_nk},
        {"Haze functions:", &files.eDir_HRHT},
        {"Calibration functions:", &files.eDir_cRcT},
        {"External ADF:", &files.eDir_ars},
        {"Spectrum:", &files.eDir_spk},
        {"List:", &files.eDir_dat}};
    for (const auto& [label, text] : folders) {
        lines.emplace_back(label);
        lines.push_back(expanded(*text));
        lines.emplace_back();
    }
}

void calculationSection(bool normalPrecision, int w, std::vector<std::string>& lines) {
    sectionOpening("CALCULATION SETTINGS", w, lines);
    lines.push_back(std::string("Precision level (n-normal, h-high): ") +
                    (normalPrecision ? "n" : "h"));
    lines.emplace_back();
}

void commentsSection(const std::string& comments, int w, std::vector<std::string>& lines) {
    sectionOpening("ADDITIONAL COMMENTS / SETTINGS:", w, lines);
    std::size_t start = 0;
    while (true) {
        const auto end = comments.find('\n', start);
        std::string line = comments.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

} // namespace writer

void BuildInputFile(const Project& project, const WriterContext& context,
                    std::vector<std::string>& lines) {
    const int w = writer::nameColumnWidth(project.structure);
    // About 130 lines and the two lists of internal ADFs.
    lines.reserve(lines.size() + 160 + project.structure.rows.size() + project.adf.adf1List.size() +
                  project.adf.adf2List.size());
    writer::header(lines);
    writer::structureSection(project.structure, w, context.decimalSeparator, lines);
    writer::incoherencySection(project.structure, w, lines);
    writer::hazeSection(project.haze, w, lines);
    writer::adfSection(project.adf, w, context.decimalSeparator, lines);
    writer::refTransSection(project.refTrans, w, lines);
    writer::spectrumSection(project.spectrum,
                            expandWorkDir(project.files.eOutFileDir, context.workDir), w, context,
                            lines);
    writer::filesSection(project.files, w, context.workDir, lines);
    writer::calculationSection(project.rbNormalPrecision, w, lines);
    writer::commentsSection(project.comments, w, lines);
}

namespace {

// The text `name` as the file cannot store it: the first such character with its code point,
// line (for a text of several lines) and column; the line at fault is the detail.
std::optional<FileProblem> unstorable(const std::string& name, const std::string& text) {
    const auto at = firstUnstorable(text);
    if (!at)
        return std::nullopt;
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(at->codePoint));
    const bool lines = text.find('\n') != std::string::npos;
    std::string line = text;
    if (lines) {
        std::size_t start = 0;
        for (int l = 1; l < at->line; ++l)
            start = text.find('\n', start) + 1;
        line = text.substr(start, text.find('\n', start) - start);
        if (line.ends_with('\r'))
            line.pop_back();
    }
    std::string title = name;
    title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
    return FileProblem{
        "The " + name + " holds the character \"" + at->text + "\" (" + code + ") at " +
            (lines ? "line " + std::to_string(at->line) + ", " : "") + "column " +
            std::to_string(at->column) + ", which the input file (Windows-1252) cannot store.",
        lines ? title + " line " + std::to_string(at->line) + ":\n" + line : name + ": " + text};
}

} // namespace

namespace {

// A structure row whose name the file cannot store, or whose number is too long for its column.
std::optional<FileProblem> rowProblem(const Project& project, char decimalSeparator) {
    const auto& rows = project.structure.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const LayerRow& row = rows[i];
        // Named as the Structure page numbers them.
        const std::string where = i == 0                 ? " of the top medium"
                                  : i + 1 == rows.size() ? " of the bottom medium"
                                                         : " of layer " + std::to_string(i);
        if (auto problem = unstorable("layer file name" + where, row.layerFile))
            return problem;
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
            if (f.used &&
                !fitFieldText(f.text, static_cast<std::size_t>(f.width - 1), decimalSeparator))
                return FileProblem{std::string("The ") + f.name + where + " (\"" + f.text +
                                       "\") is too long for its column of the input file.",
                                   {}};
        }
    }
    return std::nullopt;
}

// A free text the file cannot store, each named by its setting.
std::optional<FileProblem> textProblem(const Project& project) {
    std::vector<std::pair<std::string, const std::string*>> texts = {
        {"cR/HR file", &project.haze.cb_cR_HR},
        {"cT/HT file", &project.haze.cb_cT_HT},
        {"interfaces of the other haze parameters", &project.haze.eHazeOtherSpecifyInt},
        {"cR/HR file of the other haze parameters", &project.haze.cb_cR_HR_adv},
        {"cT/HT file of the other haze parameters", &project.haze.cb_cT_HT_adv},
        {"interfaces of the transmission-only scattering", &project.haze.eHazeSpecSpecifyInt},
        {"ADF1T file", &project.adf.adf1.t.text},
        {"ADF1R file", &project.adf.adf1.r.text},
        {"ADF2T file", &project.adf.adf2.t.text},
        {"ADF2R file", &project.adf.adf2.r.text},
        {"interfaces of calibration factor column 1", &project.refTrans.factors[0].interfaces},
        {"interfaces of calibration factor column 2", &project.refTrans.factors[1].interfaces},
        {"interfaces of calibration factor column 3", &project.refTrans.factors[2].interfaces},
        {"interfaces of calibration function column 1", &project.refTrans.functions[0].interfaces},
        {"interfaces of calibration function column 2", &project.refTrans.functions[1].interfaces},
        {"c12 function of column 1", &project.refTrans.functions[0].c12},
        {"c21 function of column 1", &project.refTrans.functions[0].c21},
        {"c12 function of column 2", &project.refTrans.functions[1].c12},
        {"c21 function of column 2", &project.refTrans.functions[1].c21},
        {"interfaces of the back-side increase", &project.refTrans.eRTSpecifInterface_adv},
        {"illumination spectrum", &project.spectrum.cbSpekter},
        {"ADF of the diffused light", &project.spectrum.cbADF1_Spekt.text},
        {"name of the output files", &project.files.eOutFileName},
        {"folder of the output files", &project.files.eOutFileDir},
        {"folder with layer files", &project.files.eDir_nk},
        {"folder with haze files", &project.files.eDir_HRHT},
        {"folder with calibration files", &project.files.eDir_cRcT},
        {"folder with external ADF files", &project.files.eDir_ars},
        {"folder with spectrum files", &project.files.eDir_spk},
        {"folder of listing files", &project.files.eDir_dat},
        {"comment", &project.comments},
    };
    for (int g = 1; g <= project.adf.groups.count(); ++g) {
        const AdfGroup& group = project.adf.groups.group(g);
        const std::string name = "ADF interface group " + std::to_string(g);
        texts.push_back({"interfaces of " + name, &group.interfaces});
        for (const auto* file :
             {&group.adf1.rFile, &group.adf1.tFile, &group.adf2.rFile, &group.adf2.tFile})
            texts.push_back({"ADF file of " + name, file});
    }
    for (const auto* list : {&project.adf.adf1List, &project.adf.adf2List})
        for (const std::string& item : *list)
            texts.push_back({"ADF list item", &item});
    for (const auto& [name, text] : texts)
        if (auto problem = unstorable(name, *text))
            return problem;
    return std::nullopt;
}

// An interface list in use that the reader would refuse.
std::optional<FileProblem> interfaceProblem(const Project& project) {
    const HazeSettings& haze = project.haze;
    const RefTransSettings& rt = project.refTrans;
    std::vector<std::pair<std::string, const std::string*>> lists;
    if (haze.cbUseOtherHaze)
        lists.emplace_back("of the other haze parameters", &haze.eHazeOtherSpecifyInt);
    if (haze.cbSpecified)
        lists.emplace_back("scattered only in transmission", &haze.eHazeSpecSpecifyInt);
    if (project.adf.cbOtherADF)
        for (int g = 1; g <= project.adf.groups.count(); ++g)
            lists.emplace_back("of ADF interface group " + std::to_string(g),
                               &project.adf.groups.group(g).interfaces);
    for (std::size_t j = 0; rt.cbIncludeDecr && j < rt.factors.size(); ++j)
        lists.emplace_back("of calibration factor column " + std::to_string(j + 1),
                           &rt.factors[j].interfaces);
    for (std::size_t j = 0; rt.cbIncludeFDecrTR && j < rt.functions.size(); ++j)
        lists.emplace_back("of calibration function column " + std::to_string(j + 1),
                           &rt.functions[j].interfaces);
    if (rt.cbIncludeInc_adv)
        lists.emplace_back("of c21scatt", &rt.eRTSpecifInterface_adv);
    for (const auto& [what, text] : lists)
        if (const auto problem = interfaceListProblem(*text))
            return FileProblem{"The interfaces " + what + " \"" + *text + "\": " + *problem + ".",
                               {}};
    return std::nullopt;
}

} // namespace

std::optional<FileProblem> checkProjectForFile(const Project& project, char decimalSeparator) {
    if (auto problem = rowProblem(project, decimalSeparator))
        return problem;
    if (auto problem = textProblem(project))
        return problem;
    if (auto problem = interfaceProblem(project))
        return problem;
    if (const auto problem = commentProblem(project.comments))
        return FileProblem{
            "Comment line " + std::to_string(problem->first) + ": " + problem->second + ".", {}};
    return std::nullopt;
}

} // namespace lumetrix
