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

LevelSetup::LevelSetup(AppContext& app, const LaunchOptions& options, RunningLevel& level)
    : app(&app), options(options), level(&level)
{
}

LevelSetup::~LevelSetup()
{
    // The overlay outlives the level: it must not keep our audio engine.
    releaseOverlayAudio();
}

void LevelSetup::releaseOverlayAudio()
{
    if (Overlay* overlay = app->overlay) {
        if (overlay->audio() == level->levelAudio.get())
            overlay->setAudio(nullptr);
    }
}

void LevelSetup::load()
{
    // The graphics context over main's window; its present shows the window.
    level->context =
        new gr::GLES2_Context(app->drawableWidth, app->drawableHeight, Window::presentCallback, app->window);

    // The scene loader wants the context to report the level's platform. The
    // level file is opened once, as a regular file only, and the scene is
    // read below from the same descriptor.
    LevelFile file(options.level);
    level->context->platform = file.platform();

    // The effect and texture folders, and the resource cache.
    const std::string& data = options.dataDir;
    level->context->shaderDirectory = shadersDir(data);
    level->context->textureDirectory = texturesDir(data);
    level->resources = new hgr::DefaultResourceManager(level->context);
    level->timedEffects.attach(level->resources, level->context, particlesDir(options.dataDir));

    loadMenuImages();

    // The scene.
    const std::uint32_t t0 = app->clock->ticks();
    level->levelScene =
        file.readScene(level->context, level->resources, texturesDir(data), shadersDir(data), particlesDir(data));
    const int* counts = level->context->loadCounters;
    std::printf("level loaded in %u ms | textures: %d ok, %d failed | effects: %d ok, %d fallback\n",
                static_cast<unsigned>(app->clock->ticks() - t0), counts[gr::GLES2_Context::TEXTURES_LOADED],
                counts[gr::GLES2_Context::TEXTURES_FAILED], counts[gr::GLES2_Context::EFFECTS_LOADED],
                counts[gr::GLES2_Context::EFFECTS_FALLEN_BACK]);

    // What the level scene says beyond its nodes: library objects, fog,
    // helper meshes not to draw, cameras and the background colour.
    loadLibraryObjects(level->levelScene, level->context, level->resources, data, level->libraryObjects);
    applyFog(level->levelScene, level->context);
    level->hiddenMeshes = hideHelperMeshes(level->levelScene);
    level->cameras = sceneCameraNodes(level->levelScene);
    level->levelClearColor = sceneClearColor(level->levelScene);

    // Audio, the level's music and its ambient sounds: silent with
    // LUMAROLL_NO_AUDIO or without game data; the session takes all six
    // volume and mute settings, the mute included.
    level->levelAudio.reset(new Audio);
    if (!std::getenv("LUMAROLL_NO_AUDIO") && !data.empty())
        level->levelAudio->init(data);
    level->levelAudio->applySettings(readAudioSettings(*app->settings), true);
    if (app->overlay)
        app->overlay->setAudio(level->levelAudio.get());
    level->ambient.setup(level->levelScene, level->levelAudio.get());
}

void LevelSetup::loadMenuImages()
{
    level->ui.reset(new UiRenderer);
    level->uiLoaded = false;
    const std::string& data = options.dataDir;
    if (!data.empty()) {
        const std::string images = data + "/" + kImagesFolder + "/";
        const std::string fonts = data + "/" + kFontsFolder + "/";
        level->uiLoaded = level->ui->loadAtlas(images + "MENU.dat");
        level->ui->loadAtlas(images + "INGAME.dat");
        level->ui->loadAtlas(images + "LOADING.dat");
        level->ui->loadFont(fonts + "FONT.dat");
        level->ui->loadFont(fonts + "FONT_YELLOW.dat");
    }
    if (!level->uiLoaded)
        return;
    const int w = app->drawableWidth;
    const int h = app->drawableHeight;
    gr::gl.Viewport(0, 0, w, h);
    gr::gl.ClearColor(1.f, 1.f, 1.f, 1.f);
    gr::gl.Clear(GL_COLOR_BUFFER_BIT);
    level->ui->begin(w, h);
    const float v = level->ui->virtualWidth();
    if (!options.fromMenu)
        level->ui->drawImage("LOADING", "LOADING_VESQA", v / 2.f, 225.f, 1.f, 1.f);
    level->ui->drawImage("LOADING", "LOADING_TEXT", v - 135.f, 451.f, 1.f, 1.f);
    level->ui->end();
    if (app->window)
        app->window->present();
}

void LevelSetup::setupWorld()
{
    level->levelWorld.reset(new SceneWorld(level->levelScene));
    SceneWorld* world = level->levelWorld.get();
    if (options.menu)
        world->setVariable("attraction", 1.f);
    for (const auto& var : options.vars)
        world->setVariable(var.first, var.second);

    // The texts of the level's triggers as they stand after the set-up: the
    // world's own, made from the scene's entries, and the library objects'.
    std::map<std::string, std::string> scripts;
    if (hgr::UserPropertySet* properties = level->levelScene->getUserProperties()) {
        for (auto it = properties->begin(); it != properties->end(); ++it) {
            std::string name = wholeText(it->key);
            if (world->getTriggerState(name) >= 0)
                scripts[std::move(name)] = wholeText(it->value);
        }
    }
    for (const LibraryTrigger& record : level->libraryObjects) {
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
    level->collectables = 0;
    for (const auto& entry : scripts) {
        if (entry.second.find("item=collectable") != std::string::npos)
            ++level->collectables;
    }

    // The callbacks live as long as the world, in the level: they hold the
    // level, not the set-up.
    RunningLevel* running = level;
    world->particleEffectCallback = [running](const std::string& effect, hgr::Node* node) {
        running->effects().spawn(effect, running->scene(), node->getWorldTransform(), 8.f);
    };
    world->playSoundCallback = [running](const std::string& sound, bool loop) {
        running->audio()->playSound(sound, loop, 1.f);
    };
    world->stopSoundCallback = [running](const std::string& sound) { running->audio()->stopSound(sound); };
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
    lang::Ptr<hgr::Scene> model = new hgr::Scene(level->context, path.c_str(), level->resources,
                                                 texturesDir(data).c_str(), shadersDir(data).c_str(),
                                                 particlesDir(data).c_str());
    // Once the model is in the level, a failure takes all of it out again:
    // left behind, the model would stand at the origin, animated by its eye
    // triggers, and the world would keep a pointer into the dropped model.
    // What the set-up brought below the scene (the player node, the ball's
    // shadow) goes; the level's own nodes stay.
    std::unordered_set<const hgr::Node*> levelNodes;
    for (hgr::Node* n = level->levelScene; n; n = n->next(level->levelScene))
        levelNodes.insert(n);
    level->modelScene = model;
    level->eyeTriggers.clear();
    const auto noteBrought = [&] {
        level->broughtNodes.clear();
        for (hgr::Node* child = level->levelScene->getFirstChild(); child; child = child->getNextSibling()) {
            if (!levelNodes.count(child))
                level->broughtNodes.push_back(child);
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
    if (!level->modelScene)
        return;
    for (const auto& node : level->broughtNodes)
        node->unlink();
    level->broughtNodes.clear();
    std::vector<hgr::TransformAnimationSet*>& sets = level->levelWorld->extraAnimationSets;
    sets.erase(std::remove(sets.begin(), sets.end(), level->modelScene->getAnimations()), sets.end());
    for (const std::string& name : level->eyeTriggers)
        level->levelWorld->removeTrigger(name);
    level->eyeTriggers.clear();
    auto forms = level->levelWorld->nodeCache.find("G_ballforms");
    if (forms != level->levelWorld->nodeCache.end() && forms->second == level->playerRoot)
        level->levelWorld->nodeCache.erase(forms);
    level->ball.reset();
    level->playerRoot = nullptr;
    level->modelScene = nullptr;
}

void LevelSetup::setupBall(hgr::Scene* model)
{
    hgr::Scene* scene = level->levelScene;
    SceneWorld* world = level->levelWorld.get();
    const std::string& data = options.dataDir;
    // The model's top nodes go below the dummy "player" in the level.
    level->playerRoot = new hgr::Dummy;
    level->playerRoot->setName("player");
    std::vector<lang::Ptr<hgr::Node>> top;
    for (hgr::Node* child = model->getFirstChild(); child; child = child->getNextSibling())
        top.push_back(child);
    for (const auto& node : top)
        node->linkTo(level->playerRoot);
    level->playerRoot->linkTo(scene);

    level->ball.reset();
    level->ball.reset(new Player(scene, world));
    Player* player = level->ball.get();

    // Library objects: their shadow meshes (gathered first: registering one
    // moves it below the scene) and their scripts as touchables.
    for (const LibraryTrigger& record : level->libraryObjects) {
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
        level->eyeTriggers.push_back(name);
        world->setTriggerEnabled(name, true);
        world->activateTrigger(name);
    }
    if (!level->eyeTriggers.empty())
        std::printf("ball: %d eye animation triggers (blinking, eyebrows)\n",
                    static_cast<int>(level->eyeTriggers.size()));

    // The eye group takes its pose at time 0; the rest of the model keeps its own.
    hgr::Node* eyes = level->playerRoot->findInSubtree("G_plimbo_lookat_eyes");
    if (animations && eyes) {
        for (auto it = animations->begin(); it != animations->end(); ++it) {
            if (!it->value)
                continue;
            hgr::Node* node = level->playerRoot->findInSubtree(it->key);
            if (node && isInSubtree(node, eyes))
                node->setTransform(it->value->getTransform(0.f));
        }
    }
    player->analyseModel(level->playerRoot);
    player->createShadow(level->context);
    player->setSoundCallback([running = level](const std::string& sound, float volume) {
        running->audio()->playSound(sound, false, volume);
    });
    if (world->getTriggerState("T_butterflyanim") >= 0)
        world->activateTrigger("T_butterflyanim");

    // A level with rails draws its sky separately and has a boost effect.
    player->buildRails();
    if (player->railCount() > 0) {
        setupSky();
        level->boostParticleFile = lumaroll::boostParticleFile(particlesDir(data));
    }

    world->nodeCache["G_ballforms"] = level->playerRoot;
    if (world->getTriggerState("T_restartLevel") >= 0) {
        world->setTriggerEnabled("T_restartLevel", true);
        world->activateTrigger("T_restartLevel");
    }
    player->placeAtStart();
    std::puts(player->summary().c_str());
}

void LevelSetup::setupSky()
{
    hgr::Scene* scene = level->levelScene;
    hgr::UserPropertySet* properties = scene->getUserProperties();
    if (!properties)
        return;
    for (auto it = properties->begin(); it != properties->end(); ++it) {
        const std::string text = wholeText(it->value);
        if (text.find("skybox=1") == std::string::npos)
            continue;
        hgr::Node* node = scene->findNode(it->key);
        if (!node || !level->skyRenderer.build(node))
            continue;
        for (hgr::Node* n = node; n; n = n->next(node))
            n->setEnabled(false);
    }
}

void LevelSetup::setupWater()
{
    level->waterReflection.reset(new WaterReflection(level->context, level->levelScene));
    if (level->ball) {
        WaterReflection* reflection = level->waterReflection.get();
        level->ball->setWaterHeightCallback(
            [reflection](float x, float z, float& height) { return reflection->waterHeightAt(x, z, height); });
    }
}

void LevelSetup::setupStartCamera(FreeCamera& view)
{
    level->sessionCamera = new hgr::Camera;
    level->sessionCamera->setName("view");
    level->sessionCamera->setHorizontalFov(1.3f);
    level->sessionCamera->setFront(1.f);
    level->sessionCamera->setBack(100000.f);
    level->sessionCamera->linkTo(level->levelScene);
    for (const auto& node : level->cameras) {
        const std::string name = node->getName().c_str();
        const bool match = options.camera.empty() ? name.find("startcamera") != std::string::npos
                                                  : name == options.camera;
        if (match)
            view.follow(node->getWorldTransform());
    }
}

} // namespace lumaroll
