#include "core/layer_rows.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

LayerRows newStructure() {
    LayerRows rows;
    rows.addRow();
    rows.addRow();
    return rows;
}

// A structure with the named layers, each with its own thickness and roughness.
LayerRows stack(std::initializer_list<const char*> names) {
    LayerRows rows = newStructure();
    int i = 1;
    for (const char* name : names) {
        rows.addRow();
        LayerRow& layer = rows.rows()[rows.count() - 2];
        layer.layerFile = name;
        layer.thickness = std::to_string(100 * i);
        layer.roughness = std::to_string(i);
        ++i;
    }
    return rows;
}

std::vector<std::string> names(const LayerRows& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows.rows())
        out.push_back(r.layerFile);
    return out;
}

std::vector<std::string> numbers(const LayerRows& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows.rows())
        out.push_back(r.number);
    return out;
}

using Strings = std::vector<std::string>;

TEST(LayerRows, NewStructureHasTwoMedia) {
    const LayerRows rows = newStructure();
    ASSERT_EQ(rows.count(), 2);
    for (const LayerRow& r : rows.rows()) {
        EXPECT_EQ(r.layerFile, "air");
        EXPECT_EQ(r.thickness, " ");
        EXPECT_FALSE(r.thicknessEnabled);
        EXPECT_EQ(r.segments, " ");
        EXPECT_FALSE(r.segmentsEnabled);
        EXPECT_EQ(r.number, "");
        EXPECT_FALSE(r.numberEnabled);
        EXPECT_FALSE(r.pvActive);
    }
    EXPECT_EQ(rows.rows()[0].roughness, "");
    EXPECT_EQ(rows.rows()[1].roughness, "0");
    EXPECT_EQ(rows.rows()[0].identity, 1);
    EXPECT_EQ(rows.rows()[1].identity, 2);
}

TEST(LayerRows, AddPutsABlankLayerAboveTheBottomMedium) {
    LayerRows rows = newStructure();
    rows.rows()[1].roughness = "7";
    rows.rows()[1].pvActive = true;
    rows.addRow();
    ASSERT_EQ(rows.count(), 3);
    const LayerRow& layer = rows.rows()[1];
    EXPECT_EQ(layer.layerFile, " ");
    EXPECT_EQ(layer.thickness, "0");
    EXPECT_TRUE(layer.thicknessEnabled);
    EXPECT_EQ(layer.segments, "1");
    EXPECT_EQ(layer.roughness, "0");
    EXPECT_FALSE(layer.pvActive);
    EXPECT_EQ(layer.number, "1");
    EXPECT_TRUE(layer.numberEnabled);
    const LayerRow& bottom = rows.rows()[2];
    EXPECT_EQ(bottom.layerFile, "air");
    EXPECT_EQ(bottom.roughness, "7"); // the interface above the bottom medium stays with it
    EXPECT_TRUE(bottom.pvActive);
    EXPECT_FALSE(bottom.thicknessEnabled);
    EXPECT_EQ(bottom.number, "");
    // Adding keeps identities in place: row 2 was created second, row 3 third.
    EXPECT_EQ(layer.identity, 2);
    EXPECT_EQ(bottom.identity, 3);
}

TEST(LayerRows, RemoveMovesTheBottomMediumUp) {
    LayerRows rows = stack({"A", "B"});
    rows.rows()[3].roughness = "9";
    rows.removeRow();
    EXPECT_EQ(names(rows), (Strings{"air", "A", "air"}));
    EXPECT_EQ(rows.rows()[2].roughness, "9");
    EXPECT_EQ(numbers(rows), (Strings{"", "1", ""}));
    // Removing exchanges identities: the bottom medium keeps the one it had.
    EXPECT_EQ(rows.rows()[2].identity, 4);
    rows.removeRow();
    rows.removeRow(); // never below the two media
    EXPECT_EQ(rows.count(), 2);
}

TEST(LayerRows, AddLayerAboveTheFirstLayer) {
    LayerRows rows = stack({"A", "B"});
    ASSERT_TRUE(rows.addLayerAbove(1));
    EXPECT_EQ(names(rows), (Strings{"air", " ", "A", "B", "air"}));
    EXPECT_EQ(numbers(rows), (Strings{"", "1", "2", "3", ""}));
    EXPECT_EQ(rows.rows()[1].identity, 5); // the new row count
    EXPECT_EQ(rows.rows()[2].thickness, "100");
    EXPECT_EQ(rows.rows()[2].roughness, "1"); // A keeps the roughness above it
    EXPECT_EQ(rows.rows()[1].roughness, "0");
    EXPECT_EQ(rows.rows()[2].identity, 2);
    EXPECT_EQ(rows.rows()[3].identity, 3);
}

TEST(LayerRows, DeleteTheFirstOfThreeLayers) {
    LayerRows rows = stack({"A", "B", "C"});
    ASSERT_TRUE(rows.deleteLayer(1));
    EXPECT_EQ(names(rows), (Strings{"air", "B", "C", "air"}));
    EXPECT_EQ(numbers(rows), (Strings{"", "1", "2", ""}));
    EXPECT_EQ(rows.rows()[1].roughness, "2"); // B keeps the roughness between A and B
    EXPECT_EQ(rows.rows()[1].thickness, "200");
    EXPECT_EQ(rows.rows()[1].identity, 3);
    EXPECT_EQ(rows.rows()[2].identity, 4);
    EXPECT_EQ(rows.findRow(3), 2);
    EXPECT_EQ(rows.findRow(2), 0); // A is gone
}

TEST(LayerRows, DeleteTheLastLayer) {
    LayerRows rows = stack({"A", "B"});
    ASSERT_TRUE(rows.deleteLayer(2));
    EXPECT_EQ(names(rows), (Strings{"air", "A", "air"}));
    EXPECT_FALSE(rows.deleteLayer(2)); // only one layer left
    EXPECT_FALSE(rows.deleteLayer(0));
}

TEST(LayerRows, AddAboveStopsAtFortyEightLayers) {
    LayerRows rows = newStructure();
    for (int i = 0; i < LayerRows::kMaxLayers; ++i)
        rows.addRow();
    EXPECT_EQ(rows.layers(), 48);
    EXPECT_FALSE(rows.addLayerAbove(1));
    EXPECT_EQ(rows.count(), 50);
    EXPECT_EQ(rows.rows()[48].number, "48");
}

TEST(LayerRows, FindRowReturnsTheFirstFromTheTop) {
    LayerRows rows = stack({"A", "B"});
    rows.rows()[3].identity = 2;
    EXPECT_EQ(rows.findRow(2), 2);
    EXPECT_EQ(rows.findRow(99), 0);
}

} // namespace
} // namespace lumetrix
