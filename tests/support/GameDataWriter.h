#ifndef SUPPORT_GAMEDATAWRITER_H
#define SUPPORT_GAMEDATAWRITER_H

// Writes game data as the importer leaves it in the data folder: the three
// files whose presence marks the data as installed, and a small playable
// level with its textures and shaders. Paths are written out here, not taken
// from the program, so that tests check the program's layout against them.
//
// The test level: the start camera "O_startcamera" stands at (0, 0, -500)
// looking along +z at a green textured quad "M_ground" of 200 x 200 around
// the origin; "D_start" asks for a red background ("bgcolor=ff0000"); linear
// fog runs from 100 to 5000. A second quad without a material name (the
// collision helper "C_collision") would cover the top-left corner if it were
// drawn. A second camera "cam2" looks elsewhere.

#include "support/SceneWriter.h"

#include <string>
#include <vector>

namespace test {

// One of the files that mark installed game data: its path below the game
// folder and the placeholder text the writers put in it.
struct GameDataMarker {
	const char* path;
	const char* text;
};

// "data/bundles/original/level01.hgr", "data/resources/models/plimbo.hgr" and
// "data/resources/images/MENU.dat", in that order.
const std::vector<GameDataMarker>& gameDataMarkers();

// Writes the three markers (placeholder texts) below gameDir, making folders
// as needed: gameDir then counts as installed game data. False when a file
// cannot be written.
bool installGameData(const std::string& gameDir);

// installGameData with the test level as "level01.hgr", written before the
// other markers so that the data never counts as installed without it.
bool installGameDataWithLevel(const std::string& gameDir);

// The scene of the test level (not yet written); tests change it before writing.
SceneWriter testLevelScene();

// Adds a quad in the z = 0 plane from (x0, y0) to (x1, y1) to p: two
// triangles with positions and texture coordinates.
void addQuad(SceneWriter::Primitive& p, float x0, float y0, float x1, float y1);

// Writes scene as root + "/data/bundles/original/level01.hgr" with what it
// draws with: the effect "textured.fx" and its two stages in "data/shaders"
// and "green.png" in "data/resources/textures". Returns the level's path;
// the running test fails when a file cannot be written.
std::string writeTestLevel(const std::string& root, const SceneWriter& scene = testLevelScene());

} // namespace test

#endif
