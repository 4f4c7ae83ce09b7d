// The set-up steps of one level session: they load the level and set it up
// into the RunningLevel (app/RunningLevel.h) they were given, which holds
// everything they make.
//
// The steps run once each, in this order: load, setupWorld, setupPlayer (only
// in play with game data), setupWater, setupStartCamera. Each reaches the
// devices, the controllers and the settings only through the AppContext.
// The set-up hands the level's audio to the overlay when it loads and takes
// it out again when it is destroyed; the level must outlive the set-up.
#pragma once

#include "app/AppContext.h"
#include "app/LaunchOptions.h"
#include "app/RunningLevel.h"
#include "input/FreeCamera.h"

#include <hgr/Scene.h>

namespace lumaroll {

class LevelSetup {
public:
    // Copies the options; loads nothing. app and level must outlive the
    // set-up; the steps fill level.
    LevelSetup(AppContext& app, const LaunchOptions& options, RunningLevel& level);
    // Takes the level's audio out of the overlay.
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

private:
    void loadMenuImages();
    // The player set-up once the model is loaded; records in the level's
    // eyeTriggers the triggers it adds to the world.
    void setupBall(hgr::Scene* model);

    AppContext* app;
    LaunchOptions options;
    RunningLevel* level;
};

} // namespace lumaroll
