// Input files. The writer: whole projects against their golden files, then what those do not
// show. Reading: written files read back, what the reading sets besides the values, files that are
// wrong, and files of the older layouts ("ver 1.2", "ver 1.1", unversioned). Files as users edit
// them: names with unusual characters, loose numbers, huge comments.
#include "core/textfile.h"
#include "new_project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace lumetrix {
namespace {

using namespace test;

// What the round trip of the reader's tests cannot show: settings the file holds while their
// option is off, placeholders, separators and paths.
Project unreadSettings() {
    Project p = newProject();
    p.haze.eHazeSpecSpecifyInt = "1";
    p.refTrans.eRTSpecifInterface_adv = "2";
    p.refTrans.pbC21Scatt = "3.5"; // written all the same
    // Unused groups write one placeholder block with the numbers of group 1.
    p.adf.cbOtherADF = false;
    p.adf.groups.add();
    p.adf.groups.group(1).interfaces = "3";
    p.adf.groups.group(1).adf1.external = true;
    p.adf.groups.group(1).adf1.parameters = {2.5, 0.1, 1.0 / 3, 1e-6};
    // Coherent light writes fixed values.
    p.spectrum.pbRatio = "0.50";
    p.spectrum.rbSpecADFInternal = false;
    p.spectrum.cbADF1_Spekt = {2, "ADF1_Mo_back"};
    p.spectrum.pbSpectrLamb = "2.00";
    p.spectrum.pbSpectrEllipsis = "3.00";
    p.files.eDir_HRHT = "/data/haze";         // a full path stays as it is
    p.files.eDir_spk = "<WORKDIR>/Spectrum/"; // a separator only when the edit has one
    p.files.eOutFileDir = "/data/Out";
    p.comments = "first line\nsecond, with \xC3\xA9\r\n\r\nfourth";
    return p;
}

// No selection is item 0; empty ADF lists keep their headings and move the later sections up.
Project emptyLists() {
    Project p = newProject();
    p.adf.adf1.r.selected = -1;
    p.spectrum.rbCoherent = false;
    p.spectrum.cbADF1_Spekt.selected = -1;
    p.adf.adf1List.clear();
    p.adf.adf2List.clear();
    return p;
}

// Whole files, line by line: the new project, two projects with every setting away from its
// new-project value that between them take each alternative the file offers, and the two above.
// The round trip of the reader's tests cannot show a value written at the wrong place as long as
// the reader reads it from there; these files can.
TEST(InputFileWriter, ProjectsAreTheirGoldenFiles) {
    const std::tuple<Project, char, const char*> cases[] = {
        {newProject(), '.', "new_project.dat"},
        {richProject(4, 2), '.', "rich_project_4_rows.dat"},
        {richProject(9, 3), '.', "rich_project_9_rows.dat"},
        {unreadSettings(), ',', "unread_settings.dat"}, // general format with the separator
        {emptyLists(), '.', "empty_lists.dat"},
    };
    for (const auto& [project, separator, name] : cases) {
        std::vector<std::string> lines{"kept"}; // the writer appends to the lines it is given
        BuildInputFile(project, writerContext(separator), lines);
        EXPECT_EQ(lines.front(), "kept");
        expectGoldenFile({lines.begin() + 1, lines.end()}, name);
    }
}

// (A thickness and a roughness rounded to their columns: the 9-row golden file.)
TEST(InputFileWriter, LongNumbersAreRoundedToFitTheirColumns) {
    // text, room, separator, the text that fits or none
    const std::tuple<const char*, std::size_t, char, std::optional<std::string>> cases[] = {
        {"250", 16, '.', "250"},
        {"12345,678901234567", 16, ',', "12345,6789012346"},
        {"0.00000000000001", 16, '.', "0.00000000000001"},
        {"0.000000000000019", 16, '.', "0.00000000000002"},
        {"9999999.99999999999", 16, '.', "10000000"},
        {"123456789012345678", 16, '.', std::nullopt},
        {"not a number at all", 16, '.', std::nullopt},
    };
    for (const auto& [text, room, separator, expected] : cases)
        EXPECT_EQ(fitFieldText(text, room, separator), expected) << text;
}

TEST(InputFileWriter, ChecksWhatTheFileCannotHold) {
    Project p = newProject(); // the media's " " is never written
    p.structure.rows = withLayers({"ZnO\xC2\xB5", "Mo"}).structure.rows; // micro sign
    p.haze.cb_cR_HR = "HR\xE2\x80\xA6";                                  // ellipsis
    p.comments = "second, with \xC3\xA9\r\nthird";
    EXPECT_FALSE(checkProjectForFile(p, '.'));
    const std::pair<std::function<void(Project&)>, const char*> cases[] = {
        {[](Project& q) { q.structure.rows[2].layerFile = "B\xE2\x88\x9A"; }, "of layer 2"},
        {[](Project& q) { q.structure.rows[1].thickness = "123456789012345678"; },
         "thickness of layer 1"},
        {[](Project& q) { q.haze.eHazeSpecSpecifyInt = "\xE2\x88\x9E"; }, "transmission-only"},
        {[](Project& q) { q.comments = "arrow \xE2\x86\x92"; }, "comment"},
        {[](Project& q) { q.adf.groups.group(1).interfaces = "0, 1a2"; },
         "The interfaces of ADF interface group 1 \"0, 1a2\": \"1a2\" is not an interface number."},
        {[](Project& q) { q.comments = "a\n" + std::string(4097, 'b'); },
         "Comment line 2: the comment line is longer than 4096 characters"},
    };
    for (const auto& [set, named] : cases) {
        Project q = p;
        set(q);
        const auto problem = checkProjectForFile(q, '.');
        ASSERT_TRUE(problem) << named;
        EXPECT_NE(problem->reason.find(named), std::string::npos) << problem->reason;
    }
}

// A conversion that throws is the add-on's failure, not the save's: the full spectrum is written
// and told once (the other ways the add-on answers: the Spectrum page's tests).
TEST(InputFileWriter, ThrowingAddOnLeavesTheFullSpectrum) {
    Project p = newProject();
    p.spectrum.cbManually = true;
    WriterContext context = writerContext();
    context.addOnPresent = true;
    context.makeAm15File = [](const std::string&,
                              const std::string&) -> std::optional<std::string> {
        throw std::runtime_error("conversion failed");
    };
    std::vector<std::string> notes;
    context.note = [&](const std::string& text) { notes.push_back(text); };
    EXPECT_EQ(std::ranges::count(build(p, context), std::string("Spectrum: AM15")), 1);
    EXPECT_EQ(notes, std::vector<std::string>{"The spectrum range could not be applied (the add-on "
                                              "failed); the full spectrum \"AM15\" was written."});
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

const ReaderContext kContext = readerContext();

// A line of a fixture with `width` characters from a column on (0: the rest of the line)
// replaced by the text, padded with blanks to the width.
void replaceFrom(std::vector<std::string>& lines, int line, std::size_t column, std::string text,
                 std::size_t width = 0) {
    std::string& l = lines.at(static_cast<std::size_t>(line - 1));
    const std::size_t kept = std::min(l.size(), column - 1);
    text.resize(std::max(text.size(), width), ' ');
    l = l.substr(0, kept) + std::string(column - 1 - kept, ' ') + text +
        (width && l.size() > kept + width ? l.substr(kept + width) : "");
}

TEST(PathNames, OnlySlashesSeparateFolders) {
    auto current = fixtureLines("new_project.dat");
    replaceFrom(current, 180, 1, "/w/Out/run 10:30");
    current[11].replace(0, 5, "nk:v2");
    const auto loaded = parseInputLines(current, "a.dat", kContext);
    ASSERT_TRUE(loaded.ok()) << loaded.error().describe();
    EXPECT_EQ(loaded.value().values.files.eOutFileName, "run 10:30");
    EXPECT_EQ(loaded.value().rows.at(0).layerFile, "nk:v2");

    auto old = fixtureLines("legacy_ver_1_1.dat");
    replaceFrom(old, 155, 1, "C:\\runs\\run 10:30");
    const auto legacy = parseInputLines(old, "b.dat", kContext);
    ASSERT_TRUE(legacy.ok()) << legacy.error().describe();
    EXPECT_EQ(legacy.value().values.files.eOutFileName, "run 10:30");
    EXPECT_EQ(legacy.value().folders->outFileDir, "C:\\runs");
}

// A numeric field converts whole, within the range of the edit that shows it, or the file is
// refused naming the line and the setting.
TEST(LooseNumbers, ConvertWholeOrRefuse) {
    struct Case {
        int line;
        std::size_t column, width; // width 0: to the end of the line
        std::string text;
        const char* refusal; // nullptr: read as `shown`
        std::string shown;
        char decimal = '.';
    };
    const Case cases[] = {
        {13, 35, 17, "3x0", "the thickness of layer 1 \"3x0\" is not a number", ""},
        {13, 35, 17, "0x10", "the thickness of layer 1 \"0x10\" is not a number", ""},
        {13, 35, 17, "3,5", nullptr, "3.5"},
        {13, 35, 17, ".", "the thickness of layer 1 \".\" is not a number", ""},
        {13, 35, 17, "3.5", "the thickness of layer 1 \"3.5\" is not a number", "", ','},
        {13, 35, 17, "1,000.5", "the thickness of layer 1 \"1,000.5\" is not a number", ""},
        {13, 35, 17, "-5", "the thickness of layer 1 -5 is not between 0 and 10000000", ""},
        {13, 35, 17, "1e3", nullptr, "1000"},
        {13, 52, 14, "2.5x", "the number of segments of layer 1 \"2.5x\" is not a number", ""},
        {13, 52, 14, "2.5",
         "the number of segments of layer 1 2.5 is not a whole number between 1 and 1000", ""},
        {13, 52, 14, "1e9",
         "the number of segments of layer 1 1e9 is not a whole number between 1 and 1000", ""},
        {13, 66, 20, "", "the roughness of layer 1 \"\" is not a number", ""},
        {24, 65, 0, "0", "the C_factor 0 is not between 1E-6 and 9999999", ""},
        {49, 42, 0, "4 5", "the number of equivalent angles \"4 5\" is not a number", ""},
        // Counts and list positions are whole numbers within their range, never overflowing.
        {8, 16, 0, "1e12", "the row count 1e12 is not a whole number between 2 and 50", ""},
        {8, 16, 0, "51", "the row count 51 is not a whole number between 2 and 50", ""},
        {55, 9, 0, "-99999999999",
         "the ADF1 for T -99999999999 is not a whole number between 0 and 1000", ""},
        {56, 9, 0, "2.5", "the ADF1 for R 2.5 is not a whole number between 0 and 1000", ""},
        {171, 38, 0, "5", "the diffuse ratio 5 is not between 0 and 1", ""},
        {59, 37, 0, "1.0O", "the Lambertian power n for T \"1.0O\" is not a number", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.line) + ": " + c.text);
        auto lines = fixtureLines("cigs_example_resaved.dat");
        replaceFrom(lines, c.line, c.column, c.text, c.width);
        const auto loaded = parseInputLines(
            lines, "a.dat", {{c.decimal, c.decimal == '.' ? ',' : '.'}, "/w", false});
        if (!c.refusal) {
            ASSERT_TRUE(loaded.ok()) << loaded.error().describe();
            EXPECT_EQ(loaded.value().rows.at(1).thickness, c.shown);
            continue;
        }
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.error().line, c.line);
        EXPECT_EQ(loaded.error().reason, c.refusal);
    }
}

// A user who may not write the file gets the system's reason and the file stays. Run as
// another user when this is root, who may write anything.
TEST(Saving, ReadOnlyFileIsRefused) {
    const auto dir = scratch("lumetrix-save-locked");
    const auto file = dir / "locked.dat";
    ASSERT_EQ(writeTextFile(file.string(), {"old"}), std::nullopt);
    std::filesystem::permissions(file, std::filesystem::perms(0444));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        const auto refused = writeTextFile(file.string(), {"new"});
        ::_exit(!refused ? 1 : *refused == "Permission denied" ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: saved, 2: another reason, 3: no other user";
    EXPECT_EQ(readBytes(file), "old\r\n");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace lumetrix
