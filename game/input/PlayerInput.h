// STAND-IN for the player input mapping: it reads no device, reports no change
// of input kind and holds no button, so the ball never moves by input. The
// player input mapping (keyboard, mouse, controllers, touch and tilt)
// replaces it with this interface.
#pragma once

#include <SDL.h>

namespace lumaroll {

// One frame of player input, filled by PlayerInput::read and handed by the
// level session to the ball step and the follow camera.
struct MoveInput {
    float forward = 0.f;          // -1..1: keys, d-pad or hat; the stick folded in when not stickMode
    float right = 0.f;            // -1..1, likewise
    bool jump = false;            // a jump key or button, or a double-tap or shake request
    bool stickMode = false;       // steer by (stickX, stickY) as a direction with magnitude
    float stickX = 0.f;           // analog direction: right
    float stickY = 0.f;           // analog direction: forward
    float cameraYaw = 0.f;        // radians to turn the camera by this frame
    float cameraPitch = 0.f;      // radians to tilt the camera by this frame
    bool tiltCameraFollow = false; // tilt steers and "controls.tilt_camera" is "follow"
    bool touchIdle = false;       // the move finger is down and the camera was not dragged for 1 s
};

class PlayerInput {
public:
    // Finger down, motion and up events with the drawable size; the session
    // hands them over only while a ball is played and no menu is open.
    void handleTouchEvent(const SDL_Event&, int, int) {}
    // The frame's input into out for the drawable size: whether the ball's
    // controls are enabled now, and the frame time in seconds. Called by the
    // session once a frame while the ball is played.
    void read(MoveInput& out, int, int, bool, float) { out = MoveInput(); }
    // The tilt of the device as (x, y) steering values; used by read.
    void readTilt(float& x, float& y, float) { x = y = 0.f; }
    // 0, or the input kind (1 keyboard, 2 mouse, 3 controller, 4 touch,
    // 5 tilt) that became the last used; the session shows a notice for it.
    int pollInputKindChange() { return 0; }
    // True while an attached game controller holds button A (the world's "lmouse").
    bool actionButtonDown() const { return false; }

    // The session has the mouse in relative mode: written by the session
    // whenever it switches the mode, read by read().
    bool mouseCaptured = false;
    // Relative mouse motion in pixels since the last read: added to by the
    // session's mouse events, taken (and zeroed) by read().
    float mouseDX = 0.f;
    float mouseDY = 0.f;
};

} // namespace lumaroll
