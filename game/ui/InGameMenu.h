// STAND-IN for the in-game menu: it keeps its page and volume flag but shows
// nothing and never opens without the menu atlases. The game menus (in-game
// menu) replace it with this interface.
#pragma once

#include <SDL.h>

namespace lumaroll {

class UiRenderer;

class InGameMenu {
public:
    // Open while the page is 0 or more.
    bool isOpen() const { return page != -1; }
    // Page 0, nothing selected: the session opens the menu (keys, background).
    void open() { page = 0; }
    void close() { page = -1; }
    // An event while the menu is open: (event, renderer, drawable height,
    // closed set when the menu closed itself); returns the action code for
    // the session's menu action, 0 for none.
    int handleEvent(const SDL_Event&, UiRenderer&, int, bool&) { return 0; }
    // Draws the open menu; nothing when closed. Called every frame.
    void draw(UiRenderer&) {}

    // -1 closed, 0 main page, 1 help: written by the menu and by open/close,
    // read by the session's pause rule and event routing.
    int page = -1;
    // The volume item's state: written by the menu, read by the session when
    // it carries out the volume action.
    bool volumeOn = true;
};

} // namespace lumaroll
