// The ball's physical values, its motion state and the control record of one
// step; BallBody::integrate moves the ball through the collision grid.
#pragma once

#include "player/CollisionGrid.h"

#include <math/Vector3.h>

#include <vector>

namespace lumaroll {

// The ball's twelve physical values. Seven of them are exchanged with the
// world's variables (BallPhysics::publishValues / readValues).
struct BallValues {
    float radius = 50.f;          // scene units; also the unit of substeps, ground clearance and rolling
    float mass = 1.f;             // divides movement and jump (not above 1e-6 counts as 1)
    float gravity = 2000.f;       // acceleration along minus the up direction
    float movementForce = 1750.f; // acceleration from full input on the ground
    float jumpForce = 800.f;      // jump speed along up (times jumpFactor, divided by mass)
    float friction = 350.f;       // ground-plane deceleration on the ground without input
    float frictionSlide = 0.4f;   // only exchanged with the world ("ballfrictionslide")
    float maxSpeed = 800.f;       // limit of the speed across the up direction
    float speedLimit = 10000.f;   // limit of the whole speed
    float jumpFactor = 0.85f;     // multiplies jumpForce
    float rebound = 0.1f;         // hard impacts reflect the normal speed with 1 + rebound
    float airControl = 0.f;       // factor of the movement acceleration in the air
};

// What the player wants from one step: move is the wished acceleration
// direction (length up to 1 from input, up to 3 from rail steering; taken as
// given), jump a jump request.
struct BallControl {
    math::Vector3 move;
    bool jump = false;
};

// The ball's values and motion. The step's flags (touched owners, jumped,
// impact speed and normal) describe the last integrate call and are read by
// the ball step after it.
struct BallBody {
    BallValues values;
    float deathPlane = -2000.f; // the ball dies below this height
    math::Vector3 position;
    math::Vector3 velocity;
    bool onGround = false;
    math::Vector3 groundNormal{0.f, 1.f, 0.f};
    float airTime = 1e9f; // seconds since the last ground contact (1e9: long ago, or a jump)
    float rollAngle = 0.f;
    math::Vector3 rollAxis{1.f, 0.f, 0.f};
    std::vector<int> touched; // owners touched in the last integrate call, each once, in order met
    bool jumped = false;      // the last integrate call jumped
    math::Vector3 up{0.f, 1.f, 0.f};
    float impactSpeed = 0.f; // fastest speed into a solid surface in the last integrate call
    math::Vector3 impactNormal;

    // One frame of motion: dt is cut to 0.1 s and split into at most 16
    // substeps of at most 0.4 radius each. Nothing moves for dt not above 0
    // (or not a number): the jump flag and impact speed are cleared then, the
    // touched owners kept. Returns the number of substeps run.
    int integrate(const BallControl& control, const CollisionGrid& grid, float dt);

    // One substep of h seconds: control, gravity, jump, friction, speed
    // limits (a finite speed of any size is brought down to them, never
    // stopped), motion, then up to four passes of contact push-out. The motion
    // never carries the centre through a solid face: it stops in front of
    // the first one it would pass through, on the side it came from, and the
    // contact passes meet the face as any other.
    void substep(const BallControl& control, const CollisionGrid& grid, float h);

private:
    // Contacts of the current pass; kept so that a steady step allocates nothing.
    std::vector<SphereContact> contacts;
};

} // namespace lumaroll
