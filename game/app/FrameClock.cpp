#include "app/FrameClock.h"

#include <SDL.h>

#include <algorithm>
#include <climits>

namespace lumaroll {

std::uint32_t SdlFrameClock::ticks()
{
    return SDL_GetTicks();
}

void SdlFrameClock::delay(std::uint32_t ms)
{
    SDL_Delay(ms);
}

SdlFrameClock& SdlFrameClock::instance()
{
    static SdlFrameClock clock;
    return clock;
}

int frameLimitFromSetting(float value)
{
    if (!(value > 0.f))
        return 0;
    if (value >= 2147483648.f)
        return INT_MAX;
    return static_cast<int>(value);
}

void FrameTimer::start()
{
    last_ = now_ = clock_->ticks();
}

float FrameTimer::beginFrame()
{
    now_ = clock_->ticks();
    // Unsigned difference: right across the 49-day wrap of the tick counter.
    const float dt = static_cast<float>(now_ - last_) / 1000.f;
    fpsFrames_ += 1;
    fpsTime_ += dt;
    if (fpsTime_ >= 0.5f) {
        fps_ = static_cast<float>(fpsFrames_) / fpsTime_;
        fpsFrames_ = 0;
        fpsTime_ = 0.f;
    }
    return std::min(dt, kMaxFrameSeconds);
}

std::uint32_t FrameTimer::capFrame(int limit)
{
    if (limit <= 0)
        return 0;
    const std::uint32_t frameMs = static_cast<std::uint32_t>(1000 / limit);
    const std::uint32_t elapsed = clock_->ticks() - now_;
    if (elapsed >= frameMs)
        return 0;
    const std::uint32_t rest = frameMs - elapsed;
    clock_->delay(rest);
    return rest;
}

} // namespace lumaroll
