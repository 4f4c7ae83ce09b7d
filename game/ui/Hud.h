// STAND-IN for the in-game HUD and results panels (drawn only with the menu
// atlases, which the stand-in renderer never loads). The game menus (HUD and
// results panels) replace it with this interface.
#pragma once

namespace lumaroll {

class Player;
class UiRenderer;
class World;

class Hud {
public:
    // The frame's HUD: (renderer, world, player or null, paused, level over,
    // real frame time, in-game menu open); the session calls it every frame
    // the menu images are loaded.
    void draw(UiRenderer&, World*, Player*, bool, bool, float, bool) {}
    // The start logo while logoTimer runs: (renderer, paused, frame time).
    void drawLogo(UiRenderer&, bool, float) {}

    // The start logo's clock: -1 idle; the session sets 0 at a menu level or
    // the first level started from the menu, and the HUD runs it on.
    float logoTimer = -1.f;
    // The results panel's clock: -1 idle; the session sets 0 when the level
    // becomes over, and the HUD runs it on.
    float resultsTimer = -1.f;
    // The level's collectables: counted by the session's world set-up.
    int collectablesTotal = 0;
};

} // namespace lumaroll
