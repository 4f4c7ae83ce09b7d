// The ball's ride on the level's rails: which rail it rides and how far
// along, the rail speed and the fall off a rail, the hand-over to the next
// rail, and the distance ridden that the HUD shows.
//
// Invariants: the index of the current rail is -1 or an index into rails();
// setRails ends any ride; the distance ridden only grows, and not once the
// level is complete; a frame adds to it no more than twice the way the ball
// moved since the last frame of the ride (the start of the ride for the
// first); the rail speed limit is finite and in its range
// (player/BallValueRange.h).
//
// A rail whose next names itself is a loop when its drawing closes, or when
// the ends of its drawing lie within ten ball radii of each other and within
// a quarter of its length: level tools draw loops whose ends miss each other
// by a few units or a few hundred. A loop hands the ball over to itself at
// its end and the ride goes round, however wide of the track the ball runs.
// The ends of an open rail lie further apart, so the ball runs on past
// the end as past a rail without a next, and the distance ridden counts only
// the way it rode.
#pragma once

#include "player/Ball.h"
#include "player/Rail.h"

#include <math/Vector3.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace lumaroll {

class SceneWorld;

class RailRider {
public:
    // Keeps world (not owned, must outlive this; null: the ball never rides).
    explicit RailRider(SceneWorld* levelWorld) : world(levelWorld) {}
    RailRider(const RailRider&) = delete;
    RailRider& operator=(const RailRider&) = delete;

    // Replaces the rails (readRails makes them); the ball leaves any rail.
    void setRails(std::vector<Rail> built);
    // The rails, in scene order.
    const std::vector<Rail>& rails() const { return railList; }
    // Whether the ball rides a rail.
    bool onRail() const { return currentRail >= 0; }
    // The index of the rail the ball rides, negative when none.
    int index() const { return currentRail; }
    // The distance ridden along rails in scene units, 100 to the metre.
    float distanceRidden() const { return railDistanceRidden; }
    // The distance along the current rail from the start of its drawing.
    float distanceAlong() const { return railDistance; }

    // The world's requests ("attachtorail", "leaverail", "multiplyspeed",
    // "setrailspeedlimit", "moveballto"); a name that matches no rail does nothing.

    // Puts the ball on the rail named name, at the point closest to ball.
    void attach(const std::string& name, const math::Vector3& ball);
    // Takes the ball off the rail named name when it rides that one, its up
    // straight again.
    void leave(const std::string& name, BallBody& ball);
    // Multiplies the ball's velocity by factor. A speed above the ball's
    // whole speed limit is cut to it along its own direction at once, and on
    // a rail a raise stops at 1.15 times the rail speed limit, however large
    // the factor; the step's own limits do the rest. A factor that is not
    // finite, or one that makes the velocity so (the ball would be lost), is
    // ignored with the line "ball: speed factor '<factor>' from speedmul ignored".
    void multiplySpeed(BallBody& ball, float factor) const;
    // The rail speed limit (3000 until set); a value that is not finite or is
    // out of 0 to 790000 (so that the ride's max speed, 1.265 times it, stays
    // in the max speed's range) is ignored with the line
    // "ball: rail speed limit '<value>' from maxspeed ignored".
    void setSpeedLimit(float limit);
    // Puts the ball at the start of the rail "L_" + name (else the rail
    // called name itself), 1.5 radii above the track along its up, and rides it.
    void moveToRail(const std::string& name, BallBody& ball);
    // Forgets the fall and the time in the air of the last ride (the ball was moved).
    void clearFall();

    // One frame of dt of riding the current rail (nothing off rails): keeps
    // the ball on the track at the rail speed, steers sideways by steer (-1
    // to 1; none while the world's "controls" is 0), follows the track's up,
    // hands over to the next rail, fires the fall trigger once, publishes
    // "speed01" and counts the distance ridden. Sets the ball's friction to 0
    // and its max speed to 1.265 times the rail speed limit (both through
    // the range check). Fills control.move and sets forward to the direction
    // of travel.
    void ride(BallBody& ball, math::Vector3& forward, BallControl& control, float steer, float dt);
    // Brakes the ride after the last integration hit a wall (a face across
    // the ball's up) at above 250: a speed along forward above 400 falls to
    // 15 % of it, 300 at the least. Nothing off rails.
    void brakeOnImpact(BallBody& ball, const math::Vector3& forward) const
    {
        if (onRail() && ball.impactSpeed > 250.f && std::fabs(ball.impactNormal.dot(ball.up)) < 0.5f) {
            const float d = ball.velocity.dot(forward);
            if (d > 400.f)
                ball.velocity -= forward * (d - std::max(0.15f * d, 300.f));
        }
    }

private:
    SceneWorld* world;
    std::vector<Rail> railList;
    int currentRail = -1;
    float railDistance = 0.f;
    float railSpeedLimit = 3000.f;
    float railDistanceRidden = 0.f;
    // The ball's centre at the last frame of the ride, or where the ride began.
    math::Vector3 lastRidePosition;
    float railAirTime = 0.f;
    bool railFallen = false;

    // Hands the ball at position (of the given radius) to the rail named
    // next of the current one at its end, finding the ball in the first half
    // of the next rail; returns whether it did. A rail that names itself
    // hands over to itself only when it is a loop (see above).
    bool handOver(RailSample& s, const math::Vector3& position, float radius);
    // The index of the rail named name, -1 when none.
    int findRail(const std::string& name) const;
    // Where a ride of rail index starts: its length when ridden backwards, else 0.
    float rideStart(int index) const;
};

} // namespace lumaroll
