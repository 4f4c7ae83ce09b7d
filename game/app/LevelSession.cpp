#include "app/LevelSession.h"

#include "logic/ProcessFlags.h"
#include "overlay/Overlay.h"

#include <lang/Throwable.h>

#include <cstdio>

namespace lumaroll {

LevelSession::LevelSession(AppContext& app, const LaunchOptions& options)
    : app(&app), options(options), levelSetup(app, this->options, runningLevel),
      eventRouting(app, this->options, runningLevel, cameraChoice, levelEnd, backdropRequest, outcome),
      frameLoop(app, this->options, runningLevel, eventRouting, cameraChoice, levelEnd, backdropRequest, outcome)
{
}

LevelSession::~LevelSession()
{
    // The overlay outlives the session: it must not keep our audio engine or
    // a quit callback into this object, however the session ended.
    releaseOverlay();
}

void LevelSession::releaseOverlay()
{
    levelSetup.releaseOverlayAudio();
    if (app->overlay && started)
        app->overlay->setQuitAction(nullptr);
}

LevelResult LevelSession::run()
{
    start();
    while (frame()) {
    }
    return finish();
}

void LevelSession::start()
{
    levelSetup.load();
    levelSetup.setupWorld();
    if (options.play && !options.dataDir.empty()) {
        try {
            levelSetup.setupPlayer();
        } catch (const lang::Throwable& e) {
            std::fprintf(stderr, "could not load the ball: %s\n", lang::String(e.getMessage()).c_str());
        }
    }
    levelSetup.setupWater();
    levelSetup.setupStartCamera(cameraChoice.freeView());
    cameraChoice.freeView().place(runningLevel.camera());
    // Pads plugged in since start-up, or since the last level.
    app->controllers->openAll();
    started = true;
    if (app->overlay)
        app->overlay->setQuitAction([this]() { outcome.quit(); });
    frameLoop.start();
}

bool LevelSession::frame()
{
    return frameLoop.frame();
}

LevelResult LevelSession::finish()
{
    eventRouting.releaseMouse();
    releaseOverlay();
    if (traceEnabled())
        if (const Player* player = runningLevel.player())
            std::printf("[trace] distance ridden %.0f\n", static_cast<double>(player->distanceRidden()));
    return outcome.result();
}

} // namespace lumaroll
