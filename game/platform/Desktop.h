// What the menu asks of the desktop besides its window: opening a web
// address in the user's browser, and the names of the connected controllers.
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

// Hands the address to the desktop (SDL_OpenURL, which starts xdg-open);
// failures are not reported.
void openAddress(const std::string& address);

// The names of the attached joysticks that SDL knows as game controllers, in
// device order; empty when there are none (or the subsystem is not running).
std::vector<std::string> connectedControllerNames();

} // namespace lumaroll
