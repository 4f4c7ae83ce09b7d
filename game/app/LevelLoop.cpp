#include "app/LevelLoop.h"

#include <lang/String.h>
#include <lang/Throwable.h>

#include <cstdio>

namespace lumaroll {

int runLevelLoop(LaunchOptions& options, const SessionRunner& runSession)
{
    for (;;) {
        LevelResult result;
        try {
            result = runSession(options);
        } catch (const lang::Throwable& e) {
            std::fprintf(stderr, "ERROR: %s\n", lang::String(e.getMessage()).c_str());
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
