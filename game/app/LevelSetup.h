// The level as one session loads and sets it up: the graphics context over
// main's window, the resource cache, the menu images, the level scene and
// what it says beyond its nodes (library objects, fog, helper meshes not to
// draw, scene cameras, background colour), the audio with the level's music
// and ambient sounds, the level logic, the ball, the water reflection, the
// session camera, the separately drawn sky and the timed particle effects.
//
// The steps run once each, in this order: load, setupWorld, setupPlayer (only
// in play with game data), setupWater, setupStartCamera. Each reaches the
// devices, the controllers and the settings only through the AppContext.
// Destruction takes the
// audio out of the overlay and releases everything in reverse order, the
// graphics context last.
//
// The level logic: the set-up creates the SceneWorld and owns it as one,
// because the session reads state that only SceneWorld carries (the
// level-complete flag, the pressed keys, the fade, the camera name, the
// callbacks and the trigger list). The HUD takes the World interface; the
// player takes the SceneWorld, because it takes the flags and requests
// scripts leave for the ball and reads the camera and checkpoint names and
// the node table.
#pragma once

#include "app/AppContext.h"
#include "app/LaunchOptions.h"
#include "app/LevelScene.h"
#include "app/LibraryObjects.h"
#include "app/ParticleEffects.h"
#include "audio/AmbientSounds.h"
#include "audio/Audio.h"
#include "input/FreeCamera.h"
#include "logic/SceneWorld.h"
#include "player/Player.h"
#include "render/SkyRenderer.h"
#include "render/WaterReflection.h"
#include "ui/UiRenderer.h"

#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Dummy.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumaroll {

class LevelSetup {
public:
    // Copies the options; loads nothing. app must outlive the set-up.
    LevelSetup(AppContext& app, const LaunchOptions& options);
    ~LevelSetup();
    LevelSetup(const LevelSetup&) = delete;
    LevelSetup& operator=(const LevelSetup&) = delete;

    // The graphics context over main's window, the resource cache, the menu
    // images (drawing the loading screen over the window when they load), the
    // level scene read from the level file with what it says beyond its
    // nodes, and the audio: silent with LUMAROLL_NO_AUDIO or without game
    // data, with all six volume and mute settings, handed to the overlay.
    // Prints the load line ("level loaded in ..."). Engine exceptions of the
    // level file pass on (a missing or unreadable level).
    void load();
    // The level logic over the scene: "attraction" 1 in the menu level, the
    // "--var" values, the library objects' scripts (each replacing the
    // placeholder's own), the count of collectables among the triggers'
    // texts, and the world's callbacks (particle effects for 8 s below the
    // scene, sounds, pad rumble). Prints the trigger count and the first ten
    // warnings.
    void setupWorld();
    // Loads the ball model and builds the player on it: the model below the
    // dummy "player" in the level, the library objects' shadows and
    // touchables, the forms, the model's animations and eye triggers, the
    // ball's shadow, sounds and rails (a level with rails gets its sky and
    // boost effect), "G_ballforms", "T_restartLevel" and the ball at the
    // start; prints the ball's summary. An engine exception passes on: when
    // the model was already in the level, once takePlayerOut has run.
    void setupPlayer();
    // Takes the ball out of the level again: the nodes the player set-up put
    // below the scene (the player node, the ball's shadow) are unlinked, the
    // model's animations, its eye triggers and "G_ballforms" leave the world,
    // and the player is gone; the level's own nodes stay. Nothing without a
    // ball. The session then runs without one (free camera).
    void takePlayerOut();
    // Hands the nodes marked "skybox=1" to the sky renderer and hides them
    // from the scene; the player set-up calls it when the level has rails.
    void setupSky();
    // The water reflection of the scene, and the ball's water height from it.
    void setupWater();
    // The session camera "view" (field of view 1.3, front 1, back 100000)
    // below the scene; view follows the start camera: the scene camera with
    // "startcamera" in its name, or the one "--camera" names (the last that
    // matches). view stays where it was when none matches.
    void setupStartCamera(FreeCamera& view);
    // Takes the audio out of the overlay when the overlay still holds it.
    void releaseOverlayAudio();

    // What was loaded and set up: null or empty before the step that makes
    // it; the player and its node stay null without a ball.
    gr::GLES2_Context* graphicsContext() const { return context; }
    hgr::Scene* scene() const { return levelScene; }
    SceneWorld* world() const { return levelWorld.get(); }
    Player* player() const { return ball.get(); }
    hgr::Dummy* playerNode() const { return playerRoot; }
    hgr::Camera* camera() const { return sessionCamera; }
    WaterReflection* water() const { return waterReflection.get(); }
    Audio* audio() const { return levelAudio.get(); }
    AmbientSounds& ambientSounds() { return ambient; }
    // The menu images and fonts (the UI renderer), and whether the menu
    // images loaded: without them no menu opens and no HUD is drawn.
    UiRenderer* menuImages() const { return ui.get(); }
    bool menuImagesLoaded() const { return uiLoaded; }
    const std::vector<lang::Ptr<hgr::Node>>& sceneCameras() const { return cameras; }
    // The collision and trigger meshes that are not drawn.
    const std::vector<lang::Ptr<hgr::Node>>& helperMeshes() const { return hiddenMeshes; }
    std::uint32_t clearColor() const { return levelClearColor; }
    SkyRenderer& sky() { return skyRenderer; }
    // The boost effect's particle description file; empty without rails.
    const std::string& boostParticle() const { return boostParticleFile; }
    // The level's collectables as the world set-up counted them.
    int collectablesTotal() const { return collectables; }
    ParticleEffects& effects() { return timedEffects; }

private:
    void loadMenuImages();
    // The player set-up once the model is loaded; records in eyeTriggers the
    // triggers it adds to the world.
    void setupBall(hgr::Scene* model);

    AppContext* app;
    LaunchOptions options;
    lang::Ptr<gr::GLES2_Context> context;
    lang::Ptr<hgr::DefaultResourceManager> resources;
    std::unique_ptr<UiRenderer> ui;
    bool uiLoaded = false;
    lang::Ptr<hgr::Scene> levelScene;
    std::vector<LibraryTrigger> libraryObjects;
    std::vector<lang::Ptr<hgr::Node>> hiddenMeshes;
    std::vector<lang::Ptr<hgr::Node>> cameras;
    std::unique_ptr<Audio> levelAudio;
    AmbientSounds ambient;
    std::unique_ptr<SceneWorld> levelWorld; // see the note on the level logic above
    std::unique_ptr<Player> ball;
    lang::Ptr<hgr::Dummy> playerRoot;
    std::unique_ptr<WaterReflection> waterReflection;
    lang::Ptr<hgr::Camera> sessionCamera;
    SkyRenderer skyRenderer;
    ParticleEffects timedEffects;
    std::string boostParticleFile;
    std::uint32_t levelClearColor = kDefaultClearColor;
    int collectables = 0;
    lang::Ptr<hgr::Scene> modelScene;
    // What the player set-up brought in beyond the model: the nodes below the
    // scene and the world's eye triggers, for takePlayerOut.
    std::vector<lang::Ptr<hgr::Node>> broughtNodes;
    std::vector<std::string> eyeTriggers;
};

} // namespace lumaroll
