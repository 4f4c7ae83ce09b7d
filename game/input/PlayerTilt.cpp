// Device tilt of the player input: the accelerometer's gravity direction,
// low-passed, as two angles against a reference taken when play starts or
// when the player calibrates; a sudden jolt is a shake (a jump).
#include "input/PlayerInput.h"

#include <algorithm>
#include <cmath>

namespace lumaroll {

namespace {

const float kPi = 3.14159265f;

// The angle brought into -pi..pi by whole turns.
float wrapAngle(float a)
{
    return a - 2.f * kPi * std::floor((a + kPi) / (2.f * kPi));
}

// |t| beyond the dead zone, rescaled to reach 1 at |t| = 1, with t's sign.
float outsideDeadZone(float t, float deadZone)
{
    const float v = (std::fabs(t) - deadZone) / (1.f - deadZone);
    return t < 0.f ? -v : v;
}

} // namespace

bool PlayerInput::readTilt(float& x, float& y, float dt)
{
    float sample[3];
    switch (devices->readAccelerometer(controllers->accelerometer, sample)) {
    case SensorRead::Absent:
        return false;
    case SensorRead::Failed:
        return true;
    case SensorRead::Sample:
        break;
    }

    if (!tiltFilterSet) {
        for (int i = 0; i < 3; ++i)
            tiltFilter[i] = sample[i];
        tiltFilterSet = true;
    } else {
        for (int i = 0; i < 3; ++i)
            tiltFilter[i] = 0.15f * sample[i] + 0.85f * tiltFilter[i];
    }
    const float length =
        std::sqrt(tiltFilter[0] * tiltFilter[0] + tiltFilter[1] * tiltFilter[1] + tiltFilter[2] * tiltFilter[2]);
    // Free fall, or no gravity in the reading: no direction to steer by.
    if (length < 5.f)
        return true;

    const float nx = tiltFilter[0] / length, ny = tiltFilter[1] / length, nz = tiltFilter[2] / length;
    const float s = devices->displayOrientation() == SDL_ORIENTATION_LANDSCAPE_FLIPPED ? -1.f : 1.f;
    const float a = std::atan2(-s * ny, nz);
    const float b = std::atan2(s * nx, nz);
    if (!tiltReferenceSet || controllers->calibrateRequested) {
        tiltReference[0] = a;
        tiltReference[1] = b;
        tiltReferenceSet = true;
        controllers->calibrateRequested = false;
    }

    const float k = settings.tiltSensitivity / 0.35f;
    float tx = -wrapAngle(a - tiltReference[0]) * k;
    float ty = -wrapAngle(b - tiltReference[1]) * k;
    if (settings.tiltInvertX)
        tx = -tx;
    if (settings.tiltInvertY)
        ty = -ty;
    tx = std::clamp(tx, -1.f, 1.f);
    ty = std::clamp(ty, -1.f, 1.f);
    if (std::fabs(tx) > 0.14f)
        x = outsideDeadZone(tx, 0.14f);
    if (std::fabs(ty) > 0.08f)
        y = outsideDeadZone(ty, 0.08f);

    // A shake: the sample far from the smoothed gravity.
    shakeCooldown = std::max(0.f, shakeCooldown - dt);
    const float dx = sample[0] - tiltFilter[0], dy = sample[1] - tiltFilter[1], dz = sample[2] - tiltFilter[2];
    if (shakeCooldown == 0.f && std::sqrt(dx * dx + dy * dy + dz * dz) > 12.f) {
        jumpFrames = 6;
        shakeCooldown = 0.7f;
    }
    return true;
}

} // namespace lumaroll
