// The input devices the game reads beside the keyboard, clock and window: the
// accelerometer's sample, the display's orientation, the touch fingers
// that are down and the names of the connected game controllers. SDL's by default; tests script them
// (tests/support/PlatformFakes.h), since SDL offers no virtual sensor and no
// virtual touch device.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

namespace lumaroll {

// What a read of the accelerometer gave.
enum class SensorRead {
    Absent, // no accelerometer is open
    Failed, // it is open, but gave no sample this time
    Sample, // the sample was written
};

class InputDevices {
public:
    virtual ~InputDevices() = default;
    // The latest sample of sensor (x, y, z in m/s², gravity included) into
    // sample; sensor is the accelerometer the controller manager opened, or
    // null (Absent).
    virtual SensorRead readAccelerometer(SDL_Sensor* sensor, float sample[3]) = 0;
    // The orientation of display 0.
    virtual SDL_DisplayOrientation displayOrientation() = 0;
    // The number of touch devices.
    virtual int touchDeviceCount() = 0;
    // Whether any touch device lists finger as down now.
    virtual bool fingerListed(SDL_FingerID finger) = 0;
    // The names of the attached joysticks that are known as game
    // controllers, in device order; empty when there are none (or the
    // controller subsystem is not running).
    virtual std::vector<std::string> controllerNames() = 0;
};

// SDL_SensorGetData, SDL_GetDisplayOrientation, SDL's touch device lists and
// its joystick list.
class SdlInputDevices : public InputDevices {
public:
    SensorRead readAccelerometer(SDL_Sensor* sensor, float sample[3]) override;
    SDL_DisplayOrientation displayOrientation() override;
    int touchDeviceCount() override;
    bool fingerListed(SDL_FingerID finger) override;
    std::vector<std::string> controllerNames() override;
    static SdlInputDevices& instance();
};

} // namespace lumaroll
