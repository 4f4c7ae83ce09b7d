// The process-wide owner of the input devices that SDL does not hand over
// through plain events: game controllers (pads with a known mapping), plain
// joysticks without one, the first accelerometer and the first haptic
// device. It loads the controller mapping database, opens devices when a
// level session starts and when they are plugged in, closes them when they
// go away, plays rumble for the level logic and carries the tilt calibration
// request to the player input, which reads the devices it holds.
//
// Main thread only. Every SDL failure is silent apart from the start-up
// lines: a device that will not open is skipped, rumble on a device that
// cannot rumble is ignored.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

namespace lumaroll {

class Controllers {
public:
    // The process-wide manager, created empty on first use. At process exit
    // only its lists are freed: SDL has been shut down by then.
    static Controllers& instance();

    // Called once by main after the GL context exists: starts SDL's game
    // controller, sensor and haptic subsystems (each on its own, failures
    // ignored), loads the mapping database and opens the sensors. Opens no
    // controller: each level session does that.
    void init();
    // Adds the mappings of "gamecontrollerdb.txt" beside the program and in
    // the configuration folder; prints "controllers: N mappings from
    // SDL_GameControllerDB" with N the mappings the two files added (a
    // missing file, or a folder or named pipe in its place, adds none) and
    // returns N.
    int loadMappings();
    // Opens the first accelerometer and haptic device 0 (when its rumble can
    // start); prints "sensors: accelerometer yes|no, vibration yes|no".
    void openSensors();
    // Opens every attached joystick not yet held: as a game controller when
    // SDL knows its mapping ("controller: NAME"), else as a plain joystick
    // ("generic controller (no known mapping): NAME, A axes, B buttons").
    // A device already held is not opened again, so one close always lets
    // SDL free it. Called at the start of each level session and for
    // device-added events.
    void openAll();
    // Closes and forgets every held controller and joystick that is no longer
    // attached, keeping the order of the rest.
    void closeDetached();
    // Game controller and joystick added events open devices (openAll),
    // removed events close them (closeDetached): true for these four event
    // types, false for every other event, which the caller then routes on.
    bool handleDeviceEvent(const SDL_Event& event);
    // The level logic's "pressure": rumbles the haptic device and every held
    // game controller (low motor 0x6000, high 0xA000) for
    // rumbleMilliseconds(strength); nothing while vibration is off. Plain
    // joysticks get none.
    void rumble(float strength);
    // 45 ms for strength 1, kept within 30..250 ms; 30 for NaN.
    static int rumbleMilliseconds(float strength);

    // Whether a held controller or joystick is the device with this instance id.
    bool holds(SDL_JoystickID id) const;
    // Whether a held game controller is; SDL reports the removal of a plain
    // joystick as a controller's removal too, so a removed event alone says
    // nothing.
    bool holdsController(SDL_JoystickID id) const;
    // The name SDL gives the game controller at a device index (the index of
    // an added event); "?" when it has none.
    static std::string controllerName(int deviceIndex);

    // Open game controllers and plain joysticks, each at most once, in the
    // order they were opened: written by openAll and closeDetached, read by
    // the player input each frame.
    std::vector<SDL_GameController*> controllers;
    std::vector<SDL_Joystick*> joysticks;
    // The first accelerometer, or null: written once by openSensors, read by
    // the player input's tilt reader.
    SDL_Sensor* accelerometer = nullptr;
    // Haptic device 0 when its rumble could start, or null: written once by openSensors.
    SDL_Haptic* haptic = nullptr;
    // Take the tilt reference again: set by the overlay's calibrate callback
    // (through main), by the session when the in-game menu closes or tilt
    // steering switches on, and by the player input when the ball's controls
    // become enabled; read and cleared by the player input's tilt reader.
    bool calibrateRequested = false;
    // "controls.vibration": written by the level session before each frame
    // from the settings; rumble does nothing while it is false.
    bool vibration = true;
};

} // namespace lumaroll
