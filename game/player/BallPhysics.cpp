// The ball values (the form record and the exchange with the world's
// variables) and the sounds of the ball's motion.
#include "player/BallPhysics.h"

#include "logic/SceneWorld.h"

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

// Above this no ball value makes sense (forces and speeds run to thousands),
// and below it no product the ball's motion forms can overflow a float.
constexpr float kLargestValue = 1e6f;

// A ball value as it comes from the form record or the world's variables,
// with the range it is taken in; a value outside is ignored with a line and
// the one before kept.
struct ValueRange {
    const char* name; // as the summary line names it
    float BallValues::*member;
    bool zeroAllowed; // zero is refused where it divides (or makes no ball)
    float largest;
};

const ValueRange kRadiusRange{"radius", &BallValues::radius, false, 0.f}; // largest: the grid's contact reach
const ValueRange kMassRange{"mass", &BallValues::mass, false, kLargestValue};
const ValueRange kForceRange{"force", &BallValues::movementForce, true, kLargestValue};
const ValueRange kJumpRange{"jump", &BallValues::jumpForce, true, kLargestValue};
const ValueRange kFrictionRange{"friction", &BallValues::friction, true, kLargestValue};
const ValueRange kFrictionSlideRange{"friction slide", &BallValues::frictionSlide, true, kLargestValue};
const ValueRange kMaxSpeedRange{"max speed", &BallValues::maxSpeed, true, kLargestValue};
const ValueRange kReboundRange{"rebound", &BallValues::rebound, true, kLargestValue};
const ValueRange kGravityRange{"gravity", &BallValues::gravity, true, kLargestValue};

bool inRange(const ValueRange& range, float value, float largest)
{
    return std::isfinite(value) && (range.zeroAllowed ? value >= 0.f : value > 0.f) && value <= largest;
}

} // namespace

BallPhysics::BallPhysics(hgr::Scene* levelScene, SceneWorld* levelWorld, const CollisionGrid& levelGrid)
    : scene(levelScene), world(levelWorld), grid(levelGrid)
{
}

void BallPhysics::takeFormValues(const std::vector<std::string>& fields)
{
    // A field without a number reads as 0, as the record's own reader does.
    // A ball wider than the contact query reaches would fall through everything.
    BallValues& v = ball.values;
    const float widest = CollisionGrid::kMaxContactRadiusCells * grid.cellSize;
    const auto number = [&](size_t i, const ValueRange& range) {
        const float value = static_cast<float>(std::strtod(fields[i].c_str(), nullptr));
        if (inRange(range, value, range.member == &BallValues::radius ? widest : range.largest))
            v.*range.member = value;
        else
            std::fprintf(stderr, "ball: %s '%s' in D_forminfo ignored\n", range.name, fields[i].c_str());
    };
    number(5, kRadiusRange);
    number(6, kMassRange);
    number(7, kForceRange);
    number(8, kJumpRange);
    number(9, kFrictionRange);
    number(10, kFrictionSlideRange);
    number(11, kMaxSpeedRange);
    number(12, kReboundRange);

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
        ball.values.radius = radius;
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
    const auto read = [this](const std::string& name, const ValueRange& range) {
        if (!world->hasVariable(name))
            return;
        const float value = world->getVariable(name);
        if (inRange(range, value, range.largest))
            ball.values.*range.member = value;
        else
            std::fprintf(stderr, "ball: %s '%g' in %s ignored\n", range.name, double(value), name.c_str());
    };
    read(kMass, kMassRange);
    read(kRebound, kReboundRange);
    read(kFriction, kFrictionRange);
    read(kMaxSpeed, kMaxSpeedRange);
    read(kFrictionSlide, kFrictionSlideRange);
    read(kJumpForce, kJumpRange);
    read(kMovementForce, kForceRange);
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
    if (inRange(kGravityRange, value, kGravityRange.largest)) {
        ball.values.gravity = value;
        gravityIgnored = false;
        return;
    }
    // Read every step: the line only when the value ignored changes.
    if (!gravityIgnored || std::memcmp(&value, &ignoredGravity, sizeof value) != 0)
        std::fprintf(stderr, "ball: gravity '%g' in gravity ignored\n", double(value));
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
