// Reading input files: written files read back, what the reading sets besides the values,
// files that are wrong, and files of the older layouts ("ver 1.2", "ver 1.1", unversioned).
#include "new_project.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

using namespace test;

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

TEST(InputFileReader, WrittenFilesReadBackToTheSameText) {
    const Project fresh = newProject();
    expectSameLines(build(afterLoading(parse(build(fresh)), fresh)), build(fresh));
    for (int rows = 2; rows <= 50; ++rows) {
        for (int groups = 1; groups <= 15; ++groups) {
            SCOPED_TRACE(std::to_string(rows) + " rows, " + std::to_string(groups) + " groups");
            const Project p = richProject(rows, groups);
            const auto written = build(p);
            const LoadedProject loaded = parse(written);
            ASSERT_EQ(loaded.corruptedAfter, "");
            ASSERT_EQ(loaded.layout, LoadedProject::Layout::Current);
            ASSERT_EQ(loaded.values.adf.groups.count(), groups);
            expectSameLines(build(afterLoading(loaded, p)), written);
            if (HasFailure())
                return;
        }
    }
}

// The advanced flags a reading sets, by page (structure, haze, ADF, R/T, spectrum): "1" sets
// the flag, "0" clears it, "." leaves it alone.
std::string flags(const LoadedProject& loaded) {
    std::string out;
    for (const std::optional<bool>& flag : loaded.advanced)
        out += flag ? (*flag ? '1' : '0') : '.';
    return out;
}

TEST(InputFileReader, AdvancedFlagsFollowTheSettingsInUse) {
    const auto factorColumn = [](std::size_t j) {
        return [j](Project& p) {
            p.refTrans.cbIncludeDecr = true;
            p.refTrans.factors[j].interfaces = "2";
        };
    };
    using Set = std::function<void(Project&)>;
    const std::tuple<const char*, Set, const char*> cases[] = {
        {"new project", [](Project&) {}, "0.1.."},
        {"incoherency factor", [](Project& p) { p.structure.pbCfactor = "2"; }, "1.1.."},
        {"empty factor reads as 1", [](Project& p) { p.structure.pbIfactor = ""; }, "0.1.."},
        {"other haze", [](Project& p) { p.haze.cbUseOtherHaze = true; }, "011.."},
        {"transmission only", [](Project& p) { p.haze.cbSpecified = true; }, "011.."},
        {"no other ADF", [](Project& p) { p.adf.cbOtherADF = false; }, "0...."},
        {"factor column 1", factorColumn(0), "0.1.."},
        {"factor column 2", factorColumn(1), "0.11."},
        {"factor column 3", factorColumn(2), "0.11."},
        {"factor columns off", [](Project& p) { p.refTrans.factors[1].interfaces = "2"; }, "0.1.."},
        {"calibration functions", [](Project& p) { p.refTrans.cbIncludeFDecrTR = true; }, "0.11."},
        {"entire structure", [](Project& p) { p.refTrans.cbIncludeDecr_adv = true; }, "0.11."},
        {"back side", [](Project& p) { p.refTrans.cbIncludeInc_adv = true; }, "0.11."},
        {"combined light", [](Project& p) { p.spectrum = richProject(3, 1).spectrum; }, "0.1.1"},
        {"combined light of ratio 0", [](Project& p) { p.spectrum.rbCoherent = false; }, "0.1.."},
    };
    for (const auto& [name, set, expected] : cases) {
        Project p = newProject();
        set(p);
        EXPECT_EQ(flags(parse(build(p))), expected) << name;
    }
}

// The values a file of the current layout does not carry, or carries but the reading drops.
TEST(InputFileReader, WhatTheReadingLeavesOrDrops) {
    Project p = richProject(3, 1);
    p.refTrans.cbIncludeInc_adv = false; // c21scatt is not read while its option is off
    p.refTrans.pbC21Scatt = "7";
    p.spectrum.pbRatio = "0.00"; // a combined illumination whose ratio is 0 reads as coherent
    p.structure.rows[1].thicknessEnabled = false; // "x": the edit keeps its text
    auto lines = build(p);
    lines[3] = "ver 1.2.8b";
    const LoadedProject loaded = parse(lines);
    EXPECT_EQ(loaded.layout, LoadedProject::Layout::Current);
    EXPECT_EQ(loaded.values.refTrans.pbC21Scatt, "1");
    EXPECT_TRUE(loaded.values.spectrum.rbCoherent);
    EXPECT_EQ(loaded.values.spectrum.pbSpectrLamb, "1.00");
    ASSERT_EQ(loaded.rows.size(), 3u);
    EXPECT_FALSE(loaded.rows[1].thickness.has_value());
    EXPECT_EQ(loaded.rows[1].segments, "2");
    EXPECT_FALSE(loaded.rows[0].roughness.has_value()); // never read for the top medium
    EXPECT_EQ(loaded.functionsCarried, LoadedProject::Functions::All);
    p.refTrans.cbIncludeFDecrTR = false;
    p.comments = "";
    lines = build(p);
    EXPECT_EQ(parse(lines).functionsCarried, LoadedProject::Functions::None);
    EXPECT_EQ(parse(lines).values.comments, "");
    lines.pop_back(); // ends right after the heading and its empty line
    EXPECT_EQ(parse(lines).values.comments, "");

    const std::tuple<const char*, bool, const char*> suffixes[] = {
        {"AM15_tmp", true, "AM15"}, {"AM15_tmp", false, "AM15_tmp"}, {"AM15", true, "AM15"}};
    for (const auto& [name, addOn, expected] : suffixes) {
        p.spectrum.cbSpekter = name;
        EXPECT_EQ(parse(build(p), addOn).values.spectrum.cbSpekter, expected)
            << name << (addOn ? " with" : " without") << " the add-on";
    }
}

TEST(InputFileReader, ShiftedSectionsAreRefusedOrWarnedAbout) {
    Project p = newProject();
    p.structure.pbIfactor = "3";
    auto lines = build(p); // C = 2: rows on lines 12 and 13
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
        {"group count 16", [](auto& l) { l[4 + 71 - 1] = "No. of ADF interface groups: 16"; }, 75},
        {"NUL byte", [](auto& l) { l[20][3] = '\0'; }, 21},
        {"cut after the rows", [](auto& l) { l.resize(16); }, 0},
        {"no reflectance heading",
         [](auto& l) {
             std::replace(l.begin(), l.end(), std::string("TOTAL REFLECTANCE AND TRANSMITTANCE"),
                          std::string("TOTAL"));
         },
         0},
        {"empty file", [](auto& l) { l.clear(); }, 0},
    };
    for (const auto& c : cases) {
        auto lines = fileLines(good);
        c.spoil(lines);
        const auto loaded = parseInputLines(lines, "bad.dat", readerContext());
        ASSERT_FALSE(loaded.ok()) << c.name;
        EXPECT_EQ(loaded.error().file, "bad.dat");
        if (c.line) {
            EXPECT_EQ(loaded.error().line, c.line) << c.name << ": " << loaded.error().describe();
        }
    }
}

// The same project in a "ver 1.1" file and an unversioned one (the widget tests read them too);
// only 1.1 carries the power factor, the factor columns 2 and 3 with the direct marks and the
// calibration function.
std::vector<std::string> legacyFile(bool v11) {
    return fixtureLines(v11 ? "legacy_ver_1_1.dat" : "legacy_unversioned.dat");
}

TEST(OlderLayouts, EachReadsTheSettingsItCarriesOrWarns) {
    for (const bool v11 : {true, false}) {
        SCOPED_TRACE(v11 ? "ver 1.1" : "unversioned");
        // With the add-on: the "_tmp" suffix stays in old files all the same.
        const LoadedProject p = parse(legacyFile(v11), true);
        EXPECT_EQ(p.layout,
                  v11 ? LoadedProject::Layout::Version11 : LoadedProject::Layout::Unversioned);
        EXPECT_EQ(p.corruptedAfter, "");
        EXPECT_EQ(flags(p), ".1111");
        EXPECT_FALSE(p.factorsCarried);
        EXPECT_EQ(p.powerCarried, v11);
        EXPECT_EQ(p.allFactorSetsCarried, v11);
        EXPECT_EQ(p.functionsCarried,
                  v11 ? LoadedProject::Functions::FirstC12 : LoadedProject::Functions::None);
        ASSERT_TRUE(p.folders);
        EXPECT_EQ(p.statedFolders, *p.folders);
        EXPECT_EQ(*p.folders, (LegacyFolders{"/w/runs", "/w/nk", "/data/haze", "/w/cal", "/w/ext",
                                             "/w/Spectrum"}));
        // Every value read (the other-ADF block in group 1, where the page shows it), as the
        // current layout writes it.
        expectGoldenFile(build(afterLoading(p, p.values)),
                         v11 ? "legacy_ver_1_1_read.dat" : "legacy_unversioned_read.dat");
        EXPECT_FALSE(p.precisionCarried);
    }
    // A misplaced heading warns, and the reading goes on.
    auto lines = legacyFile(false);
    lines[3 + 14 - 1] = "HAZE";
    const LoadedProject p = parse(lines);
    EXPECT_EQ(p.corruptedAfter, "STRUCTURE");
    EXPECT_EQ(p.rows.size(), 3u);
    // The "ver 1.2" layout: no group count, one block starting at C + 70, the ADF2 lines one
    // further down; the file: a new project with external ADF2 files in both its blocks.
    const LoadedProject loaded = parse(fixtureLines("legacy_ver_1_2.dat"));
    EXPECT_EQ(loaded.layout, LoadedProject::Layout::Older);
    EXPECT_EQ(loaded.corruptedAfter, "");
    expectGoldenFile(build(afterLoading(loaded, newProject())), "legacy_ver_1_2_read.dat");
}

} // namespace
} // namespace lumetrix
