// The follow camera: behind the ball on a rail; off rails orbiting it,
// following a camera guide or trailing its heading, pulled in front of walls,
// kept above the ground and the water, and smoothed; the camera guides and
// the orbit's input and turning towards the travel direction.
#include "player/FollowCamera.h"

#include "logic/ProcessFlags.h"
#include "player/PlayerMath.h"

#include <hgr/Node.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace lumaroll {

namespace {

const math::Vector3 kWorldUp(0.f, 1.f, 0.f);

// Eases value towards target at rate (per second) over dt.
void ease(math::Vector3& value, const math::Vector3& target, float rate, float dt)
{
    value += (target - value) * easeFactor(rate, dt);
}

// The unit direction from the ball towards an orbiting camera.
math::Vector3 orbitDirection(float yaw, float pitch)
{
    return math::Vector3(-std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch));
}

} // namespace

void FollowCamera::setGuides(std::vector<CameraGuide> built)
{
    guideList = std::move(built);
    guideIndex = -1;
}

void FollowCamera::selectGuide(const std::string& name, const math::Vector3& ball)
{
    guideIndex = -1;
    for (size_t i = 0; i < guideList.size(); ++i) {
        if (guideList[i].name == name) {
            guideIndex = static_cast<int>(i);
            guideDistance = guideList[i].track.closestPoint(ball).distance;
        }
    }
    if (guideIndex >= 0)
        std::printf("camera guide: %s active\n", name.c_str());
    else
        std::printf("camera guide: off (%s)\n", name.c_str());
}

void FollowCamera::applyInput()
{
    orbitYaw += yawInput;
    orbitPitch = std::min(std::max(orbitPitch + pitchInput, -0.6f), 1.2f);
    dropInput();
}

void FollowCamera::turnTowardsTravel(float vx, float vz, float stickX, float dt)
{
    const float speed = std::hypot(vx, vz);
    if (!(speed > 150.f && vx * std::sin(orbitYaw) + vz * std::cos(orbitYaw) > 0.7f * speed))
        return;
    const float d = wrapAngle(std::atan2(vx, vz) - orbitYaw);
    const float rate =
        std::min((1.f - 0.75f * std::min(std::fabs(stickX), 1.f)) * std::min(speed / 600.f, 1.f) * 1.6f * dt, 1.f);
    orbitYaw += std::min(std::max(d * rate, -0.8f * dt), 0.8f * dt);
}

void FollowCamera::easeFollow(bool touchIdle, float dt)
{
    followBlend += std::min(2.f * dt, 1.f) * ((touchIdle ? 1.f : 0.f) - followBlend);
}

void FollowCamera::followTravel(float vx, float vz, float dt)
{
    const float speed = std::hypot(vx, vz);
    if (speed > 120.f && vx * std::sin(orbitYaw) + vz * std::cos(orbitYaw) > -0.3f * speed) {
        const float d = wrapAngle(std::atan2(vx, vz) - orbitYaw) *
                        std::min(std::min(speed / 500.f, 1.f) * followBlend * 1.4f * dt, 1.f);
        orbitYaw += std::min(std::max(d, -1.2f * dt), 1.2f * dt);
    }
}

void FollowCamera::update(hgr::Node* camera, const BallBody& ball, const math::Vector3& forward, bool onRail,
                          bool orbiting, const WaterHeight& water, float dt)
{
    if (!camera)
        return;
    if (onRail) {
        updateOnRail(camera, ball, forward, dt);
        return;
    }
    const float r = ball.values.radius;
    math::Vector3 base = ball.position + math::Vector3(0.f, 0.5f * r, 0.f);
    math::Vector3 target = offRailTarget(ball, forward, orbiting, base, dt);
    const bool blocked = pullInFrontOfWalls(r, base, target);
    keepAboveGround(r, base, target);

    if (!cameraInitialised) {
        cameraPosition = target;
        cameraLook = base;
        cameraInitialised = true;
    }
    const float rate = blocked ? 14.f : (tiltScheme || orbiting) ? 9.f : 3.f;
    ease(cameraPosition, target, rate, dt);
    float waterY = 0.f;
    if (water && water(cameraPosition.x, cameraPosition.z, waterY))
        cameraPosition.y = std::max(cameraPosition.y, waterY + 0.6f * r);
    ease(cameraLook, base, 8.f, dt);

    camera->setPosition(cameraPosition);
    camera->lookAt(cameraLook, kWorldUp);
}

math::Vector3 FollowCamera::offRailTarget(const BallBody& ball, const math::Vector3& forward, bool orbiting,
                                          math::Vector3& base, float dt)
{
    const float r = ball.values.radius;
    const math::Vector3& p = ball.position;
    const bool guided = tiltScheme && guideIndex >= 0 && static_cast<size_t>(guideIndex) < guideList.size();
    if (guided) {
        // The guide's camera and look paths, at the share of the track the ball has reached.
        const CameraGuide& guide = guideList[static_cast<size_t>(guideIndex)];
        const float length = guide.track.length();
        const float window = 0.1f * length;
        const RailSample s = guide.track.closestPointNear(p, guideDistance, window, window);
        guideDistance = s.distance;
        const float t = length > 0.f ? s.distance / length : 0.f;
        const RailSample c = guide.cameraPath.sampleAtDistance(t * guide.cameraPath.length());
        const RailSample l = guide.lookPath.sampleAtDistance(t * guide.lookPath.length());
        const float e = std::hypot(c.position.x - l.position.x, c.position.z - l.position.z);
        if (e > 0.001f) {
            const float k = std::min(3.f * dt, 1.f);
            orbitYaw +=
                wrapAngle(std::atan2(l.position.x - c.position.x, l.position.z - c.position.z) - orbitYaw) * k;
            const float pitch = std::min(std::max(std::atan2(c.position.y - l.position.y, e), 0.15f), 0.75f);
            orbitPitch += (pitch - orbitPitch) * k;
        }
        return p + orbitDirection(orbitYaw, orbitPitch) * (14.4f * r);
    }
    if (orbiting) {
        // Below a pitch of 0.15 the orbit shrinks (to 40 % at the lowest
        // pitch) and the look point rises, so the camera does not dig into the ground.
        float distance = 14.4f * r;
        if (orbitPitch < 0.15f) {
            const float o = std::min((0.15f - orbitPitch) / 0.75f, 1.f);
            distance = 14.4f * r * (1.f - 0.6f * o * o * (3.f - 2.f * o));
            base.y += 2.f * r * (0.15f - orbitPitch);
        }
        return p + orbitDirection(orbitYaw, orbitPitch) * distance;
    }
    return p - forward * (12.f * r) + math::Vector3(0.f, 8.f * r, 0.f);
}

bool FollowCamera::pullInFrontOfWalls(float r, const math::Vector3& base, math::Vector3& target)
{
    const math::Vector3 v = target - base;
    const float reach = v.length();
    if (!(reach > r))
        return false;
    const math::Vector3 dir = v * (1.f / reach);
    const float flat = std::hypot(dir.x, dir.z);
    const math::Vector3 side = flat > 0.001f ? math::Vector3(dir.z, 0.f, -dir.x) * (1.2f * r / flat)
                                             : math::Vector3();

    // Three rays side by side: a thin pole hides one of them, a wall at least two.
    int counted = 0;
    float blockedAt = reach;
    const math::Vector3 origins[3] = {base - side, base, base + side};
    for (const math::Vector3& origin : origins) {
        math::Vector3 hit, normal;
        int owner = -1;
        if (!grid.intersectSegment(origin, dir, hit, normal, false, 0.5f * r + reach, &owner))
            continue;
        if (!(std::fabs(normal.y) < 0.6f))
            continue;
        ++counted;
        if (owner >= 0 && static_cast<size_t>(owner) < grid.owners.size())
            cameraBlocker = grid.owners[static_cast<size_t>(owner)].name;
        else
            cameraBlocker.clear();
        blockedAt = std::min(blockedAt, std::max((hit - origin).length() - r, 3.f * r));
    }
    if (counted < 2 || !(blockedAt < reach))
        return false;
    target = base + dir * blockedAt;
    if (traceEnabled() && cameraBlocker != tracedBlocker) {
        tracedBlocker = cameraBlocker;
        std::printf("[trace] camera blocked by '%s'\n", cameraBlocker.c_str());
    }
    return true;
}

void FollowCamera::keepAboveGround(float r, const math::Vector3& base, math::Vector3& target) const
{
    const auto probe = [&](const math::Vector3& t, float& ground) {
        const float top = std::max(base.y, t.y) + 3.f * r;
        return grid.findGroundBelow(math::Vector3(t.x, top, t.z), ground, top - t.y + 20.f * r);
    };
    float ground = 0.f;
    if (!probe(target, ground) || !(target.y < ground + 0.8f * r))
        return;
    // Towards the ball in steps of 5 %, at most 12 of them; when none clears
    // the ground, the first target rises above its own ground (the ground
    // found last lies nearer the ball and may be lower than there).
    const math::Vector3 start = target;
    const float startGround = ground;
    for (int i = 1; i <= 12; ++i) {
        target = base + (start - base) * (1.f - 0.05f * float(i));
        if (!probe(target, ground) || target.y >= ground + 0.8f * r)
            return;
    }
    target = start;
    target.y = startGround + 0.8f * r;
}

void FollowCamera::updateOnRail(hgr::Node* camera, const BallBody& ball, const math::Vector3& forward, float dt)
{
    const math::Vector3& p = ball.position;
    const math::Vector3& up = ball.up;
    const math::Vector3 look = p + forward * 312.f + up * 15.f;
    const math::Vector3 target = p - forward * 465.f + up * 158.f;
    if (!cameraInitialised) {
        cameraPosition = target;
        cameraLook = look;
        cameraUp = up;
        cameraInitialised = true;
    }
    ease(cameraPosition, target, 10.f, dt);
    ease(cameraLook, look, 14.f, dt);
    ease(cameraUp, up, 6.f, dt);

    camera->setPosition(cameraPosition);
    // The up of the view: the smoothed up without its part along the view.
    const math::Vector3 w = cameraLook - cameraPosition;
    const float wl = w.length();
    math::Vector3 u = wl > 0.001f ? cameraUp - w * (cameraUp.dot(w) / (wl * wl)) : cameraUp;
    const float ul = u.length();
    u = ul < 0.001f || !std::isfinite(ul) ? kWorldUp : u * (1.f / ul);
    cameraUp = u;
    camera->lookAt(cameraLook, u);
}

} // namespace lumaroll
