// The game's drawers seen through the engine's GL dispatch table: every GL
// object they make is deleted by their release, and the sky is one draw of
// its mesh in the mesh's mode.
#include "game/app/SessionFixture.h"
#include "render/FillQuad.h"
#include "render/RenderScaleTarget.h"
#include "render/SkyRenderer.h"
#include "support/GLCallRecorder.h"
#include "support/GLTestContext.h"
#include "support/TextureFileWriter.h"

#include <hgr/Camera.h>

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

using namespace lumaroll;

namespace {

// The integer results of the calls of one function (the names it made).
std::multiset<long> results(const test::GLCallRecorder& gl, const std::string& name) {
	std::multiset<long> out;
	for (const auto& call : gl.calls(name))
		out.insert(long(call.result));
	return out;
}

// The first argument of the calls of one function (the names it was given,
// or the counts of Gen and Delete calls).
std::multiset<long> firstArgs(const test::GLCallRecorder& gl, const std::string& name) {
	std::multiset<long> out;
	for (const auto& call : gl.calls(name))
		out.insert(long(call.args.at(0)));
	return out;
}

long sumOfFirstArgs(const test::GLCallRecorder& gl, const std::string& name) {
	long sum = 0;
	for (const auto& call : gl.calls(name))
		sum += long(call.args.at(0));
	return sum;
}

TEST(RenderCallsTest, ReleaseDeletesEverythingTheDrawersMade) {
	REQUIRE_GL_CONTEXT();
	GLuint texture = 0;
	glGenTextures(1, &texture);
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	camera->setHorizontalFov(1.3f);

	struct Case {
		const char* name;
		std::function<void()> drawAndRelease;
	};
	const Case cases[] = {
		{"fill quad",
		 [] {
			 FillState fill;
			 drawFullScreenFill(fill, true, 0.5f);
			 releaseFillProgram(fill);
		 }},
		{"render-scale target",
		 [] {
			 RenderScaleTarget target;
			 target.resize(16, 8);
			 target.resize(20, 10); // new surfaces for a new size
			 target.blit(test::GLTestContext::WIDTH, test::GLTestContext::HEIGHT);
			 target.release();
		 }},
		{"sky",
		 [&] {
			 SkyRenderer sky;
			 sky.vertices = {-1.f, -1.f, 1.f, 0.f, 0.f, 1.f, -1.f, 1.f, 1.f, 0.f, -1.f, 1.f, 1.f, 0.f, 1.f};
			 sky.indices = {0, 1, 2};
			 sky.texture = texture;
			 sky.draw(camera, test::GLTestContext::WIDTH, test::GLTestContext::HEIGHT);
			 sky.release();
		 }},
	};
	for (const Case& c : cases) {
		test::GLCallRecorder gl;
		c.drawAndRelease();
		EXPECT_GT(gl.calls().size(), 0u) << c.name << " made no GL call through the table";
		EXPECT_EQ(results(gl, "CreateProgram"), firstArgs(gl, "DeleteProgram")) << c.name;
		EXPECT_EQ(results(gl, "CreateShader"), firstArgs(gl, "DeleteShader")) << c.name;
		for (const char* kind : {"Textures", "Framebuffers", "Renderbuffers", "Buffers"})
			EXPECT_EQ(sumOfFirstArgs(gl, std::string("Gen") + kind), sumOfFirstArgs(gl, std::string("Delete") + kind))
				<< c.name << ": " << kind;
	}
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glDeleteTextures(1, &texture);
	glDisable(GL_DEPTH_TEST);
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

class SkyModeTest : public apptest::GLSceneTest {};

TEST_F(SkyModeTest, SkyIsOneDrawOfItsIndicesInTheMeshMode) {
	struct Case {
		const char* name;
		int primitiveType;
		GLenum mode;
	};
	const Case cases[] = {
		{"triangle list", 3, GL_TRIANGLES},
		{"triangle strip", 4, GL_TRIANGLE_STRIP},
		{"triangle fan", 5, GL_TRIANGLE_FAN},
	};
	for (const Case& c : cases) {
		test::SceneWriter w;
		const int blue = w.texture("blue.png");
		w.material("skymat", "textured.fx").texture("BASEMAP", blue);
		w.primitive(0)
			.type(c.primitiveType)
			.component(test::SceneWriter::DT_POSITION, test::SceneWriter::V3_32,
					   {-9.f, -9.f, 9.f, 9.f, -9.f, 9.f, -9.f, 9.f, 9.f, 9.f, 9.f, 9.f})
			.component(test::SceneWriter::DT_TEX0, test::SceneWriter::V2_32, {0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 1.f})
			.indices({0, 1, 2, 3});
		w.mesh("M_sky").primitives({0});
		test::writePng(data + "/resources/textures/blue.png", test::TextureImage::solid(4, 4, 0, 0, 255));
		lang::Ptr<hgr::Scene> scene = loadScene(w);
		SkyRenderer sky;
		testing::internal::CaptureStdout();
		ASSERT_TRUE(sky.build(scene->findNode("M_sky"))) << c.name;
		testing::internal::GetCapturedStdout();
		lang::Ptr<hgr::Camera> camera = new hgr::Camera;
		camera->setHorizontalFov(1.3f);

		test::GLCallRecorder gl;
		sky.draw(camera, test::GLTestContext::WIDTH, test::GLTestContext::HEIGHT);
		const auto draws = gl.calls("DrawElements");
		ASSERT_EQ(draws.size(), 1u) << c.name;
		EXPECT_EQ(GLenum(draws[0].args[0]), c.mode) << c.name;
		EXPECT_EQ(draws[0].args[1], 4.0) << c.name;
		EXPECT_EQ(GLenum(draws[0].args[2]), GLenum(GL_UNSIGNED_SHORT)) << c.name;
		EXPECT_EQ(gl.count("DrawArrays"), 0) << c.name;
	}
	glDisable(GL_DEPTH_TEST);
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

} // namespace
