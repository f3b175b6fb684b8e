#include "inputfile_writer.h"
#include "layer_rows.h"
#include "listing.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

WriterContext writerContext(char separator = '.') {
    WriterContext context;
    context.workDir = "/w";
    context.decimalSeparator = separator;
    return context;
}

Project newProject() {
    LayerRows rows;
    rows.addRow();
    rows.addRow();
    Project p;
    p.structure.rows = rows.rows();
    return p;
}

Project withLayers(std::initializer_list<const char*> names) {
    LayerRows rows;
    rows.addRow();
    rows.addRow();
    for (const char* name : names) {
        rows.addRow();
        rows.rows()[rows.count() - 2].layerFile = name;
    }
    Project p;
    p.structure.rows = rows.rows();
    return p;
}

std::vector<std::string> build(const Project& p) {
    std::vector<std::string> lines;
    BuildInputFile(p, writerContext(), lines);
    return lines;
}

TEST(InputFileWriter, NewProjectFirstTwentyLines) {
    const auto lines = build(newProject());
    const auto golden =
        readListingFile(std::string(LUMETRIX_TEST_DATA_DIR) + "/new_project_lines_1_20.dat");
    ASSERT_TRUE(golden.ok());
    ASSERT_GE(lines.size(), 20u);
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_EQ(lines[i], golden.value()[i]) << "line " << i + 1;
    EXPECT_EQ(lines[7], "No. of layers: 2");
    EXPECT_EQ(lines[9].size(), 100u);
    EXPECT_EQ(lines[11], "air" + std::string(31, ' ') + "x" + std::string(16, ' ') + "x" +
                             std::string(13, ' ') + "x" + std::string(19, ' ') + "0");
    EXPECT_EQ(lines[12], "air" + std::string(31, ' ') + "x" + std::string(16, ' ') + "x" +
                             std::string(13, ' ') + "0" + std::string(19, ' ') + "0");
}

TEST(InputFileWriter, ColumnsFollowTheNameWidth) {
    for (const std::size_t nameLength : {3u, 32u, 33u, 40u}) {
        Project p = withLayers({"CIGS"});
        p.structure.rows[1].layerFile = std::string(nameLength, 'n');
        const auto lines = build(p);
        const std::size_t w = std::max<std::size_t>(32, nameLength);
        const std::string& header = lines[9];
        EXPECT_EQ(header.size(), w + 68);
        EXPECT_EQ(header.find("Thickness"), w + 2) << nameLength; // column w + 3
        EXPECT_EQ(header.find("No of"), w + 19);
        EXPECT_EQ(header.find("rms"), w + 33);
        EXPECT_EQ(header.find("PV"), w + 53);
        for (const std::size_t rule : {5u, 11u, 13u + 3u}) // major, minor, major at 13 + C
            EXPECT_EQ(lines[rule - 1].size(), w + 68) << "line " << rule;
        const std::string& row = lines[12];
        EXPECT_EQ(row.size(), w + 54);
        EXPECT_EQ(row.substr(w + 2, 1), "0");  // thickness
        EXPECT_EQ(row.substr(w + 19, 1), "1"); // segments
        EXPECT_EQ(row.substr(w + 33, 1), "0"); // roughness
    }
}

TEST(InputFileWriter, FortyCharacterNameWidensEveryRule) {
    Project p = withLayers({"x"});
    p.structure.rows[1].layerFile = std::string(40, 'L');
    const auto lines = build(p);
    EXPECT_EQ(lines[4], std::string(108, '='));
    EXPECT_EQ(lines[10], std::string(108, '-'));
    EXPECT_EQ(lines[9].size(), 108u);
    EXPECT_EQ(lines[12].substr(0, 42), std::string(40, 'L') + "  ");
    EXPECT_EQ(lines[15], std::string(108, '=')); // line 13 + C
}

TEST(InputFileWriter, VoidRowsNeverWidenTheColumn) {
    Project p = withLayers({"", " "});
    const auto lines = build(p);
    EXPECT_EQ(lines[12], "void" + std::string(30, ' ') + "0" + std::string(16, ' ') + "1" +
                             std::string(13, ' ') + "0" + std::string(19, ' ') + "0");
    EXPECT_EQ(lines[13].substr(0, 34), "void" + std::string(30, ' '));
    EXPECT_EQ(lines[9].size(), 100u);
}

TEST(InputFileWriter, PvMarkAndTopRoughness) {
    Project p = withLayers({"CIGS"});
    p.structure.rows[1].pvActive = true;
    p.structure.rows[0].roughness = "5"; // never written: the top medium has no roughness
    const auto lines = build(p);
    EXPECT_EQ(lines[12].back(), '1');
    EXPECT_EQ(lines[11].substr(34 + 17 + 14, 20), "x" + std::string(19, ' '));
    EXPECT_EQ(lines[13].back(), '0');
}

TEST(InputFileWriter, IncoherencyFactorsStartAtTheirColumns) {
    Project p = withLayers({"A", "B"});
    p.structure.pbIfactor = "1";
    p.structure.pbCfactor = "2.5";
    const auto lines = build(p);
    const std::size_t c = 4;
    EXPECT_EQ(lines[14 + c - 1], "LAYER INCOHERENCY CONDITIONS");
    EXPECT_EQ(lines[16 + c - 1],
              "Incoherent thickness factor (multiplication of the initial d_incoh): 1");
    EXPECT_EQ(lines[16 + c - 1].substr(69), "1");
    EXPECT_EQ(lines[17 + c - 1].substr(64), "2.5");
    EXPECT_EQ(lines[18 + c - 1], "");
    EXPECT_EQ(lines[20 + c - 1], "HAZE PARAMETERS"); // the next section begins at 19 + C
}

TEST(InputFileWriter, BuildAppendsWithoutClearing) {
    std::vector<std::string> lines;
    BuildInputFile(newProject(), writerContext(), lines);
    const auto once = lines;
    BuildInputFile(newProject(), writerContext(), lines);
    ASSERT_EQ(lines.size(), 2 * once.size());
    EXPECT_TRUE(
        std::equal(once.begin(), once.end(), lines.begin() + static_cast<long>(once.size())));
}

TEST(InputFileWriter, LongNumbersAreRoundedToFitTheirColumns) {
    struct Case {
        const char* text;
        std::size_t room;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"250", 16, "250"},
        {"12345.678901234567", 16, "12345.6789012346"},
        {"10000.12345678901234", 19, "10000.1234567890123"},
        {"0.00000000000001", 16, "0.00000000000001"},
        {"0.000000000000019", 16, "0.00000000000002"},
        {"9999999.99999999999", 16, "10000000"},
        {"123456789012345678", 16, std::nullopt},
        {"not a number at all", 16, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitFieldText(c.text, c.room, '.'), c.expected) << c.text;
    EXPECT_EQ(fitFieldText("12345,678901234567", 16, ','), "12345,6789012346");

    Project p = withLayers({"A"});
    p.structure.rows[1].thickness = "12345.678901234567";
    p.structure.rows[1].roughness = "10000.12345678901234";
    const auto lines = build(p);
    EXPECT_EQ(lines[12].substr(34, 17), "12345.6789012346 ");
    EXPECT_EQ(lines[12].substr(34 + 17 + 14, 20), "10000.1234567890123 ");
}

TEST(InputFileWriter, ChecksWhatTheFileCannotHold) {
    EXPECT_FALSE(checkProjectForFile(withLayers({"CIGS", "ZnO\xC2\xB5"}), '.')); // µ is in the set
    const auto sqrt = checkProjectForFile(withLayers({"A", "B\xE2\x88\x9A"}), '.');
    ASSERT_TRUE(sqrt);
    EXPECT_NE(sqrt->find("row 3"), std::string::npos);
    Project huge = withLayers({"A"});
    huge.structure.rows[1].thickness = "123456789012345678";
    const auto tooLong = checkProjectForFile(huge, '.');
    ASSERT_TRUE(tooLong);
    EXPECT_NE(tooLong->find("thickness of row 2"), std::string::npos);
    EXPECT_FALSE(checkProjectForFile(newProject(), '.')); // the media's " " is never written
}

} // namespace
} // namespace lumetrix
