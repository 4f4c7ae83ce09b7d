// The free camera: flown with the keyboard when there is no ball, or when
// the developer switches it on.
#pragma once

#include <SDL.h>

#include <math/Matrix3x4.h>
#include <math/Vector3.h>

namespace hgr {
class Camera;
}

namespace lumaroll {

// The view: written by update (keys) and follow (the start camera, or the
// player's camera while the ball is played); the session places its camera by it.
struct FreeCamera {
    float yaw = 0.f;   // radians; 0 looks along +z
    float pitch = 0.f; // radians, kept within -1.5..1.5
    math::Vector3 position{0.f, 200.f, -600.f};

    // Turns with the arrow keys and moves with W, A, S, D, E, Q (left Shift
    // for speed) by gameDt. keys is the keyboard by SDL scancode (KeyState); the
    // keys act only when keysActive (no menu open), so keys meant for a menu
    // do not fly the camera behind it.
    void update(const Uint8* keys, bool keysActive, float gameDt);

    // Unit vector the camera looks along.
    math::Vector3 forward() const;

    // Places camera at position, looking along forward() with up (0, 1, 0).
    void place(hgr::Camera* camera) const;

    // Takes position and direction from a world transform (its z axis is the view direction).
    void follow(const math::Matrix3x4& world);
};

} // namespace lumaroll
