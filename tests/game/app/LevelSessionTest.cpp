// The level session in-process on the offscreen window: loading, frame
// timing, pause, the render pass and what it leaves behind.
#include "SessionTest.h"
#include "app/LevelSession.h"
#include "overlay/Overlay.h"
#include "store/Settings.h"

#include "support/GLObjectCounter.h"
#include "support/GLCallRecorder.h"
#include "support/GameDataWriter.h"
#include "support/ScopedEnv.h"

#include <lang/Throwable.h>

#include <gtest/gtest.h>

using namespace lumaroll;

namespace {

class LevelSessionTest : public apptest::SessionTest {
protected:
	std::unique_ptr<LevelSession> started() {
		auto session = std::make_unique<LevelSession>(app, options);
		testing::internal::CaptureStdout();
		session->start();
		startOutput = testing::internal::GetCapturedStdout();
		return session;
	}

	void push(Uint32 type, Uint8 button) {
		SDL_Event e{};
		e.type = type;
		e.button.button = button;
		events.push(e);
	}

	std::string startOutput;
};

TEST_F(LevelSessionTest, LoadingReadsTheLevel) {
	auto session = started();
	EXPECT_NE(startOutput.find("fog: linear from 100 to 5000\n"), std::string::npos) << startOutput;
	EXPECT_NE(startOutput.find("hidden collision/trigger meshes: 1\n"), std::string::npos);
	EXPECT_NE(startOutput.find(" ms | textures: 1 ok, 0 failed | effects: 1 ok, 0 fallback\n"), std::string::npos)
		<< startOutput;
	const RunningLevel& level = session->level();
	EXPECT_EQ(level.clearColor(), 0xffff0000u);
	EXPECT_EQ(level.sceneCameras().size(), 2u);
	EXPECT_EQ(level.graphicsContext()->platform, 1);
	EXPECT_EQ(level.graphicsContext()->shaderDirectory, data + "/shaders/");
	// The start view is the start camera's.
	EXPECT_FLOAT_EQ(session->view().freeView().position.z, -500.f);
	EXPECT_FLOAT_EQ(session->view().freeView().position.y, 0.f);
	EXPECT_STREQ(level.camera()->getName().c_str(), "view");
	EXPECT_NEAR(level.camera()->getHorizontalFov(), 1.3f, 1e-4f);
}

TEST_F(LevelSessionTest, CameraOptionPicksTheStartView) {
	options.camera = "cam2";
	EXPECT_FLOAT_EQ(started()->view().freeView().position.y, 5000.f);
	options.camera = "nothere";
	auto session = started();
	EXPECT_FLOAT_EQ(session->view().freeView().position.y, 200.f);
	EXPECT_FLOAT_EQ(session->view().freeView().position.z, -600.f);
}

TEST_F(LevelSessionTest, FramesEndTheSessionAfterExactlyThatMany) {
	for (int frames : {1, 3}) {
		SCOPED_TRACE(::testing::Message() << frames << " frames");
		options.frames = frames;
		window.presents = 0;
		LevelSession session(app, options);
		testing::internal::CaptureStdout();
		const LevelResult result = session.run();
		testing::internal::GetCapturedStdout();
		EXPECT_TRUE(result.quit);
		EXPECT_TRUE(result.nextArgs.empty());
		EXPECT_FALSE(result.screenshotFailed);
		EXPECT_EQ(window.presents, frames) << "one present a frame";
	}
}

TEST_F(LevelSessionTest, ALongFrameAdvancesGameTimeByATenthAndPauseStopsIt) {
	auto session = started();
	clock.now += 2000;
	ASSERT_TRUE(session->frame());
	EXPECT_FLOAT_EQ(session->level().graphicsContext()->time, 0.1f);
	clock.now += 20;
	session->frame();
	EXPECT_FLOAT_EQ(session->level().graphicsContext()->time, 0.12f);
	overlay.setMenuOpen(true);
	clock.now += 50;
	session->frame();
	EXPECT_FLOAT_EQ(session->level().graphicsContext()->time, 0.12f);
}

TEST_F(LevelSessionTest, FrameLimitSleepsForTheRestOfTheFrame) {
	auto session = started();
	{
		apptest::ScopedSetting limit("graphics.fps_limit", "50");
		const std::uint32_t before = clock.now; // the manual clock stands still while the frame runs
		session->frame();
		EXPECT_EQ(clock.now - before, 20u);
	}
	apptest::ScopedSetting off("graphics.fps_limit", "0");
	const std::uint32_t before = clock.now;
	session->frame();
	EXPECT_EQ(clock.now, before);
}

TEST_F(LevelSessionTest, WhilePausedTheLogicStandsStill) {
	// The world writes "_dt" at the start of every update: while the overlay
	// is open it must not update at all, not even with no time passing.
	options.vars = {{"_dt", 5.f}};
	auto session = started();
	overlay.setMenuOpen(true);
	clock.now += 30;
	session->frame();
	EXPECT_EQ(session->level().world()->getVariable("_dt"), 5.f);
	overlay.setMenuOpen(false);
	clock.now += 30;
	session->frame();
	EXPECT_FLOAT_EQ(session->level().world()->getVariable("_dt"), 0.03f);
}

TEST_F(LevelSessionTest, ClickTakenByTheOverlayIsNoKeyPressForTheLogic) {
	// The overlay takes input only once its GUI is up.
	testing::internal::CaptureStdout();
	ASSERT_TRUE(overlay.init(window));
	testing::internal::GetCapturedStdout();
	auto session = started();
	overlay.setMenuOpen(true);
	push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
	session->frame();
	overlay.setMenuOpen(false); // the menu closes with the button still held
	session->frame();
	EXPECT_FALSE(session->level().world()->isKeyPressed("lmouse"));

	push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
	session->frame();
	EXPECT_TRUE(session->level().world()->isKeyPressed("lmouse"));
	overlay.setMenuOpen(true); // a release goes through even when the overlay takes it
	push(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
	session->frame();
	overlay.setMenuOpen(false);
	session->frame();
	EXPECT_FALSE(session->level().world()->isKeyPressed("lmouse"));
}

TEST_F(LevelSessionTest, ThePlatformSeamDrivesTheFrame) {
	// Held keys come from the key state (pushed key events would not change
	// SDL's), the drawable size from the window, and each frame is presented
	// once.
	auto session = started();
	const float z = session->view().freeView().position.z;
	keys.press(SDL_SCANCODE_W);
	clock.now += 100;
	ASSERT_TRUE(session->frame());
	EXPECT_NEAR(session->view().freeView().position.z, z + 40.f, 1e-3f); // 400 units a second, looking along +z
	keys.release(SDL_SCANCODE_W);

	window.drawableWidth = 48;
	window.drawableHeight = 32;
	clock.now += 16;
	ASSERT_TRUE(session->frame());
	EXPECT_EQ(app.drawableWidth, 48);
	EXPECT_EQ(session->level().graphicsContext()->width, 48);
	EXPECT_EQ(session->level().graphicsContext()->height, 32);
	EXPECT_EQ(window.presents, 2);
}

TEST_F(LevelSessionTest, OverlayQuitEndsTheSession) {
	auto session = started();
	ASSERT_TRUE(overlay.quitAction());
	overlay.quitAction()();
	EXPECT_FALSE(session->frame());
	EXPECT_TRUE(session->finish().quit);
	EXPECT_EQ(window.presents, 0) << "no frame";
}

TEST_F(LevelSessionTest, OverlayLetsGoOfTheSessionWhenItIsDestroyed) {
	{
		// Destroyed without finish(): as when an exception leaves run.
		auto session = started();
		EXPECT_NE(overlay.audio(), nullptr);
		EXPECT_TRUE(bool(overlay.quitAction()));
	}
	EXPECT_EQ(overlay.audio(), nullptr);
	EXPECT_FALSE(bool(overlay.quitAction()));

	options.frames = 1;
	LevelSession session(app, options);
	testing::internal::CaptureStdout();
	session.run();
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(overlay.audio(), nullptr);
	EXPECT_FALSE(bool(overlay.quitAction()));
}

TEST_F(LevelSessionTest, MissingLevelThrowsAnEngineException) {
	options.level = dir / "missing.hgr";
	overlay.setQuitAction([] {});
	LevelSession session(app, options);
	testing::internal::CaptureStdout();
	EXPECT_THROW(session.run(), lang::Throwable);
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(overlay.audio(), nullptr);
}

TEST_F(LevelSessionTest, RenderScaleTargetIsUsedBelowNinetyNinePercent) {
	auto session = started();
	// Whether a pass went through the render-scale target, and at what size:
	// the scene's viewport and the framebuffers bound for it.
	const auto scenePasses = [](const test::GLCallRecorder& gl, int size, bool offscreen) {
		bool viewport = false, bound = false;
		for (const test::GLCallRecorder::Call& call : gl.calls("Viewport"))
			viewport = viewport || (call.args[2] == size && call.args[3] == size);
		for (const test::GLCallRecorder::Call& call : gl.calls("BindFramebuffer"))
			bound = bound || call.args[1] != 0;
		return viewport && bound == offscreen;
	};
	{
		apptest::ScopedSetting scale("graphics.render_scale", "0.5");
		test::GLCallRecorder gl;
		session->frames().render(false, false, 0.f);
		EXPECT_TRUE(scenePasses(gl, 32, true)) << "a 32 x 32 pass through the target";
		EXPECT_EQ(session->level().graphicsContext()->defaultFramebuffer.id, 0);
		EXPECT_TRUE(pixelIs(32, 32, 0, 255, 0));
		EXPECT_TRUE(pixelIs(1, 1, 255, 0, 0));
		EXPECT_TRUE(pixelIs(63, 63, 255, 0, 0));
	}
	{
		apptest::ScopedSetting scale("graphics.render_scale", "0.995");
		test::GLCallRecorder gl;
		session->frames().render(false, false, 0.f);
		EXPECT_TRUE(scenePasses(gl, 64, false)) << "the whole window, no target";
		EXPECT_TRUE(pixelIs(32, 32, 0, 255, 0));
	}
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

TEST_F(LevelSessionTest, FadeCoversTheFrame) {
	auto session = started();
	session->level().world()->setFade(0, 1.f);
	session->frames().render(false, false, 0.f);
	for (int x : {0, 32, 63})
		EXPECT_TRUE(pixelIs(x, x, 255, 255, 255));
	session->level().world()->setFade(1, 2.f);
	session->frames().render(false, false, 0.f);
	EXPECT_TRUE(pixelIs(32, 32, 0, 0, 0));
}

TEST_F(LevelSessionTest, GLObjectsOfTheGameGoWithTheSession) {
	// Every program and framebuffer made while the session lives (the
	// level's, the fade's, the render-scale target's and the sky's) is
	// deleted with it.
	test::GLObjectCounter gl;
	{
		test::SceneWriter w = test::testLevelScene();
		w.userProperty("M_ground", "skybox=1");
		test::writeTestLevel(dir.path(), w);
		auto session = started();
		testing::internal::CaptureStdout();
		session->setup().setupSky();
		EXPECT_EQ(testing::internal::GetCapturedStdout(),
				  "sky: rendered separately, 4 vertices, 6 indices, texture BASEMAP\n");
		EXPECT_FALSE(session->level().scene()->findNode("M_ground")->isEnabled());
		apptest::ScopedSetting scale("graphics.render_scale", "0.5");
		session->level().world()->setFade(0, 0.5f);
		clock.now += 16;
		session->frame();
		// The level's, and the fade's, the render-scale target's and the sky's own.
		ASSERT_GE(gl.created(test::GLObjectCounter::Program), 4);
		ASSERT_GE(gl.created(test::GLObjectCounter::Framebuffer), 1);
	}
	EXPECT_EQ(gl.deleted(test::GLObjectCounter::Program), gl.created(test::GLObjectCounter::Program));
	EXPECT_EQ(gl.deleted(test::GLObjectCounter::Framebuffer), gl.created(test::GLObjectCounter::Framebuffer));
}

} // namespace
