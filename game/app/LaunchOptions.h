// The launch options record: which level to load and how. Filled from the
// process's command line and, at each level change, from the words that the
// finished level session returns.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lumaroll {

struct LaunchOptions {
    std::string dataDir;    // folder holding "resources" and "shaders"
    std::string level;      // the level's scene file
    std::string camera;     // scene camera to start with
    std::string screenshot; // PNG path: hidden window, one screenshot, then the session ends
    std::string importDeb;  // data package to import without opening a window
    int frames = 0;         // frames after which the session ends; 0 means no limit
    int width = 800;
    int height = 480;
    bool play = false;
    bool menu = false;
    bool fromMenu = false;
    bool dev = false;
    std::vector<std::pair<std::string, float>> vars; // world variable overrides, in order

    // Clears everything that belongs to one level; keeps dataDir, the window
    // size, dev and importDeb.
    void resetForNextLevel();

    // When dataDir is empty and a level is named, guesses dataDir three folders
    // above the level (folder/bundles/original/level01.hgr gives folder); stays
    // empty unless the guess holds a "resources" directory.
    void resolveDataDir();

    // Switches to the imported game data: changes the working directory to its
    // "data/bundles/original" folder and selects "level01.hgr" in menu mode.
    // Returns false (changing nothing) when no game data is installed or the
    // folder cannot be entered. A relative screenshot path is made absolute
    // first so that it still names the place the user meant.
    bool useImportedData();
};

// Fills options from the words of a command line (without the program name);
// fields that no word names keep their value.
void parseCommandLine(LaunchOptions& options, const std::vector<std::string>& words);

// The path up to and including its last '/'; empty when it has none.
std::string dirWithSlash(const std::string& path);

} // namespace lumaroll
