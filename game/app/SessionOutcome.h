// How a level session ends: it runs until something stops it, either quitting
// the program or naming the next level's command line, and it notes whether
// the screenshot of "--screenshot" could not be saved. Once stopped, a
// session stays stopped.
#pragma once

#include "app/LevelResult.h"

#include <string>
#include <vector>

namespace lumaroll {

class SessionOutcome {
public:
    // True until quit or changeLevel.
    bool running() const { return !stopped; }
    // Stops the session; the program ends after it.
    void quit()
    {
        quitting = true;
        stopped = true;
    }
    // Stops the session with words as the next level's command line.
    void changeLevel(const std::vector<std::string>& words)
    {
        nextArgs = words;
        stopped = true;
    }
    // The screenshot the command line asked for could not be saved.
    void screenshotFailed() { shotFailed = true; }

    // What the level loop gets: whether to quit, the next level's words (kept
    // also when a quit came after them) and the failed screenshot.
    LevelResult result() const
    {
        LevelResult r;
        r.quit = quitting;
        r.nextArgs = nextArgs;
        r.screenshotFailed = shotFailed;
        return r;
    }

private:
    bool stopped = false;
    bool quitting = false;
    bool shotFailed = false;
    std::vector<std::string> nextArgs;
};

} // namespace lumaroll
