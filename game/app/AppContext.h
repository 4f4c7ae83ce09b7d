// What main shares with each level session: the platform seam (window,
// events, keyboard state, clock, sensors and touch), the drawable size and
// the overlay. main fills it; tests fill it with fakes
// (tests/support/PlatformFakes.h).
#pragma once

#include "platform/EventSource.h"
#include "platform/FrameClock.h"
#include "platform/InputDevices.h"
#include "platform/KeyState.h"
#include "platform/Window.h"

namespace lumaroll {

class Overlay;

struct AppContext {
    // The window: set by main once it is open, never changed afterwards; null
    // before that (a session without a window presents nothing).
    Window* window = nullptr;
    // Where the session polls its events and pushes the in-game menu's keys.
    EventSource* events = &SdlEventSource::instance();
    // Held keys, read by the free camera and the player input every frame.
    KeyState* keys = &SdlKeyState::instance();
    // The frame loop's tick counter and frame-cap sleep.
    FrameClock* clock = &SdlFrameClock::instance();
    // The accelerometer, display orientation and touch fingers, read by the
    // player input.
    InputDevices* devices = &SdlInputDevices::instance();
    // The window's drawable size in pixels: set by main when the window
    // opens and by the import screen, refreshed by the session every frame.
    int drawableWidth = 800;
    int drawableHeight = 480;
    // The overlay, owned by main; null until main has built it.
    Overlay* overlay = nullptr;
};

} // namespace lumaroll
