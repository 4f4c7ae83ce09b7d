#include "GLES2Fixture.h"
#include "support/Files.h"
#include "support/GLCallRecorder.h"

#include <gr/Rect.h>

#include <stb/stb_image.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>

namespace {

using gr::GLES2_Context;

TEST_F(GLES2Test, FreshContextState) {
	EXPECT_EQ(context->getPlatform(), 5);
	EXPECT_EQ(context->getViewport(), gr::Rect(W, H));
	EXPECT_EQ(context->getWidth(), W);
	EXPECT_EQ(context->getHeight(), H);
	for (int r = 0; r < 4; ++r)
		for (int c = 0; c < 4; ++c)
			EXPECT_EQ(context->getProjectionMatrix().m[r][c], r == c ? 1.f : 0.f);
	EXPECT_EQ(context->fogRange.x, 1000000.f);
	EXPECT_EQ(context->fogRange.y, 2000000.f);
	EXPECT_FLOAT_EQ(context->fogRange.z, 0.000001f);
	EXPECT_EQ(context->fogColor.x, 0.5f);
	EXPECT_EQ(context->fogColor.y, 0.6f);
	EXPECT_EQ(context->fogColor.z, 0.7f);
	EXPECT_EQ(context->fogColor.w, 1.f);
	for (int i = 0; i < GLES2_Context::LOAD_COUNTER_COUNT; ++i)
		EXPECT_EQ(context->loadCounters[i], 0);
	EXPECT_TRUE(context->isReady());
	EXPECT_EQ(context->getDeviceHandle(), nullptr);
	EXPECT_EQ(context->getSurfaceFormat(), gr::SurfaceFormat(gr::SurfaceFormat::A8R8G8B8));
}

TEST_F(GLES2Test, ViewportIsFlippedAgainstTheCurrentTarget) {
	lang::Ptr<GLES2_Context> big = new GLES2_Context(640, 480, nullptr, nullptr);
	lang::Ptr<gr::Texture> target = big->createTexture(256, 256, gr::SurfaceFormat::A8R8G8B8, 0, 0);
	const gr::Rect rect = gr::Rect().set(0, 0, 100, 50);
	struct Case {
		const char* what;
		int fbId, fbWidth, fbHeight;
		bool texture;
		double y;
	};
	const Case cases[] = {
		{"window", 0, 0, 0, false, 430},
		{"texture", 0, 0, 0, true, 206},
		{"sized default framebuffer", 7, 320, 240, false, 190},
		{"default framebuffer without height", 7, 320, 0, false, 430},
		{"size without id", 0, 320, 240, false, 430},
	};
	for (const Case& c : cases) {
		big->defaultFramebuffer = GLES2_Context::DefaultFramebuffer{c.fbId, c.fbWidth, c.fbHeight};
		if (c.texture)
			big->setRenderTarget(target);
		test::GLCallRecorder recorder;
		big->setViewport(rect);
		const auto calls = recorder.calls("Viewport");
		ASSERT_EQ(calls.size(), 1u) << c.what;
		EXPECT_EQ(calls[0].args, (std::vector<double>{0, c.y, 100, 50})) << c.what;
		big->defaultFramebuffer = GLES2_Context::DefaultFramebuffer{0, 0, 0};
		big->setRenderTarget(nullptr);
	}
	EXPECT_EQ(big->getViewport(), rect);
}

TEST_F(GLES2Test, RenderTargetGetsItsOwnFramebufferWithDepth16) {
	lang::Ptr<gr::Texture> a = context->createTexture(32, 16, gr::SurfaceFormat::A8R8G8B8, 0, 0);
	lang::Ptr<gr::Texture> b = context->createTexture(8, 8, gr::SurfaceFormat::A8R8G8B8, 0, 0);
	test::GLCallRecorder recorder;
	context->setRenderTarget(a);
	const auto storage = recorder.calls("RenderbufferStorage");
	ASSERT_EQ(storage.size(), 1u);
	EXPECT_EQ(storage[0].args, (std::vector<double>{GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, 32, 16}));
	EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));

	context->setRenderTarget(a);
	EXPECT_EQ(recorder.count("GenFramebuffers"), 1);
	context->setRenderTarget(b);
	EXPECT_EQ(recorder.count("GenFramebuffers"), 2);
	EXPECT_EQ(context->framebufferCount(), 2);

	// Drawing lands in the texture, not in the window.
	context->setRenderTarget(a);
	context->setViewport(gr::Rect(32, 16));
	context->clear(0xFF0000FF);
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(31, 15), 0, 0, 255, 255));
	context->setRenderTarget(nullptr);
	EXPECT_EQ(recorder.calls("BindFramebuffer").back().args, (std::vector<double>{GL_FRAMEBUFFER, 0}));
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

TEST_F(GLES2Test, DeletedTargetFallsBackToTheGamesFramebuffer) {
	GLuint own = 0;
	glGenFramebuffers(1, &own);
	context->defaultFramebuffer = GLES2_Context::DefaultFramebuffer{int(own), 16, 16};
	lang::Ptr<gr::Texture> target = context->createTexture(16, 16, gr::SurfaceFormat::A8R8G8B8, 0, 0);
	context->setRenderTarget(target);
	{
		test::GLCallRecorder recorder;
		target = nullptr;
		const auto binds = recorder.calls("BindFramebuffer");
		ASSERT_EQ(binds.size(), 1u);
		EXPECT_EQ(binds[0].args[1], double(own));
		EXPECT_EQ(recorder.count("DeleteFramebuffers"), 1);
		EXPECT_EQ(recorder.count("DeleteRenderbuffers"), 1);
	}
	EXPECT_EQ(context->renderTarget(), nullptr);
	EXPECT_EQ(context->framebufferCount(), 0);
	context->defaultFramebuffer = GLES2_Context::DefaultFramebuffer{0, 0, 0};
	context->setRenderTarget(nullptr);
	glDeleteFramebuffers(1, &own);
}

TEST_F(GLES2Test, ProjectionRemapsDepthAndAppliesTheClipPlane) {
	context->setPerspectiveProjection(1.5f, 1.f, 100.f, 1.f);
	const math::Matrix4x4 p = context->getProjectionMatrix();
	const float n = 1.f, f = 100.f;
	EXPECT_NEAR(p.m[2][2], (f + n) / (f - n), 1e-5f);
	EXPECT_NEAR(p.m[2][3], -2.f * n * f / (f - n), 1e-4f);
	EXPECT_EQ(p.m[3][2], 1.f);

	// A plane through the eye leaves the remapped matrix as it is.
	context->clipPlaneEnabled = true;
	context->clipPlane = math::Vector4(0, 0, 0, 0);
	context->setPerspectiveProjection(1.5f, 1.f, 100.f, 1.f);
	for (int c = 0; c < 4; ++c)
		EXPECT_EQ(context->getProjectionMatrix().m[2][c], p.m[2][c]);

	// With a horizontal water plane y = -2 (normal up), points on it map to the near plane (z = -w).
	context->clipPlane = math::Vector4(0, 1, 0, 2);
	context->setPerspectiveProjection(1.5f, 1.f, 100.f, 1.f);
	const math::Matrix4x4 q = context->getProjectionMatrix();
	const math::Vector4 onPlane = q * math::Vector4(0.5f, -2.f, 10.f, 1.f);
	EXPECT_NEAR(onPlane.z, -onPlane.w, 1e-3f);

	context->resetProjection(false);
	EXPECT_EQ(context->getProjectionMatrix().m[2][1], q.m[2][1]);
	context->resetProjection(true);
	EXPECT_EQ(context->getProjectionMatrix().m[2][2], 1.f);
	EXPECT_EQ(context->getProjectionMatrix().m[3][2], 0.f);
}

void countPresent(void* data) {
	++*static_cast<int*>(data);
}

TEST_F(GLES2Test, PresentCallsTheCallback) {
	int presented = 0;
	lang::Ptr<GLES2_Context> withCallback = new GLES2_Context(W, H, &countPresent, &presented);
	withCallback->present();
	withCallback->present();
	EXPECT_EQ(presented, 2);
	test::GLCallRecorder recorder;
	context->present(); // no callback: nothing at all
	EXPECT_TRUE(recorder.calls().empty());
}

TEST_F(GLES2Test, ClearSetsColourAndDepth) {
	test::GLCallRecorder recorder;
	context->clear(0x80FF4000);
	ASSERT_EQ(recorder.count("ClearColor"), 1);
	const auto args = recorder.calls("ClearColor")[0].args;
	EXPECT_FLOAT_EQ(float(args[0]), 1.f);
	EXPECT_FLOAT_EQ(float(args[1]), 64.f / 255.f);
	EXPECT_FLOAT_EQ(float(args[2]), 0.f);
	EXPECT_FLOAT_EQ(float(args[3]), 128.f / 255.f);
	EXPECT_EQ(recorder.calls("Clear")[0].args[0], double(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
	EXPECT_EQ(recorder.calls("DepthMask")[0].args[0], double(GL_TRUE));
}

class ScreenshotTest : public GLES2Test {
protected:
	// Red bottom half, green top half, cleared with alpha 0.
	void paintHalves() {
		glClearColor(1, 0, 0, 0);
		glClear(GL_COLOR_BUFFER_BIT);
		glEnable(GL_SCISSOR_TEST);
		glScissor(0, H / 2, W, H / 2);
		glClearColor(0, 1, 0, 0);
		glClear(GL_COLOR_BUFFER_BIT);
		glDisable(GL_SCISSOR_TEST);
	}

	std::vector<uint8_t> readPng(const std::string& path, int& w, int& h) {
		int channels = 0;
		unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 4);
		std::vector<uint8_t> out;
		if (data) {
			out.assign(data, data + size_t(w) * size_t(h) * 4);
			stbi_image_free(data);
		}
		return out;
	}
};

TEST_F(ScreenshotTest, PngRoundTripTopRowFirstOpaque) {
	paintHalves();
	const std::string path = tree.path("shot.png");
	ASSERT_TRUE(context->saveScreenshot(path));
	int w = 0, h = 0;
	const std::vector<uint8_t> png = readPng(path, w, h);
	ASSERT_EQ(w, W);
	ASSERT_EQ(h, H);
	const std::vector<uint8_t> top(png.begin(), png.begin() + 4);
	const std::vector<uint8_t> bottom(png.end() - 4, png.end());
	EXPECT_TRUE(colourNear(top, 0, 255, 0, 255, 0));
	EXPECT_TRUE(colourNear(bottom, 255, 0, 0, 255, 0));
}

TEST_F(ScreenshotTest, ReadsTheWindowWhateverTargetIsBound) {
	paintHalves();
	lang::Ptr<gr::Texture> target = context->createTexture(16, 16, gr::SurfaceFormat::A8R8G8B8, 0, 0);
	context->setRenderTarget(target);
	context->setViewport(gr::Rect(16, 16));
	context->clear(0xFF0000FF);
	GLint before = 0;
	glGetIntegerv(GL_FRAMEBUFFER_BINDING, &before);

	const std::string path = tree.path("window.png");
	ASSERT_TRUE(context->saveScreenshot(path));
	GLint after = 0;
	glGetIntegerv(GL_FRAMEBUFFER_BINDING, &after);
	EXPECT_EQ(after, before);
	int w = 0, h = 0;
	const std::vector<uint8_t> png = readPng(path, w, h);
	ASSERT_EQ(png.size(), size_t(W) * H * 4);
	EXPECT_TRUE(colourNear(std::vector<uint8_t>(png.end() - 4, png.end()), 255, 0, 0, 255, 0));
	context->setRenderTarget(nullptr);
}

// The picture goes to a temporary file renamed over the earlier one: a
// process killed while writing leaves the earlier picture, not a truncated
// file. Once saved, nothing but the picture is left in the folder.
TEST_F(ScreenshotTest, ReplacesAnEarlierFileWholeLeavingNothingBeside) {
	paintHalves();
	const std::string path = tree.path("again.png");
	ASSERT_TRUE(test::writeFile(path, "an earlier picture"));
	const auto entries = [this] {
		const std::filesystem::directory_iterator all(tree.dir());
		return std::distance(begin(all), end(all));
	};
	const auto entriesBefore = entries();
	ASSERT_TRUE(context->saveScreenshot(path));
	int w = 0, h = 0;
	EXPECT_EQ(readPng(path, w, h).size(), size_t(W) * H * 4);
	EXPECT_EQ(entries(), entriesBefore);
}

TEST_F(ScreenshotTest, UnwritablePathIsFalse) {
	paintHalves();
	EXPECT_FALSE(context->saveScreenshot(tree.path("no-such-folder/shot.png")));
	EXPECT_FALSE(context->saveScreenshot(tree.dir()));
	context->saveScreenshot(lang::String(tree.path("virtual.png").c_str()));
	int w = 0, h = 0;
	EXPECT_EQ(readPng(tree.path("virtual.png"), w, h).size(), size_t(W) * H * 4);
}

TEST_F(GLES2Test, ContextDestroyedBeforeItsObjectsIsClean) {
	writeSolidPng("tex.png", 1, 2, 3);
	tree.writeTexturedEffect("late.fx");
	lang::Ptr<gr::Shader> shader = context->createShader("late", 0);
	lang::Ptr<gr::Primitive> quad = makeQuad();
	draw(shader, quad);
	lang::Ptr<gr::Texture> empty = context->createTexture(16, 16, gr::SurfaceFormat::A8R8G8B8, 0, 0);
	lang::Ptr<gr::Texture> loaded = context->loadTexture("tex.png");
	lang::Ptr<gr::Texture> missing = context->loadTexture("absent.png");
	context->setRenderTarget(empty);
	context->reflectionMap = empty;
	context->waterNormalMap = loaded;
	context->setRenderTarget(nullptr);
	lang::Ptr<gr::GLES2_Texture> keep = static_cast<gr::GLES2_Texture*>(loaded.ptr());
	context = nullptr;
	EXPECT_EQ(keep->context(), nullptr);
	test::GLCallRecorder recorder;
	empty = nullptr;
	loaded = nullptr;
	keep = nullptr;
	missing = nullptr;
	EXPECT_EQ(recorder.count("DeleteTextures"), 3);
	EXPECT_EQ(recorder.count("DeleteFramebuffers"), 0);
	// Shaders and primitives released late free only their own GL objects.
	shader = nullptr;
	quad = nullptr;
	EXPECT_EQ(recorder.count("DeleteProgram"), 1); // the effect went with its last shader
	EXPECT_EQ(recorder.count("DeleteBuffers"), 3);
}

TEST(GLES2ResolvePath, FileDirectoryAndBackslashes) {
	test::EffectTreeWriter tree;
	const std::string file = tree.write("sub/a.fx", "x");
	EXPECT_EQ(GLES2_Context::resolvePath("", file), file);
	EXPECT_EQ(GLES2_Context::resolvePath(tree.dir() + "sub/", "elsewhere\\a.fx"), tree.dir() + "sub/a.fx");
	std::string backslashed = tree.dir() + "sub\\a.fx";
	EXPECT_EQ(GLES2_Context::resolvePath("", backslashed), file);
	EXPECT_EQ(GLES2_Context::resolvePath("", "a.fx"), "");
	EXPECT_EQ(GLES2_Context::resolvePath(tree.dir(), "sub"), ""); // a folder is no file
}

} // namespace
