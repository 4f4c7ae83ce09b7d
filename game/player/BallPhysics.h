// The ball's physics as the player runs it: the body (values, death plane and
// motion), the values' exchange with the form record and the world's
// variables, the integration through the collision world, the jump and
// impact sounds, and where the ball is put (the level's start, a checkpoint,
// the respawn of a lost ball).
//
// Invariants: the ball's values are finite and in their ranges
// (player/BallValueRange.h; the radius at most the grid's contact reach):
// every writer of them (the form record, the model's radius, the world's
// variables, the ride, setBody) goes through takeValue, so that a value out
// of range is refused with a line on stderr and the value before kept; a
// placement leaves the ball still and off the ground.
#pragma once

#include "player/Ball.h"
#include "player/BallValueRange.h"
#include "player/CollisionGrid.h"

#include <functional>
#include <string>
#include <vector>

namespace hgr {
class Scene;
}

namespace lumaroll {

class SceneWorld;

class BallPhysics {
public:
    // Called with the sound name and volume; may be empty.
    using SoundCallback = std::function<void(const std::string& sound, float volume)>;

    // Keeps scene, world and grid (not owned, all must outlive this; world
    // may be null: nothing is exchanged with it then).
    BallPhysics(hgr::Scene* scene, SceneWorld* world, const CollisionGrid& grid);
    BallPhysics(const BallPhysics&) = delete;
    BallPhysics& operator=(const BallPhysics&) = delete;

    // The ball as the last integration, placement or writer left it.
    const BallBody& body() const { return ball; }
    // The ball for what moves it besides the integration: the rail rider and
    // the world's requests. The integration starts from whatever they leave.
    // Its values are written only through takeValue.
    BallBody& body() { return ball; }
    // Replaces the ball's motion with body's, for a set-up that places the
    // ball by hand, and takes its values through the range check ("from
    // setBody"); the speed limit, jump factor and air control stay.
    void setBody(const BallBody& body);

    // Takes the ball values of a form record's fields 5 to 12 (radius, mass,
    // force, jump, friction, friction slide, max speed, rebound; fields holds
    // at least 13), each one out of range ignored with a line on stderr; they
    // become the reset values, are published, and "gravity" is set to 2000
    // when the world has none.
    void takeFormValues(const std::vector<std::string>& fields);
    // The analysed model's body radius: taken when above 1 unless a form
    // record was loaded (its radius wins); one wider than the grid's contact
    // reach is ignored with a line.
    void takeModelRadius(float radius);
    // Writes the seven ball-value variables of values into the world.
    void publishValues(const BallValues& values);
    // Reads back the seven ball-value variables the world holds into the
    // active values. A value that is not finite or is out of its range
    // (below 0, or 0 for the mass; above 1e6) is ignored with a line on
    // stderr ("ball: max speed '-800' in ballmaxspeed ignored"), the active
    // one kept.
    void readValues();
    // The step's exchange with the world, in this order: the world's
    // "gravity" (readGravity), the reset values published on
    // "resetballvalues" (once a form record was loaded), the values read back
    // on "updateballvalues".
    void exchangeValues();

    // One frame of motion through the grid (BallBody::integrate).
    void integrate(const BallControl& control, float dt) { ball.integrate(control, grid, dt); }
    // The sounds of the last integration: the jump sound at full volume when
    // it jumped; else the impact sound for an impact above 350 (1200 on a
    // rail), its volume the speed over 1400 (4000), at most one each 0.15 s
    // (0.6 s). Nothing without a callback.
    void playSounds(float dt, bool onRail, const SoundCallback& sound);

    // Puts the ball on the ground below the level's start (or at the start's
    // own height without ground) and writes the summary line, which names
    // bodyName as the ball's body.
    void placeAtStart(const std::string& bodyName);
    // Puts the ball on the ground below the named node; placeAtStart when the
    // world has no such node. The summary line is kept.
    void respawnAt(const std::string& checkpointName, const std::string& bodyName);
    // Puts the ball back at the world's checkpoint (respawnAt), or at the
    // start without one.
    void respawn(const std::string& bodyName);
    // Whether the ball is lost: below the death plane (not on a rail), or its
    // position or velocity is not finite.
    bool lost(bool onRail) const
    {
        return (!onRail && ball.deathPlane > ball.position.y) || !ball.position.isFinite() ||
               !ball.velocity.isFinite();
    }
    // The "ball: ..." line written by placeAtStart.
    const std::string& summary() const { return summaryLine; }

private:
    // The values "resetballvalues" publishes: the defaults, or those of the
    // form record once loaded (valid is set then).
    struct ResetValues {
        BallValues values;
        float deathPlane = -2000.f;
        bool valid = false;
    };

    hgr::Scene* scene;
    SceneWorld* world;
    const CollisionGrid& grid;
    BallBody ball;
    ResetValues reset;
    std::string summaryLine;
    float impactCooldown = 0.f;
    // The world's "gravity" last ignored (out of range), to say so once.
    bool gravityIgnored = false;
    float ignoredGravity = 0.f;

    // Takes the world's "gravity" as the ball's when it is in range (0 to
    // 1e6); a line on stderr when an ignored value first appears.
    void readGravity();
    // The radius's range: at most the grid's contact reach.
    ValueRange radiusRange() const;
    // Puts the ball at point, on the ground found within 3000 below point + lift.
    void setOnGround(const math::Vector3& point, float lift);
};

} // namespace lumaroll
