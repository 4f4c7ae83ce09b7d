#ifndef TESTS_GAME_APP_TESTMENUDATA_H
#define TESTS_GAME_APP_TESTMENUDATA_H

// The game's menu files, written into a level's data folder as the imported
// game data lays them out: "resources/images/MENU.dat", "INGAME.dat" and
// "LOADING.dat" (atlases) and "resources/localization/FONT.dat" and
// "FONT_YELLOW.dat" (bitmap fonts), each with its PNG texture.
//
// Every image the menus, HUD and loading screen name is a solid rectangle of
// its own colour, size and pivot (menuImages()); the atlases keep 4
// transparent pixels between images. The fonts have a glyph for every
// printable ASCII character: a kFontCell x kFontCell cell whose opaque
// columns are kGlyphFirst..kGlyphLast, so each measures kGlyphWidth; the space
// is transparent and advances kSpaceAdvance. FONT is white, FONT_YELLOW yellow.

#include "support/DatWriter.h"
#include "support/Files.h"
#include "support/TextureFileWriter.h"

#include <algorithm>
#include <string>
#include <vector>

namespace apptest {

struct MenuImage {
	const char* atlas;
	const char* name;
	int w, h, pivotX, pivotY;
	uint8_t r, g, b;
};

inline const std::vector<MenuImage>& menuImages() {
	static const std::vector<MenuImage> images = {
	    {"MENU", "MENU_LOGO", 300, 100, 150, 50, 255, 0, 255},
	    {"MENU", "MENU_TASK_SWITCHER", 60, 60, 0, 0, 10, 20, 30},
	    {"MENU", "MENU_VOLUME_ON", 60, 60, -70, 0, 0, 200, 0},
	    {"MENU", "MENU_VOLUME_OFF", 60, 60, -70, 0, 200, 0, 0},
	    {"MENU", "MENU_HELP", 60, 60, -140, 0, 0, 0, 200},
	    {"MENU", "MENU_EXIT", 60, 60, 60, 0, 200, 200, 0},
	    {"MENU", "MENU_LEVEL_ATTRACTION", 200, 200, 100, 100, 0, 100, 100},
	    {"MENU", "MENU_LEVEL_1", 200, 200, 100, 100, 100, 0, 100},
	    {"MENU", "MENU_LEVEL_2", 200, 200, 100, 100, 100, 100, 0},
	    {"MENU", "MENU_CREDITS", 800, 100, 0, 0, 50, 50, 50},
	    {"INGAME", "LEVEL_1_PICK_ITEM_ICON", 40, 30, 40, 0, 255, 128, 0},
	    {"INGAME", "LEVEL_1_RESULTS_BG", 300, 200, 150, 100, 0, 128, 255},
	    {"INGAME", "LEVEL_2_HUD_TIME", 200, 50, 0, 0, 30, 60, 90},
	    {"INGAME", "LEVEL_2_HUD_DISTANCE", 200, 50, 200, 0, 90, 60, 30},
	    {"INGAME", "LEVEL_2_START_COUNTDOWN_1", 80, 80, 40, 40, 1, 2, 3},
	    {"INGAME", "LEVEL_2_START_COUNTDOWN_2", 80, 80, 40, 40, 4, 5, 6},
	    {"INGAME", "LEVEL_2_START_COUNTDOWN_3", 80, 80, 40, 40, 7, 8, 9},
	    {"INGAME", "LEVEL_2_RESULTS_BG", 400, 300, 200, 150, 60, 0, 60},
	    {"LOADING", "LOADING_VESQA", 200, 100, 100, 50, 0, 0, 255},
	    {"LOADING", "LOADING_TEXT", 120, 20, 60, 10, 255, 0, 0},
	};
	return images;
}

inline const MenuImage& menuImage(const std::string& name) {
	for (const MenuImage& i : menuImages())
		if (name == i.name)
			return i;
	static const MenuImage none = {"", "", 0, 0, 0, 0, 0, 0, 0};
	return none;
}

constexpr int kFontCell = 12;
constexpr int kFontLineHeight = 12;
constexpr int kGlyphFirst = 2;
constexpr int kGlyphLast = 8;
constexpr int kGlyphWidth = kGlyphLast - kGlyphFirst + 2;
constexpr int kSpaceAdvance = 5;

// Which menu files writeMenuData leaves out (a missing atlas or font).
struct MenuDataOptions {
	bool menu = true;
	bool ingame = true;
	bool loading = true;
	bool fonts = true;
};

// Writes one atlas of the images of menuImages() named atlas, packed in a row.
inline void writeMenuAtlas(const std::string& imagesDir, const std::string& atlas) {
	test::DatAtlas dat;
	dat.texture = atlas + ".png";
	int width = 0, height = 1;
	for (const MenuImage& i : menuImages()) {
		if (atlas != i.atlas)
			continue;
		dat.entries.push_back({i.name, width, 0, i.w, i.h, i.pivotX, i.pivotY});
		width += i.w + 4;
		height = std::max(height, i.h);
	}
	test::TextureImage texture = test::TextureImage::solid(width, height, 0, 0, 0, 0);
	for (const MenuImage& i : menuImages()) {
		if (atlas != i.atlas)
			continue;
		const auto& entry = *std::find_if(dat.entries.begin(), dat.entries.end(),
		                                  [&](const test::DatAtlasEntry& e) { return e.name == i.name; });
		for (int y = 0; y < i.h; ++y) {
			for (int x = 0; x < i.w; ++x) {
				uint8_t* p = &texture.rgba[(size_t(y) * size_t(width) + size_t(entry.x + x)) * 4];
				p[0] = i.r;
				p[1] = i.g;
				p[2] = i.b;
				p[3] = 255;
			}
		}
	}
	test::writePng(imagesDir + atlas + ".png", texture);
	dat.write(imagesDir + atlas + ".dat");
}

// Writes a font of the printable ASCII characters in one colour.
inline void writeMenuFont(const std::string& fontsDir, const std::string& name, uint8_t r, uint8_t g, uint8_t b) {
	test::DatFont dat;
	dat.texture = name + ".png";
	dat.lineHeight = kFontLineHeight;
	const int perRow = 16;
	test::TextureImage texture = test::TextureImage::solid(perRow * kFontCell, 6 * kFontCell, 0, 0, 0, 0);
	for (int code = 32; code < 127; ++code) {
		const int cx = ((code - 32) % perRow) * kFontCell, cy = ((code - 32) / perRow) * kFontCell;
		dat.glyphs.push_back({code, cx, cy, kFontCell, kFontCell, code == ' ' ? kSpaceAdvance : kFontCell});
		if (code == ' ')
			continue;
		for (int y = 0; y < kFontCell; ++y) {
			for (int x = kGlyphFirst; x <= kGlyphLast; ++x) {
				uint8_t* p = &texture.rgba[(size_t(cy + y) * size_t(texture.width) + size_t(cx + x)) * 4];
				p[0] = r;
				p[1] = g;
				p[2] = b;
				p[3] = 255;
			}
		}
	}
	test::writePng(fontsDir + name + ".png", texture);
	dat.write(fontsDir + name + ".dat");
}

// Writes the menu files below dataDir (a level's "data" folder).
inline void writeMenuData(const std::string& dataDir, const MenuDataOptions& options = {}) {
	const std::string images = dataDir + "/resources/images/";
	const std::string fonts = dataDir + "/resources/localization/";
	test::makeDirs(images);
	test::makeDirs(fonts);
	if (options.menu)
		writeMenuAtlas(images, "MENU");
	if (options.ingame)
		writeMenuAtlas(images, "INGAME");
	if (options.loading)
		writeMenuAtlas(images, "LOADING");
	if (options.fonts) {
		writeMenuFont(fonts, "FONT", 255, 255, 255);
		writeMenuFont(fonts, "FONT_YELLOW", 255, 255, 0);
	}
}

} // namespace apptest

#endif
