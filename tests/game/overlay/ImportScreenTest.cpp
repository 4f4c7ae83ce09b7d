// The import screen's loop in-process: the welcome page on the offscreen
// window, a click on the import button answered by a fake file dialog, the
// window closed, the quit button, and Escape, which never leaves the screen.
#include "OverlayFixture.h"
#include "PackageFixture.h"

#include "app/ImportScreen.h"
#include "import/Import.h"
#include "overlay/SafeFormat.h"
#include "overlay/Translations.h"
#include "platform/SdlWindow.h"
#include "store/Settings.h"
#include "support/FakeCommand.h"
#include "support/PlatformFakes.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

using namespace lumaroll;

namespace {

// Events handed out pass by pass: the first poll of each pass of the loop
// runs the script for that pass (numbered from 1), which may queue events.
// After 300 passes the window is closed, so a broken loop cannot hang a test.
class PassScript : public EventSource {
public:
	std::function<void(int pass)> script;
	std::deque<SDL_Event> queue;
	int pass = 0;

	bool poll(SDL_Event& event) override {
		if (!inPass) {
			inPass = true;
			++pass;
			if (script)
				script(pass);
			if (pass > 300)
				queue.push_back(test::quitEvent());
		}
		if (queue.empty()) {
			inPass = false;
			return false;
		}
		event = queue.front();
		queue.pop_front();
		return true;
	}
	bool push(const SDL_Event& event) override {
		queue.push_back(event);
		return true;
	}

private:
	bool inPass = false;
};

class ImportScreenTest : public overlaytest::OverlayTest {
protected:
	void SetUp() override {
		OverlayTest::SetUp();
		if (IsSkipped())
			return;
		env.set("XDG_DATA_HOME", (dir / "data").c_str());
		env.set("PATH", fakes.pathFirst().c_str());
		Settings::instance().setBool("general.check_updates", false);
		ASSERT_TRUE(start(800, 480));
		watchFrames();
		app.window = sdlWindow.get();
		app.events = &events;
		app.clock = &clock;
		app.overlay = &overlay;
	}
	void TearDown() override {
		Settings::instance().clear();
		OverlayTest::TearDown();
	}

	// Queues a click on the named item of the last frame: the pointer in one
	// pass, the press and release in the next.
	void clickIn(int pass, int first, const std::string& name) {
		const FrameReport::Item* i = last.find(name);
		ASSERT_NE(i, nullptr) << name;
		const int x = int(i->x + i->width / 2), y = int(i->y + i->height / 2);
		if (pass == first)
			events.queue.push_back(test::mouseMotion(x, y));
		if (pass == first + 1) {
			events.queue.push_back(test::mouseButton(true, x, y));
			events.queue.push_back(test::mouseButton(false, x, y));
		}
	}

	test::FakeCommands fakes;
	PassScript events;
	test::ManualClock clock;
	AppContext app;
};

TEST_F(ImportScreenTest, AClickOnImportWithAChosenPackageEndsTheScreen) {
	if (!test::haveDpkgDeb())
		GTEST_SKIP() << "dpkg-deb is not installed";
	const std::string package = dir / "chosen package.deb";
	std::string log;
	ASSERT_TRUE(overlaytest::writeGamePackage(dir / "work", package, false, &log)) << log;
	fakes.add({"zenity", 0, package + "\n", "", 0});
	bool sawWelcome = false;
	events.script = [&](int pass) {
		if (pass == 2) {
			sawWelcome = overlay.menuOpen() && overlay.importScreen() && last.find("game.welcome") != nullptr;
			EXPECT_EQ(last.find("tab.game"), nullptr) << "no tabs on the import screen";
		}
		if (pass >= 2 && pass <= 3)
			clickIn(pass, 2, "game.import");
	};
	EXPECT_FALSE(runImportScreen(app)) << "not quit";
	EXPECT_TRUE(sawWelcome);
	EXPECT_EQ(fakes.calls("zenity"), 1);
	EXPECT_TRUE(hasGameData(gameDataDir()));
	EXPECT_LE(events.pass, 8) << "the loop ends at its next pass";
	EXPECT_FALSE(overlay.menuOpen());
	EXPECT_FALSE(overlay.importScreen());
	EXPECT_FALSE(overlay.quitAction());
	const std::string imported = formatText(Translations::instance().get("game.imported"), {3});
	EXPECT_EQ(overlay.importPage().message().substr(0, imported.size() + 1), imported + "\n")
		<< "no restart note on the import screen: " << overlay.importPage().message();
	EXPECT_FALSE(clock.sleeps.empty());
	EXPECT_EQ(clock.sleeps.front(), 16u);
}

TEST_F(ImportScreenTest, ClosingTheWindowOrTheQuitButtonQuits) {
	struct Case {
		const char* name;
		bool quitButton;
	} cases[] = {{"window closed", false}, {"quit button", true}};
	for (const Case& c : cases) {
		events.pass = 0;
		events.script = [&](int pass) {
			if (!c.quitButton && pass == 3)
				events.queue.push_back(test::quitEvent());
			if (c.quitButton && pass >= 2 && pass <= 3)
				clickIn(pass, 2, "button.quit");
		};
		EXPECT_TRUE(runImportScreen(app)) << c.name;
		EXPECT_LT(events.pass, 10) << c.name;
		EXPECT_FALSE(overlay.menuOpen()) << c.name;
		EXPECT_FALSE(overlay.importScreen()) << c.name;
	}
	EXPECT_FALSE(hasGameData(gameDataDir()));
}

TEST_F(ImportScreenTest, EscapeIsTakenAndTheScreenStays) {
	bool openAfterEscape = false;
	events.script = [&](int pass) {
		if (pass == 2)
			events.queue.push_back(test::keyEvent(true, SDLK_ESCAPE));
		if (pass == 4) {
			openAfterEscape = overlay.menuOpen() && overlay.importScreen() && last.find("game.welcome") != nullptr;
			events.queue.push_back(test::quitEvent());
		}
	};
	EXPECT_TRUE(runImportScreen(app));
	EXPECT_TRUE(openAfterEscape);
	EXPECT_EQ(events.pass, 4);
}

} // namespace
