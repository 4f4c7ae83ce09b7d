// The sky renderer on the offscreen context with writer-made skybox meshes.
#include "game/app/SessionFixture.h"
#include "render/SkyRenderer.h"

#include "support/GameDataWriter.h"
#include "support/TextureFileWriter.h"

#include <hgr/Camera.h>
#include <math/Matrix3x3.h>

#include <gtest/gtest.h>

using namespace lumaroll;

namespace {

class SkyRendererTest : public apptest::GLSceneTest {
protected:
	// A level whose "M_sky" is made of the given quads (each x0, y0, x1, y1 at
	// depth z in the quad's own frame, turned by the given rotation about y),
	// textured with the blue "sky.png" unless untextured.
	lang::Ptr<hgr::Scene> skyScene(bool cube, bool textured = true) {
		test::SceneWriter w = test::testLevelScene();
		const int sky = w.texture("sky.png");
		auto& material = w.material("skymat", "textured.fx");
		if (textured)
			material.texture("BASEMAP", sky);
		const int first = 2; // the test level has two primitives already
		std::vector<float> positions, uvs;
		std::vector<int> indices;
		// Faces of a cube of half size 1000 around (300, 0, 0), or all but its -z face.
		const float c = 300.f, s = 1000.f;
		const float faces[6][4][3] = {
			{{-s, -s, s}, {s, -s, s}, {-s, s, s}, {s, s, s}}, {{-s, -s, -s}, {s, -s, -s}, {-s, s, -s}, {s, s, -s}},
			{{s, -s, -s}, {s, s, -s}, {s, -s, s}, {s, s, s}}, {{-s, -s, -s}, {-s, s, -s}, {-s, -s, s}, {-s, s, s}},
			{{-s, s, -s}, {s, s, -s}, {-s, s, s}, {s, s, s}}, {{-s, -s, -s}, {s, -s, -s}, {-s, -s, s}, {s, -s, s}},
		};
		for (int f = 0; f < 6; ++f) {
			if (!cube && f == 1)
				continue; // open towards -z
			const int base = int(positions.size()) / 3;
			for (int v = 0; v < 4; ++v) {
				positions.insert(positions.end(), {faces[f][v][0] + c, faces[f][v][1], faces[f][v][2]});
				uvs.insert(uvs.end(), {float(v & 1), float(v >> 1)});
			}
			indices.insert(indices.end(), {base, base + 1, base + 2, base + 2, base + 1, base + 3});
		}
		w.primitive(first)
			.component(test::SceneWriter::DT_POSITION, test::SceneWriter::V3_32, positions)
			.component(test::SceneWriter::DT_TEX0, test::SceneWriter::V2_32, uvs)
			.indices(indices);
		w.dummy("G_sky");
		w.mesh("M_sky").primitives({first}).parent("G_sky");
		w.userProperty("G_sky", "skybox=1");
		test::writePng(data + "/resources/textures/sky.png", test::TextureImage::solid(4, 4, 0, 0, 255));
		return loadScene(w);
	}

	// Clears to red and draws the sky through a camera at position, turned by yaw about y.
	void drawFrom(SkyRenderer& sky, const math::Vector3& position, float yaw) {
		lang::Ptr<hgr::Camera> camera = new hgr::Camera;
		camera->setHorizontalFov(1.3f);
		camera->setTransform(math::Matrix3x4(math::Matrix3x3::rotation(math::Vector3(0.f, 1.f, 0.f), yaw), position));
		glClearColor(1.f, 0.f, 0.f, 1.f);
		glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
		sky.draw(camera, test::GLTestContext::WIDTH, test::GLTestContext::HEIGHT);
	}
};

TEST_F(SkyRendererTest, BuildTakesTheFirstMeshAroundItsCentre) {
	lang::Ptr<hgr::Scene> scene = skyScene(true);
	SkyRenderer sky;
	testing::internal::CaptureStdout();
	EXPECT_TRUE(sky.build(scene->findNode("G_sky")));
	EXPECT_EQ(testing::internal::GetCapturedStdout(),
			  "sky: rendered separately, 24 vertices, 36 indices, texture BASEMAP\n");
	ASSERT_EQ(sky.vertices.size(), 24u * 5u);
	EXPECT_EQ(sky.indices.size(), 36u);
	EXPECT_EQ(sky.mode, GLenum(GL_TRIANGLES));
	EXPECT_NE(sky.texture, 0u);
	// Positions relative to the centroid (300, 0, 0).
	EXPECT_FLOAT_EQ(sky.vertices[0], -1000.f);
	EXPECT_FLOAT_EQ(sky.vertices[2], 1000.f);
	EXPECT_FLOAT_EQ(sky.vertices[5 * 3 + 3], 1.f); // u of the fourth vertex
	EXPECT_FLOAT_EQ(sky.vertices[5 * 3 + 4], 1.f);
}

TEST_F(SkyRendererTest, WithoutABaseMapItIsNotTaken) {
	lang::Ptr<hgr::Scene> scene = skyScene(true, false);
	SkyRenderer sky;
	testing::internal::CaptureStdout();
	EXPECT_FALSE(sky.build(scene->findNode("M_sky")));
	EXPECT_EQ(testing::internal::GetCapturedStdout(),
			  "sky: rendered separately, 24 vertices, 36 indices, texture (not found)\n");
	drawFrom(sky, math::Vector3(), 0.f);
	EXPECT_TRUE(pixelIs(32, 32, 255, 0, 0)); // drawn by nobody
	EXPECT_EQ(sky.program, 0u);
}

TEST_F(SkyRendererTest, NodesWithoutMeshOrPrimitivesAreRefused) {
	test::SceneWriter w;
	w.dummy("D_sky");
	w.mesh("M_empty");
	lang::Ptr<hgr::Scene> scene = loadScene(w);
	SkyRenderer sky;
	testing::internal::CaptureStdout();
	EXPECT_FALSE(sky.build(scene->findNode("D_sky")));
	EXPECT_FALSE(sky.build(scene->findNode("M_empty")));
	EXPECT_FALSE(sky.build(nullptr));
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(SkyRendererTest, SkySurroundsTheEyeWhereverItStands) {
	lang::Ptr<hgr::Scene> scene = skyScene(true);
	SkyRenderer sky;
	testing::internal::CaptureStdout();
	ASSERT_TRUE(sky.build(scene->findNode("G_sky")));
	testing::internal::GetCapturedStdout();
	for (const math::Vector3& eye : {math::Vector3(), math::Vector3(50000.f, -3000.f, 123456.f)}) {
		for (float yaw : {0.f, 1.f, 3.f}) {
			drawFrom(sky, eye, yaw);
			for (int x : {0, 32, 63})
				for (int y : {0, 32, 63})
					EXPECT_TRUE(pixelIs(x, y, 0, 0, 255)) << "eye x " << eye.x << ", yaw " << yaw;
		}
	}
	EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
	GLboolean depthMask = GL_FALSE;
	glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
	EXPECT_TRUE(depthMask);
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
	glDisable(GL_DEPTH_TEST);
}

TEST_F(SkyRendererTest, OnlyTheViewRotationMovesTheSky) {
	lang::Ptr<hgr::Scene> scene = skyScene(false); // a box open towards -z
	SkyRenderer sky;
	testing::internal::CaptureStdout();
	ASSERT_TRUE(sky.build(scene->findNode("G_sky")));
	testing::internal::GetCapturedStdout();
	drawFrom(sky, math::Vector3(-99999.f, 0.f, 5e5f), 0.f); // far away, looking at the face
	EXPECT_TRUE(pixelIs(32, 32, 0, 0, 255));
	drawFrom(sky, math::Vector3(), 3.1415927f); // looking out of the open side
	EXPECT_TRUE(pixelIs(32, 32, 255, 0, 0));
	const GLuint program = sky.program;
	ASSERT_NE(program, 0u);
	sky.release();
	EXPECT_FALSE(glIsProgram(program));
	glDisable(GL_DEPTH_TEST);
}

} // namespace
