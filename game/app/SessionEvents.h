// The event routing of a level session: drains the platform's event queue
// and hands every event to what it is for. Device hot-plug goes to the
// controller manager (with a notice for a pad), focus and background events
// to the background rules, then the overlay has the event first and, unless
// it took it, touch goes to the player input, the open in-game menu gets its
// controller keys, the rules that open the menu are asked, the open menu gets
// its events and carries out its actions, and the session's keys (mute,
// developer keys, the level logic's "lmouse" buttons) and the mouse look get
// the rest. Touch reaches the player input only in play (a ball, no menu,
// the level not over); a finger lifted where its lift does not reach it is
// forgotten, so that no finger stays down after a menu closed.
//
// It owns the in-game menu, the player input that the events feed (the frame
// reads it), the buttons that count as "lmouse", the mouse capture and the
// developer's helper-mesh switch and screenshot request. It reaches the
// window, the event queue, the clock and the controllers only through the
// AppContext; it changes the level only through the RunningLevel's
// documented members, the view only through the CameraChoice, asks for a
// backdrop capture only through the BackdropRequest, and ends the session
// only through the SessionOutcome.
#pragma once

#include "app/AppContext.h"
#include "app/BackdropRequest.h"
#include "app/CameraChoice.h"
#include "app/LaunchOptions.h"
#include "app/LevelEnd.h"
#include "app/RunningLevel.h"
#include "app/SessionOutcome.h"
#include "input/ActionButtons.h"
#include "input/PlayerInput.h"
#include "ui/InGameMenu.h"

#include <SDL.h>

#include <string>
#include <vector>

namespace lumaroll {

class SessionEvents {
public:
    // All parts must outlive the routing; end is read only. The player input
    // reads app's keys, clock, input devices and controllers.
    SessionEvents(AppContext& app, const LaunchOptions& options, RunningLevel& level, CameraChoice& view,
                  const LevelEnd& end, BackdropRequest& backdrop, SessionOutcome& outcome);
    // Gives the mouse back when it was captured.
    ~SessionEvents();
    SessionEvents(const SessionEvents&) = delete;
    SessionEvents& operator=(const SessionEvents&) = delete;

    // Drains the event queue, routing each event as described above; a
    // release of an "lmouse" button is let go of before anything else sees it.
    void poll();

    // Opens the in-game menu when the event asks for it (true): only with the
    // menu images loaded, with "--menu" or "--from-menu", and the menu closed.
    // A left click (in play only in the top-left corner), 'p', START, and once
    // the level is over also Return or the pad's A. Repeated key-downs of a
    // held key never open it. Opening shows the master mute in the menu's
    // volume item and asks for a backdrop capture when the menu renderer
    // holds no valid one.
    bool handleMenuOpenEvent(const SDL_Event& event);
    // Carries out an action of the in-game menu: the three levels end the
    // session with the next level's command line, Volume sets the master mute
    // from the menu's volume flag, Minimise minimises the window, Quit quits;
    // None and Credits do nothing.
    void onMenuAction(MenuAction action);

    // The in-game menu: the frame draws it and the pause rule asks whether it
    // is open.
    InGameMenu& menu() { return inGameMenu; }
    bool menuOpen() const { return inGameMenu.isOpen(); }
    // The overlay's menu is open.
    bool overlayMenuOpen() const;
    // The player input fed by the touch and mouse events; the frame writes
    // its settings and reads it.
    PlayerInput& input() { return playerInput; }
    // An "lmouse" button is held.
    bool actionHeld() const { return actionButtons.held(); }

    // Gives the mouse back whenever it steers neither the ball nor the free
    // camera (called every frame after poll).
    void releaseMouseUnlessSteering();
    // Gives the mouse back (the session's end).
    void releaseMouse();

    // The file F12 asked for ("screenshot-<ticks>.png"), once; empty when none.
    std::string takeScreenshotRequest();

private:
    // One polled event through the routing of poll.
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
    // The developer keys of "--dev": Tab cycles the scene cameras and the
    // free view, 'r' puts the ball at the start, F3 shows the helper meshes,
    // F4 toggles the scripted view (and with a ball the free camera), F5 the
    // water reflection, F12 asks for a screenshot of the next rendered frame.
    void handleDevKey(SDL_Keycode key);
    // Mutes the audio for the background (printing the line once) and, in
    // play with the menus, opens the in-game menu; game time stands still
    // until a foreground event.
    void enterBackground();
    // Opens the in-game menu with its volume flag showing the master mute,
    // asking for a backdrop capture when none is valid.
    void openMenu();
    // Whether the in-game menu may be opened at all: menu images loaded and
    // "--menu" or "--from-menu".
    bool menuAvailable() const;
    // The window has input focus and the mouse steers something: the free
    // camera, or a ball in play with no menu open.
    bool gameplayHasFocus() const;
    void setRelativeMouse(bool on);
    // Drawable pixels per window point (mouse positions are in points): 2 on
    // a display that doubles points, 1 without a window.
    float pixelsPerPoint() const;

    AppContext* app;
    const LaunchOptions* options;
    RunningLevel* level;
    CameraChoice* view;
    const LevelEnd* end;
    BackdropRequest* backdrop;
    SessionOutcome* outcome;

    InGameMenu inGameMenu;
    PlayerInput playerInput; // over the AppContext's keys, clock, input devices and controllers
    ActionButtons actionButtons;
    bool relativeMouse = false;
    int mouseTravel = 0; // points the mouse moved before it is captured
    signed char menuStickLatch = 0;
    bool hiddenMeshesShown = false;
    // The file F12 asked for; empty when none.
    std::string devScreenshot;
};

} // namespace lumaroll
