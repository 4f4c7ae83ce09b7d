// One named trigger script: its properties, its main list (a) and end list (e)
// of actions, and the small state machine that runs them frame by frame.
#pragma once

#include "logic/Action.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lumaroll {

class World;

// How many action updates may still run before the world's update (or an
// activation from outside it) stops; shared by every trigger it runs.
struct ActionBudget {
    static constexpr int kPerUpdate = 100000;

    int left = kPerUpdate;
    bool exhausted = false; // an action was held back for lack of budget

    void refill()
    {
        left = kPerUpdate;
        exhausted = false;
    }
};

class Trigger {
public:
    // Run states.
    enum State : int { Disabled = 0, Armed = 1, RunningMain = 2, RunningEnd = 3 };

    // Armed (1), re-arming (execute type 1), no actions.
    explicit Trigger(const std::string& name);
    ~Trigger();
    Trigger(const Trigger&) = delete;
    Trigger& operator=(const Trigger&) = delete;

    // Reads a script: its "state" and "executetype" keys, then the lists from
    // "a01"/"e01" upwards until a number is missing. Returns the warnings
    // ("<name>.a02: empty", "<name>.a03: unknown action 'x' (using nop)").
    std::vector<std::string> load(const std::string& text);

    // Sets the run state; 2 starts the main list from its first action (and
    // counts a start), 3 the end list, each list's actions reset.
    void setState(int state);
    // While running (2 or 3) only records the wish to be disarmed (0) or armed
    // (1) when the run ends; otherwise setState.
    void requestState(int state);
    // Sets the index of the next action of the list running now (jumps).
    void setActionIndex(int index);
    int getState() const { return state; }

    // Runs the trigger for one frame: the current list's actions in order
    // while they finish, the end list after the main list, then back to armed
    // or disarmed. Returns early when an action waits, changes the state,
    // restarts this trigger, or the budget (when given) runs out.
    void update(World* world, float dt, ActionBudget* budget = nullptr);

    const std::string& getName() const { return name; }
    int getExecuteType() const { return executeType; }
    const std::vector<std::unique_ptr<Action>>& mainActions() const { return actionsA; }
    const std::vector<std::unique_ptr<Action>>& endActions() const { return actionsE; }

private:
    // Builds list letter from the properties, appending warnings.
    void buildList(char letter, std::vector<std::unique_ptr<Action>>& list, std::vector<std::string>& warnings);
    // Runs the list of runState from index while actions finish; true when the
    // list is done (index past its end), false when the run stops for this frame.
    bool runList(int runState, std::vector<std::unique_ptr<Action>>& list, int& index, ActionContext& context,
                 ActionBudget* budget);

    bool pendingDisable = false;
    bool pendingRearm = false;
    std::string name;
    std::map<std::string, std::string> properties;
    std::vector<std::unique_ptr<Action>> actionsA;
    std::vector<std::unique_ptr<Action>> actionsE;
    int state = Armed;
    int indexA = 0;
    int indexE = 0;
    int executeType = 1;
    unsigned starts = 0;
};

} // namespace lumaroll
