// The game's ".dat" menu files: image atlases (one texture, named source
// rectangles with a pivot) and bitmap fonts (one texture, glyph rectangles by
// character code). Both are big-endian, 16-bit fields, strings as a u16 length
// and that many bytes, no magic number or checksum. The readers never fail on
// truncated data: a field past the end reads as 0, a string as the bytes that
// are there, and reading stops at the end of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lumaroll {

// One image of an atlas: its source rectangle in texture pixels (origin top
// left) and the point inside it, in image pixels from its top-left corner,
// that is placed at the drawing position.
struct AtlasImage {
    int x = 0, y = 0, w = 0, h = 0;
    int pivotX = 0, pivotY = 0;
};

// One glyph of a bitmap font: its source rectangle and advance from the file;
// first and last are its first and last opaque columns (relative to x), set
// by trimGlyphs; first > last means no opaque column.
struct Glyph {
    int x = 0, y = 0, w = 0, h = 0;
    int advance = 0;
    int first = 0, last = 0;
};

// What an atlas file holds: the texture file name (relative to the file's
// folder) and the images by name (a later entry replaces an earlier one of
// the same name).
struct AtlasFile {
    std::string textureName;
    std::map<std::string, AtlasImage> images;
};

// Glyphs by character code (0 to 65535), held in a table indexed by code so
// that a font naming every code reads in one pass and text finds its glyphs
// at once. Setting a code again replaces its glyph.
class GlyphTable {
public:
    // Stores the glyph of a code; codes outside 0 to 65535 are ignored.
    void set(int code, const Glyph& glyph);
    // The glyph of a code; null when it has none.
    const Glyph* find(int code) const;
    Glyph* find(int code);
    // How many codes have a glyph.
    std::size_t size() const { return count; }
    // The codes that have a glyph, ascending.
    std::vector<int> codes() const;

private:
    std::vector<Glyph> slots;       // by code, at least up to the highest code set
    std::vector<std::uint8_t> used; // 1 where slots holds a glyph
    std::size_t count = 0;
};

// What a font file holds: the texture file name, the line height and the
// glyphs by character code (a later record replaces an earlier one).
struct FontFile {
    std::string textureName;
    int lineHeight = 0;
    GlyphTable glyphs;
};

// The string at position in data[0, end): a u16 length, then the bytes. The
// position always advances by length + 2, also when the bytes run past end
// (the string then holds those before end); with fewer than two bytes left
// the string is empty and the position still advances by 2.
std::string readDatString(const std::uint8_t* data, std::size_t end, std::size_t& position);

// The path up to and including its last '/' or '\\'; empty when it has neither.
std::string dirPart(const std::string& path);

// The file name after the last '/' or '\\' (the whole path without one), cut
// before its first '.': "a\\b\\FONT_YELLOW.dat" gives "FONT_YELLOW".
std::string fileStem(const std::string& path);

// Parses an atlas file. A count past the data means no entries; entries are
// read while fewer than the count were read and the position lies before the
// end; a rectangle or pivot field past the end reads as 0.
AtlasFile parseAtlas(const std::vector<std::uint8_t>& bytes);

// Parses a font file. Glyph records (12 bytes: code, x, y, w, h, advance) are
// read until the count is reached or a record does not lie wholly within the
// data. Every glyph starts with first = last = 0.
FontFile parseFont(const std::vector<std::uint8_t>& bytes);

// Sets first and last of every glyph with a code from 0 to 255 to its
// first and last opaque columns in the texture (rgba: width x height pixels,
// top row first; opaque means alpha above 24); only the part of a rectangle
// inside the texture counts. A glyph without an opaque column (or with w or
// h not positive) gets first 0, last -1. Codes above 255 are never drawn
// (text is measured by bytes) and are left as they are. The work stays near
// one pass over the texture plus the glyphs' widths, however large and
// overlapping their rectangles.
void trimGlyphs(GlyphTable& glyphs, const std::vector<std::uint8_t>& rgba, int width, int height);

} // namespace lumaroll
