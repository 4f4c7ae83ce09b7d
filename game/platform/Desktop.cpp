#include "platform/Desktop.h"

#include <SDL.h>

namespace lumaroll {

void SdlDesktop::openAddress(const std::string& address)
{
    SDL_OpenURL(address.c_str());
}

SdlDesktop& SdlDesktop::instance()
{
    static SdlDesktop desktop;
    return desktop;
}

} // namespace lumaroll
