#include "app/CameraChoice.h"

#include "logic/SceneWorld.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaroll {

void CameraChoice::nextSceneCamera(const std::vector<lang::Ptr<hgr::Node>>& sceneCameras)
{
    if (sceneCameras.empty())
        return;
    chosenCamera += 1;
    if (chosenCamera < static_cast<int>(sceneCameras.size())) {
        std::printf("camera: %s\n", sceneCameras[static_cast<size_t>(chosenCamera)]->getName().c_str());
    } else {
        chosenCamera = -1;
        std::printf("camera: %s\n", "free");
    }
}

void CameraChoice::toggleScriptedView(bool hasBall)
{
    if (hasBall)
        freeCamera = !freeCamera;
    scriptedView = !scriptedView;
}

hgr::Camera* CameraChoice::active(hgr::Camera* sessionCamera,
                                  const std::vector<lang::Ptr<hgr::Node>>& sceneCameras, SceneWorld& world,
                                  bool hasBall)
{
    hgr::Camera* result = sessionCamera;
    bool sceneCamera = false;
    if (chosenCamera >= 0 && chosenCamera < static_cast<int>(sceneCameras.size())) {
        result = static_cast<hgr::Camera*>(sceneCameras[static_cast<size_t>(chosenCamera)].ptr());
        sceneCamera = true;
    }
    if (scriptedView && !world.cameraName.empty()) {
        for (const auto& node : sceneCameras) {
            if (world.cameraName == node->getName().c_str()) {
                result = static_cast<hgr::Camera*>(node.ptr());
                sceneCamera = true;
            }
        }
    }
    if (!hasBall)
        return result;
    if (sceneCamera && (freeCamera || (!world.cameraName.empty() && world.cameraName != "camera")))
        return result;
    result = sessionCamera;
    if (world.variables.count("fov")) {
        if (baseFov < 0.f)
            baseFov = sessionCamera->getHorizontalFov();
        const float target = world.getVariable("fov") * 3.1415927f / 180.f + baseFov;
        if (std::fabs(sessionCamera->getHorizontalFov() - target) > 0.001f)
            sessionCamera->setHorizontalFov(std::min(target, 2.6f));
    }
    return result;
}

} // namespace lumaroll
