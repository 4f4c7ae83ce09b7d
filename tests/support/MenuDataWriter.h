#ifndef SUPPORT_MENUDATAWRITER_H
#define SUPPORT_MENUDATAWRITER_H

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

#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct MenuImage {
	const char* atlas;
	const char* name;
	int w, h, pivotX, pivotY;
	uint8_t r, g, b;
};

// Every image of the three atlases, atlas by atlas.
const std::vector<MenuImage>& menuImages();

// The image of that name; one with an empty name and zero size when there is none.
const MenuImage& menuImage(const std::string& name);

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

// Writes imagesDir + atlas + ".dat" and its ".png": the images of
// menuImages() named atlas, packed in a row. False when a file cannot be written.
bool writeMenuAtlas(const std::string& imagesDir, const std::string& atlas);

// Writes fontsDir + name + ".dat" and its ".png": the printable ASCII
// characters in one colour. False when a file cannot be written.
bool writeMenuFont(const std::string& fontsDir, const std::string& name, uint8_t r, uint8_t g, uint8_t b);

// Writes the menu files below dataDir (a level's "data" folder), making the
// folders. False when a folder or file cannot be written.
bool writeMenuData(const std::string& dataDir, const MenuDataOptions& options = {});

} // namespace test

#endif
