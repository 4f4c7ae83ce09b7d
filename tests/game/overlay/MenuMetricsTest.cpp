// Menu font size, scale and layout for a range of displays.
#include "overlay/MenuMetrics.h"

#include <gtest/gtest.h>

using namespace lumaroll;

namespace {

TEST(MenuMetricsTest, FontScaleAndLayoutFollowTheDisplay) {
	struct Case {
		const char* name;
		int windowWidth, width, height;
		float dpi;
		bool compactAsked;
		float fontPx, diagonal, scale;
		bool compact;
	} cases[] = {
		{"1920 x 1080 at 96 dpi", 1920, 1920, 1080, 96.f, false, 28.05f, 22.95f, 1.275f, false},
		{"800 x 480 at 96 dpi", 800, 800, 480, 96.f, false, 14.36f, 9.72f, 0.653f, false},
		{"800 x 479: compact, at least 16 px", 800, 800, 479, 96.f, false, 16.f, 9.71f, 0.727f, true},
		{"40 dpi counts as 96", 800, 800, 480, 40.f, false, 14.36f, 9.72f, 0.653f, false},
		{"SDL could not tell: 96", 800, 800, 480, 0.f, false, 14.36f, 9.72f, 0.653f, false},
		{"compact asked for", 1920, 1920, 1080, 96.f, true, 28.05f, 22.95f, 1.275f, true},
		{"small screen: compact", 1280, 1280, 720, 300.f, false, 44.88f, 4.90f, 2.04f, true},
		{"no drawable height", 800, 800, 0, 96.f, false, 18.7f, 0.f, 0.85f, true},
		{"drawable twice the window: pixels per mm double", 400, 800, 480, 96.f, false, 28.72f, 4.86f, 1.305f, true},
		{"a bogus 10000 dpi is capped", 1920, 1920, 1080, 10000.f, false, kMaxMenuFontPx, 0.22f, kMaxMenuFontPx / 22.f,
		 true},
	};
	for (const Case& c : cases) {
		const MenuMetrics m = measureMenu(c.windowWidth, c.width, c.height, c.dpi, c.compactAsked);
		EXPECT_NEAR(m.fontPx, c.fontPx, 0.01f) << c.name;
		EXPECT_NEAR(m.diagonalInches, c.diagonal, 0.01f) << c.name;
		EXPECT_NEAR(m.scale, c.scale, 0.001f) << c.name;
		EXPECT_EQ(m.compact, c.compact) << c.name;
	}
	EXPECT_NEAR(measureMenu(800, 800, 0, 300.f, false).fontPx, 3.8f * 300.f / 25.4f, 0.01f)
		<< "no drawable height: 3.8 x pixels per mm when larger than 18.7";
}

} // namespace
