// The test level of support/GameDataWriter.h, in a file of its own: programs
// that write only the markers then need not link the image writer.
#include "support/GameDataWriter.h"

#include "support/EffectTreeWriter.h"
#include "support/Files.h"
#include "support/TextureFileWriter.h"

#include <gtest/gtest.h>

namespace test {

bool installGameDataWithLevel(const std::string& gameDir) {
	writeTestLevel(gameDir);
	bool ok = true;
	for (const GameDataMarker& m : gameDataMarkers()) {
		const std::string path = gameDir + "/" + m.path;
		if (!fileExists(path))
			ok = writeFile(path, m.text) && ok;
	}
	return ok;
}

void addQuad(SceneWriter::Primitive& p, float x0, float y0, float x1, float y1) {
	p.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {x0, y0, 0.f, x1, y0, 0.f, x0, y1, 0.f, x1, y1, 0.f})
		.component(SceneWriter::DT_TEX0, SceneWriter::V2_32, {0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 1.f})
		.indices({0, 1, 2, 2, 1, 3});
}

SceneWriter testLevelScene() {
	SceneWriter w;
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

std::string writeTestLevel(const std::string& root, const SceneWriter& scene) {
	const std::string data = root + "/data";
	const std::string shaders = data + "/shaders/";
	const std::string level = data + "/bundles/original/level01.hgr";
	const bool ok = writeFile(shaders + "textured.vsh", EffectTreeWriter::TEXTURED_VERTEX) &&
					writeFile(shaders + "textured.fsh", EffectTreeWriter::TEXTURED_FRAGMENT) &&
					writeFile(shaders + "textured.fx", EffectTreeWriter::effectText("textured.vsh", "textured.fsh",
																					"\t\tenableculling = false;\n")) &&
					writePng(data + "/resources/textures/green.png", TextureImage::solid(4, 4, 0, 255, 0)) &&
					makeDirs(data + "/bundles/original") && scene.write(level);
	if (!ok)
		ADD_FAILURE() << "cannot write the test level below " << root;
	return level;
}

} // namespace test
