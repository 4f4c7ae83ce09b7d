// The overlay's frame against the game's: an idle overlay draws nothing, a
// drawing one leaves the GL state the level's next frame relies on, and the
// update notice comes once per run.
#include "OverlayFixture.h"

#include "game/app/SessionFixture.h"
#include "app/AppContext.h"
#include "app/LaunchOptions.h"
#include "app/LevelSession.h"
#include "overlay/UpdateCheck.h"
#include "support/GameDataWriter.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

using namespace lumaroll;

namespace {

class OverlayFrameTest : public overlaytest::OverlayTest {};

TEST_F(OverlayFrameTest, AClosedMenuWithNothingQueuedLeavesTheFramebufferAlone) {
	ASSERT_TRUE(start(800, 480));
	watchFrames();
	glClearColor(0.2f, 0.4f, 0.6f, 1.f);
	glClear(GL_COLOR_BUFFER_BIT);
	const std::vector<uint8_t> before = test::GLTestContext::pixels(0, 0, 800, 480);
	overlay.render();
	EXPECT_EQ(test::GLTestContext::pixels(0, 0, 800, 480), before);
	EXPECT_EQ(framesSeen, 0) << "no GUI frame ran";
}

TEST_F(OverlayFrameTest, TheUpdateNoticeIsQueuedOncePerRun) {
	platform.releaseQuery = [](const std::string&, const std::vector<std::string>&) {
		return std::string("https://github.com/lumaroll/lumaroll/releases/tag/v9.8.7");
	};
	ASSERT_TRUE(start(800, 480));
	ASSERT_EQ(overlay.updateCheck().state(), UpdateAvailable);
	testing::internal::CaptureStdout();
	for (int i = 0; i < 100; ++i) {
		if (i % 10 == 0)
			overlay.handleEvent(test::keyEvent(true, SDLK_ESCAPE));
		frame();
	}
	const std::string out = testing::internal::GetCapturedStdout();
	const std::string line = "notice: Lumaroll v9.8.7 is available\n";
	const size_t first = out.find(line);
	EXPECT_NE(first, std::string::npos) << out;
	EXPECT_EQ(out.find(line, first + 1), std::string::npos) << out;
}

class OverlayOverLevelTest : public apptest::GLSceneTest {
protected:
	void TearDown() override {
		overlay.shutdown();
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}
	test::ScopedEnv env{{"LUMAROLL_NO_AUDIO", "1"}, {"LUMAROLL_FONT", overlaytest::kDejaVu}};
	Overlay overlay;
};

TEST_F(OverlayOverLevelTest, ALevelFrameAfterAnOverlayFrameIsTheSameAsWithout) {
	LaunchOptions options;
	options.level = test::writeTestLevel(dir.path());
	options.dataDir = data;
	apptest::FakePlatform platform;
	AppContext& app = platform.app;
	app.overlay = &overlay;
	testing::internal::CaptureStdout();
	ASSERT_TRUE(overlay.init(platform.window));
	LevelSession session(app, options);
	session.start();
	testing::internal::GetCapturedStdout();

	const int w = test::GLTestContext::WIDTH, h = test::GLTestContext::HEIGHT;
	session.frames().render(false, false, 0.f);
	const std::vector<uint8_t> alone = test::GLTestContext::pixels(0, 0, w, h);
	testing::internal::CaptureStdout();
	overlay.notify("a notice", nullptr, 3.5f);
	testing::internal::GetCapturedStdout();
	overlay.setMenuOpen(true);
	overlay.render();
	overlay.setMenuOpen(false);
	overlay.render(); // the notice alone
	EXPECT_NE(test::GLTestContext::pixels(0, 0, w, h), alone) << "the overlay drew something";
	session.frames().render(false, false, 0.f);
	EXPECT_EQ(test::GLTestContext::pixels(0, 0, w, h), alone);
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

} // namespace
