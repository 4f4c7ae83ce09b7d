// The loading screen a level session draws while it loads, with the menu
// renderer's quads recorded from the GL calls: where each image lands, over
// white, and without the big picture when the level comes from the menu.
#include "app/LevelSession.h"
#include "game/app/SessionFixture.h"
#include "game/app/TestMenuData.h"
#include "support/GameDataWriter.h"
#include "support/ScopedEnv.h"

#include <gr/gles2/GLES2_Dispatch.h>

#include <gtest/gtest.h>

#include <array>

using namespace lumaroll;

namespace {

// Records, while it lives, the clear colour and the rectangle of every
// sprite quad (the "pos" uniform of each four-vertex strip), turned back
// into virtual units of an 800 x 480 viewport.
class QuadRecorder {
public:
	struct Quad {
		float x, y, w, h;
	};

	QuadRecorder() : saved(gr::gl) {
		quads().clear();
		clears().clear();
		gr::gl.Uniform4fv = [](GLint location, GLsizei count, const GLfloat* v) {
			lastPos() = {v[0], v[1], v[2], v[3]};
			glUniform4fv(location, count, v);
		};
		gr::gl.DrawArrays = [](GLenum mode, GLint first, GLsizei count) {
			if (mode == GL_TRIANGLE_STRIP && count == 4) {
				const auto& p = lastPos();
				quads().push_back({(p[0] + 1.f) * 400.f, (1.f - p[1]) * 240.f, p[2] * 400.f, -p[3] * 240.f});
			}
			glDrawArrays(mode, first, count);
		};
		gr::gl.ClearColor = [](GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
			clears().push_back({r, g, b, a});
			glClearColor(r, g, b, a);
		};
	}
	~QuadRecorder() { gr::gl = saved; }

	static std::vector<Quad>& quads() {
		static std::vector<Quad> q;
		return q;
	}
	static std::vector<std::array<float, 4>>& clears() {
		static std::vector<std::array<float, 4>> c;
		return c;
	}

private:
	static std::array<float, 4>& lastPos() {
		static std::array<float, 4> p{};
		return p;
	}
	gr::GLES2_Dispatch saved;
};

class LoadingScreenTest : public apptest::GLSceneTest {
protected:
	void SetUp() override {
		apptest::GLSceneTest::SetUp();
		if (IsSkipped())
			return;
		options.dataDir = data;
		options.level = test::writeTestLevel(dir.path());
		platform.app.drawableWidth = platform.window.drawableWidth = platform.window.width = 800;
		platform.app.drawableHeight = platform.window.drawableHeight = platform.window.height = 480;
	}

	// Starts a session (loading the level and drawing the loading screen).
	void start() {
		QuadRecorder recorder;
		LevelSession session(platform.app, options);
		testing::internal::CaptureStdout();
		session.start();
		testing::internal::GetCapturedStdout();
		quads = QuadRecorder::quads();
		clears = QuadRecorder::clears();
		presents = platform.window.presents;
	}

	// The quad expected for a menu image drawn with its pivot at (x, y).
	static void expectImageAt(const QuadRecorder::Quad& q, const char* name, float x, float y) {
		const apptest::MenuImage& image = apptest::menuImage(name);
		EXPECT_NEAR(q.x, x - float(image.pivotX), 1e-3) << name;
		EXPECT_NEAR(q.y, y - float(image.pivotY), 1e-3) << name;
		EXPECT_NEAR(q.w, float(image.w), 1e-3) << name;
		EXPECT_NEAR(q.h, float(image.h), 1e-3) << name;
	}

	test::ScopedEnv noAudio{{"LUMAROLL_NO_AUDIO", "1"}};
	LaunchOptions options;
	apptest::FakePlatform platform;
	std::vector<QuadRecorder::Quad> quads;
	std::vector<std::array<float, 4>> clears;
	int presents = 0;
};

TEST_F(LoadingScreenTest, PictureAndTextOverWhite) {
	apptest::writeMenuData(data);
	start();
	ASSERT_EQ(quads.size(), 2u);
	expectImageAt(quads[0], "LOADING_VESQA", 400.f, 225.f);
	expectImageAt(quads[1], "LOADING_TEXT", 800.f - 135.f, 451.f);
	ASSERT_FALSE(clears.empty());
	EXPECT_EQ(clears[0], (std::array<float, 4>{1.f, 1.f, 1.f, 1.f}));
	EXPECT_EQ(presents, 1);
}

TEST_F(LoadingScreenTest, FromTheMenuOnlyTheText) {
	apptest::writeMenuData(data);
	options.fromMenu = true;
	options.play = true;
	start();
	ASSERT_EQ(quads.size(), 1u);
	expectImageAt(quads[0], "LOADING_TEXT", 800.f - 135.f, 451.f);
}

TEST_F(LoadingScreenTest, NoneWithoutTheMenuAtlas) {
	apptest::MenuDataOptions noMenu;
	noMenu.menu = false;
	apptest::writeMenuData(data, noMenu);
	start();
	EXPECT_TRUE(quads.empty());
	EXPECT_EQ(presents, 0);
}

} // namespace
