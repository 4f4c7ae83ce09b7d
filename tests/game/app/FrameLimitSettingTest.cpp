// The frame cap read from the settings file, whatever text it holds.
#include "app/FrameTimer.h"
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
