#include "app/LevelLoop.h"

#include <lang/String.h>
#include <lang/Throwable.h>

#include <cstdio>
#include <exception>

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
        } catch (const std::exception& e) {
            // Out of memory and the like: reported the same way, so the
            // program still shuts down normally instead of aborting.
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
