// The follow camera: on a rail behind the ball at a fixed offset along the
// track; off rails orbiting the ball by its yaw and pitch, following the
// current camera guide while tilt steering is on, or trailing the ball's
// heading; pulled in front of walls, kept above the ground and the water, and
// smoothed. It also owns the orbit: the yaw and pitch that stick steering
// moves the ball relative to, and their turning towards the travel direction.
//
// Invariants: the orbit pitch stays within -0.6 to 1.2 (the input is clamped
// there, a guide eases it towards 0.15 to 0.75); the guide index is -1 or an
// index into the guides; setGuides leaves any guide.
#pragma once

#include "player/Ball.h"
#include "player/CollisionGrid.h"
#include "player/Rail.h"

#include <math/Vector3.h>

#include <functional>
#include <string>
#include <vector>

namespace hgr {
class Node;
}

namespace lumaroll {

class FollowCamera {
public:
    // Whether (x, z) lies over water, and its height there; may be empty.
    using WaterHeight = std::function<bool(float x, float z, float& height)>;

    // Keeps grid (not owned, must outlive this), which the camera's rays and
    // ground probes ask.
    explicit FollowCamera(const CollisionGrid& levelGrid) : grid(levelGrid) {}
    FollowCamera(const FollowCamera&) = delete;
    FollowCamera& operator=(const FollowCamera&) = delete;

    // Replaces the camera guides (readRails makes them); no guide is current.
    void setGuides(std::vector<CameraGuide> built);
    // Makes the guide named name current (the world's "setguidingobject"),
    // from the point of its track closest to ball; no guide when none has
    // that name. Prints "camera guide: <name> active" or "camera guide: off (<name>)".
    void selectGuide(const std::string& name, const math::Vector3& ball);
    // Whether tilt steering is on: the camera then follows the current guide
    // and eases faster.
    void setTiltScheme(bool on) { tiltScheme = on; }

    // The orbit, in radians about the up axis (yaw 0 looks along +z) and
    // above the horizon.
    float yaw() const { return orbitYaw; }
    void setYaw(float yaw) { orbitYaw = yaw; }
    // Adds the frame's yaw and pitch input to the pending ones.
    void addInput(float yaw, float pitch)
    {
        yawInput += yaw;
        pitchInput += pitch;
    }
    // Turns the orbit by the pending input (the pitch kept within -0.6 to
    // 1.2), which is then spent.
    void applyInput();
    // Drops the pending input (heading steering has no orbit).
    void dropInput()
    {
        yawInput = 0.f;
        pitchInput = 0.f;
    }
    // Tilt steering's camera follow: turns the yaw slowly (at most 0.8 a
    // second) towards the ball's ground velocity (vx, vz), when it is above
    // 150 and mostly along the view; less while the stick is pushed sideways
    // (stickX, -1 to 1).
    void turnTowardsTravel(float vx, float vz, float stickX, float dt);
    // Eases the follow blend towards 1 while the touch screen is idle, else
    // towards 0 (2 a second).
    void easeFollow(bool touchIdle, float dt);
    // Whether the follow blend is on (above 0.01): the idle touch screen's
    // camera follows the ball (followTravel).
    bool following() const { return followBlend > 0.01f; }
    // Turns the yaw towards the ball's ground velocity (vx, vz) by the follow
    // blend (at most 1.2 a second), when it is above 120 and not mostly
    // against the view.
    void followTravel(float vx, float vz, float dt);

    // Places the camera node (null: nothing) for ball: on a rail behind it
    // along forward and its up; off rails at the orbit when orbiting (or on
    // the current guide with tilt steering), else trailing forward. Then
    // pulled in front of walls, kept above ground and water (water, when it
    // says so), smoothed (the first update jumps), and looking at the ball.
    void update(hgr::Node* camera, const BallBody& ball, const math::Vector3& forward, bool onRail, bool orbiting,
                const WaterHeight& water, float dt);

private:
    const CollisionGrid& grid;

    // The smoothed camera.
    math::Vector3 cameraPosition;
    math::Vector3 cameraLook;
    math::Vector3 cameraUp{0.f, 1.f, 0.f};
    bool cameraInitialised = false;
    // The wall that pulled the camera in this update, and the one last traced.
    std::string cameraBlocker;
    std::string tracedBlocker;

    std::vector<CameraGuide> guideList;
    int guideIndex = -1;
    float guideDistance = 0.f;
    bool tiltScheme = false;

    float orbitYaw = 0.f;
    float orbitPitch = 0.59f;
    float yawInput = 0.f;
    float pitchInput = 0.f;
    float followBlend = 0.f;

    // The camera's target off rails (guide, orbit or trailing); a low orbit
    // raises base, the point the camera looks at.
    math::Vector3 offRailTarget(const BallBody& ball, const math::Vector3& forward, bool orbiting,
                                math::Vector3& base, float dt);
    // Pulls target in front of walls between base and it; true when blocked.
    bool pullInFrontOfWalls(float radius, const math::Vector3& base, math::Vector3& target);
    // Raises target above the ground below it, moving it towards base.
    void keepAboveGround(float radius, const math::Vector3& base, math::Vector3& target) const;
    void updateOnRail(hgr::Node* camera, const BallBody& ball, const math::Vector3& forward, float dt);
};

} // namespace lumaroll
