// A writer-made level loaded on the offscreen OpenGL ES 2 context from a
// temporary data folder, updated and drawn; the frame is read back.

#include "SceneFixtures.h"
#include "support/EffectTreeWriter.h"
#include "support/GLTestContext.h"
#include "support/ParticleDescriptionWriter.h"
#include "support/TextureFileWriter.h"

#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Lines.h>
#include <hgr/Mesh.h>
#include <hgr/ParticleSystem.h>
#include <hgr/SceneInputStream.h>
#include <io/FileInputStream.h>

#include <cstdlib>

using namespace scenetest;
using test::SceneWriter;

namespace {

const int W = test::GLTestContext::WIDTH;
const int H = test::GLTestContext::HEIGHT;

bool near(const std::vector<uint8_t>& pixel, int r, int g, int b) {
	const int want[3] = {r, g, b};
	for (int i = 0; i < 3; ++i)
		if (std::abs(int(pixel[i]) - want[i]) > 3)
			return false;
	return true;
}

std::string rgb(const std::vector<uint8_t>& p) {
	return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

// Square of half-size s in the xy plane, with texture coordinates.
void square(SceneWriter& w, int material, float s) {
	w.primitive(material)
		.component(SceneWriter::DT_TEX0, SceneWriter::V2_32, {0, 0, 0, 1, 1, 1, 1, 0})
		.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {-s, -s, 0, -s, s, 0, s, s, 0, s, -s, 0})
		.indices({0, 1, 2, 0, 2, 3});
}

TEST(SceneLevelGL, LevelLoadsUpdatesAndDraws) {
	REQUIRE_GL_CONTEXT();
	test::GLTestContext::takeErrors();

	// The data folder: textures, effects and a particle description. Its
	// directories are given with a trailing "/", as the game gives them.
	test::EffectTreeWriter data;
	data.write("textures/readme.txt", "test textures\n"); // makes the folder
	ASSERT_TRUE(test::writePng(data.path("textures/red.png"), test::TextureImage::solid(4, 4, 255, 0, 0)));
	ASSERT_TRUE(test::writePng(data.path("textures/green.png"), test::TextureImage::solid(4, 4, 0, 255, 0)));
	data.write("shaders/textured.vsh", test::EffectTreeWriter::TEXTURED_VERTEX);
	data.write("shaders/textured.fsh", test::EffectTreeWriter::TEXTURED_FRAGMENT);
	data.writeEffect("shaders/textured.fx", "textured.vsh", "textured.fsh", "\t\tEnableCulling = FALSE;\n");
	data.write("shaders/colour.vsh", test::EffectTreeWriter::VERTEX_COLOR_VERTEX);
	data.write("shaders/colour.fsh", test::EffectTreeWriter::VERTEX_COLOR_FRAGMENT);
	data.writeEffect("shaders/lines-alpha.fx", "colour.vsh", "colour.fsh");
	test::ParticleDescriptionWriter particles;
	data.write("particles/spark.prs", particles.text());

	SceneWriter w;
	w.fog(1, 10.f, 50.f, 0.5f, 0.5f, 0.5f);
	const int red = w.texture("red.png");
	const int green = w.texture("green.png");
	w.material("wall", "textured.fx").texture("BASEMAP", red);
	w.material("door", "textured.fx").texture("BASEMAP", green);
	square(w, 0, 2.f);
	square(w, 1, 0.5f);
	w.mesh("wall").primitives({0}).position(0, 0, 10);
	w.mesh("door").primitives({1}).position(0, 0, 20).parent("mover");
	w.camera("cam").planes(1.f, 100.f).fov(1.f);
	w.light("lamp").position(0, 5, 0);
	w.lines("L_path").line({0, 0, 5}, {1, 0, 5});
	w.dummy("T_zone").box({-1, -1, -1}, {1, 1, 1});
	w.node("mover");
	w.node("emitter").position(0, -1, 8);
	// The mover brings the door from behind the wall to in front of it.
	w.animation("mover")
		.positionKeys({{0, 0, 0}, {0, 0, -15}})
		.rotationKeys({{0, 0, 0, 1}})
		.rates(1, 1, 1)
		.endBehaviour(3);
	w.animationsForAllNodes();
	w.userProperty("emitter", "particle=spark");
	const std::string level = w.writeTemp("level.hgr");

	lang::Ptr<gr::GLES2_Context> context = new gr::GLES2_Context(W, H, nullptr, nullptr);
	{
		// As the game does: the platform is read ahead and given to the context.
		lang::Ptr<io::FileInputStream> file = new io::FileInputStream(level.c_str());
		hgr::SceneInputStream header(file);
		context->platform = header.getPlatform();
	}
	context->shaderDirectory = data.path("shaders/");
	context->textureDirectory = data.path("textures/");
	lang::Ptr<hgr::DefaultResourceManager> resources = new hgr::DefaultResourceManager(context);
	lang::Ptr<hgr::Scene> scene = new hgr::Scene(context, level.c_str(), resources, data.path("textures/").c_str(),
												 data.path("shaders/").c_str(), data.path("particles/").c_str());

	EXPECT_EQ(1, scene->getFogMode());
	EXPECT_FLOAT_EQ(50.f, scene->getFogEnd());
	hgr::Mesh* wall = static_cast<hgr::Mesh*>(scene->getNodeByName("wall"));
	ASSERT_EQ(1, wall->getLightCount());
	EXPECT_EQ(1, static_cast<hgr::Lines*>(scene->getNodeByName("L_path"))->getLineCount());
	hgr::Node* emitter = scene->getNodeByName("emitter");
	ASSERT_NE(nullptr, emitter->getFirstChild());
	ASSERT_EQ(hgr::Node::NODE_PARTICLESYSTEM, emitter->getFirstChild()->getClassId());
	// Textures and effects were found: nothing fell back to placeholders.
	EXPECT_EQ(2, context->loadCounters[gr::GLES2_Context::TEXTURES_LOADED]);
	EXPECT_EQ(0, context->loadCounters[gr::GLES2_Context::TEXTURES_FAILED]);
	EXPECT_EQ(0, context->loadCounters[gr::GLES2_Context::EFFECTS_FALLEN_BACK]) << "effects fell back";

	hgr::Camera* camera = static_cast<hgr::Camera*>(scene->getNodeByName("cam"));
	context->setRenderTarget(nullptr);
	context->setViewport(gr::Rect(W, H));

	// Before the update the door stands behind the wall.
	context->clear(0xFF0000FF);
	camera->render(context);
	EXPECT_TRUE(near(test::GLTestContext::pixel(W / 2, H / 2), 255, 0, 0))
		<< rgb(test::GLTestContext::pixel(W / 2, H / 2));
	EXPECT_TRUE(near(test::GLTestContext::pixel(1, 1), 0, 0, 255)) << rgb(test::GLTestContext::pixel(1, 1));

	// From time 1 on the animation holds it in front; particles run meanwhile.
	hgr::ParticleSystem* sparks = static_cast<hgr::ParticleSystem*>(emitter->getFirstChild());
	for (int i = 1; i <= 30; ++i)
		scene->update(0.1f * i, 0.1f);
	EXPECT_GT(sparks->getParticleCount(), 0);
	context->clear(0xFF0000FF);
	camera->render(context);
	EXPECT_TRUE(near(test::GLTestContext::pixel(W / 2, H / 2), 0, 255, 0))
		<< rgb(test::GLTestContext::pixel(W / 2, H / 2));
	// The wall still shows beside the door.
	// (Both squares span about 12 pixels each side of the centre before the
	// move; the door, at half the distance, now spans about 6.)
	const std::vector<uint8_t> beside = test::GLTestContext::pixel(W / 2 + 9, H / 2);
	EXPECT_TRUE(near(beside, 255, 0, 0)) << rgb(beside);
	EXPECT_EQ(0u, test::GLTestContext::takeErrors());
}

} // namespace
