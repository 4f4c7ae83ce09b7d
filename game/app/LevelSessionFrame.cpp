// The level session's frame loop: timing, pause rule, update and the end of
// the session by frame count or screenshot.
#include "app/LevelSession.h"

#include "app/ControlSettings.h"
#include "app/FrameEnding.h"
#include "input/Controllers.h"
#include "logic/ProcessFlags.h"
#include "overlay/Overlay.h"
#include "overlay/Translations.h"
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

LevelResult LevelSession::run()
{
    start();
    while (frame()) {
    }
    return finish();
}

void LevelSession::start()
{
    loadLevel();
    setupWorld();
    if (options.play && !options.dataDir.empty()) {
        try {
            setupPlayer();
        } catch (const lang::Throwable& e) {
            std::fprintf(stderr, "could not load the ball: %s\n", lang::String(e.getMessage()).c_str());
            player.reset();
        }
    }
    water.reset(new WaterReflection(context, scene));
    if (player) {
        WaterReflection* reflection = water.get();
        player->waterHeightCallback = [reflection](float x, float z, float& height) {
            return reflection->waterHeightAt(x, z, height);
        };
    }
    setupStartCamera();
    freeCam.place(camera);
    // Pads plugged in since start-up, or since the last level.
    Controllers::instance().openAll();
    started = true;
    if (app->overlay) {
        app->overlay->setQuitAction([this]() {
            quit = true;
            running = false;
        });
    }
    timer.start();
}

bool LevelSession::frame()
{
    if (!running)
        return false;
    // Settings changed in the overlay act from the next frame on.
    input.settings = controlSettings(Settings::instance());
    Controllers::instance().vibration = vibrationOn(Settings::instance());
    pollEvents();

    // Give the mouse back whenever it is not steering the ball or the free camera.
    if (relativeMouse && !gameplayHasFocus())
        setRelativeMouse(false);

    const int kind = input.pollInputKindChange();
    if (kind >= 1 && kind <= 5 && app->overlay) {
        const InputNotice& notice = kInputNotices[kind - 1];
        app->overlay->notify(Translations::instance().get(notice.key), notice.icon, 3.5f);
    }
    if (!running)
        return false;

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
    PauseState pause = pauseRule(overlayMenuOpen(), menu.isOpen(), player != nullptr, levelOver, uiLoaded,
                                 audio->backgroundMute.load());
    if (pause.captureRequested)
        captureRequested = true;
    const float gameDt = pause.paused ? 0.f : dt;
    context->time += gameDt;

    update(gameDt, dt, pause.paused);
    render(pause.paused, pause.menuLive, dt);
    // The frame as rendered, before the overlay draws over it and before the
    // swap leaves the back buffer undefined.
    saveRequestedScreenshot();

    timer.capFrame(frameLimitFromSetting(Settings::instance().getFloat("graphics.fps_limit", 0.f)));

    frameCount += 1;
    switch (frameEnding(frameCount, options.frames, !options.screenshot.empty())) {
    case FrameEnding::Screenshot:
        if (context->saveScreenshot(options.screenshot)) {
            std::printf("screenshot: %s\n", options.screenshot.c_str());
        } else {
            std::fprintf(stderr, "could not save %s\n", options.screenshot.c_str());
            screenshotFailed = true;
        }
        quit = true;
        running = false;
        break;
    case FrameEnding::Stop:
        quit = true;
        running = false;
        break;
    case FrameEnding::Continue:
        break;
    }

    if (app->overlay)
        app->overlay->render();
    context->present();
    timer.endFrame();
    return running;
}

LevelResult LevelSession::finish()
{
    if (relativeMouse)
        setRelativeMouse(false);
    releaseOverlay();
    LevelResult result;
    result.quit = quit;
    result.nextArgs = nextArgs;
    result.screenshotFailed = screenshotFailed;
    return result;
}

void LevelSession::update(float gameDt, float dt, bool paused)
{
    for (hgr::Node* node = scene; node; node = node->next(scene)) {
        if (node->getClassId() == hgr::Node::NODE_PARTICLESYSTEM)
            static_cast<hgr::ParticleSystem*>(node)->update(gameDt);
    }
    for (size_t i = 0; i < timedEffects.size();) {
        timedEffects[i].secondsLeft -= gameDt;
        if (timedEffects[i].secondsLeft <= 0.f) {
            timedEffects[i].node->unlink();
            timedEffects.erase(timedEffects.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }

    const math::Vector3 listener = player ? player->ballPosition() : camera->getWorldTransform().getTranslation();
    ambient.update(scene, audio.get(), listener);

    // The end of a completed level counts real time, also while paused.
    if (world->levelComplete && !levelOver && uiLoaded) {
        levelEndTimer += dt;
        const float delay = player && player->onRail() ? 0.f : 1.5f;
        if (levelEndTimer >= delay) {
            levelOver = true;
            hud.resultsTimer = 0.f;
            ui->invalidateCapture();
            captureRequested = true;
        }
    }

    updateLogic(gameDt, paused);
    if (!player || freeCamera)
        updateFreeCamera(gameDt);
    else
        updatePlayer(gameDt);
    spawnEffects();
}

void LevelSession::updateLogic(float gameDt, bool paused)
{
    // The pad's A counts only while no menu takes it: behind the menu level's
    // in-game menu the logic runs, and A is the menu's Return there.
    const bool padAction = input.actionButtonDown() && !menu.isOpen() && !overlayMenuOpen();
    if (actionButtons.held() || padAction)
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

void LevelSession::updatePlayer(float gameDt)
{
    MoveInput move;
    input.read(move, app->drawableWidth, app->drawableHeight, player->controlsEnabled(), gameDt);
    const bool tilt = input.settings.touch == TouchScheme::Accelerometer;
    if (tilt && !tiltMode)
        Controllers::instance().calibrateRequested = true;
    tiltMode = tilt;
    player->setTiltScheme(tiltMode);
    player->addCameraInput(move.cameraYaw, move.cameraPitch);
    player->setMoveInput(move.stickMode, move.tiltCameraFollow, move.touchIdle, move.stickX, move.stickY);
    player->step(move.jump, gameDt, move.forward, move.right);
    player->updateCamera(camera, gameDt);
    freeCam.follow(camera->getWorldTransform());
    if (traceEnabled() &&
        restWatch.update(player->body().velocity, camera->getWorldTransform().getTranslation(), gameDt)) {
        const math::Vector3 at = player->ballPosition();
        std::printf("[trace] ball at rest at (%.0f, %.0f, %.0f)\n", static_cast<double>(at.x),
                    static_cast<double>(at.y), static_cast<double>(at.z));
    }
}

void LevelSession::updateFreeCamera(float gameDt)
{
    const bool menuOpen = menu.isOpen() || overlayMenuOpen();
    freeCam.update(app->keys->keys(), !menuOpen, gameDt);
    freeCam.place(camera);
}

void LevelSession::spawnEffects()
{
    if (!player || boostParticle.empty())
        return;
    const float b = world->getVariable("boost");
    if (b != 0.f && !boostWasOn) {
        // No rotation, at the point the ball's body rolls about: the effect
        // travels with the ball below the player node.
        math::Matrix3x4 at(1.f);
        at.setTranslation(player->pivotPoint());
        spawnParticleEffect(boostParticle, playerRoot, at, 3.f);
    }
    boostWasOn = b != 0.f;
}

bool LevelSession::overlayMenuOpen() const
{
    return app->overlay && app->overlay->menuOpen();
}

bool LevelSession::windowHasFocus() const
{
    return app->window && app->window->hasInputFocus();
}

bool LevelSession::gameplayHasFocus() const
{
    return windowHasFocus() && (freeCamera || (player && !levelOver && !menu.isOpen() && !overlayMenuOpen()));
}

void LevelSession::setRelativeMouse(bool on)
{
    if (on == relativeMouse)
        return;
    relativeMouse = on;
    mouseTravel = 0;
    if (app->window)
        app->window->setRelativeMouse(on);
    input.mouseCaptured = on;
}

} // namespace lumaroll
