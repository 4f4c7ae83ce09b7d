// The real program's overlay: its ready line on the offscreen driver, and a
// menu opened, photographed and quit with real key presses and a real click
// under Xvfb.
#include "PackageFixture.h"
#include "game/app/ProgramFixture.h"
#include "support/FakeCommand.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

// How long a wait for a line or the end of the program may last: it only
// bounds a hang (a busy machine slows the program, not the outcome).
const int kDeadlineMs = 120000;

// Where the overlay traced an item, "[trace] NAME at X Y size W H", in the
// program's output: the middle of it, or false when the whole line has not
// come yet.
bool tracedItemCentre(const std::string& out, const std::string& name, int& x, int& y) {
	const std::string head = "[trace] " + name + " at ";
	const size_t at = out.find(head);
	if (at == std::string::npos || out.find('\n', at) == std::string::npos)
		return false;
	float left = 0.f, top = 0.f, w = 0.f, h = 0.f;
	if (std::sscanf(out.c_str() + at + head.size(), "%f %f size %f %f", &left, &top, &w, &h) != 4)
		return false;
	x = int(left + w / 2);
	y = int(top + h / 2);
	return true;
}

class OverlayProgramTest : public apptest::ProgramTest {
protected:
	void SetUp() override {
		apptest::ProgramTest::SetUp();
		level = test::writeTestLevel(dir.path());
	}

	// The test level for three frames, with the overlay's font, layout and
	// language left to the program; extra goes last.
	test::ProcessOptions options(std::vector<std::pair<std::string, std::string>> extra) const {
		std::vector<std::pair<std::string, std::string>> env = {
			{"LUMAROLL_FONT", test::kUnset}, {"LUMAROLL_MENU_COMPACT", test::kUnset}, {"LANGUAGE", test::kUnset},
			{"LC_ALL", test::kUnset},		 {"LC_MESSAGES", test::kUnset},			  {"LANG", "C"}};
		env.insert(env.end(), extra.begin(), extra.end());
		return apptest::ProgramTest::options({level, "--frames", "3"}, std::move(env));
	}

	std::string level;
};

TEST_F(OverlayProgramTest, ReadyLineOfEachStartUp) {
	test::writeFile(dir / "config/lumaroll/lang/fr.lang", "button.continue = Continuer\n");
	test::writeFile(dir / "random.ttf", std::string(2048, '\x5a'));
	const std::string start = "port menu: ready (Esc, Back/View/- or a three finger tap), 96 dpi, ";
	struct Case {
		const char* name;
		std::vector<std::pair<std::string, std::string>> env;
		std::string line;
	} cases[] = {
		{"system font", {}, start + "font 14 px, language en\n"},
		{"compact asked for", {{"LUMAROLL_MENU_COMPACT", ""}}, start + "font 16 px, compact, language en\n"},
		{"no font file", {{"LUMAROLL_FONT", ""}}, start + "font 14 px (no system font), language en\n"},
		{"a font file that is no font",
		 {{"LUMAROLL_FONT", dir / "random.ttf"}},
		 start + "font 14 px (no system font), language en\n"},
		{"French system, French texts installed", {{"LANG", "fr_CA.UTF-8"}}, start + "font 14 px, language fr\n"},
	};
	for (const Case& c : cases) {
		const test::ProcessResult r = test::runProcess(test::lumarollBinary(), options(c.env));
		EXPECT_EQ(r.exitCode, 0) << c.name << r.out << r.err;
		EXPECT_NE(r.out.find(c.line), std::string::npos) << c.name << "\n" << r.out;
	}
}

using test::xdotool;

TEST_F(OverlayProgramTest, EscapeF2AndAClickOnQuitUnderX) {
	test::XvfbDisplay display;
	if (!display.started())
		GTEST_SKIP() << display.error();
	test::ProcessOptions o = options({{"DISPLAY", display.name()},
									  {"SDL_VIDEODRIVER", "x11"},
									  {"SDL_VIDEO_X11_FORCE_EGL", "1"},
									  {"LUMAROLL_TRACE", "1"},
									  {"LUMAROLL_FONT", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}});
	o.args = {level};
	test::RunningProcess game(test::lumarollBinary(), o);
	ASSERT_TRUE(game.started());
	ASSERT_TRUE(game.waitForOutput("port menu: ready", kDeadlineMs));
	const std::string window = test::findWindow(display.name(), "^Lumaroll$", kDeadlineMs);
	ASSERT_FALSE(window.empty()) << "no window named Lumaroll";

	ASSERT_TRUE(xdotool(display.name(), {"key", "--window", window, "Escape"}));
	ASSERT_TRUE(game.waitForOutput("[trace] button.quit_game at ", kDeadlineMs)) << "the menu did not open";
	ASSERT_TRUE(xdotool(display.name(), {"key", "--window", window, "F2"}));
	ASSERT_TRUE(game.waitForOutput("notice: ", kDeadlineMs)) << "no screenshot";

	// Where the menu put its quit button (its line came before the notice's).
	int x = 0, y = 0;
	ASSERT_TRUE(tracedItemCentre(game.output(), "button.quit_game", x, y)) << game.output();
	ASSERT_TRUE(
		xdotool(display.name(), {"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"}));
	const test::ProcessResult r = game.wait(kDeadlineMs);
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;

	const std::string shot = "screenshot: ";
	const size_t at = r.out.find(shot);
	ASSERT_NE(at, std::string::npos) << r.out;
	const std::string path = r.out.substr(at + shot.size(), r.out.find('\n', at) - at - shot.size());
	EXPECT_EQ(path.rfind(dir / "pictures/Lumaroll/lumaroll-", 0), 0u) << path;
	int pw = 0, ph = 0, channels = 0;
	unsigned char* rgb = stbi_load(path.c_str(), &pw, &ph, &channels, 3);
	ASSERT_NE(rgb, nullptr) << path;
	// The level shows a green quad at the centre; the menu window covers it with its dark blue.
	const unsigned char* centre = rgb + (size_t(ph / 2) * size_t(pw) + size_t(pw / 2)) * 3;
	EXPECT_LT(centre[0], 60);
	EXPECT_LT(centre[1], 80);
	EXPECT_GT(centre[2], centre[0]);
	stbi_image_free(rgb);
}

} // namespace

namespace {

// The import screen of the real program, and quitting while the update check waits.
class ImportProgramTest : public OverlayProgramTest {
protected:
	std::string notFoundLine() const {
		return "game data not found in " + (dir / "userdata") +
			   "/lumaroll: opening the import screen (or run with --import-deb file.deb)\n";
	}
};

TEST_F(ImportProgramTest, WithoutGameDataTheImportScreenRunsUntilSigterm) {
	test::ProcessOptions o = options({{"LUMAROLL_TRACE", "1"}});
	o.args = {"--frames", "5"};
	test::RunningProcess game(test::lumarollBinary(), o);
	ASSERT_TRUE(game.started());
	ASSERT_TRUE(game.waitForOutput(notFoundLine(), kDeadlineMs)) << game.output();
	ASSERT_TRUE(game.waitForOutput("port menu: ready", kDeadlineMs)) << game.output();
	// --frames counts level frames: the import screen has drawn its page and
	// waits for the user.
	ASSERT_TRUE(game.waitForOutput("[trace] game.import at ", kDeadlineMs)) << game.output();
	game.sendSignal(SIGTERM); // SDL turns it into a quit event
	const test::ProcessResult r = game.wait(kDeadlineMs);
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_FALSE(r.timedOut);
	EXPECT_EQ(r.out.find("level loaded in "), std::string::npos) << r.out;
}

TEST_F(ImportProgramTest, WithoutADisplayTheImportScreenIsNotShown) {
	struct Case {
		const char* name;
		std::vector<std::pair<std::string, std::string>> env;
		int exitCode;
	} cases[] = {
		{"SDL falls back to a driver of its own",
		 {{"SDL_VIDEODRIVER", test::kUnset}, {"DISPLAY", test::kUnset}, {"WAYLAND_DISPLAY", test::kUnset}},
		 1},
	};
	for (const Case& c : cases) {
		test::ProcessOptions o = options(c.env);
		o.args = {};
		const test::ProcessResult r = test::runProcess(test::lumarollBinary(), o, kDeadlineMs);
		EXPECT_FALSE(r.timedOut) << c.name;
		EXPECT_EQ(r.exitCode, c.exitCode) << c.name << r.out << r.err;
		EXPECT_NE(r.err.find("no display for the import screen: import the game data with --import-deb FILE.deb\n"),
				  std::string::npos)
			<< c.name << r.err;
		EXPECT_NE(r.out.find(notFoundLine()), std::string::npos) << c.name << r.out;
	}
}

TEST_F(ImportProgramTest, AClickOnImportUnderXImportsAndPlaysTheMenuLevel) {
	if (!test::haveDpkgDeb())
		GTEST_SKIP() << "dpkg-deb is not installed";
	test::XvfbDisplay display;
	if (!display.started())
		GTEST_SKIP() << display.error();
	const std::string package = dir / "game.deb";
	std::string log;
	ASSERT_TRUE(overlaytest::writeGamePackage(dir / "build", package, true, &log)) << log;
	test::FakeCommands tools;
	tools.add({"zenity", 0, package + "\n", "", 0});
	test::ProcessOptions o = options({{"DISPLAY", display.name()},
									  {"SDL_VIDEODRIVER", "x11"},
									  {"SDL_VIDEO_X11_FORCE_EGL", "1"},
									  {"LUMAROLL_TRACE", "1"},
									  {"PATH", tools.pathFirst()},
									  {"LUMAROLL_FONT", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}});
	o.args = {"--frames", "5"};
	test::RunningProcess game(test::lumarollBinary(), o);
	ASSERT_TRUE(game.started());
	ASSERT_TRUE(game.waitForOutput("[trace] game.import at ", kDeadlineMs)) << game.output();
	const size_t traced = game.output().find("[trace] game.import at ");
	ASSERT_TRUE(game.waitForOutput("\n", kDeadlineMs, traced)) << game.output();
	const std::string window = test::findWindow(display.name(), "^Lumaroll$", kDeadlineMs);
	ASSERT_FALSE(window.empty()) << "no window named Lumaroll";
	int x = 0, y = 0;
	ASSERT_TRUE(tracedItemCentre(game.output(), "game.import", x, y)) << game.output();
	ASSERT_TRUE(
		xdotool(display.name(), {"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"}));
	const test::ProcessResult r = game.wait(kDeadlineMs);
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_EQ(tools.calls("zenity"), 1);
	EXPECT_TRUE(test::fileExists(dir / "userdata/lumaroll/data/bundles/original/level01.hgr"));
	EXPECT_NE(r.out.find("level loaded in "), std::string::npos) << "the menu level ran: " << r.out;
}

// The check's curl answers only after a minute; the program is ended once
// the check has started it.
TEST_F(ImportProgramTest, QuittingWhileTheUpdateCheckWaitsEndsAtOnce) {
	test::FakeCommands tools;
	tools.add({"curl", 0, "https://github.com/lumaroll/lumaroll/releases/tag/v1.3.0", "", 60000});
	test::ProcessOptions o = options({{"PATH", tools.pathFirst()}});
	o.args = {level};
	test::RunningProcess game(test::lumarollBinary(), o);
	ASSERT_TRUE(game.started());
	ASSERT_TRUE(game.waitForOutput("port menu: ready", kDeadlineMs)) << game.output();
	for (int waited = 0; tools.calls("curl") == 0 && waited < kDeadlineMs; waited += 10)
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	ASSERT_EQ(tools.calls("curl"), 1) << "the check did not start";
	game.sendSignal(SIGTERM);
	const test::ProcessResult r = game.wait(kDeadlineMs);
	const bool curlEnded = tools.finished("curl");
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_FALSE(r.timedOut);
	EXPECT_FALSE(curlEnded) << "the program waited for the check";
	EXPECT_EQ(r.out.find("updates: "), std::string::npos) << r.out;
}

} // namespace
