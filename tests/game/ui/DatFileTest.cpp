// The ".dat" atlas and font readers: truncated and malformed files, the
// path helpers, and the trimming of glyphs to their opaque columns.
#include "UiFakes.h"
#include "support/BinaryWriter.h"
#include "support/DatWriter.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/TextureFileWriter.h"
#include "ui/DatFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace lumaroll;
using test::DatAtlas;
using test::DatAtlasEntry;
using test::DatFont;
using test::DatGlyph;

namespace {

// An atlas's images as name -> {x, y, w, h, pivotX, pivotY}.
using Images = std::map<std::string, std::vector<int>>;

Images fields(const std::map<std::string, AtlasImage>& images) {
	Images out;
	for (const auto& e : images) {
		const AtlasImage& i = e.second;
		out[e.first] = {i.x, i.y, i.w, i.h, i.pivotX, i.pivotY};
	}
	return out;
}

const DatAtlas kTwoEntries = {"menu.png", {{"FIRST", 1, 2, 3, 4, 5, 6}, {"SECOND", -7, 8, 32767, -32768, -70, 0}}, -1};

TEST(DatAtlasTest, Table) {
	struct Case {
		const char* name;
		std::vector<uint8_t> bytes;
		std::string texture;
		Images images;
	};
	DatAtlas countThree = kTwoEntries;
	countThree.count = 3;
	DatAtlas countOne = kTwoEntries;
	countOne.count = 1;
	DatAtlas countZero = kTwoEntries;
	countZero.count = 0;
	DatAtlas duplicate = kTwoEntries;
	duplicate.entries.push_back({"FIRST", 9, 9, 9, 9, 1, 1});
	DatAtlas longName = {"t.png", {{"0123456789", 0, 0, 0, 0, 0, 0, 50, false}}, 1};
	const std::vector<uint8_t> full = kTwoEntries.bytes();

	const Case cases[] = {
		{"countBeyondData",
		 countThree.bytes(),
		 "menu.png",
		 {{"FIRST", {1, 2, 3, 4, 5, 6}}, {"SECOND", {-7, 8, 32767, -32768, -70, 0}}}},
		{"countBelowEntries", countOne.bytes(), "menu.png", {{"FIRST", {1, 2, 3, 4, 5, 6}}}},
		{"countZero", countZero.bytes(), "menu.png", {}},
		{"pivotBytesMissing",
		 test::cut(full, full.size() - 4),
		 "menu.png",
		 {{"FIRST", {1, 2, 3, 4, 5, 6}}, {"SECOND", {-7, 8, 32767, -32768, 0, 0}}}},
		{"duplicateNameSecondWins",
		 duplicate.bytes(),
		 "menu.png",
		 {{"FIRST", {9, 9, 9, 9, 1, 1}}, {"SECOND", {-7, 8, 32767, -32768, -70, 0}}}},
		// A stated length of 50 with 10 bytes left: the name holds the 10, the
		// fields after the stated length read 0.
		{"nameLongerThanData", longName.bytes(), "t.png", {{"0123456789", {0, 0, 0, 0, 0, 0}}}},
		{"oneByte", {0x00}, "", {}},
		{"empty", {}, "", {}},
		{"countCut", test::cut(full, 2 + 8 + 1), "menu.png", {}},
	};
	for (const Case& c : cases) {
		const AtlasFile atlas = parseAtlas(c.bytes);
		EXPECT_EQ(atlas.textureName, c.texture) << c.name;
		EXPECT_EQ(fields(atlas.images), c.images) << c.name;
	}
}

TEST(DatFontTest, Table) {
	struct Case {
		const char* name;
		std::vector<uint8_t> bytes;
		int lineHeight;
		std::vector<int> codes;
	};
	const DatFont font = {"font.png", 20, 7, {{65, 1, 2, 3, 4, 5}, {66, -1, -2, 32767, 8, 9}}, -1};
	const std::vector<uint8_t> full = font.bytes();
	DatFont duplicate = font;
	duplicate.glyphs.push_back({65, 9, 9, 9, 9, 9});
	DatFont countBeyond = font;
	countBeyond.count = 65535;

	const Case cases[] = {
		{"whole", full, 20, {65, 66}},
		{"lastRecordCut", test::cut(full, full.size() - 1), 20, {65}},
		{"countBeyondData", countBeyond.bytes(), 20, {65, 66}},
		{"headerOnly", test::cut(full, 2 + 8 + 6), 20, {}},
		{"countCut", test::cut(full, 2 + 8 + 5), 20, {}},
		{"lineHeightCut", test::cut(full, 2 + 8 + 1), 0, {}},
		{"duplicateCode", duplicate.bytes(), 20, {65, 66}},
	};
	for (const Case& c : cases) {
		const FontFile parsed = parseFont(c.bytes);
		EXPECT_EQ(parsed.textureName, "font.png") << c.name;
		EXPECT_EQ(parsed.lineHeight, c.lineHeight) << c.name;
		EXPECT_EQ(parsed.glyphs.codes(), c.codes) << c.name;
		EXPECT_EQ(parsed.glyphs.size(), c.codes.size()) << c.name;
	}
	const FontFile parsed = parseFont(duplicate.bytes());
	const Glyph& a = *parsed.glyphs.find(65);
	EXPECT_EQ(a.x, 9) << "the second record of a code wins";
	const FontFile whole = parseFont(full);
	const Glyph& b = *whole.glyphs.find(66);
	EXPECT_EQ(b.x, -1);
	EXPECT_EQ(b.w, 32767);
	EXPECT_EQ(b.advance, 9);
	EXPECT_EQ(b.first, 0);
	EXPECT_EQ(b.last, 0);
}

// Every cut of a writer-made file parses without reading past its end (the
// bytes lie in a block of exactly that size, so ASan sees any overrun), and
// what was read before the cut is what the whole file holds.
TEST(DatFileTest, EveryCutPositionReadsOnlyItsBytes) {
	DatAtlas atlas = kTwoEntries;
	atlas.entries.push_back({"THIRD", 1, 1, 1, 1, 1, 1});
	const std::vector<uint8_t> atlasBytes = atlas.bytes();
	const Images whole = fields(parseAtlas(atlasBytes).images);
	// Entry i starts at starts[i]; it is read when it starts before the end.
	std::vector<size_t> starts;
	size_t position = 2 + atlas.texture.size() + 2;
	for (const DatAtlasEntry& e : atlas.entries) {
		starts.push_back(position);
		position += 2 + e.name.size() + 12;
	}
	for (size_t n = 0; n <= atlasBytes.size(); ++n) {
		const std::vector<uint8_t> bytes = test::cut(atlasBytes, n);
		const Images parsed = fields(parseAtlas(bytes).images);
		size_t expected = 0;
		if (n >= starts[0]) {
			for (size_t start : starts)
				expected += start < n ? 1 : 0;
		}
		EXPECT_EQ(parsed.size(), expected) << "atlas cut after " << n << " bytes";
		for (size_t i = 0; i < atlas.entries.size(); ++i) {
			const DatAtlasEntry& e = atlas.entries[i];
			if (starts[i] + 2 + e.name.size() + 12 <= n) {
				EXPECT_EQ(parsed.at(e.name), whole.at(e.name)) << "atlas cut after " << n;
			}
		}
	}

	const DatFont font = {"font.png", 20, 0, {{65, 1, 2, 3, 4, 5}, {66, 1, 2, 3, 4, 5}, {300, 1, 2, 3, 4, 5}}, -1};
	const std::vector<uint8_t> fontBytes = font.bytes();
	const size_t header = 2 + font.texture.size() + 6;
	for (size_t n = 0; n <= fontBytes.size(); ++n) {
		const FontFile parsed = parseFont(test::cut(fontBytes, n));
		const size_t expected = n < header ? 0 : (n - header) / 12;
		EXPECT_EQ(parsed.glyphs.size(), expected) << "font cut after " << n << " bytes";
	}
}

TEST(DatFileTest, PathParts) {
	struct Case {
		const char* path;
		const char* dir;
		const char* stem;
	};
	const Case cases[] = {
		{"a\\b\\FONT_YELLOW.dat", "a\\b\\", "FONT_YELLOW"},
		{"x.y.dat", "", "x"},
		{"/games/data/resources/images/MENU.dat", "/games/data/resources/images/", "MENU"},
		{"mixed/dir\\FONT.dat", "mixed/dir\\", "FONT"},
		{"dir/", "dir/", ""},
		{"", "", ""},
	};
	for (const Case& c : cases) {
		EXPECT_EQ(dirPart(c.path), c.dir) << c.path;
		EXPECT_EQ(fileStem(c.path), c.stem) << c.path;
	}
}

// A texture of width x height transparent pixels with the given alphas set.
struct Pixels {
	int width, height;
	std::vector<uint8_t> rgba;
	Pixels(int w, int h) : width(w), height(h), rgba(size_t(w) * size_t(h) * 4, 0) {}
	Pixels& alpha(int x, int y, uint8_t a) {
		rgba[(size_t(y) * size_t(width) + size_t(x)) * 4 + 3] = a;
		return *this;
	}
	Pixels& column(int x, uint8_t a) {
		for (int y = 0; y < height; ++y)
			alpha(x, y, a);
		return *this;
	}
};

TEST(GlyphTrimTest, Table) {
	struct Case {
		const char* name;
		Pixels pixels;
		Glyph glyph;
		int first, last;
	};
	auto columns3to10 = Pixels(16, 8);
	for (int x = 3; x <= 10; ++x)
		columns3to10.alpha(x, 5, 255);
	const Case cases[] = {
		{"opaqueColumns3to10", columns3to10, {0, 0, 16, 8, 4}, 3, 10},
		{"offsetRectangle", columns3to10, {2, 4, 6, 4, 4}, 1, 5},
		{"alpha24IsTransparent", Pixels(8, 8).column(2, 24).column(5, 25), {0, 0, 8, 8, 4}, 5, 5},
		{"fullyTransparent", Pixels(8, 8).column(1, 24), {0, 0, 8, 8, 4}, 0, -1},
		{"crossesRightEdge", Pixels(8, 8).column(7, 255), {4, 0, 10, 8, 4}, 3, 3},
		{"crossesBottomEdge", Pixels(8, 8).alpha(2, 7, 255), {0, 6, 8, 10, 4}, 2, 2},
		{"rowsAboveTopDoNotCount", Pixels(8, 8).alpha(2, 7, 255).alpha(5, 0, 255), {0, -4, 8, 6, 4}, 5, 5},
		{"negativeX", Pixels(8, 8).column(0, 255), {-3, 0, 8, 8, 4}, 3, 3},
		{"whollyOutside", Pixels(8, 8).column(0, 255), {8, 0, 4, 4, 4}, 0, -1},
		{"zeroWidth", Pixels(8, 8).column(0, 255), {0, 0, 0, 8, 4}, 0, -1},
		{"negativeWidth", Pixels(8, 8).column(0, 255), {0, 0, -13, 8, 4}, 0, -1},
		{"negativeHeight", Pixels(8, 8).column(0, 255), {0, 0, 8, -8, 4}, 0, -1},
		{"hugeRectangle", Pixels(8, 8).column(1, 255).column(6, 255), {0, 0, 32767, 32767, 4}, 1, 6},
	};
	for (const Case& c : cases) {
		GlyphTable glyphs;
		glyphs.set('A', c.glyph);
		trimGlyphs(glyphs, c.pixels.rgba, c.pixels.width, c.pixels.height);
		EXPECT_EQ(glyphs.find('A')->first, c.first) << c.name;
		EXPECT_EQ(glyphs.find('A')->last, c.last) << c.name;
		// The same glyph among enough others to cover the texture many times
		// over is trimmed alike.
		for (int code = 0; code < 256; ++code)
			if (code != 'A')
				glyphs.set(code, {0, 0, 32767, 32767, 1});
		trimGlyphs(glyphs, c.pixels.rgba, c.pixels.width, c.pixels.height);
		EXPECT_EQ(glyphs.find('A')->first, c.first) << c.name << " among large glyphs";
		EXPECT_EQ(glyphs.find('A')->last, c.last) << c.name << " among large glyphs";
	}
}

TEST(GlyphTrimTest, CodesAbove255AreLeftUntrimmed) {
	GlyphTable glyphs;
	glyphs.set(255, {0, 0, 8, 8, 4});
	glyphs.set(256, {0, 0, 8, 8, 4});
	glyphs.set(65536, {0, 0, 8, 8, 4});
	trimGlyphs(glyphs, Pixels(8, 8).column(4, 255).rgba, 8, 8);
	EXPECT_EQ(glyphs.find(255)->first, 4);
	EXPECT_EQ(glyphs.find(256)->first, 0);
	EXPECT_EQ(glyphs.find(256)->last, 0);
	EXPECT_EQ(glyphs.size(), 2u) << "codes are 16 bits";
}

class DatLoadTest : public testing::Test {
protected:
	void SetUp() override {
		texture = dir / "tex.png";
		test::TextureImage image = test::TextureImage::solid(64, 32, 255, 255, 255, 0);
		for (int y = 0; y < 32; ++y)
			for (int x = 20; x <= 40; ++x)
				image.rgba[(size_t(y) * 64 + size_t(x)) * 4 + 3] = 255;
		ASSERT_TRUE(test::writePng(texture, image));
	}
	test::TempDir dir;
	std::string texture;
	uitest::RecordingCanvas canvas;
};

TEST_F(DatLoadTest, AtlasWithNoEntriesIsStoredWithItsTexture) {
	ASSERT_TRUE((DatAtlas{"tex.png", {}, 0}).write(dir / "EMPTY.dat"));
	EXPECT_TRUE(canvas.loadAtlas(dir / "EMPTY.dat"));
	const Atlas* atlas = canvas.findAtlas("EMPTY");
	ASSERT_NE(atlas, nullptr);
	EXPECT_EQ(atlas->width, 64);
	EXPECT_EQ(atlas->height, 32);
	EXPECT_TRUE(atlas->images.empty());
}

TEST_F(DatLoadTest, FailedLoadsKeepTheRecordStoredBefore) {
	ASSERT_TRUE((DatAtlas{"tex.png", {{"A", 0, 0, 4, 4, 0, 0}}, -1}).write(dir / "MENU.dat"));
	ASSERT_TRUE(canvas.loadAtlas(dir / "MENU.dat"));
	ASSERT_TRUE(test::writeBytes(dir / "MENU.dat", {0x00}));
	EXPECT_FALSE(canvas.loadAtlas(dir / "MENU.dat")) << "a file under two bytes names no texture";
	ASSERT_TRUE((DatAtlas{"missing.png", {{"B", 0, 0, 4, 4, 0, 0}}, -1}).write(dir / "MENU.dat"));
	EXPECT_FALSE(canvas.loadAtlas(dir / "MENU.dat"));
	EXPECT_FALSE(canvas.loadAtlas(dir / "absent/MENU.dat"));
	EXPECT_TRUE(canvas.hasImage("MENU", "A"));
	EXPECT_FALSE(canvas.hasImage("MENU", "B"));
}

// 65535 records whose rectangles cover 32767 x 32767 pixels: the load trims
// the 256 drawable codes against the texture alone.
TEST_F(DatLoadTest, CraftedFontLoadsWithTheRightTrims) {
	DatFont font{"tex.png", 16, 0, {}, -1};
	for (int code = 0; code < 65535; ++code)
		font.glyphs.push_back({code, 0, 0, 32767, 32767, 3});
	ASSERT_TRUE(font.write(dir / "FONT.dat"));
	ASSERT_TRUE(canvas.loadFont(dir / "FONT.dat"));
	const Font* loaded = canvas.findFont("FONT");
	ASSERT_NE(loaded, nullptr);
	EXPECT_EQ(loaded->glyphs.size(), 65535u);
	for (int code : {0, int('A'), 255}) {
		EXPECT_EQ(loaded->glyphs.find(code)->first, 20) << code;
		EXPECT_EQ(loaded->glyphs.find(code)->last, 40) << code;
	}
	EXPECT_EQ(loaded->glyphs.find(256)->last, 0);
	EXPECT_EQ(canvas.textWidth("FONT", "AB"), 2 * 22);
}

} // namespace
