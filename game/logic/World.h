// The level logic's interface: what trigger actions, the player and the level
// session reach the world through. SceneWorld is the level's world; tests
// record the calls with their own (tests/support/FakeWorld.h).
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

// What a transform job does to its node: move it, rotate it (degrees per
// second about the vector), scale it or scroll its texture. The numbers are
// the ones the trace line prints.
enum class TransformKind { Move = 0, Rotate = 1, Scale = 2, ScrollTexture = 3 };

class World {
public:
    virtual ~World() = default;
    // The variable's value; 0 for a name never set. Read by actions, the
    // player (ball values, "controls", "countdown") and the HUD.
    virtual float getVariable(const std::string& name) = 0;
    // Sets the variable, creating it; written by actions, the player's ball
    // values and the session ("--var", "fov").
    virtual void setVariable(const std::string& name, float value) = 0;
    // "setpersistent": a variable meant to outlive the level (the scene's
    // world keeps it as setVariable does).
    virtual void setPersistentVariable(const std::string& name, float value) = 0;
    // Arms (true) or disarms (false) the named trigger; nothing for an unknown name.
    virtual void setTriggerEnabled(const std::string& name, bool enabled) = 0;
    // Starts the named trigger and runs its first actions at once; nothing
    // for an unknown name. The player calls it for volumes the ball enters.
    virtual void activateTrigger(const std::string& name) = 0;
    // Re-parents the named children under the named parent node.
    virtual void link(const std::string& parent, const std::vector<std::string>& children) = 0;
    // Detaches the named nodes from their parents.
    virtual void unlink(const std::vector<std::string>& names) = 0;
    // Plays the node's animation from start to end seconds (end < 0: to its
    // end), looping when asked; returns a job id, -1 when it cannot start.
    virtual int playAnimation(const std::string& node, const std::string& animation, bool loop, float start,
                              float end) = 0;
    // Whether the animation job is over; true for an id that names no job.
    virtual bool isAnimationDone(int id) = 0;
    // Moves, rotates, scales or scrolls the texture of object (as kind says),
    // or its subnode when one is named, by (x, y, z) over duration seconds;
    // returns a job id, -1 when it cannot start.
    virtual int startTransform(TransformKind kind, const std::string& object, const std::string& subnode, float x,
                               float y, float z, float duration) = 0;
    // Whether the transform job is over; true for an id that names no job.
    virtual bool isTransformDone(int id) = 0;
    // The screen fade of "fade": target 0 fades to white, any other to
    // black; amount 0 shows nothing, 1 covers the screen.
    virtual void setFade(int target, float amount) = 0;
    // Whether the named key ("lmouse", ...) is held now.
    virtual bool isKeyPressed(const std::string& name) = 0;
    // The script keywords without an action of their own, with their
    // arguments (score, level end, sounds, particles, rumble, camera,
    // checkpoint, player requests); the action's step result: true when it
    // is finished (the scene's world always finishes at once).
    virtual bool runCommand(const std::string& keyword, const std::vector<std::string>& args) = 0;
};

} // namespace lumaroll
