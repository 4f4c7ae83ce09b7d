// Whether game time runs in a frame, from what is open and how the level stands.
#pragma once

namespace lumaroll {

struct PauseState {
    bool paused = false;           // game time stands still this frame
    bool menuLive = false;         // the scene runs behind an open or pending in-game menu
    bool captureRequested = false; // the frame asks for a capture for the blurred menu backdrop
};

// overlayOpen: the overlay's menu; menuOpen: the in-game menu; background:
// the program is in the background (the audio's backgroundMute, from focus
// lost or minimised until focus comes back). The overlay and the background
// always pause, so the ball stands still while the player is away even where
// no in-game menu opens; the in-game menu pauses only in play (a ball exists
// and the level is not over). Behind the in-game menu of the menu level, and
// once the level is over, the scene keeps running (menuLive) and is captured
// when the menu images are loaded (uiLoaded).
PauseState pauseRule(bool overlayOpen, bool menuOpen, bool hasPlayer, bool levelOver, bool uiLoaded,
                     bool background);

} // namespace lumaroll
