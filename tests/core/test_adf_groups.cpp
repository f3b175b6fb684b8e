#include "core/adf_groups.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

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
