// Stand-in for the controller manager: it opens no devices yet. It keeps the
// calibration request that the overlay sets and the player input clears.
#pragma once

#include <atomic>

namespace lumaroll {

class Controllers {
public:
    static Controllers& instance();

    // Opens controllers, sensors and haptics; the stand-in opens nothing.
    void init() {}

    std::atomic<bool> calibrateRequested{false};
};

} // namespace lumaroll
