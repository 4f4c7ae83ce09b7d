// The player input mapping: turns everything the player can steer with into
// one MoveInput a frame for the ball and the follow camera: the keyboard, a
// captured mouse, game controllers and plain joysticks (held by
// Controllers), touch fingers under three touch schemes, and device tilt
// from the accelerometer. It also tells which kind of input the player uses,
// so that the level session can show a notice when that changes.
//
// One PlayerInput lives in each level session, on the main thread. The
// session feeds it finger events and mouse motion and calls read once a frame
// while the ball is played. Missing devices give no input; nothing here
// reports errors. read allocates nothing.
#pragma once

#include "input/Controllers.h"
#include "input/InputSettings.h"
#include "input/MoveInput.h"
#include "platform/FrameClock.h"
#include "platform/InputDevices.h"
#include "platform/KeyState.h"

#include <SDL.h>

#include <cstdint>

namespace lumaroll {

// Input kinds, as pollInputKindChange reports them.
enum InputKind {
    kNoInput = 0,
    kKeyboardInput = 1,
    kMouseInput = 2,
    kControllerInput = 3,
    kTouchInput = 4,
    kTiltInput = 5
};

class PlayerInput {
public:
    // One finger on the touch screen. Positions are normalised 0..1 like SDL's
    // finger events; times are clock ticks in milliseconds.
    struct Finger {
        bool active = false;
        SDL_FingerID id = 0;
        bool moved = false; // went further than 6 % of the window height from where it touched down
        float startX = 0.f, startY = 0.f;
        float x = 0.f, y = 0.f;         // where it is now
        float lastX = 0.f, lastY = 0.f; // last significant position (2.5 % of the height on)
        std::uint32_t downTime = 0;
        std::uint32_t lastMoveTime = 0;
    };

    // Reads held keys through keys, times through clock, the accelerometer,
    // display orientation and touch fingers through devices, and the pads,
    // joysticks, accelerometer handle and calibration request of controllers.
    // All four must outlive the input.
    PlayerInput(KeyState& keys, FrameClock& clock, InputDevices& devices,
                Controllers& controllers = Controllers::instance());

    // Finger down, motion and up events, with the drawable size in pixels. The
    // session hands them over only while a ball is played, the in-game menu
    // is closed and the level is not over. Nothing under the "accelerometer"
    // scheme; a finger touching down in the top-left corner (x < 0.12,
    // y < 0.15, the menu buttons) is ignored.
    void handleTouchEvent(const SDL_Event& event, int width, int height);
    // A finger lifted while its events went elsewhere (a menu took them):
    // it no longer moves the ball or turns the camera, and its lift counts
    // as no tap or swipe. Nothing for a finger the input does not hold.
    void forgetFinger(SDL_FingerID id);

    // The frame's input into out, for the drawable size in pixels: whether the
    // ball's controls may move it now (their rise asks for a tilt
    // calibration), and the frame time in seconds. Takes the mouse motion
    // gathered since the last read (mouseDX and mouseDY are 0 afterwards).
    void read(MoveInput& out, int width, int height, bool controlsEnabled, float dt);

    // The device tilt as steering values, written into x (sideways) and y
    // (forward) only outside their dead zones; a shake asks for a jump.
    // Returns false when there is no accelerometer; a failed read leaves x
    // and y as they were. Used by read.
    bool readTilt(float& x, float& y, float dt);

    // 0, or the input kind that became the last used, at most one every
    // 1500 ms: a kind that changes back and forth within that time is
    // announced once, as the last one. The first kind of a session is never
    // announced. The session shows a notice for it each frame it is not 0.
    int pollInputKindChange();

    // True while an attached game controller holds button A (with the left
    // mouse button and the keyboard's Space, keypad 5 and keypad 0, the level
    // logic's "lmouse").
    bool actionButtonDown() const;

    // The control settings: written by the session before each frame, read by
    // read and handleTouchEvent.
    InputSettings settings;

    // The session has the mouse in relative mode: written by the session
    // whenever it switches the mode, read by read().
    bool mouseCaptured = false;
    // Relative mouse motion in pixels since the last read: added to by the
    // session's mouse events, taken (and zeroed) by read().
    float mouseDX = 0.f;
    float mouseDY = 0.f;

    // Read access for tests.
    const Finger& moveTouch() const { return moveFinger; }
    const Finger& cameraTouch() const { return cameraFinger; }
    float holdTurn() const { return holdTurnSpeed; }
    int kind() const { return currentKind; }

private:
    void takeFinger(Finger& finger, SDL_FingerID id, float x, float y);
    // A finger lifted after heldMs, distance pixels from where it touched
    // down: a tap, or with the tap before it a double tap (a jump).
    void registerTap(std::uint32_t heldMs, float distance, float height, std::uint32_t now);
    void releaseAll();
    void setKind(int kind);

    KeyState* keys;
    FrameClock* clock;
    InputDevices* devices;
    Controllers* controllers;

    Finger moveFinger;
    Finger cameraFinger;
    float holdTurnSpeed = 0.f; // "classic" hold gesture, radians per second
    float dragX = 0.f;         // "modern" camera drag not yet applied, normalised screen units
    float dragY = 0.f;
    std::uint32_t lastCameraTime = 0; // last camera drag or hold turn
    int currentKind = kNoInput;
    int lastNotifiedKind = kNoInput;
    int pendingKind = kNoInput;
    std::uint32_t lastNoticeTime = 0;
    std::uint32_t lastTapTime = 0; // 0: none
    int jumpFrames = 0;            // reads that still jump (double tap or shake)
    float swipeTime = 0.f;         // seconds the swipe still moves the ball
    float swipeX = 0.f;
    float swipeY = 0.f;
    float tiltFilter[3] = {0.f, 0.f, 0.f};
    float tiltReference[2] = {0.f, 0.f};
    bool tiltReferenceSet = false;
    bool tiltFilterSet = false;
    float shakeCooldown = 0.f;
    bool controlsWereEnabled = false;
    bool stickMode = false;
};

} // namespace lumaroll
