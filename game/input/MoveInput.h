// One frame of player input, filled by PlayerInput::read and handed by the
// level session to the ball step and the follow camera.
#pragma once

namespace lumaroll {

struct MoveInput {
    float forward = 0.f;           // -1..1: keys, d-pad or hat; the analog move folded in when not stickMode
    float right = 0.f;             // -1..1, likewise
    bool jump = false;             // a jump key or button, or a double-tap or shake request
    bool stickMode = false;        // steer by (stickX, stickY) as a direction with magnitude
    float stickX = 0.f;            // analog direction: right
    float stickY = 0.f;            // analog direction: forward
    float cameraYaw = 0.f;         // radians to turn the camera by this frame
    float cameraPitch = 0.f;       // radians to tilt the camera by this frame
    bool tiltCameraFollow = false; // tilt steers and "controls.tilt_camera" is "follow"
    bool touchIdle = false; // "modern" touch: the move finger is down and the camera was not dragged for 1 s
};

} // namespace lumaroll
