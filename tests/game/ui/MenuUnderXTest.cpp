// The real program's in-game menu under Xvfb, driven by xdotool (the
// offscreen driver's windows get no real input): in the menu level a click
// anywhere opens the menu and the release of that click chooses nothing; a
// click on the first level's picture plays that level; in play, 'p', Right,
// Right and Return choose the same.
#include "app/LaunchOptions.h"
#include "game/app/ProgramFixture.h"
#include "game/app/TestMenuData.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>

namespace {

using test::xdotool;

// The size in points of the window on display, from xdotool's geometry;
// false when it cannot be read.
bool windowSize(const std::string& display, const std::string& window, int& width, int& height) {
	std::string shell;
	if (!xdotool(display, {"getwindowgeometry", "--shell", window}, &shell))
		return false;
	const auto value = [&](const std::string& name) {
		const size_t at = shell.find("\n" + name + "=");
		return at == std::string::npos ? 0 : std::atoi(shell.c_str() + at + name.size() + 2);
	};
	width = value("WIDTH");
	height = value("HEIGHT");
	return width > 0 && height > 0;
}

class MenuUnderXTest : public apptest::ProgramTest {};

TEST_F(MenuUnderXTest, AClickOpensTheMenuAndClicksOrKeysChooseTheFirstLevel) {
	if (!test::xdotoolInstalled())
		GTEST_SKIP() << "xdotool is not installed";
	test::XvfbDisplay display;
	if (!display.started())
		GTEST_SKIP() << display.error();

	const std::string level = test::writeTestLevel(dir.path());
	apptest::writeMenuData(dir / "data");
	test::writeFile(dir / "config/lumaroll/config.ini",
					"# Lumaroll settings\ngraphics.fps_limit=30\ngeneral.check_updates=0\n");
	test::RunningProcess game(test::lumarollBinary(), options({level, "--menu"}, {{"DISPLAY", display.name()},
																				  {"SDL_VIDEODRIVER", "x11"},
																				  {"SDL_VIDEO_X11_FORCE_EGL", "1"}}));
	ASSERT_TRUE(game.started());
	ASSERT_TRUE(game.waitForOutput("level loaded in ", 30000)) << game.output();
	const std::string window = test::findWindow(display.name(), "^Lumaroll$");
	ASSERT_FALSE(window.empty()) << "no window named Lumaroll";
	int width = 0, height = 0;
	ASSERT_TRUE(windowSize(display.name(), window, width, height)) << "no size of window " << window;

	// The menu lays its items out on a virtual screen 480 units high, as
	// wide as the window's aspect: the level pictures stand in a row at
	// y 243, 256 units apart, level 1 in the middle.
	const float pointsPerUnit = float(height) / 480.f;
	const float v = float(int(float(width) / pointsPerUnit + 0.5f));
	const auto click = [&](float x, float y) {
		return xdotool(display.name(), {"mousemove", "--window", window, std::to_string(int(x * pointsPerUnit)),
										std::to_string(int(y * pointsPerUnit)), "click", "1"});
	};
	const std::string anyChange = "--- level change: ";
	const std::string change = anyChange + lumaroll::dirWithSlash(level) + "level01.hgr (play) ---\n";

	// The opening click lands where the menu then shows level 2: had its
	// release counted, level 2 would have been chosen before level 1.
	ASSERT_TRUE(click(v / 2.f + 256.f, 243.f)) << game.output();
	ASSERT_TRUE(click(v / 2.f, 243.f)) << game.output();
	ASSERT_TRUE(game.waitForOutput(change, 20000)) << game.output();
	EXPECT_EQ(game.output().find(anyChange), game.output().find(change)) << game.output();

	// The first level plays in the same window; once it is loaded, the
	// keyboard way to the same choice.
	const size_t played = game.output().find(change) + change.size();
	ASSERT_TRUE(game.waitForOutput("level loaded in ", 30000, played)) << game.output();
	ASSERT_TRUE(xdotool(display.name(), {"key", "--window", window, "p", "Right", "Right", "Return"}));
	ASSERT_TRUE(game.waitForOutput(change, 20000, played)) << game.output();

	game.sendSignal(SIGTERM);
	const test::ProcessResult r = game.wait(30000);
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_FALSE(r.timedOut);
}

} // namespace
