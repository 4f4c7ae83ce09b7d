#include "platform/EventSource.h"

namespace lumaroll {

bool SdlEventSource::poll(SDL_Event& event)
{
    return SDL_PollEvent(&event) != 0;
}

bool SdlEventSource::push(const SDL_Event& event)
{
    SDL_Event copy = event;
    return SDL_PushEvent(&copy) == 1;
}

SdlEventSource& SdlEventSource::instance()
{
    static SdlEventSource source;
    return source;
}

} // namespace lumaroll
