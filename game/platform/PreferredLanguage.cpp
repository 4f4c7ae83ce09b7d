#include "platform/PreferredLanguage.h"

#include <SDL.h>

namespace lumaroll {

std::string preferredLanguage()
{
    std::string language;
    if (SDL_Locale* locales = SDL_GetPreferredLocales()) {
        if (locales[0].language)
            language = locales[0].language;
        SDL_free(locales);
    }
    return language;
}

} // namespace lumaroll
