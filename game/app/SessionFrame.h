// The frames of a level session. Each frame polls the events, advances the
// level by the frame's time unless the pause rule (app/PauseRules.h) holds
// game time still, renders it, saves the screenshot F12 asked for from the
// frame as rendered, lets the overlay draw and presents; after the frames
// "--frames" asked for, or the one "--screenshot" saves, the session stops.
//
// The update: the scene's particle systems and the timed effects, the
// ambient sounds at the ball (or the camera), the level's end, the level
// logic (with the "lmouse" buttons; standing still while paused), then the
// ball and its follow camera, or the free camera, and the boost effect.
// The render: through the camera the CameraChoice picks, at the render scale
// of "graphics.render_scale" clamped to kRenderScaleRange
// (store/SettingRanges.h; through the render-scale target below 99 %),
// water reflection, background colour, sky and scene, the fade, and with the
// menu images the blurred backdrop, HUD, logo, frame rate and in-game menu.
// The backdrop: the frame asks the BackdropRequest for a capture when the
// pause rule wants the scene behind the menu captured and when the level
// becomes over; the render, with the menu images loaded, takes the request
// (also the event routing's) and captures the frame it drew before the
// menu layers.
//
// It owns the frame timing, the HUD, and the fade's and the render-scale
// target's GL programs (released with it). It reads the settings and sets
// the controllers' vibration and tilt calibration only through the
// AppContext.
#pragma once

#include "app/AppContext.h"
#include "app/BackdropRequest.h"
#include "app/CameraChoice.h"
#include "app/FrameTimer.h"
#include "app/LaunchOptions.h"
#include "app/LevelEnd.h"
#include "app/RunningLevel.h"
#include "app/RestWatch.h"
#include "app/SessionEvents.h"
#include "app/SessionOutcome.h"
#include "render/FillQuad.h"
#include "render/RenderScaleTarget.h"
#include "ui/Hud.h"

#include <string>

namespace lumaroll {

class SessionFrame {
public:
    // All parts must outlive the frames. The frame timing runs on app's clock.
    SessionFrame(AppContext& app, const LaunchOptions& options, RunningLevel& level, SessionEvents& events,
                 CameraChoice& view, LevelEnd& end, BackdropRequest& backdrop, SessionOutcome& outcome);
    // Releases the fade's and the render-scale target's GL objects; the GL
    // context must still be current.
    ~SessionFrame();
    SessionFrame(const SessionFrame&) = delete;
    SessionFrame& operator=(const SessionFrame&) = delete;

    // Once the level is set up: the HUD's collectables, logo and score
    // submission, and the frame clock's start.
    void start();
    // One frame as described above; false once the session has stopped (no
    // frame is drawn then, also when the events of this frame stopped it).
    bool frame();

    // The frame's render. paused: game time stands still; menuLive: the
    // scene runs behind the in-game menu (both from the pause rule); dt: the
    // frame's real time for the HUD's animations.
    void render(bool paused, bool menuLive, float dt);

private:
    // The frame's update by gameDt of game time (0 while paused) and dt of real time.
    void update(float gameDt, float dt, bool paused);
    void updateLogic(float gameDt, bool paused);
    void updatePlayer(float gameDt);
    void updateFreeCamera(float gameDt);
    // Starts the boost effect on each rise of the world variable "boost" from 0.
    void spawnEffects();
    // Writes the screenshot F12 asked for, from the frame just rendered.
    void saveRequestedScreenshot();

    AppContext* app;
    const LaunchOptions* options;
    RunningLevel* level;
    SessionEvents* events;
    CameraChoice* view;
    LevelEnd* end;
    BackdropRequest* backdrop;
    SessionOutcome* outcome;

    FrameTimer timer;
    Hud hud;
    FillState fill;
    RenderScaleTarget renderTarget;
    // The ball and the follow camera coming to rest (traced).
    RestWatch restWatch;
    // The running triggers last traced.
    std::string lastTrace;
    bool boostWasOn = false;
    bool tiltMode = false;
    int frameCount = 0;
};

} // namespace lumaroll
