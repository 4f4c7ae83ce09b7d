// The frame cap and the render scale read from the settings file, whatever
// text it holds.
#include "app/FrameTimer.h"
#include "render/RenderScaleTarget.h"
#include "store/Settings.h"
#include "support/PlatformFakes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace lumaroll;

namespace {

TEST(FrameLimitSettingTest, AnyValueGivesAUsableLimit) {
	struct Case {
		float value;
		int limit;
	};
	const Case cases[] = {
		{0.f, 0},
		{60.f, 60},
		{59.9f, 59},
		{-30.f, 0},
		{NAN, 0},
		{INFINITY, INT_MAX},
		{-INFINITY, 0},
		{1e30f, INT_MAX},
		{-1e30f, 0},
		{3e9f, INT_MAX},
		{2147483520.f, 2147483520},
	};
	for (const Case& c : cases)
		EXPECT_EQ(frameLimitFromSetting(c.value), c.limit) << c.value;
}

// As the frame reads them from the store: a value in range as it is, NaN and
// infinity the default (no cap, the whole window), other text as before.
TEST(FrameLimitSettingTest, StoredTextsGiveTheFrameLimitAndRenderScaleInForce) {
	struct Case {
		const char* text;
		int limit;
		int renderWidth; // of an 800 pixels wide window
	};
	const Case cases[] = {
		{"nan", 0, 800}, {"inf", 0, 800},  {"-inf", 0, 800}, {"abc", 0, 400}, {"0", 0, 400},		  {"60", 60, 800},
		{"0.5", 0, 400}, {"0.75", 0, 600}, {"1", 1, 800},	 {"-5", 0, 400},  {"1e39", INT_MAX, 800}, {"-1e39", 0, 400},
	};
	Settings settings;
	for (const Case& c : cases) {
		settings.setString("graphics.fps_limit", c.text);
		settings.setString("graphics.render_scale", c.text);
		EXPECT_EQ(frameLimitFromSetting(settings.getFloat("graphics.fps_limit", 0.f)), c.limit) << c.text;
		int width = 0, height = 0;
		scaledRenderSize(settings.getFloat("graphics.render_scale", 1.f), 800, 480, width, height);
		EXPECT_EQ(width, c.renderWidth) << c.text;
	}
}

// A limit far above any frame rate never sleeps (its frame time is 0 ms).
TEST(FrameLimitSettingTest, HugeLimitNeverSleeps) {
	test::ManualClock clock;
	FrameTimer timer(clock);
	timer.start();
	timer.beginFrame();
	EXPECT_EQ(timer.capFrame(frameLimitFromSetting(1e30f)), 0u);
	EXPECT_TRUE(clock.sleeps.empty());
}

} // namespace
