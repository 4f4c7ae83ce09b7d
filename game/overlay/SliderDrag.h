// The slider a pointer drag began on, shared by every slider of the menu and
// the content's drag scrolling: a vertical drag that starts on a slider
// scrolls the page instead, and the slider gets its value from before the
// drag back on its next draw.
//
// Invariant: at most one slider is active (the last one activated, until the
// button goes up) and at most one waits for its value back.
#pragma once

#include <string>

namespace lumaroll {

class SliderDrag {
public:
    // The slider of settings key key became active; valueBefore is its
    // stored value before the press changed it.
    void activated(const char* key, float valueBefore);

    // The drag turned into scrolling: the active slider, if any, waits for
    // its value back.
    void becameScroll();

    // The button went up: no slider is active any more (one waiting for its
    // value still gets it).
    void released();

    // True, once, when key is the slider waiting for its value back; value
    // is then the stored value from before its drag. False for any other key.
    bool takeRevert(const char* key, float& value);

private:
    float valueBeforeDrag = 0.f;
    std::string activeKey; // the slider that became active; empty when none
    std::string revertKey; // the slider to restore on its next draw; empty when none
};

} // namespace lumaroll
