#include "platform/InputDevices.h"

namespace lumaroll {

SensorRead SdlInputDevices::readAccelerometer(SDL_Sensor* sensor, float sample[3])
{
    if (!sensor)
        return SensorRead::Absent;
    return SDL_SensorGetData(sensor, sample, 3) == 0 ? SensorRead::Sample : SensorRead::Failed;
}

SDL_DisplayOrientation SdlInputDevices::displayOrientation()
{
    return SDL_GetDisplayOrientation(0);
}

int SdlInputDevices::touchDeviceCount()
{
    return SDL_GetNumTouchDevices();
}

bool SdlInputDevices::fingerListed(SDL_FingerID finger)
{
    const int devices = SDL_GetNumTouchDevices();
    for (int d = 0; d < devices; ++d) {
        const SDL_TouchID touch = SDL_GetTouchDevice(d);
        const int fingers = SDL_GetNumTouchFingers(touch);
        for (int f = 0; f < fingers; ++f) {
            const SDL_Finger* listed = SDL_GetTouchFinger(touch, f);
            if (listed && listed->id == finger)
                return true;
        }
    }
    return false;
}

std::vector<std::string> SdlInputDevices::controllerNames()
{
    std::vector<std::string> names;
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) {
        if (!SDL_IsGameController(i))
            continue;
        const char* name = SDL_GameControllerNameForIndex(i);
        names.push_back(name ? name : "");
    }
    return names;
}

SdlInputDevices& SdlInputDevices::instance()
{
    static SdlInputDevices devices;
    return devices;
}

} // namespace lumaroll
