// The level logic inside a running session: a script waiting for the left
// mouse button sees only the presses that reach the game.
#include "SessionTest.h"
#include "app/LevelSession.h"
#include "support/GameDataWriter.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

namespace {

class LogicSessionTest : public apptest::SessionTest {
protected:
	void mouse(Uint32 type) {
		SDL_Event e{};
		e.type = type;
		e.button.button = SDL_BUTTON_LEFT;
		events.push(e);
	}
	float frameAndRead(lumaroll::LevelSession& session, const char* variable) {
		clock.now += 20;
		session.frame();
		return session.level().world()->getVariable(variable);
	}
};

TEST_F(LogicSessionTest, WaitForKeyPressFinishesOnAClickThatReachesTheGame) {
	test::SceneWriter level = test::testLevelScene();
	level.dummy("T_wait");
	level.userProperty("T_wait", test::TriggerScript().state(2).a("waitforkeypress,lmouse").a("set,clicked,1"));
	// The overlay takes input only once its GUI is up.
	testing::internal::CaptureStdout();
	ASSERT_TRUE(overlay.init(window));
	testing::internal::GetCapturedStdout();
	options.level = test::writeTestLevel(dir.path(), level);
	lumaroll::LevelSession session(app, options);
	testing::internal::CaptureStdout();
	session.start();
	const std::string out = testing::internal::GetCapturedStdout();
	EXPECT_NE(out.find("logic: 1 triggers, 0 warnings\n"), std::string::npos) << out;

	EXPECT_EQ(frameAndRead(session, "clicked"), 0.f);
	overlay.setMenuOpen(true); // the overlay takes the press
	mouse(SDL_MOUSEBUTTONDOWN);
	EXPECT_EQ(frameAndRead(session, "clicked"), 0.f);
	overlay.setMenuOpen(false);
	EXPECT_EQ(frameAndRead(session, "clicked"), 0.f);
	mouse(SDL_MOUSEBUTTONUP);
	EXPECT_EQ(frameAndRead(session, "clicked"), 0.f);
	mouse(SDL_MOUSEBUTTONDOWN);
	EXPECT_EQ(frameAndRead(session, "clicked"), 1.f);
	EXPECT_EQ(session.level().world()->getTriggerState("T_wait"), 1);
}

} // namespace
