#include "input/PlayerInput.h"

#include <algorithm>
#include <cmath>

namespace lumaroll {

namespace {

const float kPi = 3.14159265f;

const SDL_Scancode kForwardKeys[] = {SDL_SCANCODE_W, SDL_SCANCODE_UP, SDL_SCANCODE_KP_8, SDL_SCANCODE_8};
const SDL_Scancode kBackKeys[] = {SDL_SCANCODE_S, SDL_SCANCODE_DOWN, SDL_SCANCODE_KP_2, SDL_SCANCODE_2};
const SDL_Scancode kRightKeys[] = {SDL_SCANCODE_D, SDL_SCANCODE_RIGHT, SDL_SCANCODE_KP_6, SDL_SCANCODE_6};
const SDL_Scancode kLeftKeys[] = {SDL_SCANCODE_A, SDL_SCANCODE_LEFT, SDL_SCANCODE_KP_4, SDL_SCANCODE_4};
const SDL_Scancode kJumpKeys[] = {SDL_SCANCODE_SPACE, SDL_SCANCODE_KP_5, SDL_SCANCODE_KP_0, SDL_SCANCODE_5,
                                  SDL_SCANCODE_0};

template <size_t N>
bool anyHeld(const std::uint8_t* keys, const SDL_Scancode (&codes)[N])
{
    for (SDL_Scancode code : codes)
        if (keys[code])
            return true;
    return false;
}

// A raw axis value as -1..1, 0 below the dead zone (no rescaling above it).
float deadZoned(Sint16 raw, float deadzone)
{
    const float value = static_cast<float>(raw) / 32767.f;
    return std::fabs(value) < deadzone ? 0.f : value;
}

float controllerAxis(SDL_GameController* controller, SDL_GameControllerAxis axis, float deadzone)
{
    return deadZoned(SDL_GameControllerGetAxis(controller, axis), deadzone);
}

// A stick pushed further (sum of absolute axes) than the best so far replaces it.
void takeStickIfFurther(float x, float y, float& bestX, float& bestY, float& bestSum, bool& taken)
{
    const float sum = std::fabs(x) + std::fabs(y);
    if (sum > bestSum) {
        bestSum = sum;
        bestX = x;
        bestY = y;
        taken = true;
    }
}

float clampUnit(float v)
{
    return std::clamp(v, -1.f, 1.f);
}

} // namespace

PlayerInput::PlayerInput(KeyState& keys, FrameClock& clock, InputDevices& devices, Controllers& controllers)
    : keys(&keys), clock(&clock), devices(&devices), controllers(&controllers)
{
}

void PlayerInput::read(MoveInput& out, int width, int height, bool controlsEnabled, float dt)
{
    out = MoveInput();
    const std::uint32_t now = clock->ticks();
    const float dz = settings.deadzone;
    const float sensitivity = settings.cameraSensitivity;
    const TouchScheme scheme = settings.touch;

    // Keyboard: opposite keys held together cancel out.
    const std::uint8_t* held = keys->keys();
    float forward = (anyHeld(held, kForwardKeys) ? 1.f : 0.f) - (anyHeld(held, kBackKeys) ? 1.f : 0.f);
    float right = (anyHeld(held, kRightKeys) ? 1.f : 0.f) - (anyHeld(held, kLeftKeys) ? 1.f : 0.f);
    const bool keyboardActive = forward != 0.f || right != 0.f;
    const bool keyboardJump = anyHeld(held, kJumpKeys);
    bool jump = keyboardJump;

    // Game controllers: the left and the right stick pushed furthest over all pads steer.
    float leftX = 0.f, leftY = 0.f, leftSum = 0.f;
    float rightX = 0.f, rightY = 0.f, rightSum = 0.f;
    bool leftTaken = false, rightTaken = false;
    bool dpadUsed = false, buttonPressed = false;
    for (SDL_GameController* pad : controllers->controllers) {
        if (!SDL_GameControllerGetAttached(pad))
            continue;
        takeStickIfFurther(controllerAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, dz),
                           -controllerAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, dz), leftX, leftY, leftSum, leftTaken);
        takeStickIfFurther(controllerAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, dz),
                           controllerAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY, dz), rightX, rightY, rightSum,
                           rightTaken);
        const bool up = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
        const bool down = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        const bool dRight = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        const bool dLeft = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        forward += (up ? 1.f : 0.f) - (down ? 1.f : 0.f);
        right += (dRight ? 1.f : 0.f) - (dLeft ? 1.f : 0.f);
        dpadUsed = dpadUsed || up || down || dRight || dLeft;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_A) ||
            SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_B)) {
            jump = true;
            buttonPressed = true;
        }
    }

    // Plain joysticks: their first two axes steer only when no pad's left stick does.
    for (SDL_Joystick* stick : controllers->joysticks) {
        if (!SDL_JoystickGetAttached(stick))
            continue;
        if (!leftTaken && SDL_JoystickNumAxes(stick) >= 2) {
            const float x = deadZoned(SDL_JoystickGetAxis(stick, 0), dz);
            const float y = -deadZoned(SDL_JoystickGetAxis(stick, 1), dz);
            if (x != 0.f || y != 0.f) {
                leftX = x;
                leftY = y;
                leftTaken = true;
            }
        }
        if (SDL_JoystickNumHats(stick) > 0) {
            const Uint8 hat = SDL_JoystickGetHat(stick, 0);
            forward += ((hat & SDL_HAT_UP) ? 1.f : 0.f) - ((hat & SDL_HAT_DOWN) ? 1.f : 0.f);
            right += ((hat & SDL_HAT_RIGHT) ? 1.f : 0.f) - ((hat & SDL_HAT_LEFT) ? 1.f : 0.f);
            dpadUsed = dpadUsed || hat != SDL_HAT_CENTERED;
        }
        const int buttons = std::min(SDL_JoystickNumButtons(stick), 2);
        for (int b = 0; b < buttons; ++b) {
            if (SDL_JoystickGetButton(stick, b)) {
                jump = true;
                buttonPressed = true;
            }
        }
    }

    if (scheme == TouchScheme::Accelerometer) {
        releaseAll();
        holdTurnSpeed = 0.f;
        dragX = dragY = 0.f;
        swipeTime = 0.f;
    }

    // Fingers lifted without an up event reaching us (the window lost them).
    if (devices->touchDeviceCount() > 0) {
        if (moveFinger.active && !devices->fingerListed(moveFinger.id))
            moveFinger.active = false;
        if (cameraFinger.active && !devices->fingerListed(cameraFinger.id))
            cameraFinger.active = false;
    }

    // The move finger: its offset from where it touched down, in radii R.
    float touchX = 0.f, touchY = 0.f;
    bool holding = false;
    // A drawable of no height gives no radius: no move rather than inf or NaN.
    if (moveFinger.active && height >= 1) {
        const float radius = (scheme == TouchScheme::Modern ? 0.14f : 0.08f) * static_cast<float>(height);
        const float ox = (moveFinger.x - moveFinger.startX) * static_cast<float>(width) / radius;
        const float oy = -(moveFinger.y - moveFinger.startY) * static_cast<float>(height) / radius;
        const float length = std::sqrt(ox * ox + oy * oy);
        if (scheme == TouchScheme::Modern) {
            if (length >= 0.08f) {
                const float f = std::pow(std::min((length - 0.08f) / 0.92f, 1.f), 1.6f) / length;
                touchX = ox * f;
                touchY = oy * f;
            }
        } else if (moveFinger.moved) {
            if (length >= 0.12f) {
                const float f = std::min((length - 0.12f) / 0.88f, 1.f) / length;
                touchX = ox * f;
                touchY = oy * f;
            }
        } else if (now - moveFinger.lastMoveTime > 200) {
            holding = true;
        }
    }
    const float ease = std::min(dt * 10.f, 1.f);
    if (holding) {
        // The hold gesture turns the camera towards the side the finger rests on.
        lastCameraTime = now;
        const float target = moveFinger.lastX > 0.5f ? 1.8f : -1.8f;
        holdTurnSpeed += ease * (target - holdTurnSpeed);
    } else {
        holdTurnSpeed += ease * (0.f - holdTurnSpeed);
        if (std::fabs(holdTurnSpeed) < 0.01f)
            holdTurnSpeed = 0.f;
    }

    // The camera finger's drag ("modern"), taken a part each frame for smoothness.
    float takenX = 0.f, takenY = 0.f;
    if (scheme == TouchScheme::Modern) {
        const float part = std::min(dt * 18.f, 1.f);
        takenX = dragX * part;
        takenY = dragY * part;
        dragX -= takenX;
        dragY -= takenY;
    } else {
        dragX = dragY = 0.f;
    }
    float aspect = 1.f;
    if (height >= 1) {
        const float half = static_cast<float>(width) / static_cast<float>(height) * 0.5f;
        if (half > 1.f)
            aspect = half;
    }
    const float invert = settings.invertY ? -1.f : 1.f;
    const float touchPitch = takenY * 2.4f / aspect * sensitivity * invert;
    // The hold turn belongs to "classic", the drag to "modern": both turn the camera.
    const float touchYaw = (takenX * kPi * 2.5f + dt * holdTurnSpeed) * sensitivity;

    if (swipeTime > 0.f) {
        swipeTime -= dt;
        touchX = swipeX;
        touchY = swipeY;
    }
    if (jumpFrames > 0) {
        --jumpFrames;
        jump = true;
    }

    if (controlsEnabled && !controlsWereEnabled)
        controllers->calibrateRequested = true;
    controlsWereEnabled = controlsEnabled;

    bool tiltActive = false;
    if (scheme == TouchScheme::Accelerometer)
        tiltActive = readTilt(touchX, touchY, dt);
    const bool touchActive = tiltActive || touchX != 0.f || touchY != 0.f;

    forward = clampUnit(forward);
    right = clampUnit(right);

    // Which kind of input is in use, and whether the ball follows the stick.
    const bool stickMoved = leftX != 0.f || leftY != 0.f || rightX != 0.f || rightY != 0.f;
    if (mouseDX != 0.f || mouseDY != 0.f) {
        setKind(tiltActive ? kTiltInput : touchActive ? kTouchInput : kMouseInput);
        stickMode = true;
    } else if (tiltActive) {
        setKind(kTiltInput);
        stickMode = true;
    } else if (touchActive) {
        setKind(kTouchInput);
        stickMode = true;
    } else if (mouseCaptured && keyboardActive) {
        setKind(kMouseInput);
        stickMode = true;
    } else if (stickMoved || dpadUsed) {
        setKind(kControllerInput);
        stickMode = !(dpadUsed || keyboardActive);
    } else if (buttonPressed) {
        setKind(kControllerInput);
        if (keyboardActive)
            stickMode = false;
    } else if (keyboardJump || keyboardActive) {
        setKind(kKeyboardInput);
        if (keyboardActive)
            stickMode = false;
    }

    out.cameraYaw = (rightX * 2.6f * dt + mouseDX * 0.005f) * sensitivity + touchYaw;
    out.cameraPitch = (rightY * 1.8f * dt + mouseDY * 0.005f) * sensitivity * invert + touchPitch;
    mouseDX = mouseDY = 0.f;

    float stickX = leftTaken ? leftX : right;
    float stickY = leftTaken ? leftY : forward;
    if (touchX != 0.f || touchY != 0.f) {
        stickX = touchX;
        stickY = touchY;
    }
    if (!stickMode) {
        if (leftTaken) {
            right = leftX;
            forward = leftY;
        } else {
            right = clampUnit(right + touchX);
            forward = clampUnit(forward + touchY);
        }
    }

    out.forward = forward;
    out.right = right;
    out.jump = jump;
    out.stickMode = stickMode;
    out.stickX = stickX;
    out.stickY = stickY;
    out.tiltCameraFollow = tiltActive && settings.tiltCameraFollow;
    out.touchIdle = scheme == TouchScheme::Modern && moveFinger.active && now - lastCameraTime > 1000;
}

void PlayerInput::setKind(int kind)
{
    if (kind != currentKind && currentKind != kNoInput)
        pendingKind = kind;
    currentKind = kind;
}

int PlayerInput::pollInputKindChange()
{
    if (pendingKind == kNoInput || pendingKind == lastNotifiedKind)
        return kNoInput;
    const std::uint32_t now = clock->ticks();
    if (now - lastNoticeTime < 1500)
        return kNoInput;
    const int kind = pendingKind;
    lastNotifiedKind = kind;
    pendingKind = kNoInput;
    lastNoticeTime = now;
    return kind;
}

bool PlayerInput::actionButtonDown() const
{
    for (SDL_GameController* pad : controllers->controllers)
        if (SDL_GameControllerGetAttached(pad) && SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_A))
            return true;
    return false;
}

} // namespace lumaroll
