#ifndef SUPPORT_DATWRITER_H
#define SUPPORT_DATWRITER_H

// Writes the game's ".dat" menu files for tests: image atlases and bitmap
// fonts (big-endian, strings as a u16 length and the bytes), including
// malformed ones: a count other than the records written, a stated string
// length beyond the data, duplicate names and codes, negative and huge fields,
// and, with cut(), a file that ends after any byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct DatAtlasEntry {
	std::string name;
	int x = 0, y = 0, w = 0, h = 0; // written as s16 (values are cut to 16 bits)
	int pivotX = 0, pivotY = 0;
	int nameLength = -1; // the length written before the name; -1: the name's size
	bool fields = true;	 // false: the entry ends after its name (no rectangle, no pivot)
};

struct DatAtlas {
	std::string texture; // texture file name, relative to the atlas
	std::vector<DatAtlasEntry> entries;
	int count = -1; // the entry count written; -1: the number of entries

	std::vector<uint8_t> bytes() const;
	bool write(const std::string& path) const;
};

struct DatGlyph {
	int code = 0;
	int x = 0, y = 0, w = 0, h = 0;
	int advance = 0;
};

struct DatFont {
	std::string texture;
	int lineHeight = 0;
	int unused = 0;
	std::vector<DatGlyph> glyphs;
	int count = -1; // the glyph count written; -1: the number of glyphs

	std::vector<uint8_t> bytes() const;
	bool write(const std::string& path) const;
};

// The first n bytes of data (all of it when n is larger).
std::vector<uint8_t> cut(const std::vector<uint8_t>& data, size_t n);

// Writes bytes to path; false when it cannot be written.
bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace test

#endif
