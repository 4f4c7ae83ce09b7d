// What main shares with each level session: the window, its drawable size and
// the overlay.
#pragma once

struct SDL_Window;

namespace lumaroll {

class Overlay;

struct AppContext {
    SDL_Window* window = nullptr;
    int drawableWidth = 800;  // refreshed from SDL_GL_GetDrawableSize
    int drawableHeight = 480;
    Overlay* overlay = nullptr; // owned by main; none until the overlay is built
};

} // namespace lumaroll
