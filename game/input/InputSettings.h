// The control settings the player input works with. The level session reads
// them from the settings store ("controls.*") every frame and hands them
// over, so input needs no settings store of its own and the overlay's
// changes act from the next frame on. The session hands the three float
// settings over within the ranges of their sliders (app/ControlSettings.h),
// never as a NaN or an infinity.
#pragma once

namespace lumaroll {

// "controls.touch": "classic" and "accelerometer" as they are, any other value "modern".
enum class TouchScheme { Modern, Classic, Accelerometer };

struct InputSettings {
    float deadzone = 0.22f;                  // "controls.deadzone": stick values below it count 0
    float cameraSensitivity = 1.f;           // "controls.camera_sensitivity"
    bool invertY = false;                    // "controls.invert_y": camera pitch of stick, mouse and touch
    TouchScheme touch = TouchScheme::Modern; // "controls.touch"
    bool tiltCameraFollow = true;            // "controls.tilt_camera" is "follow"
    float tiltSensitivity = 1.f;             // "controls.tilt_sensitivity": full output at 0.35 / it radians
    bool tiltInvertX = false;                // "controls.tilt_invert_x"
    bool tiltInvertY = false;                // "controls.tilt_invert_y"
};

} // namespace lumaroll
