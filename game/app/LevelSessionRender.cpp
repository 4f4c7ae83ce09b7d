// The level session's render pass: camera choice, render scale, sky, scene,
// fade and the menu layers on top.
#include "app/LevelSession.h"

#include "overlay/Overlay.h"
#include "store/Settings.h"

#include <gr/Rect.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaroll {

hgr::Camera* LevelSession::activeCamera()
{
    hgr::Camera* result = camera;
    bool sceneCamera = false;
    if (chosenCamera >= 0 && chosenCamera < static_cast<int>(sceneCameras.size())) {
        result = static_cast<hgr::Camera*>(sceneCameras[static_cast<size_t>(chosenCamera)].ptr());
        sceneCamera = true;
    }
    if (scriptedView && !world->cameraName.empty()) {
        for (const auto& node : sceneCameras) {
            if (world->cameraName == node->getName().c_str()) {
                result = static_cast<hgr::Camera*>(node.ptr());
                sceneCamera = true;
            }
        }
    }
    if (!player)
        return result;
    if (sceneCamera && (freeCamera || (!world->cameraName.empty() && world->cameraName != "camera")))
        return result;
    result = camera;
    if (world->variables.count("fov")) {
        if (baseFov < 0.f)
            baseFov = camera->getHorizontalFov();
        const float target = world->getVariable("fov") * 3.1415927f / 180.f + baseFov;
        if (std::fabs(camera->getHorizontalFov() - target) > 0.001f)
            camera->setHorizontalFov(std::min(target, 2.6f));
    }
    return result;
}

void LevelSession::render(bool paused, bool menuLive, float dt)
{
    hgr::Camera* cam = activeCamera();
    const int w = app->drawableWidth;
    const int h = app->drawableHeight;

    int tw = w, th = h;
    bool scaled = false;
    if (scaledRenderSize(Settings::instance().getFloat("graphics.render_scale", 1.f), w, h, tw, th)) {
        if (renderTarget.resize(tw, th)) {
            context->defaultFramebuffer =
                gr::GLES2_Context::DefaultFramebuffer{static_cast<int>(renderTarget.framebuffer), tw, th};
            scaled = true;
        } else {
            tw = w;
            th = h;
        }
    }
    lastRenderWidth = tw;
    lastRenderHeight = th;

    context->beginScene();
    water->render(cam, tw, th, kDefaultClearColor, context->time);
    context->setViewport(gr::Rect(tw, th));
    context->clear(clearColor);
    sky.draw(cam, tw, th);
    cam->render(context);

    if (scaled) {
        context->defaultFramebuffer = gr::GLES2_Context::DefaultFramebuffer{0, 0, 0};
        renderTarget.blit(w, h);
        context->setViewport(gr::Rect(w, h));
    }

    if (scriptedView)
        drawFullScreenFill(fill, world->fadeTarget == 0, world->fadeAmount);

    if (uiLoaded) {
        if (captureRequested) {
            ui->begin(w, h);
            ui->captureScreen();
            ui->end();
            captureRequested = false;
        }
        if ((paused || menuLive) && ui->hasValidCapture())
            ui->drawBlurredCapture(4.f, 1.f, 0.6f);
        ui->begin(w, h);
        HudPlayer ride;
        if (player) {
            ride.railIndex = player->railIndex();
            ride.distanceRidden = player->distanceRidden();
        }
        hud.draw(*ui, *world, player ? &ride : nullptr, paused, levelOver, dt, menu.isOpen());
        hud.drawLogo(*ui, paused, dt);
        if (Settings::instance().getBool("graphics.show_fps", false)) {
            char text[32];
            std::snprintf(text, sizeof text, "%d", static_cast<int>(timer.fps() + 0.5f));
            const float u = ui->pixelsPerUnit();
            const float v = ui->virtualWidth();
            float labelWidth = 0.f;
            if (app->overlay)
                labelWidth = app->overlay->measureText("FPS", 17.f * u).width / (u > 0.f ? u : 1.f);
            ui->drawText("FONT", text, 2, 1, v - 18.f - labelWidth - 6.f, 458.f, 1.f);
            if (app->overlay)
                app->overlay->screenTexts().add(ScreenText{"FPS", (v - 18.f) * u, 460.f * u, 17.f * u});
        }
        menu.draw(*ui);
        ui->end();
    }
    context->endScene();
}

} // namespace lumaroll
