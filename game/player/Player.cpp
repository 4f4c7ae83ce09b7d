// The player's construction, its ball values (form record and the exchange
// with the world's variables) and the input it keeps for the next step.
#include "player/Player.h"

#include "logic/SceneWorld.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

// The world variables of the ball values.
const std::string kMass = "ballmass";
const std::string kRebound = "ballrebound";
const std::string kMaxSpeed = "ballmaxspeed";
const std::string kFriction = "ballfriction";
const std::string kFrictionSlide = "ballfrictionslide";
const std::string kJumpForce = "balljumpforce";
const std::string kMovementForce = "ballmovementforce";
const std::string kGravity = "gravity";
const std::string kControls = "controls";
const std::string kCountdown = "countdown";

// Fields of the form record, counted from 0.
constexpr size_t kFormFields = 13;

} // namespace

Player::Player(hgr::Scene* levelScene, SceneWorld* levelWorld) : scene(levelScene), world(levelWorld)
{
    buildCollision();
}

Player::~Player() = default;

void Player::loadForms(const std::string& text)
{
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    if (fields.size() < kFormFields) {
        std::fprintf(stderr, "D_forminfo incompleto (%d campos)\n", static_cast<int>(fields.size()));
        return;
    }
    shadowNodeName = fields[4];

    // A value that is not a finite number keeps the one before (a field
    // without a number reads as 0, as the record's own reader does).
    const auto number = [&fields](size_t i, float& value) {
        const float v = static_cast<float>(std::strtod(fields[i].c_str(), nullptr));
        if (std::isfinite(v))
            value = v;
    };
    BallValues& v = body.values;
    const float radius = static_cast<float>(std::strtod(fields[5].c_str(), nullptr));
    if (std::isfinite(radius) && radius > 0.f)
        v.radius = radius;
    else
        std::fprintf(stderr, "ball: radius '%s' in D_forminfo ignored\n", fields[5].c_str());
    number(6, v.mass);
    number(7, v.movementForce);
    number(8, v.jumpForce);
    number(9, v.friction);
    number(10, v.frictionSlide);
    number(11, v.maxSpeed);
    number(12, v.rebound);

    resetValues.values = v;
    resetValues.deathPlane = body.deathPlane;
    resetValues.valid = true;
    publishBallValues(v);
    if (world && !world->hasVariable(kGravity))
        world->setVariable(kGravity, 2000.f);
}

void Player::publishBallValues(const BallValues& values)
{
    if (!world)
        return;
    world->setVariable(kMass, values.mass);
    world->setVariable(kRebound, values.rebound);
    world->setVariable(kMaxSpeed, values.maxSpeed);
    world->setVariable(kFriction, values.friction);
    world->setVariable(kFrictionSlide, values.frictionSlide);
    world->setVariable(kJumpForce, values.jumpForce);
    world->setVariable(kMovementForce, values.movementForce);
}

void Player::readBallValues()
{
    if (!world)
        return;
    // Only variables the world holds, and only finite ones: an absent or
    // broken variable must not freeze or reverse the ball.
    const auto read = [this](const std::string& name, float& value) {
        if (!world->hasVariable(name))
            return;
        const float v = world->getVariable(name);
        if (std::isfinite(v))
            value = v;
    };
    BallValues& v = body.values;
    read(kMass, v.mass);
    read(kRebound, v.rebound);
    read(kFriction, v.friction);
    read(kMaxSpeed, v.maxSpeed);
    read(kFrictionSlide, v.frictionSlide);
    read(kJumpForce, v.jumpForce);
    read(kMovementForce, v.movementForce);
    v.maxSpeed = std::max(v.maxSpeed, 0.f);
}

bool Player::controlsEnabled() const
{
    if (cameraHold || !world)
        return false;
    if (world->hasVariable(kControls) && world->getVariable(kControls) == 0.f)
        return false;
    if (world->hasVariable(kCountdown) && world->getVariable(kCountdown) > 0.f)
        return false;
    return true;
}

void Player::setMoveInput(bool stick, bool cameraFollow, bool idle, float x, float y)
{
    stickMode = stick;
    tiltCameraFollow = cameraFollow;
    touchIdle = idle;
    stickX = x;
    stickY = y;
}

void Player::addCameraInput(float yaw, float pitch)
{
    yawInput += yaw;
    pitchInput += pitch;
}

} // namespace lumaroll
