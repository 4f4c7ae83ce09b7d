// Input through the overlay in-process: clicks from batched events, the touch
// gesture, the routing of every kind of event, controller navigation and
// held keys across the menu's closing.
#include "OverlayFixture.h"

#include "support/VirtualPad.h"

#include "files/Paths.h"
#include "store/Settings.h"
#include "support/Files.h"

#include <imgui.h>

#include <cmath>

using namespace lumaroll;

namespace {

class OverlayInputTest : public overlaytest::OverlayTest {
protected:
	void SetUp() override {
		overlaytest::OverlayTest::SetUp();
		if (IsSkipped())
			return;
		ASSERT_TRUE(start());
		watchFrames();
		overlay.setMenuOpen(true);
		overlay.setContentBody([this]() {
			if (ImGui::Button("probe", ImVec2(200.f, 60.f)))
				++clicks;
			overlay.menu().frame().noteItem("probe");
			ImGui::SliderFloat("##slider", &sliderValue, 0.f, 100.f);
			overlay.menu().frame().noteItem("slider");
			if (tall)
				ImGui::Dummy(ImVec2(10.f, 3000.f));
			arrowHeld = ImGui::IsKeyDown(ImGui::GetKeyIndex(ImGuiKey_DownArrow));
		});
		frame();
		probe = item("probe");
		slider = item("slider");
		ASSERT_GT(probe.width, 0.f);
	}

	// Runs frames until a click arrived (at most n); returns the frame count.
	int framesUntilClick(int n) {
		for (int i = 1; i <= n; ++i) {
			frame();
			if (clicks > 0)
				return i;
		}
		return 0;
	}

	int cx() const { return int(probe.x + probe.width / 2); }
	int cy() const { return int(probe.y + probe.height / 2); }

	int clicks = 0;
	float sliderValue = 50.f;
	bool tall = false;
	bool arrowHeld = false;
	FrameReport::Item probe, slider;
};

TEST_F(OverlayInputTest, MotionPressAndReleaseInOneBatchGiveOneClickAfterThePressFrame) {
	feed({test::mouseMotion(cx(), cy()), test::mouseButton(true, cx(), cy()), test::mouseButton(false, cx(), cy())});
	frame();
	EXPECT_EQ(clicks, 0) << "the click must come on a later frame than the press";
	EXPECT_TRUE(last.pointer.down[0]);
	EXPECT_FLOAT_EQ(last.pointer.x, float(cx()));
	EXPECT_GT(framesUntilClick(3), 0);
	for (int i = 0; i < 3; ++i)
		frame();
	EXPECT_EQ(clicks, 1);
	EXPECT_FALSE(last.pointer.down[0]);
}

TEST_F(OverlayInputTest, PressAtOnePlaceAndReleaseElsewhereClicksNothing) {
	feed({test::mouseButton(true, cx(), cy()), test::mouseButton(false, cx() + 400, cy() + 300)});
	EXPECT_EQ(framesUntilClick(4), 0);
}

TEST_F(OverlayInputTest, TouchTapClicksOnceOnRelease) {
	const Uint32 touch = SDL_TOUCH_MOUSEID;
	EXPECT_TRUE(overlay.handleEvent(test::mouseButton(true, cx(), cy(), SDL_BUTTON_LEFT, touch, 1000)));
	EXPECT_EQ(overlay.scroll().touch(), ContentScroll::Touch::Undecided);
	for (int i = 0; i < 3; ++i)
		frame();
	EXPECT_EQ(clicks, 0);
	EXPECT_FALSE(last.pointer.down[0]) << "the press is held back until the gesture is known";
	EXPECT_TRUE(last.pointer.fromTouch);
	EXPECT_TRUE(overlay.handleEvent(test::mouseButton(false, cx(), cy(), SDL_BUTTON_LEFT, touch, 1080)));
	EXPECT_EQ(overlay.scroll().touch(), ContentScroll::Touch::Idle);
	EXPECT_GT(framesUntilClick(3), 0);
	for (int i = 0; i < 3; ++i)
		frame();
	EXPECT_EQ(clicks, 1);
}

TEST_F(OverlayInputTest, VerticalSwipeScrollsAndNeverClicksOrMovesTheSlider) {
	const Uint32 touch = SDL_TOUCH_MOUSEID;
	const int travel = int(std::ceil(10.f * overlay.menu().scale())) + 1;
	for (const auto& start : {probe, slider}) {
		SCOPED_TRACE(start.x == probe.x && start.y == probe.y ? "on the button" : "on the slider");
		const int x = int(start.x + start.width / 2), y = int(start.y + start.height / 2);
		overlay.scroll().scrollBy(-overlay.scroll().pending());
		EXPECT_TRUE(overlay.handleEvent(test::mouseButton(true, x, y, SDL_BUTTON_LEFT, touch, 2000)));
		EXPECT_TRUE(overlay.handleEvent(test::mouseMotion(x + 2, y + travel, touch, 2020)));
		EXPECT_EQ(overlay.scroll().touch(), ContentScroll::Touch::Scrolling);
		EXPECT_FLOAT_EQ(overlay.scroll().pending(), float(-travel));
		// The stand-in menu would scroll; the slider must stay where it is.
		overlay.scroll().scrollBy(-overlay.scroll().pending());
		EXPECT_TRUE(overlay.handleEvent(test::mouseButton(false, x + 2, y + travel, SDL_BUTTON_LEFT, touch, 2040)));
		for (int i = 0; i < 4; ++i)
			frame();
	}
	EXPECT_EQ(clicks, 0);
	EXPECT_FLOAT_EQ(sliderValue, 50.f);
}

TEST_F(OverlayInputTest, HorizontalDragReplaysThePressAndMovesTheSlider) {
	const Uint32 touch = SDL_TOUCH_MOUSEID;
	const int travel = int(std::ceil(10.f * overlay.menu().scale())) + 1;
	const int x = int(slider.x + slider.width / 2), y = int(slider.y + slider.height / 2);
	EXPECT_TRUE(overlay.handleEvent(test::mouseButton(true, x, y, SDL_BUTTON_LEFT, touch, 3000)));
	overlay.handleEvent(test::mouseMotion(x + travel, y, touch, 3020));
	EXPECT_EQ(overlay.scroll().touch(), ContentScroll::Touch::ToGui);
	for (int i = 0; i < 3; ++i)
		frame();
	overlay.handleEvent(test::mouseMotion(x + 150, y, touch, 3040));
	for (int i = 0; i < 3; ++i)
		frame();
	overlay.handleEvent(test::mouseButton(false, x + 150, y, SDL_BUTTON_LEFT, touch, 3060));
	frame();
	EXPECT_GT(sliderValue, 55.f);
}

TEST_F(OverlayInputTest, AFingerRestingBeforeLiftingStopsTheFling) {
	const Uint32 touch = SDL_TOUCH_MOUSEID;
	struct Case {
		const char* name;
		Uint32 rest;
		bool flings;
	} cases[] = {{"rest 121 ms", 121, false}, {"rest 100 ms", 100, true}};
	for (const Case& c : cases) {
		overlay.handleEvent(test::mouseButton(true, cx(), cy() + 40, SDL_BUTTON_LEFT, touch, 5000));
		overlay.handleEvent(test::mouseMotion(cx(), cy() + 10, touch, 5016));
		overlay.handleEvent(test::mouseMotion(cx(), cy() - 20, touch, 5032));
		EXPECT_NE(overlay.scroll().velocity(), 0.f) << c.name;
		overlay.handleEvent(test::mouseButton(false, cx(), cy() - 20, SDL_BUTTON_LEFT, touch, 5032 + c.rest));
		EXPECT_EQ(overlay.scroll().velocity() != 0.f, c.flings) << c.name;
		overlay.scroll().fling(0.f);
		overlay.scroll().scrollBy(-overlay.scroll().pending());
	}
}

TEST_F(OverlayInputTest, PressOnTheScrollbarStripGoesStraightToTheGui) {
	tall = true;
	frame();
	frame(); // the content's height is known from the frame before
	ASSERT_GT(overlay.scroll().area().width, 0.f) << "the content must be able to scroll";
	const int x = int(overlay.scroll().area().x + overlay.scroll().area().width - 2.f);
	const int y = int(overlay.scroll().area().y + 40.f);
	overlay.handleEvent(test::mouseButton(true, x, y, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID, 7000));
	EXPECT_EQ(overlay.scroll().touch(), ContentScroll::Touch::ToGui);
	frame();
	EXPECT_TRUE(last.pointer.down[0]);
	EXPECT_FLOAT_EQ(last.pointer.x, float(x));
}

TEST_F(OverlayInputTest, PlainMouseEventsSkipTheGesture) {
	overlay.handleEvent(test::mouseButton(true, cx(), cy()));
	EXPECT_EQ(overlay.scroll().touch(), ContentScroll::Touch::Idle);
	frame();
	EXPECT_TRUE(last.pointer.down[0]);
	EXPECT_FALSE(last.pointer.fromTouch);
}

TEST_F(OverlayInputTest, ArrowHeldThroughTheMenuClosingIsLetGo) {
	SDL_Event down = test::keyEvent(true, SDLK_DOWN);
	overlay.handleEvent(down);
	frame();
	EXPECT_TRUE(arrowHeld);
	EXPECT_TRUE(overlay.handleEvent(test::keyEvent(true, SDLK_ESCAPE)));
	EXPECT_FALSE(overlay.menuOpen());
	EXPECT_FALSE(overlay.handleEvent(test::keyEvent(false, SDLK_DOWN))) << "the closed menu passes the release on";
	overlay.handleEvent(test::keyEvent(true, SDLK_ESCAPE));
	ASSERT_TRUE(overlay.menuOpen());
	frame();
	EXPECT_FALSE(arrowHeld);
}

TEST_F(OverlayInputTest, VirtualPadNavigatesWithTheDpadAndA) {
	// Offscreen windows never have focus, and SDL drops presses of an unfocused program.
	SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
	test::VirtualPad virtualPad;
	ASSERT_TRUE(virtualPad.attached()) << virtualPad.error();
	SDL_GameController* pad = SDL_GameControllerOpen(virtualPad.index());
	ASSERT_NE(pad, nullptr) << SDL_GetError();
	SDL_Joystick* joystick = SDL_GameControllerGetJoystick(pad);
	auto press = [&](SDL_GameControllerButton button) {
		for (Uint8 state : {Uint8(1), Uint8(0)}) {
			SDL_JoystickSetVirtualButton(joystick, button, state);
			SDL_GameControllerUpdate();
			test::drain([this](const SDL_Event& e) { overlay.handleEvent(e); });
			frame();
			frame();
		}
	};
	// Down reaches the footer's first button, right the one beside it, A presses it.
	bool quit = false;
	overlay.setQuitAction([&quit]() { quit = true; });
	press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
	press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
	EXPECT_FALSE(quit);
	press(SDL_CONTROLLER_BUTTON_A);
	EXPECT_TRUE(quit);
	EXPECT_TRUE(overlay.menuOpen()) << "the quit button, not continue, was pressed";
	SDL_GameControllerClose(pad);
}

// Which events the overlay keeps from the game, and which change the menu.
TEST_F(OverlayInputTest, RoutingOfEveryKindOfEvent) {
	struct Case {
		const char* name;
		SDL_Event event;
		bool menuBefore;
		bool importScreen;
		bool consumed;
		bool menuAfter;
	} cases[] = {
		{"Escape opens", test::keyEvent(true, SDLK_ESCAPE), false, false, true, true},
		{"Escape closes", test::keyEvent(true, SDLK_ESCAPE), true, false, true, false},
		{"Android Back opens", test::keyEvent(true, SDLK_AC_BACK), false, false, true, true},
		{"repeated Escape passes while closed", test::keyEvent(true, SDLK_ESCAPE, true), false, false, false, false},
		{"repeated Escape stays with the open menu", test::keyEvent(true, SDLK_ESCAPE, true), true, false, true, true},
		{"controller Back opens", test::controllerButton(true, SDL_CONTROLLER_BUTTON_BACK), false, false, true, true},
		{"import screen keeps Escape", test::keyEvent(true, SDLK_ESCAPE), true, true, true, true},
		{"import screen keeps Back", test::controllerButton(true, SDL_CONTROLLER_BUTTON_BACK), true, true, true, true},
		{"F2 with the menu closed", test::keyEvent(true, SDLK_F2), false, false, true, false},
		{"F2 with the menu open", test::keyEvent(true, SDLK_F2), true, false, true, true},
		{"closed: a key passes", test::keyEvent(true, SDLK_a), false, false, false, false},
		{"closed: a click passes", test::mouseButton(true, 10, 10), false, false, false, false},
		{"closed: a controller button passes", test::controllerButton(true, SDL_CONTROLLER_BUTTON_A), false, false,
		 false, false},
		{"open: a key is kept", test::keyEvent(true, SDLK_a), true, false, true, true},
		{"open: a click is kept", test::mouseButton(true, 10, 10), true, false, true, true},
		{"open: the wheel is kept", test::mouseWheel(0, 1), true, false, true, true},
		{"open: quitting passes too", test::quitEvent(), true, false, false, true},
		{"open: window events pass too", test::windowEvent(SDL_WINDOWEVENT_RESIZED), true, false, false, true},
	};
	for (const Case& c : cases) {
		overlay.setMenuOpen(c.menuBefore);
		overlay.setImportScreen(c.importScreen);
		ASSERT_FALSE(overlay.screenshotRequested()) << c.name;
		EXPECT_EQ(overlay.handleEvent(c.event), c.consumed) << c.name;
		EXPECT_EQ(overlay.menuOpen(), c.menuAfter) << c.name;
		if (c.event.type == SDL_KEYDOWN && c.event.key.keysym.sym == SDLK_F2) {
			EXPECT_TRUE(overlay.screenshotRequested()) << c.name;
			// The next frame takes the picture, so that the next case starts without a request.
			testing::internal::CaptureStdout();
			overlay.render();
			testing::internal::GetCapturedStdout();
		}
		overlay.handleEvent(test::mouseButton(false, 10, 10)); // nothing stays held between cases
	}
	overlay.setImportScreen(false);

	Overlay down; // never brought up
	EXPECT_FALSE(down.handleEvent(test::keyEvent(true, SDLK_ESCAPE)));
	EXPECT_FALSE(down.menuOpen());
	down.setMenuOpen(true);
	EXPECT_FALSE(down.handleEvent(test::mouseButton(true, 10, 10)));
}

// A tap of three or more fingers toggles the menu once, when its third finger
// comes down, whatever the number of fingers; the events go through SDL's
// queue in the order a touch screen sends them.
TEST_F(OverlayInputTest, AMultiFingerTapTogglesTheMenuOnce) {
	struct Finger {
		bool down;
		SDL_TouchID touch;
		SDL_FingerID id;
	};
	// Every finger down, then every finger up, on touch screen 1.
	const auto tap = [](int fingers) {
		std::vector<Finger> steps;
		for (bool down : {true, false})
			for (int f = 0; f < fingers; ++f)
				steps.push_back({down, 1, 10 + f});
		return steps;
	};
	const auto twice = [](std::vector<Finger> steps) {
		const std::vector<Finger> once = steps;
		steps.insert(steps.end(), once.begin(), once.end());
		return steps;
	};
	struct Case {
		const char* name;
		std::vector<Finger> steps;
		bool importScreen;
		// Each step's event: '+' consumed, '-' passed on; then 'T' when the menu changed with it.
		const char* expected;
	} cases[] = {
		{"three fingers", tap(3), false, "--+T+++"},
		{"four fingers", tap(4), false, "--+T+++++"},
		{"five fingers", tap(5), false, "--+T+++++++"},
		// Once the menu is open its GUI takes every event, the fingers' too.
		{"two taps of three", twice(tap(3)), false, "--+T++++++T---"},
		{"two taps of five", twice(tap(5)), false, "--+T++++++++++T++-----"},
		{"two fingers", tap(2), false, "----"},
		{"a finger lifted and put back within the tap",
		 {{true, 1, 1},
		  {true, 1, 2},
		  {true, 1, 3},
		  {false, 1, 1},
		  {true, 1, 1},
		  {false, 1, 1},
		  {false, 1, 2},
		  {false, 1, 3}},
		 false,
		 "--+T+++++"},
		{"two fingers on one screen, one on another",
		 {{true, 1, 1}, {true, 1, 2}, {true, 2, 1}, {false, 1, 1}, {false, 1, 2}, {false, 2, 1}},
		 false,
		 "------"},
		{"the import screen keeps the tap", tap(3), true, "++++++"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		overlay.setMenuOpen(c.importScreen);
		overlay.setImportScreen(c.importScreen);
		for (const Finger& f : c.steps)
			ASSERT_TRUE(
				test::push({test::fingerEvent(f.down ? SDL_FINGERDOWN : SDL_FINGERUP, f.touch, f.id, 0.5f, 0.5f)}));
		std::string seen;
		test::drain([&](const SDL_Event& e) {
			if (e.type != SDL_FINGERDOWN && e.type != SDL_FINGERUP)
				return;
			const bool before = overlay.menuOpen();
			seen += overlay.handleEvent(e) ? '+' : '-';
			if (overlay.menuOpen() != before)
				seen += 'T';
		});
		EXPECT_EQ(seen, c.expected);
		overlay.setMenuOpen(false);
	}
	overlay.setImportScreen(false);
}

TEST_F(OverlayInputTest, F11TogglesFullscreenAndStoresItWithTheMenuOpenOrClosed) {
	const std::string config = configDir() + "/config.ini";
	for (bool open : {false, true}) {
		SCOPED_TRACE(open ? "menu open" : "menu closed");
		overlay.setMenuOpen(open);
		EXPECT_TRUE(overlay.handleEvent(test::keyEvent(true, SDLK_F11)));
		EXPECT_NE(test::readFile(config).find("graphics.fullscreen=1"), std::string::npos) << test::readFile(config);
		EXPECT_TRUE(overlay.handleEvent(test::keyEvent(true, SDLK_F11)));
		EXPECT_NE(test::readFile(config).find("graphics.fullscreen=0"), std::string::npos) << test::readFile(config);
		// A repeat toggles nothing: the open menu's GUI takes it, the game gets it otherwise.
		EXPECT_EQ(overlay.handleEvent(test::keyEvent(true, SDLK_F11, true)), open);
		EXPECT_NE(test::readFile(config).find("graphics.fullscreen=0"), std::string::npos);
	}
	Settings::instance().setString("graphics.fullscreen", "0");
}

} // namespace
