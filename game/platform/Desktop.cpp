#include "platform/Desktop.h"

#include <SDL.h>

namespace lumaroll {

void openAddress(const std::string& address)
{
    SDL_OpenURL(address.c_str());
}

std::vector<std::string> connectedControllerNames()
{
    std::vector<std::string> names;
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) {
        if (!SDL_IsGameController(i))
            continue;
        const char* name = SDL_GameControllerNameForIndex(i);
        names.push_back(name ? name : "");
    }
    return names;
}

} // namespace lumaroll
