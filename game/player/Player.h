// The player of one level in play mode, as the level session and the HUD use
// it: composes the level's collision world (LevelCollision), the ball's
// physics (BallPhysics), the rail rider (RailRider), the follow camera
// (FollowCamera), the ball's model (BallModel) and the shadows
// (PlayerShadows), and turns the frame's input into the ball step. Its
// members are those the session uses; each part is driven on its own through
// its own header.
#pragma once

#include "logic/PlayerRequest.h"
#include "player/Ball.h"
#include "player/BallModel.h"
#include "player/BallPhysics.h"
#include "player/FollowCamera.h"
#include "player/LevelCollision.h"
#include "player/PlayerShadows.h"
#include "player/RailRider.h"

#include <hgr/Node.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>
#include <math/Vector3.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace gr {
class Context;
}

namespace lumaroll {

class SceneWorld;

class Player {
public:
    // Takes a counted reference to the scene and keeps the world (not owned,
    // must outlive the player), then builds the collision world and trigger
    // volumes from the scene (printing the "collision:" line). Engine
    // exceptions pass on.
    Player(hgr::Scene* scene, SceneWorld* world);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Level set-up (the session, in this order: touchables and shadow
    // casters, loadForms, analyseModel, createShadow, setSoundCallback,
    // buildRails, placeAtStart).

    // Appends a sphere volume of radius around node that starts trigger name on entry.
    void addTouchable(const std::string& name, hgr::Node* node, float radius);
    // Reads the model's "D_forminfo" record (the text after its '='): the
    // shadow node name and the ball values from fields 4 to 12; publishes the
    // values and sets "gravity" when the world has none. Fewer than 13
    // fields: a message on stderr and nothing changes. A field out of range
    // (player/BallValueRange.h; the radius up to the grid's contact reach) is
    // ignored with a line on stderr.
    void loadForms(const std::string& text);
    // Makes model (the player root, already linked under the scene) the ball
    // node with an identity transform and finds in it the rolling body (the
    // largest near-spherical mesh: pivot, body name, and the radius unless a
    // form record was loaded), the eyes group, the camera dummies, and the
    // shadow node, which it moves under the scene; disables "*camera*" and
    // "splash" nodes and removes "G_plimbo_eyes_rolling". Prints the "eyes:"
    // line when the model has eyes. Call after loadForms; null does nothing.
    void analyseModel(hgr::Node* model);
    // Builds the ball's shadow quad "sombra_jugador" ("unlit-tex-alpha" with
    // "ball_shadow.pvr") under the scene, unless the model brought a shadow
    // node. On an engine exception prints "could not create the ball shadow"
    // on stderr and the ball has no shadow. Call after analyseModel.
    void createShadow(gr::Context* context) { shadows.createBallShadow(context); }
    // Registers shadow as the shadow copy of caster: keeps its world rotation,
    // relinks it directly under the scene (collect the meshes before calling)
    // and places it on the ground below caster every step; with hideWhenHigh
    // it hides while caster is more than 120 above the ground. Null shadow or
    // caster, or the scene itself as shadow, are ignored.
    void addShadowCaster(hgr::Node* shadow, hgr::Node* caster, bool hideWhenHigh)
    {
        shadows.addCaster(shadow, caster, hideWhenHigh);
    }
    // Builds the rails and camera guides from the scene's "L_" nodes
    // (readRails), replacing earlier ones; the ball leaves any rail and
    // guide. Prints a line per camera guide and the "rails:" summary.
    void buildRails();

    // Puts the ball on the ground below the level's start (or at the start's
    // own height without ground) and writes the summary line.
    void placeAtStart() { physics.placeAtStart(model.bodyName()); }
    // The "ball: ..." line written by placeAtStart; the session prints it.
    const std::string& summary() const { return physics.summary(); }

    // Frame (the session, in this order: controlsEnabled, its input read,
    // setTiltScheme, addCameraInput, setMoveInput, step, updateCamera).

    // False while a scene camera holds the ball, when "controls" is 0 or while
    // "countdown" is above 0; the input reader ignores steering then.
    bool controlsEnabled() const;
    // The camera-relative controls of the next step: stickMode chooses them
    // over heading controls; tiltCameraFollow turns the camera towards the
    // travel direction; touchIdle is the follow blend's target; stickX and
    // stickY the move stick (-1 to 1).
    void setMoveInput(bool stickMode, bool tiltCameraFollow, bool touchIdle, float stickX, float stickY);
    // Adds the frame's camera yaw and pitch input to the pending ones.
    void addCameraInput(float yaw, float pitch) { camera.addInput(yaw, pitch); }
    // Whether tilt steering is on (the camera follows camera guides then).
    void setTiltScheme(bool on) { camera.setTiltScheme(on); }
    // One frame of the ball, in this order: world requests, camera hold, ball
    // values, input to control (riding the rail on one), integration, the
    // rail's brake, sounds, respawn, triggers, shadows, the eyes, the roll
    // and the model's transforms. forwardInput and rightInput are -1 to 1.
    // With dt 0 (the session's paused frame) the ball stays where it is
    // unless a request or a respawn puts it elsewhere.
    void step(bool jump, float dt, float forwardInput, float rightInput);
    // Places the camera node (null: nothing) behind or around the ball: at a
    // fixed offset on a rail; off rails orbiting by the camera yaw and pitch,
    // following the current guide while tilt steering is on, or trailing the
    // heading; pulled in front of walls, kept above ground and water, smoothed.
    void updateCamera(hgr::Node* cameraNode, float dt)
    {
        camera.update(cameraNode, physics.body(), forward, rider.onRail(), previousStickMode, waterHeightCallback,
                      dt);
    }

    // Read by the session and the HUD.
    // Whether the ball rides a rail (the session ends a completed level at once then).
    bool onRail() const { return rider.onRail(); }
    // The index of the rail the ball rides, negative when none (read by the HUD).
    int railIndex() const { return rider.index(); }
    // The number of rails buildRails made (the session's sky and boost set-up need one).
    int railCount() const { return static_cast<int>(rider.rails().size()); }
    // The distance ridden along rails in scene units, 100 to the metre; only
    // grows, and not once the level is complete (the HUD's ride display and results).
    float distanceRidden() const { return rider.distanceRidden(); }
    // The ball's centre in world space (the session's listener for ambient sounds).
    math::Vector3 ballPosition() const { return physics.body().position; }
    // The ball: values, death plane and motion, as the last step or placement
    // left them (the session's rest watch reads the velocity).
    const BallBody& body() const { return physics.body(); }
    // The model point the body rolls about, in the player root's space, set
    // by analyseModel (0 before or without a body); the boost effect sits there.
    const math::Vector3& pivotPoint() const { return model.pivotPoint(); }

    // Called with the sound name and volume for the jump and impact sounds;
    // set by the session's player set-up. Without one the ball is silent.
    void setSoundCallback(std::function<void(const std::string& sound, float volume)> play)
    {
        soundCallback = std::move(play);
    }
    // Whether (x, z) lies over water, and its height; set by the session when
    // the level has a water reflection, used by the camera. Without one the
    // camera knows of no water.
    void setWaterHeightCallback(std::function<bool(float x, float z, float& height)> waterAt)
    {
        waterHeightCallback = std::move(waterAt);
    }

private:
    std::function<void(const std::string& sound, float volume)> soundCallback;
    std::function<bool(float x, float z, float& height)> waterHeightCallback;
    lang::Ptr<hgr::Scene> scene;
    SceneWorld* world;

    // The parts; the collision world first, as the others keep its grid.
    LevelCollision collision;
    BallPhysics physics;
    RailRider rider;
    FollowCamera camera;
    BallModel model;
    PlayerShadows shadows;

    // The step's direction of travel and the ball's heading (radians about up).
    math::Vector3 forward{0.f, 0.f, 1.f};
    float heading = 0.f;

    // Camera hold by "setcamera": the ball only falls, the eyes look at the target.
    bool cameraHold = false;
    math::Vector3 heldTarget;

    // Input of the next step; previousStickMode is the mode the last step used.
    bool stickMode = false;
    bool previousStickMode = false;
    bool tiltCameraFollow = false;
    bool touchIdle = false;
    float stickX = 0.f;
    float stickY = 0.f;

    // The requests taken from the world this step (kept so its storage is reused).
    std::vector<PlayerRequest> requests;

    // The step's part that carries out the requests taken from the world, in order.
    void applyWorldRequests();
    // The step's part from the input to the control record (riding the rail
    // on one); returns the forward direction of the step.
    math::Vector3 steer(BallControl& control, bool held, float forwardInput, float rightInput, float dt);
};

} // namespace lumaroll
