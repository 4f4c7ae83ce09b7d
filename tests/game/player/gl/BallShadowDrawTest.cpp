// The built ball shadow drawn by the engine on a real GL context: seen from
// above, the quad shows its texture where the ball stands and nothing beside it.

#include "support/EffectTreeWriter.h"
#include "support/GLTestContext.h"
#include "support/LevelFixtures.h"
#include "support/PixelMatch.h"
#include "support/PvrWriter.h"

#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Scene.h>
#include <hgr/SceneInputStream.h>
#include <io/FileInputStream.h>
#include <player/Ball.h>
#include <player/LevelCollision.h>
#include <player/PlayerShadows.h>

#include <gtest/gtest.h>

#include <vector>

using lang::Ptr;

namespace {

TEST(BallShadowDraw, TheQuadShowsItsTextureUnderTheBall) {
	REQUIRE_GL_CONTEXT();
	test::GLTestContext::takeErrors();
	const int W = test::GLTestContext::WIDTH, H = test::GLTestContext::HEIGHT;

	test::EffectTreeWriter tree;
	tree.writeTexturedEffect("unlit-tex-alpha.fx");
	// A 2 x 2 orange texture (RGBA 8888).
	lumaroll::test::PvrHeader header;
	header.width = 2;
	header.height = 2;
	header.formatAndFlags = 0x12;
	std::vector<uint8_t> pixels;
	for (int i = 0; i < 4; ++i)
		pixels.insert(pixels.end(), {255, 128, 0, 255});
	lumaroll::test::writeBytes(tree.path("ball_shadow.pvr"), lumaroll::test::legacyPvr(header, pixels));

	// A level whose only piece is a floor the collision world knows but nobody sees.
	test::SceneWriter writer;
	test::LevelFixtures(writer).mesh("floor", test::floorTriangles(1000.f, 0.f));
	const std::string path = writer.writeTemp("shadow-level.hgr");

	Ptr<gr::GLES2_Context> context = new gr::GLES2_Context(W, H, nullptr, nullptr);
	{
		// As the game does: the platform is read ahead and given to the context.
		Ptr<io::FileInputStream> file = new io::FileInputStream(path.c_str());
		context->platform = hgr::SceneInputStream(file).getPlatform();
	}
	context->shaderDirectory = tree.dir();
	context->textureDirectory = tree.dir();
	context->setRenderTarget(nullptr);
	{
		Ptr<hgr::DefaultResourceManager> resources = new hgr::DefaultResourceManager(context);
		Ptr<hgr::Scene> scene = new hgr::Scene(context, path.c_str(), resources, tree.dir().c_str(), tree.dir().c_str(),
											   tree.dir().c_str());
		scene->findNode("floor")->setEnabled(false);
		testing::internal::CaptureStdout();
		const lumaroll::LevelCollision collision(scene, nullptr);
		testing::internal::GetCapturedStdout();
		lumaroll::PlayerShadows shadows(scene, collision.grid());
		shadows.createBallShadow(context);
		ASSERT_NE(nullptr, scene->findNode("sombra_jugador"));
		lumaroll::BallBody ball;
		ball.position = math::Vector3(0, 50, 0);
		shadows.placeBallShadow(ball, false, 0.f);

		// Straight down from 300 above: the quad (95 wide) fills the middle of the view.
		hgr::Camera* camera = new hgr::Camera;
		camera->linkTo(scene);
		camera->setBack(1000.f);
		camera->setPosition(math::Vector3(0, 300, 0));
		camera->lookAt(math::Vector3(0, 0, 0), math::Vector3(0, 0, 1));

		context->clear(0xFF000000);
		camera->render(context);
		EXPECT_TRUE(test::colourNear(test::GLTestContext::pixel(W / 2, H / 2), 255, 128, 0)) << "the middle";
		EXPECT_TRUE(test::colourNear(test::GLTestContext::pixel(2, 2), 0, 0, 0)) << "a corner";
		EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
	}
	context = nullptr;
}

} // namespace
