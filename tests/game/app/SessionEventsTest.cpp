// The level session's event routing in-process, with pushed events through
// frame(): pads plugged in and out, the in-game menu (opened, navigated by
// controller, fed clicks and keys, its actions) over the menu files written
// by the test, the mute key, the background rules, mouse capture and look,
// the developer keys and the input notices.
#include "SessionTest.h"
#include "TestMenuData.h"
#include "app/LevelSession.h"
#include "input/Controllers.h"
#include "overlay/AssetFiles.h"
#include "overlay/Overlay.h"
#include "overlay/Translations.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/BallModelWriter.h"
#include "support/LevelFixtures.h"
#include "support/ScopedEnv.h"
#include "support/SdlEvents.h"
#include "support/VirtualPad.h"

#include <gr/ImageFile.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace lumaroll;

namespace {

const std::string kControllerIcon = "\xEF\x84\x9B"; // U+F11B

SDL_Event keyDown(SDL_Keycode key, bool repeat = false) {
	return test::keyEvent(true, key, repeat);
}

SDL_Event mouseDown(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
	return test::mouseButton(true, x, y, button);
}

SDL_Event mouseUp(int x, int y) {
	return test::mouseButton(false, x, y);
}

SDL_Event padButton(Uint8 button) {
	return test::controllerButton(true, button);
}

SDL_Event padAxis(Uint8 axis, float value) {
	return test::controllerAxis(axis, static_cast<Sint16>(value * 32767.f));
}

SDL_Event finger(Uint32 type, SDL_FingerID id, float x, float y) {
	return test::fingerEvent(type, 1, id, x, y);
}

class SessionEventsTest : public apptest::SessionTest {
protected:
	void SetUp() override {
		apptest::SessionTest::SetUp();
		if (IsSkipped())
			return;
		// The shipped English texts, and a configuration folder of our own.
		env.set("XDG_CONFIG_HOME", (dir / "config").c_str());
		const char* source = std::getenv("LUMAROLL_SOURCE_DIR");
		setAssetDirs({std::string(source ? source : ".") + "/assets"});
		Translations::instance().setLanguage("en");
	}
	void TearDown() override {
		apptest::SessionTest::TearDown();
		setAssetDirs({});
	}

	// Brings the overlay's GUI up (it takes input only then) with a known
	// font, its start-up lines kept out of the output; false when it fails.
	// The caller turns the update check off for the test.
	bool overlayUp() {
		env.set("LUMAROLL_FONT", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
		testing::internal::CaptureStdout();
		const bool up = overlay.init(window);
		testing::internal::GetCapturedStdout();
		return up;
	}

	// A started session; with a ball when asked (in play, with the
	// writer-made ball model); with the menus when asked ("--from-menu" and
	// the game's menu files in the data folder).
	std::unique_ptr<LevelSession> started(bool ball = false, bool menus = false) {
		options.fromMenu = menus;
		options.play = ball;
		if (menus && !menuDataWritten) {
			apptest::writeMenuData(data, apptest::MenuDataOptions());
			menuDataWritten = true;
		}
		if (ball && !ballWritten) {
			test::SceneWriter model;
			test::writeBallModel(model);
			test::makeDirs(data + "/resources/models");
			EXPECT_TRUE(model.write(data + "/resources/models/plimbo.hgr"));
			ballWritten = true;
		}
		auto session = std::make_unique<LevelSession>(app, options);
		testing::internal::CaptureStdout();
		session->start();
		testing::internal::GetCapturedStdout();
		EXPECT_EQ(session->level().player() != nullptr, ball);
		EXPECT_EQ(session->level().menuImagesLoaded(), menuDataWritten && !menuImagesAway);
		return session;
	}

	// One frame 16 ms after the last, with the events given; returns what it
	// printed. ran: whether the session runs on after it.
	std::string frame(LevelSession& session, std::initializer_list<SDL_Event> list = {}) {
		for (const SDL_Event& e : list)
			events.queue.push_back(e);
		clock.now += 16;
		testing::internal::CaptureStdout();
		ran = session.frame();
		return testing::internal::GetCapturedStdout();
	}

	// Moves the menu atlas away (the next sessions load no menu images) or back.
	void menuImagesThere(bool there) {
		const std::string atlas = data + "/resources/images/MENU.dat";
		const std::string away = atlas + ".away";
		if (there == menuImagesAway) {
			ASSERT_EQ(std::rename(there ? away.c_str() : atlas.c_str(), there ? atlas.c_str() : away.c_str()), 0);
		}
		menuImagesAway = !there;
	}

	// Completes the level and lets the 1.5 s of real time pass that make it over.
	void endLevel(LevelSession& session) {
		session.level().world()->levelComplete = true;
		for (int i = 0; i < 16; ++i) {
			clock.now += 100;
			testing::internal::CaptureStdout();
			session.frame();
			testing::internal::GetCapturedStdout();
		}
	}

	bool menuDataWritten = false;
	bool ballWritten = false;
	bool menuImagesAway = false;
	bool ran = true;
	test::ScopedEnv env;
};

// --- Pads plugged in and out

// Moves what SDL queued (a pad plugged in or out) into the session's event source.
void takeSdlEvents(test::ScriptedEvents& events) {
	SDL_Event e;
	while (SDL_PollEvent(&e))
		events.queue.push_back(e);
}

TEST_F(SessionEventsTest, PluggingAPadShowsANoticeAndUnpluggingAnother) {
	ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
	auto session = started();

	test::VirtualPad pad;
	ASSERT_TRUE(pad.attached()) << pad.error();
	takeSdlEvents(events);
	EXPECT_EQ(frame(*session), "controller: Virtual Pad\nnotice: Controller connected: Virtual Pad\n");
	ASSERT_EQ(overlay.notices().queued().size(), 1u);
	EXPECT_EQ(overlay.notices().queued()[0].text, "Controller connected: Virtual Pad");
	EXPECT_EQ(overlay.notices().queued()[0].icon, kControllerIcon);
	EXPECT_EQ(overlay.notices().queued()[0].duration, 3.5f);
	EXPECT_EQ(Controllers::instance().controllers.size(), 1u);

	pad.detach();
	takeSdlEvents(events);
	frame(*session);
	ASSERT_EQ(overlay.notices().queued().size(), 2u);
	EXPECT_EQ(overlay.notices().queued()[1].text, "Controller disconnected");
	EXPECT_EQ(overlay.notices().queued()[1].icon, kControllerIcon);
	EXPECT_EQ(overlay.notices().queued()[1].duration, 3.5f);
	EXPECT_TRUE(Controllers::instance().controllers.empty());

	// A stick without a mapping is taken silently, and let go silently
	// (SDL reports its removal as a controller's too).
	test::VirtualPad stick(test::VirtualPad::PlainStick);
	ASSERT_TRUE(stick.attached()) << stick.error();
	takeSdlEvents(events);
	EXPECT_EQ(frame(*session), "generic controller (no known mapping): Plain Stick, 2 axes, 4 buttons\n");
	stick.detach();
	takeSdlEvents(events);
	frame(*session);
	EXPECT_EQ(overlay.notices().queued().size(), 2u);
	EXPECT_TRUE(Controllers::instance().joysticks.empty());
}

TEST_F(SessionEventsTest, PadRumbleFollowsTheVibrationSetting) {
	// The session's own controller manager and settings store: it opens the
	// pad in the one and reads the vibration from the other.
	Controllers pads;
	Settings settings;
	app.controllers = &pads;
	app.settings = &settings;
	ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
	test::VirtualPad pad;
	ASSERT_TRUE(pad.attached()) << pad.error();
	auto session = started();
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
	ASSERT_EQ(pads.controllers.size(), 1u);
	settings.setBool("controls.vibration", false);
	frame(*session);
	pads.rumble(1.f);
	EXPECT_TRUE(pad.rumbles.empty());
	settings.setBool("controls.vibration", true);
	frame(*session);
	pads.rumble(1.f);
	EXPECT_EQ(pad.rumbles.size(), 1u);
	pad.detach();
	pads.closeDetached();
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST_F(SessionEventsTest, ThePadsAIsTheLogicsKeyUnlessAMenuTakesIt) {
	ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
	test::VirtualPad pad;
	ASSERT_TRUE(pad.attached()) << pad.error();
	auto session = started(false, true);
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
	pad.setButton(SDL_CONTROLLER_BUTTON_A, true);
	frame(*session);
	EXPECT_TRUE(session->level().world()->isKeyPressed("lmouse"));
	// Behind the menu level's open menu the logic runs on: A is the menu's there.
	frame(*session, {keyDown(SDLK_p)});
	ASSERT_TRUE(session->events().menuOpen());
	frame(*session);
	EXPECT_FALSE(session->level().world()->isKeyPressed("lmouse"));
	pad.detach();
	Controllers::instance().closeDetached();
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

// --- The in-game menu

// Indices of the menu's level items: the menu level, level 1, level 2.
const int kAttraction = 4, kLevel1 = 5, kLevel2 = 6;

TEST_F(SessionEventsTest, AControllerNavigatesTheOpenMenuWithKeys) {
	auto session = started(false, true);
	InGameMenu& menu = session->events().menu();
	frame(*session, {padButton(SDL_CONTROLLER_BUTTON_START)});
	ASSERT_TRUE(session->events().menuOpen());
	frame(*session, {padButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), padButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
					 padButton(SDL_CONTROLLER_BUTTON_X)});
	EXPECT_EQ(menu.selected, kLevel1);
	frame(*session, {padButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT)});
	EXPECT_EQ(menu.selected, kAttraction);
	EXPECT_EQ(events.pushed.size(), 3u) << "one key a button";
	frame(*session, {padButton(SDL_CONTROLLER_BUTTON_B)});
	EXPECT_FALSE(session->events().menuOpen()) << "B is 'p'";

	// One arrow per push of the stick.
	frame(*session, {padButton(SDL_CONTROLLER_BUTTON_START)});
	frame(*session, {padAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.7f), padAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.7f),
					 padAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.2f), padAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.7f),
					 padAxis(SDL_CONTROLLER_AXIS_LEFTY, 0.9f)});
	EXPECT_EQ(menu.selected, kLevel1) << "exactly two Right arrows";

	// A is Return: the selection is chosen.
	frame(*session, {padButton(SDL_CONTROLLER_BUTTON_A)});
	EXPECT_FALSE(ran);
	EXPECT_EQ(session->finish().nextArgs,
			  (std::vector<std::string>{"--play", "--from-menu", dirWithSlash(options.level) + "level01.hgr"}));
}

TEST_F(SessionEventsTest, WhatOpensTheMenu) {
	const int w = test::GLTestContext::WIDTH, h = test::GLTestContext::HEIGHT;
	struct Case {
		const char* name;
		bool menuImages, fromMenu, ball, over;
		SDL_Event event;
		bool opens;
	};
	const SDL_Event middle = mouseDown(w / 2, h / 2);
	const SDL_Event corner = mouseDown(w / 10, h / 10);
	const Case cases[] = {
		{"in play a click in the middle", true, true, true, false, middle, false},
		{"in play a click in the corner", true, true, true, false, corner, true},
		{"in play a right click in the corner", true, true, true, false, mouseDown(1, 1, SDL_BUTTON_RIGHT), false},
		{"in play a release in the corner", true, true, true, false, mouseUp(1, 1), false},
		{"in the menu level a click anywhere", true, true, false, false, middle, true},
		{"once over a click anywhere", true, true, true, true, middle, true},
		{"'p'", true, true, true, false, keyDown(SDLK_p), true},
		{"'p' held down", true, true, true, false, keyDown(SDLK_p, true), false},
		{"Return in play", true, true, true, false, keyDown(SDLK_RETURN), false},
		{"Return once over", true, true, true, true, keyDown(SDLK_RETURN), true},
		{"Return held once over", true, true, true, true, keyDown(SDLK_RETURN, true), false},
		{"START", true, true, true, false, padButton(SDL_CONTROLLER_BUTTON_START), true},
		{"A in play", true, true, true, false, padButton(SDL_CONTROLLER_BUTTON_A), false},
		{"A once over", true, true, true, true, padButton(SDL_CONTROLLER_BUTTON_A), true},
		{"'p' without the menu images", false, true, true, false, keyDown(SDLK_p), false},
		{"'p' without --menu or --from-menu", true, false, true, false, keyDown(SDLK_p), false},
		{"a click without --menu or --from-menu", true, false, false, false, middle, false},
	};
	apptest::writeMenuData(data, apptest::MenuDataOptions());
	menuDataWritten = true;
	for (const Case& c : cases) {
		menuImagesThere(c.menuImages);
		auto session = started(c.ball, c.fromMenu);
		menuImagesThere(true);
		if (c.over)
			endLevel(*session);
		SessionEvents& routing = session->events();
		EXPECT_EQ(routing.handleMenuOpenEvent(c.event), c.opens) << c.name;
		EXPECT_EQ(routing.menuOpen(), c.opens) << c.name;
		// The menu renderer holds no backdrop yet: opening asks for one. Once
		// over, the frames that ended the level have taken one.
		EXPECT_EQ(session->backdrop().take(), c.opens && !c.over) << c.name;
		if (c.opens) {
			EXPECT_FALSE(routing.handleMenuOpenEvent(c.event)) << c.name << ": already open";
		}
	}
	// Mouse positions are window points: on a display with two pixels a
	// point, the corner is the same part of the window, not twice as wide.
	app.drawableWidth = window.drawableWidth = 2 * window.width;
	app.drawableHeight = window.drawableHeight = 2 * window.height;
	EXPECT_TRUE(started(true, true)->events().handleMenuOpenEvent(mouseDown(w / 10, h / 10)))
		<< "corner, doubled display";
	EXPECT_FALSE(started(true, true)->events().handleMenuOpenEvent(mouseDown(w / 5, h / 5)))
		<< "beside it, doubled display";
	app.drawableWidth = window.drawableWidth = window.width;
	app.drawableHeight = window.drawableHeight = window.height;

	// With a valid backdrop copy no new one is asked for.
	{
		auto session = started(true, true);
		frame(*session, {keyDown(SDLK_p)}); // the render takes the copy
		session->events().menu().close();
		ASSERT_FALSE(session->backdrop().take());
		EXPECT_TRUE(session->events().handleMenuOpenEvent(keyDown(SDLK_p)));
		EXPECT_FALSE(session->backdrop().take()) << "a valid copy is kept";
	}

	options.menu = true;
	auto menuLevel = started(false, false);
	EXPECT_TRUE(menuLevel->events().handleMenuOpenEvent(middle)) << "--menu";
}

TEST_F(SessionEventsTest, HeldKeysNeitherFlickerTheMenuNorActTwice) {
	auto session = started(true, true);
	InGameMenu& menu = session->events().menu();
	frame(*session, {keyDown(SDLK_p)});
	ASSERT_TRUE(session->events().menuOpen());
	// The key repeats of a held 'p' would close it again at once, those of a
	// held Return choose the selection again and again.
	frame(*session, {keyDown(SDLK_RIGHT), keyDown(SDLK_p, true), keyDown(SDLK_p, true), keyDown(SDLK_RETURN, true)});
	EXPECT_TRUE(session->events().menuOpen());
	EXPECT_TRUE(ran);
	// A held arrow moves on.
	frame(*session, {keyDown(SDLK_RIGHT, true)});
	EXPECT_EQ(menu.selected, kLevel1);

	frame(*session, {keyDown(SDLK_p)});
	EXPECT_FALSE(session->events().menuOpen());
	frame(*session, {keyDown(SDLK_p, true)});
	EXPECT_FALSE(session->events().menuOpen()) << "a repeat does not open it again";
}

TEST_F(SessionEventsTest, TheClickThatOpensTheMenuIsNoChoiceTheNextIs) {
	// The menu counts a release only after it saw the press: the session
	// keeps the opening press from it and forwards every press and release
	// after. In the menu level a click anywhere opens the menu.
	const int w = test::GLTestContext::WIDTH, h = test::GLTestContext::HEIGHT;
	const int nothingX = w / 4, nothingY = h * 7 / 8; // below the level items
	const int levelX = w / 2, levelY = h / 2;		  // on "MENU_LEVEL_1"
	{
		auto session = started(false, true);
		frame(*session, {mouseDown(nothingX, nothingY), mouseUp(nothingX, nothingY)});
		EXPECT_TRUE(session->events().menuOpen()) << "the opening release chose nothing";
		// Motion is forwarded: the pointer over no item clears the selection.
		frame(*session, {keyDown(SDLK_RIGHT), test::mouseMotion(nothingX, nothingY)});
		EXPECT_EQ(session->events().menu().selected, -1);
		frame(*session, {mouseDown(nothingX, nothingY), mouseUp(nothingX, nothingY)});
		EXPECT_FALSE(session->events().menuOpen()) << "a click beside the items closes the menu";
	}
	auto session = started(false, true);
	frame(*session, {mouseDown(levelX, levelY), mouseUp(levelX, levelY)});
	EXPECT_TRUE(session->events().menuOpen());
	EXPECT_TRUE(ran) << "the click on level 1 only opened the menu";
	frame(*session, {mouseDown(levelX, levelY), mouseUp(levelX, levelY)});
	EXPECT_FALSE(ran);
	const LevelResult result = session->finish();
	EXPECT_FALSE(result.quit);
	EXPECT_EQ(result.nextArgs,
			  (std::vector<std::string>{"--play", "--from-menu", dirWithSlash(options.level) + "level01.hgr"}));
}

TEST_F(SessionEventsTest, MuteKeyActsWithTheMenuOpenAndNothingElseReachesTheGame) {
	auto session = started(true, true);
	Audio& audio = *session->level().audio();
	frame(*session, {keyDown(SDLK_m)});
	EXPECT_TRUE(audio.masterMute);
	frame(*session, {keyDown(SDLK_p)});
	ASSERT_TRUE(session->events().menuOpen());
	frame(*session, {keyDown(SDLK_m), keyDown(SDLK_SPACE), keyDown(SDLK_KP_0), mouseDown(40, 40)});
	EXPECT_FALSE(audio.masterMute);
	EXPECT_FALSE(session->level().world()->isKeyPressed("lmouse"));
	EXPECT_TRUE(session->events().menuOpen());

	// With the menu closed the same keys are the game's.
	session->events().menu().close();
	frame(*session, {keyDown(SDLK_SPACE)});
	EXPECT_TRUE(session->level().world()->isKeyPressed("lmouse"));
}

TEST_F(SessionEventsTest, TheMenuShowsTheMuteAsItIsWhenTheSessionOpensIt) {
	struct Case {
		const char* name;
		const char* muteSetting;
		SDL_Event opener;
		bool volumeShown;
	};
	const Case cases[] = {
		{"audio.mute=1, 'p'", "1", keyDown(SDLK_p), false},
		{"audio.mute=0, 'p'", "0", keyDown(SDLK_p), true},
		{"audio.mute=1, focus lost", "1", test::windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), false},
		{"audio.mute=0, focus lost", "0", test::windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), true},
	};
	for (const Case& c : cases) {
		apptest::ScopedSetting mute("audio.mute", c.muteSetting);
		auto session = started(true, true);
		session->events().menu().volumeOn = !c.volumeShown; // whatever a menu showed before
		frame(*session, {c.opener});
		ASSERT_TRUE(session->events().menuOpen()) << c.name;
		EXPECT_EQ(session->events().menu().volumeOn, c.volumeShown) << c.name;
	}
	// 'm' in play, then the menu: its volume item shows the mute, and a click
	// on it turns the sound back on. The window here has two pixels a point:
	// the click is where the item is in points.
	app.drawableWidth = window.drawableWidth = 2 * window.width;
	app.drawableHeight = window.drawableHeight = 2 * window.height;
	auto session = started(true, true);
	frame(*session, {keyDown(SDLK_m), keyDown(SDLK_p)});
	EXPECT_FALSE(session->events().menu().volumeOn);
	const apptest::MenuImage& volume = apptest::menuImage("MENU_VOLUME_OFF");
	const float pointsPerUnit = float(window.height) / 480.f;
	const int x = int((-volume.pivotX + volume.w / 2) * pointsPerUnit);
	const int y = int((-volume.pivotY + volume.h / 2) * pointsPerUnit);
	frame(*session, {mouseDown(x, y), mouseUp(x, y)});
	EXPECT_TRUE(session->events().menu().volumeOn);
	EXPECT_FALSE(session->level().audio()->masterMute);
	EXPECT_EQ(window.minimizes, 0) << "the task switcher beside it was not hit";
	app.drawableWidth = window.drawableWidth = window.width;
	app.drawableHeight = window.drawableHeight = window.height;
}

TEST_F(SessionEventsTest, AfterTheMuteKeyTheMenuDrawsTheVolumeOffAndOneClickTurnsItOn) {
	// What the frame shows, not only the flag: each volume image is a solid
	// colour of its own, drawn over the blurred level.
	const int w = test::GLTestContext::WIDTH, h = test::GLTestContext::HEIGHT;
	const apptest::MenuImage& off = apptest::menuImage("MENU_VOLUME_OFF");
	const apptest::MenuImage& on = apptest::menuImage("MENU_VOLUME_ON");
	ASSERT_TRUE(off.w == on.w && off.h == on.h && off.pivotX == on.pivotX && off.pivotY == on.pivotY);
	// The middle of the volume item (drawn with its pivot at the top-left
	// corner), in pixels from the top; the window has one pixel a point.
	const float pixelsPerUnit = float(h) / 480.f;
	const int x = int((float(off.w) / 2.f - float(off.pivotX)) * pixelsPerUnit);
	const int y = int((float(off.h) / 2.f - float(off.pivotY)) * pixelsPerUnit);
	ASSERT_TRUE(x < w && y < h);

	auto session = started(true, true);
	frame(*session, {keyDown(SDLK_m), keyDown(SDLK_p)});
	ASSERT_TRUE(session->events().menuOpen());
	EXPECT_TRUE(pixelIs(x, h - 1 - y, off.r, off.g, off.b)) << "MENU_VOLUME_OFF";
	frame(*session, {mouseDown(x, y), mouseUp(x, y)});
	EXPECT_FALSE(session->level().audio()->masterMute);
	EXPECT_TRUE(pixelIs(x, h - 1 - y, on.r, on.g, on.b)) << "MENU_VOLUME_ON";
	EXPECT_TRUE(session->events().menuOpen());
}

TEST_F(SessionEventsTest, MenuActions) {
	const std::string dir = dirWithSlash(options.level);
	struct Case {
		const char* name;
		MenuAction action;
		bool running, quit;
		std::vector<std::string> next;
		bool muted;
		int minimizes;
	};
	const Case cases[] = {
		{"main menu", MenuAction::MenuLevel, false, false, {"--menu", "--from-menu", dir + "level01.hgr"}, false, 0},
		{"level 1", MenuAction::PlayLevel1, false, false, {"--play", "--from-menu", dir + "level01.hgr"}, false, 0},
		{"level 2", MenuAction::PlayLevel2, false, false, {"--play", "--from-menu", dir + "level02.hgr"}, false, 0},
		{"volume", MenuAction::Volume, true, false, {}, true, 0},
		{"task switcher", MenuAction::Minimise, true, false, {}, false, 1},
		{"exit", MenuAction::Quit, false, true, {}, false, 0},
		{"nothing", MenuAction::None, true, false, {}, false, 0},
		{"credits page", MenuAction::Credits, true, false, {}, false, 0},
	};
	for (const Case& c : cases) {
		window.minimizes = 0;
		auto session = started(true, true);
		frame(*session, {keyDown(SDLK_p)});
		ASSERT_TRUE(session->events().menuOpen()) << c.name;
		session->events().menu().volumeOn = false; // the volume item was just turned off
		session->events().onMenuAction(c.action);
		EXPECT_EQ(session->level().audio()->masterMute.load(), c.muted) << c.name;
		EXPECT_EQ(window.minimizes, c.minimizes) << c.name;
		// A stopped session draws no frame more.
		EXPECT_EQ(session->frame(), c.running) << c.name;
		if (c.running)
			continue;
		const LevelResult result = session->finish();
		EXPECT_EQ(result.quit, c.quit) << c.name;
		EXPECT_EQ(result.nextArgs, c.next) << c.name;
	}
}

TEST_F(SessionEventsTest, AMenuThatClosesItselfAsksForTiltCalibration) {
	Controllers pads; // the session's own: the request reaches the manager it was given
	app.controllers = &pads;
	auto session = started(true, true);
	frame(*session, {keyDown(SDLK_p)});
	pads.calibrateRequested = false;
	frame(*session, {keyDown(SDLK_p)}); // the menu's own key: it closes itself
	EXPECT_FALSE(session->events().menuOpen());
	EXPECT_TRUE(pads.calibrateRequested);
}

TEST_F(SessionEventsTest, TheConnectedNoticeFillsItsTranslationSafely) {
	// A language file is the user's: "%n" or a second "%s" in it must not
	// read arguments that are not there.
	ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
	struct Case {
		const char* name;
		const char* translation;
		const char* notice;
	};
	const Case cases[] = {
		{"one placeholder", "Connected: %s", "Connected: Virtual Pad"},
		{"more placeholders than values", "%s %s %n %d", "Virtual Pad %s %n %d"},
		{"escaped percent", "100%%", "100%"},
		{"lone percent", "100%", "100%"},
		{"empty", "", ""},
	};
	auto session = started();
	for (const Case& c : cases) {
		test::writeFile(dir / "config/lumaroll/lang/en.lang",
						std::string("notice.controller_connected = ") + c.translation + "\n");
		Translations::instance().setLanguage("en");
		overlay.notices().clear();
		SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
		test::VirtualPad pad;
		ASSERT_TRUE(pad.attached()) << pad.error();
		takeSdlEvents(events);
		frame(*session);
		ASSERT_FALSE(overlay.notices().empty()) << c.name;
		EXPECT_EQ(overlay.notices().queued()[0].text, c.notice) << c.name;
		pad.detach();
		takeSdlEvents(events);
		frame(*session);
	}
}

TEST_F(SessionEventsTest, EscapeIsTheOverlaysAlsoWithTheMenuOpen) {
	// The in-game menu closes with 'p', B or a click beside its items; Escape
	// opens and closes the overlay's menu over it.
	apptest::ScopedSetting noUpdates("general.check_updates", "0");
	ASSERT_TRUE(overlayUp());
	auto session = started(true, true);
	events.queue = {keyDown(SDLK_p), keyDown(SDLK_ESCAPE)};
	session->events().poll();
	EXPECT_TRUE(overlay.menuOpen());
	EXPECT_TRUE(session->events().menuOpen());
	events.queue = {keyDown(SDLK_ESCAPE)};
	session->events().poll();
	EXPECT_FALSE(overlay.menuOpen());
	EXPECT_TRUE(session->events().menuOpen()) << "the in-game menu never saw the Escape";
}

// --- Background

TEST_F(SessionEventsTest, BackgroundMutesPausesAndOpensTheMenuOnce) {
	struct Named {
		const char* name;
		SDL_Event event;
	};
	const Named away[] = {
		{"focus lost", test::windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)},
		{"minimised", test::windowEvent(SDL_WINDOWEVENT_MINIMIZED)},
		{"will enter background", test::plainEvent(SDL_APP_WILLENTERBACKGROUND)},
		{"did enter background", test::plainEvent(SDL_APP_DIDENTERBACKGROUND)},
	};
	const Named back[] = {
		{"focus gained", test::windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)},
		{"restored", test::windowEvent(SDL_WINDOWEVENT_RESTORED)},
		{"did enter foreground", test::plainEvent(SDL_APP_DIDENTERFOREGROUND)},
	};
	for (const Named& a : away) {
		for (const Named& b : back) {
			const std::string name = std::string(a.name) + ", then " + b.name;
			auto session = started(true, true);
			window.focus = true;
			frame(*session, {test::mouseMoveBy(30, 0)});
			ASSERT_TRUE(window.relativeMouse) << name;
			const float time = session->level().graphicsContext()->time;

			EXPECT_EQ(frame(*session, {a.event, a.event}), "app: in the background, game paused and audio muted\n")
				<< name;
			EXPECT_TRUE(session->level().audio()->backgroundMute) << name;
			EXPECT_FALSE(window.relativeMouse) << name;
			EXPECT_TRUE(session->events().menuOpen()) << name;
			frame(*session);
			EXPECT_EQ(session->level().graphicsContext()->time, time) << name;

			EXPECT_EQ(frame(*session, {b.event, b.event}), "app: back in the foreground, audio resumed\n") << name;
			EXPECT_FALSE(session->level().audio()->backgroundMute) << name;
		}
	}
}

TEST_F(SessionEventsTest, ALevelPlayedWithoutTheMenusStandsStillInTheBackground) {
	auto session = started(true, false);
	frame(*session);
	const float before = session->level().graphicsContext()->time;
	frame(*session, {test::windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)});
	frame(*session);
	EXPECT_FALSE(session->events().menuOpen());
	EXPECT_EQ(session->level().graphicsContext()->time, before);
	frame(*session, {test::windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)});
	EXPECT_GT(session->level().graphicsContext()->time, before);
}

// --- Mouse

TEST_F(SessionEventsTest, MouseTravelCapturesTheMouseAndItsMotionTurns) {
	window.focus = true;
	{
		auto session = started(true);
		frame(*session, {test::mouseMoveBy(10, -14)});
		EXPECT_FALSE(window.relativeMouse) << "24 pixels";
		frame(*session, {test::mouseMoveBy(0, 1)});
		EXPECT_TRUE(window.relativeMouse) << "25 pixels";
		EXPECT_TRUE(session->events().input().mouseCaptured);

		// Captured with a ball: the motion is the player input's.
		events.queue.push_back(test::mouseMoveBy(7, -3));
		events.queue.push_back(test::mouseMoveBy(5, 1));
		session->events().poll();
		EXPECT_EQ(session->events().input().mouseDX, 12.f);
		EXPECT_EQ(session->events().input().mouseDY, -2.f);
	}
	{
		// Touch screens make mouse motion of their own: it never captures.
		auto session = started(true);
		frame(*session, {test::mouseMoveBy(100, 100, SDL_TOUCH_MOUSEID)});
		EXPECT_FALSE(window.relativeMouse);
	}
	{
		// The free camera turns by the motion itself.
		options.dev = true;
		auto session = started(true);
		frame(*session, {keyDown(SDLK_F4), test::mouseMoveBy(25, 0)});
		ASSERT_TRUE(session->view().freeCameraOn());
		ASSERT_TRUE(window.relativeMouse);
		const FreeCamera& view = session->view().freeView();
		const float yaw = view.yaw, pitch = view.pitch;
		events.queue.push_back(test::mouseMoveBy(50, 25));
		session->events().poll();
		EXPECT_NEAR(view.yaw, yaw + 0.2f, 1e-6f);
		EXPECT_NEAR(view.pitch, pitch - 0.1f, 1e-6f);
	}
	{
		// Nothing to steer (no ball, no free camera): never captured.
		auto session = started();
		frame(*session, {test::mouseMoveBy(100, 0)});
		EXPECT_FALSE(window.relativeMouse);
	}
}

// A camera sensitivity edited by hand to no number once turned the camera to
// NaN angles with the first captured mouse motion, and 'w' rolled the ball no
// more; a negative one turned the camera the wrong way, down to the floor.
TEST_F(SessionEventsTest, ACapturedMouseTurnsAndWRollsWhateverCameraSensitivityIsStored) {
	test::SceneWriter level = test::testLevelScene();
	test::LevelFixtures(level).mesh("floor", test::floorTriangles(10000.f, -300.f));
	test::writeTestLevel(dir.path(), level);
	Settings settings;
	app.settings = &settings;
	window.focus = true;
	struct Played {
		math::Vector3 travel;	// over the ground, in 1.5 s with 'w' held
		math::Matrix3x4 camera; // the session camera's world transform at the end
		float rise;				// of the camera's height over the ball
	};
	auto cameraOverBall = [](LevelSession& session) {
		return session.level().camera()->getWorldTransform().m[1][3] - session.level().player()->ballPosition().y;
	};
	// The mouse captured, then moved right and down while 'w' is held.
	auto play = [&](const char* sensitivity) {
		settings.setString("controls.camera_sensitivity", sensitivity);
		auto session = started(true);
		session->level().player()->placeAtStart();
		frame(*session, {test::mouseMoveBy(10, -14)});
		frame(*session, {test::mouseMoveBy(0, 1)});
		EXPECT_TRUE(session->events().input().mouseCaptured);
		const math::Vector3 start = session->level().player()->ballPosition();
		const float height = cameraOverBall(*session);
		keys.press(SDL_SCANCODE_W);
		for (int i = 0; i < 94; ++i)
			frame(*session, {test::mouseMoveBy(i < 10 ? 8 : 0, i < 10 ? 3 : 0)});
		keys.release(SDL_SCANCODE_W);
		Played played;
		played.travel = session->level().player()->ballPosition() - start;
		played.travel.y = 0.f;
		played.camera = session->level().camera()->getWorldTransform();
		played.rise = cameraOverBall(*session) - height;
		return played;
	};
	const Played inRange = play("1");
	for (const char* stored : {"1", "nan", "inf", "-inf", "-5", "1e38", "0.5"}) {
		SCOPED_TRACE(stored);
		const Played played = stored == std::string("1") ? inRange : play(stored);
		for (int row = 0; row < 3; ++row) {
			for (int column = 0; column < 4; ++column)
				EXPECT_TRUE(std::isfinite(played.camera.m[row][column])) << "camera (" << row << ", " << column << ")";
		}
		EXPECT_GT(played.travel.length(), 500.f) << "'w' rolls the ball";
		EXPECT_GT(played.rise, 0.f) << "the mouse moved down raises the camera, as it does under 1";
		if (stored == std::string("nan") || stored == std::string("inf") || stored == std::string("-inf")) {
			// The default sensitivity, so the very same run as with 1.
			EXPECT_NEAR((played.travel - inRange.travel).length(), 0.f, 1e-3f);
		}
	}
	EXPECT_EQ(settings.getString("controls.camera_sensitivity", ""), "0.5") << "the stored text was left as it was";
}

// --- Touch and input notices

TEST_F(SessionEventsTest, FingersReachThePlayerInputOnlyInPlay) {
	auto session = started(true, true);
	frame(*session, {keyDown(SDLK_p)});
	frame(*session, {finger(SDL_FINGERDOWN, 1, 0.3f, 0.5f)});
	EXPECT_FALSE(session->events().input().moveTouch().active) << "menu open";
	session->events().menu().close();
	frame(*session, {finger(SDL_FINGERDOWN, 1, 0.3f, 0.5f)});
	EXPECT_TRUE(session->events().input().moveTouch().active);
}

TEST_F(SessionEventsTest, FingersLiftedWhileAMenuTakesTheirEventsAreForgotten) {
	// Two fingers steer the ball; a menu opens over them (the third finger of
	// a tap opens the port menu, 'p' the in-game menu) and takes the lifts
	// of all of them. Kept as down, the two would hold the move and camera
	// fingers after the menu closed, and the next touches would be misread.
	apptest::ScopedSetting noUpdates("general.check_updates", "0");
	ASSERT_TRUE(overlayUp());
	struct Case {
		const char* name;
		std::vector<SDL_Event> open, lift, close;
		bool portMenu; // else the in-game menu
	};
	const Case cases[] = {
		{"port menu, three-finger tap",
		 {finger(SDL_FINGERDOWN, 3, 0.5f, 0.8f)},
		 {finger(SDL_FINGERUP, 1, 0.3f, 0.5f), finger(SDL_FINGERUP, 2, 0.7f, 0.5f),
		  finger(SDL_FINGERUP, 3, 0.5f, 0.8f)},
		 {keyDown(SDLK_ESCAPE)},
		 true},
		{"in-game menu, 'p'",
		 {keyDown(SDLK_p)},
		 {finger(SDL_FINGERUP, 1, 0.3f, 0.5f), finger(SDL_FINGERUP, 2, 0.7f, 0.5f)},
		 {keyDown(SDLK_p)},
		 false},
	};
	for (const Case& c : cases) {
		auto session = started(true, true);
		const auto menuOpen = [&] { return c.portMenu ? overlay.menuOpen() : session->events().menuOpen(); };
		const PlayerInput& input = session->events().input();
		frame(*session, {finger(SDL_FINGERDOWN, 1, 0.3f, 0.5f), finger(SDL_FINGERDOWN, 2, 0.7f, 0.5f)});
		ASSERT_TRUE(input.moveTouch().active && input.cameraTouch().active) << c.name;

		for (const SDL_Event& e : c.open)
			events.queue.push_back(e);
		frame(*session);
		ASSERT_TRUE(menuOpen()) << c.name;
		for (const SDL_Event& e : c.lift)
			events.queue.push_back(e);
		frame(*session);
		EXPECT_FALSE(input.moveTouch().active) << c.name;
		EXPECT_FALSE(input.cameraTouch().active) << c.name;

		for (const SDL_Event& e : c.close)
			events.queue.push_back(e);
		frame(*session);
		ASSERT_FALSE(menuOpen()) << c.name;
		// The next finger steers the ball.
		frame(*session, {finger(SDL_FINGERDOWN, 4, 0.3f, 0.5f)});
		EXPECT_TRUE(input.moveTouch().active) << c.name;
		EXPECT_EQ(input.moveTouch().id, 4) << c.name;
		frame(*session, {finger(SDL_FINGERUP, 4, 0.3f, 0.5f)});
	}
}

TEST_F(SessionEventsTest, AChangeOfInputKindIsShownAsANotice) {
	auto session = started(true);
	keys.press(SDL_SCANCODE_W);
	frame(*session);
	keys.release(SDL_SCANCODE_W);
	frame(*session, {finger(SDL_FINGERDOWN, 1, 0.3f, 0.5f), finger(SDL_FINGERMOTION, 1, 0.3f, 0.1f)});
	EXPECT_TRUE(overlay.notices().empty()) << "the first change waits 1500 ms from the start";
	clock.now += 1500;
	frame(*session);
	ASSERT_EQ(overlay.notices().queued().size(), 1u);
	EXPECT_EQ(overlay.notices().queued()[0].text, "Touch");
	EXPECT_EQ(overlay.notices().queued()[0].icon, "\xEF\x89\x9A"); // U+F25A
	EXPECT_EQ(overlay.notices().queued()[0].duration, 3.5f);
}

// --- Developer keys

TEST_F(SessionEventsTest, DeveloperKeys) {
	options.dev = true;
	auto session = started(true);
	ASSERT_EQ(session->level().sceneCameras().size(), 2u);
	const std::string first = session->level().sceneCameras()[0]->getName().c_str();
	const std::string second = session->level().sceneCameras()[1]->getName().c_str();
	EXPECT_EQ(frame(*session, {keyDown(SDLK_TAB), keyDown(SDLK_TAB), keyDown(SDLK_TAB)}),
			  "camera: " + first + "\ncamera: " + second + "\ncamera: free\n");

	hgr::Node* helper = session->level().scene()->findNode("C_collision");
	ASSERT_NE(helper, nullptr);
	ASSERT_FALSE(helper->isEnabled());
	frame(*session, {keyDown(SDLK_F3)});
	EXPECT_TRUE(helper->isEnabled());
	frame(*session, {keyDown(SDLK_F3)});
	EXPECT_FALSE(helper->isEnabled());

	ASSERT_TRUE(session->view().scriptedViewOn());
	frame(*session, {keyDown(SDLK_F4)});
	EXPECT_FALSE(session->view().scriptedViewOn());
	EXPECT_TRUE(session->view().freeCameraOn());
	frame(*session, {keyDown(SDLK_F4)});
	EXPECT_TRUE(session->view().scriptedViewOn());
	EXPECT_FALSE(session->view().freeCameraOn());

	ASSERT_TRUE(session->level().water()->enabled);
	frame(*session, {keyDown(SDLK_F5)});
	EXPECT_FALSE(session->level().water()->enabled);

	// 'r': the ball back at the start after it fell for a while.
	frame(*session, {keyDown(SDLK_r)});
	const math::Vector3 start = session->level().player()->ballPosition();
	for (int i = 0; i < 20; ++i)
		frame(*session);
	ASSERT_GT((session->level().player()->ballPosition() - start).length(), 1.f) << "the ball did not move";
	frame(*session, {keyDown(SDLK_r)});
	EXPECT_LT((session->level().player()->ballPosition() - start).length(), 1e-3f);
}

TEST_F(SessionEventsTest, APadSteersTheBall) {
	ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
	test::SceneWriter level = test::testLevelScene();
	test::LevelFixtures(level).mesh("floor", test::floorTriangles(3000.f, -300.f));
	test::writeTestLevel(dir.path(), level);
	test::VirtualPad pad;
	ASSERT_TRUE(pad.attached()) << pad.error();
	// How far the ball rolls over the floor in 30 frames with the stick at x.
	auto travel = [&](float x) {
		auto session = started(true);
		session->level().player()->placeAtStart();
		pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, x);
		const math::Vector3 start = session->level().player()->ballPosition();
		for (int i = 0; i < 30; ++i)
			frame(*session);
		math::Vector3 moved = session->level().player()->ballPosition() - start;
		moved.y = 0.f;
		return moved;
	};
	const math::Vector3 still = travel(0.f), right = travel(1.f), left = travel(-1.f);
	EXPECT_LT(still.length(), 1.f);
	EXPECT_GT(right.length(), 5.f);
	EXPECT_GT(left.length(), 5.f);
	EXPECT_LT(right.dot(left), 0.f) << "right and left go opposite ways";
	pad.detach();
	Controllers::instance().closeDetached();
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST_F(SessionEventsTest, DeveloperKeysNeedTheDeveloperFlag) {
	auto session = started(true);
	test::ScopedCwd cwd;
	ASSERT_EQ(chdir(dir.path().c_str()), 0);
	EXPECT_EQ(frame(*session,
					{keyDown(SDLK_TAB), keyDown(SDLK_F3), keyDown(SDLK_F4), keyDown(SDLK_F5), keyDown(SDLK_F12)}),
			  "");
	EXPECT_FALSE(session->level().scene()->findNode("C_collision")->isEnabled());
	EXPECT_TRUE(session->view().scriptedViewOn());
	EXPECT_TRUE(session->level().water()->enabled);
}

TEST_F(SessionEventsTest, F12SavesTheFrameAsRendered) {
	// The swap leaves the back buffer undefined: a save while the events are
	// handled would read whatever is there (blue here), not the level.
	options.dev = true;
	auto session = started();
	test::ScopedCwd cwd;
	ASSERT_EQ(chdir(dir.path().c_str()), 0);
	frame(*session);
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glClearColor(0.f, 0.f, 1.f, 1.f);
	glClear(GL_COLOR_BUFFER_BIT);

	events.queue.push_back(keyDown(SDLK_F12));
	clock.now += 16;
	const std::string name = "screenshot-" + std::to_string(clock.now) + ".png";
	testing::internal::CaptureStdout();
	session->frame();
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "saved " + name + "\n");

	ImageData image;
	ASSERT_TRUE(loadImageFile(dir / name, image));
	ASSERT_FALSE(image.levels.empty());
	const auto& level = image.levels[0];
	ASSERT_EQ(level.width, test::GLTestContext::WIDTH);
	auto pixel = [&](int x, int y) {
		const uint8_t* p = &level.pixels[(static_cast<size_t>(y) * level.width + x) * 4];
		return std::vector<int>{p[0], p[1], p[2]};
	};
	EXPECT_EQ(pixel(32, 32), (std::vector<int>{0, 255, 0})) << "the green ground";
	EXPECT_EQ(pixel(1, 1), (std::vector<int>{255, 0, 0})) << "the red background";
}

} // namespace
