// Frame timing of the level session: the millisecond clock it reads, the
// frame time with its clamp and frame-rate figure, and the frame cap.
#pragma once

#include <cstdint>

namespace lumaroll {

// The millisecond tick counter and the sleep the frame loop uses; SDL's by
// default, replaceable so that timing can be driven by hand.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual std::uint32_t ticks() = 0;
    virtual void delay(std::uint32_t ms) = 0;
};

// SDL_GetTicks and SDL_Delay.
class SdlFrameClock : public FrameClock {
public:
    std::uint32_t ticks() override;
    void delay(std::uint32_t ms) override;
    static SdlFrameClock& instance();
};

// The longest frame time that game time advances by in one frame.
constexpr float kMaxFrameSeconds = 0.1f;

// The frame cap of the setting "graphics.fps_limit" as an int: 0 (no cap)
// for values of 0 or less and for text that is no number; values beyond the
// int range are clamped instead of an undefined conversion.
int frameLimitFromSetting(float value);

class FrameTimer {
public:
    explicit FrameTimer(FrameClock& clock) : clock_(&clock) {}

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
    void endFrame() { last_ = now_; }

    float fps() const { return fps_; }
    std::uint32_t frameStart() const { return now_; }

private:
    FrameClock* clock_;
    std::uint32_t last_ = 0;
    std::uint32_t now_ = 0;
    float fps_ = 0.f;
    float fpsTime_ = 0.f;
    int fpsFrames_ = 0;
};

} // namespace lumaroll
