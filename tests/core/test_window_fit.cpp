#include "core/window_fit.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

TEST(WindowFit, ScalesToResolutionOrShortScreens) {
    // width, height, ppi, screen height, the fit
    const std::tuple<int, int, int, int, WindowFit> cases[] = {
        {1017, 760, 96, 768, {860, 643, true}},   // 1017 / 768 * 650 = 860.7
        {1017, 760, 96, 770, {1017, 760, false}}, // 770 high or more: as designed
        {1017, 760, 96, 1080, {1017, 760, false}},
        {1011, 714, 120, 1080, {758, 535, true}}, // 1011 / 120 * 90 = 758.25
        {1011, 714, 144, 600, {631, 446, true}},  // the resolution rule comes first
        {1011, 714, 96, 600, {1095, 773, true}},
    };
    for (const auto& [width, height, ppi, screen, expected] : cases)
        EXPECT_EQ(fitWindow(width, height, ppi, screen), expected)
            << width << "x" << height << " at " << ppi << " ppi, screen " << screen;
}

} // namespace
} // namespace lumetrix
