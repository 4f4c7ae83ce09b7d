// Event routing of the overlay: the menu keys and the multi-finger tap, F11
// and F2, and the touch gesture that tells a tap (one click), a vertical
// swipe (scrolling) and a horizontal drag (an ordinary GUI drag) apart.
#include "overlay/Overlay.h"

#include "overlay/OverlayWindow.h"
#include "store/Settings.h"

#include <algorithm>
#include <cstdlib>

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
    if (trackFingers(event)) {
        // The third finger toggles; the fourth and fifth of the same tap are kept from the game.
        if (multiFingerArmed && !importScreen)
            toggleMenu();
        multiFingerArmed = false;
        return true;
    }
    if (menuKey) {
        if (!importScreen)
            toggleMenu();
        return true;
    }
    if (freshKey && key == SDLK_F11) {
        toggleFullscreen();
        return true;
    }
    if (freshKey && key == SDLK_F2) {
        screenshotRequested = true;
        return true;
    }
    if (!menuOpen)
        return false;
    if (handleTouch(event))
        return true;
    input.processEvent(event);
    return event.type != SDL_QUIT && event.type != SDL_WINDOWEVENT;
}

bool Overlay::trackFingers(const SDL_Event& event)
{
    // Counted from the events rather than asked of SDL: SDL knows the fingers
    // down now, and a quick tap may be read in one batch after its fingers
    // have lifted, or while the next tap's are already down.
    if (event.type != SDL_FINGERDOWN && event.type != SDL_FINGERUP)
        return false;
    const std::pair<SDL_TouchID, SDL_FingerID> finger(event.tfinger.touchId, event.tfinger.fingerId);
    const auto listed = std::find(fingersDown.begin(), fingersDown.end(), finger);
    if (event.type == SDL_FINGERUP) {
        if (listed != fingersDown.end())
            fingersDown.erase(listed);
        if (fingersDown.empty())
            multiFingerArmed = true;
        return false;
    }
    if (listed == fingersDown.end())
        fingersDown.push_back(finger);
    const auto onScreen = std::count_if(fingersDown.begin(), fingersDown.end(),
                                        [&](const auto& f) { return f.first == finger.first; });
    return onScreen > 2;
}

void Overlay::toggleMenu()
{
    menuOpen = !menuOpen;
    // Events of a closed menu never reach the GUI: nothing held may outlive
    // the change (an arrow held through Escape would keep navigating).
    input.releaseAll();
    touchState = 0;
}

void Overlay::toggleFullscreen()
{
    const bool on = !windowIsFullscreen(window);
    setWindowFullscreen(window, on);
    // The request is stored even when the window refused it.
    Settings::instance().setString("graphics.fullscreen", on ? "1" : "0");
    Settings::instance().save();
}

void Overlay::sendPointerTo(const SDL_Event& cause, int x, int y)
{
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.timestamp = 0;
    motion.motion.windowID = cause.button.windowID;
    motion.motion.which = SDL_TOUCH_MOUSEID;
    motion.motion.x = x;
    motion.motion.y = y;
    input.processEvent(motion);
}

bool Overlay::handleTouch(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN: {
        const SDL_MouseButtonEvent& b = event.button;
        if (b.which != SDL_TOUCH_MOUSEID || b.button != SDL_BUTTON_LEFT)
            return false;
        const float right = contentRect[0] + contentRect[2];
        const float strip = 1.5f * ImGui::GetStyle().ScrollbarSize;
        if (contentRect[2] > 0.f && float(b.x) >= right - strip && float(b.x) <= right &&
            float(b.y) >= contentRect[1] && float(b.y) <= contentRect[1] + contentRect[3]) {
            // The scrollbar takes the finger itself.
            touchState = 3;
            sendPointerTo(event, b.x, b.y);
            return false;
        }
        touchState = 1;
        heldTouchDown = event;
        touchStartX = touchLastX = b.x;
        touchStartY = touchLastY = b.y;
        touchLastTime = b.timestamp;
        scrollVelocity = 0.f;
        sendPointerTo(event, b.x, b.y);
        return true;
    }
    case SDL_MOUSEMOTION: {
        const SDL_MouseMotionEvent& m = event.motion;
        if (m.which != SDL_TOUCH_MOUSEID)
            return false;
        if (touchState == 1) {
            const int dy = std::abs(m.y - touchStartY), dx = std::abs(m.x - touchStartX);
            if (float(dy) > 10.f * scale && dy >= dx) {
                touchState = 2;
            } else if (float(dx) > 10.f * scale) {
                touchState = 3;
                input.processEvent(heldTouchDown);
                return false;
            } else {
                return true;
            }
        }
        if (touchState != 2)
            return false;
        const float d = float(touchLastY - m.y);
        pendingScroll += d;
        // Only a later event gives a speed (synthesised ones carry 0).
        const Sint32 ms = Sint32(m.timestamp - touchLastTime);
        if (ms > 0)
            scrollVelocity = 0.5f * d / (float(ms) / 1000.f) + 0.5f * scrollVelocity;
        touchLastX = m.x;
        touchLastY = m.y;
        touchLastTime = m.timestamp;
        return true;
    }
    case SDL_MOUSEBUTTONUP: {
        const SDL_MouseButtonEvent& b = event.button;
        if (b.which != SDL_TOUCH_MOUSEID || b.button != SDL_BUTTON_LEFT)
            return false;
        if (touchState == 1) {
            // A tap: the GUI gets the held press now and the release next.
            input.processEvent(heldTouchDown);
            touchState = 0;
            return false;
        }
        if (touchState == 2) {
            // No fling after the finger rested before lifting.
            if (Sint32(b.timestamp - touchLastTime) > 120)
                scrollVelocity = 0.f;
            touchState = 0;
            return true;
        }
        touchState = 0;
        return false;
    }
    default:
        return false;
    }
}

} // namespace lumaroll
