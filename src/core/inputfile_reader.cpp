#include "core/inputfile_reader.h"

#include "core/folders.h"
#include "core/inputfile_writer.h"
#include "core/interface_list.h"
#include "core/listing.h"
#include "core/number_ranges.h"
#include "core/text_codec.h"
#include "core/textfile.h"

#include <algorithm>
#include <cmath>

namespace lumetrix {
namespace {

// Ends the reading with the line at fault.
struct ParseFailure {
    int line;
    std::string reason;
};

std::string trimRight(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : trimRight(text.substr(first));
}

// Takes values out of the lines by line number and column, both counted from 1.
class LineReader {
public:
    LineReader(const std::vector<std::string>& lines, Separators separators)
        : m_lines(lines), m_separators(separators) {}

    int count() const { return static_cast<int>(m_lines.size()); }
    bool has(int n) const { return n >= 1 && n <= count(); }

    const std::string& raw(int n) const {
        if (!has(n))
            throw ParseFailure{n, "the file ends before this line"};
        return m_lines[static_cast<std::size_t>(n - 1)];
    }
    bool contains(int n, std::string_view text) const {
        return has(n) && raw(n).find(text) != std::string::npos;
    }
    // The text from column `col` to the end of the line, as UTF-8.
    std::string from(int n, int col) const {
        const std::string& line = raw(n);
        const auto start = static_cast<std::size_t>(col - 1);
        return start < line.size() ? cp1252ToUtf8(std::string_view(line).substr(start))
                                   : std::string();
    }
    std::string columns(int n, int first, int last) const {
        const std::string& line = raw(n);
        const auto start = static_cast<std::size_t>(first - 1);
        if (start >= line.size())
            return {};
        return cp1252ToUtf8(
            std::string_view(line).substr(start, static_cast<std::size_t>(last - first + 1)));
    }
    char letter(int n, int col) const {
        const std::string& line = raw(n);
        const auto at = static_cast<std::size_t>(col - 1);
        return at < line.size() ? line[at] : '\0';
    }
    long double number(int n, const std::string& text) const {
        const std::string t = trim(text);
        const auto value = t.empty() ? std::nullopt : parseFileNumber(t, m_separators.decimal);
        if (!value)
            throw ParseFailure{n, "\"" + t + "\" is not a number"};
        return *value;
    }
    // An interface list: interface numbers between blanks, commas or semicolons.
    std::string interfaces(int n, int col, const std::string& what) const {
        std::string text = from(n, col);
        if (const auto problem = interfaceListProblem(text))
            throw ParseFailure{n,
                               "the interfaces " + what + " \"" + trim(text) + "\": " + *problem};
        return text;
    }
    // The text of a numeric setting, as the file holds it, once it is known to be a number
    // within the range of the edit that will show it.
    const std::string& checked(int n, const std::string& text, const std::string& setting,
                               NumberRange range) const {
        const std::string t = trim(text);
        const auto value = t.empty() ? std::nullopt : parseFileNumber(t, m_separators.decimal);
        if (!value)
            throw ParseFailure{n, "the " + setting + " \"" + t + "\" is not a number"};
        if (!range.holds(*value) || (range.whole && *value != std::floor(*value)))
            throw ParseFailure{n, "the " + setting + " " + t + " is not " +
                                      (range.whole ? "a whole number " : "") + "between " +
                                      formatGeneral(range.min, '.') + " and " +
                                      formatGeneral(range.max, '.')};
        return text;
    }
    // A count or a list position: a whole number within the range, which keeps it an int.
    int integer(int n, const std::string& text, const std::string& setting,
                NumberRange range) const {
        return static_cast<int>(number(n, checked(n, text, setting, range)));
    }
    // A number as a numeric edit with these decimals shows it.
    std::string shown(int n, const std::string& text, int decimals) const {
        std::string t = trim(text);
        return isFormattedFixed(t, decimals, m_separators.decimal)
                   ? t
                   : formatFixed(number(n, text), decimals, m_separators.decimal);
    }

private:
    const std::vector<std::string>& m_lines;
    Separators m_separators;
};

// A text for a numeric edit that reads "empty -> 1.0".
std::string orOne(const std::string& text, char separator) {
    return text.empty() ? formatFixed(1, -1, separator) : text;
}

class InputFileParser {
public:
    InputFileParser(const std::vector<std::string>& lines, const ReaderContext& context)
        : r(lines, context.separators), m_context(context) {}

    LoadedProject parse();
    // The layouts before "ver 1.2" (v: "ver 1.1"), and the "ver 1.2" ones.
    void parseBefore12(bool v);
    void parse12(const std::string& versionLine);
    void readIncoherencyFactors(int first);
    // The columns of calibration functions, below their switch.
    void readFunctionColumns(int switchLine);

private:
    void markCorrupted(const char* after, int line, const char* heading) {
        m_out.corruptedAfter = after;
        m_out.corruptedLine = line;
        m_out.missingHeading = heading;
    }
    void checkSections(const std::vector<std::pair<int, const char*>>& steps,
                       const std::vector<const char*>& places);
    int findBelow(int start, std::string_view text) const;
    void readRows();
    void readPower(int line);
    void readMethod(int line, bool& calibration);
    void readHazeBlock(int base);
    AdfChoice readChoice(int line, bool external, const std::string& name);
    void readMainFunction(AdfFunction& function, int source, const std::string& name);
    void readGroups(int c, int v);
    void readGroupParameters(AdfSet& set, int first);
    void readLegacyOtherAdf(int base);
    void readFactorSets(int t, bool allSets);
    void readEntireAndBackSide(int u);
    void readSpectrum(int line, bool stripTmp);
    void readComments(int first);
    std::string outputName(int line) const;
    // The folders of the FILES section whose output path stands on this line.
    LegacyFolders readFolders(int outputLine);

    LineReader r;
    const ReaderContext& m_context;
    LoadedProject m_out;
    int m_c = 0;
    int m_t = 0;
};

int InputFileParser::findBelow(int start, std::string_view text) const {
    for (int n = start; n <= r.count(); ++n)
        if (r.contains(n, text))
            return n;
    return 0;
}

void InputFileParser::readRows() {
    const int header = 10;
    const std::string& head = r.raw(header);
    const auto column = [&](std::string_view label) {
        const auto at = head.find(label);
        if (at == std::string::npos)
            throw ParseFailure{header, "the column header lacks \"" + std::string(label) + "\""};
        return static_cast<int>(at) + 1;
    };
    const int p1 = column("Thickness");
    const int p2 = column("No of");
    const int p3 = column("rms");
    const int p4 = column("PV");
    if (!(p1 < p2 && p2 < p3 && p3 < p4))
        throw ParseFailure{header, "the column header is out of order"};
    for (int i = 1; i <= m_c; ++i) {
        const int n = 11 + i;
        LoadedRow row;
        row.layerFile = trimRight(r.columns(n, 1, p1 - 1));
        const std::string where = i == 1     ? "the top medium"
                                  : i == m_c ? "the bottom medium"
                                             : "layer " + std::to_string(i - 1);
        // "x" stands where a medium has no value; the control is left as it is.
        const auto field = [&](int first, int last, int decimals, const char* name,
                               NumberRange range) -> std::optional<std::string> {
            const std::string text = r.columns(n, first, last);
            if (trim(text) == "x")
                return std::nullopt;
            return r.shown(n, r.checked(n, text, std::string(name) + " of " + where, range),
                           decimals);
        };
        row.thickness = field(p1, p2 - 2, -1, "thickness", ranges::kThickness);
        row.segments = field(p2, p3 - 2, 0, "number of segments", ranges::kSegments);
        if (i > 1)
            row.roughness = field(p3, p4 - 2, -1, "roughness", ranges::kRoughness);
        row.pvActive = r.letter(n, p4) == '1';
        m_out.rows.push_back(row);
    }
}

void InputFileParser::readPower(int line) {
    // The value is read to the end of the line: a custom factor may be longer than 5 characters.
    const std::string value = trim(r.from(line, 76));
    HazeSettings& h = m_out.values.haze;
    if (value == "2")
        h.power = HazeSettings::Power::Two;
    else if (value == "3")
        h.power = HazeSettings::Power::Three;
    else {
        h.power = HazeSettings::Power::Custom;
        h.ePowerHT = r.checked(line, value, "power factor", ranges::kPowerFactor);
    }
}

void InputFileParser::readMethod(int line, bool& calibration) {
    calibration = r.letter(line, 57) == 'c';
}

void InputFileParser::readHazeBlock(int base) {
    // base is the line of the method choice (C + 24 in the current layout).
    HazeSettings& h = m_out.values.haze;
    readMethod(base, h.rbHazeC);
    h.cb_cT_HT = r.from(base + 1, 9);
    h.cb_cR_HR = r.from(base + 2, 9);
    h.cbUseOtherHaze = r.letter(base + 5, 59) == 'y';
    if (h.cbUseOtherHaze) {
        m_out.advanced[1] = true;
        h.eHazeOtherSpecifyInt = r.interfaces(base + 6, 43, "of the other haze parameters");
        readMethod(base + 7, h.rbHazeC_adv);
        h.cb_cT_HT_adv = r.from(base + 8, 9);
        h.cb_cR_HR_adv = r.from(base + 9, 9);
    }
    h.cbSpecified = r.letter(base + 12, 136) == 'y';
    if (h.cbSpecified) {
        m_out.advanced[1] = true;
        h.eHazeSpecSpecifyInt = r.interfaces(base + 13, 43, "scattered only in transmission");
    }
}

AdfChoice InputFileParser::readChoice(int line, bool external, const std::string& name) {
    AdfChoice choice;
    if (external) {
        choice.text = r.from(line, 9);
    } else {
        choice.selected = r.integer(line, r.from(line, 9), name, ranges::kListPosition) - 1;
        m_out.lines[name] = line;
    }
    return choice;
}

void InputFileParser::readMainFunction(AdfFunction& f, int source, const std::string& name) {
    // In every layout the choices stand 2 and 3 lines below the source line, the parameters
    // 6 to 9 lines below it.
    f.external = r.letter(source, 58) != 'i';
    f.t = readChoice(source + 2, f.external, name + " for T");
    f.r = readChoice(source + 3, f.external, name + " for R");
    const auto parameter = [&](int line, int column, const char* name) {
        return r.checked(line, r.from(line, column), name, ranges::kAnyNumber);
    };
    f.lambertianT = parameter(source + 6, 37, "Lambertian power n for T");
    f.lambertianR = parameter(source + 7, 37, "Lambertian power n for R");
    f.ellipseT = parameter(source + 8, 44, "ellipsis radius ratio b:a for T");
    f.ellipseR = parameter(source + 9, 44, "ellipsis radius ratio b:a for R");
}

void InputFileParser::readGroupParameters(AdfSet& s, int first) {
    const int columns[] = {37, 37, 44, 44};
    const AdfSet::Parameter order[] = {AdfSet::LambertianT, AdfSet::LambertianR, AdfSet::EllipseT,
                                       AdfSet::EllipseR};
    for (int i = 0; i < 4; ++i)
        s.parameters[order[i]] =
            static_cast<double>(r.number(first + i, r.from(first + i, columns[i])));
}

void InputFileParser::readGroups(int c, int v) {
    AdfSettings& a = m_out.values.adf;
    a.groups.reset();
    const int shift = 1 - v;
    a.cbOtherADF = r.letter(c - v + 71, 41) == 'y';
    if (!a.cbOtherADF) {
        // One placeholder block: only its numbers, those of group 1, are kept.
        const int b = v == 1 ? c + 72 : c + 70;
        readGroupParameters(a.groups.group(1).adf1, b + 11);
        readGroupParameters(a.groups.group(1).adf2, b + 23 + shift);
        return;
    }
    int count = 1;
    if (v == 1) {
        count = r.integer(c + 71, r.columns(c + 71, 29, 31), "number of ADF interface groups",
                          ranges::kGroupCount);
    }
    a.groups.setCount(count);
    m_out.advanced[2] = true;
    for (int g = 1; g <= count; ++g) {
        const int b = v == 1 ? c + 72 + 29 * (g - 1) : c + 70;
        AdfGroup& group = a.groups.group(g);
        group.interfaces = r.interfaces(b + 2, 43, "of ADF interface group " + std::to_string(g));
        const auto set = [&](AdfSet& s, int source, int data, int params, const char* adf) {
            s.external = r.letter(source, 58) != 'i';
            (s.external ? s.tFile : s.tChoice) = r.from(data, 9);
            (s.external ? s.rFile : s.rChoice) = r.from(data + 1, 9);
            const std::string name = adfGroupChoiceName(g, adf);
            m_out.lines[name + " for T"] = data;
            m_out.lines[name + " for R"] = data + 1;
            readGroupParameters(s, params);
        };
        set(group.adf1, b + 5, b + 7, b + 11, "ADF1");
        set(group.adf2, b + 17 + shift, b + 19 + shift, b + 23 + shift, "ADF2");
    }
}

void InputFileParser::readLegacyOtherAdf(int base) {
    // base = C + 63 + X. An old file has one block without groups; it becomes group 1.
    AdfSettings& a = m_out.values.adf;
    a.groups.reset();
    AdfGroup& group = a.groups.group(1);
    a.cbOtherADF = r.letter(base, 41) == 'y';
    if (a.cbOtherADF) {
        m_out.advanced[2] = true;
        group.interfaces = r.interfaces(base + 1, 43, "of ADF interface group 1");
        const auto set = [&](AdfSet& s, int source, int data) {
            s.external = r.letter(source, 58) != 'i';
            (s.external ? s.tFile : s.tChoice) = r.from(data, 9);
            (s.external ? s.rFile : s.rChoice) = r.from(data + 1, 9);
        };
        set(group.adf1, base + 4, base + 6);
        set(group.adf2, base + 17, base + 19);
    }
    readGroupParameters(group.adf1, base + 10);
    readGroupParameters(group.adf2, base + 23);
}

void InputFileParser::readFactorSets(int t, bool allSets) {
    RefTransSettings& rt = m_out.values.refTrans;
    const char sep = m_context.separators.decimal;
    rt.cbIncludeDecr = r.letter(t + 2, 100) == 'y';
    if (!rt.cbIncludeDecr)
        return; // the sets keep the values of a new project
    const int sets = allSets ? 3 : 1;
    for (int j = 0; j < sets; ++j) {
        const int b = t + 3 + 5 * j;
        auto& f = rt.factors[static_cast<std::size_t>(j)];
        const std::string column = " of calibration factor column " + std::to_string(j + 1);
        f.interfaces = r.interfaces(b, 43, column.substr(1));
        f.c12 = r.checked(b + 1, orOne(r.from(b + 1, 84), sep), "c12" + column, ranges::kFraction);
        f.c21 = r.checked(b + 2, orOne(r.from(b + 2, 83), sep), "c21" + column, ranges::kFraction);
        if (allSets)
            f.direct = r.letter(b + 3, 71) == 'y';
        if (j > 0 && !f.interfaces.empty())
            m_out.advanced[3] = true;
    }
}

void InputFileParser::readEntireAndBackSide(int u) {
    RefTransSettings& rt = m_out.values.refTrans;
    const char sep = m_context.separators.decimal;
    rt.cbIncludeDecr_adv = r.letter(u, 95) == 'y';
    if (rt.cbIncludeDecr_adv) {
        m_out.advanced[3] = true;
        rt.pbC12entire =
            r.checked(u + 1, orOne(r.from(u + 1, 20), sep), "c12entire", ranges::kFraction);
    }
    rt.cbIncludeInc_adv = r.letter(u + 4, 144) == 'y';
    if (rt.cbIncludeInc_adv) {
        m_out.advanced[3] = true;
        rt.eRTSpecifInterface_adv = r.interfaces(u + 5, 43, "of c21scatt");
        rt.pbC21Scatt = r.checked(u + 6, r.from(u + 6, 16), "c21scatt", ranges::kBackSideIncrease);
    }
}

void InputFileParser::readSpectrum(int line, bool stripTmp) {
    // line is the spectrum line; the others follow it.
    SpectrumSettings& s = m_out.values.spectrum;
    s.cbSpekter = r.from(line, 11);
    if (stripTmp && m_context.addOnPresent &&
        s.cbSpekter.find(kSpectrumRangeSuffix) != std::string::npos)
        s.cbSpekter.erase(s.cbSpekter.size() >= 4 ? s.cbSpekter.size() - 4 : 0);
    const long double ratio = r.number(
        line + 1, r.checked(line + 1, r.from(line + 1, 38), "diffuse ratio", ranges::kFraction));
    if (ratio == 0)
        return; // coherent light: the diffuse settings of a new project
    s.rbCoherent = false;
    s.pbRatio = formatFixed(ratio, 2, m_context.separators.decimal);
    m_out.advanced[4] = true;
    s.rbSpecADFInternal = r.letter(line + 3, 63) == 'i';
    if (s.rbSpecADFInternal) {
        s.cbADF1_Spekt.selected =
            r.integer(line + 5, r.from(line + 5, 20), kSpectrumAdfChoice, ranges::kListPosition) -
            1;
        m_out.lines[kSpectrumAdfChoice] = line + 5;
    } else
        s.cbADF1_Spekt.text = r.from(line + 5, 20);
    s.pbSpectrLamb = r.checked(line + 8, r.from(line + 8, 31), "Lambertian power n of the spectrum",
                               ranges::kAnyNumber);
    s.pbSpectrEllipsis = r.checked(line + 9, r.from(line + 9, 38),
                                   "ellipsis radius ratio b:a of the spectrum", ranges::kAnyNumber);
}

LegacyFolders InputFileParser::readFolders(int outputLine) {
    // FILES: the output path, then five folders three lines apart.
    LegacyFolders folders;
    folders.outFileDir = folderPart(r.from(outputLine, 1));
    folders.layerFileDir = r.from(outputLine + 5, 1);
    folders.hazeFileDir = r.from(outputLine + 8, 1);
    folders.calibrationDir = r.from(outputLine + 11, 1);
    folders.externalAdfDir = r.from(outputLine + 14, 1);
    folders.spectrumDir = r.from(outputLine + 17, 1);
    m_out.statedFolders = folders;
    m_out.outputLine = outputLine;
    return folders;
}

std::string InputFileParser::outputName(int line) const {
    // Only "/" and "\\" separate folders here; ":" may stand in a name ("run 10:30").
    return lastPathComponent(r.from(line, 1));
}

void InputFileParser::readComments(int first) {
    std::string memo;
    for (int n = first; n <= r.count(); ++n) {
        if (n > first)
            memo += '\n';
        memo += r.from(n, 1);
    }
    if (const auto problem = commentProblem(memo))
        throw ParseFailure{first + problem->first - 1, problem->second};
    m_out.values.comments = memo;
}

void InputFileParser::checkSections(const std::vector<std::pair<int, const char*>>& steps,
                                    const std::vector<const char*>& places) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (!r.contains(steps[i].first, steps[i].second)) {
            markCorrupted(places[i], steps[i].first, steps[i].second);
            return;
        }
    }
}

LoadedProject InputFileParser::parse() {
    const std::string& versionLine = r.raw(4);
    const bool knownVersion = versionLine == "ver 1.1" || versionLine.starts_with("ver 1.2");
    if (versionLine.starts_with("ver ") && !knownVersion)
        throw ParseFailure{4, "the file is of version \"" + trim(versionLine.substr(4)) +
                                  "\", which this program does not know (it reads up to 1.2.8)"};
    m_c = r.integer(8, r.from(8, 15), "row count", ranges::kRowCount);
    if (versionLine.find("ver 1.2") == std::string::npos)
        parseBefore12(versionLine == "ver 1.1");
    else
        parse12(versionLine);
    return m_out;
}

void InputFileParser::parseBefore12(bool v) {
    // The older layouts: no incoherency section, one other-ADF block, fewer settings.
    const int c = m_c;
    Project& p = m_out.values;
    m_out.layout = v ? LoadedProject::Layout::Version11 : LoadedProject::Layout::Unversioned;
    const int x = v ? 2 : 0;
    m_out.factorsCarried = false;
    m_out.powerCarried = v;
    m_out.allFactorSetsCarried = v;
    m_out.functionsCarried =
        v ? LoadedProject::Functions::FirstC12 : LoadedProject::Functions::None;
    m_out.precisionCarried = false;
    checkSections({{c + 14, "HAZE PARAMETERS"},
                   {c + 32 + x, "ANGULAR DISTRIBUTION FUNCTIONS"},
                   {c + 92 + x, "List of internal ADF"}},
                  {"STRUCTURE", "HAZE PARAMETERS", "ANGULAR DISTRIBUTION FUNCTIONS"});
    m_t = findBelow(c + 93 + x, "TOTAL REFLECTANCE AND TRANSMITTANCE");
    if (m_t == 0)
        throw ParseFailure{r.count(),
                           "no \"TOTAL REFLECTANCE AND TRANSMITTANCE\" below the ADF lists"};
    const int late = v ? 16 : 0;
    if (m_out.corruptedAfter.empty())
        checkSections({{m_t + 17 + late, "ILLUMINATION SPECTRUM"}, {m_t + 31 + late, "FILES"}},
                      {"TOTAL REFLECTANCE AND TRANSMITTANCE", "ILLUMINATION SPECTRUM"});
    readRows();
    if (v)
        readPower(c + 16);
    readHazeBlock(c + 16 + x);
    // the main ADFs: the ADF2 lines stand 13 below the ADF1 lines
    AdfSettings& a = p.adf;
    a.pbNoAngles = r.checked(c + 34 + x, r.from(c + 34 + x, 42), "number of equivalent angles",
                             ranges::kAnyNumber);
    m_out.lines[kAnglesLine] = c + 34 + x;
    readMainFunction(a.adf1, c + 38 + x, "ADF1");
    readMainFunction(a.adf2, c + 51 + x, "ADF2");
    readLegacyOtherAdf(c + 63 + x);
    readFactorSets(m_t, v);
    if (v) {
        RefTransSettings& rt = p.refTrans;
        rt.cbIncludeFDecrTR = r.letter(m_t + 18, 89) == 'y';
        if (rt.cbIncludeFDecrTR) {
            m_out.advanced[3] = true;
            rt.functions[0].interfaces =
                r.interfaces(m_t + 19, 43, "of calibration function column 1");
            rt.functions[0].c12 = r.from(m_t + 20, 39);
            rt.functions[0].direct = r.letter(m_t + 21, 62) == 'y';
        } else {
            rt.functions[0].interfaces.clear();
            rt.functions[0].c12.clear();
            rt.functions[0].direct = false;
        }
    }
    const int u = m_t + 8 + late;
    readEntireAndBackSide(u);
    readSpectrum(u + 11, false);
    p.files.eOutFileName = outputName(u + 26);
    m_out.folders = readFolders(u + 26);
    readComments(u + 48);
}

void InputFileParser::parse12(const std::string& versionLine) {
    // The current layout ("1.2.8", also "1.2.8b") and the older "ver 1.2" one.
    const int c = m_c;
    Project& p = m_out.values;
    std::string version = versionLine.size() > 4 ? trim(versionLine.substr(4, 10)) : std::string();
    if (version == "1.2.8b")
        version = "1.2.8";
    const int v = version == "1.2.8" ? 1 : 0;
    m_out.layout = v ? LoadedProject::Layout::Current : LoadedProject::Layout::Older;
    const int d = c - v;
    int g = 1;
    if (v == 1 && r.letter(d + 71, 41) == 'y')
        g = r.integer(c + 71, r.columns(c + 71, 29, 31), "number of ADF interface groups",
                      ranges::kGroupCount);
    const int a = v == 1 ? 29 * (g - 1) + 1 : 0;
    const int l = c + a + 100;
    checkSections({{c + 14, "LAYER INCOHERENCY CONDITIONS"},
                   {c + 20, "HAZE PARAMETERS"},
                   {c + 40, "ANGULAR DISTRIBUTION FUNCTIONS"},
                   {l, "List of internal ADF1"}},
                  {"STRUCTURE", "LAYER INCOHERENCY CONDITIONS", "HAZE PARAMETERS",
                   "ANGULAR DISTRIBUTION FUNCTIONS"});
    // T is found by its heading below the lists even when a heading above stood elsewhere:
    // the later sections are then read where they are, not at the lists.
    m_t = findBelow(l + 1, "TOTAL REFLECTANCE AND TRANSMITTANCE");
    if (m_t == 0)
        throw ParseFailure{r.count(),
                           "no \"TOTAL REFLECTANCE AND TRANSMITTANCE\" below the ADF lists"};
    if (m_out.corruptedAfter.empty())
        checkSections({{m_t + 40, "ILLUMINATION SPECTRUM"},
                       {m_t + 54, "FILES"},
                       {m_t + 80, "CALCULATION SETTINGS"}},
                      {"TOTAL REFLECTANCE AND TRANSMITTANCE", "ILLUMINATION SPECTRUM", "FILES"});

    readRows();
    readIncoherencyFactors(c + 16);
    readPower(c + 22);
    readHazeBlock(c + 24);
    p.adf.pbNoAngles =
        r.checked(c + 42, r.from(c + 42, 42), "number of equivalent angles", ranges::kAnyNumber);
    m_out.lines[kAnglesLine] = c + 42;
    readMainFunction(p.adf.adf1, c + 46, "ADF1");
    readMainFunction(p.adf.adf2, d + 59, "ADF2");
    readGroups(c, v);
    readFactorSets(m_t, true);
    readFunctionColumns(m_t + 19);
    readEntireAndBackSide(m_t + 31);
    readSpectrum(m_t + 42, true);
    p.files.eOutFileName = outputName(m_t + 57);
    readFolders(m_t + 57);
    p.rbNormalPrecision = r.letter(m_t + 82, 37) == 'n';
    readComments(m_t + 87);
}

void InputFileParser::readIncoherencyFactors(int first) {
    StructureSettings& s = m_out.values.structure;
    const char sep = m_context.separators.decimal;
    // Read to the end of the line: the writer writes the whole text of the edit.
    s.pbIfactor =
        r.checked(first, orOne(r.from(first, 70), sep), "I_factor", ranges::kIncoherentFactor);
    s.pbCfactor = r.checked(first + 1, orOne(r.from(first + 1, 65), sep), "C_factor",
                            ranges::kCoherentFactor);
    const auto isOne = [&](const std::string& text) {
        const auto value = parseNumber(text, m_context.separators);
        return value && *value == 1;
    };
    m_out.advanced[0] = !(isOne(s.pbIfactor) && isOne(s.pbCfactor));
}

void InputFileParser::readFunctionColumns(int switchLine) {
    RefTransSettings& rt = m_out.values.refTrans;
    rt.cbIncludeFDecrTR = r.letter(switchLine, 102) == 'y';
    if (!rt.cbIncludeFDecrTR) {
        m_out.functionsCarried = LoadedProject::Functions::None; // item 0 in the boxes
        return;
    }
    m_out.advanced[3] = true;
    for (int j = 0; j < 2; ++j) {
        const int b = switchLine + 1 + 5 * j;
        auto& f = rt.functions[static_cast<std::size_t>(j)];
        f.interfaces =
            r.interfaces(b, 43, "of calibration function column " + std::to_string(j + 1));
        f.c12 = r.from(b + 1, 92);
        f.c21 = r.from(b + 2, 92);
        f.direct = r.letter(b + 3, 74) == 'y';
    }
}

} // namespace

std::optional<std::pair<int, std::string>> commentProblem(const std::string& comments) {
    if (comments.size() > kMaxCommentBytes) {
        const auto line = std::count(comments.begin(), comments.begin() + kMaxCommentBytes, '\n');
        return std::pair{static_cast<int>(line) + 1, "the comments are longer than " +
                                                         std::to_string(kMaxCommentBytes) +
                                                         " bytes (the limit of the comments)"};
    }
    std::size_t start = 0;
    for (int line = 1; start <= comments.size(); ++line) {
        const auto end = std::min(comments.find('\n', start), comments.size());
        if (textLength(std::string_view(comments).substr(start, end - start)) >
            kMaxCommentLineLength)
            return std::pair{line, "the comment line is longer than " +
                                       std::to_string(kMaxCommentLineLength) +
                                       " characters (the limit of a comment line)"};
        start = end + 1;
    }
    return std::nullopt;
}

Result<LoadedProject> parseInputLines(const std::vector<std::string>& lines,
                                      const std::string& file, const ReaderContext& context) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find('\0') != std::string::npos)
            return ReadError{file, static_cast<int>(i + 1), "not a text file (NUL byte)"};
    try {
        return InputFileParser(lines, context).parse();
    } catch (const ParseFailure& failure) {
        return ReadError{file, failure.line, failure.reason};
    }
}

Result<LoadedProject> readInputFile(const std::string& path, const ReaderContext& context) {
    const auto bytes = readSmallFile(path, kMaxInputFileBytes, "Lumetrix input file");
    if (!bytes)
        return bytes.error();
    return parseInputLines(splitLines(bytes.value()), path, context);
}

} // namespace lumetrix
