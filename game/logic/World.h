// The level logic's interface: what trigger actions, the player and the level
// session reach the world through.
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

class World {
public:
    virtual ~World() = default;
    virtual float getVariable(const std::string& name) = 0;
    virtual void setVariable(const std::string& name, float value) = 0;
    virtual void setPersistentVariable(const std::string& name, float value) = 0;
    virtual void setTriggerEnabled(const std::string& name, bool enabled) = 0;
    virtual void activateTrigger(const std::string& name) = 0;
    virtual void link(const std::string& parent, const std::vector<std::string>& children) = 0;
    virtual void unlink(const std::vector<std::string>& names) = 0;
    virtual int playAnimation(const std::string& node, const std::string& animation, bool loop, float start,
                              float end) = 0;
    virtual bool isAnimationDone(int id) = 0;
    virtual int startTransform(int kind, const std::string& object, const std::string& subnode, float x, float y,
                               float z, float duration) = 0;
    virtual bool isTransformDone(int id) = 0;
    virtual void setFade(int target, float amount) = 0;
    virtual bool isKeyPressed(const std::string& name) = 0;
    virtual bool runCommand(const std::string& keyword, const std::vector<std::string>& args) = 0;
};

} // namespace lumaroll
