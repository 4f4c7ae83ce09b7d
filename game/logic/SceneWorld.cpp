#include "logic/SceneWorld.h"

namespace lumaroll {

SceneWorld::SceneWorld(hgr::Scene* sceneRoot) : scene(sceneRoot) {}

SceneWorld::~SceneWorld() = default;

float SceneWorld::getVariable(const std::string& name)
{
    auto it = variables.find(name);
    return it == variables.end() ? 0.f : it->second;
}

} // namespace lumaroll
