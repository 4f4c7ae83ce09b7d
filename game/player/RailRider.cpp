// Riding the current rail, and the world's requests that put the ball on a
// rail, take it off or change its speed.
#include "player/RailRider.h"

#include "logic/ProcessFlags.h"
#include "logic/SceneWorld.h"
#include "player/BallValueRange.h"
#include "player/PlayerMath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace lumaroll {

namespace {

const std::string kControls = "controls";
const std::string kSpeed = "speed01";

// Whether a rail that names itself goes round again: its drawing closes, or
// its ends lie within ten ball radii of each other and within a quarter of
// its length (the ends of an open rail lie further apart than that).
bool isLoop(const RailPath& path, float radius)
{
    if (path.closed())
        return true;
    const float length = path.length();
    const float gap = (path.sampleAtDistance(length).position - path.sampleAtDistance(0.f).position).length();
    return gap <= std::min(10.f * radius, 0.25f * length);
}

} // namespace

void RailRider::setRails(std::vector<Rail> built)
{
    railList = std::move(built);
    // A ride in progress would index the rails just discarded.
    currentRail = -1;
    railDistance = 0.f;
}

void RailRider::attach(const std::string& name, const math::Vector3& ball)
{
    const int rail = findRail(name);
    if (rail >= 0) {
        currentRail = rail;
        railDistance = railList[static_cast<size_t>(rail)].path.closestPoint(ball).distance;
        lastRidePosition = ball;
    }
}

void RailRider::leave(const std::string& name, BallBody& ball)
{
    if (onRail() && railList[static_cast<size_t>(currentRail)].name == name) {
        currentRail = -1;
        ball.up = math::Vector3(0.f, 1.f, 0.f);
    }
}

void RailRider::multiplySpeed(BallBody& ball, float factor) const
{
    // Any finite factor, unless the speed it makes is no longer a number
    // (the ball would be lost).
    const math::Vector3 scaled = ball.velocity * factor;
    if (!inRange(kSpeedFactorRange, factor) || !scaled.isFinite()) {
        reportIgnored(kSpeedFactorRange, factor, "from speedmul");
        return;
    }
    ball.velocity = scaled;
    // Above the ball's whole speed limit the speed is brought down to it
    // here, along the velocity's own direction. The step's cap across up
    // comes first and would leave the part along up, a trace of the floor's
    // inexact normal grown by the factor, to take the whole speed: the ball
    // would leap up rather than roll on.
    capLength(ball.velocity, ball.values.speedLimit);
    if (factor > 1.f && onRail())
        capLength(ball.velocity, 1.15f * railSpeedLimit);
}

void RailRider::setSpeedLimit(float limit)
{
    takeValue(kRailSpeedLimitRange, limit, railSpeedLimit, "from maxspeed");
}

void RailRider::moveToRail(const std::string& name, BallBody& ball)
{
    // Rails keep their node names: "L_name", else a rail called "name" itself.
    int rail = findRail("L_" + name);
    if (rail < 0)
        rail = findRail(name);
    if (rail >= 0) {
        currentRail = rail;
        railDistance = rideStart(rail);
        const RailSample s = railList[static_cast<size_t>(rail)].path.sampleAtDistance(railDistance);
        ball.position = s.position + s.up * (1.5f * ball.values.radius);
        lastRidePosition = ball.position;
    }
}

void RailRider::clearFall()
{
    railFallen = false;
    railAirTime = 0.f;
}

int RailRider::findRail(const std::string& name) const
{
    for (size_t i = 0; i < railList.size(); ++i)
        if (railList[i].name == name)
            return static_cast<int>(i);
    return -1;
}

float RailRider::rideStart(int index) const
{
    const Rail& rail = railList[static_cast<size_t>(index)];
    return rail.forwardDirection < 0.f ? rail.path.length() : 0.f;
}

bool RailRider::handOver(RailSample& s, const math::Vector3& position, float radius)
{
    const Rail& rail = railList[static_cast<size_t>(currentRail)];
    const float length = rail.path.length();
    // A rail ridden backwards ends at distance 0.
    const bool backwards = rail.forwardDirection < 0.f;
    const bool atEnd = backwards ? s.distance <= 1.f : s.distance >= length - 1.f;
    if (!atEnd || rail.next.empty())
        return false;
    const int next = findRail(rail.next);
    if (next < 0 || (next == currentRail && !isLoop(rail.path, radius)))
        return false;
    if (!world->levelComplete)
        railDistanceRidden += backwards ? railDistance : length - railDistance;
    const Rail& nextRail = railList[static_cast<size_t>(next)];
    const float start = rideStart(next);
    currentRail = next;
    railDistance = start;
    // Looked for in the first half of the next rail only: on a short loop the
    // ball just before the joint is at the start of its new lap, not at the
    // end again (which would count the lap twice and hand over once more).
    const float ahead = std::min(3000.f, 0.5f * nextRail.path.length());
    s = nextRail.forwardDirection < 0.f ? nextRail.path.closestPointNear(position, start, ahead, 0.f)
                                        : nextRail.path.closestPointNear(position, start, 0.f, ahead);
    return true;
}

void RailRider::ride(BallBody& body, math::Vector3& forward, BallControl& control, float steer, float dt)
{
    if (!onRail() || static_cast<size_t>(currentRail) >= railList.size() || !world)
        return;
    const math::Vector3 p = body.position;
    math::Vector3& v = body.velocity;

    RailSample s =
        railList[static_cast<size_t>(currentRail)].path.closestPointNear(p, railDistance, 600.f, 3000.f);
    // Far from the window (a teleport, a shortcut): look along the whole track.
    if (s.offset > 1500.f) {
        const Rail& rail = railList[static_cast<size_t>(currentRail)];
        const RailSample f = rail.path.closestPoint(p);
        if (f.offset < 0.5f * s.offset) {
            if (traceEnabled())
                std::printf("[trace] rail %s: resynced from s %.0f to %.0f (distance %.0f -> %.0f)\n",
                            rail.name.c_str(), railDistance, f.distance, s.offset, f.offset);
            s = f;
            railDistance = f.distance;
        }
    }
    const float ridden = railDistanceRidden;
    handOver(s, p, body.values.radius);

    const Rail& rail = railList[static_cast<size_t>(currentRail)];
    if (!world->levelComplete) {
        const float progress = rail.forwardDirection < 0.f ? railDistance - s.distance : s.distance - railDistance;
        if (progress > 0.f)
            railDistanceRidden += progress;
    }
    railDistance = s.distance;
    // A frame counts no more than the ball moved: a point that jumps across
    // the joint of a short loop, or ahead of a ball that stands still,
    // counts nothing the ball did not ride. Twice its motion, because round
    // a curve the ball, riding above the track, moves less than its point on it.
    railDistanceRidden = std::min(railDistanceRidden, ridden + 2.f * (p - lastRidePosition).length());
    lastRidePosition = p;

    body.up += (s.up - body.up) * 0.2f;
    const math::Vector3 d = s.tangent * rail.forwardDirection;
    const math::Vector3 side = body.up.cross(d);
    const bool controls = !(world->hasVariable(kControls) && world->getVariable(kControls) == 0.f);

    // Towards the rail speed: quickly from below, slowly from above.
    const float target = 1.15f * railSpeedLimit;
    const float along = d.dot(v);
    const float k = std::min((along < target ? 2.5f : 0.7f) * dt, 1.f);
    v += d * (k * (target - along));

    // Sideways: steering pushes, no steering (or no controls) centres the ball.
    const float lateral = side.dot(v);
    float push = 0.f;
    if (!controls || std::fabs(steer) < 0.01f)
        v -= side * (std::min(6.f * dt, 1.f) * lateral);
    if (controls)
        push = steer * 3.f;
    control.move = side * push;

    // The ride keeps the speed: no friction, room above the rail speed.
    takeValue(kFrictionRange, 0.f, body.values.friction, "from the ride");
    takeValue(kMaxSpeedRange, 1.1f * target, body.values.maxSpeed, "from the ride");

    bool fallen;
    if (!body.onGround) {
        const float rising = v.dot(body.up);
        if (rising > 0.f)
            v -= body.up * (rising * std::min(10.f * dt, 1.f));
        railAirTime += dt;
        fallen = (railAirTime > 0.7f && s.offset > 1200.f) || s.offset > 6000.f;
    } else {
        railAirTime = 0.f;
        fallen = s.offset > 6000.f;
    }
    forward = d;

    if (fallen && !railFallen && !rail.fallTrigger.empty()) {
        railFallen = true;
        if (traceEnabled())
            std::printf("[trace] rail %s: fell (s %.0f, distance %.0f, %.1f s airborne), %s\n", rail.name.c_str(),
                        railDistance, s.offset, railAirTime, rail.fallTrigger.c_str());
        // The world runs the trigger at once; what its script asks of the
        // player waits for the next step's requests.
        world->activateTrigger(rail.fallTrigger);
    }
    world->setVariable(kSpeed, float(exactLength(v)));
}

} // namespace lumaroll
