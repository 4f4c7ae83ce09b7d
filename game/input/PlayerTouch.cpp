// Touch fingers of the player input: which finger moves the ball and which
// turns the camera, taps, double taps and swipes.
#include "input/PlayerInput.h"

#include <cmath>

namespace lumaroll {

namespace {

// Distance in pixels between two normalised positions.
float pixelDistance(float x0, float y0, float x1, float y1, int width, int height)
{
    const float dx = (x1 - x0) * static_cast<float>(width);
    const float dy = (y1 - y0) * static_cast<float>(height);
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

void PlayerInput::takeFinger(Finger& finger, SDL_FingerID id, float x, float y)
{
    const std::uint32_t now = clock->ticks();
    finger.active = true;
    finger.id = id;
    finger.moved = false;
    finger.startX = finger.x = finger.lastX = x;
    finger.startY = finger.y = finger.lastY = y;
    finger.downTime = now;
    finger.lastMoveTime = now;
}

void PlayerInput::releaseAll()
{
    moveFinger.active = false;
    cameraFinger.active = false;
}

void PlayerInput::forgetFinger(SDL_FingerID id)
{
    if (moveFinger.active && moveFinger.id == id)
        moveFinger.active = false;
    if (cameraFinger.active && cameraFinger.id == id)
        cameraFinger.active = false;
}

void PlayerInput::handleTouchEvent(const SDL_Event& event, int width, int height)
{
    if (settings.touch == TouchScheme::Accelerometer)
        return;
    const float h = static_cast<float>(height);
    switch (event.type) {
    case SDL_FINGERDOWN: {
        const float x = event.tfinger.x, y = event.tfinger.y;
        // The top-left corner holds the menu buttons.
        if (x < 0.12f && y < 0.15f)
            return;
        if (settings.touch == TouchScheme::Modern) {
            Finger& finger = x < 0.5f ? moveFinger : cameraFinger;
            if (!finger.active)
                takeFinger(finger, event.tfinger.fingerId, x, y);
        } else if (!moveFinger.active) {
            takeFinger(moveFinger, event.tfinger.fingerId, x, y);
        } else if (!cameraFinger.active) {
            takeFinger(cameraFinger, event.tfinger.fingerId, x, y);
        }
        break;
    }
    case SDL_FINGERMOTION: {
        const SDL_FingerID id = event.tfinger.fingerId;
        Finger* finger = moveFinger.active && moveFinger.id == id       ? &moveFinger
                         : cameraFinger.active && cameraFinger.id == id ? &cameraFinger
                                                                        : nullptr;
        if (!finger)
            return;
        const std::uint32_t now = clock->ticks();
        const float x = event.tfinger.x, y = event.tfinger.y;
        if (finger == &cameraFinger) {
            dragX += x - finger->x;
            dragY += y - finger->y;
            lastCameraTime = now;
        }
        finger->x = x;
        finger->y = y;
        if (pixelDistance(finger->startX, finger->startY, x, y, width, height) > 0.06f * h)
            finger->moved = true;
        if (pixelDistance(finger->lastX, finger->lastY, x, y, width, height) > 0.025f * h) {
            finger->lastX = x;
            finger->lastY = y;
            finger->lastMoveTime = now;
        }
        break;
    }
    case SDL_FINGERUP: {
        const SDL_FingerID id = event.tfinger.fingerId;
        const float x = event.tfinger.x, y = event.tfinger.y;
        const std::uint32_t now = clock->ticks();
        if (moveFinger.active && moveFinger.id == id) {
            const float distance = pixelDistance(moveFinger.startX, moveFinger.startY, x, y, width, height);
            const std::uint32_t held = now - moveFinger.downTime;
            moveFinger.active = false;
            registerTap(held, distance, h, now);
            if (distance > 0.06f * h && held < 220) {
                // A quick swipe moves the ball in its direction for a moment.
                swipeTime = 0.35f;
                swipeX = (x - moveFinger.startX) * static_cast<float>(width) / distance;
                swipeY = -(y - moveFinger.startY) * h / distance;
            }
            if (settings.touch == TouchScheme::Classic && cameraFinger.active) {
                // The finger left on the screen steers from where it is now.
                moveFinger = cameraFinger;
                cameraFinger.active = false;
                moveFinger.moved = false;
                moveFinger.startX = moveFinger.x;
                moveFinger.startY = moveFinger.y;
            }
        } else if (cameraFinger.active && cameraFinger.id == id) {
            const float distance = pixelDistance(cameraFinger.startX, cameraFinger.startY, x, y, width, height);
            cameraFinger.active = false;
            registerTap(now - cameraFinger.downTime, distance, h, now);
        }
        break;
    }
    default:
        break;
    }
}

void PlayerInput::registerTap(std::uint32_t heldMs, float distance, float height, std::uint32_t now)
{
    if (heldMs >= 250 || distance >= 0.04f * height)
        return;
    if (lastTapTime == 0 || now - lastTapTime >= 350) {
        lastTapTime = now;
    } else {
        // The second of two quick taps: jump.
        lastTapTime = 0;
        jumpFrames = 6;
    }
}

} // namespace lumaroll
