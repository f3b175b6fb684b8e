// Input files of the older layouts: "ver 1.2", "ver 1.1" and unversioned.
#include "core/inputfile_reader.h"
#include "core/text_codec.h"
#include "new_project.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace lumetrix {
namespace {

using namespace test;

ReaderContext readerContext() {
    return {{'.', ','}, "/w", false};
}

LoadedProject parse(const std::vector<std::string>& lines) {
    const auto loaded = parseInputLines(lines, "old.dat", readerContext());
    EXPECT_TRUE(loaded.ok()) << (loaded.ok() ? "" : loaded.error().describe());
    return loaded.ok() ? loaded.value() : LoadedProject{};
}

// A file built by line and column, as the old layouts place their values.
class FileBuilder {
public:
    void put(int line, int column, const std::string& text) {
        if (static_cast<int>(m_lines.size()) < line)
            m_lines.resize(static_cast<std::size_t>(line));
        std::string& l = m_lines[static_cast<std::size_t>(line - 1)];
        if (static_cast<int>(l.size()) < column - 1)
            l.resize(static_cast<std::size_t>(column - 1), '.');
        l = l.substr(0, static_cast<std::size_t>(column - 1)) + text;
    }
    std::vector<std::string>& lines() { return m_lines; }

private:
    std::vector<std::string> m_lines;
};

// The same project in a "ver 1.1" file or an unversioned one; only 1.1 carries the power
// factor, the factor sets 2 and 3 with the direct marks and the calibration function.
std::vector<std::string> legacyFile(bool v11) {
    FileBuilder f;
    const int c = 3;
    const int x = v11 ? 2 : 0;
    f.put(4, 1, v11 ? "ver 1.1" : "Lumetrix input file");
    f.put(8, 1, "No. of layers: 3");
    f.put(10, 1,
          "Layer" + std::string(29, ' ') +
              "Thickness (nm)   No of segm.   rms roughness(nm)   PV active (0/1)");
    f.put(12, 1,
          "air" + std::string(31, ' ') + "x" + std::string(16, ' ') + "x" + std::string(13, ' ') +
              "x" + std::string(19, ' ') + "0");
    f.put(13, 1,
          "CIGS" + std::string(30, ' ') + "1500" + std::string(13, ' ') + "20" +
              std::string(12, ' ') + "25" + std::string(18, ' ') + "1");
    f.put(14, 1,
          "Mo" + std::string(32, ' ') + "x" + std::string(16, ' ') + "x" + std::string(13, ' ') +
              "5" + std::string(19, ' ') + "0");
    f.put(c + 14, 1, "HAZE PARAMETERS");
    if (v11)
        f.put(c + 16, 76, "2");
    f.put(c + 16 + x, 57, "h");
    f.put(c + 17 + x, 9, "HT_flat");
    f.put(c + 18 + x, 9, "HR_flat");
    f.put(c + 21 + x, 59, "y");
    f.put(c + 22 + x, 43, "0,1");
    f.put(c + 23 + x, 57, "c");
    f.put(c + 24 + x, 9, "cT_flat");
    f.put(c + 25 + x, 9, "cR_flat");
    f.put(c + 28 + x, 136, "n");
    f.put(c + 32 + x, 1, "ANGULAR DISTRIBUTION FUNCTIONS");
    f.put(c + 34 + x, 42, "60");
    f.put(c + 38 + x, 58, "i");
    f.put(c + 40 + x, 9, "2");
    f.put(c + 41 + x, 9, "4");
    for (int i = 0; i < 4; ++i)
        f.put(c + 44 + x + i, i < 2 ? 37 : 44, "1.50");
    f.put(c + 51 + x, 58, "e");
    f.put(c + 53 + x, 9, "ADF2_T_file");
    f.put(c + 54 + x, 9, "ADF2_R_file");
    for (int i = 0; i < 4; ++i)
        f.put(c + 57 + x + i, i < 2 ? 37 : 44, "2.00");
    f.put(c + 63 + x, 41, "y");
    f.put(c + 64 + x, 43, "0,2");
    f.put(c + 67 + x, 58, "i");
    f.put(c + 69 + x, 9, "3");
    f.put(c + 70 + x, 9, "5");
    for (int i = 0; i < 4; ++i)
        f.put(c + 73 + x + i, i < 2 ? 37 : 44, "1.25");
    f.put(c + 80 + x, 58, "e");
    f.put(c + 82 + x, 9, "G_T");
    f.put(c + 83 + x, 9, "G_R");
    for (int i = 0; i < 4; ++i)
        f.put(c + 86 + x + i, i < 2 ? 37 : 44, "3.5");
    f.put(c + 92 + x, 1, "List of internal ADF1");
    const int t = c + 100 + x;
    f.put(t, 1, "TOTAL REFLECTANCE AND TRANSMITTANCE");
    f.put(t + 2, 100, "y");
    f.put(t + 3, 43, "1");
    f.put(t + 4, 84, "0.5");
    f.put(t + 5, 83, "");
    if (v11) {
        f.put(t + 6, 71, "y");
        f.put(t + 8, 43, "2");
        f.put(t + 9, 84, "0.7");
        f.put(t + 10, 83, "0.8");
        f.put(t + 18, 89, "y");
        f.put(t + 19, 43, "3");
        f.put(t + 20, 39, "ReflCal_glass");
        f.put(t + 21, 62, "y");
    }
    const int u = t + 8 + (v11 ? 16 : 0);
    f.put(u, 95, "y");
    f.put(u + 1, 20, "0.9");
    f.put(u + 4, 144, "n");
    f.put(t + 17 + (v11 ? 16 : 0), 1, "ILLUMINATION SPECTRUM");
    f.put(u + 11, 11, "AM15_tmp");
    f.put(u + 12, 38, "0.25");
    f.put(u + 14, 63, "i");
    f.put(u + 16, 20, "3");
    f.put(u + 19, 31, "2.00");
    f.put(u + 20, 38, "1.00");
    f.put(t + 31 + (v11 ? 16 : 0), 1, "FILES");
    f.put(u + 26, 1, "/w/runs/run3");
    const char* folders[] = {"/w/nk", "/data/haze", "/w/cal", "/w/ext", "/w/Spectrum"};
    for (int i = 0; i < 5; ++i)
        f.put(u + 31 + 3 * i, 1, folders[i]);
    f.put(u + 48, 1, "old comment");
    f.put(u + 49, 1, "second line");
    return f.lines();
}

TEST(OlderLayouts, Version11AndUnversionedReadTheSameSettings) {
    const LoadedProject v11 = parse(legacyFile(true));
    const LoadedProject old = parse(legacyFile(false));
    for (const LoadedProject* p : {&v11, &old}) {
        EXPECT_TRUE(p->corruptedAfter.empty());
        ASSERT_EQ(p->rows.size(), 3u);
        EXPECT_EQ(p->rows[1].layerFile, "CIGS");
        EXPECT_EQ(p->rows[1].thickness, std::optional<std::string>("1500"));
        EXPECT_EQ(p->rows[2].roughness, std::optional<std::string>("5"));
        EXPECT_TRUE(p->rows[1].pvActive);
        EXPECT_FALSE(p->factorsCarried);
        const HazeSettings& h = p->values.haze;
        EXPECT_FALSE(h.rbHazeC);
        EXPECT_EQ(h.cb_cT_HT, "HT_flat");
        EXPECT_TRUE(h.cbUseOtherHaze);
        EXPECT_EQ(h.eHazeOtherSpecifyInt, "0,1");
        EXPECT_EQ(h.cb_cR_HR_adv, "cR_flat");
        const AdfSettings& a = p->values.adf;
        EXPECT_EQ(a.pbNoAngles, "60");
        EXPECT_EQ(a.adf1.t.selected, 1);
        EXPECT_EQ(a.adf1.r.selected, 3);
        EXPECT_TRUE(a.adf2.external);
        EXPECT_EQ(a.adf2.r.text, "ADF2_R_file");
        // The other-ADF block goes into group 1, where the page shows it.
        EXPECT_TRUE(a.cbOtherADF);
        EXPECT_EQ(a.groups.count(), 1);
        EXPECT_EQ(a.groups.group(1).interfaces, "0,2");
        EXPECT_EQ(a.groups.group(1).adf1.tChoice, "3");
        EXPECT_EQ(a.groups.group(1).adf2.rFile, "G_R");
        EXPECT_EQ(a.groups.group(1).adf2.parameters[AdfSet::EllipseR], 3.5);
        EXPECT_EQ(p->advanced[2], true);
        const RefTransSettings& rt = p->values.refTrans;
        EXPECT_TRUE(rt.cbIncludeDecr);
        EXPECT_EQ(rt.factors[0].interfaces, "1");
        EXPECT_EQ(rt.factors[0].c12, "0.5");
        EXPECT_EQ(rt.factors[0].c21, "1"); // empty reads as 1
        EXPECT_TRUE(rt.cbIncludeDecr_adv);
        EXPECT_EQ(rt.pbC12entire, "0.9");
        EXPECT_EQ(p->values.spectrum.cbSpekter, "AM15_tmp"); // the suffix stays in old files
        EXPECT_FALSE(p->values.spectrum.rbCoherent);
        EXPECT_EQ(p->values.spectrum.cbADF1_Spekt.selected, 2);
        EXPECT_EQ(p->values.files.eOutFileName, "run3");
        ASSERT_TRUE(p->folders);
        EXPECT_EQ(p->folders->outFileDir, "/w/runs");
        EXPECT_EQ(p->folders->hazeFileDir, "/data/haze");
        EXPECT_EQ(p->folders->spectrumDir, "/w/Spectrum");
        EXPECT_EQ(p->values.comments, "old comment\nsecond line");
        EXPECT_FALSE(p->precisionCarried);
    }
    // What only "ver 1.1" carries.
    EXPECT_EQ(v11.layout, LoadedProject::Layout::Version11);
    EXPECT_EQ(old.layout, LoadedProject::Layout::Unversioned);
    EXPECT_TRUE(v11.powerCarried);
    EXPECT_FALSE(old.powerCarried);
    EXPECT_EQ(v11.values.haze.power, HazeSettings::Power::Two);
    EXPECT_TRUE(v11.values.refTrans.factors[0].direct);
    EXPECT_FALSE(old.values.refTrans.factors[0].direct);
    EXPECT_EQ(v11.values.refTrans.factors[1].c21, "0.8");
    EXPECT_EQ(old.values.refTrans.factors[1].c21, "1");
    EXPECT_EQ(v11.functionsCarried, LoadedProject::Functions::FirstC12);
    EXPECT_EQ(old.functionsCarried, LoadedProject::Functions::None);
    EXPECT_EQ(v11.values.refTrans.functions[0].c12, "ReflCal_glass");
    EXPECT_TRUE(v11.values.refTrans.functions[0].direct);
}

// The widget tests read the same files from tests/data; they must stay what the builder makes
// (LUMETRIX_WRITE_FIXTURES=1 writes them anew).
TEST(OlderLayouts, FixtureFilesMatchTheBuilder) {
    for (const bool v11 : {true, false}) {
        const std::string name = std::string(LUMETRIX_TEST_DATA_DIR) +
                                 (v11 ? "/legacy_ver_1_1.dat" : "/legacy_unversioned.dat");
        std::string text;
        for (const std::string& line : legacyFile(v11))
            text += line + "\r\n";
        if (std::getenv("LUMETRIX_WRITE_FIXTURES"))
            std::ofstream(name, std::ios::binary) << text;
        std::ifstream in(name, std::ios::binary);
        const std::string stored{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
        EXPECT_EQ(stored, text) << name;
    }
}

TEST(OlderLayouts, MisplacedHeadingsWarnAndReadOn) {
    auto lines = legacyFile(false);
    lines[3 + 14 - 1] = "HAZE";
    const LoadedProject p = parse(lines);
    EXPECT_EQ(p.corruptedAfter, "STRUCTURE");
    EXPECT_EQ(p.rows.size(), 3u);
}

// The "ver 1.2" layout: no group count, one block starting at C + 70, the ADF2 lines one
// further down. Made from a current file of one group.
std::vector<std::string> olderFile(const Project& p) {
    std::vector<std::string> lines = build(p);
    const std::size_t c = p.structure.rows.size();
    lines[3] = "ver 1.2";
    auto at = [&](std::size_t n) { return lines.begin() + static_cast<long>(n - 1); };
    lines.insert(at(c + 57), "");        // before the main ADF2 heading
    lines.erase(at(c + 72), at(c + 75)); // group count, empty line, group number
    lines.insert(at(c + 87), "");        // between the group's ADF2 heading and choice
    return lines;
}

TEST(OlderLayouts, Version12ReadsWithTheOlderPositions) {
    Project p = newProject();
    p.adf.adf2.external = true;
    p.adf.adf2.t.text = "ADF2_T";
    p.adf.adf2.r.text = "ADF2_R";
    p.adf.adf2.lambertianR = "2.50";
    AdfGroup& group = p.adf.groups.group(1);
    group.interfaces = "1,3";
    group.adf2.external = true;
    group.adf2.rFile = "R_file";
    group.adf2.parameters[AdfSet::EllipseT] = 4;
    const LoadedProject loaded = parse(olderFile(p));
    EXPECT_EQ(loaded.layout, LoadedProject::Layout::Older);
    EXPECT_TRUE(loaded.corruptedAfter.empty());
    EXPECT_TRUE(loaded.values.adf.adf2.external);
    EXPECT_EQ(loaded.values.adf.adf2.r.text, "ADF2_R");
    EXPECT_EQ(loaded.values.adf.adf2.lambertianR, "2.50");
    const AdfGroup& read = loaded.values.adf.groups.group(1);
    EXPECT_EQ(read.interfaces, "1,3");
    EXPECT_TRUE(read.adf2.external);
    EXPECT_EQ(read.adf2.rFile, "R_file");
    EXPECT_EQ(read.adf2.parameters[AdfSet::EllipseT], 4);
    EXPECT_EQ(loaded.values.files.eOutFileName, "LXOut");
}

} // namespace
} // namespace lumetrix
