// Stand-in for the level session: it loads no level yet. It clears the window
// frame by frame and ends at once, or after "--frames", or after saving the
// "--screenshot" picture, exactly when the real session would.
#pragma once

#include "app/AppContext.h"
#include "app/LaunchOptions.h"
#include "app/LevelResult.h"

#include <cstdint>

namespace lumaroll {

class LevelSession {
public:
    LevelSession(AppContext& app, const LaunchOptions& options);

    // Runs until the session ends; returns whether to quit and the next command line.
    LevelResult run();

private:
    AppContext* app;
    LaunchOptions options;
    std::uint32_t clearColor = 0xff6688aa;
    bool quit = false;
    bool running = true;
    bool screenshotFailed = false;
};

} // namespace lumaroll
