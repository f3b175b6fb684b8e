#pragma once

namespace lumetrix {

struct WindowFit {
    int width;
    int height;
    bool sizeable; // false: the designed size with a fixed border
    bool operator==(const WindowFit&) const = default;
};

// Fits the designed window to the screen: at a logical resolution other than 96 pixels per
// inch both sides are scaled by 90 / resolution; on a primary screen under 770 pixels high by
// 650 / screen height; both truncated, and the border becomes sizeable.
WindowFit fitWindow(int width, int height, int pixelsPerInch, int screenHeight);

} // namespace lumetrix
