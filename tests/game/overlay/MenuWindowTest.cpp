// The menu window and the widgets every tab uses, driven in-process on the
// offscreen window: its geometry, what the widgets write to config.ini (and
// that an idle menu writes nothing), drag, touch, wheel and fling scrolling
// of the content against the sliders under the pointer, the footer, the
// title, and the tab kept across a language change.
#include "MenuFixture.h"

#include "overlay/MenuMetrics.h"
#include "support/Files.h"
#include "support/TextureFileWriter.h"

#include <imgui.h>

#include <cmath>
#include <cstdio>

using namespace lumaroll;

namespace {

class MenuWindowTest : public overlaytest::MenuTest {};

TEST(MenuGeometryTest, WindowSizeFromDisplayAndScale) {
	struct Case {
		const char* name;
		float width, height, scale;
		bool compact;
		float expectedWidth, expectedHeight;
		bool titleBar;
	} cases[] = {
		{"full HD at 1.275", 1920.f, 1080.f, 1.275f, false, 1147.5f, 816.f, true},
		{"800 x 480 at 0.6528: 86 % of the height", 800.f, 480.f, 0.6528f, false, 587.52f, 412.8f, true},
		{"narrow display: 90 % of the width", 900.f, 1080.f, 1.275f, false, 810.f, 816.f, true},
		{"compact: the whole display", 800.f, 479.f, 0.7273f, true, 800.f, 479.f, false},
	};
	for (const Case& c : cases) {
		const MenuWindowLayout layout = menuWindowLayout(c.width, c.height, c.scale, c.compact);
		EXPECT_NEAR(layout.width, c.expectedWidth, 0.01f) << c.name;
		EXPECT_NEAR(layout.height, c.expectedHeight, 0.01f) << c.name;
		EXPECT_EQ(layout.titleBar, c.titleBar) << c.name;
	}
}

TEST_F(MenuWindowTest, TheDrawnWindowIsTheComputedOneCentred) {
	openMenu(800, 480);
	const MenuWindowLayout layout = menuWindowLayout(800.f, 480.f, overlay.menu().scale(), overlay.menu().compact());
	const FrameReport::Item w = shown("window");
	EXPECT_NEAR(w.width, layout.width, 1.f);
	EXPECT_NEAR(w.height, layout.height, 1.f);
	EXPECT_NEAR(w.x + w.width / 2, 400.f, 1.f);
	EXPECT_NEAR(w.y + w.height / 2, 240.f, 1.f);
}

TEST_F(MenuWindowTest, ACheckBoxAndASliderWriteTheirKeysAtOnce) {
	openMenu(800, 480);
	selectTab("controls");
	ASSERT_FALSE(test::fileExists(configPath())) << "selecting a tab writes nothing";
	click("controls.invert_y");
	EXPECT_EQ(config(), "# Lumaroll settings\ncontrols.invert_y=1\n");
	const FrameReport::Item s = shown("controls.camera_sensitivity");
	clickAt(int(s.x + s.width * 0.3f), centreY(s));
	const float stored = Settings::instance().getFloat("controls.camera_sensitivity", -1.f);
	ASSERT_GT(stored, 0.3f);
	ASSERT_LT(stored, 3.f);
	char text[32];
	std::snprintf(text, sizeof text, "%g", double(stored));
	EXPECT_EQ(config(),
			  std::string("# Lumaroll settings\ncontrols.camera_sensitivity=") + text + "\ncontrols.invert_y=1\n");
	EXPECT_EQ(shown("controls.camera_sensitivity").text, [&] {
		std::snprintf(text, sizeof text, "%.1f", double(stored));
		return std::string(text);
	}()) << "the slider shows one decimal";
}

// With LUMAROLL_TRACE a script finds the tabs, check boxes and the quit
// button by their traced places: each is traced once, where it is drawn,
// never with the empty place a tab bar gives its tabs in its first frame.
TEST_F(MenuWindowTest, TracedItemsStandWhereTheyAreDrawn) {
	env.set("LUMAROLL_TRACE", "1");
	ASSERT_TRUE(start(800, 480));
	watchFrames();
	overlay.setMenuOpen(true);
	testing::internal::CaptureStdout();
	frames(2);
	selectTab("controls");
	frames(2);
	const std::string out = testing::internal::GetCapturedStdout();
	for (const char* name : {"tab.game", "tab.controls", "controls.invert_y", "button.quit_game"}) {
		const std::string head = std::string("[trace] ") + name + " at ";
		const size_t at = out.find(head);
		ASSERT_NE(at, std::string::npos) << name << "\n" << out;
		EXPECT_EQ(out.find(head, at + 1), std::string::npos) << name << " traced twice\n" << out;
		float x = 0.f, y = 0.f, w = 0.f, h = 0.f;
		ASSERT_EQ(std::sscanf(out.c_str() + at + head.size(), "%f %f size %f %f", &x, &y, &w, &h), 4) << out;
		const FrameReport::Item item = shown(name);
		EXPECT_GT(w, 0.f) << name;
		EXPECT_GT(h, 0.f) << name;
		EXPECT_NEAR(x, item.x, 1.f) << name;
		EXPECT_NEAR(y, item.y, 1.f) << name;
	}
}

TEST_F(MenuWindowTest, AnOpenIdleMenuWritesNothing) {
	openMenu(800, 480);
	for (const char* tab : {"game", "controls", "graphics", "audio", "improvements", "about"}) {
		selectTab(tab);
		frames(100 / 6);
	}
	overlay.setImportScreen(true);
	frames(20);
	EXPECT_FALSE(test::fileExists(configPath())) << config();
}

// The controls tab with its touch rows is taller than the 800 x 480 window.
class ScrollTest : public MenuWindowTest {
protected:
	void SetUp() override {
		MenuWindowTest::SetUp();
		if (IsSkipped())
			return;
		Settings::instance().setString("controls.touch", "accelerometer");
		Settings::instance().setFloat("controls.camera_sensitivity", 1.5f);
		Settings::instance().setFloat("controls.tilt_sensitivity", 1.f);
		devices.touchDevices = 1;
		platform.devices = &devices;
		openMenu(800, 480);
		selectTab("controls");
		frames(2);
		ASSERT_GT(last.contentScrollMaxY, 40.f) << "the content must scroll";
	}
	float scroll() const { return last.contentScrollY; }
};

TEST_F(ScrollTest, AVerticalDragOnASliderScrollsAndKeepsItsValue) {
	const int travel = -int(std::ceil(10.f * overlay.menu().scale())) - 30;
	const FrameReport::Item s = shown("controls.camera_sensitivity");
	// The press lands far from the stored 1.5: the slider jumps there first.
	drag(int(s.x + s.width * 0.9f), centreY(s), 0, travel);
	EXPECT_GT(scroll(), 20.f);
	EXPECT_EQ(Settings::instance().getString("controls.camera_sensitivity", ""), "1.5");
	EXPECT_NE(config().find("controls.camera_sensitivity=1.5\n"), std::string::npos) << config();
}

TEST_F(ScrollTest, AHorizontalDragMovesTheSliderAndScrollsNothing) {
	const FrameReport::Item s = shown("controls.camera_sensitivity");
	drag(int(s.x + s.width * 0.5f), centreY(s), int(s.width * 0.4f), 4);
	EXPECT_EQ(scroll(), 0.f);
	EXPECT_GT(Settings::instance().getFloat("controls.camera_sensitivity", 0.f), 2.5f);
}

TEST_F(ScrollTest, APressOnTheScrollbarStripNeverDragScrolls) {
	const int x = int(overlay.scroll().area().x + overlay.scroll().area().width - 3.f);
	const int y = int(overlay.scroll().area().y + 20.f);
	feed({test::mouseMotion(x, y)});
	frame();
	feed({test::mouseButton(true, x, y)});
	frame();
	for (int step = 1; step <= 6; ++step) {
		feed({test::mouseMotion(x, y + 10 * step)});
		frame();
		EXPECT_FALSE(overlay.scroll().dragArmed());
		EXPECT_FALSE(overlay.scroll().dragScrolling());
	}
	feed({test::mouseButton(false, x, y + 60)});
	frames(2);
	EXPECT_EQ(overlay.scroll().velocity(), 0.f);
}

TEST_F(ScrollTest, AFlingStopsAtTheBottomAndAtTheTop) {
	for (float speed : {4000.f, -4000.f}) {
		overlay.scroll().fling(speed);
		int n = 0;
		while (overlay.scroll().velocity() != 0.f && n++ < 200)
			frame();
		frame();
		EXPECT_EQ(overlay.scroll().velocity(), 0.f) << speed;
		EXPECT_NEAR(scroll(), speed > 0.f ? last.contentScrollMaxY : 0.f, 0.5f) << speed;
	}
}

TEST_F(ScrollTest, ATouchSwipeAndTheWheelScroll) {
	const Uint32 touch = SDL_TOUCH_MOUSEID;
	const FrameReport::Item s = shown("controls.invert_y");
	const int x = centreX(s), y = centreY(s);
	overlay.handleEvent(test::mouseButton(true, x, y, SDL_BUTTON_LEFT, touch, 1000));
	overlay.handleEvent(test::mouseMotion(x, y - 30, touch, 1016));
	overlay.handleEvent(test::mouseButton(false, x, y - 30, SDL_BUTTON_LEFT, touch, 1300));
	EXPECT_FLOAT_EQ(overlay.scroll().pending(), 30.f);
	frames(2);
	EXPECT_NEAR(scroll(), 30.f, 0.5f);
	EXPECT_EQ(overlay.scroll().pending(), 0.f);
	EXPECT_EQ(Settings::instance().values().count("controls.invert_y"), 0u) << "a swipe never clicks";

	feed({test::mouseMotion(x, y)});
	frame();
	feed({test::mouseWheel(0, -1)});
	frames(2);
	EXPECT_GT(scroll(), 31.f);
}

TEST_F(ScrollTest, TheFooterStaysAtTheBottomWhileTheContentScrolls) {
	const FrameReport::Item w = shown("window");
	const float bottom = w.y + w.height - ImGui::GetStyle().WindowPadding.y;
	for (float speed : {0.f, 4000.f}) {
		overlay.scroll().fling(speed);
		frames(30);
		const FrameReport::Item b = shown("button.continue");
		EXPECT_NEAR(b.y + b.height, bottom, 1.f) << speed;
		EXPECT_NEAR(shown("button.quit_game").y, b.y, 0.5f) << speed;
	}
	EXPECT_GT(scroll(), 0.f);
}

TEST_F(MenuWindowTest, TheTitlePictureKeepsItsAspectAndTheSpace) {
	const std::string assets = dir / "assets";
	makeDirs(assets + "/title");
	test::writePng(assets + "/title/title.png", test::TextureImage::solid(800, 200, 200, 100, 50));
	setAssetDirs({assets, overlaytest::sourceAssets()});
	struct Case {
		const char* name;
		int width, height;
		bool compact;
		bool welcome;
		float limit; // times the scale
	} cases[] = {
		{"about tab", 1280, 720, false, false, 420.f},
		{"welcome page", 1280, 720, false, true, 520.f},
		{"welcome page narrower than the picture may be", 320, 800, true, true, 520.f},
	};
	for (const Case& c : cases) {
		env.set("LUMAROLL_MENU_COMPACT", c.compact ? "" : nullptr);
		openMenu(c.width, c.height);
		ASSERT_EQ(overlay.menu().title().width(), 800);
		overlay.setImportScreen(c.welcome);
		if (!c.welcome)
			selectTab("about");
		frames(2);
		const FrameReport::Item title = shown("title");
		const float space = shown("window").width - 2.f * ImGui::GetStyle().WindowPadding.x;
		EXPECT_LE(title.width, c.limit * overlay.menu().scale() + 0.5f) << c.name;
		EXPECT_LE(title.width, space) << c.name;
		EXPECT_TRUE(title.width > c.limit * overlay.menu().scale() - 0.5f || title.width > space - 40.f) << c.name;
		EXPECT_NEAR(title.height, title.width / 4.f, 0.5f) << c.name;
		overlay.shutdown();
	}
}

TEST_F(MenuWindowTest, WithoutAPictureTheTitleIsTextAtTwiceTheFontSize) {
	setAssetDirs({dir / "no-assets"});
	openMenu(1280, 720);
	ASSERT_EQ(overlay.menu().title().texture(), 0u);
	selectTab("about");
	const FrameReport::Item title = shown("title");
	EXPECT_EQ(title.text, "Lumaroll");
	const FrameReport::Item version = shown("about.version");
	EXPECT_NEAR(title.height, 2.f * version.height, 2.f);
}

TEST_F(MenuWindowTest, ContinueClosesTheMenuAndQuitCallsTheQuitAction) {
	openMenu(800, 480);
	click("button.quit_game"); // no quit action: nothing happens
	EXPECT_TRUE(overlay.menuOpen());
	int quits = 0;
	overlay.setQuitAction([&quits] { ++quits; });
	click("button.quit_game");
	EXPECT_EQ(quits, 1);
	EXPECT_TRUE(overlay.menuOpen());
	click("button.continue");
	EXPECT_FALSE(overlay.menuOpen());
	EXPECT_EQ(quits, 1);
}

TEST_F(MenuWindowTest, TheSelectedTabSurvivesALanguageChange) {
	test::writeFile(dir / "config/lumaroll/lang/de.lang", "tab.audio = Ton\naudio.volume = Lautstärke\n");
	openMenu(800, 480);
	selectTab("audio");
	Translations::instance().setLanguage("de");
	frames(2);
	EXPECT_EQ(shown("tab.audio").text, "selected");
	EXPECT_TRUE(drawn("audio.music_volume"));
}

} // namespace
