// Event routing of the overlay: the menu keys and the multi-finger tap, F11
// and F2, then, with the menu open, the touch gesture and the GUI.
#include "overlay/Overlay.h"

#include "store/Settings.h"

namespace lumaroll {

bool Overlay::handleEvent(const SDL_Event& event)
{
    if (!guiUp)
        return false;
    const bool freshKey = event.type == SDL_KEYDOWN && event.key.repeat == 0;
    const SDL_Keycode key = freshKey ? event.key.keysym.sym : SDLK_UNKNOWN;
    const bool menuKey =
        (freshKey && (key == SDLK_ESCAPE || key == SDLK_AC_BACK)) ||
        (event.type == SDL_CONTROLLERBUTTONDOWN && event.cbutton.button == SDL_CONTROLLER_BUTTON_BACK);
    switch (fingers.handle(event)) {
    case MultiFingerTap::Step::Toggle:
        if (!shared.importScreen())
            toggleMenu();
        return true;
    case MultiFingerTap::Step::Kept:
        // The fourth and fifth finger of the same tap are kept from the game.
        return true;
    case MultiFingerTap::Step::None:
        break;
    }
    if (menuKey) {
        if (!shared.importScreen())
            toggleMenu();
        return true;
    }
    if (freshKey && key == SDLK_F11) {
        toggleFullscreen();
        return true;
    }
    if (freshKey && key == SDLK_F2) {
        screenshotDue = true;
        return true;
    }
    if (!open)
        return false;
    if (scrolling.handleTouch(event))
        return true;
    input.processEvent(event);
    return event.type != SDL_QUIT && event.type != SDL_WINDOWEVENT;
}

void Overlay::toggleMenu()
{
    open = !open;
    // Events of a closed menu never reach the GUI: nothing held may outlive
    // the change (an arrow held through Escape would keep navigating).
    input.releaseAll();
    scrolling.resetTouch();
}

void Overlay::toggleFullscreen()
{
    Window* window = shared.window();
    const bool on = !(window && window->fullscreen());
    if (window)
        window->setFullscreen(on);
    // The request is stored even when the window refused it.
    Settings::instance().setString("graphics.fullscreen", on ? "1" : "0");
    shared.saveSettings();
}

} // namespace lumaroll
