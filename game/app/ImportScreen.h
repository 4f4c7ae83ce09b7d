// The import screen: shown at start-up when no game data is installed. The
// overlay's menu shows its welcome page (title, welcome text, the import
// button with the desktop's file dialog, the language) until the data is
// imported or the user quits.
#pragma once

#include "app/AppContext.h"

#include <string>

namespace lumaroll {

// Runs the import screen's loop on the app's window, events and clock: each
// pass ends the loop once hasGameData(gameDataDir()) is true, else hands
// every pending event to the overlay (SDL_QUIT also ends the loop), clears
// the drawable to black, draws the overlay's frame, presents and waits 16 ms.
// The overlay's menu is open in import-screen mode meanwhile; both flags are
// cleared afterwards, and its quit callback is left empty. Returns true when
// the user quit (the quit button, or the window closed).
bool runImportScreen(AppContext& app);

// Whether the import screen can be shown with the video driver SDL runs:
// not when SDL fell back on its own to a driver that shows nothing
// ("offscreen" or "dummy"); any driver the user asked for through
// SDL_VIDEODRIVER is taken as meant.
bool importScreenCanShow(const std::string& videoDriver, bool driverChosenByUser);

} // namespace lumaroll
