#include "support/MenuDataWriter.h"

#include "support/DatWriter.h"
#include "support/Files.h"
#include "support/TextureFileWriter.h"

#include <algorithm>

namespace test {

const std::vector<MenuImage>& menuImages() {
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

const MenuImage& menuImage(const std::string& name) {
	for (const MenuImage& i : menuImages())
		if (name == i.name)
			return i;
	static const MenuImage none = {"", "", 0, 0, 0, 0, 0, 0, 0};
	return none;
}

bool writeMenuAtlas(const std::string& imagesDir, const std::string& atlas) {
	DatAtlas dat;
	dat.texture = atlas + ".png";
	int width = 0, height = 1;
	for (const MenuImage& i : menuImages()) {
		if (atlas != i.atlas)
			continue;
		dat.entries.push_back({i.name, width, 0, i.w, i.h, i.pivotX, i.pivotY});
		width += i.w + 4;
		height = std::max(height, i.h);
	}
	TextureImage texture = TextureImage::solid(width, height, 0, 0, 0, 0);
	for (const MenuImage& i : menuImages()) {
		if (atlas != i.atlas)
			continue;
		const auto& entry = *std::find_if(dat.entries.begin(), dat.entries.end(),
										  [&](const DatAtlasEntry& e) { return e.name == i.name; });
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
	return writePng(imagesDir + atlas + ".png", texture) && dat.write(imagesDir + atlas + ".dat");
}

bool writeMenuFont(const std::string& fontsDir, const std::string& name, uint8_t r, uint8_t g, uint8_t b) {
	DatFont dat;
	dat.texture = name + ".png";
	dat.lineHeight = kFontLineHeight;
	const int perRow = 16;
	TextureImage texture = TextureImage::solid(perRow * kFontCell, 6 * kFontCell, 0, 0, 0, 0);
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
	return writePng(fontsDir + name + ".png", texture) && dat.write(fontsDir + name + ".dat");
}

bool writeMenuData(const std::string& dataDir, const MenuDataOptions& options) {
	const std::string images = dataDir + "/resources/images/";
	const std::string fonts = dataDir + "/resources/localization/";
	bool ok = makeDirs(images) && makeDirs(fonts);
	if (options.menu)
		ok = writeMenuAtlas(images, "MENU") && ok;
	if (options.ingame)
		ok = writeMenuAtlas(images, "INGAME") && ok;
	if (options.loading)
		ok = writeMenuAtlas(images, "LOADING") && ok;
	if (options.fonts) {
		ok = writeMenuFont(fonts, "FONT", 255, 255, 255) && ok;
		ok = writeMenuFont(fonts, "FONT_YELLOW", 255, 255, 0) && ok;
	}
	return ok;
}

} // namespace test
