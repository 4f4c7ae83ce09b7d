// What a level session hands back to main when it ends.
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

struct LevelResult {
    bool quit = false;
    std::vector<std::string> nextArgs; // the next level's command line; empty ends the program
    // The session could not save the screenshot the command line asked for:
    // the program ends with a failure code instead of 0.
    bool screenshotFailed = false;
};

} // namespace lumaroll
