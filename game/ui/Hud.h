// STAND-IN for the in-game HUD and results panels (drawn only with the menu
// atlases, which the stand-in renderer never loads). Replaced by the game menus.
#pragma once

namespace lumaroll {

class Player;
class UiRenderer;
class World;

class Hud {
public:
    void draw(UiRenderer&, World*, Player*, bool, bool, float, bool) {}
    void drawLogo(UiRenderer&, bool, float) {}

    float logoTimer = -1.f;    // 0 starts the logo
    float resultsTimer = -1.f; // 0 starts the results panel
    int collectablesTotal = 0;
};

} // namespace lumaroll
