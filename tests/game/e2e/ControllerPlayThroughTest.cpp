// The play-through with a game controller instead of the keyboard, in-process
// on the offscreen window with a manual clock (every run plays the same
// frames): an SDL virtual pad opens the menu level's menu with START, picks
// level 1 with the d-pad and A, rolls the ball with the left stick into the
// gap and from the checkpoint over it with A to the end on the rail; A opens
// the menu over the results and level 2 is chosen the same way and ridden to
// its end. The sessions follow one another as in the program's level loop.
#include "app/LaunchOptions.h"
#include "app/LevelSession.h"
#include "game/app/SessionFixture.h"
#include "input/Controllers.h"
#include "logic/SceneWorld.h"
#include "overlay/Overlay.h"
#include "player/Player.h"
#include "store/Scores.h"
#include "support/Files.h"
#include "support/GamePackage.h"
#include "support/ScopedEnv.h"
#include "support/VirtualPad.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace layout = test::gamepackage;

// Frames of the manual clock: 60 a second.
const unsigned kFrameMs = 16;
// Below the slope's lower end: the ball is falling into the gap, where the
// fall volume soon puts it back at the checkpoint.
const float kFallenY = -150.f;

class ControllerPlayThroughTest : public apptest::GLSceneTest {
protected:
	void SetUp() override {
		GLSceneTest::SetUp();
		if (IsSkipped())
			return;
		std::string error;
		ASSERT_TRUE(test::writeGameData(data, &error)) << error;
		env.set("LUMAROLL_NO_AUDIO", "1");
		env.set("XDG_DATA_HOME", (dir / "userdata").c_str());
		ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
		SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
		platform.app.overlay = &overlay;
		// Earlier best distances short enough for the first level's ride to beat.
		ASSERT_TRUE(test::writeFile(dir / "userdata/lumaroll/level2.scores", "5\n3\n1\n"));
		// The menu level as the program starts it from the imported data.
		options.level = data + "/bundles/original/level01.hgr";
		options.menu = true;
		options.dataDir = data;
	}

	void TearDown() override {
		session.reset();
		overlay.shutdown();
		// The controller manager lets go of the pad it opened once it is unplugged.
		pad.detach();
		lumaroll::Controllers::instance().closeDetached();
		SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
	}

	// Starts the session of the current options.
	void startSession() {
		session = std::make_unique<lumaroll::LevelSession>(platform.app, options);
		testing::internal::CaptureStdout();
		session->start();
		output += testing::internal::GetCapturedStdout();
	}

	// One frame: what SDL queued from the pad goes to the session first. False
	// once the session stopped; then the next level's options are set as the
	// program's level loop sets them, and its session starts.
	bool frame() {
		SDL_Event e;
		while (SDL_PollEvent(&e))
			platform.events.queue.push_back(e);
		platform.clock.now += kFrameMs;
		testing::internal::CaptureStdout();
		const bool running = session->frame();
		output += testing::internal::GetCapturedStdout();
		if (running)
			return true;
		const lumaroll::LevelResult result = session->finish();
		session.reset();
		if (result.quit || result.nextArgs.empty())
			return false;
		options.resetForNextLevel();
		lumaroll::parseCommandLine(options, result.nextArgs);
		startSession();
		return false;
	}

	// Frames until done() holds; false when it did not within seconds.
	bool framesUntil(const std::function<bool()>& done, float seconds) {
		for (int i = 0; i < int(seconds * 1000.f / kFrameMs); ++i) {
			if (done())
				return true;
			frame();
		}
		return done();
	}

	// A button pressed for a few frames, then let go.
	void press(int button) {
		pad.setButton(button, true);
		for (int i = 0; i < 4; ++i)
			frame();
		pad.setButton(button, false);
		for (int i = 0; i < 4; ++i)
			frame();
	}

	lumaroll::Player* player() const { return session ? session->level().player() : nullptr; }
	math::Vector3 ball() const { return player()->ballPosition(); }

	test::ScopedEnv env;
	apptest::FakePlatform platform;
	lumaroll::Overlay overlay;
	lumaroll::LaunchOptions options;
	std::unique_ptr<lumaroll::LevelSession> session;
	std::string output;
	test::VirtualPad pad;
};

TEST_F(ControllerPlayThroughTest, APadPlaysBothLevelsFromTheMenu) {
	ASSERT_TRUE(pad.attached()) << pad.error();
	startSession();
	ASSERT_TRUE(framesUntil([&] { return lumaroll::Controllers::instance().controllers.size() == 1; }, 1.f));

	// START opens the menu; right twice selects level 1 (after the menu
	// level's picture), A chooses it.
	press(SDL_CONTROLLER_BUTTON_START);
	ASSERT_TRUE(session->events().menuOpen()) << output;
	press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
	press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
	pad.setButton(SDL_CONTROLLER_BUTTON_A, true);
	ASSERT_TRUE(framesUntil([&] { return options.play && session; }, 1.f)) << output;
	pad.setButton(SDL_CONTROLLER_BUTTON_A, false);
	ASSERT_NE(player(), nullptr) << output;
	EXPECT_EQ(options.level, data + "/bundles/original/level01.hgr");

	// The stick forward: the coin, the checkpoint, and into the gap.
	pad.setAxis(SDL_CONTROLLER_AXIS_LEFTY, -1.f);
	ASSERT_TRUE(framesUntil([&] { return ball().y < kFallenY; }, 5.f)) << "z " << ball().z;
	pad.setAxis(SDL_CONTROLLER_AXIS_LEFTY, 0.f);
	EXPECT_EQ(session->level().world()->getVariable("score"), 1.f);
	// The fall puts the ball back at the checkpoint.
	ASSERT_TRUE(framesUntil([&] { return ball().y > -10.f && ball().z < layout::kGapStartZ; }, 3.f))
		<< "y " << ball().y << " z " << ball().z;
	EXPECT_NEAR(ball().z, layout::kCheckpointZ, 60.f);

	// Forward again, A at the slope's jump hint: over the gap, onto the rail, to the end.
	pad.setAxis(SDL_CONTROLLER_AXIS_LEFTY, -1.f);
	ASSERT_TRUE(framesUntil([&] { return ball().z > 960.f; }, 3.f)) << "z " << ball().z;
	press(SDL_CONTROLLER_BUTTON_A);
	ASSERT_TRUE(framesUntil([&] { return player()->onRail() || ball().y < kFallenY; }, 4.f)) << "z " << ball().z;
	pad.setAxis(SDL_CONTROLLER_AXIS_LEFTY, 0.f);
	ASSERT_TRUE(player()->onRail()) << "the jump fell short at z " << ball().z;
	ASSERT_TRUE(framesUntil([&] { return session->level().world()->levelComplete; }, 5.f)) << "z " << ball().z;
	EXPECT_NE(output.find("*** level complete: 1 points ***\n"), std::string::npos) << output;
	for (int i = 0; i < 30; ++i)
		frame();
	// The ride's distance (some 11 m) heads the earlier best distances.
	const std::vector<int> best = lumaroll::readScores();
	ASSERT_EQ(best.size(), 3u);
	EXPECT_GT(best[0], 5);
	EXPECT_EQ(best[1], 5);
	EXPECT_EQ(best[2], 3);

	// A over the results opens the menu; right three times selects level 2.
	press(SDL_CONTROLLER_BUTTON_A);
	ASSERT_TRUE(session->events().menuOpen()) << output;
	for (int i = 0; i < 3; ++i)
		press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
	pad.setButton(SDL_CONTROLLER_BUTTON_A, true);
	ASSERT_TRUE(framesUntil([&] { return options.level == data + "/bundles/original/level02.hgr" && session; }, 1.f))
		<< output;
	pad.setButton(SDL_CONTROLLER_BUTTON_A, false);
	ASSERT_NE(player(), nullptr) << output;
	// Level 2 rides itself after its countdown.
	ASSERT_TRUE(framesUntil([&] { return session->level().world()->levelComplete; }, 15.f)) << "z " << ball().z;
}

} // namespace
