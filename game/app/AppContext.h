// What main shares with each level session: the platform seam (window,
// events, keyboard state, clock, sensors and touch), the controller manager,
// the settings store, the drawable size and the overlay. main fills it; tests
// fill it with fakes (tests/support/PlatformFakes.h) or their own controller
// manager and settings store.
//
// The rule for game/app: main is the composition root. Apart from the
// defaults below, it is the one file of the folder that reaches the
// process-wide devices and settings store directly (the SDL seams'
// instances, Controllers::instance(), Settings::instance()): it loads the
// settings, starts the controller subsystems and hands the overlay its
// calibrate action before any session, and fills this context. Every other
// part of game/app (the level session and its parts, the import screen)
// reaches the devices, the controllers and the settings only through the
// context. The overlay's translations are a table of texts, not a device:
// the session reads them through overlay/Translations.h.
#pragma once

#include "input/Controllers.h"
#include "platform/EventSource.h"
#include "platform/FrameClock.h"
#include "platform/InputDevices.h"
#include "platform/KeyState.h"
#include "platform/Window.h"
#include "store/Settings.h"

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
    // The pads and sensors: opened at each session's start, fed the device
    // events, rumbled by the level logic, given the vibration setting every
    // frame and asked for a tilt calibration; read by the player input.
    Controllers* controllers = &Controllers::instance();
    // The user's settings (main's is the store the overlay edits): the
    // session reads the audio settings once when the level loads and the
    // control and graphics settings every frame, so that a change acts from
    // the next frame on.
    Settings* settings = &Settings::instance();
    // The window's drawable size in pixels: set by main when the window
    // opens and by the import screen, refreshed by the session every frame.
    int drawableWidth = 800;
    int drawableHeight = 480;
    // The overlay, owned by main; null until main has built it.
    Overlay* overlay = nullptr;
};

} // namespace lumaroll
