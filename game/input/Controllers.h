// STAND-IN for the controller manager: it opens no controller, sensor or
// haptic device and rumbles nothing. The controllers, sensors and haptics
// capability replaces it with this interface.
#pragma once

#include <SDL.h>

#include <vector>

namespace lumaroll {

class Controllers {
public:
    // The process-wide manager, created empty on first use.
    static Controllers& instance();

    // Called once by main after the GL context exists: starts SDL's
    // controller, sensor and haptic subsystems, loads the mapping database
    // and opens the accelerometer and the haptic device.
    void init() {}
    void loadMappings() {}
    void openSensors() {}
    // Opens every attached joystick not yet held: called at the start of each
    // level session and for device-added events.
    void openAll() {}
    // Closes the held devices that are no longer attached.
    void closeDetached() {}
    // Takes controller and joystick added and removed events (true); false
    // for every other event, which the session then routes on.
    bool handleDeviceEvent(const SDL_Event&) { return false; }
    // Rumbles every held pad and the haptic device for the level logic's
    // "pressure" (strength 1 is 45 ms), unless "controls.vibration" is off.
    void rumble(float) {}

    // Open game controllers and plain joysticks; read by the player input.
    std::vector<SDL_GameController*> controllers;
    std::vector<SDL_Joystick*> joysticks;
    SDL_Sensor* accelerometer = nullptr; // the first accelerometer, or null
    SDL_Haptic* haptic = nullptr;        // haptic device 0 when it can rumble, or null
    // Take the tilt reference again: set by the overlay's calibrate callback
    // (through main), by the session when tilt steering switches on; read and
    // cleared by the player input's tilt reader.
    bool calibrateRequested = false;
};

} // namespace lumaroll
