// One loaded level and everything that runs it. main builds one session per
// level, runs it and destroys it before the next one.
//
// The session composes its parts, each with its contract in its own header:
// the running level (app/RunningLevel.h: the graphics context, scene, world,
// ball, water, cameras, audio and the rest the level runs on), the set-up
// steps that fill it (app/LevelSetup.h), the event routing
// (app/SessionEvents.h: keys, mouse, touch, controllers, the in-game menu and
// the background rules), the frame (app/SessionFrame.h: update, render,
// screenshots), the view choice (app/CameraChoice.h), the level's end
// (app/LevelEnd.h), the backdrop capture request (app/BackdropRequest.h) and
// how the session ends (app/SessionOutcome.h). It and its parts reach the
// devices, the controllers and the settings only through the AppContext
// (app/AppContext.h).
#pragma once

#include "app/AppContext.h"
#include "app/BackdropRequest.h"
#include "app/CameraChoice.h"
#include "app/LaunchOptions.h"
#include "app/LevelEnd.h"
#include "app/LevelResult.h"
#include "app/LevelSetup.h"
#include "app/RunningLevel.h"
#include "app/SessionEvents.h"
#include "app/SessionFrame.h"
#include "app/SessionOutcome.h"

namespace lumaroll {

class LevelSession {
public:
    // Copies the options; loads nothing.
    LevelSession(AppContext& app, const LaunchOptions& options);
    // Releases everything in reverse order of the parts, the set-up (taking
    // the audio out of the overlay) and then the level (and with it the
    // graphics context) last; clears what the overlay holds of the session
    // (also after an exception).
    ~LevelSession();
    LevelSession(const LevelSession&) = delete;
    LevelSession& operator=(const LevelSession&) = delete;

    // The whole level: start(), frames until the session stops, finish().
    // Engine exceptions of the level load pass through to main.
    LevelResult run();

    // Loads and sets up the level (in play with game data with the ball: a
    // ball that fails to set up prints "could not load the ball: <message>"
    // on stderr and the level runs without one), opens the pads plugged in
    // since the last level, gives the overlay its quit callback and starts
    // the frame clock.
    void start();
    // One frame; false once the session has stopped (no frame is drawn then).
    bool frame();
    // Ends the session's hold on the mouse and the overlay; returns the
    // result. With LUMAROLL_TRACE, when the level had a ball, prints
    // "[trace] distance ridden N" (N in whole scene units).
    LevelResult finish();

    // The parts, each used through its own header.
    RunningLevel& level() { return runningLevel; }
    LevelSetup& setup() { return levelSetup; }
    BackdropRequest& backdrop() { return backdropRequest; }
    SessionEvents& events() { return eventRouting; }
    SessionFrame& frames() { return frameLoop; }
    const CameraChoice& view() const { return cameraChoice; }

private:
    // Takes the session's audio and quit callback out of the overlay.
    void releaseOverlay();

    AppContext* app;
    LaunchOptions options;
    // Declared first: destroyed last, with the graphics context.
    RunningLevel runningLevel;
    LevelSetup levelSetup;
    SessionOutcome outcome;
    LevelEnd levelEnd;
    CameraChoice cameraChoice;
    BackdropRequest backdropRequest;
    SessionEvents eventRouting;
    SessionFrame frameLoop;
    bool started = false;
};

} // namespace lumaroll
