// The game's own GL drawers on the offscreen context: render-scale target and
// its blit, the fill quad, and the release of their GL objects.
#include "render/FillQuad.h"
#include "render/RenderScaleTarget.h"
#include "support/GLTestContext.h"
#include "support/PixelMatch.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace lumaroll;
using test::GLTestContext;

namespace {

testing::AssertionResult pixelIs(int x, int y, int r, int g, int b) {
	return test::colourNear(GLTestContext::pixel(x, y), r, g, b) << " at (" << x << ", " << y << ")";
}

void clearTo(float r, float g, float b) {
	glClearColor(r, g, b, 1.f);
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST(RenderScaleSizeTest, Table) {
	struct Case {
		float scale;
		int w, h;
		bool target;
		int tw, th;
	};
	const Case cases[] = {
		{1.f, 800, 480, false, 800, 480},
		{0.99f, 800, 480, false, 800, 480},
		{0.995f, 800, 480, false, 800, 480},
		{1.7f, 800, 480, false, 800, 480},
		{0.98f, 800, 480, true, 784, 470},
		{0.5f, 800, 480, true, 400, 240},
		{0.2f, 800, 480, true, 400, 240},
		{-3.f, 800, 480, true, 400, 240},
		{0.5f, 1, 1, true, 1, 1},
		{0.5f, 640, 1, true, 320, 1},
		{0.75f, 3, 3, true, 2, 2},
		{0.985f, 800, 480, true, 788, 472}, // below 0.99 the target is used
	};
	for (const Case& c : cases) {
		int tw = -1, th = -1;
		EXPECT_EQ(scaledRenderSize(c.scale, c.w, c.h, tw, th), c.target) << c.scale;
		EXPECT_EQ(tw, c.tw) << c.scale << " " << c.w << "x" << c.h;
		EXPECT_EQ(th, c.th) << c.scale << " " << c.w << "x" << c.h;
	}
	int tw = 0, th = 0;
	EXPECT_TRUE(scaledRenderSize(std::nanf(""), 800, 480, tw, th)); // no number reads as the lower clamp
	EXPECT_EQ(tw, 400);
}

TEST(RenderScaleTargetTest, HalfSizeTargetIsStretchedOverTheWindow) {
	REQUIRE_GL_CONTEXT();
	const int w = GLTestContext::WIDTH, h = GLTestContext::HEIGHT;
	RenderScaleTarget target;
	ASSERT_TRUE(target.resize(w / 2, h / 2));
	EXPECT_EQ(target.width, w / 2);
	GLint bound = 0, viewport[4] = {};
	glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
	glGetIntegerv(GL_VIEWPORT, viewport);
	EXPECT_EQ(GLuint(bound), target.framebuffer);
	EXPECT_EQ(viewport[2], w / 2);
	EXPECT_EQ(viewport[3], h / 2);
	// Left half blue, right half yellow, in the small target.
	clearTo(1.f, 1.f, 0.f);
	glEnable(GL_SCISSOR_TEST);
	glScissor(0, 0, w / 4, h / 2);
	clearTo(0.f, 0.f, 1.f);
	glDisable(GL_SCISSOR_TEST);

	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	clearTo(0.f, 0.f, 0.f);
	glEnable(GL_DEPTH_TEST);
	glEnable(GL_CULL_FACE);
	target.blit(w, h);
	EXPECT_TRUE(pixelIs(2, 2, 0, 0, 255));
	EXPECT_TRUE(pixelIs(w / 2 - 3, h - 3, 0, 0, 255));
	EXPECT_TRUE(pixelIs(w / 2 + 3, 3, 255, 255, 0));
	EXPECT_TRUE(pixelIs(w - 1, h - 1, 255, 255, 0));
	// The state around the blit is what it was.
	EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
	EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
	EXPECT_FALSE(glIsEnabled(GL_BLEND));
	glDisable(GL_CULL_FACE);
	EXPECT_EQ(GLTestContext::takeErrors(), 0u);
}

TEST(RenderScaleTargetTest, SameSizeKeepsTheSurfacesAndReleaseDeletesEverything) {
	REQUIRE_GL_CONTEXT();
	RenderScaleTarget target;
	ASSERT_TRUE(target.resize(10, 1));
	const GLuint fb = target.framebuffer, tex = target.colorTexture, prog = target.program, buf = target.quadBuffer;
	ASSERT_TRUE(target.resize(10, 1));
	EXPECT_EQ(target.framebuffer, fb);
	EXPECT_EQ(target.colorTexture, tex);
	ASSERT_TRUE(target.resize(12, 2));
	EXPECT_EQ(target.width, 12);
	EXPECT_EQ(target.program, prog);
	const GLuint fb2 = target.framebuffer, tex2 = target.colorTexture;
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	target.release();
	EXPECT_FALSE(glIsFramebuffer(fb2));
	EXPECT_FALSE(glIsTexture(tex2));
	EXPECT_FALSE(glIsProgram(prog));
	EXPECT_FALSE(glIsBuffer(buf));
	EXPECT_EQ(target.framebuffer, 0u);
	EXPECT_EQ(target.program, 0u);
	EXPECT_FALSE(target.resize(0, 5));
	EXPECT_FALSE(target.resize(5, -1));
	EXPECT_EQ(GLTestContext::takeErrors(), 0u);
}

TEST(RenderScaleTargetTest, FailedTargetIsNeverTriedAgain) {
	RenderScaleTarget target;
	target.failed = true;
	EXPECT_FALSE(target.resize(32, 32));
	EXPECT_EQ(target.framebuffer, 0u);
}

TEST(FillQuadTest, FullAlphaCoversTheFrameAndTinyAlphaDrawsNothing) {
	REQUIRE_GL_CONTEXT();
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glViewport(0, 0, GLTestContext::WIDTH, GLTestContext::HEIGHT);
	FillState fill;
	clearTo(0.f, 0.f, 1.f);
	drawFullScreenFill(fill, true, 0.001f);
	EXPECT_EQ(fill.program, 0u); // not even built
	EXPECT_TRUE(pixelIs(5, 5, 0, 0, 255));

	drawFullScreenFill(fill, true, 7.f); // above 1 is opaque
	EXPECT_TRUE(pixelIs(0, 0, 255, 255, 255));
	EXPECT_TRUE(pixelIs(GLTestContext::WIDTH - 1, GLTestContext::HEIGHT - 1, 255, 255, 255));
	EXPECT_TRUE(pixelIs(GLTestContext::WIDTH / 2, GLTestContext::HEIGHT / 2, 255, 255, 255));

	drawFullScreenFill(fill, false, 0.5f); // half black over white
	EXPECT_TRUE(pixelIs(7, 7, 128, 128, 128));
	EXPECT_FALSE(glIsEnabled(GL_BLEND));
	EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

	const GLuint program = fill.program;
	EXPECT_TRUE(glIsProgram(program));
	releaseFillProgram(fill);
	EXPECT_FALSE(glIsProgram(program));
	EXPECT_EQ(fill.program, 0u);
	glDisable(GL_DEPTH_TEST);
	EXPECT_EQ(GLTestContext::takeErrors(), 0u);
}

} // namespace
