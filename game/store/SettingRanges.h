// The ranges float settings are used within. Each range is defined here
// once: the setting's reader clamps the stored value to it, and the port
// menu's slider of the setting spans it and shows the clamped value, so the
// slider always shows the value in force.
#pragma once

namespace lumaroll {

struct SettingRange {
    float min;
    float max;

    // value within [min, max]; a value in range is returned as it is. value
    // is a number (Settings::getFloat hands out no NaN).
    constexpr float clamp(float value) const { return value < min ? min : (value > max ? max : value); }
};

// "controls.camera_sensitivity": scale of the mouse, stick and touch camera turns.
constexpr SettingRange kCameraSensitivityRange{0.3f, 3.f};
// "controls.deadzone": stick values below it count 0.
constexpr SettingRange kDeadzoneRange{0.05f, 0.5f};
// "controls.tilt_sensitivity": scale of the tilt steering.
constexpr SettingRange kTiltSensitivityRange{0.4f, 2.5f};
// "audio.volume", "audio.music_volume", "audio.sounds_volume": gains.
constexpr SettingRange kVolumeRange{0.f, 1.f};
// "graphics.render_scale": the fraction of the window's size the scene is
// drawn at (the slider shows it in percent).
constexpr SettingRange kRenderScaleRange{0.5f, 1.f};

} // namespace lumaroll
