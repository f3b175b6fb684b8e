// The lines of the result graph: legend order, drawing order, palette, ids, old copies, and
// the layer lines following the rows of the structure.
#include "core/graph_lines.h"

#include <gtest/gtest.h>

using namespace lumetrix;

namespace {

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

} // namespace

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
