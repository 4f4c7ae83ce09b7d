// The player of one level in play mode: the ball with its values and motion,
// the collision world and trigger volumes built from the scene, start and
// checkpoints, rails and camera guides, the follow camera, the ball model's
// analysis and the shadows, and the ball step that the level session calls
// each frame.
#pragma once

#include "logic/PlayerRequest.h"
#include "player/Ball.h"
#include "player/CollisionGrid.h"
#include "player/Rail.h"
#include "player/ShadowCaster.h"
#include "player/TriggerVolume.h"

#include <hgr/Node.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>
#include <math/Vector3.h>

#include <functional>
#include <string>
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
    // volumes from the scene (buildCollision). Engine exceptions pass on.
    Player(hgr::Scene* scene, SceneWorld* world);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Level set-up (the session, in this order: touchables and shadow
    // casters, loadForms, analyseModel, createShadow, soundCallback,
    // buildRails, placeAtStart).

    // Fills the grid's owners and triangles from the scene's collision meshes
    // and the "T_" volumes; prints the "collision:" line. Called by the constructor.
    void buildCollision();
    // Appends a sphere volume of radius around node that starts trigger name on entry.
    void addTouchable(const std::string& name, hgr::Node* node, float radius);
    // Reads the model's "D_forminfo" record (the text after its '='): the
    // shadow node name and the ball values from fields 4 to 12; publishes the
    // values and sets "gravity" when the world has none. Fewer than 13
    // fields: a message on stderr and nothing changes. A field out of range
    // (as readBallValues says) is ignored with a line on stderr.
    void loadForms(const std::string& text);
    // Writes the seven ball-value variables of values into the world.
    void publishBallValues(const BallValues& values);
    // Reads back the seven ball-value variables that the world holds into the
    // active values. A value that is not finite or is out of its range (below
    // 0, or 0 for the mass; above 1e6) is ignored with a line on stderr, the
    // active one kept; the form record's fields likewise, the radius up to
    // the grid's contact reach.
    void readBallValues();
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
    void createShadow(gr::Context* context);
    // Registers shadow as the shadow copy of caster: keeps its world rotation,
    // relinks it directly under the scene (collect the meshes before calling)
    // and places it on the ground below caster every step; with hideWhenHigh
    // it hides while caster is more than 120 above the ground. Null shadow or
    // caster, or the scene itself as shadow, are ignored.
    void addShadowCaster(hgr::Node* shadow, hgr::Node* caster, bool hideWhenHigh);
    // Builds the rails and camera guides from the scene's "L_" nodes (their
    // Lines children "track", "tracknormal", "cameraposition", "cameralookat"
    // and "D_" properties), replacing earlier ones; the ball leaves any rail
    // and guide. Prints a line per camera guide and the "rails:" summary.
    // Segments with an end point that is not a finite number are dropped
    // with a line on stderr per drawing.
    void buildRails();

    // Puts the ball on the ground below the level's start (or at the start's
    // own height without ground) and writes the summary line.
    void placeAtStart();
    // Puts the ball on the ground below the named node; placeAtStart when the
    // world has no such node. The summary line is kept.
    void respawnAt(const std::string& checkpointName);
    // The "ball: ..." line written by placeAtStart; the session prints it.
    const std::string& summary() const { return summaryLine; }

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
    void addCameraInput(float yaw, float pitch);
    // Whether tilt steering is on (the camera follows camera guides then).
    void setTiltScheme(bool on) { tiltScheme = on; }
    // One frame of the ball: world requests, camera hold, ball values,
    // input to control, integration, sounds, respawn, triggers, shadows and
    // the model's transforms. forwardInput and rightInput are -1 to 1.
    void step(bool jump, float dt, float forwardInput, float rightInput);
    // Places the camera node (null: nothing) behind or around the ball: at a
    // fixed offset on a rail; off rails orbiting by the camera yaw and pitch,
    // following the current guide while tilt steering is on, or trailing the
    // heading; pulled in front of walls, kept above ground and water, smoothed.
    void updateCamera(hgr::Node* camera, float dt);

    // Parts of the step, also called on their own by tests.

    // Takes the world's request queue and carries out each request in order.
    void applyWorldRequests();
    // Starts the triggers of the volumes the ball entered and of the touched
    // meshes with an execute trigger (armed triggers only).
    void checkTouches();
    // One frame of riding the current rail: keeps the ball on the track at
    // the rail speed, steers sideways by steer (-1 to 1), follows the track's
    // up, hands over to the next rail, fires the fall trigger, publishes
    // "speed01" and counts the distance ridden. Fills control.move and the forward direction.
    void rideRail(BallControl& control, float steer);
    // Places the ball's shadow on the ground below the ball (along minus its
    // up on a rail), smaller with height, hidden beyond 6 radii.
    void placeBallShadow();
    // Places each registered shadow copy on the ground below its object.
    void placeObjectShadows();
    // Turns the eyes group towards the direction of travel (or the held
    // camera target), keeping the eyes' rest pitch.
    void updateLookDirection();

    // Read by the session and the HUD.
    // Whether the ball rides a rail (the session ends a completed level at once then).
    bool onRail() const { return currentRail >= 0; }
    // The index of the rail the ball rides, negative when none (read by the HUD).
    int railIndex() const { return currentRail; }
    // The number of rails buildRails made (the session's sky and boost set-up need one).
    int railCount() const { return static_cast<int>(rails.size()); }
    // The distance ridden along rails in scene units, 100 to the metre; only
    // grows, and not once the level is complete (the HUD's ride display and results).
    float distanceRidden() const { return railDistanceRidden; }
    // The distance along the current rail from the start of its drawing.
    float distanceAlongRail() const { return railDistance; }
    // The rails and camera guides buildRails made, in scene order.
    const std::vector<Rail>& builtRails() const { return rails; }
    const std::vector<CameraGuide>& builtGuides() const { return cameraGuides; }
    // The ball's centre in world space (the session's listener for ambient sounds).
    math::Vector3 ballPosition() const { return body.position; }
    // The model point the body rolls about, in the player root's space, set
    // by analyseModel (0 before or without a body); the boost effect sits there.
    const math::Vector3& pivotPoint() const { return pivot; }
    // The ball's heading and the follow camera's yaw about the up axis, in
    // radians (0 looks along +z); read by tests.
    float headingAngle() const { return heading; }
    float cameraYawAngle() const { return cameraYaw; }

    // Called with the sound name and volume for the jump and impact sounds;
    // assigned by the session's player set-up, may stay empty.
    std::function<void(const std::string& sound, float volume)> soundCallback;
    // Whether (x, z) lies over water, and its height; assigned by the session
    // when the level has a water reflection, used by the camera.
    std::function<bool(float x, float z, float& height)> waterHeightCallback;

    // The collision world (read-only after set-up).
    CollisionGrid grid{200.f};
    // The ball: values, death plane and motion. The step writes it; the
    // set-up and tests may set values and position.
    BallBody body;
    // The "T_" volumes of the scene, then the touchables, in the order added.
    std::vector<TriggerVolume> triggerVolumes;

    // The values "resetballvalues" publishes: the defaults, or those of the
    // form record once loaded (valid is set then).
    struct ResetValues {
        BallValues values;
        float deathPlane = -2000.f;
        bool valid = false;
    };
    const ResetValues& resetBallValues() const { return resetValues; }

private:
    std::string summaryLine;
    lang::Ptr<hgr::Scene> scene;
    SceneWorld* world;
    lang::Ptr<hgr::Node> ballNode;

    // Follow camera smoothing.
    math::Vector3 cameraPosition;
    math::Vector3 cameraLook;
    math::Vector3 cameraUp{0.f, 1.f, 0.f};
    bool cameraInitialised = false;
    // The wall that pulled the camera in this update, and the one last traced.
    std::string cameraBlocker;
    std::string tracedBlocker;

    math::Vector3 forward{0.f, 0.f, 1.f};
    math::Vector3 pivot;
    std::string bodyName;
    float heading = 0.f;
    float impactCooldown = 0.f;
    float rollAngle = 0.f;

    // Model and shadows.
    lang::Ptr<hgr::Node> bodyNode;
    lang::Ptr<hgr::Node> shadowNode;
    bool builtShadow = false;
    math::Matrix3x4 shadowBase;
    lang::Ptr<hgr::Node> eyesNode;
    math::Matrix3x4 eyesBase;
    math::Vector3 eyesRestForward{0.f, 0.f, 1.f};
    math::Vector3 eyesPivot;
    lang::Ptr<hgr::Node> cameraPositionDummy;
    lang::Ptr<hgr::Node> cameraLookAtDummy;

    // Rails.
    std::vector<Rail> rails;
    int currentRail = -1;
    float railDistance = 0.f;
    float railSpeedLimit = 3000.f;
    float lastFrameTime = 0.f;
    float railDistanceRidden = 0.f;
    float railAirTime = 0.f;
    bool railFallen = false;

    // Camera hold by "setcamera" and the eyes' look direction.
    bool cameraHold = false;
    math::Vector3 heldTarget;
    math::Vector3 lookDirection;
    float lookFrameTime = 0.f;

    // Input of the next step.
    bool stickMode = false;
    bool previousStickMode = false;
    bool tiltCameraFollow = false;
    bool touchIdle = false;

    std::vector<CameraGuide> cameraGuides;
    int guideIndex = -1;
    float guideDistance = 0.f;
    bool tiltScheme = false;
    std::string cameraPositionName;
    std::string cameraLookAtName;

    float followBlend = 0.f;
    float eyesDistance = 0.f;
    float stickX = 0.f;
    float stickY = 0.f;
    float yawInput = 0.f;
    float pitchInput = 0.f;
    float cameraYaw = 0.f;
    float cameraPitch = 0.59f;

    std::vector<ShadowCaster> shadowCasters;
    std::string shadowNodeName = "shadow_plimbo";
    ResetValues resetValues;
    math::Matrix3x4 bodyBase;

    // The requests taken from the world this step (kept so its storage is reused).
    std::vector<PlayerRequest> requests;
    // The world's "gravity" last ignored (out of range), to say so once.
    bool gravityIgnored = false;
    float ignoredGravity = 0.f;

    // The step's part from the input to the control record; returns the
    // forward direction of the step.
    math::Vector3 steer(BallControl& control, bool held, float forwardInput, float rightInput, float dt);
    void playSounds(float dt);
    // Takes the world's "gravity" as the ball's when it is in range (0 to
    // 1e6); a line on stderr when an ignored value first appears.
    void readGravity();
    // Back to the current checkpoint, or to the start without one.
    void respawn();
    // Puts the ball at point, on the ground found within 3000 below point + lift.
    void setOnGround(const math::Vector3& point, float lift);
    // The model's transforms at the step's end: the ball node turned by the
    // heading about the pivot, the body rolled about x.
    void placeModel();
    void rollBody();
    // The camera's target off rails (guide, orbit or trailing); a low orbit
    // raises base, the point the camera looks at.
    math::Vector3 cameraTarget(math::Vector3& base, float dt);
    // Pulls target in front of walls between base and it; true when blocked.
    bool pullInFrontOfWalls(const math::Vector3& base, math::Vector3& target);
    // Raises target above the ground below it, moving it towards base.
    void keepAboveGround(const math::Vector3& base, math::Vector3& target) const;
    void updateRailCamera(hgr::Node* camera, float dt);
    // Hands the ball to the rail named next of the current one at its end;
    // returns whether it did.
    bool handOver(RailSample& s, const math::Vector3& position);
    // The index of the rail named name, -1 when none.
    int findRail(const std::string& name) const;
    // Where a ride of rail index starts: its length when ridden backwards, else 0.
    float rideStart(int index) const;
    // Whether node is still linked below the scene.
    bool inScene(const hgr::Node* node) const;
};

} // namespace lumaroll
