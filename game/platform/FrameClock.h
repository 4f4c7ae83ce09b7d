// The millisecond clock of the frame loop: the tick counter it reads and the
// sleep of its frame cap, and a finer counter for short spans (the overlay's
// GUI time step). SDL's by default; tests drive it by hand.
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

    // A counter for measuring spans shorter than a millisecond, from an
    // arbitrary start, and how many of its counts make a second (never 0).
    // By default the millisecond ticks, so a clock moved by hand moves both.
    virtual std::uint64_t counter() { return ticks(); }
    virtual std::uint64_t countsPerSecond() { return 1000; }
};

// SDL_GetTicks and SDL_Delay; SDL's performance counter and its frequency.
class SdlFrameClock : public FrameClock {
public:
    std::uint32_t ticks() override;
    void delay(std::uint32_t ms) override;
    std::uint64_t counter() override;
    std::uint64_t countsPerSecond() override;
    static SdlFrameClock& instance();
};

} // namespace lumaroll
