// Small vector and angle helpers shared by the ball step, the rails, the
// camera and the model, and the test whether a node is still in the scene.
#pragma once

#include <hgr/Node.h>
#include <math/Matrix3x3.h>
#include <math/Vector3.h>

#include <cmath>

namespace lumaroll {

constexpr float kPi = 3.14159265358979f;

// v divided by its length when that is above 0.000001, else fallback.
inline math::Vector3 unitOr(const math::Vector3& v, const math::Vector3& fallback)
{
    const float length = v.length();
    if (!(length > 0.000001f))
        return fallback;
    return math::Vector3(v.x / length, v.y / length, v.z / length);
}

// The length of v, taken in double: in float the squares of a finite
// velocity above about 1.8e19 overflow, and a cap that divided by that
// infinite length would stop the ball rather than slow it.
inline double exactLength(const math::Vector3& v)
{
    return std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
}

// Scales v down to the length limit when it is longer, however long it is;
// returns whether it did (false for a length that is not a number).
inline bool capLength(math::Vector3& v, float limit)
{
    const double length = exactLength(v);
    if (!(length > limit))
        return false;
    const double scale = limit / length;
    v = math::Vector3(float(v.x * scale), float(v.y * scale), float(v.z * scale));
    return true;
}

// An angle difference brought into -pi .. pi (0 for a value that is not finite).
inline float wrapAngle(float a)
{
    if (!std::isfinite(a))
        return 0.f;
    // Far out, subtracting turns one at a time would never end.
    if (std::fabs(a) > 64.f)
        a = std::remainder(a, 2.f * kPi);
    while (a > kPi)
        a -= 2.f * kPi;
    while (a < -kPi)
        a += 2.f * kPi;
    return a;
}

// The horizontal direction of heading h: (sin h, 0, cos h).
inline math::Vector3 headingDirection(float h)
{
    return math::Vector3(std::sin(h), 0.f, std::cos(h));
}

// The fraction 1 - e^(-rate dt) by which exponential smoothing moves a value
// towards its target in one frame.
inline float easeFactor(float rate, float dt)
{
    return 1.f - std::exp(-rate * dt);
}

// The rotation that turns (0, 1, 0) onto the unit normal n (about their cross
// product); none when n points up, half a turn about x when it points down.
math::Matrix3x3 tiltTo(const math::Vector3& n);

// The orthonormal frame looking along forward: z = forward normalised,
// x = up x z normalised ((1, 0, 0) when that cross product is shorter than
// 1e-5), y = z x x; the frame's columns are x, y, z.
math::Matrix3x3 lookAtFrame(const math::Vector3& forward, const math::Vector3& up);

// Whether node is top or linked somewhere below it (false for null). Scripts
// take nodes out of the scene (a collected pickup): what hangs on them then
// stops acting.
inline bool linkedUnder(const hgr::Node* node, const hgr::Node* top)
{
    for (const hgr::Node* n = node; n; n = n->getParent())
        if (n == top)
            return true;
    return false;
}

} // namespace lumaroll
