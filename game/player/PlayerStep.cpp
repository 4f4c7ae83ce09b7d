// The ball step: world requests, camera hold, ball values, input to control,
// integration, sounds, respawn and triggers, then the model's transform.
#include "player/Player.h"

#include "logic/SceneWorld.h"
#include "player/PlayerMath.h"

#include <algorithm>
#include <cmath>

namespace lumaroll {

namespace {

const std::string kDefaultCamera = "camera";

} // namespace

void Player::step(bool jump, float dt, float forwardInput, float rightInput)
{
    applyWorldRequests();

    // A scene camera named by "setcamera" holds the ball: it only falls.
    BallBody& ball = physics.body();
    const std::string* cameraName = world ? &world->cameraName : nullptr;
    if (!cameraName || cameraName->empty() || *cameraName == kDefaultCamera) {
        cameraHold = false;
        if (!onRail())
            heading += rightInput * 2.4f * dt;
    } else {
        cameraHold = true;
        ball.velocity.x = 0.f;
        ball.velocity.z = 0.f;
        if (hgr::Node* target = world->findNode(*cameraName))
            heldTarget = target->getWorldTransform().getTranslation();
        forwardInput = 0.f;
        rightInput = 0.f;
        jump = false;
    }

    physics.exchangeValues();

    BallControl control;
    control.jump = jump;
    const math::Vector3 stepForward = steer(control, cameraHold, forwardInput, rightInput, dt);
    physics.integrate(control, dt);
    forward = stepForward;

    // Hitting a wall at speed on a rail brakes the ride.
    rider.brakeOnImpact(ball, forward);
    physics.playSounds(dt, onRail(), soundCallback);
    if (world && world->takeLevelFailed())
        physics.respawn(model.bodyName());
    // Below the death plane, or lost to numbers that are not finite.
    if (physics.lost(onRail()))
        physics.respawn(model.bodyName());

    collision.checkTouches(ball);
    shadows.placeBallShadow(ball, onRail(), heading);
    shadows.placeObjectShadows();
    model.updateLook(ball, forward, cameraHold ? &heldTarget : nullptr, dt);
    model.roll(ball, forward, dt);
    model.place(heading, ball.position);
}

math::Vector3 Player::steer(BallControl& control, bool held, float forwardInput, float rightInput, float dt)
{
    // A switch of control mode hands the direction over once.
    if (stickMode != previousStickMode) {
        previousStickMode = stickMode;
        if (stickMode)
            camera.setYaw(heading);
        else
            heading = camera.yaw();
    }

    bool ride = false;
    float railSteer = 0.f;
    bool cameraRelative = false;
    if (!stickMode) {
        camera.dropInput();
        ride = onRail();
        railSteer = rightInput;
    } else {
        camera.applyInput();
        const BallBody& ball = physics.body();
        const float vx = ball.velocity.x, vz = ball.velocity.z;
        // Tilt steering turns the camera slowly towards the travel direction.
        if (tiltCameraFollow && !held && !onRail())
            camera.turnTowardsTravel(vx, vz, stickX, dt);
        camera.easeFollow(touchIdle, dt);

        railSteer = stickX;
        if (onRail()) {
            ride = true;
        } else if (camera.following() && !held) {
            // An idle touch screen lets the camera follow the ball.
            camera.followTravel(vx, vz, dt);
            cameraRelative = true;
        } else {
            cameraRelative = !held;
        }
    }

    if (ride) {
        rider.ride(physics.body(), forward, control, railSteer, dt);
        heading = std::atan2(forward.x, forward.z);
        return forward;
    }
    if (cameraRelative) {
        const float yaw = camera.yaw();
        const float c = std::cos(yaw), s = std::sin(yaw);
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

void Player::applyWorldRequests()
{
    if (!world)
        return;
    BallBody& ball = physics.body();
    world->takePlayerRequests(requests);
    for (const PlayerRequest& request : requests) {
        switch (request.kind) {
        case PlayerRequest::AttachToRail:
            rider.attach(request.name, ball.position);
            break;
        case PlayerRequest::LeaveRail:
            rider.leave(request.name, ball);
            break;
        case PlayerRequest::MultiplySpeed:
            rider.multiplySpeed(ball, request.value);
            break;
        case PlayerRequest::RailSpeedLimit:
            rider.setSpeedLimit(request.value);
            break;
        case PlayerRequest::MoveBallTo: {
            hgr::Node* node = world->findNode(request.name);
            const size_t mark = request.name.rfind("_L_");
            if (node) {
                const math::Vector3 p = node->getWorldTransform().getTranslation();
                if (p.isFinite())
                    ball.position = p;
            } else if (mark != std::string::npos) {
                // "x_L_name" names a rail.
                rider.moveToRail(request.name.substr(mark + 3), ball);
            }
            ball.velocity = math::Vector3();
            rider.clearFall();
            break;
        }
        case PlayerRequest::CameraGuide:
            camera.selectGuide(request.name, ball.position);
            break;
        default:
            break;
        }
    }
}

} // namespace lumaroll
