// The layout of the game data: the folders below the installed game data
// folder (the user data directory) and below a level's data folder (its
// "data" subfolder, LaunchOptions::dataDir), and the files whose presence
// means that the game data is installed. The importer writes this layout;
// the launch options and the level session read it.
#pragma once

#include <string>

namespace lumaroll {

// Below the installed game data folder: the folder of the levels, which the
// program makes its working directory when it plays the imported data.
inline constexpr const char* kLevelFolder = "data/bundles/original";

// The three files that make a folder count as installed game data (paths
// below the game data folder); the importer checks them after an import.
inline constexpr const char* kInstalledMarkers[] = {
    "data/bundles/original/level01.hgr",
    "data/resources/models/plimbo.hgr",
    "data/resources/images/MENU.dat",
};

// The level a game starts with, in kLevelFolder.
inline constexpr const char* kFirstLevel = "level01.hgr";

// Below a level's data folder.
inline constexpr const char* kResourcesFolder = "resources";
inline constexpr const char* kTexturesFolder = "resources/textures";
inline constexpr const char* kShadersFolder = "shaders";
inline constexpr const char* kParticlesFolder = "resources/particles";
inline constexpr const char* kModelsFolder = "resources/models";
inline constexpr const char* kImagesFolder = "resources/images";      // the menu atlases (".dat")
inline constexpr const char* kFontsFolder = "resources/localization"; // the bitmap fonts (".dat")

// dataDir + "/" + folder + "/": the directories that the engine's loaders
// take, with exactly one '/' at the end; empty when dataDir is empty.
std::string shadersDir(const std::string& dataDir);
std::string texturesDir(const std::string& dataDir);
std::string particlesDir(const std::string& dataDir);

} // namespace lumaroll
