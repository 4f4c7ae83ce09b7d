// The world's state: construction from the scene, variables, triggers and
// their activation, node lookup, keys and the player's takes.
#include "logic/SceneWorld.h"

#include "logic/Operands.h"
#include "logic/Trigger.h"
#include "text/PropertyText.h"

#include <hgr/UserPropertySet.h>

#include <cstdio>

namespace lumaroll {

SceneWorld::SceneWorld(hgr::Scene* sceneRoot) : scene(sceneRoot), budget(new ActionBudget)
{
    nodeCache["scene"] = sceneRoot;
    for (hgr::Node* node = sceneRoot->next(sceneRoot); node; node = node->next(sceneRoot)) {
        std::string name = node->getName().c_str();
        if (!name.empty())
            nodeCache[std::move(name)] = node;
    }
    hgr::UserPropertySet* properties = sceneRoot->getUserProperties();
    if (!properties)
        return;
    for (auto it = properties->begin(); it != properties->end(); ++it) {
        const std::string name = wholeText(it->key);
        const std::string text = wholeText(it->value);
        if (text.find("a01") == std::string::npos && text.find("e01") == std::string::npos)
            continue;
        std::vector<std::string> found = addTrigger(name, text);
        warnings.insert(warnings.end(), found.begin(), found.end());
    }
}

SceneWorld::~SceneWorld() = default;

float SceneWorld::getVariable(const std::string& name)
{
    auto it = variables.find(name);
    return it == variables.end() ? 0.f : it->second;
}

void SceneWorld::setVariable(const std::string& name, float value)
{
    auto it = variables.find(name);
    if (it != variables.end())
        it->second = value;
    else
        variables.emplace(name, value);
}

void SceneWorld::setPersistentVariable(const std::string& name, float value)
{
    setVariable(name, value);
}

bool SceneWorld::hasVariable(const std::string& name) const
{
    return variables.count(name) != 0;
}

float SceneWorld::evaluate(const std::string& text)
{
    return NumberOrVariable(text).value(*this);
}

std::vector<std::string> SceneWorld::addTrigger(const std::string& name, const std::string& text)
{
    std::unique_ptr<Trigger> trigger(new Trigger(name));
    std::vector<std::string> found = trigger->load(text);
    triggers[name] = std::move(trigger);
    return found;
}

bool SceneWorld::removeTrigger(const std::string& name)
{
    // A trigger whose update is on the stack must outlive it.
    if (updating || activationDepth > 0)
        return false;
    return triggers.erase(name) != 0;
}

int SceneWorld::getTriggerState(const std::string& name) const
{
    auto it = triggers.find(name);
    return it == triggers.end() ? -1 : it->second->getState();
}

std::vector<std::string> SceneWorld::getRunningTriggers() const
{
    std::vector<std::string> running;
    for (const auto& entry : triggers) {
        const int state = entry.second->getState();
        if (state == Trigger::RunningMain || state == Trigger::RunningEnd)
            running.push_back(entry.first);
    }
    return running;
}

int SceneWorld::triggerCount() const
{
    return static_cast<int>(triggers.size());
}

void SceneWorld::setTriggerEnabled(const std::string& name, bool enabled)
{
    auto it = triggers.find(name);
    if (it == triggers.end())
        return;
    Trigger& trigger = *it->second;
    const int state = trigger.getState();
    const bool running = state == Trigger::RunningMain || state == Trigger::RunningEnd;
    if (currentTrigger && name == *currentTrigger && running)
        trigger.requestState(enabled ? Trigger::Armed : Trigger::Disabled);
    else if (!enabled)
        trigger.setState(Trigger::Disabled);
    else if (state == Trigger::Disabled)
        trigger.setState(Trigger::Armed);
}

void SceneWorld::activateTrigger(const std::string& name)
{
    auto it = triggers.find(name);
    if (it == triggers.end())
        return;
    Trigger& trigger = *it->second;
    const int state = trigger.getState();
    if (state == Trigger::RunningMain || state == Trigger::RunningEnd)
        return;
    trigger.setState(Trigger::RunningMain);
    if (activationDepth > 7)
        return; // the world update runs it when its turn in name order comes
    // An activation from outside any run (the player, the session) has a
    // budget of its own, as a world update has.
    if (!updating && activationDepth == 0)
        budget->refill();
    const std::string* outer = currentTrigger;
    ++activationDepth;
    currentTrigger = &it->first;
    runTrigger(trigger, 0.f);
    currentTrigger = outer;
    --activationDepth;
}

void SceneWorld::runTrigger(Trigger& trigger, float dt)
{
    trigger.update(this, dt, budget.get());
    if (budget->exhausted && reportOnce("too many actions"))
        std::fprintf(stderr, "[world] too many actions in one update; the rest waits for the next update\n");
}

bool SceneWorld::reportOnce(const std::string& key)
{
    return reported.insert(key).second;
}

const std::string& SceneWorld::resolveThis(const std::string& name) const
{
    return currentTrigger && name == "this" ? *currentTrigger : name;
}

hgr::Node* SceneWorld::findNamedNode(const std::string& name) const
{
    return findNode(resolveThis(name));
}

hgr::Node* SceneWorld::findNode(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    auto it = nodeCache.find(name);
    if (it != nodeCache.end())
        return it->second;
    return scene->findNode(lang::String(name.c_str()));
}

bool SceneWorld::isKeyPressed(const std::string& name)
{
    return pressedKeys.count(name) != 0;
}

bool SceneWorld::takeLevelFailed()
{
    const bool flag = levelFailed;
    levelFailed = false;
    return flag;
}

bool SceneWorld::takeUpdateBallValues()
{
    const bool flag = updateBallValues;
    updateBallValues = false;
    return flag;
}

bool SceneWorld::takeResetBallValues()
{
    const bool flag = resetBallValues;
    resetBallValues = false;
    return flag;
}

void SceneWorld::takePlayerRequests(std::vector<PlayerRequest>& into)
{
    into.clear();
    into.swap(playerRequests);
}

} // namespace lumaroll
