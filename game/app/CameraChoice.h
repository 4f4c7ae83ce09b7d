// Which camera a frame of the level is seen through, and the developer's view
// switches. The session camera by default: the follow camera places it while
// a ball is played, the free camera otherwise. A scene camera chosen with Tab,
// or the one the level's scripts name while the scripted view is on, takes
// over when there is no ball, when the free camera is on, or when the scripts
// name one other than "camera". With a ball the world variable "fov"
// (degrees) widens the session camera's field of view from what it was when
// "fov" first appeared, to at most 2.6 radians.
#pragma once

#include "input/FreeCamera.h"

#include <hgr/Camera.h>
#include <hgr/Node.h>
#include <lang/Ptr.h>

#include <vector>

namespace lumaroll {

class SceneWorld;

class CameraChoice {
public:
    // The view the free camera flies: it follows the start camera at the
    // start, and the follow camera while the ball steers the view.
    FreeCamera& freeView() { return freeCam; }
    const FreeCamera& freeView() const { return freeCam; }
    // The free camera steers the view instead of the ball (F4 with a ball).
    bool freeCameraOn() const { return freeCamera; }
    // The scripts' camera choice is followed (on at the start, F4 switches it).
    bool scriptedViewOn() const { return scriptedView; }

    // Tab: the next of the scene cameras and, after the last, the session
    // camera again; prints "camera: <name>" or "camera: free". Nothing without
    // scene cameras.
    void nextSceneCamera(const std::vector<lang::Ptr<hgr::Node>>& sceneCameras);
    // F4: the scripted view off or on again and, with a ball, the free camera
    // on or off with it.
    void toggleScriptedView(bool hasBall);

    // The camera to render the frame through: sessionCamera or one of
    // sceneCameras (all of which are cameras), as described above. Widens
    // sessionCamera's field of view by "fov" when it is the one chosen with a ball.
    hgr::Camera* active(hgr::Camera* sessionCamera, const std::vector<lang::Ptr<hgr::Node>>& sceneCameras,
                        SceneWorld& world, bool hasBall);

private:
    FreeCamera freeCam;
    bool freeCamera = false;
    bool scriptedView = true;
    // Index of the scene camera chosen with Tab; -1 for the session camera.
    int chosenCamera = -1;
    // The session camera's field of view before "fov" widened it; -1 until
    // "fov" first appears.
    float baseFov = -1.f;
};

} // namespace lumaroll
