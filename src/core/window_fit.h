#pragma once

namespace lumetrix {

struct WindowFit {
    int width;
    int height;
    bool operator==(const WindowFit&) const = default;
};

// The size a window of the designed size opens at on a screen whose free area (less the
// window's frame) is roomWidth x roomHeight: as designed where the area holds it, otherwise as
// much of each side as the area holds (the pages then scroll), never below the least size.
WindowFit fitWindow(int width, int height, int roomWidth, int roomHeight, int leastWidth,
                    int leastHeight);

} // namespace lumetrix
