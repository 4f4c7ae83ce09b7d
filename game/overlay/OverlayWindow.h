// The overlay's only calls on the SDL window: sizes, the display's DPI and
// the fullscreen state. Kept in one place so the overlay can move to the
// game's window seam by changing this file alone.
#pragma once

#include <SDL.h>

namespace lumaroll {

struct WindowSize {
    int width = 0;
    int height = 0;
};

// Window size in points; (0, 0) for a minimized window or no window.
WindowSize windowPoints(SDL_Window* window);

// Drawable size in pixels; (0, 0) for no window.
WindowSize windowPixels(SDL_Window* window);

// Diagonal DPI of the window's display; 0 when SDL cannot tell.
float windowDisplayDpi(SDL_Window* window);

// True when the window is fullscreen (exclusive or desktop).
bool windowIsFullscreen(SDL_Window* window);

// Desktop fullscreen on, or back to windowed; false when SDL refused.
bool setWindowFullscreen(SDL_Window* window, bool on);

} // namespace lumaroll
