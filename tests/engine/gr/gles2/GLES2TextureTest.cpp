#include "GLES2Fixture.h"
#include "support/GLCallRecorder.h"

#include <gr/CubeTexture.h>
#include <gr/Palette.h>

namespace {

using gr::GLES2_Context;
using gr::GLES2_Texture;
using test::TextureImage;

GLES2_Texture* gles2(gr::Texture* texture) {
	return static_cast<GLES2_Texture*>(texture);
}

// Levels of a w x h chain halving down to (and including) the last size given.
std::vector<TextureImage> chain(int w, int h, int lastW, int lastH) {
	std::vector<TextureImage> levels;
	for (;;) {
		levels.push_back(TextureImage::solid(w, h, 10, 20, 30));
		if (w == lastW && h == lastH)
			break;
		w = w > 1 ? w / 2 : 1;
		h = h > 1 ? h / 2 : 1;
	}
	return levels;
}

std::vector<double> texImageLevels(const test::GLCallRecorder& recorder) {
	std::vector<double> levels;
	for (const auto& call : recorder.calls("TexImage2D"))
		levels.push_back(call.args[1]);
	return levels;
}

double texParameter(const test::GLCallRecorder& recorder, GLenum name) {
	double value = -1;
	for (const auto& call : recorder.calls("TexParameteri"))
		if (call.args[1] == name)
			value = call.args[2];
	return value;
}

TEST_F(GLES2Test, MissingTextureBecomesThePlaceholder) {
	testing::internal::CaptureStderr();
	lang::Ptr<gr::Texture> texture = context->loadTexture("maps\\wall.png");
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_EQ(err, "[gles2] texture 'maps\\wall.png': could not open maps\\wall.png\n");
	EXPECT_FALSE(gles2(texture)->isLoaded());
	EXPECT_EQ(texture->getWidth(), 8);
	EXPECT_EQ(texture->getHeight(), 8);
	EXPECT_EQ(context->loadCounters[GLES2_Context::TEXTURES_FAILED], 1);
	EXPECT_EQ(context->loadCounters[GLES2_Context::TEXTURES_LOADED], 0);

	// Drawn over the window, its 2 x 2 blocks are grey and magenta.
	tree.writeTexturedEffect("plain.fx", "enableculling = false;\n");
	lang::Ptr<gr::Shader> shader = context->createShader("plain", 0);
	shader->setTexture("BASEMAP", texture);
	drawQuadCentre(shader);
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(4, 4), 90, 90, 90, 255, 0));
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(20, 4), 255, 0, 255, 255, 0));
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(20, 20), 90, 90, 90, 255, 0));
}

TEST_F(GLES2Test, TextureNameFallsBackToThePvrInTheDirectory) {
	ASSERT_TRUE(test::writePvr(tree.path("wall.pvr"), {TextureImage::solid(4, 4, 1, 2, 3)}, 0));
	lang::Ptr<gr::Texture> texture = context->loadTexture("maps\\wall.png");
	EXPECT_TRUE(gles2(texture)->isLoaded());
	EXPECT_EQ(texture->getWidth(), 4);
	EXPECT_EQ(context->loadCounters[GLES2_Context::TEXTURES_LOADED], 1);
	EXPECT_EQ(texture->getFormat(), gr::SurfaceFormat(gr::SurfaceFormat::A8R8G8B8));
	EXPECT_EQ(texture->getRect(), gr::Rect(4, 4));
	void* pixels = &pixels;
	int pitch = 7;
	texture->getPixelData(&pixels, &pitch);
	EXPECT_EQ(pixels, nullptr);
	EXPECT_EQ(pitch, 0);
}

TEST_F(GLES2Test, MipLevelsUpload) {
	struct Case {
		const char* what;
		int w, h, lastW, lastH, declared;
		std::vector<double> levels;
		int generated;
	};
	const Case cases[] = {
		{"complete chain stays", 16, 8, 1, 1, 4, {0, 1, 2, 3, 4}, 0},
		{"chain ending at 2x1 is regenerated", 16, 8, 2, 1, 3, {0, 1, 2, 3}, 1},
		{"single level is regenerated", 8, 8, 8, 8, 0, {0}, 1},
		{"levels past 1x1 are not uploaded", 4, 4, 1, 1, 5, {0, 1, 2}, 0},
	};
	for (const Case& c : cases) {
		std::vector<TextureImage> levels = chain(c.w, c.h, c.lastW, c.lastH);
		while (int(levels.size()) < c.declared + 1)
			levels.push_back(TextureImage::solid(1, 1, 10, 20, 30));
		const std::string path = tree.path("mips.pvr");
		ASSERT_TRUE(test::writePvr(path, levels, c.declared)) << c.what;
		test::GLCallRecorder recorder;
		lang::Ptr<gr::Texture> texture = context->loadTexture(path.c_str());
		EXPECT_EQ(texImageLevels(recorder), c.levels) << c.what;
		EXPECT_EQ(recorder.count("GenerateMipmap"), c.generated) << c.what;
		EXPECT_EQ(texParameter(recorder, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR) << c.what;
		EXPECT_EQ(texParameter(recorder, GL_TEXTURE_WRAP_S), GL_REPEAT) << c.what;
		EXPECT_EQ(texParameter(recorder, GL_TEXTURE_MAG_FILTER), GL_LINEAR) << c.what;
		EXPECT_EQ(test::GLTestContext::takeErrors(), 0u) << c.what;
	}
}

TEST_F(GLES2Test, NonPowerOfTwoTextureHasNoMipMapsAndClamps) {
	const std::string path = tree.path("npot.pvr");
	ASSERT_TRUE(test::writePvr(path, chain(12, 8, 3, 2), 2));
	test::GLCallRecorder recorder;
	lang::Ptr<gr::Texture> texture = context->loadTexture(path.c_str());
	EXPECT_EQ(texImageLevels(recorder), std::vector<double>{0});
	EXPECT_EQ(recorder.count("GenerateMipmap"), 0);
	EXPECT_EQ(texParameter(recorder, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
	EXPECT_EQ(texParameter(recorder, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
	EXPECT_EQ(texParameter(recorder, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
	EXPECT_EQ(texture->getWidth(), 12);
}

TEST_F(GLES2Test, BottomUpFlagLeavesRowsAsStored) {
	// First two stored rows red, last two green; the bottom-up flag is set.
	TextureImage image = TextureImage::solid(4, 4, 255, 0, 0);
	for (size_t i = 32; i < image.rgba.size(); i += 4) {
		image.rgba[i] = 0;
		image.rgba[i + 1] = 255;
	}
	ASSERT_TRUE(test::writePvr(tree.path("flip.pvr"), {image}, 0, 0x10000));
	tree.writeTexturedEffect("plain.fx", "enableculling = false;\n");
	lang::Ptr<gr::Shader> shader = context->createShader("plain", 0);
	lang::Ptr<gr::Texture> texture = context->loadTexture("flip.pvr");
	shader->setTexture("BASEMAP", texture);
	drawQuadCentre(shader);
	// Texture coordinate v = 0 (the first stored row) is at the bottom of the quad.
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(W / 2, H / 4), 255, 0, 0, 255, 8));
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(W / 2, 3 * H / 4), 0, 255, 0, 255, 8));
}

TEST_F(GLES2Test, UploadSubImageReordersBgraAndIgnoresOtherFormats) {
	lang::Ptr<gr::Texture> texture = context->createTexture(4, 4, gr::SurfaceFormat::A8R8G8B8, 0, 0);
	// Rows of 3 pixels with a pitch of 16 bytes: blue, green, red, alpha.
	uint8_t block[2 * 16] = {};
	for (int row = 0; row < 2; ++row)
		for (int x = 0; x < 3; ++x) {
			uint8_t* p = block + row * 16 + x * 4;
			p[0] = 30;
			p[1] = 20;
			p[2] = 10;
			p[3] = 255;
		}
	{
		test::GLCallRecorder recorder;
		texture->uploadSubImage(1, 1, block, 16, 3, 2, gr::SurfaceFormat::R5G6B5);
		texture->uploadSubImage(1, 1, nullptr, 16, 3, 2, gr::SurfaceFormat::A8R8G8B8);
		EXPECT_TRUE(recorder.calls().empty());
	}
	texture->uploadSubImage(1, 1, block, 16, 3, 2, gr::SurfaceFormat::A8R8G8B8);
	context->setRenderTarget(texture);
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(3, 2), 10, 20, 30, 255, 0));
	context->setRenderTarget(nullptr);
}

TEST_F(GLES2Test, CubeTexturesAndPalettesHoldNothing) {
	lang::Ptr<gr::CubeTexture> cube = context->createCubeTexture("anything");
	EXPECT_EQ(cube->getWidth(), 1);
	EXPECT_EQ(cube->getHeight(), 1);
	EXPECT_EQ(cube->classId(), gr::ContextObject::CLASSID_CUBETEXTURE);
	lang::Ptr<gr::Palette> palette = context->createPalette(256);
	EXPECT_EQ(palette->getEntryCount(), 256);

	// A cube texture given to a sampler is never bound: the sampler gets its default.
	tree.writeTexturedEffect("cube.fx", "enableculling = false;\n");
	lang::Ptr<gr::Shader> shader = context->createShader("cube", 0);
	shader->setTexture("BASEMAP", cube);
	testing::internal::CaptureStderr();
	EXPECT_TRUE(colourNear(drawQuadCentre(shader), 255, 255, 255));
	testing::internal::GetCapturedStderr();
}

} // namespace
