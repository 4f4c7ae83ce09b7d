// Event-driven input glue between SDL and the GUI library. The overlay hands
// it the events its menu takes; each GUI frame then sees them in the order
// they came, with the positions they carried, instead of polling the pointer:
// motion and buttons are queued and applied until a button changes (a press
// and its release arriving together give a "down" frame, then an "up" frame,
// both at the event's position), keys and controller buttons likewise, and the
// left stick is kept as held state for gamepad navigation.
#pragma once

#include "platform/FrameClock.h"
#include "platform/Window.h"

#include <SDL.h>

#include <cstdint>
#include <deque>

namespace lumaroll {

class GuiInput {
public:
    // What the GUI saw of the pointer in the last frame.
    struct Pointer {
        float x = 0.f, y = 0.f; // window points; large negative when unknown
        bool down[5] = {};      // left, right, middle, X1, X2
        bool fromTouch = false; // the last pointer event came from a touch screen
    };

    // Sets the key map and backend flags of the current GUI context.
    void init();

    // Takes one event for the next frames: pointer, wheel, keys, text, focus,
    // controller buttons and axes; everything else is ignored.
    void processEvent(const SDL_Event& event);

    // Fills the current GUI context's input for the next frame: display size
    // (window points) and framebuffer scale from the window, a time step above
    // zero from the clock's counter (1/60 s in the first frame), the queued
    // events up to the first repeated change, navigation.
    void newFrame(Window* window, FrameClock& clock);

    // Lets go of every held key, button and stick and drops the queue. The
    // overlay calls it whenever the menu opens or closes: events of a closed
    // menu never reach the GUI, so nothing may stay held across.
    void releaseAll();

    const Pointer& pointer() const { return shown; }

private:
    enum class Kind { Position, Button, Wheel, Key, PadButton };
    struct Change {
        Kind kind;
        float x = 0.f, y = 0.f; // Position, Button; wheel steps for Wheel
        int index = 0;          // button, scancode or controller button
        bool down = false;
        bool touch = false;
        std::uint16_t mods = 0; // Key: SDL modifier state
    };

    void push(const Change& change);
    // Applies the queue to the GUI's input until a change that belongs to the next frame.
    void applyQueue();

    std::deque<Change> queue;
    bool padDown[SDL_CONTROLLER_BUTTON_MAX] = {};
    float stickX = 0.f, stickY = 0.f; // -1..1, dead zone removed
    std::uint64_t lastCounter = 0;
    Pointer shown;
};

} // namespace lumaroll
