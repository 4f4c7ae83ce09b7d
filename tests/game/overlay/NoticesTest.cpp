// Notices on a clock the test turns, and screen texts measured in pixels.
#include "OverlayFixture.h"

#include "support/PlatformFakes.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lumaroll;

namespace {

class NoticesTest : public overlaytest::OverlayTest {
protected:
	void SetUp() override {
		overlaytest::OverlayTest::SetUp();
		if (IsSkipped())
			return;
		now = 10000;
		platform.clock = &clock;
		ASSERT_TRUE(start(800, 480));
		watchFrames();
	}

	// Frames every stepMs until ms have passed.
	void runFor(std::uint32_t ms, std::uint32_t stepMs = 50) {
		for (std::uint32_t t = 0; t < ms; t += stepMs) {
			now += stepMs;
			frame();
		}
	}

	const FrameReport::NoticeBox* shown(const std::string& text) const {
		for (const auto& n : last.notices) {
			if (n.text == text)
				return &n;
		}
		return nullptr;
	}

	// The overlay's clock: notices animate only when the test moves it.
	test::ManualClock clock;
	std::uint32_t& now = clock.now;
};

TEST_F(NoticesTest, TheSameTextFourTimesIsOneNoticeAndOneLogLine) {
	testing::internal::CaptureStdout();
	for (int i = 0; i < 4; ++i)
		overlay.notify("Keyboard", "\xEF\x84\x9C", 3.5f);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "notice: Keyboard\n");
	EXPECT_EQ(overlay.notices().queued().size(), 1u);
}

TEST_F(NoticesTest, FiveInOneFrameLeaveTheLastFourOldestOnTop) {
	testing::internal::CaptureStdout();
	for (const char* text : {"one", "two", "three", "four", "five"})
		overlay.notify(text, nullptr, 3.5f);
	testing::internal::GetCapturedStdout();
	runFor(500);
	ASSERT_EQ(last.notices.size(), 4u);
	const char* expected[] = {"two", "three", "four", "five"};
	for (size_t i = 0; i < 4; ++i) {
		EXPECT_EQ(last.notices[i].text, expected[i]);
		if (i > 0) {
			EXPECT_GT(last.notices[i].y, last.notices[i - 1].y) << expected[i] << " lies below the one before";
		}
	}
	EXPECT_EQ(overlay.notices().queued()[0].icon, "\xEF\x81\x9A") << "no icon given: the i in a circle";
}

TEST_F(NoticesTest, ANoticeFadesInStaysFadesOutAndMakesRoom) {
	testing::internal::CaptureStdout();
	overlay.notify("first", nullptr, 3.5f);
	frame(); // the first frame of a burst advances nothing
	overlay.notify("second", nullptr, 10.f);
	testing::internal::GetCapturedStdout();
	runFor(100);
	EXPECT_NEAR(shown("first")->opacity, 0.4f, 0.01f);
	runFor(150);
	const float secondY = shown("second")->y;
	struct Step {
		std::uint32_t untilMs; // elapsed time of "first" after this step
		float opacity;
	} steps[] = {{1000, 1.f}, {3100, 1.f}, {3300, 0.5f}};
	for (const Step& s : steps) {
		runFor(s.untilMs - std::uint32_t(overlay.notices().queued()[0].elapsed * 1000.f + 0.5f));
		ASSERT_NE(shown("first"), nullptr) << s.untilMs;
		EXPECT_NEAR(shown("first")->opacity, s.opacity, 0.01f) << s.untilMs;
		EXPECT_NEAR(shown("second")->y, secondY, 0.01f) << s.untilMs << ": the one below stays until 3.3 s";
	}
	runFor(100);
	EXPECT_LT(shown("second")->y, secondY - 1.f) << "after 3.3 s the one below moves up";
	runFor(150); // 3.5 s summed from 50 ms steps may fall a hair short
	EXPECT_EQ(shown("first"), nullptr);
	EXPECT_EQ(overlay.notices().queued().size(), 1u);
}

TEST_F(NoticesTest, AStallAdvancesANoticeByATenthOfASecond) {
	testing::internal::CaptureStdout();
	overlay.notify("stall", nullptr, 3.5f);
	testing::internal::GetCapturedStdout();
	frame();
	now += 2000;
	frame();
	EXPECT_NEAR(overlay.notices().queued()[0].elapsed, 0.1f, 1e-4f);
	EXPECT_NEAR(shown("stall")->opacity, 0.4f, 0.01f);
}

TEST_F(NoticesTest, AScreenTextEndsAtItsXAndIsCentredOnItsYWithAShadow) {
	overlay.screenTexts().add(ScreenText{"FPS", 100.f, 50.f, 20.f});
	frame();
	EXPECT_TRUE(overlay.screenTexts().empty()) << "texts live for one frame";
	const int w = 800, h = 480;
	const std::vector<uint8_t> px = test::GLTestContext::pixels(0, 0, w, h);
	int textRight = -1, shadowRight = -1, top = h, bottom = -1;
	for (int y = 0; y < h; ++y) {
		for (int x = 0; x < w; ++x) {
			const uint8_t* p = &px[(size_t(h - 1 - y) * w + size_t(x)) * 4]; // y from the top
			if (p[0] > 200 && p[1] > 200 && p[2] > 200) {
				textRight = std::max(textRight, x);
				top = std::min(top, y);
				bottom = std::max(bottom, y);
			} else if (p[2] > 0 && p[0] < p[2]) {
				shadowRight = std::max(shadowRight, x); // the blue-grey shadow
			}
		}
	}
	ASSERT_GE(textRight, 0) << "nothing white was drawn";
	EXPECT_LE(textRight, 100);
	EXPECT_GE(textRight, 97);
	EXPECT_NEAR((top + bottom) / 2.f, 50.f, 3.f) << "white rows " << top << " to " << bottom;
	// 1.6 px to the right: its antialiased edge reaches the third pixel.
	EXPECT_GE(shadowRight - textRight, 1);
	EXPECT_LE(shadowRight - textRight, 3);
	EXPECT_TRUE(last.notices.empty());
}

} // namespace
