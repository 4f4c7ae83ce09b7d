#include "app/LevelLoop.h"

#include <cstdio>
#include <exception>

namespace lumaroll {

int runLevelLoop(LaunchOptions& options, const SessionRunner& runSession)
{
    for (;;) {
        LevelResult result;
        try {
            result = runSession(options);
        } catch (const std::exception& e) {
            // Engine exceptions (lang::Throwable) are to be caught here as well once
            // the engine library exists; their message goes out the same way.
            std::fprintf(stderr, "ERROR: %s\n", e.what());
            return 2;
        }
        if (result.screenshotFailed)
            return 1;
        if (result.quit || result.nextArgs.empty())
            return 0;
        options.resetForNextLevel();
        parseCommandLine(options, result.nextArgs);
        std::printf("--- level change: %s%s%s ---\n", options.level.c_str(), options.play ? " (play)" : "",
                    options.menu ? " (menu)" : "");
    }
}

} // namespace lumaroll
