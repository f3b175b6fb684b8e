// The folders, the result list that follows the output name, and the result files; the lines of
// the result graph: legend order, drawing order, palette, ids, old copies, and the layer lines
// following the rows of the structure.
#include "core/folders.h"
#include "core/graph_lines.h"
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

GraphLine points(const std::string& label, int n = 2) {
    GraphLine line{label, {}, {}};
    for (int i = 0; i < n; ++i) {
        line.x.push_back(300 + 10 * i);
        line.y.push_back(0.1 * i);
    }
    return line;
}

// The labels of the lines at the indices, of every line in legend order without them.
std::vector<std::string> labels(const GraphLines& g, std::vector<int> indices = {}) {
    if (indices.empty())
        for (int i = 0; i < g.count(); ++i)
            indices.push_back(i);
    std::vector<std::string> out;
    for (int i : indices)
        out.push_back(g.line(i).data.label);
    return out;
}

TEST(GraphLines, OnLineLinesGoOnTopAndAreDrawnOverTheOthers) {
    GraphLines g;
    const int table = g.addTableLine(points("G1"));
    EXPECT_EQ(table, kFirstOtherLine);
    EXPECT_TRUE(g.addOnLine(kReflectanceLine, points("R")));
    EXPECT_TRUE(g.addOnLine(kTransmittanceLine, points("T")));
    EXPECT_TRUE(g.addOnLine(2, points("CIGS")));
    EXPECT_FALSE(g.addOnLine(kTransmittanceLine, points("T again")));
    EXPECT_EQ(labels(g), (std::vector<std::string>{"CIGS", "T", "R", "G1"}));
    EXPECT_EQ(labels(g, g.drawingOrder()), (std::vector<std::string>{"G1", "R", "T", "CIGS"}));
    // Colours in the order the lines were made: red, blue, yellow, aqua.
    EXPECT_EQ(g.line(3).colour, kLinePalette[0]);
    EXPECT_EQ(g.line(2).colour, kLinePalette[1]);
    EXPECT_EQ(g.line(0).colour, kLinePalette[3]);
    // A table line is drawn last of all.
    g.addTableLine(points("G2"));
    EXPECT_EQ(labels(g, g.drawingOrder()).back(), "G2");
}

TEST(GraphLines, PaletteWrapsAndRestartsWhenTheMenuEmptiesTheGraph) {
    GraphLines g;
    for (int i = 0; i < 10; ++i)
        g.addTableLine(points("L" + std::to_string(i)));
    EXPECT_EQ(g.paletteIndex(), 0);
    const int eleventh = g.addTableLine(points("L10"));
    EXPECT_EQ(g.line(g.find(eleventh)).colour, kLinePalette[0]);
    EXPECT_EQ(g.nextId(), kFirstOtherLine - 11);
    // Removing a middle line moves the later ones up; the last slot's drawing place goes.
    EXPECT_TRUE(g.remove(kFirstOtherLine - 1));
    EXPECT_FALSE(g.remove(kFirstOtherLine - 1));
    EXPECT_EQ(g.line(1).data.label, "L2");
    EXPECT_EQ(g.drawingOrder().size(), 10u);
    while (!g.empty())
        g.remove(g.line(0).id);
    EXPECT_EQ(g.nextId(), kFirstOtherLine);
    EXPECT_EQ(g.paletteIndex(), 1);
    g.restartPaletteWhenEmpty();
    EXPECT_EQ(g.paletteIndex(), 0);
}

TEST(GraphLines, RenamingAnOnLineLineReleasesItsItem) {
    GraphLines g;
    g.addOnLine(kTransmittanceLine, points("T"));
    g.addOnLine(4, points("ZnO"));
    const struct {
        int index;
        std::string label;
        std::optional<int> item;
        int id;
    } cases[] = {{1, "T", std::nullopt, kTransmittanceLine}, // the same text changes nothing
                 {1, "T glass", 1, kFirstOtherLine},
                 {0, "ZnO front", 4, kFirstOtherLine - 1},
                 {0, "ZnO again", std::nullopt, kFirstOtherLine - 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(g.rename(c.index, c.label), c.item) << c.label;
        EXPECT_EQ(g.line(c.index).id, c.id) << c.label;
        EXPECT_EQ(g.line(c.index).data.label, c.label);
    }
}

TEST(GraphLines, OldCopiesAreDrawnUnderTheOnLineLinesAndCountedFromOneAfterClear) {
    GraphLines g;
    g.keepOldLines();
    EXPECT_EQ(g.oldCounter(), 1); // an empty graph keeps nothing
    g.addTableLine(points("G1"));
    g.addOnLine(kReflectanceLine, points("R", 3));
    g.addOnLine(kTransmittanceLine, points("T", 3));
    g.line(1).rightAxis = true;
    g.line(1).checked = g.line(1).visible = false;
    g.keepOldLines();
    EXPECT_EQ(labels(g), (std::vector<std::string>{"T", "R", "G1", "Old1 R", "Old1 T"}));
    EXPECT_EQ(labels(g, g.drawingOrder()),
              (std::vector<std::string>{"G1", "Old1 R", "Old1 T", "R", "T"}));
    const LineContent& oldR = g.line(3);
    EXPECT_EQ(oldR.colour, kLinePalette[1]);
    EXPECT_TRUE(oldR.rightAxis);
    EXPECT_FALSE(oldR.checked || oldR.visible);
    EXPECT_EQ(oldR.data.x.size(), 3u);
    EXPECT_FALSE(isOnLineId(oldR.id));
    // Each on-line line takes the palette colour after its copy's..
    EXPECT_EQ(g.line(1).colour, kLinePalette[4]);
    EXPECT_EQ(g.line(0).colour, kLinePalette[5]);
    EXPECT_EQ(g.oldCounter(), 2);
    g.keepOldLines();
    EXPECT_EQ(g.line(g.count() - 1).data.label, "Old2 T");
    g.clear();
    g.addOnLine(kReflectanceLine, points("R"));
    g.keepOldLines();
    EXPECT_EQ(g.line(1).data.label, "Old1 R");
}

TEST(GraphLines, LayerLinesFollowTheirRows) {
    GraphLines g;
    for (int id : {2, 3, 4})
        g.addOnLine(id, points("layer" + std::to_string(id)));
    g.addOnLine(kReflectanceLine, points("R"));
    // Row 3 was deleted: the old rows 2 and 4 now stand at positions 2 and 3, and a new row
    // (identity 0) was added at position 4.
    const std::vector<int> identity{0, 1, 2, 4, 0, 5};
    const std::vector<std::string> caption{"", "air", "ZnO", "CIGS", "Mo", "glass"};
    EXPECT_EQ(g.followRows(identity, caption), (std::vector<int>{3, 2}));
    EXPECT_EQ(labels(g), (std::vector<std::string>{"R", "CIGS", "ZnO"}));
    EXPECT_EQ(g.line(1).id, 3);
    EXPECT_EQ(g.line(2).id, 2);
    EXPECT_TRUE(g.line(1).data.x.empty());
    EXPECT_EQ(g.line(0).data.x.size(), 2u); // R keeps its points
}

TEST(GraphLines, TablePointsAndTheResizedTable) {
    const auto table =
        parseResultTable("lambda\tR\tT\n300\t0.1\t0.8\n310\t0.2\tx\n\n", 0, "f.rta").value();
    const auto line = tablePoints(table, 1, 2, 3); // the empty last line gives no point
    ASSERT_TRUE(line);
    EXPECT_EQ(line.value().x, (std::vector<double>{300, 310}));
    EXPECT_EQ(line.value().y, (std::vector<double>{0.1, 0.2}));
    const auto bad = tablePoints(table, 1, 3, 3);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().reason, "\"x\" in row 2, column 3 is not a number");
    // The on-line copy: one row and one column fewer, the same cells.
    const ResultTable copy = table.resized(table.rowCount() - 1, table.columnCount() - 1);
    EXPECT_EQ(copy.rowCount(), 3);
    EXPECT_EQ(copy.columnCount(), 3);
    EXPECT_EQ(copy.cell(2, 2), "0.2");
    EXPECT_EQ(copy.cell(2, 3), "");
    EXPECT_EQ(table.resized(9, 9).cell(8, 8), "");
}

} // namespace
} // namespace lumetrix
