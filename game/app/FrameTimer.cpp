#include "app/FrameTimer.h"

#include <algorithm>
#include <climits>

namespace lumaroll {

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
    last = now = clock->ticks();
}

float FrameTimer::beginFrame()
{
    now = clock->ticks();
    // Unsigned difference: right across the 49-day wrap of the tick counter.
    const float dt = static_cast<float>(now - last) / 1000.f;
    fpsFrames += 1;
    fpsTime += dt;
    if (fpsTime >= 0.5f) {
        framesPerSecond = static_cast<float>(fpsFrames) / fpsTime;
        fpsFrames = 0;
        fpsTime = 0.f;
    }
    return std::min(dt, kMaxFrameSeconds);
}

std::uint32_t FrameTimer::capFrame(int limit)
{
    if (limit <= 0)
        return 0;
    const std::uint32_t frameMs = static_cast<std::uint32_t>(1000 / limit);
    const std::uint32_t elapsed = clock->ticks() - now;
    if (elapsed >= frameMs)
        return 0;
    const std::uint32_t rest = frameMs - elapsed;
    clock->delay(rest);
    return rest;
}

} // namespace lumaroll
