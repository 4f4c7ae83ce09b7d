// The buttons that count as the level logic's "lmouse" key: the left mouse
// button, Space, keypad 5 and keypad 0. Only presses that reach the game
// count (not those the overlay or the in-game menu took), so a click in a
// menu never completes a script's wait for a key; releases count wherever
// they go, so no button stays held.
#pragma once

#include <SDL.h>

namespace lumaroll {

class ActionButtons {
public:
    // Every event, before it is routed anywhere: a release of one of the buttons.
    void release(const SDL_Event& event);
    // An event that reached the game's own handling: a press of one of the buttons.
    void press(const SDL_Event& event);
    // Lets go of everything (focus lost).
    void clear() { heldBits = 0; }
    // Whether any of the buttons is held now; the session reads it each frame for "lmouse".
    bool held() const { return heldBits != 0; }

private:
    // Bit per button: 1 mouse, 2 Space, 4 keypad 5, 8 keypad 0.
    static unsigned bitOf(const SDL_Event& event);
    unsigned heldBits = 0;
};

} // namespace lumaroll
