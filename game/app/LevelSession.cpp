#include "app/LevelSession.h"

#include "app/LevelScene.h"
#include "app/Paths.h"
#include "logic/ScriptText.h"
#include "overlay/Overlay.h"

#include <hgr/SceneInputStream.h>
#include <hgr/UserPropertySet.h>
#include <io/FileInputStream.h>
#include <lang/Throwable.h>

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

LevelSession::LevelSession(AppContext& app, const LaunchOptions& options, FrameClock* clock)
    : app(&app), options(options), timer(clock ? *clock : SdlFrameClock::instance())
{
}

LevelSession::~LevelSession()
{
    // The overlay outlives the session: it must not keep our audio engine or
    // a quit callback into this object, however the session ended.
    releaseOverlay();
    if (relativeMouse)
        setRelativeMouse(false);
    // The game's own GL programs go with the session, while the GL context
    // that main keeps across levels is still current.
    releaseFillProgram(fill);
    sky.release();
    renderTarget.release();
}

void LevelSession::releaseOverlay()
{
    if (Overlay* overlay = app->overlay) {
        if (overlay->audio == audio.get())
            overlay->audio = nullptr;
        if (started)
            overlay->quitCallback = nullptr;
    }
}

void LevelSession::loadLevel()
{
    // 1. The graphics context over main's window.
    context = new gr::GLES2_Context(app->drawableWidth, app->drawableHeight, swapWindowCallback, app->window);

    // 2. The scene loader wants the context to report the level's platform.
    {
        io::FileInputStream file(options.level.c_str());
        hgr::SceneInputStream header(&file);
        context->platform = header.getPlatform();
    }

    // 3., 4.
    const std::string& data = options.dataDir;
    context->shaderDirectory = shadersDir(data);
    context->textureDirectory = texturesDir(data);
    resources = new hgr::DefaultResourceManager(context);

    // 5.
    loadMenuImages();

    // 6. The scene.
    const std::uint32_t t0 = SDL_GetTicks();
    scene = new hgr::Scene(context, options.level.c_str(), resources, texturesDir(data).c_str(),
                           shadersDir(data).c_str(), particlesDir(data).c_str());
    const int* counts = context->loadCounters;
    std::printf("level loaded in %u ms | textures: %d ok, %d failed | effects: %d ok, %d fallback\n",
                static_cast<unsigned>(SDL_GetTicks() - t0), counts[gr::GLES2_Context::TEXTURES_LOADED],
                counts[gr::GLES2_Context::TEXTURES_FAILED], counts[gr::GLES2_Context::EFFECTS_LOADED],
                counts[gr::GLES2_Context::EFFECTS_FALLEN_BACK]);

    // 7.-11.
    loadLibraryObjects(scene, context, resources, data, libraryObjects);
    applyFog(scene, context);
    hiddenMeshes = hideHelperMeshes(scene);
    sceneCameras = sceneCameraNodes(scene);
    clearColor = sceneClearColor(scene);

    // 12., 13. Audio: silent with LUMAROLL_NO_AUDIO or without game data.
    audio.reset(new Audio);
    if (!std::getenv("LUMAROLL_NO_AUDIO") && !data.empty())
        audio->init(data);
    audio->applySettings();
    if (app->overlay)
        app->overlay->audio = audio.get();
    ambient.setup(scene, audio.get());

    // 14. The start logo.
    if (options.menu || (options.fromMenu && options.play && options.level.find("level01") != std::string::npos))
        hud.logoTimer = 0.f;
}

void LevelSession::loadMenuImages()
{
    ui.reset(new UiRenderer);
    uiLoaded = false;
    const std::string& data = options.dataDir;
    if (!data.empty()) {
        uiLoaded = ui->loadAtlas(data + "/resources/images/MENU.dat");
        ui->loadAtlas(data + "/resources/images/INGAME.dat");
        ui->loadAtlas(data + "/resources/images/LOADING.dat");
        ui->loadFont(data + "/resources/localization/FONT.dat");
        ui->loadFont(data + "/resources/localization/FONT_YELLOW.dat");
    }
    if (!uiLoaded)
        return;
    const int w = app->drawableWidth;
    const int h = app->drawableHeight;
    glViewport(0, 0, w, h);
    glClearColor(1.f, 1.f, 1.f, 1.f);
    glClear(GL_COLOR_BUFFER_BIT);
    ui->begin(w, h);
    const float v = ui->virtualWidth();
    if (!options.fromMenu)
        ui->drawImage("LOADING", "LOADING_VESQA", v / 2.f, 225.f, 1.f, 1.f);
    ui->drawImage("LOADING", "LOADING_TEXT", v - 135.f, 451.f, 1.f, 1.f);
    ui->end();
    SDL_GL_SwapWindow(app->window);
}

void LevelSession::setupWorld()
{
    world.reset(new SceneWorld(scene));
    if (options.menu)
        world->setVariable("attraction", 1.f);
    for (const auto& var : options.vars)
        world->setVariable(var.first, var.second);

    int collectables = 0;
    for (const LibraryTrigger& record : libraryObjects) {
        if (record.text.find("a01") == std::string::npos)
            continue;
        world->nodeCache[record.name] = record.node;
        const std::string script = nameThisOperands(record.text, record.name);
        world->addTrigger(record.trigger, script);
        if (script.find("item=collectable") != std::string::npos)
            ++collectables;
    }
    hud.collectablesTotal = collectables;

    world->particleEffectCallback = [this](const std::string& effect, hgr::Node* node) {
        try {
            lang::Ptr<hgr::ParticleSystem> description = resources->getParticleSystem(
                (particlesDir(options.dataDir) + effect).c_str(), context->textureDirectory.c_str(),
                context->shaderDirectory.c_str());
            if (!description)
                return;
            lang::Ptr<hgr::ParticleSystem> system = new hgr::ParticleSystem(*description);
            system->setTransform(node->getWorldTransform());
            system->linkTo(scene);
            timedEffects.push_back(TimedEffect{system, 8.f});
        } catch (const lang::Throwable& e) {
            std::fprintf(stderr, "particles '%s': %s\n", effect.c_str(), lang::String(e.getMessage()).c_str());
        }
    };
    world->playSoundCallback = [this](const std::string& sound, bool loop) { audio->playSound(sound, loop, 1.f); };
    world->stopSoundCallback = [this](const std::string& sound) { audio->stopSound(sound); };
    world->pressureCallback = [](float) {};

    std::printf("logic: %d triggers, %d warnings\n", world->triggerCount(), static_cast<int>(world->warnings.size()));
    for (size_t i = 0; i < world->warnings.size() && i < 10; ++i)
        std::printf("  warning: %s\n", world->warnings[i].c_str());
}

void LevelSession::setupPlayer()
{
    // The ball model, the player and its rails come with the ball physics.
    // Once the player has rails, the sky is taken out of the scene here:
    //   if (player->railCount() > 0) setupSky();
    if (player && player->railCount() > 0)
        setupSky();
}

void LevelSession::setupSky()
{
    hgr::UserPropertySet* properties = scene->getUserProperties();
    if (!properties)
        return;
    for (auto it = properties->begin(); it != properties->end(); ++it) {
        const std::string text = it->value.c_str();
        if (text.find("skybox=1") == std::string::npos)
            continue;
        hgr::Node* node = scene->findNode(it->key);
        if (!node || !sky.build(node))
            continue;
        for (hgr::Node* n = node; n; n = n->next(node))
            n->setEnabled(false);
    }
}

void LevelSession::setupStartCamera()
{
    camera = new hgr::Camera;
    camera->setName("view");
    camera->setHorizontalFov(1.3f);
    camera->setFront(1.f);
    camera->setBack(100000.f);
    camera->linkTo(scene);
    for (const auto& node : sceneCameras) {
        const std::string name = node->getName().c_str();
        const bool match = options.camera.empty() ? name.find("startcamera") != std::string::npos
                                                  : name == options.camera;
        if (match)
            freeCam.follow(node->getWorldTransform());
    }
}

} // namespace lumaroll
