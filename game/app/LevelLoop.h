// The level loop: one level session at a time, each built from the launch
// options, the next one from the command-line words the previous one returned.
#pragma once

#include "app/LaunchOptions.h"
#include "app/LevelResult.h"

#include <functional>

namespace lumaroll {

// Builds one session from the options, runs it and destroys it.
using SessionRunner = std::function<LevelResult(const LaunchOptions&)>;

// Runs sessions until one asks to quit or returns no words, printing
// "--- level change: ..." before each further level. Returns the exit code:
// 0 normally, 1 when a session could not save its screenshot, 2 after
// "ERROR: %s" when an exception (an engine or a standard one) escaped a session.
int runLevelLoop(LaunchOptions& options, const SessionRunner& runSession);

} // namespace lumaroll
