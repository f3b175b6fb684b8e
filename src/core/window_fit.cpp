#include "core/window_fit.h"

#include <algorithm>

namespace lumetrix {

WindowFit fitWindow(int width, int height, int roomWidth, int roomHeight, int leastWidth,
                    int leastHeight) {
    // A screen that tells no size (0) leaves the designed size.
    const auto side = [](int designed, int room, int least) {
        return room > 0 ? std::max(std::min(designed, room), std::min(least, designed)) : designed;
    };
    return {side(width, roomWidth, leastWidth), side(height, roomHeight, leastHeight)};
}

} // namespace lumetrix
