// The rows of the structure and the ADF groups.
#include "core/adf_groups.h"
#include "core/layer_rows.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

// The two media and layers A, B, ...: layer i with thickness 100 i and roughness i above it;
// the bottom medium with roughness 9 and the PV mark.
LayerRows stack(int layers) {
    LayerRows rows;
    rows.addRow();
    rows.addRow();
    for (int i = 1; i <= layers; ++i) {
        rows.addRow();
        LayerRow& layer = rows.rows()[static_cast<std::size_t>(i)];
        layer.layerFile = std::string(1, static_cast<char>('A' + i - 1));
        layer.thickness = std::to_string(100 * i);
        layer.roughness = std::to_string(i);
    }
    rows.rows().back().roughness = "9";
    rows.rows().back().pvActive = true;
    return rows;
}

// The rows from the top as name:identity ("_" for a blank layer).
std::string names(const LayerRows& rows) {
    std::string out;
    for (const LayerRow& r : rows.rows())
        out += (out.empty() ? "" : " ") + (r.layerFile == " " ? "_" : r.layerFile) + ":" +
               std::to_string(r.identity);
    return out;
}

// Whatever the operation: layers numbered 1 .. N from the top, each layer with its own
// thickness and the roughness above it, the media disabled and the PV mark on the bottom one.
void expectRowsInOrder(const LayerRows& rows) {
    const auto& all = rows.rows();
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        const LayerRow& r = all[i];
        const bool top = i == 0, bottom = i + 1 == all.size(), medium = top || bottom;
        EXPECT_EQ(r.number, medium ? "" : std::to_string(i));
        EXPECT_EQ(r.numberEnabled, !medium);
        EXPECT_EQ(r.thicknessEnabled, !medium);
        EXPECT_EQ(r.segmentsEnabled, !medium);
        EXPECT_EQ(r.pvActive, bottom);
        const int letter = r.layerFile[0] - 'A' + 1;
        const auto [thickness, roughness] =
            medium               ? std::pair<std::string, std::string>{" ", top ? "" : "9"}
            : r.layerFile == " " ? std::pair<std::string, std::string>{"0", "0"}
                                 : std::pair{std::to_string(100 * letter), std::to_string(letter)};
        EXPECT_EQ(r.thickness, thickness);
        EXPECT_EQ(r.roughness, roughness);
    }
}

TEST(LayerRows, OperationsMoveValuesAndIdentitiesUpToTheLimit) {
    enum Op { None, Add, Remove, AddAbove, Delete };
    struct Case {
        const char* name;
        int layers;
        Op op;
        int layer; // for AddAbove and Delete
        bool done;
        const char* rows; // name:identity
    };
    const Case cases[] = {
        {"two media", 0, None, 0, true, "air:1 air:2"},
        // A new row takes the bottom medium; the blank layer its old place.
        {"add to two media", 0, Add, 0, true, "air:1 _:2 air:3"},
        {"add", 2, Add, 0, true, "air:1 A:2 B:3 _:4 air:5"},
        // Removing exchanges identities: the bottom medium keeps the one it had.
        {"remove", 2, Remove, 0, true, "air:1 A:2 air:4"},
        {"remove from two media", 0, Remove, 0, true, "air:1 air:2"},
        // The inserted layer gets the new row count as identity.
        {"add above layer 1", 2, AddAbove, 1, true, "air:1 _:5 A:2 B:3 air:5"},
        {"add above layer 2", 2, AddAbove, 2, true, "air:1 A:2 _:5 B:3 air:5"},
        {"add above no layer", 2, AddAbove, 3, false, "air:1 A:2 B:3 air:4"},
        {"delete layer 1", 3, Delete, 1, true, "air:1 B:3 C:4 air:5"},
        {"delete layer 2", 3, Delete, 2, true, "air:1 A:2 C:4 air:5"},
        {"delete the last layer", 2, Delete, 2, true, "air:1 A:2 air:4"},
        {"delete layer 0", 1, Delete, 0, false, "air:1 A:2 air:3"},
        {"delete beyond the last layer", 1, Delete, 2, false, "air:1 A:2 air:3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LayerRows rows = stack(c.layers);
        bool done = true;
        if (c.op == Add)
            rows.addRow();
        else if (c.op == Remove)
            rows.removeRow();
        else if (c.op == AddAbove)
            done = rows.addLayerAbove(c.layer);
        else if (c.op == Delete)
            done = rows.deleteLayer(c.layer);
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(names(rows), c.rows);
        expectRowsInOrder(rows);
    }
    // New rows, the limit of 48 layers, and finding a row.
    LayerRows rows;
    rows.addRow();
    rows.addRow();
    EXPECT_EQ(rows.rows()[0].roughness, ""); // the top medium has no interface above it
    EXPECT_EQ(rows.rows()[1].roughness, "0");
    for (const LayerRow& r : rows.rows())
        EXPECT_EQ(r.segments, " ");
    rows.addRow();
    EXPECT_EQ(rows.rows()[1].segments, "1");
    EXPECT_EQ(rows.rows()[2].creationNumber, 3);
    rows = stack(LayerRows::kMaxLayers);
    EXPECT_FALSE(rows.addLayerAbove(1));
    ASSERT_EQ(rows.count(), 50);
    EXPECT_EQ(rows.rows()[48].number, "48");
    // findRow: the row of an identity, the first from the top, 0 for none.
    rows = stack(2);
    rows.rows()[3].identity = 2;
    EXPECT_EQ(std::vector({rows.findRow(2), rows.findRow(4)}), std::vector({2, 0}));
    rows.deleteLayer(1);
    EXPECT_EQ(rows.findRow(3), 2);
}

TEST(AdfGroupTable, DefaultGroupsTheLimitOfFifteenAndRemoving) {
    AdfGroupTable table;
    EXPECT_EQ(table.count(), 1);
    const AdfGroup& g = table.group(15);
    EXPECT_EQ(g.interfaces, "");
    EXPECT_FALSE(g.adf1.external);
    EXPECT_EQ(g.adf1.rChoice, "1");
    EXPECT_EQ(g.adf1.tFile, "ADF1T_unity");
    EXPECT_EQ(g.adf2.rFile, "ADF2R_unity");
    EXPECT_EQ(g.adf2.parameters, (std::array<double, 4>{1, 1, 1, 1}));
    for (int i = 2; i <= 15; ++i)
        EXPECT_EQ(table.add(), i);
    EXPECT_EQ(table.add(), 15);
    EXPECT_EQ(table.count(), 15);
    table.group(1).interfaces = "0,1";
    table.reset();
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.group(1), AdfGroup::defaults());
    const std::pair<int, int> counts[] = {{0, 1}, {1, 1}, {14, 14}, {15, 15}, {16, 15}, {40, 15}};
    for (const auto& [set, kept] : counts) {
        table.setCount(set);
        EXPECT_EQ(table.count(), kept) << set;
    }
    // Removing a group moves the later ones down.
    table.reset();
    table.add();
    table.add();
    for (int g = 1; g <= 3; ++g)
        table.group(g).interfaces = std::to_string(g);
    table.group(3).adf2.parameters[AdfSet::EllipseT] = 3.5;
    EXPECT_EQ(table.remove(2), 2); // group 2 stays selected
    EXPECT_EQ(table.count(), 2);
    EXPECT_EQ(table.group(2).interfaces, "3");
    EXPECT_EQ(table.group(2).adf2.parameters[AdfSet::EllipseT], 3.5);
    EXPECT_EQ(table.group(3), AdfGroup::defaults()); // the freed record is reset whole
    EXPECT_EQ(table.add(), 3);                       // and shows its defaults when added again
    EXPECT_EQ(table.group(3), AdfGroup::defaults());

    EXPECT_EQ(table.remove(3), 2); // the last selected group: the one before is selected
    EXPECT_EQ(table.remove(2), 1);
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.remove(1), 1); // one group: nothing happens
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.group(1).interfaces, "1");
}

} // namespace
} // namespace lumetrix
