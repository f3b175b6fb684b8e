#include "core/inputfile_reader.h"
#include "core/text_codec.h"
#include "new_project.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumetrix {
namespace {

using namespace test;

ReaderContext readerContext(bool addOn = false) {
    return {{'.', ','}, "/w", addOn};
}

// The lines as a file holds them (Windows-1252).
std::vector<std::string> fileLines(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines)
        out.push_back(*utf8ToCp1252(line));
    return out;
}

LoadedProject parse(const std::vector<std::string>& lines, bool addOn = false) {
    const auto loaded = parseInputLines(fileLines(lines), "test.dat", readerContext(addOn));
    EXPECT_TRUE(loaded.ok()) << (loaded.ok() ? "" : loaded.error().describe());
    return loaded.ok() ? loaded.value() : LoadedProject{};
}

// What the pages hold after taking a loaded project: the values, with the rows as stepping
// the layer count and reading each row leave them.
Project afterLoading(const LoadedProject& loaded, const Project& before) {
    Project p = loaded.values;
    LayerRows rows;
    for (std::size_t i = 0; i < loaded.rows.size(); ++i)
        rows.addRow();
    p.structure.rows = rows.rows();
    for (std::size_t i = 0; i < loaded.rows.size(); ++i) {
        LayerRow& row = p.structure.rows[i];
        const LoadedRow& l = loaded.rows[i];
        row.layerFile = l.layerFile;
        row.thickness = l.thickness.value_or(row.thickness);
        row.segments = l.segments.value_or(row.segments);
        row.roughness = l.roughness.value_or(row.roughness);
        row.pvActive = l.pvActive;
    }
    // Lists and texts the boxes show come from the listing files, not from the file.
    p.adf.adf1List = before.adf.adf1List;
    p.adf.adf2List = before.adf.adf2List;
    for (AdfFunction* f : {&p.adf.adf1, &p.adf.adf2}) {
        const auto& list = f == &p.adf.adf1 ? p.adf.adf1List : p.adf.adf2List;
        for (AdfChoice* c : {&f->t, &f->r})
            if (!f->external)
                c->text = c->selected >= 0 && c->selected < static_cast<int>(list.size())
                              ? list[static_cast<std::size_t>(c->selected)]
                              : std::string();
    }
    p.files = before.files;
    p.files.eOutFileName = loaded.values.files.eOutFileName;
    if (!loaded.values.haze.cbUseOtherHaze) {
        p.haze.cb_cR_HR_adv = before.haze.cb_cR_HR_adv;
        p.haze.cb_cT_HT_adv = before.haze.cb_cT_HT_adv;
    }
    if (loaded.functionsCarried == LoadedProject::Functions::None)
        p.refTrans.functions = before.refTrans.functions;
    p.spectrum.cbADF1_Spekt.text = before.spectrum.cbADF1_Spekt.text;
    p.spectrum.cbManually = before.spectrum.cbManually;
    return p;
}

// A project with every kind of value set, `rows` rows and `groups` groups.
Project richProject(int rows, int groups) {
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
    p.structure.rows.back().roughness = "12.25";
    p.structure.pbIfactor = "2.5";
    p.structure.pbCfactor = "0.000001";
    p.haze.power = HazeSettings::Power::Custom;
    p.haze.ePowerHT = "12.3456"; // longer than five characters
    p.haze.rbHazeC = false;
    p.haze.cbUseOtherHaze = true;
    p.haze.eHazeOtherSpecifyInt = "0,3";
    p.haze.cb_cR_HR_adv = "HR_flat";
    p.haze.cbSpecified = true;
    p.haze.eHazeSpecSpecifyInt = "2";
    p.adf.pbNoAngles = "30";
    p.adf.adf1.t.selected = 2;
    p.adf.adf1.t.text = p.adf.adf1List[2];
    p.adf.adf2.external = true;
    p.adf.adf2.t.text = "ADF2_ZnO_textured";
    p.adf.adf2.r.text = "ADF2_Mo_back";
    p.adf.adf1.lambertianR = "2.50";
    p.adf.cbOtherADF = true;
    for (int g = 1; g < groups; ++g)
        p.adf.groups.add();
    for (int g = 1; g <= groups; ++g) {
        AdfGroup& group = p.adf.groups.group(g);
        group.interfaces = std::to_string(g) + "," + std::to_string(g + 1);
        group.adf1.external = g % 2 == 0;
        group.adf1.tFile = "T" + std::to_string(g);
        group.adf1.rChoice = std::to_string(1 + g % 5);
        group.adf2.parameters = {1.5 * g, 0.25, 3.0, 1.0 / g};
    }
    auto& rt = p.refTrans;
    rt.cbIncludeDecr = true;
    rt.factors[0] = {"0", "0.5", "0.75", true};
    rt.factors[2] = {"4,5", "1", "0.25", false};
    rt.cbIncludeFDecrTR = true;
    rt.functions[1] = {"1", "ReflCal_glass", "none", true};
    rt.cbIncludeDecr_adv = true;
    rt.pbC12entire = "0.9";
    rt.cbIncludeInc_adv = true;
    rt.eRTSpecifInterface_adv = "3";
    rt.pbC21Scatt = "2";
    p.spectrum.rbCoherent = false;
    p.spectrum.pbRatio = "0.35";
    p.spectrum.cbADF1_Spekt.selected = 3;
    p.spectrum.pbSpectrLamb = "1.50";
    p.files.eOutFileName = "run7";
    p.rbNormalPrecision = false;
    p.comments = "line one\n\nline three, \xC3\xA9";
    return p;
}

TEST(InputFileReader, WrittenFilesReadBackToTheSameText) {
    for (int rows = 2; rows <= 50; ++rows) {
        for (int groups = 1; groups <= 15; ++groups) {
            const Project p = richProject(rows, groups);
            const auto written = build(p);
            const LoadedProject loaded = parse(written);
            ASSERT_TRUE(loaded.corruptedAfter.empty()) << rows << " rows";
            const auto again = build(afterLoading(loaded, p));
            ASSERT_EQ(again, written) << rows << " rows, " << groups << " groups";
        }
    }
}

TEST(InputFileReader, EveryGroupCountReadsBack) {
    for (int groups = 1; groups <= 15; ++groups) {
        const Project p = richProject(4, groups);
        const LoadedProject loaded = parse(build(p));
        const AdfGroupTable& read = loaded.values.adf.groups;
        ASSERT_EQ(read.count(), groups);
        // The file holds, of each ADF, the choices or the files its external flag selects.
        for (int g = 1; g <= groups; ++g) {
            const AdfGroup& a = read.group(g);
            const AdfGroup& b = p.adf.groups.group(g);
            EXPECT_EQ(a.interfaces, b.interfaces);
            EXPECT_EQ(a.adf1.external, b.adf1.external);
            EXPECT_EQ(a.adf1.external ? a.adf1.tFile : a.adf1.tChoice,
                      b.adf1.external ? b.adf1.tFile : b.adf1.tChoice);
            for (std::size_t k = 0; k < 4; ++k) // 15 significant digits in the file
                EXPECT_NEAR(a.adf2.parameters[k], b.adf2.parameters[k], 1e-14) << "group " << g;
        }
    }
}

TEST(InputFileReader, NewProjectReadsBackWithItsDefaults) {
    const Project p = newProject();
    const LoadedProject loaded = parse(build(p));
    EXPECT_EQ(build(afterLoading(loaded, p)), build(p));
    EXPECT_EQ(loaded.advanced[0], false); // both factors 1: the flag is cleared
    EXPECT_FALSE(loaded.advanced[1].has_value());
    EXPECT_TRUE(loaded.rows[0].thickness == std::nullopt); // "x": the edit keeps its text
    EXPECT_EQ(loaded.layout, LoadedProject::Layout::Current);
}

TEST(InputFileReader, DeliberateResets) {
    Project p = richProject(3, 1);
    p.refTrans.cbIncludeInc_adv = false; // c21scatt is not read while its option is off
    p.refTrans.pbC21Scatt = "7";
    p.spectrum.pbRatio = "0.00"; // a combined illumination whose ratio is 0 reads as coherent
    const LoadedProject loaded = parse(build(p));
    EXPECT_EQ(loaded.values.refTrans.pbC21Scatt, "1");
    EXPECT_TRUE(loaded.values.spectrum.rbCoherent);
    EXPECT_EQ(loaded.values.spectrum.pbSpectrLamb, "1.00");
}

TEST(InputFileReader, VersionTexts) {
    auto lines = build(richProject(5, 3));
    lines[3] = "ver 1.2.8b";
    const LoadedProject b = parse(lines);
    EXPECT_EQ(b.layout, LoadedProject::Layout::Current);
    EXPECT_EQ(b.values.adf.groups.count(), 3);
}

TEST(InputFileReader, TwoExtraLinesAfterTheRows) {
    Project p = newProject();
    p.structure.pbIfactor = "3";
    const auto written = build(p); // C = 2: rows on lines 12 and 13
    auto lines = written;
    lines.insert(lines.begin() + 13, {"stray", "stray"});
    // The values at the computed lines no longer convert (line 24 holds a rule line where the
    // power factor should be): the file is refused whole, naming that line.
    const auto refused = parseInputLines(fileLines(lines), "extra.dat", readerContext());
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().line, 24);

    // Two lines fewer further down (the two factor lines) and the rest stands where the
    // counts put it: the file loads with the warning, the rows read, the factors as 1.
    lines.erase(lines.begin() + 19, lines.begin() + 21);
    const LoadedProject loaded = parse(lines);
    EXPECT_EQ(loaded.corruptedAfter, "STRUCTURE");
    EXPECT_EQ(loaded.rows.size(), 2u);
    EXPECT_EQ(loaded.values.structure.pbIfactor, "1");
    EXPECT_EQ(loaded.values.adf.pbNoAngles, "45");
}

TEST(InputFileReader, BadFilesSayWhereAndWhat) {
    const auto good = build(richProject(4, 2));
    struct Case {
        const char* name;
        std::function<void(std::vector<std::string>&)> spoil;
        int line; // 0: any line
    };
    const Case cases[] = {
        {"row count not a number", [](auto& l) { l[7] = "No. of layers: many"; }, 8},
        {"row count 1", [](auto& l) { l[7] = "No. of layers: 1"; }, 8},
        {"row count 51", [](auto& l) { l[7] = "No. of layers: 51"; }, 8},
        {"thickness not a number", [](auto& l) { l[12].replace(34, 4, "abcd"); }, 13},
        {"group count 16", [](auto& l) { l[4 + 71 - 1] = "No. of ADF interface groups: 16"; }, 75},
        {"cut after the rows", [](auto& l) { l.resize(16); }, 0},
        {"no reflectance heading",
         [](auto& l) {
             for (auto& line : l)
                 if (line == "TOTAL REFLECTANCE AND TRANSMITTANCE")
                     line = "TOTAL";
         },
         0},
        {"empty file", [](auto& l) { l.clear(); }, 0},
    };
    for (const auto& c : cases) {
        auto lines = good;
        c.spoil(lines);
        const auto loaded = parseInputLines(fileLines(lines), "bad.dat", readerContext());
        ASSERT_FALSE(loaded.ok()) << c.name;
        EXPECT_EQ(loaded.error().file, "bad.dat");
        if (c.line) {
            EXPECT_EQ(loaded.error().line, c.line) << c.name << ": " << loaded.error().describe();
        }
    }
    std::vector<std::string> binary = fileLines(good);
    binary[20][3] = '\0';
    EXPECT_EQ(parseInputLines(binary, "bin.dat", readerContext()).error().line, 21);
}

TEST(InputFileReader, SpectrumSuffixWithAndWithoutTheAddOn) {
    Project p = newProject();
    p.spectrum.cbSpekter = "AM15_tmp";
    EXPECT_EQ(parse(build(p), true).values.spectrum.cbSpekter, "AM15");
    EXPECT_EQ(parse(build(p), false).values.spectrum.cbSpekter, "AM15_tmp");
}

TEST(InputFileReader, EmptyFactorsAndComments) {
    auto lines = build(newProject());
    lines[2 + 16 - 1] = "Incoherent thickness factor (multiplication of the initial d_incoh): ";
    const LoadedProject loaded = parse(lines);
    EXPECT_EQ(loaded.values.structure.pbIfactor, "1");
    EXPECT_EQ(loaded.advanced[0], false);
    EXPECT_EQ(loaded.values.comments, "");
    lines.pop_back(); // ends right after the heading and its empty line
    EXPECT_EQ(parse(lines).values.comments, "");
}

TEST(InputFileReader, ReadsFromDisk) {
    const auto path = std::filesystem::temp_directory_path() / "lumetrix_reader_test.dat";
    std::vector<std::string> lines = build(richProject(6, 2));
    {
        std::ofstream out(path, std::ios::binary);
        for (const auto& line : fileLines(lines))
            out << line << "\r\n";
    }
    const auto loaded = readInputFile(path.string(), readerContext());
    std::filesystem::remove(path);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded.value().rows.size(), 6u);
    EXPECT_EQ(loaded.value().values.comments, "line one\n\nline three, \xC3\xA9");
    EXPECT_FALSE(readInputFile("/no/such/file.dat", readerContext()).ok());
}

} // namespace
} // namespace lumetrix
