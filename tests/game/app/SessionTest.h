#ifndef TESTS_GAME_APP_SESSIONTEST_H
#define TESTS_GAME_APP_SESSIONTEST_H

#include "SessionFixture.h"
#include "app/LaunchOptions.h"
#include "overlay/Overlay.h"
#include "support/GameDataWriter.h"
#include "support/ScopedEnv.h"

namespace apptest {

// The test level, launch options for it, the platform fakes and an overlay
// that is not brought up, for tests that build level sessions.
class SessionTest : public GLSceneTest {
protected:
	void SetUp() override {
		GLSceneTest::SetUp();
		if (IsSkipped())
			return;
		noAudio.set("LUMAROLL_NO_AUDIO", "1");
		options.level = test::writeTestLevel(dir.path());
		options.dataDir = data;
		app.overlay = &overlay;
	}
	void TearDown() override {
		overlay.shutdown();
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	test::ScopedEnv noAudio;
	lumaroll::LaunchOptions options;
	FakePlatform platform;
	lumaroll::AppContext& app = platform.app;
	test::FakeWindow& window = platform.window;
	test::ScriptedEvents& events = platform.events;
	test::FakeKeys& keys = platform.keys;
	test::ManualClock& clock = platform.clock;
	lumaroll::Overlay overlay;
};

} // namespace apptest

#endif
