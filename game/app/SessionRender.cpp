// The render pass of the frame: camera choice, render scale, sky, scene,
// fade and the menu layers on top.
#include "app/SessionFrame.h"

#include "overlay/Overlay.h"
#include "store/SettingRanges.h"
#include "store/Settings.h"

#include <gr/Rect.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaroll {

void SessionFrame::render(bool paused, bool menuLive, float dt)
{
    gr::GLES2_Context* context = level->graphicsContext();
    SceneWorld* world = level->world();
    Player* player = level->player();
    UiRenderer* ui = level->menuImages();
    hgr::Camera* cam = view->active(level->camera(), level->sceneCameras(), *world, player != nullptr);
    const int w = app->drawableWidth;
    const int h = app->drawableHeight;

    int tw = w, th = h;
    bool scaled = false;
    if (scaledRenderSize(kRenderScaleRange.clamp(app->settings->getFloat("graphics.render_scale", 1.f)), w, h, tw,
                         th)) {
        if (renderTarget.resize(tw, th)) {
            context->defaultFramebuffer =
                gr::GLES2_Context::DefaultFramebuffer{static_cast<int>(renderTarget.framebuffer), tw, th};
            scaled = true;
        } else {
            tw = w;
            th = h;
        }
    }
    context->beginScene();
    level->water()->render(cam, tw, th, kDefaultClearColor, context->time);
    context->setViewport(gr::Rect(tw, th));
    context->clear(level->clearColor());
    level->sky().draw(cam, tw, th);
    cam->render(context);

    if (scaled) {
        context->defaultFramebuffer = gr::GLES2_Context::DefaultFramebuffer{0, 0, 0};
        renderTarget.blit(w, h);
        context->setViewport(gr::Rect(w, h));
    }

    if (view->scriptedViewOn())
        drawFullScreenFill(fill, world->fadeTarget == 0, world->fadeAmount);

    if (level->menuImagesLoaded()) {
        if (backdrop->take()) {
            ui->begin(w, h);
            ui->captureScreen();
            ui->end();
        }
        if ((paused || menuLive) && ui->hasValidCapture())
            ui->drawBlurredCapture(4.f, 1.f, 0.6f);
        ui->begin(w, h);
        HudPlayer ride;
        if (player) {
            ride.railIndex = player->railIndex();
            ride.distanceRidden = player->distanceRidden();
        }
        hud.draw(*ui, *world, player ? &ride : nullptr, paused, end->over(), dt, events->menuOpen());
        hud.drawLogo(*ui, paused, dt);
        if (app->settings->getBool("graphics.show_fps", false)) {
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
        events->menu().draw(*ui);
        ui->end();
    }
    context->endScene();
}

} // namespace lumaroll
