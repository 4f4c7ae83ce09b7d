#include "app/LevelSession.h"

#include "app/LevelFile.h"
#include "app/LevelScene.h"
#include "app/SetupRules.h"
#include "files/DataLayout.h"
#include "files/Paths.h"
#include "input/Controllers.h"
#include "logic/ScriptText.h"
#include "overlay/Overlay.h"
#include "store/Scores.h"
#include "store/Settings.h"
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

LevelSession::LevelSession(AppContext& app, const LaunchOptions& options)
    : app(&app), options(options), input(*app.keys, *app.clock, *app.devices), timer(*app.clock)
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
        if (overlay->audio() == audio.get())
            overlay->setAudio(nullptr);
        if (started)
            overlay->setQuitAction(nullptr);
    }
}

void LevelSession::loadLevel()
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

    loadMenuImages();

    // The scene.
    const std::uint32_t t0 = app->clock->ticks();
    scene = level.readScene(context, resources, texturesDir(data), shadersDir(data), particlesDir(data));
    const int* counts = context->loadCounters;
    std::printf("level loaded in %u ms | textures: %d ok, %d failed | effects: %d ok, %d fallback\n",
                static_cast<unsigned>(app->clock->ticks() - t0), counts[gr::GLES2_Context::TEXTURES_LOADED],
                counts[gr::GLES2_Context::TEXTURES_FAILED], counts[gr::GLES2_Context::EFFECTS_LOADED],
                counts[gr::GLES2_Context::EFFECTS_FALLEN_BACK]);

    // What the level scene says beyond its nodes: library objects, fog,
    // helper meshes not to draw, cameras and the background colour.
    loadLibraryObjects(scene, context, resources, data, libraryObjects);
    applyFog(scene, context);
    hiddenMeshes = hideHelperMeshes(scene);
    sceneCameras = sceneCameraNodes(scene);
    clearColor = sceneClearColor(scene);

    // Audio, the level's music and its ambient sounds: silent with
    // LUMAROLL_NO_AUDIO or without game data; the session takes all six
    // volume and mute settings, the mute included.
    audio.reset(new Audio);
    if (!std::getenv("LUMAROLL_NO_AUDIO") && !data.empty())
        audio->init(data);
    audio->applySettings(readAudioSettings(Settings::instance()), true);
    if (app->overlay)
        app->overlay->setAudio(audio.get());
    ambient.setup(scene, audio.get());

    // The start logo in the menu and at the first level started from it.
    if (options.menu || (options.fromMenu && options.play && options.level.find("level01") != std::string::npos))
        hud.logoTimer = 0.f;
}

void LevelSession::loadMenuImages()
{
    ui.reset(new UiRenderer);
    uiLoaded = false;
    // The ride results enter the run's distance in the user's best distances.
    hud.submitDistance = [](int distance) {
        ScoreSubmission entry;
        entry.file = scoresPath();
        entry.place = addHighScore(entry.file, distance, entry.best, entry.saved);
        return entry;
    };
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

void LevelSession::setupWorld()
{
    world.reset(new SceneWorld(scene));
    if (options.menu)
        world->setVariable("attraction", 1.f);
    for (const auto& var : options.vars)
        world->setVariable(var.first, var.second);

    // The texts of the level's triggers as they stand after the set-up: the
    // world's own, made from the scene's entries, and the library objects'.
    std::map<std::string, std::string> scripts;
    if (hgr::UserPropertySet* properties = scene->getUserProperties()) {
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
    int collectables = 0;
    for (const auto& entry : scripts) {
        if (entry.second.find("item=collectable") != std::string::npos)
            ++collectables;
    }
    hud.collectablesTotal = collectables;

    world->particleEffectCallback = [this](const std::string& effect, hgr::Node* node) {
        spawnParticleEffect(effect, scene, node->getWorldTransform(), 8.f);
    };
    world->playSoundCallback = [this](const std::string& sound, bool loop) { audio->playSound(sound, loop, 1.f); };
    world->stopSoundCallback = [this](const std::string& sound) { audio->stopSound(sound); };
    world->pressureCallback = [](float strength) { Controllers::instance().rumble(strength); };

    std::printf("logic: %d triggers, %d warnings\n", world->triggerCount(),
                static_cast<int>(world->warnings.size()));
    for (size_t i = 0; i < world->warnings.size() && i < 10; ++i)
        std::printf("  warning: %s\n", world->warnings[i].c_str());
}

void LevelSession::spawnParticleEffect(const std::string& file, hgr::Node* parent,
                                       const math::Matrix3x4& transform, float seconds)
{
    // The engine caches no description that failed, so asking again would
    // read the file and print again every time the effect fires.
    if (failedEffects.count(file))
        return;
    try {
        lang::Ptr<hgr::ParticleSystem> description =
            resources->getParticleSystem((particlesDir(options.dataDir) + file).c_str(),
                                         context->textureDirectory.c_str(), context->shaderDirectory.c_str());
        if (!description)
            return;
        lang::Ptr<hgr::ParticleSystem> system = new hgr::ParticleSystem(*description);
        system->setTransform(transform);
        system->linkTo(parent);
        timedEffects.push_back(TimedEffect{system, seconds});
    } catch (const lang::Throwable& e) {
        failedEffects.insert(file);
        std::fprintf(stderr, "particles '%s': %s\n", file.c_str(), lang::String(e.getMessage()).c_str());
    }
}

void LevelSession::setupPlayer()
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
    for (hgr::Node* n = scene; n; n = n->next(scene))
        levelNodes.insert(n);
    PlayerSetup done;
    try {
        setupBall(model, done);
    } catch (...) {
        std::vector<lang::Ptr<hgr::Node>> brought;
        for (hgr::Node* child = scene->getFirstChild(); child; child = child->getNextSibling()) {
            if (!levelNodes.count(child))
                brought.push_back(child);
        }
        for (const auto& node : brought)
            node->unlink();
        std::vector<hgr::TransformAnimationSet*>& sets = world->extraAnimationSets;
        sets.erase(std::remove(sets.begin(), sets.end(), model->getAnimations()), sets.end());
        for (const std::string& name : done.eyeTriggers)
            world->removeTrigger(name);
        auto forms = world->nodeCache.find("G_ballforms");
        if (forms != world->nodeCache.end() && forms->second == playerRoot)
            world->nodeCache.erase(forms);
        player.reset();
        playerRoot = nullptr;
        modelScene = nullptr;
        throw;
    }
}

void LevelSession::setupBall(hgr::Scene* model, PlayerSetup& done)
{
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

    player.reset();
    player.reset(new Player(scene, world.get()));

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

    modelScene = model;
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
        done.eyeTriggers.push_back(name);
        world->setTriggerEnabled(name, true);
        world->activateTrigger(name);
    }
    if (!done.eyeTriggers.empty())
        std::printf("ball: %d eye animation triggers (blinking, eyebrows)\n",
                    static_cast<int>(done.eyeTriggers.size()));

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
    player->soundCallback = [this](const std::string& sound, float volume) {
        audio->playSound(sound, false, volume);
    };
    if (world->getTriggerState("T_butterflyanim") >= 0)
        world->activateTrigger("T_butterflyanim");

    // A level with rails draws its sky separately and has a boost effect.
    player->buildRails();
    if (player->railCount() > 0) {
        setupSky();
        boostParticle = boostParticleFile(particlesDir(data));
    }

    world->nodeCache["G_ballforms"] = playerRoot;
    if (world->getTriggerState("T_restartLevel") >= 0) {
        world->setTriggerEnabled("T_restartLevel", true);
        world->activateTrigger("T_restartLevel");
    }
    player->placeAtStart();
    if (playerSetupHook)
        playerSetupHook();
    std::puts(player->summary().c_str());
}

void LevelSession::setupSky()
{
    hgr::UserPropertySet* properties = scene->getUserProperties();
    if (!properties)
        return;
    for (auto it = properties->begin(); it != properties->end(); ++it) {
        const std::string text = wholeText(it->value);
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
