// The ball step: world requests, camera hold, ball values, input to control,
// integration, sounds, respawn and triggers, then the model's transform.
#include "player/Player.h"

#include "logic/SceneWorld.h"
#include "player/PlayerMath.h"

#include <math/Matrix3x3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaroll {

namespace {

const std::string kJumpSound = "plimbo_jump.wav";
const std::string kImpactSound = "plimbo_collision.wav";
const std::string kDefaultCamera = "camera";

} // namespace

void Player::step(bool jump, float dt, float forwardInput, float rightInput)
{
    lastFrameTime = dt;
    applyWorldRequests();

    // A scene camera named by "setcamera" holds the ball: it only falls.
    const std::string* cameraName = world ? &world->cameraName : nullptr;
    if (!cameraName || cameraName->empty() || *cameraName == kDefaultCamera) {
        cameraHold = false;
        if (!onRail())
            heading += rightInput * 2.4f * dt;
    } else {
        cameraHold = true;
        body.velocity.x = 0.f;
        body.velocity.z = 0.f;
        if (hgr::Node* target = world->findNode(*cameraName))
            heldTarget = target->getWorldTransform().getTranslation();
        forwardInput = 0.f;
        rightInput = 0.f;
        jump = false;
    }

    if (world) {
        readGravity();
        if (world->takeResetBallValues() && resetValues.valid)
            publishBallValues(resetValues.values);
        if (world->takeUpdateBallValues())
            readBallValues();
    }

    BallControl control;
    control.jump = jump;
    const math::Vector3 stepForward = steer(control, cameraHold, forwardInput, rightInput, dt);
    body.integrate(control, grid, dt);
    forward = stepForward;

    // Hitting a wall at speed on a rail brakes the ride.
    if (onRail() && body.impactSpeed > 250.f && std::fabs(body.impactNormal.dot(body.up)) < 0.5f) {
        const float d = body.velocity.dot(forward);
        if (d > 400.f)
            body.velocity -= forward * (d - std::max(0.15f * d, 300.f));
    }

    playSounds(dt);

    if (world && world->takeLevelFailed())
        respawn();
    // Below the death plane, or lost to numbers that are not finite.
    if ((!onRail() && body.deathPlane > body.position.y) || !body.position.isFinite() || !body.velocity.isFinite())
        respawn();

    checkTouches();
    placeBallShadow();
    placeObjectShadows();
    lookFrameTime = dt;
    updateLookDirection();
    if (body.values.radius > 0.f)
        rollAngle += forward.dot(body.velocity) * dt / body.values.radius;
    placeModel();
}

math::Vector3 Player::steer(BallControl& control, bool held, float forwardInput, float rightInput, float dt)
{
    // A switch of control mode hands the direction over once.
    if (stickMode != previousStickMode) {
        previousStickMode = stickMode;
        if (stickMode)
            cameraYaw = heading;
        else
            heading = cameraYaw;
    }

    bool ride = false;
    float railSteer = 0.f;
    bool cameraRelative = false;
    if (!stickMode) {
        yawInput = 0.f;
        pitchInput = 0.f;
        ride = onRail();
        railSteer = rightInput;
    } else {
        cameraYaw += yawInput;
        cameraPitch = std::min(std::max(cameraPitch + pitchInput, -0.6f), 1.2f);
        const float vx = body.velocity.x, vz = body.velocity.z;
        const float speed = std::hypot(vx, vz);
        const auto alongCamera = [&] { return vx * std::sin(cameraYaw) + vz * std::cos(cameraYaw); };

        // Tilt steering turns the camera slowly towards the travel direction.
        if (tiltCameraFollow && !held && !onRail() && speed > 150.f && alongCamera() > 0.7f * speed) {
            const float d = wrapAngle(std::atan2(vx, vz) - cameraYaw);
            const float rate = std::min(
                (1.f - 0.75f * std::min(std::fabs(stickX), 1.f)) * std::min(speed / 600.f, 1.f) * 1.6f * dt, 1.f);
            cameraYaw += std::min(std::max(d * rate, -0.8f * dt), 0.8f * dt);
        }
        followBlend += std::min(2.f * dt, 1.f) * ((touchIdle ? 1.f : 0.f) - followBlend);

        yawInput = 0.f;
        pitchInput = 0.f;
        railSteer = stickX;
        if (onRail()) {
            ride = true;
        } else if (followBlend > 0.01f && !held) {
            // An idle touch screen lets the camera follow the ball.
            if (speed > 120.f && alongCamera() > -0.3f * speed) {
                const float d = wrapAngle(std::atan2(vx, vz) - cameraYaw) *
                                std::min(std::min(speed / 500.f, 1.f) * followBlend * 1.4f * dt, 1.f);
                cameraYaw += std::min(std::max(d, -1.2f * dt), 1.2f * dt);
            }
            cameraRelative = true;
        } else {
            cameraRelative = !held;
        }
    }

    if (ride) {
        rideRail(control, railSteer);
        heading = std::atan2(forward.x, forward.z);
        return forward;
    }
    if (cameraRelative) {
        const float c = std::cos(cameraYaw), s = std::sin(cameraYaw);
        math::Vector3 m(stickX * c + stickY * s, 0.f, stickY * c - stickX * s);
        float length = m.length();
        bool scaled = false;
        if (length > 1.f) {
            m *= 1.f / length;
            length = 1.f;
            scaled = true;
        }
        // Only a clear push turns the ball's heading.
        if (length > 0.15f || scaled)
            heading += wrapAngle(std::atan2(m.x, m.z) - heading) * std::min(8.f * dt, 1.f);
        control.move = m;
        return headingDirection(heading);
    }
    const math::Vector3 direction = headingDirection(heading);
    control.move = direction * forwardInput;
    return direction;
}

void Player::playSounds(float dt)
{
    if (!soundCallback)
        return;
    if (body.jumped)
        soundCallback(kJumpSound, 1.f);
    impactCooldown -= dt;
    const bool rail = onRail();
    if (body.impactSpeed > (rail ? 1200.f : 350.f) && impactCooldown <= 0.f && !body.jumped) {
        soundCallback(kImpactSound, std::min(body.impactSpeed / (rail ? 4000.f : 1400.f), 1.f));
        impactCooldown = rail ? 0.6f : 0.15f;
    }
}

void Player::applyWorldRequests()
{
    if (!world)
        return;
    world->takePlayerRequests(requests);
    for (const PlayerRequest& request : requests) {
        switch (request.kind) {
        case PlayerRequest::AttachToRail: {
            const int rail = findRail(request.name);
            if (rail >= 0) {
                currentRail = rail;
                railDistance = rails[static_cast<size_t>(rail)].path.closestPoint(body.position).distance;
            }
            break;
        }
        case PlayerRequest::LeaveRail:
            if (onRail() && rails[static_cast<size_t>(currentRail)].name == request.name) {
                currentRail = -1;
                body.up = math::Vector3(0.f, 1.f, 0.f);
            }
            break;
        case PlayerRequest::MultiplySpeed:
            if (!std::isfinite(request.value))
                break;
            body.velocity *= request.value;
            if (request.value > 1.f && onRail()) {
                const float speed = body.velocity.length();
                const float limit = 1.15f * railSpeedLimit;
                if (speed > limit)
                    body.velocity *= limit / speed;
            }
            break;
        case PlayerRequest::RailSpeedLimit:
            if (std::isfinite(request.value))
                railSpeedLimit = request.value;
            break;
        case PlayerRequest::MoveBallTo: {
            hgr::Node* node = world->findNode(request.name);
            const size_t mark = request.name.rfind("_L_");
            if (node) {
                const math::Vector3 p = node->getWorldTransform().getTranslation();
                if (p.isFinite())
                    body.position = p;
            } else if (mark != std::string::npos) {
                // "x_L_name" names the rail "L_name" (rails keep their node
                // names), else a rail called "name" itself.
                const std::string text = request.name.substr(mark + 3);
                int rail = findRail("L_" + text);
                if (rail < 0)
                    rail = findRail(text);
                if (rail >= 0) {
                    currentRail = rail;
                    railDistance = rideStart(rail);
                    const RailSample s = rails[static_cast<size_t>(rail)].path.sampleAtDistance(railDistance);
                    body.position = s.position + s.up * (1.5f * body.values.radius);
                }
            }
            body.velocity = math::Vector3();
            railFallen = false;
            railAirTime = 0.f;
            break;
        }
        case PlayerRequest::CameraGuide: {
            guideIndex = -1;
            for (size_t i = 0; i < cameraGuides.size(); ++i) {
                if (cameraGuides[i].name == request.name) {
                    guideIndex = static_cast<int>(i);
                    guideDistance = cameraGuides[i].track.closestPoint(body.position).distance;
                }
            }
            if (guideIndex >= 0)
                std::printf("camera guide: %s active\n", request.name.c_str());
            else
                std::printf("camera guide: off (%s)\n", request.name.c_str());
            break;
        }
        default:
            break;
        }
    }
}

void Player::placeModel()
{
    if (ballNode) {
        const math::Matrix3x3 turn = math::Matrix3x3::rotation(math::Vector3(0.f, 1.f, 0.f), heading);
        ballNode->setTransform(math::Matrix3x4(turn, body.position - turn.transform(pivot)));
    }
    rollBody();
}

} // namespace lumaroll
