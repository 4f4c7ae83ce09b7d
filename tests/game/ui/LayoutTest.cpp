// The menu renderer's arithmetic without GL: the virtual screen, text
// measuring and placing, and where images land and are hit.
#include "ui/UiCanvas.h"

#include <gtest/gtest.h>

using namespace lumaroll;

namespace {

TEST(VirtualScreenTest, Table) {
	struct Case {
		int width, height;
		float scale;
		int virtualWidth;
	};
	const Case cases[] = {
		{1920, 1080, 2.25f, 853}, {800, 480, 1.f, 800}, {640, 0, 1.f / 480.f, 307200}, // a height of 0 counts as 1
		{1000, 480, 1.f, 1000},	  {801, 960, 2.f, 401},								   // 400.5 rounds up
	};
	for (const Case& c : cases) {
		const VirtualScreen s = virtualScreen(c.width, c.height);
		EXPECT_FLOAT_EQ(s.scale, c.scale) << c.width << "x" << c.height;
		EXPECT_EQ(s.virtualWidth, c.virtualWidth) << c.width << "x" << c.height;
	}
}

// A font with a glyph for 'A' whose opaque columns are 3 to 10 (of 14), a
// wide 'W' measuring 100, a transparent space advancing 6, a glyph without a
// rectangle and a transparent code 0xe9 advancing 7.
Font testFont() {
	Font font;
	font.lineHeight = 20;
	font.glyphs.set('A', {0, 0, 14, 16, 30, 3, 10});
	font.glyphs.set('W', {20, 0, 120, 18, 30, 0, 98});
	font.glyphs.set(' ', {0, 0, 8, 8, 6, 0, -1});
	font.glyphs.set('e', {0, 0, 0, 16, 4, 2, 5});
	font.glyphs.set(0xe9, {0, 0, 8, 8, 7, 0, -1});
	return font;
}

TEST(TextLayoutTest, Measures) {
	const Font font = testFont();
	struct Case {
		const char* text;
		int width;
	};
	const Case cases[] = {
		{"A\x01", 9},						// a byte without a glyph adds nothing
		{"A A", 24},						// a glyph without opaque columns adds its advance
		{"W", 100},	  {"", 0}, {"\xe9", 7}, // bytes above 127 are codes 128 to 255
	};
	for (const Case& c : cases)
		EXPECT_EQ(textWidth(font, c.text), c.width) << c.text;
}

TEST(TextLayoutTest, PlacesGlyphs) {
	const Font font = testFont();
	// Centred text of width 100 at (240, 240): starts at 190, line box at 240 - 20 / 2.
	std::vector<SpriteQuad> quads = textQuads(font, "W", 1, 1, 240.f, 240.f);
	ASSERT_EQ(quads.size(), 1u);
	EXPECT_FLOAT_EQ(quads[0].x, 190.f);
	EXPECT_FLOAT_EQ(quads[0].y, 230.f + 20.f - 18.f); // the glyph's bottom on the line's bottom
	EXPECT_EQ(quads[0].srcX, 20);
	EXPECT_EQ(quads[0].srcW, 120);

	// Left/top: each first opaque column lands on the pen; the space and the
	// glyph without width only move it.
	quads = textQuads(font, "A eA", 0, 0, 10.f, 50.f);
	ASSERT_EQ(quads.size(), 2u);
	EXPECT_FLOAT_EQ(quads[0].x, 10.f - 3.f);
	EXPECT_FLOAT_EQ(quads[0].y, 50.f + 20.f - 16.f);
	EXPECT_FLOAT_EQ(quads[1].x, 10.f + 9.f + 6.f + 5.f - 3.f);

	// Right/bottom alignment moves by the whole width and line height.
	quads = textQuads(font, "A", 2, 2, 100.f, 100.f);
	ASSERT_EQ(quads.size(), 1u);
	EXPECT_FLOAT_EQ(quads[0].x, 100.f - 9.f - 3.f);
	EXPECT_FLOAT_EQ(quads[0].y, 100.f - 20.f + 20.f - 16.f);
	// Other codes leave the position as given.
	quads = textQuads(font, "A", 7, -1, 100.f, 100.f);
	EXPECT_FLOAT_EQ(quads[0].x, 97.f);
}

TEST(ImagePlacementTest, PivotScaleAndHits) {
	const AtlasImage image = {5, 6, 10, 20, 5, 10};
	const SpriteQuad q = imageQuad(image, 100.f, 100.f, 2.f);
	EXPECT_FLOAT_EQ(q.x, 90.f);
	EXPECT_FLOAT_EQ(q.y, 80.f);
	EXPECT_FLOAT_EQ(q.w, 20.f);
	EXPECT_FLOAT_EQ(q.h, 40.f);
	EXPECT_EQ(q.srcX, 5);
	EXPECT_EQ(q.srcH, 20);

	struct Case {
		const char* name;
		float px, py;
		bool hit;
	};
	const Case cases[] = {
		{"leftEdge", 90.f, 100.f, true},	 {"topEdge", 100.f, 80.f, true},		 {"rightEdge", 110.f, 100.f, false},
		{"bottomEdge", 100.f, 120.f, false}, {"justInside", 109.99f, 119.99f, true}, {"leftOf", 89.99f, 100.f, false},
	};
	for (const Case& c : cases)
		EXPECT_EQ(imageContains(image, 100.f, 100.f, 2.f, c.px, c.py), c.hit) << c.name;
}

} // namespace
