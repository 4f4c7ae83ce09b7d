// The HUD on a recording canvas with the writer-made menu data, a map-backed
// world and a player ride: the collectables counter, the ride display, the
// results panels with the high-score file, and the start logo.
#include "UiFakes.h"
#include "game/app/TestMenuData.h"
#include "store/Scores.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "ui/Hud.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumaroll;

namespace {

const float kFrame = 1.f / 60.f;

class HudTest : public testing::Test {
protected:
	void SetUp() override {
		static test::TempDir data;
		static bool written = false;
		if (!written) {
			apptest::writeMenuData(data.path());
			written = true;
		}
		ASSERT_TRUE(canvas.loadAtlas(data / "resources/images/MENU.dat"));
		ASSERT_TRUE(canvas.loadAtlas(data / "resources/images/INGAME.dat"));
		ASSERT_TRUE(canvas.loadFont(data / "resources/localization/FONT.dat"));
		ASSERT_TRUE(canvas.loadFont(data / "resources/localization/FONT_YELLOW.dat"));
		canvas.setViewport(800, 480);
		hud.collectablesTotal = 5;
	}

	// One frame: (paused, level over, menu open) with the player, or without one.
	void frame(bool paused = false, bool levelOver = false, bool menuOpen = false, float dt = kFrame) {
		canvas.clear();
		hud.draw(canvas, world, withPlayer ? &player : nullptr, paused, levelOver, dt, menuOpen);
	}

	// Submits to a scores file in the test's folder, counting the submissions.
	void useScoresFile(const std::string& file) {
		hud.submitDistance = [this, file](int distance) {
			++submissions;
			ScoreSubmission entry;
			entry.file = file;
			entry.place = addHighScore(file, distance, entry.best, entry.saved);
			return entry;
		};
	}

	uitest::RecordingCanvas canvas;
	uitest::FakeWorld world;
	HudPlayer player;
	bool withPlayer = true;
	Hud hud;
	int submissions = 0;
	test::TempDir dir;
};

TEST_F(HudTest, CounterSlidesInOnAChangeAndOutAfterThreeSeconds) {
	frame();
	EXPECT_EQ(canvas.image("LEVEL_1_PICK_ITEM_ICON"), nullptr) << "no change yet";

	world.variables["score"] = 3;
	for (int i = 0; i < 32; ++i)
		frame();
	EXPECT_LT(hud.slide, 99.f);
	frame();
	EXPECT_GT(hud.slide, 99.f) << "after 33 frames of 1/60 s";
	const auto* text = canvas.text("3/5");
	const auto* icon = canvas.image("LEVEL_1_PICK_ITEM_ICON");
	ASSERT_NE(text, nullptr) << canvas.drawn();
	ASSERT_NE(icon, nullptr);
	const float width = float(3 * apptest::kGlyphWidth + 40); // text and icon
	EXPECT_NEAR(icon->x, 800.f + (1.f - hud.slide / 100.f) * width, 1e-3);
	EXPECT_FLOAT_EQ(icon->y, 0.f);
	EXPECT_EQ(text->font, "FONT");
	EXPECT_FLOAT_EQ(text->x, icon->x - 40.f);
	EXPECT_FLOAT_EQ(text->y, 15.f); // half the icon's height
	EXPECT_EQ(text->hAlign, 2);
	EXPECT_EQ(text->vAlign, 1);

	// Shown for 3 s after the change (180 frames), then sliding out.
	for (int i = 33; i < 179; ++i)
		frame();
	const float shown = hud.slide;
	EXPECT_GT(shown, 99.9f);
	frame();
	frame();
	EXPECT_LT(hud.slide, shown);
	for (int i = 0; i < 60; ++i)
		frame();
	EXPECT_EQ(canvas.image("LEVEL_1_PICK_ITEM_ICON"), nullptr);
	EXPECT_EQ(canvas.text("3/5"), nullptr);
}

TEST_F(HudTest, ChangeWhilePausedRestartsTheTimerButStaysHidden) {
	world.variables["score"] = 1;
	for (int i = 0; i < 30; ++i)
		frame(true);
	EXPECT_NEAR(hud.countTimer, 3.f - 30 * kFrame, 1e-4) << "restarted, then counting down";
	EXPECT_FLOAT_EQ(hud.slide, 0.f);
	EXPECT_EQ(canvas.image("LEVEL_1_PICK_ITEM_ICON"), nullptr);
	// Once the game runs again the rest of the 3 s shows the counter.
	for (int i = 0; i < 30; ++i)
		frame();
	EXPECT_NE(canvas.text("1/5"), nullptr);
}

TEST_F(HudTest, LevelWithoutCollectablesNeverShowsThem) {
	hud.collectablesTotal = 0;
	world.variables["score"] = 2;
	for (int i = 0; i < 40; ++i)
		frame();
	for (int i = 0; i < 10; ++i)
		frame(false, true);
	withPlayer = false;
	frame(false, true);
	EXPECT_TRUE(canvas.images.empty()) << canvas.drawn();
	EXPECT_TRUE(canvas.texts.empty()) << canvas.drawn();
}

TEST_F(HudTest, RideDisplay) {
	player.railIndex = 0;
	player.distanceRidden = 12345.6f;
	world.variables["timer01"] = 12.34f;
	struct Case {
		float countdown;
		const char* image; // null: none
	};
	const Case cases[] = {
		{0.4f, nullptr},
		{0.6f, "LEVEL_2_START_COUNTDOWN_1"},
		{2.49f, "LEVEL_2_START_COUNTDOWN_2"},
		{3.4f, "LEVEL_2_START_COUNTDOWN_3"},
		{3.6f, nullptr},
		{-1.f, nullptr},
		{NAN, nullptr},
		{1e30f, nullptr},
	};
	for (const Case& c : cases) {
		world.variables["countdown"] = c.countdown;
		frame();
		std::string countdown;
		for (const auto& i : canvas.images)
			if (i.image.find("COUNTDOWN") != std::string::npos)
				countdown += i.image;
		EXPECT_EQ(countdown, c.image ? c.image : "") << c.countdown;
		if (c.image) {
			EXPECT_FLOAT_EQ(canvas.image(c.image)->x, 400.f);
			EXPECT_FLOAT_EQ(canvas.image(c.image)->y, 160.f);
		}
	}
	ASSERT_NE(canvas.image("LEVEL_2_HUD_TIME"), nullptr);
	EXPECT_FLOAT_EQ(canvas.image("LEVEL_2_HUD_DISTANCE")->x, 800.f);
	const auto* time = canvas.text("12.3");
	const auto* distance = canvas.text("123");
	ASSERT_NE(time, nullptr) << canvas.drawn();
	ASSERT_NE(distance, nullptr) << canvas.drawn();
	EXPECT_FLOAT_EQ(time->x, 175.f);
	EXPECT_FLOAT_EQ(distance->x, 800.f - 52.f);
	EXPECT_FLOAT_EQ(distance->y, 25.f);

	// Paused, nothing of the ride is drawn.
	frame(true);
	EXPECT_EQ(canvas.image("LEVEL_2_HUD_TIME"), nullptr);
}

TEST_F(HudTest, RideResultsEnterTheBestDistancesOnce) {
	struct Case {
		const char* name;
		const char* stored; // null: no file
		float distance;		// scene units
		int place;
		std::vector<std::string> rows; // "font: text" of each row's distance
		const char* file;
	};
	const Case cases[] = {
		{"noFileNotPlaced", nullptr, 500.f, -1, {"FONT: 3500 m", "FONT: 2000 m", "FONT: 1000 m"}, "3500\n2000\n1000\n"},
		{"secondPlace",
		 nullptr,
		 250000.f,
		 1,
		 {"FONT: 3500 m", "FONT_YELLOW: 2500 m", "FONT: 2000 m"},
		 "3500\n2500\n2000\n"},
		{"twoStored", "500\n", 100.f, 1, {"FONT: 500 m", "FONT_YELLOW: 1 m"}, "500\n1\n"},
	};
	for (const Case& c : cases) {
		Hud fresh;
		hud = fresh;
		hud.collectablesTotal = 5;
		const std::string file = dir / (std::string(c.name) + ".scores");
		if (c.stored) {
			ASSERT_TRUE(test::writeFile(file, c.stored));
		}
		submissions = 0;
		useScoresFile(file);
		player.railIndex = 2;
		player.distanceRidden = c.distance;
		hud.resultsTimer = 0.f;
		for (int i = 0; i < 3; ++i)
			frame(false, true, false, 0.1f);
		EXPECT_EQ(submissions, 1) << c.name;
		EXPECT_EQ(hud.place, c.place) << c.name;
		EXPECT_EQ(test::readFile(file), c.file) << c.name;

		std::vector<std::string> rows;
		for (const auto& t : canvas.texts) {
			if (t.hAlign == 2 && t.text.find(" m") != std::string::npos) {
				rows.push_back(t.font + ": " + t.text);
				EXPECT_FLOAT_EQ(t.x, 400.f + 115.f) << c.name;
				EXPECT_FLOAT_EQ(t.y, 272.f + 30.f * float(rows.size() - 1)) << c.name;
				EXPECT_FLOAT_EQ(t.alpha, 0.6f) << c.name;
			}
		}
		EXPECT_EQ(rows, c.rows) << c.name;
		const auto* own = canvas.text(std::to_string(int(c.distance / 100.f)) + " m");
		ASSERT_NE(own, nullptr) << c.name;
		EXPECT_FLOAT_EQ(own->x, 400.f);
		EXPECT_FLOAT_EQ(own->y, 148.f);
		EXPECT_FLOAT_EQ(own->alpha, 0.6f) << "the run's distance fades in with its panel";
		ASSERT_NE(canvas.image("LEVEL_2_RESULTS_BG"), nullptr);
		EXPECT_FLOAT_EQ(canvas.image("LEVEL_2_RESULTS_BG")->y, 229.f);
		ASSERT_NE(canvas.text("1."), nullptr) << c.name;
		EXPECT_FLOAT_EQ(canvas.text("1.")->x, 300.f);
		EXPECT_EQ(canvas.text("1.")->hAlign, 0);
	}
}

TEST_F(HudTest, UnwritableScoresFileIsReportedAndTheRowStillShown) {
	ASSERT_TRUE(test::writeFile(dir / "plain", "a file where the data folder should be"));
	const std::string file = dir / "plain/data/level2.scores";
	useScoresFile(file);
	player.railIndex = 0;
	player.distanceRidden = 250000.f;
	testing::internal::CaptureStderr();
	for (int i = 0; i < 3; ++i)
		frame(false, true);
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_EQ(err, "ui: could not save the best distances to " + file + "\n");
	EXPECT_EQ(hud.place, 1);
	std::string row;
	for (const auto& t : canvas.texts)
		if (t.hAlign == 2 && t.text == "2500 m")
			row = t.font;
	EXPECT_EQ(row, "FONT_YELLOW") << canvas.drawn();
}

TEST_F(HudTest, CollectablesResults) {
	withPlayer = false;
	struct Case {
		float score;
		const char* text;
		const char* font;
	};
	const Case cases[] = {
		{5.f, "5/5", "FONT_YELLOW"},
		{4.f, "4/5", "FONT"},
		{1e30f, "2147483647/5", "FONT_YELLOW"}, // a script's huge value saturates
		{NAN, "0/5", "FONT"},
	};
	for (const Case& c : cases) {
		world.variables["score"] = c.score;
		frame(false, true);
		const auto* text = canvas.text(c.text);
		ASSERT_NE(text, nullptr) << canvas.drawn();
		EXPECT_EQ(text->font, c.font) << c.text;
		EXPECT_FLOAT_EQ(text->x, 400.f);
		EXPECT_FLOAT_EQ(text->y, 310.f);
		ASSERT_NE(canvas.image("LEVEL_1_RESULTS_BG"), nullptr);
		EXPECT_FLOAT_EQ(canvas.image("LEVEL_1_RESULTS_BG")->y, 240.f);
	}
}

TEST_F(HudTest, ResultsFadeInOverHalfASecondWhileTheMenuIsClosed) {
	withPlayer = false;
	std::vector<float> alphas;
	for (int i = 0; i < 7; ++i) {
		frame(false, true, i == 3, 0.1f);
		const auto* panel = canvas.image("LEVEL_1_RESULTS_BG");
		alphas.push_back(panel ? panel->alpha : -1.f);
	}
	const std::vector<float> expected = {0.2f, 0.4f, 0.6f, -1.f, 0.8f, 1.f, 1.f};
	for (size_t i = 0; i < expected.size(); ++i)
		EXPECT_NEAR(alphas[i], expected[i], 1e-5) << "frame " << i;
}

TEST_F(HudTest, LogoFadesInHoldsAndFadesOut) {
	struct Case {
		float time; // the logo's time after the frame
		float alpha;
	};
	const Case cases[] = {{0.1f, 0.3f}, {1.f / 3.f, 1.f}, {2.49f, 1.f}, {3.25f, 0.5f}, {3.99f, 0.00667f}};
	for (const Case& c : cases) {
		hud.logoTimer = c.time - 0.05f;
		canvas.clear();
		hud.drawLogo(canvas, false, 0.05f);
		const auto* logo = canvas.image("MENU_LOGO");
		ASSERT_NE(logo, nullptr) << c.time;
		EXPECT_NEAR(logo->alpha, c.alpha, 1e-3) << c.time;
		EXPECT_FLOAT_EQ(logo->x, 400.f);
		EXPECT_FLOAT_EQ(logo->y, 240.f);
		EXPECT_EQ(logo->atlas, "MENU");
	}
	hud.logoTimer = 1.f;
	canvas.clear();
	hud.drawLogo(canvas, true, 0.1f);
	EXPECT_FLOAT_EQ(hud.logoTimer, 1.f) << "frozen while paused";
	EXPECT_TRUE(canvas.images.empty());

	hud.logoTimer = 0.f;
	for (int i = 0; i < 41; ++i)
		hud.drawLogo(canvas, false, 0.1f);
	EXPECT_FLOAT_EQ(hud.logoTimer, -1.f) << "done after 4 s";
	canvas.clear();
	hud.drawLogo(canvas, false, 0.1f);
	EXPECT_TRUE(canvas.images.empty());
}

} // namespace
