// The objects of one running level: the graphics context over main's window,
// the resource cache, the menu images, the level scene and what it says
// beyond its nodes (library objects, helper meshes not to draw, scene
// cameras, background colour), the audio with the level's ambient sounds, the
// level logic, the ball with its model and node, the water reflection, the
// session camera, the separately drawn sky, the timed particle effects, the
// boost effect's file and the count of collectables.
//
// LevelSetup (app/LevelSetup.h) fills it: its steps alone set or reset the
// fields. Each object is null or empty until the step that makes it has run:
// load makes the graphics context, resource cache, menu images, scene,
// library objects, helper meshes, scene cameras, clear colour, audio, ambient
// sounds and the timed effects' cache; setupWorld the world and the
// collectables; setupPlayer the ball and its node, and in a level with rails
// the sky (setupSky) and the boost file, which stay null or empty without a
// ball or without rails; setupWater the water; setupStartCamera the camera.
// The session's events and frames receive the level and use the objects
// through the accessors below. The callbacks the set-up gives the world and
// the ball hold the level, never the set-up: they live as long as it does.
//
// The level logic: the set-up creates the SceneWorld and the level owns it
// as one, because the session reads state that only SceneWorld carries (the
// level-complete flag, the pressed keys, the fade, the camera name, the
// callbacks and the trigger list). The HUD takes the World interface; the
// player takes the SceneWorld, because it takes the flags and requests
// scripts leave for the ball and reads the camera and checkpoint names and
// the node table.
//
// Destruction deletes the sky's GL program first, then releases the fields in
// reverse order of their declaration below: what the ball set-up brought in,
// the ball before the world and the audio, the graphics context last, so
// that every other GL object is deleted while it is current.
#pragma once

#include "app/LevelScene.h"
#include "app/LibraryObjects.h"
#include "app/ParticleEffects.h"
#include "audio/AmbientSounds.h"
#include "audio/Audio.h"
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

class RunningLevel {
public:
    RunningLevel() = default;
    // The sky's GL program goes first, while the GL context that main keeps
    // across levels is current.
    ~RunningLevel() { skyRenderer.release(); }
    RunningLevel(const RunningLevel&) = delete;
    RunningLevel& operator=(const RunningLevel&) = delete;

    gr::GLES2_Context* graphicsContext() const { return context; }
    hgr::Scene* scene() const { return levelScene; }
    SceneWorld* world() const { return levelWorld.get(); }
    // The ball's player and the dummy "player" its model hangs below; both
    // null without a ball.
    Player* player() const { return ball.get(); }
    hgr::Dummy* playerNode() const { return playerRoot; }
    // The session camera "view" below the scene.
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
    // The set-up's steps fill the fields; nothing else writes them.
    friend class LevelSetup;

    // Declared first: released last, once every GL object above it is gone.
    lang::Ptr<gr::GLES2_Context> context;
    lang::Ptr<hgr::DefaultResourceManager> resources;
    std::unique_ptr<UiRenderer> ui;
    bool uiLoaded = false;
    lang::Ptr<hgr::Scene> levelScene;
    // The library objects' records, which the world and ball set-ups read.
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
    // The ball's model scene: it keeps the model's animations, which the
    // world runs, alive.
    lang::Ptr<hgr::Scene> modelScene;
    // What the ball set-up brought in beyond the model, for takePlayerOut:
    // the nodes below the scene and the world's eye triggers.
    std::vector<lang::Ptr<hgr::Node>> broughtNodes;
    std::vector<std::string> eyeTriggers;
};

} // namespace lumaroll
