#include "platform/ProgramFolder.h"

#include <SDL.h>

namespace lumaroll {

std::string programFolder()
{
    std::string folder;
    if (char* base = SDL_GetBasePath()) {
        folder = base;
        SDL_free(base);
    }
    return folder;
}

} // namespace lumaroll
