// The folders, the result list that follows the output name, and the result files.
#include "core/folders.h"
#include "core/result_files.h"
#include "core/result_list.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

TEST(Folders, DefaultsLieUnderTheWorkingFolderAndResultsFollowTheOutputName) {
    const FolderSettings f = FolderSettings::defaults("/opt/lx");
    EXPECT_EQ(
        (std::vector{f.WorkDir, f.LayerFileDir, f.CalibrationDir, f.HazeFileDir, f.ExternalAdfDir,
                     f.SpectrumDir, f.OutFileDir, f.ListDir, f.InputFileDir}),
        (std::vector<std::string>{"/opt/lx", "/opt/lx/nk", "/opt/lx/cT_cR", "/opt/lx/HT_HR",
                                  "/opt/lx/ADF_external", "/opt/lx/Spectrum", "/opt/lx/Out",
                                  "/opt/lx/List", "/opt/lx/in"}));
    EXPECT_EQ(f.OutFileName, "LXOut");
    EXPECT_EQ(FolderSettings::defaults("/").ListDir, "/List");
    EXPECT_EQ(
        resultListEntries("run1"),
        (std::vector<std::string>{"OnLine results as selected below", "run1.rta", "run1_Spec.rta",
                                  "run1_Dif.rta", "run1.GL", "run1.jph", "run1.jsc", "run1_R.adf",
                                  "run1_T.adf", "run1.hrt", "IMPORT results..."}));
}

TEST(Folders, MarkerDisplayExpansionBrowseStartAndPathPieces) {
    struct Case {
        const char* path;
        const char* shown;
    };
    const Case cases[] = {
        {"/opt/lx/nk2", "<WORKDIR>/nk2"},
        {"/opt/lx", "<WORKDIR>"},
        {"/home/me/nk", "/home/me/nk"},
        {"/OPT/lx/nk", "/OPT/lx/nk"}, // letter case counts
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toWorkDirDisplay(c.path, "/opt/lx"), c.shown) << c.path;
        EXPECT_EQ(expandWorkDir(c.shown, "/opt/lx"), c.path) << c.shown;
    }
    EXPECT_EQ(expandWorkDir("/a/<WORKDIR>/b", "/w"), "/a/<WORKDIR>/b"); // only at the start
    EXPECT_EQ(browseStartFolder("<WORKDIR>/Out", "/w"), "/w/Out/");
    EXPECT_EQ(browseStartFolder("/data/Out", "/w"), "/data/Out");
    EXPECT_EQ(withoutTrailingSeparator("<WORKDIR>/Out/"), "<WORKDIR>/Out");
    EXPECT_EQ(withoutTrailingSeparator("C:\\Out\\"), "C:\\Out");
    EXPECT_EQ(withoutTrailingSeparator("/a/b"), "/a/b");
    EXPECT_EQ(lastPathComponent("<WORKDIR>/runs/Out7"), "Out7");
    EXPECT_EQ(lastPathComponent("D:\\sim\\Out7"), "Out7");
    EXPECT_EQ(lastPathComponent("Out7"), "Out7");
    EXPECT_EQ(joinPath("/w/", "nk"), "/w/nk");
    EXPECT_EQ(joinPath("<WORKDIR>", "Out"), "<WORKDIR>/Out");
}

// The table as rows of cells, column 0 included.
std::vector<std::vector<std::string>> cells(const ResultTable& t) {
    std::vector<std::vector<std::string>> out(static_cast<std::size_t>(t.rowCount()));
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < t.columnCount(); ++c)
            out[static_cast<std::size_t>(r)].push_back(t.cell(r, c));
    return out;
}

using Rows = std::vector<std::vector<std::string>>;

TEST(ResultFiles, TablesAsThePageShowsThem) {
    const std::vector<std::string> empty10(10);
    // name, text, lines above the header, the cells
    const std::tuple<const char*, std::string, int, Rows> cases[] = {
        {"TAB lines ending in TABs and blanks",
         "lambda\tR\tT\r\n300\t0.1\t0.2\t \t\r\n310\t0.3 \t0.4\t\r\n",
         0,
         {{"", "lambda", "R", "T"}, {"1", "300", "0.1", "0.2"}, {"2", "310", "0.3", "0.4"}}},
        {"TAB cells keep their inner blanks",
         "Item\tJph total (mA/cm2)\n Total of the PV-active layers \t 1.5\n",
         0,
         {{"", "Item", "Jph total (mA/cm2)"}, {"1", "Total of the PV-active layers", "1.5"}}},
        {"four lines above the header",
         "a\nb\nc\nd\nx\ty\n1\t2\n",
         4,
         {{"", "x", "y"}, {"1", "1", "2"}}},
        {"fixed width with leading blanks",
         "  lambda    R        T\n   300.0  0.125  0.5\n   310.0  0.250  0.75\n",
         0,
         {{"", "lambda", "R", "T"},
          {"1", "300.0", "0.125", "0.5"},
          {"2", "310.0", "0.250", "0.75"}}},
        {"fixed width: the last value has no trailing blank",
         "x y\n1 22\n3 456",
         0,
         {{"", "x", "y"}, {"1", "1", "22"}, {"2", "3", "456"}}},
        {"one column", "wl\n300\n", 0, {{"", "wl"}, {"1", "300"}}},
        {"header only: the cleared table", "lambda\tR\n", 0, Rows(2, empty10)},
        {"no lines", "", 0, {{"", ""}, {"", ""}}},
    };
    for (const auto& [name, text, skip, expected] : cases) {
        const auto table = parseResultTable(text, skip, "r.rta");
        ASSERT_TRUE(table.ok()) << name;
        EXPECT_EQ(cells(table.value()), expected) << name;
    }
    const auto shortFile = parseResultTable("a\nb\n", 4, "r.GL");
    ASSERT_FALSE(shortFile.ok());
    EXPECT_EQ(shortFile.error().describe(), "r.GL, line 2: the file ends before its header line 5");
    // An imported file skips its header lines by its name.
    for (const auto& [name, skip] : std::vector<std::pair<std::string, int>>{
             {"run.Gl", 4}, {"run.GL", 0}, {"run.jph", 4}, {"run.rta", 0}, {"Gl", 4}, {"l", 0}})
        EXPECT_EQ(importHeaderSkip(name), skip) << name;
}

TEST(ResultFiles, TotalsPerItemAndTheirEnd) {
    EXPECT_EQ(totalsPath("/o/LXOut.rta"), "/o/LXOut_Sum.jsc");
    // Three items: lines 4 to 6, the total on line 8.
    const std::string good = "h\nh\nh\n1.5\tR\n2\tT\n30.25\tCIGS\nx\n33.75\ttotal\n";
    const auto totals = parseJscTotals(good, 3, "s.jsc");
    ASSERT_TRUE(totals.ok()) << totals.error().describe();
    EXPECT_EQ(totals.value().items, (std::vector<double>{1.5, 2, 30.25}));
    EXPECT_EQ(totals.value().total, 33.75);

    const struct {
        std::string text;
        int items;
        const char* error;
    } bad[] = {
        {good, 5, "s.jsc, line 7: \"x\" is not a number followed by a TAB"},
        {"h\nh\nh\n1\tR\n", 2,
         "s.jsc, line 5: the file ends before the photocurrent of line 5 (2 on-line items need 7 "
         "lines)"},
        {"h\nh\nh\n1.5\n", 1, "s.jsc, line 4: \"1.5\" is not a number followed by a TAB"},
    };
    for (const auto& b : bad) {
        const auto refused = parseJscTotals(b.text, b.items, "s.jsc");
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error().describe(), b.error);
    }
}

TEST(ResultFiles, GraphDataFile) {
    const std::vector<GraphLine> lines = {{"R", {300, 310, 320}, {0.1, 0.2, 0.3}},
                                          {"A2", {300, 310, 320, 330, 340}, {1, 2, 3, 4, 0.5}}};
    EXPECT_EQ(graphDataLines(lines, ','),
              (std::vector<std::string>{"R_X\tR_Y\tA2_X\tA2_Y\t", "300\t0,1\t300\t1\t",
                                        "310\t0,2\t310\t2\t", "320\t0,3\t320\t3\t", "\t\t330\t4\t",
                                        "\t\t340\t0,5\t"}));
    EXPECT_EQ(graphDataLines({}, '.'), std::vector<std::string>{""});
}

} // namespace
} // namespace lumetrix
