#include "app/LevelEnd.h"

namespace lumaroll {

bool LevelEnd::update(bool complete, bool onRail, bool uiLoaded, float dt)
{
    if (!complete || isOver || !uiLoaded)
        return false;
    seconds += dt;
    const float delay = onRail ? 0.f : 1.5f;
    if (seconds < delay)
        return false;
    isOver = true;
    return true;
}

} // namespace lumaroll
