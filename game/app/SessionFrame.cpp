// The frame loop (timing, pause rule, the end of the session by frame count
// or screenshot) and the update; the render is in SessionRender.cpp.
#include "app/SessionFrame.h"

#include "app/ControlSettings.h"
#include "app/FrameEnding.h"
#include "app/PauseRules.h"
#include "input/Controllers.h"
#include "logic/ProcessFlags.h"
#include "overlay/Overlay.h"
#include "overlay/Translations.h"
#include "store/Scores.h"
#include "store/Settings.h"

#include <lang/Throwable.h>

#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

struct InputNotice {
    const char* key;
    const char* icon; // UTF-8
};

// Input kinds 1 keyboard, 2 mouse, 3 controller, 4 touch, 5 tilt.
const InputNotice kInputNotices[] = {
    {"notice.input_keyboard", "\xEF\x84\x9C"},   // U+F11C
    {"notice.input_mouse", "\xEF\xA3\x8C"},      // U+F8CC
    {"notice.input_controller", "\xEF\x84\x9B"}, // U+F11B
    {"notice.input_touch", "\xEF\x89\x9A"},      // U+F25A
    {"notice.input_tilt", "\xEF\x8F\x8F"},       // U+F3CF
};

} // namespace

SessionFrame::SessionFrame(AppContext& app, const LaunchOptions& options, RunningLevel& level,
                           SessionEvents& events, CameraChoice& view, LevelEnd& end, BackdropRequest& backdrop,
                           SessionOutcome& outcome)
    : app(&app), options(&options), level(&level), events(&events), view(&view), end(&end), backdrop(&backdrop),
      outcome(&outcome), timer(*app.clock)
{
}

SessionFrame::~SessionFrame()
{
    // The game's own GL programs go with the session, while the GL context
    // that main keeps across levels is still current.
    releaseFillProgram(fill);
    renderTarget.release();
}

void SessionFrame::start()
{
    hud.collectablesTotal = level->collectablesTotal();
    // The ride results enter the run's distance in the user's best distances.
    hud.submitDistance = [](int distance) {
        ScoreSubmission entry;
        entry.file = scoresPath();
        entry.place = addHighScore(entry.file, distance, entry.best, entry.saved);
        return entry;
    };
    // The start logo in the menu and at the first level started from it.
    if (options->menu ||
        (options->fromMenu && options->play && options->level.find("level01") != std::string::npos))
        hud.logoTimer = 0.f;
    timer.start();
}

bool SessionFrame::frame()
{
    if (!outcome->running())
        return false;
    PlayerInput& input = events->input();
    // Settings changed in the overlay act from the next frame on.
    input.settings = controlSettings(*app->settings);
    app->controllers->vibration = vibrationOn(*app->settings);
    events->poll();

    // Give the mouse back whenever it is not steering the ball or the free camera.
    events->releaseMouseUnlessSteering();

    const int kind = input.pollInputKindChange();
    if (kind >= 1 && kind <= 5 && app->overlay) {
        const InputNotice& notice = kInputNotices[kind - 1];
        app->overlay->notify(Translations::instance().get(notice.key), notice.icon, 3.5f);
    }
    if (!outcome->running())
        return false;

    gr::GLES2_Context* context = level->graphicsContext();
    int w = app->drawableWidth, h = app->drawableHeight;
    if (app->window)
        app->window->drawableSize(w, h);
    if (w != app->drawableWidth || h != app->drawableHeight) {
        app->drawableWidth = w;
        app->drawableHeight = h;
        context->width = w;
        context->height = h;
    }

    const float dt = timer.beginFrame();
    PauseState pause = pauseRule(events->overlayMenuOpen(), events->menuOpen(), level->player() != nullptr,
                                 end->over(), level->menuImagesLoaded(), level->audio()->backgroundMute.load());
    if (pause.captureRequested)
        backdrop->request();
    const float gameDt = pause.paused ? 0.f : dt;
    context->time += gameDt;

    update(gameDt, dt, pause.paused);
    render(pause.paused, pause.menuLive, dt);
    // The frame as rendered, before the overlay draws over it and before the
    // swap leaves the back buffer undefined.
    saveRequestedScreenshot();

    timer.capFrame(frameLimitFromSetting(app->settings->getFloat("graphics.fps_limit", 0.f)));

    frameCount += 1;
    switch (frameEnding(frameCount, options->frames, !options->screenshot.empty())) {
    case FrameEnding::Screenshot:
        if (context->saveScreenshot(options->screenshot)) {
            std::printf("screenshot: %s\n", options->screenshot.c_str());
        } else {
            std::fprintf(stderr, "could not save %s\n", options->screenshot.c_str());
            outcome->screenshotFailed();
        }
        outcome->quit();
        break;
    case FrameEnding::Stop:
        outcome->quit();
        break;
    case FrameEnding::Continue:
        break;
    }

    if (app->overlay)
        app->overlay->render();
    context->present();
    timer.endFrame();
    return outcome->running();
}

void SessionFrame::update(float gameDt, float dt, bool paused)
{
    hgr::Scene* scene = level->scene();
    Player* player = level->player();
    for (hgr::Node* node = scene; node; node = node->next(scene)) {
        if (node->getClassId() == hgr::Node::NODE_PARTICLESYSTEM)
            static_cast<hgr::ParticleSystem*>(node)->update(gameDt);
    }
    level->effects().update(gameDt);

    const math::Vector3 listener = player ? player->ballPosition()
                                          : level->camera()->getWorldTransform().getTranslation();
    level->ambientSounds().update(scene, level->audio(), listener);

    // The end of a completed level counts real time, also while paused.
    const bool complete = level->world()->levelComplete;
    if (end->update(complete, complete && player && player->onRail(), level->menuImagesLoaded(), dt)) {
        hud.resultsTimer = 0.f;
        level->menuImages()->invalidateCapture();
        backdrop->request();
    }

    updateLogic(gameDt, paused);
    if (!player || view->freeCameraOn())
        updateFreeCamera(gameDt);
    else
        updatePlayer(gameDt);
    spawnEffects();
}

void SessionFrame::updateLogic(float gameDt, bool paused)
{
    SceneWorld* world = level->world();
    Player* player = level->player();
    // The pad's A counts only while no menu takes it: behind the menu level's
    // in-game menu the logic runs, and A is the menu's Return there.
    const bool padAction = events->input().actionButtonDown() && !events->menuOpen() && !events->overlayMenuOpen();
    if (events->actionHeld() || padAction)
        world->pressedKeys.insert("lmouse");
    else
        world->pressedKeys.erase("lmouse");

    // While paused the logic stands still: a world update, even with no
    // time passing, would run actions and complete waits behind the menu.
    const bool railEnd = player && player->onRail() && world->levelComplete;
    if (!paused && !railEnd)
        world->update(gameDt);

    if (std::getenv("LUMAROLL_TRACE")) {
        std::string joined;
        for (const std::string& name : world->getRunningTriggers())
            joined += (joined.empty() ? "" : ", ") + name;
        if (joined != lastTrace) {
            std::printf("[trace] running triggers: %s\n", joined.empty() ? "(none)" : joined.c_str());
            lastTrace = joined;
        }
    }
}

void SessionFrame::updatePlayer(float gameDt)
{
    Player* player = level->player();
    hgr::Camera* camera = level->camera();
    PlayerInput& input = events->input();
    MoveInput move;
    input.read(move, app->drawableWidth, app->drawableHeight, player->controlsEnabled(), gameDt);
    const bool tilt = input.settings.touch == TouchScheme::Accelerometer;
    if (tilt && !tiltMode)
        app->controllers->calibrateRequested = true;
    tiltMode = tilt;
    player->setTiltScheme(tiltMode);
    player->addCameraInput(move.cameraYaw, move.cameraPitch);
    player->setMoveInput(move.stickMode, move.tiltCameraFollow, move.touchIdle, move.stickX, move.stickY);
    player->step(move.jump, gameDt, move.forward, move.right);
    player->updateCamera(camera, gameDt);
    view->freeView().follow(camera->getWorldTransform());
    if (traceEnabled() &&
        restWatch.update(player->body().velocity, camera->getWorldTransform().getTranslation(), gameDt)) {
        const math::Vector3 at = player->ballPosition();
        std::printf("[trace] ball at rest at (%.0f, %.0f, %.0f)\n", static_cast<double>(at.x),
                    static_cast<double>(at.y), static_cast<double>(at.z));
    }
}

void SessionFrame::updateFreeCamera(float gameDt)
{
    const bool menuOpen = events->menuOpen() || events->overlayMenuOpen();
    view->freeView().update(app->keys->keys(), !menuOpen, gameDt);
    view->freeView().place(level->camera());
}

void SessionFrame::spawnEffects()
{
    Player* player = level->player();
    if (!player || level->boostParticle().empty())
        return;
    const float b = level->world()->getVariable("boost");
    if (b != 0.f && !boostWasOn) {
        // No rotation, at the point the ball's body rolls about: the effect
        // travels with the ball below the player node.
        math::Matrix3x4 at(1.f);
        at.setTranslation(player->pivotPoint());
        level->effects().spawn(level->boostParticle(), level->playerNode(), at, 3.f);
    }
    boostWasOn = b != 0.f;
}

void SessionFrame::saveRequestedScreenshot()
{
    const std::string name = events->takeScreenshotRequest();
    if (name.empty())
        return;
    // A screenshot that cannot be written prints nothing.
    if (level->graphicsContext()->saveScreenshot(name))
        std::printf("saved %s\n", name.c_str());
}

} // namespace lumaroll
