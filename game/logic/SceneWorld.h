// The level's world: named variables, the level's triggers, node links,
// animation and transform jobs, the fade, pressed keys and the generic game
// commands of trigger scripts, plus the state that the level session and the
// player read back each frame. Main thread only; re-entered by the actions it
// runs (an action may activate a trigger, which runs at once inside it).
#pragma once

#include "logic/PlayerRequest.h"
#include "logic/World.h"

#include <hgr/Node.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace hgr {
class TransformAnimation;
class TransformAnimationSet;
} // namespace hgr

namespace lumaroll {

class Trigger;
struct ActionBudget;

class SceneWorld : public World {
public:
    // Keeps a counted reference to the scene, maps every named node below it
    // (a later node of the same name wins; unnamed nodes are not mapped) and
    // "scene" to the root, and reads every user-property text holding "a01"
    // or "e01" into a trigger named after its node, collecting the warnings.
    explicit SceneWorld(hgr::Scene* scene);
    ~SceneWorld() override;
    SceneWorld(const SceneWorld&) = delete;
    SceneWorld& operator=(const SceneWorld&) = delete;

    // World. Variables: an absent name reads 0; setPersistentVariable is
    // setVariable (nothing outlives the level). Where an operation takes a
    // node name (link, unlink, playAnimation, startTransform, "particlefx"),
    // "this" names the node whose script runs now (its trigger's name).
    float getVariable(const std::string& name) override;
    void setVariable(const std::string& name, float value) override;
    void setPersistentVariable(const std::string& name, float value) override;
    // Arms (state 1, only from 0) or disarms (state 0) the named trigger; for
    // the trigger running now the change waits for the end of its run.
    // Nothing for an unknown name.
    void setTriggerEnabled(const std::string& name, bool enabled) override;
    // Starts the named trigger (also a disarmed one) and runs its first
    // actions at once, nesting at most 8 deep; a running trigger is not
    // restarted. Nothing for an unknown name.
    void activateTrigger(const std::string& name) override;
    // Re-parents the children under parent; missing nodes and children that
    // would become their own ancestor are reported on stderr and skipped.
    void link(const std::string& parent, const std::vector<std::string>& children) override;
    // Detaches the named nodes from their parents (some are spared unless
    // LUMAROLL_ORIGINAL_SECTIONS is set); the node table keeps them.
    void unlink(const std::vector<std::string>& names) override;
    // Returns a job id, or -1 (reported once per key) when the node or the
    // animation is missing. end < 0 plays to the animation's end.
    int playAnimation(const std::string& node, const std::string& animation, bool loop, float start,
                      float end) override;
    // True when no job has the id (never started, failed, erased) or it is done.
    bool isAnimationDone(int id) override;
    // Returns a job id, or -1 (reported once per key) for a
    // missing object or a vector or duration that is not finite.
    int startTransform(TransformKind kind, const std::string& object, const std::string& subnode, float x, float y,
                       float z, float duration) override;
    bool isTransformDone(int id) override;
    void setFade(int target, float amount) override;
    bool isKeyPressed(const std::string& name) override;
    // The generic commands of scripts (score, level end, sounds, particles,
    // rumble, camera, checkpoint, player requests); always true. Unhandled
    // keywords print "[world] action '...' not implemented yet" once per world.
    bool runCommand(const std::string& keyword, const std::vector<std::string>& args) override;

    // Triggers.
    // Reads text into a trigger called name, replacing one of that name;
    // returns the script's warnings ("<name>.<key>: ...").
    std::vector<std::string> addTrigger(const std::string& name, const std::string& text);
    // Destroys the named trigger; false when there is none. Not for a trigger
    // whose actions are running now (false, nothing removed).
    bool removeTrigger(const std::string& name);
    // Run state 0 disabled, 1 armed, 2 running its main list, 3 its end list
    // (other values as the script set them); -1 for an unknown name.
    int getTriggerState(const std::string& name) const;
    // Names of the triggers in state 2 or 3, in name order.
    std::vector<std::string> getRunningTriggers() const;
    // Number of triggers (the session's "logic:" line).
    int triggerCount() const;

    // Variables and operands.
    // Whether the variable has been set in this world.
    bool hasVariable(const std::string& name) const;
    // text as a number when all of it parses as one, else the variable of that name.
    float evaluate(const std::string& text);

    // The node nodeCache maps name to (even a null one), else the
    // first node of that name in the scene; null when absent or name is empty.
    // Not counted: valid while the node table or the scene holds the node.
    hgr::Node* findNode(const std::string& name) const;

    // One frame: writes "_dt", steps every trigger in name order, then the
    // animation and the transform jobs. The session calls it once per frame,
    // never while the game is paused.
    void update(float dt);

    // Takes for the player's ball step: each returns the flag and clears it.
    // Set by "levelfailed", "updateballvalues" and "resetballvalues".
    bool takeLevelFailed();
    bool takeUpdateBallValues();
    bool takeResetBallValues();
    // Moves the whole request queue into `into` (whose old contents are
    // dropped); the world's queue is left empty. Swaps storage, so a caller
    // that keeps its vector allocates nothing in a steady step.
    void takePlayerRequests(std::vector<PlayerRequest>& into);

    // Callbacks, assigned by the level session's world set-up, called by
    // runCommand only when set: "particlefx" (effect file, node),
    // "pressure" (strength), "playsound" (sound, loop), "stopsound" (sound).
    std::function<void(const std::string& effect, hgr::Node* node)> particleEffectCallback;
    std::function<void(float strength)> pressureCallback;
    std::function<void(const std::string& sound, bool loop)> playSoundCallback;
    std::function<void(const std::string& sound)> stopSoundCallback;

    // The level's scene root; never null.
    lang::Ptr<hgr::Scene> scene;
    // Screen fade written by the "fade" action through setFade, drawn by the
    // session each frame: amount <= 0.001 draws nothing, target 0 white, else black.
    float fadeAmount = 0.f;
    int fadeTarget = 0;
    // Further animation sets (not owned; must outlive the world) searched by
    // playAnimation after the scene's own; the session appends the ball model's.
    std::vector<hgr::TransformAnimationSet*> extraAnimationSets;
    // Node by name (counted references), filled by the constructor; the
    // session maps library objects and "G_ballforms" (the player root) into it.
    std::map<std::string, lang::Ptr<hgr::Node>> nodeCache;
    // The level's variables; scripts, the session (--var, "fov") and the
    // player (ball values) read and write them.
    std::map<std::string, float> variables;
    // Names of the keys held now; the session inserts and erases "lmouse"
    // before each update.
    std::set<std::string> pressedKeys;
    // Scene camera to render through, set by "setcamera"; empty or "camera"
    // means the normal camera. Read by the session's renderer and the player.
    std::string cameraName;
    // Where the ball respawns, set by "checkpoint"; read by the player.
    std::string checkpointName;
    // Warnings of the scripts read so far ("<trigger>.<key>: ..."); the
    // session prints the count and the first ten after its set-up.
    std::vector<std::string> warnings;
    // Set by "levelcomplete" and "levelend", never cleared within a world;
    // the session ends the level from it, rail riding reads it.
    bool levelComplete = false;

private:
    struct AnimationJob {
        lang::Ptr<hgr::Node> node;
        lang::Ptr<hgr::TransformAnimation> animation;
        float time = 0.f;
        float start = 0.f;
        float end = 0.f;
        bool loop = false;
        bool done = false;
        math::Matrix3x4 blendFrom;
        float blendDuration = 0.f;
        float blendElapsed = 0.f;
    };

    struct TransformJob {
        TransformKind kind = TransformKind::Move;
        lang::Ptr<hgr::Node> node;
        float velocity[3] = {0.f, 0.f, 0.f};
        float elapsed = 0.f;
        float duration = 0.f;
        bool done = false;
        float u = 0.f;
        float v = 0.f;
    };

    // The node an operand names: "this" is the node carrying the running script.
    hgr::Node* findNamedNode(const std::string& name) const;
    const std::string& resolveThis(const std::string& name) const;
    // True the first time key is seen by this world: messages printed once
    // per world and key ask it first.
    bool reportOnce(const std::string& key);
    void runTrigger(Trigger& trigger, float dt);
    void stepAnimations(float dt);
    void stepTransforms(float dt);
    void queueRequest(int kind, const std::string& name, float value);

    std::map<int, TransformJob> transformJobs;
    std::map<hgr::Node*, std::pair<float, float>> uvOffsets;
    std::map<std::string, std::unique_ptr<Trigger>> triggers;
    std::map<int, AnimationJob> animationJobs;
    int nextJobId = 0;
    std::set<std::string> reported;
    const std::string* currentTrigger = nullptr; // name of the trigger running now (its table key)
    int activationDepth = 0;
    bool updating = false;
    std::unique_ptr<ActionBudget> budget;
    bool levelFailed = false;
    bool updateBallValues = false;
    bool resetBallValues = false;
    std::vector<PlayerRequest> playerRequests;
};

} // namespace lumaroll
