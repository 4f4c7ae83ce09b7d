// STAND-IN for the player and ball: the level session is written against
// this interface, but no player is created yet, so levels run without a
// ball (free camera). The ball physics replace this file with the real player.
#pragma once

#include <math/Vector3.h>

#include <functional>
#include <string>

namespace hgr {
class Camera;
}

namespace lumaroll {

class Player {
public:
    bool controlsEnabled() const { return true; }
    // Whether the ball rides a rail now.
    bool onRail() const { return false; }
    int railCount() const { return 0; }
    // The index of the rail the ball rides, negative when none (read by the
    // HUD); the stand-in never rides one.
    int railIndex() const { return -1; }
    // The distance ridden along rails in scene units, 100 to the metre
    // (read by the HUD's ride display and results); 0 in the stand-in.
    float distanceRidden() const { return 0.f; }
    math::Vector3 ballPosition() const { return math::Vector3(); }
    void setTiltScheme(bool) {}
    void addCameraInput(float, float) {}
    void step(bool, float, float, float) {}
    void updateCamera(hgr::Camera*, float) {}
    void placeAtStart() {}

    std::function<void(const std::string& sound, float volume)> soundCallback;
    std::function<bool(float x, float z, float& height)> waterHeightCallback;
};

} // namespace lumaroll
