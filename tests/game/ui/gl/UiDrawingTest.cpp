// The menu renderer on the offscreen GL context, drawing into framebuffer
// objects of 800 x 480 and 1920 x 1080: images and glyphs where the layout
// puts them, the screen copy and its blur, texture and program failures.
#include "support/DatWriter.h"
#include "support/FramebufferTarget.h"
#include "support/GLTestContext.h"
#include "support/TempDir.h"
#include "support/TextureFileWriter.h"
#include "ui/UiRenderer.h"

#include <gr/gles2/GLES2_Dispatch.h>

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace lumaroll;
using test::GLTestContext;

namespace {

using Target = test::FramebufferTarget;

const std::vector<int> kRed = {255, 0, 0};
const std::vector<int> kBlue = {0, 0, 255};

class UiDrawingTest : public testing::Test {
protected:
	void SetUp() override {
		REQUIRE_GL_CONTEXT();
		GLTestContext::takeErrors();
		// A 10 x 10 red image with its pivot in the middle.
		ASSERT_TRUE(test::writePng(dir / "red.png", test::TextureImage::solid(10, 10, 255, 0, 0)));
		ASSERT_TRUE((test::DatAtlas{"red.png", {{"RED", 0, 0, 10, 10, 5, 5}}, -1}).write(dir / "T.dat"));
		// A glyph 'A' of 14 x 16 pixels, white in columns 3 to 10.
		test::TextureImage glyphs = test::TextureImage::solid(16, 16, 255, 255, 255, 0);
		for (int y = 0; y < 16; ++y)
			for (int x = 3; x <= 10; ++x)
				glyphs.rgba[(size_t(y) * 16 + size_t(x)) * 4 + 3] = 255;
		ASSERT_TRUE(test::writePng(dir / "font.png", glyphs));
		ASSERT_TRUE((test::DatFont{"font.png", 16, 0, {{'A', 0, 0, 14, 16, 20}}, -1}).write(dir / "F.dat"));
	}
	void TearDown() override { glBindFramebuffer(GL_FRAMEBUFFER, 0); }

	test::TempDir dir;
};

TEST_F(UiDrawingTest, ImageLandsAroundItsPivotAtItsScale) {
	struct Case {
		int width, height;
		int first, last;   // pixel rows and columns inside the image
		int before, after; // the background just outside
	};
	// Virtual 90 to 110: at 2.25 pixels a unit 202.5 to 247.5, whose edge
	// pixels are partly covered.
	const Case cases[] = {{800, 480, 90, 109, 89, 110}, {1920, 1080, 203, 246, 201, 248}};
	for (const Case& c : cases) {
		UiRenderer ui;
		ASSERT_TRUE(ui.loadAtlas(dir / "T.dat"));
		Target target(c.width, c.height);
		target.clear(0.f, 0.f, 1.f);
		ui.begin(c.width, c.height);
		ui.drawImage("T", "RED", 100.f, 100.f, 1.f, 2.f);
		ui.drawImage("T", "NONE", 300.f, 300.f, 1.f, 1.f);
		ui.drawImage("NONE", "RED", 300.f, 300.f, 1.f, 1.f);
		ui.end();
		const int middle = (c.first + c.last) / 2;
		for (int i : {c.first, c.last}) {
			EXPECT_EQ(target.rgb(i, middle), kRed) << c.width << " column " << i;
			EXPECT_EQ(target.rgb(middle, i), kRed) << c.width << " row " << i;
		}
		for (int i : {c.before, c.after}) {
			EXPECT_EQ(target.rgb(i, middle), kBlue) << c.width << " column " << i;
			EXPECT_EQ(target.rgb(middle, i), kBlue) << c.width << " row " << i;
		}
		const int missing = 300 * c.height / 480;
		EXPECT_EQ(target.rgb(missing, missing), kBlue) << "missing images draw nothing";
		EXPECT_EQ(GLTestContext::takeErrors(), 0u);
	}
}

TEST_F(UiDrawingTest, GlyphStartsAtThePenAndBlendsByAlpha) {
	UiRenderer ui;
	ASSERT_TRUE(ui.loadFont(dir / "F.dat"));
	Target target(800, 480);
	target.clear(0.f, 0.f, 0.f);
	ui.begin(800, 480);
	ui.drawText("F", "A", 0, 0, 100.f, 100.f, 1.f);
	ui.drawText("F", "A", 0, 0, 100.f, 200.f, 0.5f);
	ui.end();
	const std::vector<int> white = {255, 255, 255};
	EXPECT_EQ(target.rgb(100, 108), white) << "the first opaque column lands on the pen";
	EXPECT_EQ(target.rgb(107, 108), white);
	EXPECT_EQ(target.rgb(99, 108), std::vector<int>({0, 0, 0}));
	EXPECT_EQ(target.rgb(108, 108), std::vector<int>({0, 0, 0}));
	const std::vector<int> half = target.rgb(103, 208);
	EXPECT_NEAR(half[0], 128, 1);
	EXPECT_EQ(GLTestContext::takeErrors(), 0u);
}

// Left half white, right half black, captured; the blurred copy at
// brightness 0.6 reads 153 and 0 away from the edge.
TEST_F(UiDrawingTest, BlurredCaptureInsideAndOutsideABatch) {
	UiRenderer ui;
	for (bool insideBatch : {false, true}) {
		Target target(800, 480);
		target.clear(0.f, 0.f, 0.f);
		glEnable(GL_SCISSOR_TEST);
		glScissor(0, 0, 400, 480);
		target.clear(1.f, 1.f, 1.f);
		glDisable(GL_SCISSOR_TEST);
		ui.begin(800, 480);
		EXPECT_FALSE(ui.hasValidCapture());
		ui.captureScreen();
		ui.end();
		EXPECT_TRUE(ui.hasValidCapture());

		// The session draws the backdrop after the scene, between batches,
		// with the depth test on.
		target.clear(0.f, 1.f, 0.f);
		glEnable(GL_DEPTH_TEST);
		if (insideBatch)
			ui.begin(800, 480);
		ui.drawBlurredCapture(4.f, 1.f, 0.6f);
		if (insideBatch)
			ui.end();
		for (int y : {10, 240, 470}) {
			const std::vector<int> left = target.rgb(100, y);
			EXPECT_NEAR(left[0], 153, 1) << insideBatch;
			EXPECT_NEAR(left[1], 153, 1) << insideBatch;
			EXPECT_EQ(target.rgb(700, y), std::vector<int>({0, 0, 0})) << insideBatch;
		}
		const std::vector<int> edge = target.rgb(399, 240);
		EXPECT_GT(edge[0], 0) << "the edge is blurred";
		EXPECT_LT(edge[0], 153);
		EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE) << "the state after end stays";
		EXPECT_EQ(GLTestContext::takeErrors(), 0u);
		ui.invalidateCapture();
		EXPECT_FALSE(ui.hasValidCapture());
	}
}

TEST_F(UiDrawingTest, CaptureFollowsTheViewportSize) {
	UiRenderer ui;
	ui.captureScreen();
	EXPECT_FALSE(ui.hasValidCapture()) << "nothing before a begin";
	{
		Target small(800, 480);
		ui.begin(800, 480);
		ui.captureScreen();
		ui.end();
		EXPECT_EQ(ui.captureWidth(), 800);
		EXPECT_EQ(ui.captureHeight(), 480);
	}
	Target large(1920, 1080);
	large.clear(1.f, 1.f, 1.f);
	ui.begin(1920, 1080);
	ui.captureScreen();
	ui.end();
	EXPECT_EQ(ui.captureWidth(), 1920);
	EXPECT_EQ(ui.captureHeight(), 1080);
	large.clear(0.f, 0.f, 0.f);
	ui.drawBlurredCapture(4.f, 0.f, 1.f);
	EXPECT_NEAR(large.rgb(1900, 1060)[0], 255, 1) << "the whole of the new size was copied";
	EXPECT_EQ(GLTestContext::takeErrors(), 0u);
}

TEST_F(UiDrawingTest, MissingTextureIsReportedAndKeepsTheEarlierRecord) {
	UiRenderer ui;
	ASSERT_TRUE(ui.loadAtlas(dir / "T.dat"));
	ASSERT_TRUE((test::DatAtlas{"missing.png", {{"OTHER", 0, 0, 1, 1, 0, 0}}, -1}).write(dir / "T.dat"));
	testing::internal::CaptureStderr();
	EXPECT_FALSE(ui.loadAtlas(dir / "T.dat"));
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "ui: could not load " + dir / "missing.png" + "\n");
	EXPECT_TRUE(ui.hasImage("T", "RED"));
	EXPECT_FALSE(ui.hasImage("T", "OTHER"));
	EXPECT_EQ(ui.imageWidth("T", "RED"), 10);
}

// Puts a broken source in place of the shader sources holding marker.
class BrokenShader {
public:
	explicit BrokenShader(const char* marker) : saved(gr::gl) {
		brokenMarker = marker;
		gr::gl.ShaderSource = [](GLuint shader, GLsizei count, const GLchar* const* sources, const GLint* lengths) {
			const char* broken = "this is not a shader";
			if (count == 1 && std::strstr(sources[0], brokenMarker))
				sources = &broken;
			glShaderSource(shader, count, sources, lengths);
		};
	}
	~BrokenShader() { gr::gl = saved; }

private:
	static const char* brokenMarker;
	gr::GLES2_Dispatch saved;
};
const char* BrokenShader::brokenMarker = "";

TEST_F(UiDrawingTest, SpriteProgramThatDoesNotBuildIsReportedOnceAndDrawsNothing) {
	UiRenderer ui;
	ASSERT_TRUE(ui.loadAtlas(dir / "T.dat"));
	Target target(800, 480);
	target.clear(0.f, 0.f, 1.f);
	BrokenShader broken("uniform float alpha");
	testing::internal::CaptureStderr();
	for (int frame = 0; frame < 3; ++frame) {
		ui.begin(800, 480);
		ui.drawImage("T", "RED", 100.f, 100.f, 1.f, 2.f);
		ui.end();
	}
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_EQ(err.rfind("ui: ", 0), 0u) << err;
	EXPECT_EQ(err.find("\nui: "), std::string::npos) << "one report: " << err;
	EXPECT_EQ(target.rgb(100, 100), kBlue);
	EXPECT_EQ(GLTestContext::takeErrors(), 0u);
}

TEST_F(UiDrawingTest, BlurProgramThatDoesNotBuildIsReportedOnceAndLeftOut) {
	UiRenderer ui;
	Target target(800, 480);
	target.clear(1.f, 1.f, 1.f);
	ui.begin(800, 480);
	ui.captureScreen();
	ui.end();
	target.clear(0.f, 0.f, 1.f);
	BrokenShader broken("uniform float sat");
	testing::internal::CaptureStderr();
	ui.drawBlurredCapture(4.f, 1.f, 0.6f);
	ui.drawBlurredCapture(4.f, 1.f, 0.6f);
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_EQ(err.rfind("ui: desenfoque: ", 0), 0u) << err;
	EXPECT_EQ(err.find("\nui: "), std::string::npos) << "one report: " << err;
	EXPECT_EQ(target.rgb(100, 100), kBlue);
	EXPECT_EQ(GLTestContext::takeErrors(), 0u);
}

} // namespace
