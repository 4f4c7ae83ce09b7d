// STAND-IN for the settings overlay: the flags, callbacks and audio pointer
// that the level session sets and reads. It draws nothing; while its menu is
// open it takes every input event, as the real overlay does with the events
// its menu wants. main builds no overlay yet (AppContext::overlay stays null).
#pragma once

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

namespace lumaroll {

class Audio;

class Overlay {
public:
    struct ScreenText {
        std::string text;
        float x = 0.f;
        float y = 0.f;
        float size = 0.f;
    };

    // True when the overlay took the event.
    bool handleEvent(const SDL_Event& event)
    {
        if (!menuOpen)
            return false;
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT:
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION:
            return true;
        default:
            return false;
        }
    }
    // The screen texts are for one frame: a frame drawn empties the queue.
    void render() { screenTexts.clear(); }
    void notify(const std::string& icon, const std::string& text, float seconds)
    {
        notices.push_back(icon + " " + text);
        (void)seconds;
    }
    float measureText(const std::string&, float size) const { return size; }

    bool menuOpen = false;
    std::function<void()> quitCallback;
    std::function<void()> calibrateCallback;
    Audio* audio = nullptr; // not owned: the running session's audio engine
    std::vector<ScreenText> screenTexts;
    std::vector<std::string> notices;
};

} // namespace lumaroll
