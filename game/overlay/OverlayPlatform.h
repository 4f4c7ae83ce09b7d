// What the overlay reaches outside the process besides its window: the clock
// of its notice animation and GUI time step, the touch screens and game
// controllers, the desktop's browser, and the update check's query. SDL's
// and the real query unless a test hands others
// (tests/support/PlatformFakes.h, a query of its own).
#pragma once

#include "overlay/UpdateCheck.h"
#include "platform/Desktop.h"
#include "platform/FrameClock.h"
#include "platform/InputDevices.h"

namespace lumaroll {

struct OverlayPlatform {
    FrameClock* clock = &SdlFrameClock::instance();
    InputDevices* devices = &SdlInputDevices::instance();
    Desktop* desktop = &SdlDesktop::instance();
    // Where the latest-release address leads; curl or wget by default.
    ReleaseQuery releaseQuery = fetchLatestReleaseUrl;
};

} // namespace lumaroll
