// Frame timing of the level session: the frame time with its clamp and
// frame-rate figure, and the frame cap, on the platform's frame clock.
#pragma once

#include "platform/FrameClock.h"

#include <cstdint>

namespace lumaroll {

// The longest frame time that game time advances by in one frame.
constexpr float kMaxFrameSeconds = 0.1f;

// The frame cap of the setting "graphics.fps_limit" as an int: 0 (no cap)
// for values of 0 or less and for text that is no number; values beyond the
// int range are clamped instead of an undefined conversion.
int frameLimitFromSetting(float value);

class FrameTimer {
public:
    explicit FrameTimer(FrameClock& clock) : clock(&clock) {}

    // Takes the loop's starting time.
    void start();

    // Reads the clock once for this frame: returns the seconds since the
    // previous frame, clamped to kMaxFrameSeconds; the frame-rate figure is
    // updated every half second from the unclamped time.
    float beginFrame();

    // Sleeps for the rest of the frame when fewer than 1000 / limit ms passed
    // since beginFrame; nothing for a limit of 0 or less. Reads the clock
    // once, so the sleep is never longer than one frame. Returns the ms slept.
    std::uint32_t capFrame(int limit);

    // The next frame's time counts from this frame's beginning.
    void endFrame() { last = now; }

    float fps() const { return framesPerSecond; }
    std::uint32_t frameStart() const { return now; }

private:
    FrameClock* clock;
    std::uint32_t last = 0;
    std::uint32_t now = 0;
    float framesPerSecond = 0.f;
    float fpsTime = 0.f;
    int fpsFrames = 0;
};

} // namespace lumaroll
