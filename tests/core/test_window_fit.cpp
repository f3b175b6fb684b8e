#include "core/window_fit.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

TEST(WindowFit, ScalesToResolutionOrShortScreens) {
    struct Case {
        int width, height, ppi, screenHeight;
        WindowFit expected;
    };
    const Case cases[] = {
        {1017, 760, 96, 768, {860, 643, true}},   // 1017 / 768 * 650 = 860.7
        {1017, 760, 96, 770, {1017, 760, false}}, // 770 high or more: as designed
        {1017, 760, 96, 1080, {1017, 760, false}},
        {1011, 714, 120, 1080, {758, 535, true}}, // 1011 / 120 * 90 = 758.25
        {1011, 714, 144, 600, {631, 446, true}},  // the resolution rule comes first
        {1011, 714, 96, 600, {1095, 773, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitWindow(c.width, c.height, c.ppi, c.screenHeight), c.expected)
            << c.width << "x" << c.height << " at " << c.ppi << " ppi, screen " << c.screenHeight;
}

} // namespace
} // namespace lumetrix
