#ifndef TESTS_GAME_APP_TESTLEVEL_H
#define TESTS_GAME_APP_TESTLEVEL_H

// A small level written with the scene writer into a data folder laid out as
// the imported game data is: "data/bundles/original/level01.hgr",
// "data/resources/textures/...", "data/shaders/...".
//
// The start camera "O_startcamera" stands at (0, 0, -500) looking along +z at
// a green textured quad of 200 x 200 around the origin; "D_start" asks for a
// red background; linear fog runs from 100 to 5000. A second quad without a
// material name (a collision helper) would cover the top-left corner if it
// were drawn. A second camera "cam2" looks elsewhere.

#include "AppTestHelpers.h"
#include "support/EffectTreeWriter.h"
#include "support/SceneWriter.h"
#include "support/TextureFileWriter.h"

#include <string>

namespace apptest {

// A quad in the z = 0 plane from (x0, y0) to (x1, y1), two triangles, with texture coordinates.
inline void addQuad(test::SceneWriter::Primitive& p, float x0, float y0, float x1, float y1)
{
	p.component(test::SceneWriter::DT_POSITION, test::SceneWriter::V3_32,
	            {x0, y0, 0.f, x1, y0, 0.f, x0, y1, 0.f, x1, y1, 0.f})
	    .component(test::SceneWriter::DT_TEX0, test::SceneWriter::V2_32, {0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 1.f})
	    .indices({0, 1, 2, 2, 1, 3});
}

// Writes the textured effect "textured.fx" and its two stages into dataDir + "/shaders".
inline void writeShaders(const std::string& dataDir)
{
	const std::string dir = dataDir + "/shaders/";
	writeText(dir + "textured.vsh", test::EffectTreeWriter::TEXTURED_VERTEX);
	writeText(dir + "textured.fsh", test::EffectTreeWriter::TEXTURED_FRAGMENT);
	writeText(dir + "textured.fx",
	          "technique Default\n{\n\tpass P0\n\t{\n\t\tVertexShader = textured.vsh;\n"
	          "\t\tPixelShader = textured.fsh;\n\t\tenableculling = false;\n\t}\n}\n");
}

// The scene of the test level (not yet written).
inline test::SceneWriter testLevelScene()
{
	test::SceneWriter w;
	w.fog(1, 100.f, 5000.f, 0.2f, 0.3f, 0.4f);
	const int green = w.texture("green.png");
	w.material("grass", "textured.fx").texture("BASEMAP", green);
	w.material("", "textured.fx").texture("BASEMAP", green);
	addQuad(w.primitive(0), -100.f, -100.f, 100.f, 100.f);
	addQuad(w.primitive(1), -400.f, 100.f, -200.f, 400.f);
	w.mesh("M_ground").primitives({0});
	w.mesh("C_collision").primitives({1});
	w.dummy("D_start");
	w.camera("O_startcamera").position(0.f, 0.f, -500.f).planes(1.f, 10000.f).fov(1.3f);
	w.camera("cam2").position(0.f, 5000.f, 0.f).planes(1.f, 10000.f).fov(1.f);
	w.userProperty("D_start", "bgcolor=ff0000");
	return w;
}

// Writes the test level below root ("root/data/..."); returns the level's path.
inline std::string writeTestLevel(const std::string& root, const test::SceneWriter& scene = testLevelScene())
{
	const std::string data = root + "/data";
	lumaroll::makeDirs(data + "/bundles/original");
	lumaroll::makeDirs(data + "/resources/textures");
	writeShaders(data);
	test::writePng(data + "/resources/textures/green.png", test::TextureImage::solid(4, 4, 0, 255, 0));
	const std::string level = data + "/bundles/original/level01.hgr";
	scene.write(level);
	return level;
}

// installGameData with the test level as "level01.hgr", written before the
// other markers so that the data never counts as installed without it.
inline void installGameDataWithLevel(const std::string& gameDir)
{
	writeTestLevel(gameDir);
	writeText(gameDir + "/data/resources/models/plimbo.hgr", "ball");
	writeText(gameDir + "/data/resources/images/MENU.dat", "menu");
}

} // namespace apptest

#endif
