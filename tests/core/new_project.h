#pragma once

// The project the pages hold at start, with the shipped listing files, and the helpers that
// write a project and read a file back.
#include "core/inputfile_reader.h"
#include "core/inputfile_writer.h"
#include "core/layer_rows.h"
#include "core/listing.h"
#include "core/text_codec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace lumetrix::test {

inline std::string fixture(const std::string& name) {
    return std::string(LUMETRIX_TEST_DATA_DIR) + "/" + name;
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An empty folder of this name and process under the temporary folder, which others may enter.
inline std::filesystem::path scratch(const std::string& name) {
    const auto dir =
        std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms::all);
    return dir;
}

inline std::vector<std::string> fixtureLines(const std::string& name) {
    return splitLines(readBytes(fixture(name)));
}

inline std::vector<std::string> shippedListing(const char* name) {
    return readListingFile(std::string(LUMETRIX_DATA_DIR) + "/" + name).value();
}

// The two media and the named layers between them.
inline Project withLayers(std::initializer_list<const char*> names) {
    LayerRows rows;
    rows.addRow();
    rows.addRow();
    for (const char* name : names) {
        rows.addRow();
        rows.rows()[static_cast<std::size_t>(rows.count() - 2)].layerFile = name;
    }
    Project p;
    p.structure.rows = rows.rows();
    return p;
}

inline Project newProject() {
    Project p = withLayers({});
    p.haze.cb_cR_HR = p.haze.cb_cR_HR_adv = shippedListing("List/cR.dat").front();
    p.haze.cb_cT_HT = p.haze.cb_cT_HT_adv = shippedListing("List/cT.dat").front();
    p.adf.adf1List = shippedListing("ADF1.dat");
    p.adf.adf2List = shippedListing("ADF2.dat");
    p.adf.adf1.t.text = p.adf.adf1.r.text = p.adf.adf1List.front();
    p.adf.adf2.t.text = p.adf.adf2.r.text = p.adf.adf2List.front();
    const std::string calibration = shippedListing("List/ReflCal.dat").front();
    for (auto& f : p.refTrans.functions)
        f.c12 = f.c21 = calibration;
    p.spectrum.cbSpekter = shippedListing("List/Spectrum.dat").front();
    p.spectrum.cbADF1_Spekt.text = p.adf.adf1List.front();
    p.files = {"<WORKDIR>/Out",      "LXOut",           "<WORKDIR>/nk",
               "<WORKDIR>/HT_HR",    "<WORKDIR>/cT_cR", "<WORKDIR>/ADF_external",
               "<WORKDIR>/Spectrum", "<WORKDIR>/List"};
    return p;
}

// A project with every setting away from its new-project value, `rows` rows and `groups`
// groups; the choices between alternatives change with the row count. The files of 4 rows with
// 2 groups and of 9 rows with 3 groups are golden files (tests/data/rich_project_*.dat).
inline Project richProject(int rows, int groups) {
    Project p = newProject();
    LayerRows stack;
    for (int i = 0; i < rows; ++i)
        stack.addRow();
    p.structure.rows = stack.rows();
    for (int i = 1; i + 1 < rows; ++i) {
        LayerRow& row = p.structure.rows[static_cast<std::size_t>(i)];
        row.layerFile = i % 5 == 0 ? " " : "layer" + std::to_string(i);
        row.thickness = std::to_string(10 * i) + ".5";
        row.segments = std::to_string(1 + i % 7);
        row.roughness = std::to_string(i % 4);
        row.pvActive = i % 3 == 0;
    }
    p.structure.rows.front().roughness = "5"; // never written: no interface above the top
    p.structure.rows.back().roughness = "12.25";
    if (rows >= 9) { // a name that widens the name column, numbers rounded to fit theirs
        p.structure.rows[7].layerFile = "layer7_with_a_name_wider_than_the_column";
        p.structure.rows[6].thickness = "12345.678901234567";
        p.structure.rows[6].roughness = "9999.123456789012345";
    }
    p.structure.pbIfactor = "2.5";
    p.structure.pbCfactor = "0.000001";
    HazeSettings& h = p.haze;
    h.power = rows % 3 == 0 ? HazeSettings::Power::Two : HazeSettings::Power::Custom;
    h.ePowerHT = "12.3456"; // longer than five characters
    h.rbHazeC = false;
    h.cb_cR_HR = "HR_textured";
    h.cb_cT_HT = "HT_textured";
    h.cbUseOtherHaze = true;
    h.eHazeOtherSpecifyInt = "0,3";
    h.rbHazeC_adv = rows % 2 == 0;
    h.cb_cR_HR_adv = "HR_flat";
    h.cb_cT_HT_adv = "HT_flat";
    h.cbSpecified = true;
    h.eHazeSpecSpecifyInt = "2";
    AdfSettings& a = p.adf;
    a.pbNoAngles = "30";
    // external, T and R choices, Lambertian power for T and R, ellipse ratio for T and R
    a.adf1 = {false, {2, ""}, {4, ""}, "1.25", "2.50", "3.75", "5.00"};
    a.adf2 = {true, {0, "ADF2_ZnO_textured"}, {0, "ADF2_Mo_back"}, "6.25", "7.50", "8.75", "9.00"};
    for (int g = 1; g < groups; ++g)
        a.groups.add();
    for (int g = 1; g <= groups; ++g) {
        AdfGroup& group = a.groups.group(g);
        const std::string n = std::to_string(g);
        group.interfaces = n + "," + std::to_string(g + 1);
        // external, R and T choices, R and T files, Lambertian R and T, ellipse R and T
        group.adf1 = {g % 2 == 0, std::to_string(1 + g % 5), "2", "R" + n,
                      "T" + n,    {0.5, 2.0 * g, 1.25, 4.0}};
        group.adf2 = {g % 3 == 0, "3",       std::to_string(1 + g % 7),
                      "R2_" + n,  "T2_" + n, {1.5 * g, 0.25, 3.0, 1.0 / g}};
    }
    auto& rt = p.refTrans;
    rt.cbIncludeDecr = true;
    // interfaces, c12, c21, direct
    rt.factors = {{{"0", "0.5", "0.75", true},
                   {"1,2", "0.25", "1", rows % 2 == 0},
                   {"4,5", "1", "0.25", false}}};
    rt.cbIncludeFDecrTR = true;
    rt.functions = {{{"2", "ReflCal_ZnO_textured", "ReflCal_glass", false},
                     {"1", "ReflCal_glass", "none", true}}};
    rt.cbIncludeDecr_adv = true;
    rt.pbC12entire = "0.9";
    rt.cbIncludeInc_adv = true;
    rt.eRTSpecifInterface_adv = "3";
    rt.pbC21Scatt = "2";
    // spectrum, range set manually, coherent, ratio, internal ADF, ADF, Lambertian, ellipse
    const bool internal = rows % 2 == 0;
    p.spectrum = {"AM0",  false, false, "0.35", internal, {3, internal ? "" : "ADF1_external"},
                  "1.50", "2.75"};
    p.files.eOutFileName = "run7";
    p.rbNormalPrecision = false;
    p.comments = "line one\n\nline three, \xC3\xA9";
    return p;
}

inline WriterContext writerContext(char separator = '.') {
    WriterContext context;
    context.workDir = "/w";
    context.decimalSeparator = separator;
    context.spectrumDir = "/w/Spectrum";
    return context;
}

inline std::vector<std::string> build(const Project& p,
                                      const WriterContext& context = writerContext()) {
    std::vector<std::string> lines;
    BuildInputFile(p, context, lines);
    return lines;
}

// Two files line by line, naming the first line that differs.
inline void expectSameLines(const std::vector<std::string>& actual,
                            const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < actual.size() && i < expected.size(); ++i)
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << "line " << i + 1 << " is \"" << actual[i] << "\", expected \""
                          << expected[i] << "\"";
            return;
        }
    EXPECT_EQ(actual.size(), expected.size());
}

// The lines against a golden file of tests/data, where "@WORKDIR@" stands for "/w".
inline void expectGoldenFile(const std::vector<std::string>& lines, const std::string& name) {
    SCOPED_TRACE(name);
    std::vector<std::string> expected = readListingFile(fixture(name)).value();
    for (std::string& line : expected)
        if (const auto at = line.find("@WORKDIR@"); at != std::string::npos)
            line.replace(at, 9, "/w");
    expectSameLines(lines, expected);
}

inline ReaderContext readerContext(bool addOn = false) {
    return {{'.', ','}, "/w", addOn};
}

// The lines as a file holds them (Windows-1252).
inline std::vector<std::string> fileLines(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines)
        out.push_back(*utf8ToCp1252(line));
    return out;
}

inline LoadedProject parse(const std::vector<std::string>& lines, bool addOn = false) {
    const auto loaded = parseInputLines(fileLines(lines), "test.dat", readerContext(addOn));
    EXPECT_TRUE(loaded.ok()) << (loaded.ok() ? "" : loaded.error().describe());
    return loaded.ok() ? loaded.value() : LoadedProject{};
}

} // namespace lumetrix::test
