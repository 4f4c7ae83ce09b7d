// The ball values (the form record and the exchange with the world's
// variables) and the sounds of the ball's motion.
#include "player/BallPhysics.h"

#include "logic/SceneWorld.h"
#include "player/BallValueRange.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

const std::string kJumpSound = "plimbo_jump.wav";
const std::string kImpactSound = "plimbo_collision.wav";

// A ball value with the range it is taken in.
struct BallField {
    const ValueRange& range;
    float BallValues::*member;
};

const BallField kRadius{kRadiusRange, &BallValues::radius};
const BallField kMassField{kMassRange, &BallValues::mass};
const BallField kForce{kForceRange, &BallValues::movementForce};
const BallField kJump{kJumpRange, &BallValues::jumpForce};
const BallField kFrictionField{kFrictionRange, &BallValues::friction};
const BallField kFrictionSlideField{kFrictionSlideRange, &BallValues::frictionSlide};
const BallField kMaxSpeedField{kMaxSpeedRange, &BallValues::maxSpeed};
const BallField kReboundField{kReboundRange, &BallValues::rebound};
const BallField kGravityField{kGravityRange, &BallValues::gravity};

} // namespace

BallPhysics::BallPhysics(hgr::Scene* levelScene, SceneWorld* levelWorld, const CollisionGrid& levelGrid)
    : scene(levelScene), world(levelWorld), grid(levelGrid)
{
}

void BallPhysics::takeFormValues(const std::vector<std::string>& fields)
{
    // A field without a number reads as 0, as the record's own reader does.
    BallValues& v = ball.values;
    const auto number = [&](size_t i, const BallField& field) {
        const float value = static_cast<float>(std::strtod(fields[i].c_str(), nullptr));
        takeValue(field.member == &BallValues::radius ? radiusRange() : field.range, value, v.*field.member,
                  "in D_forminfo", fields[i]);
    };
    number(5, kRadius);
    number(6, kMassField);
    number(7, kForce);
    number(8, kJump);
    number(9, kFrictionField);
    number(10, kFrictionSlideField);
    number(11, kMaxSpeedField);
    number(12, kReboundField);

    reset.values = v;
    reset.deathPlane = ball.deathPlane;
    reset.valid = true;
    publishValues(v);
    if (world && !world->hasVariable(kGravity))
        world->setVariable(kGravity, 2000.f);
}

void BallPhysics::takeModelRadius(float radius)
{
    if (radius > 1.f && !reset.valid)
        takeValue(radiusRange(), radius, ball.values.radius, "of the ball model");
}

ValueRange BallPhysics::radiusRange() const
{
    // A ball wider than the contact query reaches would fall through everything.
    ValueRange range = kRadiusRange;
    range.largest = std::min(range.largest, CollisionGrid::kMaxContactRadiusCells * grid.cellSize);
    return range;
}

void BallPhysics::setBody(const BallBody& body)
{
    // The motion as given; the values only through the check, the others
    // (speed limit, jump factor, air control) as they were.
    const BallValues values = ball.values;
    ball = body;
    ball.values = values;
    const auto take = [&](const BallField& field, const ValueRange& range) {
        takeValue(range, body.values.*field.member, ball.values.*field.member, "from setBody");
    };
    take(kRadius, radiusRange());
    for (const BallField* field : {&kMassField, &kForce, &kJump, &kFrictionField, &kFrictionSlideField,
                                   &kMaxSpeedField, &kReboundField, &kGravityField})
        take(*field, field->range);
}

void BallPhysics::publishValues(const BallValues& values)
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

void BallPhysics::readValues()
{
    if (!world)
        return;
    // Only variables the world holds, and only values in range: an absent or
    // broken variable must not freeze or reverse the ball.
    const auto read = [this](const std::string& name, const BallField& field) {
        if (world->hasVariable(name))
            takeValue(field.range, world->getVariable(name), ball.values.*field.member, "in " + name);
    };
    read(kMass, kMassField);
    read(kRebound, kReboundField);
    read(kFriction, kFrictionField);
    read(kMaxSpeed, kMaxSpeedField);
    read(kFrictionSlide, kFrictionSlideField);
    read(kJumpForce, kJump);
    read(kMovementForce, kForce);
}

void BallPhysics::exchangeValues()
{
    if (!world)
        return;
    readGravity();
    if (world->takeResetBallValues() && reset.valid)
        publishValues(reset.values);
    if (world->takeUpdateBallValues())
        readValues();
}

void BallPhysics::readGravity()
{
    if (!world || !world->hasVariable(kGravity))
        return;
    const float value = world->getVariable(kGravity);
    if (inRange(kGravityRange, value)) {
        ball.values.gravity = value;
        gravityIgnored = false;
        return;
    }
    // Read every step: the line only when the value ignored changes.
    if (!gravityIgnored || std::memcmp(&value, &ignoredGravity, sizeof value) != 0)
        reportIgnored(kGravityRange, value, "in gravity");
    gravityIgnored = true;
    ignoredGravity = value;
}

void BallPhysics::playSounds(float dt, bool onRail, const SoundCallback& sound)
{
    if (!sound)
        return;
    if (ball.jumped)
        sound(kJumpSound, 1.f);
    impactCooldown -= dt;
    if (ball.impactSpeed > (onRail ? 1200.f : 350.f) && impactCooldown <= 0.f && !ball.jumped) {
        sound(kImpactSound, std::min(ball.impactSpeed / (onRail ? 4000.f : 1400.f), 1.f));
        impactCooldown = onRail ? 0.6f : 0.15f;
    }
}

} // namespace lumaroll
