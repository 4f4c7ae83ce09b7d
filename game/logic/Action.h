// Actions: what one line of a trigger script becomes at run time, built by
// keyword through the registry and updated by its trigger once per frame
// until it reports that it has finished.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lumaroll {

class Trigger;
class World;

// What an action's update sees; built by the trigger runner for every call.
struct ActionContext {
    World* world;     // not owned
    Trigger* trigger; // the trigger running the action (jumps call its setActionIndex)
    float dt;         // frame time in seconds; 0 when a trigger runs at once on activation
};

// One script line's operands, as the script reader hands them to a factory.
struct ActionArgs {
    std::vector<std::string> args; // operand texts after the keyword, trimmed, none empty
    int index = 0;                 // the action's 0-based position in its list
};

class Action {
public:
    virtual ~Action() = default;
    // One step; true when the action has finished (the runner then goes on
    // with the next action in the same frame), false to be called again next
    // frame. Jumping actions set the trigger's index and return false.
    virtual bool update(ActionContext& context) = 0;
    // Back to the state after construction; the runner calls it on every
    // action of a list when the list starts.
    virtual void reset() {}

    // The keyword that built the action (set by ActionRegistry::create).
    std::string name;
};

using ActionFactory = std::function<std::unique_ptr<Action>(const ActionArgs&)>;

// The 88 keywords of trigger scripts and their factories. Keywords compare
// exactly ("setLineSpeed" has a capital L). 32 build actions of their own;
// the rest hand their keyword and operands to World::runCommand.
class ActionRegistry {
public:
    // The one registry of the process, built on first use.
    static ActionRegistry& instance();
    // The 88 keywords in table order.
    static const std::vector<std::string>& keywords();

    // A new action named keyword; empty for a keyword the registry lacks.
    std::unique_ptr<Action> create(const std::string& keyword, const ActionArgs& args) const;

private:
    ActionRegistry();

    std::map<std::string, ActionFactory> factories;
};

// Factories of the two action families, each stored over the generic one of
// its keyword by the registry's constructor.
void addFlowActions(std::map<std::string, ActionFactory>& factories);
void addSceneActions(std::map<std::string, ActionFactory>& factories);

} // namespace lumaroll
