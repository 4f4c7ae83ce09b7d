// The overlay's reading of the window seam (platform/Window.h) for its
// layout: the size in points, none while the window is minimised, and the
// drawable's size in pixels. Both are (0, 0) for no window.
#pragma once

#include "platform/Window.h"

namespace lumaroll {

struct WindowSize {
    int width = 0;
    int height = 0;
};

// Window size in points; (0, 0) for a minimised window or no window.
WindowSize windowPoints(Window* window);

// Drawable size in pixels; (0, 0) for no window.
WindowSize windowPixels(Window* window);

} // namespace lumaroll
