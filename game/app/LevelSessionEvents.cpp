// Event routing of the level session, as far as the frame loop needs it now:
// the overlay first, then quitting, the mute key and the buttons that the
// level logic reads as "lmouse". Device hot-plug, focus and background rules,
// the in-game menu's controls, the developer keys and the mouse look join
// with the input handling of the session.
#include "app/LevelSession.h"

#include "overlay/Overlay.h"

namespace lumaroll {

void LevelSession::pollEvents()
{
    SDL_Event event;
    while (app->events->poll(event)) {
        // A release goes nowhere else first: a button let go over a menu is let go.
        actionButtons.release(event);
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            actionButtons.clear();

        if (app->overlay && app->overlay->handleEvent(event))
            continue;
        if (menu.isOpen() && uiLoaded) {
            if (event.type == SDL_QUIT) {
                quit = true;
                running = false;
            }
            continue; // the in-game menu keeps game input to itself
        }
        switch (event.type) {
        case SDL_QUIT:
            quit = true;
            running = false;
            break;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_m)
                audio->masterMute = !audio->masterMute.load();
            actionButtons.press(event);
            break;
        case SDL_MOUSEBUTTONDOWN:
            actionButtons.press(event);
            break;
        default:
            break;
        }
    }
}

} // namespace lumaroll
