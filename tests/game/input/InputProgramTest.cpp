// The real program under Xvfb, driven by xdotool: developer keys, the F12
// screenshot, going to the background and back, and SIGTERM.
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <csignal>

namespace {

using test::xdotool;

// How long a wait for a line or the end of the program may last: it only
// bounds a hang (a busy machine slows the program, not the outcome).
const int kDeadlineMs = 120000;

TEST(InputProgramTest, DeveloperKeysScreenshotAndBackgroundUnderX) {
	if (!test::xdotoolInstalled())
		GTEST_SKIP() << "xdotool is not installed";
	test::XvfbDisplay display;
	if (!display.started())
		GTEST_SKIP() << display.error();
	ASSERT_FALSE(test::lumarollBinary().empty()) << "the lumaroll program was not found";

	test::TempDir dir;
	const std::string level = test::writeTestLevel(dir.path());
	ASSERT_TRUE(test::makeDirs(dir / "work"));
	test::writeFile(dir / "config/lumaroll/config.ini",
					"# Lumaroll settings\ngraphics.fps_limit=30\ngeneral.check_updates=0\n");
	test::ProcessOptions o;
	o.args = {level, "--dev"};
	o.env = {{"DISPLAY", display.name()},
			 {"SDL_VIDEODRIVER", "x11"},
			 {"SDL_VIDEO_X11_FORCE_EGL", "1"},
			 {"SDL_AUDIODRIVER", "dummy"},
			 {"LUMAROLL_NO_AUDIO", "1"},
			 {"XDG_DATA_HOME", dir / "userdata"},
			 {"XDG_CONFIG_HOME", dir / "config"},
			 {"XDG_PICTURES_DIR", dir / "pictures"},
			 {"HOME", dir / "home"},
			 {"LUMAROLL_FONT", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
			 {"ASAN_OPTIONS", "detect_leaks=0:halt_on_error=1"}};
	o.workDir = dir / "work";
	test::RunningProcess game(test::lumarollBinary(), o);
	ASSERT_TRUE(game.started());
	ASSERT_TRUE(game.waitForOutput("level loaded in ", kDeadlineMs)) << game.output();
	const std::string window = test::findWindow(display.name(), "^Lumaroll$", kDeadlineMs);
	ASSERT_FALSE(window.empty()) << "no window named Lumaroll";
	auto key = [&](const char* name) { return xdotool(display.name(), {"key", "--window", window, name}); };

	// The test level's two cameras in the session's order, then the free view.
	ASSERT_TRUE(key("Tab") && key("Tab") && key("Tab"));
	ASSERT_TRUE(game.waitForOutput("camera: free\n", kDeadlineMs)) << game.output();
	const std::string& text = game.output();
	const size_t first = text.find("camera: ");
	const size_t start = text.find("camera: O_startcamera\n"), second = text.find("camera: cam2\n");
	ASSERT_NE(start, std::string::npos) << text;
	ASSERT_NE(second, std::string::npos) << text;
	EXPECT_EQ(first, std::min(start, second));

	// The free view again is the start camera's: the green ground on red.
	ASSERT_TRUE(key("F12"));
	ASSERT_TRUE(game.waitForOutput(".png\n", kDeadlineMs)) << game.output();
	const size_t saved = game.output().find("saved screenshot-");
	ASSERT_NE(saved, std::string::npos) << game.output();
	const std::string name = game.output().substr(saved + 6, game.output().find('\n', saved) - saved - 6);
	int w = 0, h = 0, channels = 0;
	unsigned char* rgb = stbi_load((dir / ("work/" + name)).c_str(), &w, &h, &channels, 3);
	ASSERT_NE(rgb, nullptr) << name;
	const unsigned char* middle = rgb + (static_cast<size_t>(h / 2) * w + w / 2) * 3;
	const unsigned char* corner = rgb + (static_cast<size_t>(2) * w + 2) * 3;
	EXPECT_TRUE(middle[1] > 200 && middle[0] < 60 && middle[2] < 60)
		<< "middle " << int(middle[0]) << "," << int(middle[1]) << "," << int(middle[2]);
	EXPECT_TRUE(corner[0] > 200 && corner[1] < 60 && corner[2] < 60)
		<< "corner " << int(corner[0]) << "," << int(corner[1]) << "," << int(corner[2]);
	stbi_image_free(rgb);

	ASSERT_TRUE(xdotool(display.name(), {"windowunmap", window}));
	EXPECT_TRUE(game.waitForOutput("app: in the background, game paused and audio muted\n", kDeadlineMs))
		<< game.output();
	// Mapped before it is given the focus: focusing a window that is not shown is an error.
	ASSERT_TRUE(xdotool(display.name(), {"windowmap", "--sync", window}));
	ASSERT_TRUE(xdotool(display.name(), {"windowfocus", window}));
	EXPECT_TRUE(game.waitForOutput("app: back in the foreground, audio resumed\n", kDeadlineMs)) << game.output();

	game.sendSignal(SIGTERM);
	const test::ProcessResult r = game.wait(kDeadlineMs);
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_FALSE(r.timedOut);
}

} // namespace
