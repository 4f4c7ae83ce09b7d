// The in-game menu with hand-built SDL events on a recording canvas holding
// the writer-made MENU atlas: items, clicks, taps, keys, the first release
// after opening, window points against drawable pixels, and drawing.
#include "UiFakes.h"
#include "game/app/TestMenuData.h"
#include "ui/InGameMenu.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace lumaroll;
using A = lumaroll::MenuAction;

namespace {

SDL_Event mouse(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT, Uint32 which = 0) {
	SDL_Event e{};
	e.type = type;
	if (type == SDL_MOUSEMOTION) {
		e.motion.x = x;
		e.motion.y = y;
		e.motion.which = which;
	} else {
		e.button.x = x;
		e.button.y = y;
		e.button.button = button;
		e.button.which = which;
	}
	return e;
}

SDL_Event key(SDL_Keycode sym) {
	SDL_Event e{};
	e.type = SDL_KEYDOWN;
	e.key.keysym.sym = sym;
	return e;
}

class InGameMenuTest : public testing::Test {
protected:
	void SetUp() override {
		static test::TempDir data;
		static bool written = false;
		if (!written) {
			apptest::writeMenuData(data.path(), {true, false, false, false});
			written = true;
		}
		ASSERT_TRUE(canvas.loadAtlas(data / "resources/images/MENU.dat"));
		canvas.setViewport(800, 480);
		menu.open();
	}

	// Hands the event to the menu; returns its action and records closed.
	MenuAction send(const SDL_Event& e, float pixelsPerPoint = 1.f) {
		return menu.handleEvent(e, canvas, drawableHeight, closed, pixelsPerPoint);
	}
	// A left click (press and release) at (x, y), from the mouse or a touch.
	MenuAction click(int x, int y, Uint32 which = 0, float pixelsPerPoint = 1.f) {
		send(mouse(SDL_MOUSEBUTTONDOWN, x, y, SDL_BUTTON_LEFT, which), pixelsPerPoint);
		return send(mouse(SDL_MOUSEBUTTONUP, x, y, SDL_BUTTON_LEFT, which), pixelsPerPoint);
	}

	uitest::RecordingCanvas canvas;
	InGameMenu menu;
	int drawableHeight = 480;
	bool closed = false;
};

TEST_F(InGameMenuTest, ItemsFollowTheVirtualWidth) {
	menu.buildItems(853.f);
	const auto& items = menu.currentItems();
	ASSERT_EQ(items.size(), 7u);
	const char* names[] = {"MENU_TASK_SWITCHER",	"MENU_VOLUME_ON", "MENU_HELP",	 "MENU_EXIT",
						   "MENU_LEVEL_ATTRACTION", "MENU_LEVEL_1",	  "MENU_LEVEL_2"};
	const float xs[] = {0.f, 0.f, 0.f, 853.f, 170.5f, 426.5f, 682.5f};
	const float ys[] = {0.f, 0.f, 0.f, 0.f, 243.f, 243.f, 243.f};
	const MenuAction actions[] = {A::Minimise,	A::Volume,	   A::Credits,	 A::Quit,
								  A::MenuLevel, A::PlayLevel1, A::PlayLevel2};
	for (size_t i = 0; i < items.size(); ++i) {
		EXPECT_EQ(items[i].image, names[i]) << i;
		EXPECT_FLOAT_EQ(items[i].x, xs[i]) << names[i];
		EXPECT_FLOAT_EQ(items[i].y, ys[i]) << names[i];
		EXPECT_EQ(items[i].action, actions[i]) << names[i];
	}
	menu.page = 1;
	menu.volumeOn = false;
	menu.buildItems(853.f);
	ASSERT_EQ(menu.currentItems().size(), 4u);
	EXPECT_EQ(menu.currentItems()[1].image, "MENU_VOLUME_OFF");
	EXPECT_EQ(menu.currentItems()[2].image, "") << "a placeholder on the credits page";
	EXPECT_EQ(menu.currentItems()[2].action, A::None);
}

TEST_F(InGameMenuTest, ClicksOnItems) {
	struct Case {
		const char* name;
		int x, y;
		MenuAction action;
		int page; // after the click
	};
	const Case cases[] = {
		{"taskSwitcher", 30, 30, A::Minimise, 0}, {"volume", 100, 59, A::Volume, 0},
		{"credits", 140, 0, A::Credits, 1},		  {"exit", 799, 10, A::Quit, 0},
		{"attraction", 44, 143, A::MenuLevel, 0}, {"level1", 400, 243, A::PlayLevel1, 0},
		{"level2", 755, 342, A::PlayLevel2, 0},	  {"empty", 520, 243, A::None, -1},
		{"belowLevels", 400, 343, A::None, -1},
	};
	for (const Case& c : cases) {
		menu.open();
		EXPECT_EQ(click(c.x, c.y), c.action) << c.name;
		EXPECT_EQ(menu.page, c.page) << c.name;
		EXPECT_EQ(closed, c.page == -1) << c.name;
	}
}

TEST_F(InGameMenuTest, EmptyClicksGoBackAPageThenClose) {
	EXPECT_EQ(click(170, 30), A::Credits);
	ASSERT_EQ(menu.page, 1);
	EXPECT_EQ(click(400, 243), A::None) << "no level items on the credits page";
	EXPECT_EQ(menu.page, 0);
	EXPECT_FALSE(closed);
	EXPECT_EQ(click(520, 400), A::None);
	EXPECT_EQ(menu.page, -1);
	EXPECT_TRUE(closed);
}

TEST_F(InGameMenuTest, OnlyAReleaseAfterAPressCounts) {
	// The release of the click that opened the menu, over an item: nothing.
	EXPECT_EQ(send(mouse(SDL_MOUSEBUTTONUP, 400, 243)), A::None);
	EXPECT_TRUE(menu.isOpen());
	EXPECT_FALSE(closed);
	// Over no item: the menu stays open.
	EXPECT_EQ(send(mouse(SDL_MOUSEBUTTONUP, 520, 400)), A::None);
	EXPECT_TRUE(menu.isOpen());
	// Touch releases follow the same rule.
	EXPECT_EQ(send(mouse(SDL_MOUSEBUTTONUP, 400, 243, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID)), A::None);
	EXPECT_EQ(click(400, 243), A::PlayLevel1);
	// Each release needs its own press.
	EXPECT_EQ(send(mouse(SDL_MOUSEBUTTONUP, 400, 243)), A::None);
	// Opening again forgets a press made before.
	send(mouse(SDL_MOUSEBUTTONDOWN, 400, 243));
	menu.open();
	EXPECT_EQ(send(mouse(SDL_MOUSEBUTTONUP, 400, 243)), A::None);
	// A right press does not arm a left release.
	send(mouse(SDL_MOUSEBUTTONDOWN, 400, 243, SDL_BUTTON_RIGHT));
	EXPECT_EQ(send(mouse(SDL_MOUSEBUTTONUP, 400, 243)), A::None);
}

TEST_F(InGameMenuTest, TouchReleasesActAsMouseReleases) {
	EXPECT_EQ(click(400, 243, SDL_TOUCH_MOUSEID), A::PlayLevel1);
	EXPECT_EQ(click(520, 400, SDL_TOUCH_MOUSEID), A::None);
	EXPECT_TRUE(closed);
}

TEST_F(InGameMenuTest, OtherButtonsOnlySelect) {
	send(mouse(SDL_MOUSEBUTTONDOWN, 400, 243, SDL_BUTTON_RIGHT));
	EXPECT_EQ(send(mouse(SDL_MOUSEBUTTONUP, 400, 243, SDL_BUTTON_RIGHT)), A::None);
	EXPECT_EQ(menu.selected, 5);
	EXPECT_TRUE(menu.isOpen());
	EXPECT_EQ(send(mouse(SDL_MOUSEMOTION, 100, 30)), A::None);
	EXPECT_EQ(menu.selected, 1);
	send(mouse(SDL_MOUSEMOTION, 520, 30));
	EXPECT_EQ(menu.selected, -1);
}

TEST_F(InGameMenuTest, VolumeTogglesAndItsImageFollows) {
	EXPECT_EQ(click(100, 30), A::Volume);
	EXPECT_FALSE(menu.volumeOn);
	canvas.clear();
	menu.draw(canvas);
	EXPECT_NE(canvas.image("MENU_VOLUME_OFF"), nullptr) << canvas.drawn();
	EXPECT_EQ(canvas.image("MENU_VOLUME_ON"), nullptr);
	EXPECT_EQ(click(100, 30), A::Volume);
	EXPECT_TRUE(menu.volumeOn);
	canvas.clear();
	menu.draw(canvas);
	EXPECT_NE(canvas.image("MENU_VOLUME_ON"), nullptr);
}

TEST_F(InGameMenuTest, Keys) {
	struct Step {
		SDL_Keycode key;
		MenuAction action;
		int selected;
		int page;
	};
	struct Case {
		const char* name;
		std::vector<Step> steps;
	};
	const Case cases[] = {
		{"rightThenLeft",
		 {{SDLK_RIGHT, A::None, 4, 0},
		  {SDLK_LEFT, A::None, 6, 0},
		  {SDLK_LEFT, A::None, 5, 0},
		  {SDLK_LEFT, A::None, 4, 0}}},
		{"rightWraps",
		 {{SDLK_RIGHT, A::None, 4, 0},
		  {SDLK_RIGHT, A::None, 5, 0},
		  {SDLK_RIGHT, A::None, 6, 0},
		  {SDLK_RIGHT, A::None, 4, 0}}},
		{"leftFirst", {{SDLK_LEFT, A::None, 6, 0}, {SDLK_RETURN, A::PlayLevel2, 6, 0}}},
		{"returnWithNone", {{SDLK_RETURN, A::None, -1, 0}, {SDLK_SPACE, A::None, -1, 0}}},
		{"rightRightReturn",
		 {{SDLK_RIGHT, A::None, 4, 0}, {SDLK_RIGHT, A::None, 5, 0}, {SDLK_RETURN, A::PlayLevel1, 5, 0}}},
		{"spaceActivates", {{SDLK_RIGHT, A::None, 4, 0}, {SDLK_SPACE, A::MenuLevel, 4, 0}}},
		{"pCloses", {{SDLK_p, A::None, -1, -1}}},
		{"escapeCloses", {{SDLK_ESCAPE, A::None, -1, -1}}},
		{"otherKey", {{SDLK_a, A::None, -1, 0}}},
	};
	for (const Case& c : cases) {
		menu.open();
		for (size_t i = 0; i < c.steps.size(); ++i) {
			const Step& s = c.steps[i];
			EXPECT_EQ(send(key(s.key)), s.action) << c.name << " step " << i;
			EXPECT_EQ(menu.selected, s.selected) << c.name << " step " << i;
			EXPECT_EQ(menu.page, s.page) << c.name << " step " << i;
			EXPECT_EQ(closed, s.page == -1) << c.name << " step " << i;
		}
	}
}

TEST_F(InGameMenuTest, KeysOnTheCreditsPage) {
	EXPECT_EQ(click(170, 30), A::Credits);
	EXPECT_EQ(send(key(SDLK_RIGHT)), A::None);
	EXPECT_EQ(send(key(SDLK_LEFT)), A::None);
	EXPECT_EQ(menu.selected, -1) << "arrows do nothing on the credits page";
	EXPECT_EQ(send(key(SDLK_ESCAPE)), A::None);
	EXPECT_EQ(menu.page, 0) << "back to the main page";
	EXPECT_FALSE(closed);
	EXPECT_EQ(click(170, 30), A::Credits);
	EXPECT_EQ(send(key(SDLK_p)), A::None);
	EXPECT_EQ(menu.page, 0);
}

TEST_F(InGameMenuTest, ClosedMenuTakesNothing) {
	menu.close();
	menu.selected = 3;
	closed = true;
	for (const SDL_Event& e : {key(SDLK_RETURN), key(SDLK_p), mouse(SDL_MOUSEBUTTONDOWN, 400, 243),
							   mouse(SDL_MOUSEBUTTONUP, 400, 243), mouse(SDL_MOUSEMOTION, 400, 243)}) {
		EXPECT_EQ(send(e), A::None);
		EXPECT_FALSE(closed);
		EXPECT_EQ(menu.page, -1);
		EXPECT_EQ(menu.selected, 3);
	}
	canvas.clear();
	menu.draw(canvas);
	EXPECT_TRUE(canvas.images.empty());
}

// A drawable twice the window's size in points: SDL reports (400, 243) for
// the point over the middle level at virtual (400, 243).
TEST_F(InGameMenuTest, WindowPointsBecomeDrawablePixels) {
	canvas.setViewport(1600, 960);
	drawableHeight = 960;
	send(mouse(SDL_MOUSEMOTION, 400, 243), 2.f);
	EXPECT_EQ(menu.selected, 5);
	EXPECT_EQ(click(400, 243, 0, 2.f), A::PlayLevel1);
	// Points taken as pixels would land at virtual (200, 121.5), on no item.
	menu.open();
	EXPECT_EQ(click(400, 243, 0, 1.f), A::None);
	EXPECT_TRUE(closed);
}

TEST_F(InGameMenuTest, DrawsThePageWithTheSelectionLarger) {
	canvas.setViewport(1920, 1080);
	send(key(SDLK_RIGHT));
	menu.draw(canvas);
	ASSERT_EQ(canvas.images.size(), 7u) << canvas.drawn();
	for (const auto& i : canvas.images) {
		EXPECT_EQ(i.atlas, "MENU");
		EXPECT_FLOAT_EQ(i.alpha, 1.f);
		EXPECT_FLOAT_EQ(i.scale, i.image == "MENU_LEVEL_ATTRACTION" ? 1.06f : 1.f) << i.image;
	}
	EXPECT_FLOAT_EQ(canvas.image("MENU_LEVEL_ATTRACTION")->x, 170.5f);

	canvas.clear();
	click(170, 30);
	menu.draw(canvas);
	ASSERT_EQ(canvas.images.size(), 4u) << canvas.drawn();
	EXPECT_EQ(canvas.images[0].image, "MENU_CREDITS") << "below the buttons";
	EXPECT_FLOAT_EQ(canvas.images[0].x, 26.5f);
	EXPECT_FLOAT_EQ(canvas.images[0].y, 0.f);
}

} // namespace
