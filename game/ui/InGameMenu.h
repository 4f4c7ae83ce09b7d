// STAND-IN for the in-game menu: it keeps its page and volume flag but shows
// nothing and never opens without the menu atlases. Replaced by the game menus.
#pragma once

#include <SDL.h>

namespace lumaroll {

class UiRenderer;

class InGameMenu {
public:
    bool isOpen() const { return page != -1; }
    void open() { page = 0; }
    void close() { page = -1; }
    // Returns the action code of the event (0 none).
    int handleEvent(const SDL_Event&, UiRenderer&, int, bool&) { return 0; }
    void draw(UiRenderer&) {}

    int page = -1; // -1 closed
    bool volumeOn = true;
};

} // namespace lumaroll
