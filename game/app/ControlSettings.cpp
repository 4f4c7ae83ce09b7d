#include "app/ControlSettings.h"

#include "store/SettingRanges.h"

namespace lumaroll {

TouchScheme touchSchemeOf(const std::string& value)
{
    if (value == "classic")
        return TouchScheme::Classic;
    if (value == "accelerometer")
        return TouchScheme::Accelerometer;
    return TouchScheme::Modern;
}

InputSettings controlSettings(const Settings& settings)
{
    InputSettings input;
    input.deadzone = kDeadzoneRange.clamp(settings.getFloat("controls.deadzone", 0.22f));
    input.cameraSensitivity = kCameraSensitivityRange.clamp(settings.getFloat("controls.camera_sensitivity", 1.f));
    input.invertY = settings.getBool("controls.invert_y", false);
    input.touch = touchSchemeOf(settings.getString("controls.touch", "modern"));
    input.tiltCameraFollow = settings.getString("controls.tilt_camera", "follow") == "follow";
    input.tiltSensitivity = kTiltSensitivityRange.clamp(settings.getFloat("controls.tilt_sensitivity", 1.f));
    input.tiltInvertX = settings.getBool("controls.tilt_invert_x", false);
    input.tiltInvertY = settings.getBool("controls.tilt_invert_y", false);
    return input;
}

bool vibrationOn(const Settings& settings)
{
    return settings.getBool("controls.vibration", true);
}

} // namespace lumaroll
