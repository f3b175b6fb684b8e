// The writer: whole projects against their golden files, then what those do not show.
#include "new_project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

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
    p.adf.groups.group(1).interfaces = "0\xE2\x80\xA6";                  // ellipsis
    p.comments = "second, with \xC3\xA9\r\nthird";
    EXPECT_EQ(checkProjectForFile(p, '.').value_or("none"), "none");
    const std::pair<std::function<void(Project&)>, const char*> cases[] = {
        {[](Project& q) { q.structure.rows[2].layerFile = "B\xE2\x88\x9A"; }, "of layer 2"},
        {[](Project& q) { q.structure.rows[1].thickness = "123456789012345678"; },
         "thickness of layer 1"},
        {[](Project& q) { q.haze.eHazeSpecSpecifyInt = "\xE2\x88\x9E"; }, "transmission-only"},
        {[](Project& q) { q.comments = "arrow \xE2\x86\x92"; }, "comment"},
        {[](Project& q) { q.comments = "a\n" + std::string(4097, 'b'); },
         "Comment line 2: the comment line is longer than 4096 characters"},
    };
    for (const auto& [set, named] : cases) {
        Project q = p;
        set(q);
        const auto problem = checkProjectForFile(q, '.');
        ASSERT_TRUE(problem) << named;
        EXPECT_NE(problem->find(named), std::string::npos) << *problem;
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

} // namespace
} // namespace lumetrix
