#include "core/window_fit.h"

#include <gtest/gtest.h>

namespace lumetrix {
namespace {

TEST(WindowFit, DesignedSizeWhereTheScreenHoldsItElseTheRoom) {
    // designed, room, least, the fit
    const struct {
        int width, height, roomWidth, roomHeight, leastWidth, leastHeight;
        WindowFit fit;
    } cases[] = {
        {1011, 760, 1904, 1040, 640, 480, {1011, 760}}, // 1920 x 1080: as designed
        {1011, 760, 1264, 680, 640, 480, {1011, 680}},  // 1280 x 720: the height of the room
        {1011, 760, 1350, 728, 640, 480, {1011, 728}},  // 1366 x 768
        {1011, 760, 1011, 760, 640, 480, {1011, 760}},  // just enough
        {1011, 760, 800, 400, 640, 480, {800, 480}},    // never below the least size
        {1011, 760, 0, 0, 640, 480, {1011, 760}},       // a screen of unknown size
        {600, 400, 500, 300, 640, 480, {600, 400}},     // the least never above the designed
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            fitWindow(c.width, c.height, c.roomWidth, c.roomHeight, c.leastWidth, c.leastHeight),
            c.fit)
            << c.width << "x" << c.height << " in " << c.roomWidth << "x" << c.roomHeight;
}

} // namespace
} // namespace lumetrix
