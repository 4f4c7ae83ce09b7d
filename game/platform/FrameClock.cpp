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

SdlFrameClock& SdlFrameClock::instance()
{
    static SdlFrameClock clock;
    return clock;
}

} // namespace lumaroll
