// One loaded level and everything that runs it: graphics context, resources,
// scene, logic, ball, sky, render-scale target, menus and audio. main builds
// one session per level, runs it and destroys it before the next one.
//
// The session reaches the devices only through the platform seam of the
// AppContext (window, events, keys, clock), and every member of another
// subsystem that it touches is declared, with its contract, in that
// subsystem's header.
//
// The level logic: the session creates the SceneWorld and owns it as one,
// because it reads state that only SceneWorld carries (the level-complete
// flag, the pressed keys, the fade, the camera name, the callbacks and the
// trigger list). The HUD takes the World interface; the player takes the
// SceneWorld, because it takes the flags and requests scripts leave for the
// ball and reads the camera and checkpoint names and the node table.
#pragma once

#include "app/AppContext.h"
#include "app/FrameTimer.h"
#include "app/LaunchOptions.h"
#include "app/LevelResult.h"
#include "app/LevelScene.h"
#include "app/LibraryObjects.h"
#include "app/PauseRules.h"
#include "app/RestWatch.h"
#include "audio/AmbientSounds.h"
#include "audio/Audio.h"
#include "input/ActionButtons.h"
#include "input/FreeCamera.h"
#include "input/PlayerInput.h"
#include "logic/SceneWorld.h"
#include "player/Player.h"
#include "render/FillQuad.h"
#include "render/RenderScaleTarget.h"
#include "render/SkyRenderer.h"
#include "render/WaterReflection.h"
#include "ui/Hud.h"
#include "ui/InGameMenu.h"
#include "ui/UiRenderer.h"

#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Dummy.h>
#include <hgr/ParticleSystem.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace lumaroll {

class LevelSession {
public:
    // Copies the options; loads nothing. The frame timing runs on app's clock.
    LevelSession(AppContext& app, const LaunchOptions& options);
    // Releases everything in reverse order of the members, the graphics context
    // last; clears what the overlay holds of the session (also after an exception).
    ~LevelSession();
    LevelSession(const LevelSession&) = delete;
    LevelSession& operator=(const LevelSession&) = delete;

    // The whole level: start(), frames until the session stops, finish().
    // Engine exceptions of the level load pass through to main.
    LevelResult run();

    // Loads and sets up the level and starts the frame clock.
    void start();
    // One frame; false once the session has stopped (no frame is drawn then).
    bool frame();
    // Ends the session's hold on the mouse and the overlay; returns the result.
    LevelResult finish();

    // Level loading (called by start).
    void loadLevel();
    void loadMenuImages();
    void setupWorld();
    // Loads the ball model and builds the player on it; an engine exception
    // passes on once what the set-up brought into the level (nodes below the
    // scene) and into the world (the model's animations, its eye triggers,
    // "G_ballforms") is taken out again; the session then runs without a ball.
    void setupPlayer();
    void setupStartCamera();
    // Hands the nodes marked "skybox=1" to the sky renderer; the player set-up
    // calls it when the level has rails.
    void setupSky();

    // Frame steps.
    // Drains the event queue, routing each event: device hot-plug to the
    // controller manager (with a notice for a pad), focus and background
    // events to the background rules, then the overlay first and, unless it
    // took the event, touch, the in-game menu's controller keys, the rules
    // that open the in-game menu, the open menu, the session's keys and the
    // mouse look.
    void pollEvents();
    // Carries out an action of the in-game menu: the three levels change
    // level, Volume sets the master mute from the menu's volume flag,
    // Minimise minimises the window, Quit quits; None and Credits do nothing.
    void onMenuAction(MenuAction action);
    // Opens the in-game menu when the event asks for it (true): only with the
    // menu images loaded, with "--menu" or "--from-menu", and the menu closed.
    // A left click (in play only in the top-left corner), 'p', START, and once
    // the level is over also Return or the pad's A. Repeated key-downs of a
    // held key never open it.
    bool handleMenuOpenEvent(const SDL_Event& event);
    // The developer keys of "--dev": Tab cycles the scene cameras and the
    // free view, 'r' puts the ball at the start, F3 shows the helper meshes,
    // F4 toggles the scripted view (and with a ball the free camera), F5 the
    // water reflection, F12 asks for a screenshot of the next rendered frame.
    void handleDevKey(SDL_Keycode key);
    // Mutes the audio for the background (printing the line once) and, in
    // play with the menus, opens the in-game menu; game time stands still
    // until a foreground event.
    void enterBackground();
    // Ends the session with words as the next level's command line.
    void setNextLevel(const std::vector<std::string>& words);
    void update(float gameDt, float dt, bool paused);
    void updateLogic(float gameDt, bool paused);
    void updatePlayer(float gameDt);
    void updateFreeCamera(float gameDt);
    // Starts the boost effect on each rise of the world variable "boost" from 0.
    void spawnEffects();
    // Starts the particle description file (in the level's particle folder)
    // as a new system linked under parent with the given local transform,
    // living seconds of game time. Nothing when the description cannot be
    // had; an engine exception prints "particles '<file>': <message>", the
    // level goes on and that file is not asked for again in this session.
    // Serves the world's effect callback and the boost.
    void spawnParticleEffect(const std::string& file, hgr::Node* parent, const math::Matrix3x4& transform,
                             float seconds);
    hgr::Camera* activeCamera();
    void render(bool paused, bool menuLive, float dt);

    // Tests only: called at the end of setupPlayer's work, before the
    // summary line is printed; it may throw.
    std::function<void()> playerSetupHook;

    // Read access for tests and tools.
    gr::GLES2_Context* graphicsContext() const { return context; }
    hgr::Scene* levelScene() const { return scene; }
    SceneWorld* levelWorld() const { return world.get(); }
    hgr::Camera* sessionCamera() const { return camera; }
    const std::vector<lang::Ptr<hgr::Node>>& cameras() const { return sceneCameras; }
    const RenderScaleTarget& scaleTarget() const { return renderTarget; }
    const SkyRenderer& skyRenderer() const { return sky; }
    const FillState& fadeFill() const { return fill; }
    const FreeCamera& freeView() const { return freeCam; }
    std::uint32_t levelClearColor() const { return clearColor; }
    const std::vector<LibraryTrigger>& libraryRecords() const { return libraryObjects; }
    Player* levelPlayer() const { return player.get(); }
    hgr::Dummy* playerNode() const { return playerRoot; }
    const std::string& boostParticleName() const { return boostParticle; }
    WaterReflection* waterReflection() const { return water.get(); }
    // The level's collectables as the world set-up counted them.
    int collectablesTotal() const { return hud.collectablesTotal; }
    int framesDone() const { return frameCount; }
    bool isRunning() const { return running; }
    bool inGameMenuOpen() const { return menu.isOpen(); }
    bool freeCameraOn() const { return freeCamera; }
    bool scriptedViewOn() const { return scriptedView; }
    // Size the last frame was rendered at (the render-scale target's when used).
    int renderedWidth() const { return lastRenderWidth; }
    int renderedHeight() const { return lastRenderHeight; }

private:
    // Tests reach the session's parts (ball, menu, input, menu images flag)
    // through this; product code never does.
    friend struct LevelSessionProbe;

    // What the player set-up has put into the world, for undoing it.
    struct PlayerSetup {
        std::vector<std::string> eyeTriggers;
    };
    void setupBall(hgr::Scene* model, PlayerSetup& done);

    struct TimedEffect {
        lang::Ptr<hgr::ParticleSystem> node;
        float secondsLeft;
    };

    bool overlayMenuOpen() const;
    bool windowHasFocus() const;
    // The window has input focus and the mouse steers something: the free
    // camera, or a ball in play with no menu open.
    bool gameplayHasFocus() const;
    void setRelativeMouse(bool on);
    void releaseOverlay();
    // One polled event through the routing of pollEvents.
    void routeEvent(const SDL_Event& event);
    // The pad's connected and disconnected notices for a device event the
    // controller manager took; padRemoved: the event removed a held pad.
    void notifyDeviceEvent(const SDL_Event& event, bool padRemoved);
    // The open in-game menu's keys made from controller buttons and the left
    // stick, pushed as key-down events; true when the event is used up.
    bool navigateMenuByController(const SDL_Event& event);
    // Hands an event to the open in-game menu and carries out its action;
    // true when the event goes on to the session's keys ('m' and F12).
    bool forwardToMenu(const SDL_Event& event);
    // The session's keys and the mouse look.
    void handleGameEvent(const SDL_Event& event);
    // Opens the in-game menu with its volume flag showing the master mute,
    // asking for a backdrop capture when none is valid.
    void openMenu();
    // Whether the in-game menu may be opened at all: menu images loaded and
    // "--menu" or "--from-menu".
    bool menuAvailable() const;
    // Drawable pixels per window point (mouse positions are in points): 2 on
    // a display that doubles points, 1 without a window.
    float pixelsPerPoint() const;
    // Writes the screenshot F12 asked for, from the frame just rendered.
    void saveRequestedScreenshot();

    AppContext* app;
    LaunchOptions options;
    lang::Ptr<gr::GLES2_Context> context;
    lang::Ptr<hgr::DefaultResourceManager> resources;
    std::unique_ptr<UiRenderer> ui;
    bool uiLoaded = false;
    lang::Ptr<hgr::Scene> scene;
    std::vector<LibraryTrigger> libraryObjects;
    std::vector<lang::Ptr<hgr::Node>> hiddenMeshes;
    std::vector<lang::Ptr<hgr::Node>> sceneCameras;
    std::unique_ptr<Audio> audio;
    AmbientSounds ambient;
    std::unique_ptr<SceneWorld> world; // see the note on the level logic above
    std::unique_ptr<Player> player;
    lang::Ptr<hgr::Dummy> playerRoot;
    std::unique_ptr<WaterReflection> water;
    lang::Ptr<hgr::Camera> camera;
    SkyRenderer sky;
    FillState fill;
    Hud hud;
    InGameMenu menu;
    PlayerInput input; // over the AppContext's keys, clock and input devices
    std::vector<TimedEffect> timedEffects;
    // Particle description files that failed to load in this session.
    std::set<std::string> failedEffects;
    std::string boostParticle;
    std::uint32_t clearColor = kDefaultClearColor;
    bool quit = false;
    std::vector<std::string> nextArgs;
    bool running = true;
    bool levelOver = false;
    bool captureRequested = false;
    float levelEndTimer = 0.f;
    bool boostWasOn = false;
    bool relativeMouse = false;
    int mouseTravel = 0;
    signed char menuStickLatch = 0;
    bool tiltMode = false;
    lang::Ptr<hgr::Scene> modelScene;
    RenderScaleTarget renderTarget;
    bool freeCamera = false;
    bool scriptedView = true;
    bool hiddenMeshesShown = false;
    int chosenCamera = -1;
    FreeCamera freeCam;
    // The session camera's field of view before the world variable "fov"
    // widened it; -1 until "fov" first appears.
    float baseFov = -1.f;
    std::string lastTrace;
    // The ball and the follow camera coming to rest (traced).
    RestWatch restWatch;
    int frameCount = 0;

    // Frame timing and the buttons that count as "lmouse".
    FrameTimer timer;
    ActionButtons actionButtons;
    bool screenshotFailed = false;
    // The file F12 asked for ("screenshot-<ticks>.png"); empty when none.
    std::string devScreenshot;
    bool started = false;
    int lastRenderWidth = 0;
    int lastRenderHeight = 0;
};

} // namespace lumaroll
