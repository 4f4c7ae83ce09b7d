// Any bytes through the menu atlas and bitmap font readers, then the font's
// glyphs trimmed against a small texture made of the same bytes, and a line
// of text measured and laid out with them.
#include "ui/DatFile.h"
#include "ui/UiCanvas.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	const std::vector<uint8_t> bytes(data, data + size);
	const lumaroll::AtlasFile atlas = lumaroll::parseAtlas(bytes);
	// Every entry takes at least its two length bytes and is read only from
	// before the end: never more entries than bytes.
	if (atlas.images.size() > size)
		__builtin_trap();

	lumaroll::FontFile file = lumaroll::parseFont(bytes);
	if (file.glyphs.size() * 12 > size)
		__builtin_trap();

	const int width = 1 + int(size % 37), height = 1 + int(size % 23);
	std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
	for (size_t i = 0; i < rgba.size(); ++i)
		rgba[i] = size ? data[i % size] : 0;
	lumaroll::trimGlyphs(file.glyphs, rgba, width, height);
	for (int code = 0; code <= 255; ++code) {
		const lumaroll::Glyph* found = file.glyphs.find(code);
		if (!found)
			continue;
		const lumaroll::Glyph& g = *found;
		const bool none = g.first == 0 && g.last == -1;
		if (!none && (g.first < 0 || g.first > g.last || g.last >= g.w || g.x + g.last >= width))
			__builtin_trap();
	}

	lumaroll::Font font;
	font.lineHeight = file.lineHeight;
	font.glyphs = file.glyphs;
	const std::string text(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
	lumaroll::textWidth(font, text);
	lumaroll::textQuads(font, text, int(size % 3), int(size % 4), 10.f, 20.f);
	return 0;
}
