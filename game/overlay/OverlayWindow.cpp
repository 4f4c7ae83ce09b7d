#include "overlay/OverlayWindow.h"

#include "platform/SdlWindow.h"

namespace lumaroll {

WindowSize windowPoints(SDL_Window* window)
{
    WindowSize size;
    if (!window || (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED))
        return size;
    SdlWindow(window).size(size.width, size.height);
    return size;
}

WindowSize windowPixels(SDL_Window* window)
{
    WindowSize size;
    if (window)
        SdlWindow(window).drawableSize(size.width, size.height);
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
    return window && SdlWindow(window).fullscreen();
}

void setWindowFullscreen(SDL_Window* window, bool on)
{
    if (window)
        SdlWindow(window).setFullscreen(on);
}

void setWindowVsync(SDL_Window* window, bool on)
{
    if (window)
        SdlWindow(window).setVsync(on);
}

} // namespace lumaroll
