// Where the running program lives: the game looks beside it for files that
// ship with it (the overlay's assets, the controller mappings).
#pragma once

#include <string>

namespace lumaroll {

// The running program's folder, ending in "/"; empty when the system cannot
// tell it.
std::string programFolder();

} // namespace lumaroll
