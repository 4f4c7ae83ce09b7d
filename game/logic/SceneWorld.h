// STAND-IN for the level logic's world: it keeps variables, pressed keys, the
// fade and the flags the level session reads, but reads no trigger scripts
// and runs no jobs. The level logic replaces this file with the real world.
#pragma once

#include "logic/World.h"

#include <hgr/Node.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace hgr {
class TransformAnimationSet;
} // namespace hgr

namespace lumaroll {

class SceneWorld : public World {
public:
    explicit SceneWorld(hgr::Scene* scene);
    ~SceneWorld() override;

    float getVariable(const std::string& name) override;
    void setVariable(const std::string& name, float value) override { variables[name] = value; }
    void setPersistentVariable(const std::string& name, float value) override { variables[name] = value; }
    void setTriggerEnabled(const std::string&, bool) override {}
    void activateTrigger(const std::string&) override {}
    void link(const std::string&, const std::vector<std::string>&) override {}
    void unlink(const std::vector<std::string>&) override {}
    int playAnimation(const std::string&, const std::string&, bool, float, float) override { return nextJobId++; }
    bool isAnimationDone(int) override { return true; }
    int startTransform(int, const std::string&, const std::string&, float, float, float, float) override
    {
        return nextJobId++;
    }
    bool isTransformDone(int) override { return true; }
    void setFade(int target, float amount) override
    {
        fadeTarget = target;
        fadeAmount = amount;
    }
    bool isKeyPressed(const std::string& name) override { return pressedKeys.count(name) != 0; }
    bool runCommand(const std::string&, const std::vector<std::string>&) override { return false; }

    // Registers a trigger script; returns its warnings (the stand-in keeps none).
    std::vector<std::string> addTrigger(const std::string&, const std::string&) { return {}; }
    int getTriggerState(const std::string&) const { return -1; }
    std::vector<std::string> getRunningTriggers() const { return {}; }
    int triggerCount() const { return 0; }

    // One frame of the logic: writes "_dt" as the real world does first.
    void update(float dt) { variables["_dt"] = dt; }

    std::function<void(const std::string& effect, hgr::Node* node)> particleEffectCallback;
    std::function<void(float strength)> pressureCallback;
    std::function<void(const std::string& sound, bool loop)> playSoundCallback;
    std::function<void(const std::string& sound)> stopSoundCallback;
    lang::Ptr<hgr::Scene> scene;
    float fadeAmount = 0.f;
    int fadeTarget = 0;
    std::vector<hgr::TransformAnimationSet*> extraAnimationSets;
    std::map<std::string, lang::Ptr<hgr::Node>> nodeCache;
    std::map<std::string, float> variables;
    int nextJobId = 0;
    std::set<std::string> pressedKeys;
    std::string cameraName;
    std::vector<std::string> warnings;
    bool levelComplete = false;
};

} // namespace lumaroll
