// When the ball and its follow camera come to rest, for the trace: a program
// test photographs the ball where it stopped once the program says so
// ("[trace] ball at rest at (x, y, z)"), rather than after a wait that a busy
// machine stretches, since its game time runs slower than the clock.
#pragma once

#include <math/Vector3.h>

namespace lumaroll {

class RestWatch {
public:
    // Below this speed (scene units a second; 100 make a metre) the ball and
    // the camera count as at rest; above the larger one as moving again.
    static constexpr float kRestSpeed = 1.f;
    static constexpr float kMovingSpeed = 10.f;

    // One frame of dt seconds of game time with the ball's velocity and the
    // camera's position. True in the frame in which both have come to rest
    // after moving, or since the first frames; false afterwards until either
    // moves again. A frame without game time (dt <= 0, paused) changes
    // nothing and returns false.
    bool update(const math::Vector3& ballVelocity, const math::Vector3& cameraPosition, float dt);

private:
    math::Vector3 lastCamera;
    bool haveCamera = false;
    bool atRest = false;
};

} // namespace lumaroll
