#include "app/LevelSetup.h"

#include "app/LevelFile.h"
#include "app/LevelScene.h"
#include "app/SetupRules.h"
#include "files/DataLayout.h"
#include "files/Paths.h"
#include "logic/ScriptText.h"
#include "overlay/Overlay.h"
#include "text/PropertyText.h"

#include <gr/gles2/GLES2_Dispatch.h>
#include <hgr/UserPropertySet.h>
#include <lang/Throwable.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <unordered_set>
#include <utility>

namespace lumaroll {

LevelSetup::LevelSetup(AppContext& app, const LaunchOptions& options) : app(&app), options(options) {}

LevelSetup::~LevelSetup()
{
    // The overlay outlives the level: it must not keep our audio engine.
    releaseOverlayAudio();
    // The sky's GL program goes with the level, while the GL context that
    // main keeps across levels is still current.
    skyRenderer.release();
}

void LevelSetup::releaseOverlayAudio()
{
    if (Overlay* overlay = app->overlay) {
        if (overlay->audio() == levelAudio.get())
            overlay->setAudio(nullptr);
    }
}

void LevelSetup::load()
{
    // The graphics context over main's window; its present shows the window.
    context = new gr::GLES2_Context(app->drawableWidth, app->drawableHeight, Window::presentCallback, app->window);

    // The scene loader wants the context to report the level's platform. The
    // level file is opened once, as a regular file only, and the scene is
    // read below from the same descriptor.
    LevelFile level(options.level);
    context->platform = level.platform();

    // The effect and texture folders, and the resource cache.
    const std::string& data = options.dataDir;
    context->shaderDirectory = shadersDir(data);
    context->textureDirectory = texturesDir(data);
    resources = new hgr::DefaultResourceManager(context);
    timedEffects.attach(resources, context, particlesDir(options.dataDir));

    loadMenuImages();

    // The scene.
    const std::uint32_t t0 = app->clock->ticks();
    levelScene = level.readScene(context, resources, texturesDir(data), shadersDir(data), particlesDir(data));
    const int* counts = context->loadCounters;
    std::printf("level loaded in %u ms | textures: %d ok, %d failed | effects: %d ok, %d fallback\n",
                static_cast<unsigned>(app->clock->ticks() - t0), counts[gr::GLES2_Context::TEXTURES_LOADED],
                counts[gr::GLES2_Context::TEXTURES_FAILED], counts[gr::GLES2_Context::EFFECTS_LOADED],
                counts[gr::GLES2_Context::EFFECTS_FALLEN_BACK]);

    // What the level scene says beyond its nodes: library objects, fog,
    // helper meshes not to draw, cameras and the background colour.
    loadLibraryObjects(levelScene, context, resources, data, libraryObjects);
    applyFog(levelScene, context);
    hiddenMeshes = hideHelperMeshes(levelScene);
    cameras = sceneCameraNodes(levelScene);
    levelClearColor = sceneClearColor(levelScene);

    // Audio, the level's music and its ambient sounds: silent with
    // LUMAROLL_NO_AUDIO or without game data; the session takes all six
    // volume and mute settings, the mute included.
    levelAudio.reset(new Audio);
    if (!std::getenv("LUMAROLL_NO_AUDIO") && !data.empty())
        levelAudio->init(data);
    levelAudio->applySettings(readAudioSettings(*app->settings), true);
    if (app->overlay)
        app->overlay->setAudio(levelAudio.get());
    ambient.setup(levelScene, levelAudio.get());
}

void LevelSetup::loadMenuImages()
{
    ui.reset(new UiRenderer);
    uiLoaded = false;
    const std::string& data = options.dataDir;
    if (!data.empty()) {
        const std::string images = data + "/" + kImagesFolder + "/";
        const std::string fonts = data + "/" + kFontsFolder + "/";
        uiLoaded = ui->loadAtlas(images + "MENU.dat");
        ui->loadAtlas(images + "INGAME.dat");
        ui->loadAtlas(images + "LOADING.dat");
        ui->loadFont(fonts + "FONT.dat");
        ui->loadFont(fonts + "FONT_YELLOW.dat");
    }
    if (!uiLoaded)
        return;
    const int w = app->drawableWidth;
    const int h = app->drawableHeight;
    gr::gl.Viewport(0, 0, w, h);
    gr::gl.ClearColor(1.f, 1.f, 1.f, 1.f);
    gr::gl.Clear(GL_COLOR_BUFFER_BIT);
    ui->begin(w, h);
    const float v = ui->virtualWidth();
    if (!options.fromMenu)
        ui->drawImage("LOADING", "LOADING_VESQA", v / 2.f, 225.f, 1.f, 1.f);
    ui->drawImage("LOADING", "LOADING_TEXT", v - 135.f, 451.f, 1.f, 1.f);
    ui->end();
    if (app->window)
        app->window->present();
}

void LevelSetup::setupWorld()
{
    levelWorld.reset(new SceneWorld(levelScene));
    SceneWorld* world = levelWorld.get();
    if (options.menu)
        world->setVariable("attraction", 1.f);
    for (const auto& var : options.vars)
        world->setVariable(var.first, var.second);

    // The texts of the level's triggers as they stand after the set-up: the
    // world's own, made from the scene's entries, and the library objects'.
    std::map<std::string, std::string> scripts;
    if (hgr::UserPropertySet* properties = levelScene->getUserProperties()) {
        for (auto it = properties->begin(); it != properties->end(); ++it) {
            std::string name = wholeText(it->key);
            if (world->getTriggerState(name) >= 0)
                scripts[std::move(name)] = wholeText(it->value);
        }
    }
    for (const LibraryTrigger& record : libraryObjects) {
        if (record.text.find("a01") == std::string::npos)
            continue;
        world->nodeCache[record.name] = record.node;
        // The world read the placeholder's own entry into a trigger under the
        // object's name; the record's trigger replaces it, so the script runs once.
        if (world->removeTrigger(record.name))
            scripts.erase(record.name);
        std::string script = nameThisOperands(record.text, record.name);
        world->addTrigger(record.trigger, script);
        scripts[record.trigger] = std::move(script);
    }
    collectables = 0;
    for (const auto& entry : scripts) {
        if (entry.second.find("item=collectable") != std::string::npos)
            ++collectables;
    }

    world->particleEffectCallback = [this](const std::string& effect, hgr::Node* node) {
        timedEffects.spawn(effect, levelScene, node->getWorldTransform(), 8.f);
    };
    world->playSoundCallback = [this](const std::string& sound, bool loop) {
        levelAudio->playSound(sound, loop, 1.f);
    };
    world->stopSoundCallback = [this](const std::string& sound) { levelAudio->stopSound(sound); };
    Controllers* controllers = app->controllers;
    world->pressureCallback = [controllers](float strength) { controllers->rumble(strength); };

    std::printf("logic: %d triggers, %d warnings\n", world->triggerCount(),
                static_cast<int>(world->warnings.size()));
    for (size_t i = 0; i < world->warnings.size() && i < 10; ++i)
        std::printf("  warning: %s\n", world->warnings[i].c_str());
}

void LevelSetup::setupPlayer()
{
    const std::string& data = options.dataDir;
    const std::string path = data + "/" + kModelsFolder + "/plimbo.hgr";
    lang::Ptr<hgr::Scene> model = new hgr::Scene(context, path.c_str(), resources, texturesDir(data).c_str(),
                                                 shadersDir(data).c_str(), particlesDir(data).c_str());
    // Once the model is in the level, a failure takes all of it out again:
    // left behind, the model would stand at the origin, animated by its eye
    // triggers, and the world would keep a pointer into the dropped model.
    // What the set-up brought below the scene (the player node, the ball's
    // shadow) goes; the level's own nodes stay.
    std::unordered_set<const hgr::Node*> levelNodes;
    for (hgr::Node* n = levelScene; n; n = n->next(levelScene))
        levelNodes.insert(n);
    modelScene = model;
    eyeTriggers.clear();
    const auto noteBrought = [&] {
        broughtNodes.clear();
        for (hgr::Node* child = levelScene->getFirstChild(); child; child = child->getNextSibling()) {
            if (!levelNodes.count(child))
                broughtNodes.push_back(child);
        }
    };
    try {
        setupBall(model);
    } catch (...) {
        noteBrought();
        takePlayerOut();
        throw;
    }
    noteBrought();
}

void LevelSetup::takePlayerOut()
{
    if (!modelScene)
        return;
    for (const auto& node : broughtNodes)
        node->unlink();
    broughtNodes.clear();
    std::vector<hgr::TransformAnimationSet*>& sets = levelWorld->extraAnimationSets;
    sets.erase(std::remove(sets.begin(), sets.end(), modelScene->getAnimations()), sets.end());
    for (const std::string& name : eyeTriggers)
        levelWorld->removeTrigger(name);
    eyeTriggers.clear();
    auto forms = levelWorld->nodeCache.find("G_ballforms");
    if (forms != levelWorld->nodeCache.end() && forms->second == playerRoot)
        levelWorld->nodeCache.erase(forms);
    ball.reset();
    playerRoot = nullptr;
    modelScene = nullptr;
}

void LevelSetup::setupBall(hgr::Scene* model)
{
    hgr::Scene* scene = levelScene;
    SceneWorld* world = levelWorld.get();
    const std::string& data = options.dataDir;
    // The model's top nodes go below the dummy "player" in the level.
    playerRoot = new hgr::Dummy;
    playerRoot->setName("player");
    std::vector<lang::Ptr<hgr::Node>> top;
    for (hgr::Node* child = model->getFirstChild(); child; child = child->getNextSibling())
        top.push_back(child);
    for (const auto& node : top)
        node->linkTo(playerRoot);
    playerRoot->linkTo(scene);

    ball.reset();
    ball.reset(new Player(scene, world));
    Player* player = ball.get();

    // Library objects: their shadow meshes (gathered first: registering one
    // moves it below the scene) and their scripts as touchables.
    for (const LibraryTrigger& record : libraryObjects) {
        const bool hidden = record.text.find("shadow=0") != std::string::npos;
        std::vector<lang::Ptr<hgr::Node>> shadows;
        for (hgr::Node* n = record.node; n; n = n->next(record.node)) {
            if (isShadowMesh(n))
                shadows.push_back(n);
        }
        for (const auto& shadow : shadows)
            player->addShadowCaster(shadow, record.node, hidden);
        if (record.text.find("a01") != std::string::npos)
            player->addTouchable(record.trigger, record.node, touchRadius(record.text));
    }

    // The form record: the text between its first '=' and the line's end.
    const std::string forms = nodePropertyText(model, "D_forminfo");
    const size_t equals = forms.find('=');
    if (equals != std::string::npos) {
        const size_t end = forms.find_first_of("\r\n", equals + 1);
        player->loadForms(
            forms.substr(equals + 1, end == std::string::npos ? std::string::npos : end - equals - 1));
    }

    hgr::TransformAnimationSet* animations = model->getAnimations();
    if (animations)
        world->extraAnimationSets.push_back(animations);

    // The eye animation triggers (blinking, eyebrows) of the model start at once.
    for (const char* name : {"T_plimbo_lookat_eyes_anim01", "T_plimbo_lookat_eyes_anim02"}) {
        hgr::UserPropertySet* properties = model->getUserProperties();
        const lang::String* text = properties ? properties->find(lang::String(name)) : nullptr;
        if (!text || world->getTriggerState(name) >= 0)
            continue;
        world->addTrigger(name, wholeText(*text));
        eyeTriggers.push_back(name);
        world->setTriggerEnabled(name, true);
        world->activateTrigger(name);
    }
    if (!eyeTriggers.empty())
        std::printf("ball: %d eye animation triggers (blinking, eyebrows)\n",
                    static_cast<int>(eyeTriggers.size()));

    // The eye group takes its pose at time 0; the rest of the model keeps its own.
    hgr::Node* eyes = playerRoot->findInSubtree("G_plimbo_lookat_eyes");
    if (animations && eyes) {
        for (auto it = animations->begin(); it != animations->end(); ++it) {
            if (!it->value)
                continue;
            hgr::Node* node = playerRoot->findInSubtree(it->key);
            if (node && isInSubtree(node, eyes))
                node->setTransform(it->value->getTransform(0.f));
        }
    }
    player->analyseModel(playerRoot);
    player->createShadow(context);
    player->setSoundCallback(
        [this](const std::string& sound, float volume) { levelAudio->playSound(sound, false, volume); });
    if (world->getTriggerState("T_butterflyanim") >= 0)
        world->activateTrigger("T_butterflyanim");

    // A level with rails draws its sky separately and has a boost effect.
    player->buildRails();
    if (player->railCount() > 0) {
        setupSky();
        boostParticleFile = lumaroll::boostParticleFile(particlesDir(data));
    }

    world->nodeCache["G_ballforms"] = playerRoot;
    if (world->getTriggerState("T_restartLevel") >= 0) {
        world->setTriggerEnabled("T_restartLevel", true);
        world->activateTrigger("T_restartLevel");
    }
    player->placeAtStart();
    std::puts(player->summary().c_str());
}

void LevelSetup::setupSky()
{
    hgr::Scene* scene = levelScene;
    hgr::UserPropertySet* properties = scene->getUserProperties();
    if (!properties)
        return;
    for (auto it = properties->begin(); it != properties->end(); ++it) {
        const std::string text = wholeText(it->value);
        if (text.find("skybox=1") == std::string::npos)
            continue;
        hgr::Node* node = scene->findNode(it->key);
        if (!node || !skyRenderer.build(node))
            continue;
        for (hgr::Node* n = node; n; n = n->next(node))
            n->setEnabled(false);
    }
}

void LevelSetup::setupWater()
{
    waterReflection.reset(new WaterReflection(context, levelScene));
    if (ball) {
        WaterReflection* reflection = waterReflection.get();
        ball->setWaterHeightCallback(
            [reflection](float x, float z, float& height) { return reflection->waterHeightAt(x, z, height); });
    }
}

void LevelSetup::setupStartCamera(FreeCamera& view)
{
    sessionCamera = new hgr::Camera;
    sessionCamera->setName("view");
    sessionCamera->setHorizontalFov(1.3f);
    sessionCamera->setFront(1.f);
    sessionCamera->setBack(100000.f);
    sessionCamera->linkTo(levelScene);
    for (const auto& node : cameras) {
        const std::string name = node->getName().c_str();
        const bool match = options.camera.empty() ? name.find("startcamera") != std::string::npos
                                                  : name == options.camera;
        if (match)
            view.follow(node->getWorldTransform());
    }
}

} // namespace lumaroll
