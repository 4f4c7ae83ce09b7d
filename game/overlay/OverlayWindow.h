// The overlay's only calls on the SDL window: sizes and the fullscreen state
// through the game's window seam (platform/SdlWindow.h), and the display's
// DPI, which the seam does not offer.
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

// Desktop fullscreen on, or back to windowed.
void setWindowFullscreen(SDL_Window* window, bool on);

// Presents wait for the display's refresh (swap interval 1) or not (0).
void setWindowVsync(SDL_Window* window, bool on);

} // namespace lumaroll
