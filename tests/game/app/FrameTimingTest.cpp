// Frame timing, the pause rule and the end of a session by frame count, in-process.
#include "app/FrameTimer.h"
#include "app/FrameEnding.h"
#include "app/PauseRules.h"
#include "support/PlatformFakes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lumaroll;

namespace {

using test::ManualClock;

TEST(FrameTimerTest, ALongFrameAdvancesAtMostATenthOfASecond) {
	ManualClock clock;
	FrameTimer timer(clock);
	timer.start();
	clock.now += 2000;
	EXPECT_FLOAT_EQ(timer.beginFrame(), 0.1f);
	timer.endFrame();
	clock.now += 16;
	EXPECT_FLOAT_EQ(timer.beginFrame(), 0.016f);
}

TEST(FrameTimerTest, FrameRateUsesTheUnclampedTime) {
	ManualClock clock;
	FrameTimer timer(clock);
	timer.start();
	// Two frames of 250 ms: the figure is taken once half a second has passed.
	for (int i = 0; i < 2; ++i) {
		clock.now += 250;
		timer.beginFrame();
		timer.endFrame();
	}
	EXPECT_FLOAT_EQ(timer.fps(), 4.f);
	// One frame of 2 s counts as 2 s, not as the clamped 0.1 s.
	clock.now += 2000;
	timer.beginFrame();
	EXPECT_FLOAT_EQ(timer.fps(), 0.5f);
}

TEST(FrameTimerTest, TickCounterWrapStillGivesTheFrameTime) {
	ManualClock clock;
	clock.now = 0xFFFFFFF0u;
	FrameTimer timer(clock);
	timer.start();
	clock.now += 32; // wraps past zero
	EXPECT_FLOAT_EQ(timer.beginFrame(), 0.032f);
}

TEST(FrameTimerTest, CapSleepsForTheRestOfTheFrame) {
	ManualClock clock;
	FrameTimer timer(clock);
	timer.start();
	clock.now += 10;
	timer.beginFrame();
	clock.now += 5;						// rendering took 5 ms
	EXPECT_EQ(timer.capFrame(50), 15u); // 20 ms a frame
	ASSERT_EQ(clock.sleeps.size(), 1u);
	EXPECT_EQ(clock.sleeps[0], 15u);
}

TEST(FrameTimerTest, CapReadsTheClockOnceAndNeverSleepsLongerThanAFrame) {
	// A clock that moves on at every read: reading it twice (once to test,
	// once to compute the sleep) could ask for "now + frame - later" with
	// later past the end of the frame, a wrapped sleep of 49 days.
	for (std::uint32_t step : {0u, 1u, 7u, 19u, 20u, 21u, 1000u}) {
		ManualClock clock;
		FrameTimer timer(clock);
		timer.start();
		timer.beginFrame();
		clock.step = step;
		const int readsBefore = clock.reads;
		timer.capFrame(50);
		EXPECT_EQ(clock.reads - readsBefore, 1) << "step " << step;
		for (std::uint32_t ms : clock.sleeps)
			EXPECT_LE(ms, 20u) << "step " << step;
	}
}

TEST(FrameTimerTest, NoCapForZeroOrNegativeLimitsOrLateFrames) {
	ManualClock clock;
	FrameTimer timer(clock);
	timer.start();
	timer.beginFrame();
	EXPECT_EQ(timer.capFrame(0), 0u);
	EXPECT_EQ(timer.capFrame(-30), 0u);
	clock.now += 40;
	EXPECT_EQ(timer.capFrame(30), 0u); // 33 ms already gone
	EXPECT_TRUE(clock.sleeps.empty());
	EXPECT_EQ(timer.capFrame(2000), 0u); // 1000 / 2000 is 0 ms a frame
}

TEST(FrameEndingTest, FramesAndScreenshots) {
	struct Case {
		int frameCount, frames;
		bool screenshot;
		FrameEnding expected;
	};
	const Case cases[] = {
		{1, 1, false, FrameEnding::Stop},		   {1, 3, false, FrameEnding::Continue},
		{3, 3, false, FrameEnding::Stop},		   {5, 0, false, FrameEnding::Continue},
		{100000, 0, false, FrameEnding::Continue}, {2, 0, true, FrameEnding::Continue},
		{3, 0, true, FrameEnding::Screenshot},	   {3, -4, true, FrameEnding::Screenshot},
		{9, 10, true, FrameEnding::Continue},	   {10, 10, true, FrameEnding::Screenshot},
		{1, 1, true, FrameEnding::Screenshot},
	};
	for (const Case& c : cases)
		EXPECT_EQ(frameEnding(c.frameCount, c.frames, c.screenshot), c.expected)
			<< c.frameCount << " of " << c.frames << (c.screenshot ? " with screenshot" : "");
}

TEST(PauseRuleTest, Table) {
	struct Case {
		bool overlay, menu, player, over;
		bool paused, menuLive, capture;
	};
	// capture is with the menu images loaded; without them it is never asked.
	const Case cases[] = {
		// overlay closed
		{false, false, false, false, false, false, false},
		{false, false, true, false, false, false, false},
		{false, false, false, true, false, true, true},
		{false, false, true, true, false, true, true},
		{false, true, true, false, true, false, false}, // in-game menu in play pauses
		{false, true, false, false, false, true, true}, // menu level runs behind the menu
		{false, true, true, true, false, true, true},	// results run behind the menu
		{false, true, false, true, false, true, true},
		// overlay open: always paused
		{true, false, false, false, true, false, false},
		{true, false, true, false, true, false, false},
		{true, false, false, true, true, false, false},
		{true, false, true, true, true, false, false},
		{true, true, true, false, true, false, false},
		{true, true, false, false, true, false, false},
		{true, true, true, true, true, false, false},
		{true, true, false, true, true, false, false},
	};
	for (const Case& c : cases) {
		const PauseState s = pauseRule(c.overlay, c.menu, c.player, c.over, true, false);
		const std::string label = std::string("overlay ") + (c.overlay ? "open" : "closed") + ", menu " +
								  (c.menu ? "open" : "closed") + (c.player ? ", player" : ", no player") +
								  (c.over ? ", over" : "");
		EXPECT_EQ(s.paused, c.paused) << label;
		EXPECT_EQ(s.menuLive, c.menuLive) << label;
		EXPECT_EQ(s.captureRequested, c.capture) << label;
		EXPECT_FALSE(pauseRule(c.overlay, c.menu, c.player, c.over, false, false).captureRequested) << label;
		// In the background the game stands still whatever is open, also
		// where no in-game menu opens (a level played without the menus).
		const PauseState away = pauseRule(c.overlay, c.menu, c.player, c.over, true, true);
		EXPECT_TRUE(away.paused) << label << ", background";
		EXPECT_FALSE(away.menuLive) << label << ", background";
	}
}

} // namespace
