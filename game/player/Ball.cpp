#include "player/Ball.h"

#include "player/PlayerMath.h"

#include <algorithm>
#include <cmath>

namespace lumaroll {

namespace {

constexpr int kMaxSubsteps = 16;
constexpr int kContactPasses = 4;
// A ground contact's normal points this much along up (about 56 degrees of slope at most).
constexpr float kGroundCosine = 0.55f;
// A motion shorter than this share of the radius meets no face that is not
// also a contact where it ends; a longer one is searched for faces on its own.
constexpr float kShortMotion = 0.9f;
// A motion stopped before a face it would pass through leaves the centre
// this share of the radius in front of it: as deep in as an ordinary substep
// goes at most, so that the contact that follows is plain.
constexpr float kStopClearance = 0.6f;

// Where along the motion from start to end (as a fraction) the centre stops
// when the motion meets a face at fraction f; normal faces start.
float stopBefore(const math::Vector3& start, const math::Vector3& end, float f, const math::Vector3& normal,
                 float radius)
{
    const float across = normal.dot(start - end); // how far the whole motion runs into the face
    if (!(across > 0.f))
        return 0.f;
    return std::max(0.f, f - kStopClearance * radius / across);
}

// The first solid face among the contacts' triangles that the motion from
// start to end passes through: the fraction where it meets the face and the
// face's normal turned towards start.
bool firstCrossingAmong(const std::vector<SphereContact>& contacts, const CollisionGrid& grid,
                        const math::Vector3& start, const math::Vector3& end, float& fraction,
                        math::Vector3& normal)
{
    const CollisionTriangle* face = nullptr;
    for (const SphereContact& c : contacts) {
        const CollisionTriangle& t = grid.triangles[size_t(c.triangle)];
        float f;
        if (crossesFace(t, start, end, f) && (!face || f < fraction) && grid.isSolid(c.owner)) {
            fraction = f;
            face = &t;
        }
    }
    if (!face)
        return false;
    normal = face->normal.dot(start - face->a) > 0.f ? face->normal : -face->normal;
    return true;
}

} // namespace

int BallBody::integrate(const BallControl& control, const CollisionGrid& grid, float dt)
{
    // A call that moves nothing (the session's paused frames) neither jumps
    // nor hits anything: the last frame's jump must not sound again. What the
    // ball touches stays as it was.
    jumped = false;
    impactSpeed = 0.f;
    if (!(dt > 0.f))
        return 0;
    dt = std::min(dt, 0.1f);
    // Room for what a ball meets in a crowded spot, made once.
    if (contacts.capacity() < 64) {
        contacts.reserve(64);
        touched.reserve(16);
    }
    touched.clear();

    // At most 0.4 radius per substep; a speed that is not a number, or a
    // radius that is not positive, takes the most substeps.
    int steps = kMaxSubsteps;
    if (values.radius > 0.f) {
        const float wanted = std::ceil(velocity.length() * dt / (0.4f * values.radius));
        if (wanted < float(kMaxSubsteps))
            steps = std::max(1, static_cast<int>(wanted));
    }
    const float h = dt / float(steps);
    for (int i = 0; i < steps; ++i)
        substep(control, grid, h);
    return steps;
}

void BallBody::substep(const BallControl& control, const CollisionGrid& grid, float h)
{
    const float upLength = up.length();
    const math::Vector3 u = upLength > 1e-6f ? up * (1.f / upLength) : math::Vector3(0.f, 1.f, 0.f);
    const float invMass = values.mass > 1e-6f ? 1.f / values.mass : 1.f;
    const bool wasOnGround = onGround;
    const math::Vector3 start = position;

    math::Vector3 m = control.move;
    float factor = values.airControl;
    if (onGround) {
        m -= groundNormal * groundNormal.dot(m);
        factor = 1.f;
    }
    velocity += m * (factor * values.movementForce * invMass * h) - u * (values.gravity * h);
    airTime += h;

    if (control.jump && airTime < 0.5f) {
        // Up to half a second after the last ground contact, once per contact.
        onGround = false;
        jumped = true;
        airTime = 1e9f;
        velocity += u * (values.jumpForce * values.jumpFactor * invMass - u.dot(velocity));
    } else if (wasOnGround && control.move.length() < 0.01f) {
        const math::Vector3 w = velocity - groundNormal * groundNormal.dot(velocity);
        const float speed = w.length();
        if (speed > 1e-4f)
            velocity -= w * (std::min(values.friction * h, speed) / speed);
    }

    // The caps take the speed in double: a finite speed of any size is
    // brought down to them, never to 0.
    const math::Vector3 along = u * u.dot(velocity);
    math::Vector3 lateral = velocity - along;
    if (capLength(lateral, values.maxSpeed))
        velocity = along + lateral;
    capLength(velocity, values.speedLimit);

    position += velocity * h;

    // Faces the motion would pass through: a long motion's are searched on
    // their own, a short one's are among the contacts where it ends (the
    // first pass below). The contact passes then push the ball out and take
    // its speed into the face as for any impact.
    const math::Vector3 end = position;
    const math::Vector3 motion = end - start;
    bool swept = false;
    if (!(motion.length() < kShortMotion * values.radius)) {
        float f;
        math::Vector3 normal;
        if (grid.firstCrossing(start, end, f, normal))
            position = start + motion * stopBefore(start, end, f, normal, values.radius);
        swept = true;
    }

    bool groundFound = false;
    math::Vector3 groundSum;
    for (int pass = 0; pass < kContactPasses; ++pass) {
        grid.gatherTriangles(position, contacts, values.radius, &start);
        if (!swept) {
            swept = true;
            float f;
            math::Vector3 normal;
            if (firstCrossingAmong(contacts, grid, start, end, f, normal)) {
                position = start + motion * stopBefore(start, end, f, normal, values.radius);
                grid.gatherTriangles(position, contacts, values.radius, &start);
            }
        }
        if (contacts.empty())
            break;
        const SphereContact* deepest = nullptr;
        for (const SphereContact& c : contacts) {
            if (std::find(touched.begin(), touched.end(), c.owner) == touched.end())
                touched.push_back(c.owner);
            if (!grid.isSolid(c.owner))
                continue;
            if (c.normal.dot(u) > kGroundCosine) {
                groundSum += c.normal;
                groundFound = true;
            }
            if (!deepest || c.depth > deepest->depth)
                deepest = &c;
        }
        if (!deepest)
            break;
        position += deepest->normal * (deepest->depth + 0.01f);
        float s = deepest->normal.dot(velocity);
        if (-s > impactSpeed) {
            impactSpeed = -s;
            impactNormal = deepest->normal;
        }
        if (s < 0.f) {
            // A hard impact rebounds; a soft one only loses its speed into the surface.
            if (-s > 0.05f * values.gravity)
                s *= 1.f + values.rebound;
            velocity -= deepest->normal * s;
        }
    }

    onGround = groundFound;
    if (groundFound) {
        const float length = groundSum.length();
        groundNormal = length > 1e-9f ? groundSum * (1.f / length) : math::Vector3();
        // A fresh jump keeps its air time while the ball still rises.
        if (airTime < 1e8f || u.dot(velocity) <= 0.f)
            airTime = 0.f;
    }

    const math::Vector3 rolling = velocity - u * u.dot(velocity);
    const float rollingSpeed = rolling.length();
    if (rollingSpeed > 0.001f && values.radius > 0.f) {
        rollAngle += rollingSpeed * h / values.radius;
        rollAxis = u.cross(rolling * (1.f / rollingSpeed));
    }
}

} // namespace lumaroll
