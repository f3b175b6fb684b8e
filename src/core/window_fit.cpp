#include "core/window_fit.h"

namespace lumetrix {

WindowFit fitWindow(int width, int height, int pixelsPerInch, int screenHeight) {
    if (pixelsPerInch != 96 && pixelsPerInch > 0)
        return {static_cast<int>(static_cast<double>(width) / pixelsPerInch * 90),
                static_cast<int>(static_cast<double>(height) / pixelsPerInch * 90), true};
    if (screenHeight < 770 && screenHeight > 0)
        return {static_cast<int>(static_cast<double>(width) / screenHeight * 650),
                static_cast<int>(static_cast<double>(height) / screenHeight * 650), true};
    return {width, height, false};
}

} // namespace lumetrix
