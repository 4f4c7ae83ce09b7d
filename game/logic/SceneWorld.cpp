// Interface stand-in: variables, nodes, flags and takes work; triggers, jobs
// and commands follow.
#include "logic/SceneWorld.h"

namespace lumaroll {

class Trigger {};
struct ActionBudget {};

SceneWorld::SceneWorld(hgr::Scene* sceneRoot) : scene(sceneRoot)
{
    nodeCache["scene"] = sceneRoot;
}

SceneWorld::~SceneWorld() = default;

float SceneWorld::getVariable(const std::string& name)
{
    auto it = variables.find(name);
    return it == variables.end() ? 0.f : it->second;
}

void SceneWorld::setVariable(const std::string& name, float value) { variables[name] = value; }
void SceneWorld::setPersistentVariable(const std::string& name, float value) { variables[name] = value; }
void SceneWorld::setTriggerEnabled(const std::string&, bool) {}
void SceneWorld::activateTrigger(const std::string&) {}
void SceneWorld::link(const std::string&, const std::vector<std::string>&) {}
void SceneWorld::unlink(const std::vector<std::string>&) {}
int SceneWorld::playAnimation(const std::string&, const std::string&, bool, float, float) { return -1; }
bool SceneWorld::isAnimationDone(int) { return true; }
int SceneWorld::startTransform(int, const std::string&, const std::string&, float, float, float, float) { return -1; }
bool SceneWorld::isTransformDone(int) { return true; }

void SceneWorld::setFade(int target, float amount)
{
    fadeTarget = target;
    fadeAmount = amount;
}

bool SceneWorld::isKeyPressed(const std::string& name) { return pressedKeys.count(name) != 0; }
bool SceneWorld::runCommand(const std::string&, const std::vector<std::string>&) { return true; }
std::vector<std::string> SceneWorld::addTrigger(const std::string&, const std::string&) { return {}; }
bool SceneWorld::removeTrigger(const std::string&) { return false; }
int SceneWorld::getTriggerState(const std::string&) const { return -1; }
std::vector<std::string> SceneWorld::getRunningTriggers() const { return {}; }
int SceneWorld::triggerCount() const { return 0; }
bool SceneWorld::hasVariable(const std::string& name) const { return variables.count(name) != 0; }
float SceneWorld::evaluate(const std::string& text) { return getVariable(text); }

hgr::Node* SceneWorld::findNode(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    auto it = nodeCache.find(name);
    if (it != nodeCache.end())
        return it->second;
    return scene->findNode(name.c_str());
}

void SceneWorld::update(float dt) { variables["_dt"] = dt; }

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
