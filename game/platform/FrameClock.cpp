#include "platform/FrameClock.h"

#include <SDL.h>

namespace lumaroll {

std::uint32_t SdlFrameClock::ticks()
{
    return SDL_GetTicks();
}

void SdlFrameClock::delay(std::uint32_t ms)
{
    SDL_Delay(ms);
}

std::uint64_t SdlFrameClock::counter()
{
    return SDL_GetPerformanceCounter();
}

std::uint64_t SdlFrameClock::countsPerSecond()
{
    return SDL_GetPerformanceFrequency();
}

SdlFrameClock& SdlFrameClock::instance()
{
    static SdlFrameClock clock;
    return clock;
}

} // namespace lumaroll
