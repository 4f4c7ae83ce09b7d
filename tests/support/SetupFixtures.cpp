#include "support/SetupFixtures.h"

#include "support/BallModelWriter.h"
#include "support/Files.h"
#include "support/EffectTreeWriter.h"
#include "support/ParticleDescriptionWriter.h"
#include "support/TextureFileWriter.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace test {

namespace {

const char* const kReflectionFragment =
	"uniform lowp sampler2D REFLMAP;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"void main() {\n"
	"  gl_FragColor = texture2D(REFLMAP, V_TexCoord0);\n"
	"}\n";

void writeInto(const std::string& path, const std::string& text) {
	if (!writeFile(path, text))
		ADD_FAILURE() << "cannot write " << path;
}

std::string shaders(const std::string& dataDir) {
	return dataDir + "/shaders/";
}
std::string textures(const std::string& dataDir) {
	return dataDir + "/resources/textures/";
}

// A model file's material 0: "flat.fx" with the texture file.
void flatMaterial(SceneWriter& w, const std::string& texture) {
	w.material("flat", "flat.fx").texture("BASEMAP", w.texture(texture));
}

// A mesh of one quad of size x size in its z = 0 plane, centred on its origin.
SceneWriter::Node& squareMesh(SceneWriter& w, const std::string& name, float size) {
	const int index = w.primitiveCount();
	addQuad(w.primitive(0), {-size / 2, -size / 2, 0.f}, {size, 0.f, 0.f}, {0.f, size, 0.f});
	return w.mesh(name).primitives({index});
}

} // namespace

void writeSetupFiles(const std::string& dataDir) {
	writeInto(shaders(dataDir) + "flat.vsh", EffectTreeWriter::TEXTURED_VERTEX);
	writeInto(shaders(dataDir) + "flat.fsh", EffectTreeWriter::TEXTURED_FRAGMENT);
	writeEffectFile(shaders(dataDir) + "flat.fx", {"Default"}, "flat.vsh", "flat.fsh");
	makeDirs(textures(dataDir));
	writePng(textures(dataDir) + "red.png", TextureImage::solid(4, 4, 255, 0, 0));
	writePng(textures(dataDir) + "blue.png", TextureImage::solid(4, 4, 0, 0, 255));
	writePng(textures(dataDir) + "yellow.png", TextureImage::solid(4, 4, 255, 255, 0));
}

void addQuad(SceneWriter::Primitive& p, const SceneWriter::Vec3& c, const SceneWriter::Vec3& u,
			 const SceneWriter::Vec3& v) {
	std::vector<float> positions;
	for (int j = 0; j < 2; ++j)
		for (int i = 0; i < 2; ++i)
			for (int k = 0; k < 3; ++k)
				positions.push_back(c[k] + float(i) * u[k] + float(j) * v[k]);
	addQuad(p, positions);
}

void addQuad(SceneWriter::Primitive& p, const std::vector<float>& corners) {
	p.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, corners)
		.component(SceneWriter::DT_TEX0, SceneWriter::V2_32, {0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 1.f})
		.indices({0, 1, 2, 2, 1, 3});
}

SceneWriter boxModel() {
	SceneWriter w;
	flatMaterial(w, "blue.png");
	squareMesh(w, "box_a", 40.f).position(-60.f, 0.f, 0.f);
	squareMesh(w, "box_b", 40.f).position(0.f, 0.f, 0.f);
	squareMesh(w, "box_c", 40.f).transform(SceneWriter::rotationZ(0.3f, 60.f, 0.f, 0.f));
	return w;
}

SceneWriter propsModel() {
	SceneWriter w;
	flatMaterial(w, "red.png");
	squareMesh(w, "lever", 20.f).position(100.f, 0.f, 0.f);
	squareMesh(w, "Lever_Shadow", 20.f).parent("lever").position(0.f, -10.f, 0.f);
	squareMesh(w, "lever_shadow", 20.f).transform(SceneWriter::rotationZ(0.5f, 30.f, -20.f, 10.f));
	squareMesh(w, "base_shadow", 20.f).position(0.f, 50.f, 0.f);
	squareMesh(w, "knob", 10.f).parent("base_shadow").position(5.f, 5.f, 0.f);
	w.userProperty("lever", "a01=add,lever_used,1");
	w.userProperty("knob", "a01=add,knob_used,1");
	return w;
}

SceneWriter panelModel() {
	SceneWriter w;
	flatMaterial(w, "red.png");
	squareMesh(w, "panel", 30.f);
	w.userProperty("panel_light", "color=1");
	w.userProperty("panel_script", "a01=add,pressed,1");
	return w;
}

void writeLibraryModels(const std::string& dataDir) {
	const std::string models = dataDir + "/resources/models/";
	makeDirs(models);
	EXPECT_TRUE(boxModel().write(models + "box.hgr"));
	EXPECT_TRUE(propsModel().write(models + "props.hgr"));
	EXPECT_TRUE(panelModel().write(models + "panel.hgr"));
}

void writeEffectFile(const std::string& path, const std::vector<std::string>& techniques,
					 const std::string& vertexStage, const std::string& fragmentStage) {
	std::string text;
	for (const std::string& technique : techniques)
		text += "technique " + technique + "\n{\n\tpass P0\n\t{\n\t\tVertexShader = " + vertexStage +
				";\n\t\tPixelShader = " + fragmentStage + ";\n\t\tenableculling = false;\n\t}\n}\n";
	writeInto(path, text);
}

void writeWaterEffects(const std::string& dataDir) {
	const std::string dir = shaders(dataDir);
	writeInto(dir + "water.vsh", EffectTreeWriter::TEXTURED_VERTEX);
	writeInto(dir + "reflect.fsh", kReflectionFragment);
	writeEffectFile(dir + "water.fx", {"Default"}, "water.vsh", "reflect.fsh");
	writeEffectFile(dir + "lake.fx", {"Default", "Water"}, "water.vsh", "reflect.fsh");
	writeEffectFile(dir + "waterfall.fx", {"Default"}, "water.vsh", "reflect.fsh");
	writeEffectFile(dir + "Water.fx", {"Default"}, "water.vsh", "reflect.fsh");
	writeEffectFile(dir + "mirror.fx", {"Default", "Reflected"}, "flat.vsh", "flat.fsh");
	// Red only in the reflection: red in the water comes from the reflection pass.
	writeInto(dir + "red.fsh", "void main() {\n  gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0);\n}\n");
	writeInto(dir + "ceiling.fx",
			  "technique Default\n{\n\tpass P0\n\t{\n\t\tVertexShader = flat.vsh;\n"
			  "\t\tPixelShader = flat.fsh;\n\t\tenableculling = false;\n\t}\n}\n"
			  "technique Reflected\n{\n\tpass P0\n\t{\n\t\tVertexShader = flat.vsh;\n"
			  "\t\tPixelShader = red.fsh;\n\t\tenableculling = false;\n\t}\n}\n");
}

void normalMapColour(int frame, unsigned char rgb[3]) {
	rgb[0] = (unsigned char)(8 * frame);
	rgb[1] = (unsigned char)(255 - 8 * frame);
	rgb[2] = 128;
}

void writeNormalMaps(const std::string& dataDir, int count) {
	makeDirs(textures(dataDir));
	for (int i = 1; i <= count; ++i) {
		char name[32];
		std::snprintf(name, sizeof name, "water%02d.pvr", i);
		unsigned char c[3];
		normalMapColour(i, c);
		EXPECT_TRUE(writePvr(textures(dataDir) + name, {TextureImage::solid(4, 4, c[0], c[1], c[2])}, 0));
	}
}

SceneWriter waterLevel(float waterY, float cameraY) {
	SceneWriter w;
	w.material("water", "water.fx");
	w.material("mirror", "mirror.fx").texture("BASEMAP", w.texture("red.png"));
	addQuad(w.primitive(0), {-1000.f, waterY, -1000.f}, {2000.f, 0.f, 0.f}, {0.f, 0.f, 2000.f});
	addQuad(w.primitive(1), {-5000.f, 1000.f, -5000.f}, {10000.f, 0.f, 0.f}, {0.f, 0.f, 10000.f});
	w.mesh("O_water").primitives({0});
	w.mesh("ceiling").primitives({1});
	w.dummy("D_start");
	// Looking straight down: the camera's z axis (its forward) is world -y.
	w.camera("O_startcamera")
		.transform({1.f, 0.f, 0.f, 0.f, 0.f, 0.f, -1.f, cameraY, 0.f, 1.f, 0.f, 0.f})
		.planes(1.f, 10000.f)
		.fov(1.3f);
	return w;
}

SceneWriter ballModel(const std::string& formText) {
	SceneWriter w;
	writeBallModel(w);
	// A yellow face on the back of the body, where the follow camera sees it.
	w.material("badge", "flat.fx").texture("BASEMAP", w.texture("yellow.png"));
	addQuad(w.primitive(w.materialCount() - 1), {-40.f, -40.f, -51.f}, {80.f, 0.f, 0.f}, {0.f, 80.f, 0.f});
	w.mesh("badge").primitives({w.primitiveCount() - 1}).parent("body");
	w.animation("plimbo_eyeballs").timedPositions({{10.f, 57.f, 30.f, 0.f}, {10.f, 59.f, 30.f, 1.f}}).length(1.f);
	w.animation("body").timedPositions({{10.f, 99.f, 0.f, 0.f}, {10.f, 98.f, 0.f, 1.f}}).length(1.f);
	w.animationsForAllNodes(); // the others hold still at their own transforms
	w.userProperty("T_plimbo_lookat_eyes_anim01", "a01=add,blinks,1\na02=delay,100000");
	w.userProperty("T_plimbo_lookat_eyes_anim02", "a01=add,brows,1\na02=delay,100000");
	if (!formText.empty())
		w.userProperty("D_forminfo", formText);
	return w;
}

void addCube(SceneWriter::Primitive& p, float half) {
	std::vector<float> positions, uvs;
	std::vector<int> indices;
	// Each face: a corner and two edges, four vertices of its own.
	const float h = half, s = 2.f * half;
	const float faces[6][9] = {
		{-h, -h, -h, s, 0, 0, 0, s, 0}, {-h, -h, h, 0, s, 0, s, 0, 0},	{-h, -h, -h, 0, s, 0, 0, 0, s},
		{h, -h, -h, 0, 0, s, 0, s, 0},	{-h, -h, -h, 0, 0, s, s, 0, 0}, {-h, h, -h, s, 0, 0, 0, 0, s},
	};
	for (const float* f : faces) {
		const int base = int(positions.size() / 3);
		for (int j = 0; j < 2; ++j)
			for (int i = 0; i < 2; ++i) {
				for (int k = 0; k < 3; ++k)
					positions.push_back(f[k] + float(i) * f[3 + k] + float(j) * f[6 + k]);
				uvs.insert(uvs.end(), {float(i), float(j)});
			}
		indices.insert(indices.end(), {base, base + 1, base + 2, base + 2, base + 1, base + 3});
	}
	p.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, positions)
		.component(SceneWriter::DT_TEX0, SceneWriter::V2_32, uvs)
		.indices(indices);
}

std::string formRecord(float radius) {
	char text[160];
	std::snprintf(text, sizeof text, "f0,f1,f2,f3,shadow_plimbo,%g,2,3,4,5,6,7,8", radius);
	return text;
}

void writeParticleFile(const std::string& dataDir, const std::string& name) {
	ParticleDescriptionWriter description;
	writeInto(dataDir + "/resources/particles/" + name, description.text());
}

} // namespace test
