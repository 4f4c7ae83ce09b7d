// The menu's touch gesture: a tap of three or more fingers on one touch
// screen. The fingers are counted from the events rather than asked of the
// system: it knows the fingers down now, and a quick tap may be read in one
// batch after its fingers have lifted, or while the next tap's are already
// down. A tap toggles once, when its third finger comes down; the toggle is
// armed again once every finger of every screen is up.
#pragma once

#include <SDL.h>

#include <utility>
#include <vector>

namespace lumaroll {

class MultiFingerTap {
public:
    // What a finger event means for the menu.
    enum class Step {
        None,   // no finger-down of a tap of three or more (the event is not the tap's)
        Kept,   // a further finger of a tap that toggled already: keep it from the game
        Toggle, // the third finger of a tap: toggle the menu, and keep the event from the game
    };

    // Notes a finger going down or up (any other event is None).
    Step handle(const SDL_Event& event);

private:
    // The fingers down as their events told: (touch screen, finger).
    std::vector<std::pair<SDL_TouchID, SDL_FingerID>> fingersDown;
    bool armed = true;
};

} // namespace lumaroll
