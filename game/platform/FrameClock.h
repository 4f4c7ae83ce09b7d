// The millisecond clock of the frame loop: the tick counter it reads and the
// sleep of its frame cap. SDL's by default; tests drive it by hand.
#pragma once

#include <cstdint>

namespace lumaroll {

class FrameClock {
public:
    virtual ~FrameClock() = default;
    // Milliseconds since an arbitrary start; wraps after 49 days.
    virtual std::uint32_t ticks() = 0;
    // Sleeps for ms milliseconds (tests' clocks move on by that much instead).
    virtual void delay(std::uint32_t ms) = 0;
};

// SDL_GetTicks and SDL_Delay.
class SdlFrameClock : public FrameClock {
public:
    std::uint32_t ticks() override;
    void delay(std::uint32_t ms) override;
    static SdlFrameClock& instance();
};

} // namespace lumaroll
