// The six tabs in-process: every row as a user meets it (clicks, combos,
// drags), what it stores in config.ini, and what it changes at once: the
// update check, the language of the labels, the window, the audio engine of a
// running level, the environment the level logic reads, the desktop's browser.
#include "MenuFixture.h"

#include "app/LaunchOptions.h"
#include "app/LevelSession.h"
#include "audio/Audio.h"
#include "game/app/SessionFixture.h"
#include "overlay/Credits.h"
#include "overlay/SafeFormat.h"
#include "store/Scores.h"
#include "support/FakeCommand.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/VirtualPad.h"

#include <imgui.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <cerrno>
#include <cstring>
#include <thread>
#include <unistd.h>

using namespace lumaroll;

namespace {

class TabsTest : public overlaytest::MenuTest {
protected:
	// An answer of the update check's query that the test gives while the
	// check's thread waits for it; each answer is taken once. Without an
	// answer the query gives up after two minutes with none.
	class Answer {
	public:
		void give(const std::string& text) {
			std::lock_guard<std::mutex> lock(mutex);
			answer = text;
			given = true;
			changed.notify_all();
		}
		std::string wait() {
			std::unique_lock<std::mutex> lock(mutex);
			changed.wait_for(lock, std::chrono::minutes(2), [this] { return given; });
			given = false;
			return answer;
		}

	private:
		std::mutex mutex;
		std::condition_variable changed;
		std::string answer;
		bool given = false;
	};

	static std::string tr(const char* key) { return Translations::instance().get(key); }
	static bool hasLine(const std::string& text, const std::string& line) {
		return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
	}
	// Drags the slider's grab from its right end leftwards, a pixel a frame,
	// until it shows text; false when it never did.
	bool slideLeftUntil(const std::string& name, const std::string& text) {
		const FrameReport::Item s = shown(name);
		int x = int(s.x + s.width - 2.f);
		const int y = centreY(s);
		feed({test::mouseMotion(x, y)});
		frame();
		feed({test::mouseButton(true, x, y)});
		frame();
		while (shown(name).text != text && x > s.x) {
			feed({test::mouseMotion(--x, y)});
			frame();
		}
		feed({test::mouseButton(false, x, y)});
		frames(2);
		return shown(name).text == text;
	}
	std::string scoresFile() const { return dataDir() + "/level2.scores"; }
};

TEST_F(TabsTest, RecordsAndTheirTwoPressClear) {
	openMenu(1280, 720);
	EXPECT_EQ(shown("records.1").text, "1. 3500 m");
	EXPECT_EQ(shown("records.2").text, "2. 2000 m");
	EXPECT_EQ(shown("records.3").text, "3. 1000 m");
	EXPECT_FALSE(drawn("records.4"));
	EXPECT_FALSE(drawn("game.records_clear")) << "the default scores cannot be cleared";

	test::writeFile(scoresFile(), "4000\n");
	frames(2);
	EXPECT_EQ(shown("records.1").text, "1. 3500 m") << "the file is read when the menu opens";
	overlay.setMenuOpen(false);
	frame();
	overlay.setMenuOpen(true);
	frames(2);
	EXPECT_EQ(shown("records.1").text, "1. 4000 m");
	ASSERT_EQ(shown("game.records_clear").text, tr("game.records_clear"));
	click("game.records_clear");
	EXPECT_EQ(shown("game.records_clear").text, tr("game.records_confirm"));
	EXPECT_TRUE(test::fileExists(scoresFile())) << "the first press only asks";
	testing::internal::CaptureStdout();
	click("game.records_clear");
	EXPECT_NE(testing::internal::GetCapturedStdout().find("notice: " + tr("notice.records_cleared") + "\n"),
			  std::string::npos);
	EXPECT_FALSE(test::fileExists(scoresFile()));
	EXPECT_FALSE(drawn("game.records_clear"));
	EXPECT_FALSE(overlay.gameTab().clearPending());
}

// Between the two presses something else took the file's place: it stays,
// the user is told why, and the list shows what the disk now holds.
TEST_F(TabsTest, AClearThatCannotRemoveTheFileSaysWhy) {
	test::writeFile(scoresFile(), "4000\n");
	openMenu(1280, 720);
	ASSERT_EQ(shown("records.1").text, "1. 4000 m");
	click("game.records_clear");
	ASSERT_TRUE(overlay.gameTab().clearPending());
	ASSERT_EQ(unlink(scoresFile().c_str()), 0);
	ASSERT_TRUE(test::makeDirs(scoresFile() + "/kept"));
	testing::internal::CaptureStdout();
	testing::internal::CaptureStderr();
	click("game.records_clear");
	const std::string out = testing::internal::GetCapturedStdout();
	const std::string err = testing::internal::GetCapturedStderr();
	const std::string why = std::strerror(EISDIR);
	EXPECT_EQ(err, "scores: could not remove " + scoresFile() + ": " + why + "\n");
	EXPECT_EQ(out, "notice: " + formatText(tr("notice.records_not_cleared"), {why}) + "\n");
	EXPECT_EQ(tr("notice.records_not_cleared"), "Best distances could not be cleared: %s");
	EXPECT_TRUE(test::isDirectory(scoresFile() + "/kept"));
	EXPECT_EQ(shown("records.1").text, "1. 3500 m") << "a folder reads as the default list";
	EXPECT_FALSE(overlay.gameTab().clearPending());
}

TEST_F(TabsTest, TheImportButtonWithoutAnyFileDialog) {
	test::FakeCommands none;
	env.set("PATH", none.dir().c_str());
	openMenu(1280, 720);
	EXPECT_FALSE(drawn("game.import_message"));
	click("game.import");
	EXPECT_EQ(shown("game.import_message").text, tr("game.no_picker"));
	EXPECT_EQ(overlay.importPage().message(), tr("game.no_picker"));
	overlay.setMenuOpen(false);
	frame();
	overlay.setMenuOpen(true);
	frames(2);
	EXPECT_EQ(shown("game.import_message").text, tr("game.no_picker")) << "the message stays across openings";
}

TEST_F(TabsTest, TheUpdateRowFollowsTheBoxAndTheCheck) {
	test::FakeCommands tools;
	tools.add({"curl", 0, "https://github.com/lumaroll/lumaroll/releases/tag/v1.3.0", "", 0});
	tools.add({"xdg-open", 0, "", "", 0});
	env.set("PATH", tools.pathFirst().c_str());
	Settings::instance().setBool("general.check_updates", false);
	openMenu(1280, 720);
	const UpdateCheck& updates = overlay.updateCheck();
	EXPECT_EQ(updates.state(), UpdateIdle) << "a stored 0 starts no check";
	EXPECT_EQ(shown("game.update_status").text, tr("game.update_disabled"));

	testing::internal::CaptureStdout();
	click("general.check_updates");
	for (int i = 0; i < 12000 && updates.state() == UpdateChecking; ++i)
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(tools.calls("curl"), 1);
	EXPECT_TRUE(hasLine(config(), "general.check_updates=1")) << config();
	click("general.check_updates");
	EXPECT_TRUE(hasLine(config(), "general.check_updates=0")) << config();
	EXPECT_EQ(updates.state(), UpdateAvailable) << "turning it off stops nothing";
	EXPECT_EQ(shown("game.update_status").text, formatText(tr("game.update_available"), {"v1.3.0"}));
	click("general.check_updates");
	EXPECT_EQ(tools.calls("curl"), 1) << "a check runs once per run";

	click("game.update_download");
	ASSERT_TRUE(tools.waitForCalls("xdg-open", 1, 120000));
	EXPECT_EQ(tools.arguments("xdg-open"), std::vector<std::string>{updates.releasePageUrl()});
	EXPECT_EQ(updates.releasePageUrl(), "https://github.com/lumaroll/lumaroll/releases/tag/v1.3.0");
}

// The check's query answered by the test: each state of the check as the row shows it.
TEST_F(TabsTest, UpdateStatesShownInTheRow) {
	std::shared_ptr<Answer> answer = std::make_shared<Answer>();
	platform.releaseQuery = [answer](const std::string&, const std::vector<std::string>&) { return answer->wait(); };
	const std::string tagPage = "https://github.com/lumaroll/lumaroll/releases/tag/";
	struct Case {
		std::string answer; // where the latest-release address leads (the running version is 1.2.0)
		int state;
		std::string text;
		bool download;
	} cases[] = {
		{tagPage + "v1.2.0", UpdateCurrent, tr("game.update_latest"), false},
		{"", UpdateFailed, tr("game.update_failed"), false},
		{tagPage + "v2.0.0", UpdateAvailable, formatText(tr("game.update_available"), {"v2.0.0"}), true},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.state);
		Settings::instance().setBool("general.check_updates", false);
		openMenu(1280, 720);
		testing::internal::CaptureStdout();
		click("general.check_updates"); // starts the check, whose query waits for the answer
		EXPECT_EQ(overlay.updateCheck().state(), UpdateChecking);
		EXPECT_EQ(shown("game.update_status").text, tr("game.update_checking"));
		EXPECT_FALSE(drawn("game.update_download"));
		answer->give(c.answer);
		for (int i = 0; i < 12000 && overlay.updateCheck().state() == UpdateChecking; ++i)
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
		testing::internal::GetCapturedStdout();
		ASSERT_EQ(overlay.updateCheck().state(), c.state);
		frames(2);
		EXPECT_EQ(shown("game.update_status").text, c.text);
		EXPECT_EQ(drawn("game.update_download"), c.download);
		overlay.shutdown();
	}
}

class LanguageRowTest : public TabsTest {
protected:
	void SetUp() override {
		TabsTest::SetUp();
		if (IsSkipped())
			return;
		const std::string lang = dir / "assets/lang/";
		test::writeFile(lang + "languages", "en\nde\nxa\nxb\n");
		test::writeFile(lang + "de.lang", "language.name = Deutsch\nbutton.continue = Weiter\n");
		test::writeFile(lang + "xa.lang", "language.name = Zwilling\nbutton.continue = A\n");
		test::writeFile(lang + "xb.lang", "language.name = Zwilling\nbutton.continue = B\n");
		setAssetDirs({dir / "assets", overlaytest::sourceAssets()});
	}
};

TEST_F(LanguageRowTest, AnUninstalledLanguageShowsTheAutomaticEntryWithNothingSelected) {
	Settings::instance().setString("general.language", "xx");
	openMenu(1280, 720);
	EXPECT_EQ(shown("general.language").text, tr("game.language_auto"));
	click("general.language");
	for (const char* entry : {"auto", "en", "de", "xa", "xb"})
		EXPECT_EQ(shown(std::string("general.language=") + entry).text, "") << entry;
}

TEST_F(LanguageRowTest, AChoiceIsStoredAndTheRestOfThatFrameIsInTheNewLanguage) {
	openMenu(1280, 720);
	std::string continueInTheChoosingFrame;
	overlay.setFrameReport([&](const FrameReport& r) {
		last = r;
		if (continueInTheChoosingFrame.empty() && Settings::instance().getString("general.language", "") == "de")
			continueInTheChoosingFrame = r.find("button.continue")->text;
	});
	choose("general.language", "general.language=de");
	EXPECT_TRUE(hasLine(config(), "general.language=de")) << config();
	EXPECT_EQ(continueInTheChoosingFrame, "Weiter");
	EXPECT_EQ(shown("general.language").text, "Deutsch");
	EXPECT_EQ(Translations::instance().language, "de");
}

TEST_F(LanguageRowTest, LanguagesWithTheSameNameStaySeparate) {
	openMenu(1280, 720);
	for (const char* code : {"xb", "xa", "xb"}) {
		choose("general.language", std::string("general.language=") + code);
		EXPECT_EQ(Settings::instance().getString("general.language", ""), code);
		EXPECT_EQ(shown("button.continue").text, code == std::string("xa") ? "A" : "B") << code;
	}
}

TEST_F(TabsTest, ControlsRowsAndConnectedControllers) {
	openMenu(1280, 720);
	selectTab("controls");
	EXPECT_EQ(shown("controls.camera_sensitivity").text, "1.0");
	EXPECT_EQ(shown("controls.invert_y").text, "0");
	EXPECT_EQ(shown("controls.deadzone").text, "0.22");
	EXPECT_EQ(shown("controls.vibration").text, "1");
	struct Case {
		const char* key;
		float right, left;
	} ranges[] = {{"controls.camera_sensitivity", 3.f, 0.3f}, {"controls.deadzone", 0.5f, 0.05f}};
	for (const Case& c : ranges) {
		const FrameReport::Item s = shown(c.key);
		clickAt(int(s.x + s.width + 20.f), centreY(s)); // beyond the end: nothing
		EXPECT_EQ(Settings::instance().values().count(c.key), 0u) << c.key;
		drag(int(s.x + s.width * 0.5f), centreY(s), int(s.width), 0);
		EXPECT_FLOAT_EQ(Settings::instance().getFloat(c.key, 0.f), c.right) << c.key;
		drag(int(s.x + s.width * 0.5f), centreY(s), -int(s.width), 0);
		EXPECT_FLOAT_EQ(Settings::instance().getFloat(c.key, 0.f), c.left) << c.key;
	}
	EXPECT_EQ(shown("controls.connected").text, tr("controls.none_connected"));

	{
		test::VirtualPad pad("Virtual Pad");
		ASSERT_TRUE(pad.attached()) << pad.error();
		frames(2);
		EXPECT_EQ(shown("controls.connected").text, "Virtual Pad");
	}
	frames(2);
	EXPECT_EQ(shown("controls.connected").text, tr("controls.none_connected"));
}

TEST_F(TabsTest, TouchRowsOnlyWithATouchDevice) {
	platform.devices = &devices;
	openMenu(1280, 720);
	selectTab("controls");
	EXPECT_FALSE(drawn("controls.touch")) << "no touch device, no touch section";
	EXPECT_FALSE(drawn("controls.calibrate"));

	devices.touchDevices = 1;
	frames(2);
	EXPECT_EQ(shown("controls.touch").text, tr("controls.touch_modern"));
	EXPECT_FALSE(drawn("controls.tilt_sensitivity"));
	click("controls.touch");
	const FrameReport::Item entry = shown("controls.touch=accelerometer");
	feed({test::mouseMotion(centreX(entry), centreY(entry))});
	frame();
	feed({test::mouseButton(true, centreX(entry), centreY(entry)),
		  test::mouseButton(false, centreX(entry), centreY(entry))});
	int n = 0;
	while (Settings::instance().getString("controls.touch", "") != "accelerometer" && n++ < 5)
		frame();
	ASSERT_EQ(Settings::instance().getString("controls.touch", ""), "accelerometer");
	EXPECT_FALSE(drawn("controls.tilt_sensitivity")) << "not in the frame of the choice";
	frame();
	EXPECT_EQ(shown("controls.tilt_sensitivity").text, "1.0");
	EXPECT_EQ(shown("controls.tilt_invert_x").text, "0");
	EXPECT_EQ(shown("controls.tilt_camera").text, tr("controls.tilt_camera_follow"));
	choose("controls.tilt_camera", "controls.tilt_camera=fixed");
	EXPECT_TRUE(hasLine(config(), "controls.tilt_camera=fixed")) << config();

	click("controls.calibrate"); // no callback: nothing
	EXPECT_TRUE(overlay.notices().empty());
	int calibrations = 0;
	overlay.setCalibrateAction([&calibrations] { ++calibrations; });
	testing::internal::CaptureStdout();
	click("controls.calibrate");
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(calibrations, 1);
	ASSERT_EQ(overlay.notices().queued().size(), 1u);
	EXPECT_EQ(overlay.notices().queued()[0].text, tr("controls.calibrated"));
}

TEST_F(TabsTest, GraphicsFollowsTheWindow) {
	openMenu(800, 480);
	selectTab("graphics");
	EXPECT_EQ(shown("graphics.resolution").text, "800 x 480");
	EXPECT_EQ(shown("graphics.fullscreen").text, "0");
	overlay.handleEvent(test::keyEvent(true, SDLK_F11));
	frames(2);
	EXPECT_EQ(shown("graphics.fullscreen").text, "1") << "F11 shows in the box";
	click("graphics.fullscreen");
	EXPECT_EQ(SDL_GetWindowFlags(window->window()) & SDL_WINDOW_FULLSCREEN, 0u);
	EXPECT_EQ(shown("graphics.fullscreen").text, "0");
	EXPECT_TRUE(hasLine(config(), "graphics.fullscreen=0")) << config();
	Settings::instance().setString("graphics.fullscreen", "1"); // a stored value never overrides the window
	frames(2);
	EXPECT_EQ(shown("graphics.fullscreen").text, "0");

	click("graphics.vsync");
	EXPECT_TRUE(hasLine(config(), "graphics.vsync=0")) << config();
	EXPECT_EQ(SDL_GL_GetSwapInterval(), 0);
	click("graphics.vsync");
	EXPECT_TRUE(hasLine(config(), "graphics.vsync=1")) << config();
	EXPECT_EQ(SDL_GL_GetSwapInterval(), 1);
}

TEST_F(TabsTest, RenderScaleInPercent) {
	Settings::instance().setString("graphics.render_scale", "0.853");
	openMenu(800, 480);
	selectTab("graphics");
	EXPECT_EQ(shown("graphics.render_scale").text, "85%");
	// A vertical drag that starts on it gives the stored value back.
	const FrameReport::Item s = shown("graphics.render_scale");
	drag(int(s.x + s.width - 4.f), centreY(s), 0, -int(30.f * overlay.menu().scale()) - 10);
	EXPECT_TRUE(hasLine(config(), "graphics.render_scale=0.853")) << config();
	Settings::instance().setString("graphics.render_scale", "1");
	frames(2);
	ASSERT_TRUE(slideLeftUntil("graphics.render_scale", "85%"));
	EXPECT_TRUE(hasLine(config(), "graphics.render_scale=0.85")) << config();
}

// Every settings slider shows the value its reader uses (clamped to the
// slider's range, the default for a NaN or an infinity), whatever text is
// stored; drawing writes nothing, and only a move of the slider does.
TEST_F(TabsTest, SlidersShowTheValueInForceAndWriteNothingUntilMoved) {
	Settings::instance().setString("controls.touch", "accelerometer");
	devices.touchDevices = 1;
	platform.devices = &devices;
	openMenu(1280, 720);
	struct Case {
		const char* tab;
		const char* key;
		const char* stored;
		const char* shown;
	} cases[] = {
		{"controls", "controls.camera_sensitivity", "nan", "1.0"},
		{"controls", "controls.camera_sensitivity", "inf", "1.0"},
		{"controls", "controls.camera_sensitivity", "-5", "0.3"},
		{"controls", "controls.camera_sensitivity", "1e38", "3.0"},
		{"controls", "controls.camera_sensitivity", "abc", "0.3"},
		{"controls", "controls.camera_sensitivity", "0.5", "0.5"},
		{"controls", "controls.camera_sensitivity", "2.5", "2.5"},
		{"controls", "controls.deadzone", "-inf", "0.22"},
		{"controls", "controls.deadzone", "-5", "0.05"},
		{"controls", "controls.deadzone", "1e38", "0.50"},
		{"controls", "controls.deadzone", "0.3", "0.30"},
		{"controls", "controls.tilt_sensitivity", "nan", "1.0"},
		{"controls", "controls.tilt_sensitivity", "9", "2.5"},
		{"controls", "controls.tilt_sensitivity", "-5", "0.4"},
		{"controls", "controls.tilt_sensitivity", "0.5", "0.5"},
		{"graphics", "graphics.render_scale", "nan", "100%"},
		{"graphics", "graphics.render_scale", "inf", "100%"},
		{"graphics", "graphics.render_scale", "abc", "50%"},
		{"graphics", "graphics.render_scale", "-5", "50%"},
		{"graphics", "graphics.render_scale", "0.853", "85%"},
		{"graphics", "graphics.render_scale", "0.5", "50%"},
		{"audio", "audio.volume", "inf", "1.00"},
		{"audio", "audio.volume", "-5", "0.00"},
		{"audio", "audio.volume", "0.25", "0.25"},
		{"audio", "audio.music_volume", "nan", "1.00"},
		{"audio", "audio.music_volume", "abc", "0.00"},
		{"audio", "audio.sounds_volume", "1e38", "1.00"},
		{"audio", "audio.sounds_volume", "-inf", "1.00"},
		{"audio", "audio.sounds_volume", "0.7", "0.70"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
		selectTab(c.tab);
		Settings::instance().setString(c.key, c.stored);
		frames(2);
		EXPECT_EQ(shown(c.key).text, c.shown);
		EXPECT_EQ(Settings::instance().getString(c.key, ""), c.stored);
	}
	EXPECT_FALSE(test::fileExists(configPath())) << config();

	// Moved, the slider stores and saves where it was put.
	Settings::instance().setString("controls.camera_sensitivity", "nan");
	selectTab("controls");
	frames(2);
	ASSERT_FALSE(test::fileExists(configPath())) << config();
	const FrameReport::Item s = shown("controls.camera_sensitivity");
	drag(int(s.x + s.width * 0.5f), centreY(s), int(s.width), 0);
	EXPECT_TRUE(hasLine(config(), "controls.camera_sensitivity=3")) << config();
	EXPECT_EQ(shown("controls.camera_sensitivity").text, "3.0");
}

TEST_F(TabsTest, FrameLimitChoices) {
	openMenu(800, 480);
	selectTab("graphics");
	struct Case {
		const char* stored;
		std::string preview;
	} cases[] = {{"45", "45"},
				 {"0", tr("graphics.fps_unlimited")},
				 {"-5", tr("graphics.fps_unlimited")},
				 {"abc", tr("graphics.fps_unlimited")},
				 {"nan", tr("graphics.fps_unlimited")},
				 {"120", "120"}};
	for (const Case& c : cases) {
		Settings::instance().setString("graphics.fps_limit", c.stored);
		frames(2);
		EXPECT_EQ(shown("graphics.fps_limit").text, c.preview) << c.stored;
	}
	Settings::instance().setString("graphics.fps_limit", "45");
	frames(2);
	click("graphics.fps_limit");
	for (const char* fps : {"0", "30", "60", "120"})
		EXPECT_EQ(shown(std::string("graphics.fps_limit=") + fps).text, "") << "45 is none of them";
	click("graphics.fps_limit=60");
	EXPECT_TRUE(hasLine(config(), "graphics.fps_limit=60")) << config();
	EXPECT_EQ(shown("graphics.fps_limit").text, "60");
}

TEST_F(TabsTest, ImprovementsSetTheEnvironmentOfTheLevelLogic) {
	env.set("LUMAROLL_ORIGINAL_SECTIONS", nullptr);
	openMenu(800, 480);
	selectTab("improvements");
	click("improvements.visible_sections");
	EXPECT_TRUE(hasLine(config(), "improvements.visible_sections=0"));
	ASSERT_NE(std::getenv("LUMAROLL_ORIGINAL_SECTIONS"), nullptr);
	EXPECT_STREQ(std::getenv("LUMAROLL_ORIGINAL_SECTIONS"), "1");
	click("improvements.visible_sections");
	EXPECT_EQ(std::getenv("LUMAROLL_ORIGINAL_SECTIONS"), nullptr);
}

TEST_F(TabsTest, AboutVersionLinksAndCredits) {
	test::FakeCommands tools;
	tools.add({"xdg-open", 0, "", "", 0});
	env.set("PATH", tools.pathFirst().c_str());
	openMenu(1280, 720);
	selectTab("about");
	EXPECT_EQ(shown("about.version").text, formatText(tr("about.version"), {"1.2.0"}));
	const std::vector<CommunityLink>& links = communityLinks();
	ASSERT_EQ(links.size(), 4u);
	for (const CommunityLink& link : links)
		EXPECT_NEAR(shown(std::string("link.") + link.name).y, shown("link.Discord").y, 0.5f) << "one row of four";
	click("link.GitHub");
	ASSERT_TRUE(tools.waitForCalls("xdg-open", 1, 120000));
	EXPECT_EQ(tools.arguments("xdg-open"), std::vector<std::string>{"https://github.com/lumaroll/lumaroll"});
	overlay.shutdown();

	// Compact and narrower than 520 x scale: two rows of two.
	env.set("LUMAROLL_MENU_COMPACT", "");
	openMenu(360, 640);
	selectTab("about");
	EXPECT_NEAR(shown("link.GitHub").y, shown("link.Discord").y, 0.5f);
	EXPECT_GT(shown("link.YouTube").y, shown("link.Discord").y + 1.f);
	EXPECT_NEAR(shown("link.YouTube").x, shown("link.Discord").x, 0.5f);
	EXPECT_NEAR(shown("link.Ko-fi").y, shown("link.YouTube").y, 0.5f);
}

// What the program links or ships, and nothing it does not: the sound
// libraries and the PNG writer are in, two libraries of other builds and the
// third-party PVRTC code and controller database (neither in this build) are out.
TEST(CreditsTest, TheLibrariesOfThisBuild) {
	auto licenceOf = [](const std::string& component) {
		for (const Credit& c : credits()) {
			if (component == c.component)
				return std::string(c.licence);
		}
		return std::string("absent");
	};
	struct Row {
		const char* component;
		const char* licence;
	} rows[] = {
		{"SDL2", "zlib"},
		{"Dear ImGui", "MIT"},
		{"stb_image", "MIT"},
		{"stb_image_write", "MIT"},
		{"libsndfile (WAV)", "LGPL-2.1+"},
		{"libmpg123 (MP3)", "LGPL-2.1"},
		{"zlib", "zlib"},
		{"Font Awesome Free (icons)", "CC BY 4.0 / OFL"},
		{"dr_libs", "absent"},
		{"ANGLE", "absent"},
		{"PVRTC (Imagination Technologies)", "absent"},
		{"SDL_GameControllerDB", "absent"},
	};
	for (const Row& r : rows)
		EXPECT_EQ(licenceOf(r.component), r.licence) << r.component;
	ASSERT_FALSE(credits().empty());
	EXPECT_EQ(std::string(credits()[0].component).rfind("Vortan (", 0), 0u) << "the engine comes first";
}

// The audio tab against the audio engine of a running level.
class AudioTabTest : public TabsTest {
protected:
	void SetUp() override {
		TabsTest::SetUp();
		if (IsSkipped())
			return;
		env.set("LUMAROLL_NO_AUDIO", nullptr);
		options.level = test::writeTestLevel(dir.path());
		options.dataDir = dir / "data";
	}
	void TearDown() override {
		session.reset();
		TabsTest::TearDown();
	}
	void startLevel() {
		platform.app.overlay = &overlay;
		session = std::make_unique<LevelSession>(platform.app, options);
		testing::internal::CaptureStdout();
		testing::internal::CaptureStderr();
		session->start();
		testing::internal::GetCapturedStdout();
		testing::internal::GetCapturedStderr();
		ASSERT_NE(overlay.audio(), nullptr);
	}

	apptest::FakePlatform platform;
	LaunchOptions options;
	std::unique_ptr<LevelSession> session;
};

TEST_F(AudioTabTest, EachGroupWritesItsOwnKeys) {
	openMenu(1280, 720);
	selectTab("audio");
	for (const char* key : {"audio.sounds_mute", "audio.music_mute", "audio.mute"}) {
		click(key);
		EXPECT_TRUE(hasLine(config(), std::string(key) + "=1")) << key;
	}
	EXPECT_EQ(Settings::instance().values().size(), 3u) << "no other key was written";
	const FrameReport::Item s = shown("audio.music_volume");
	clickAt(int(s.x + s.width * 0.25f), centreY(s));
	EXPECT_LT(Settings::instance().getFloat("audio.music_volume", 1.f), 0.5f);
	EXPECT_EQ(Settings::instance().values().count("audio.volume"), 0u);
	EXPECT_EQ(Settings::instance().values().count("audio.sounds_volume"), 0u);
}

TEST_F(AudioTabTest, TheEngineFollowsTheSliderWhileItMoves) {
	openMenu(1280, 720);
	startLevel();
	selectTab("audio");
	const FrameReport::Item s = shown("audio.music_volume");
	const int y = centreY(s);
	feed({test::mouseMotion(int(s.x + 4.f), y)});
	frame();
	feed({test::mouseButton(true, int(s.x + 4.f), y)});
	frame();
	int checked = 0;
	for (int x = int(s.x + 4.f); x < int(s.x + s.width); x += int(s.width / 10.f)) {
		feed({test::mouseMotion(x, y)});
		frame();
		EXPECT_FLOAT_EQ(overlay.audio()->musicVolume.load(), Settings::instance().getFloat("audio.music_volume", -1.f))
			<< "at x " << x;
		++checked;
	}
	feed({test::mouseButton(false, int(s.x + s.width), y)});
	frames(2);
	EXPECT_GE(checked, 9);
	EXPECT_GT(overlay.audio()->musicVolume.load(), 0.9f);
}

// A slider must not undo a mute made with the 'm' key; the mute box itself is followed.
TEST_F(AudioTabTest, OnlyTheMuteBoxMovesTheMasterMute) {
	openMenu(1280, 720);
	overlay.setMenuOpen(false);
	startLevel();
	Audio& audio = *overlay.audio();
	ASSERT_FALSE(audio.masterMute.load());
	platform.events.push(test::keyEvent(true, SDLK_m));
	session->events().poll();
	ASSERT_TRUE(audio.masterMute.load()) << "the 'm' key mutes";
	overlay.setMenuOpen(true);
	frames(2);
	selectTab("audio");
	const FrameReport::Item s = shown("audio.music_volume");
	clickAt(int(s.x + s.width * 0.3f), centreY(s));
	ASSERT_TRUE(Settings::instance().values().count("audio.music_volume"));
	EXPECT_TRUE(audio.masterMute.load()) << "the music slider left the mute alone";
	click("audio.mute");
	EXPECT_TRUE(audio.masterMute.load());
	click("audio.mute");
	EXPECT_FALSE(audio.masterMute.load()) << "unticking the box unmutes";
	click("audio.mute");
	EXPECT_TRUE(audio.masterMute.load());
}

TEST_F(AudioTabTest, StoredValuesAreClampedWhenApplied) {
	struct Case {
		const char* stored;
		float applied;
	} cases[] = {{"1.7", 1.f}, {"-0.5", 0.f}, {"abc", 0.f}, {"0.25", 0.25f}, {"0", 0.f},
				 {"1", 1.f},   {"nan", 1.f},  {"inf", 1.f}, {"-inf", 1.f}};
	openMenu(1280, 720);
	for (const Case& c : cases) {
		Settings::instance().setString("audio.volume", c.stored);
		Settings::instance().setString("audio.music_volume", c.stored);
		Settings::instance().setString("audio.sounds_volume", c.stored);
		session.reset();
		startLevel();
		EXPECT_FLOAT_EQ(overlay.audio()->masterVolume.load(), c.applied) << c.stored;
		EXPECT_FLOAT_EQ(overlay.audio()->musicVolume.load(), c.applied) << c.stored;
		EXPECT_FLOAT_EQ(overlay.audio()->soundsVolume.load(), c.applied) << c.stored;
	}
}

TEST_F(AudioTabTest, WithoutALevelTheValuesAreOnlyStored) {
	openMenu(1280, 720);
	ASSERT_EQ(overlay.audio(), nullptr);
	selectTab("audio");
	click("audio.mute");
	const FrameReport::Item s = shown("audio.volume");
	clickAt(int(s.x + s.width * 0.6f), centreY(s));
	EXPECT_TRUE(hasLine(config(), "audio.mute=1")) << config();
	EXPECT_NE(Settings::instance().values().count("audio.volume"), 0u);
}

} // namespace
