#include "logic/Trigger.h"

#include "logic/ScriptNumbers.h"
#include "logic/ScriptText.h"
#include "logic/ProcessFlags.h"

#include <cstdio>

namespace lumaroll {

Trigger::Trigger(const std::string& name) : name(name) {}

Trigger::~Trigger() = default;

std::vector<std::string> Trigger::load(const std::string& text)
{
    std::vector<std::string> warnings;
    properties.clear();
    readScriptLines(text, properties);
    auto it = properties.find("state");
    if (it != properties.end())
        state = readScriptInt(it->second.c_str());
    it = properties.find("executetype");
    if (it != properties.end())
        executeType = readScriptInt(it->second.c_str());
    actionsA.clear();
    actionsE.clear();
    buildList('a', actionsA, warnings);
    buildList('e', actionsE, warnings);
    if (state == RunningMain)
        setState(RunningMain);
    return warnings;
}

void Trigger::buildList(char letter, std::vector<std::unique_ptr<Action>>& list,
                        std::vector<std::string>& warnings)
{
    const ActionRegistry& registry = ActionRegistry::instance();
    std::vector<std::string> fields;
    for (int n = 1; n <= 999; ++n) {
        const std::string key = actionKey(letter, n);
        auto it = properties.find(key);
        if (it == properties.end())
            break;
        splitActionFields(it->second, fields);
        if (fields.empty()) {
            warnings.push_back(name + "." + key + ": empty");
            continue;
        }
        ActionArgs args;
        args.args.assign(std::make_move_iterator(fields.begin() + 1), std::make_move_iterator(fields.end()));
        args.index = static_cast<int>(list.size());
        std::unique_ptr<Action> action = registry.create(fields.front(), args);
        if (!action) {
            warnings.push_back(name + "." + key + ": unknown action '" + fields.front() + "' (using nop)");
            action = registry.create("nop", args);
        }
        list.push_back(std::move(action));
    }
}

void Trigger::setState(int newState)
{
    if (newState == RunningMain) {
        pendingDisable = false;
        pendingRearm = false;
        indexA = 0;
        ++starts;
        for (auto& action : actionsA)
            action->reset();
    } else if (newState == RunningEnd) {
        indexE = 0;
        for (auto& action : actionsE)
            action->reset();
    }
    state = newState;
}

void Trigger::requestState(int newState)
{
    if (state == RunningMain || state == RunningEnd) {
        pendingDisable = newState == Disabled;
        pendingRearm = newState == Armed;
        return;
    }
    setState(newState);
}

void Trigger::setActionIndex(int index)
{
    if (state == RunningEnd)
        indexE = index;
    else
        indexA = index;
}

bool Trigger::runList(int runState, std::vector<std::unique_ptr<Action>>& list, int& index, ActionContext& context,
                      ActionBudget* budget)
{
    const int length = static_cast<int>(list.size());
    for (;;) {
        const int i = index;
        if (i < 0 || i >= length) {
            if (runState == RunningMain && i != length)
                std::fprintf(stderr, "[trigger %s] invalid action index: %d\n", name.c_str(), i);
            return true;
        }
        if (budget) {
            if (budget->left <= 0) {
                budget->exhausted = true;
                return false;
            }
            --budget->left;
        }
        Action& action = *list[static_cast<size_t>(i)];
        if (runState == RunningMain && traceEnabled()) {
            char number[16];
            std::snprintf(number, sizeof number, "#a%02d", i + 1);
            if (firstTraceOfProcess(name + number))
                std::printf("[trace] %s a%02d %s\n", name.c_str(), i + 1, action.name.c_str());
        }
        const unsigned startsBefore = starts;
        const bool finished = action.update(context);
        // A restart of this trigger inside the action (disabled and activated
        // again deeper down) belongs to the next update: going on here would
        // read the fresh index as a jump and run the list again at once.
        if (!finished || state != runState || starts != startsBefore)
            return false;
        if (index == i)
            index = i + 1;
    }
}

void Trigger::update(World* world, float dt, ActionBudget* budget)
{
    ActionContext context{world, this, dt};
    if (state == RunningMain) {
        if (!runList(RunningMain, actionsA, indexA, context, budget))
            return;
        setState(RunningEnd);
    }
    if (state != RunningEnd)
        return;
    if (!runList(RunningEnd, actionsE, indexE, context, budget))
        return;
    if (pendingDisable)
        state = Disabled;
    else if (executeType != 0 || pendingRearm)
        state = Armed;
    else
        state = Disabled;
    pendingDisable = false;
    pendingRearm = false;
}

} // namespace lumaroll
