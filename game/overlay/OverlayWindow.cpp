#include "overlay/OverlayWindow.h"

namespace lumaroll {

WindowSize windowPoints(SDL_Window* window)
{
    WindowSize size;
    if (!window || (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED))
        return size;
    SDL_GetWindowSize(window, &size.width, &size.height);
    return size;
}

WindowSize windowPixels(SDL_Window* window)
{
    WindowSize size;
    if (window)
        SDL_GL_GetDrawableSize(window, &size.width, &size.height);
    return size;
}

float windowDisplayDpi(SDL_Window* window)
{
    float diagonal = 0.f;
    if (!window || SDL_GetDisplayDPI(SDL_GetWindowDisplayIndex(window), &diagonal, nullptr, nullptr) != 0)
        return 0.f;
    return diagonal;
}

bool windowIsFullscreen(SDL_Window* window)
{
    return window && (SDL_GetWindowFlags(window) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP)) != 0;
}

bool setWindowFullscreen(SDL_Window* window, bool on)
{
    return window && SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

} // namespace lumaroll
