#include "app/PauseRules.h"

namespace lumaroll {

PauseState pauseRule(bool overlayOpen, bool menuOpen, bool hasPlayer, bool levelOver, bool uiLoaded,
                     bool background)
{
    PauseState state;
    if (background || overlayOpen || (menuOpen && hasPlayer && !levelOver)) {
        state.paused = true;
        return state;
    }
    // Open menu without a ball or after the end, or the closed menu of a finished level.
    if (menuOpen || levelOver) {
        state.menuLive = true;
        state.captureRequested = uiLoaded;
    }
    return state;
}

} // namespace lumaroll
