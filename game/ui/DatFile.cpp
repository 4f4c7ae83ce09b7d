#include "ui/DatFile.h"

#include <algorithm>

namespace lumaroll {

namespace {

// Big-endian 16-bit field at position, or 0 when its two bytes are not both
// before end.
unsigned readU16(const std::uint8_t* data, std::size_t end, std::size_t position)
{
    if (position >= end || end - position < 2)
        return 0;
    return (unsigned(data[position]) << 8) | data[position + 1];
}

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

} // namespace

std::string readDatString(const std::uint8_t* data, std::size_t end, std::size_t& position)
{
    const std::size_t length = readU16(data, end, position);
    const std::size_t start = position + 2;
    std::string text;
    if (start < end)
        text.assign(reinterpret_cast<const char*>(data) + start, std::min(length, end - start));
    position = start + length;
    return text;
}

std::string dirPart(const std::string& path)
{
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1]))
            return path.substr(0, i);
    }
    return std::string();
}

std::string fileStem(const std::string& path)
{
    std::string name = path.substr(dirPart(path).size());
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

namespace {

// Reads the fields of a ".dat" file in order; a field past the end reads as 0.
struct DatReader {
    const std::uint8_t* data;
    std::size_t end;
    std::size_t position = 0;

    explicit DatReader(const std::vector<std::uint8_t>& bytes) : data(bytes.data()), end(bytes.size()) {}
    std::string string() { return readDatString(data, end, position); }
    unsigned u16()
    {
        const unsigned value = readU16(data, end, position);
        position += 2;
        return value;
    }
    int s16() { return static_cast<std::int16_t>(static_cast<std::uint16_t>(u16())); }
    bool before(std::size_t bytes) const { return position < end && end - position >= bytes; }
};

} // namespace

AtlasFile parseAtlas(const std::vector<std::uint8_t>& bytes)
{
    DatReader in(bytes);
    AtlasFile atlas;
    atlas.textureName = in.string();
    const unsigned count = in.u16();
    for (unsigned read = 0; read < count && in.before(1); ++read) {
        const std::string name = in.string();
        AtlasImage& image = atlas.images[name];
        image.x = in.s16();
        image.y = in.s16();
        image.w = in.s16();
        image.h = in.s16();
        image.pivotX = in.s16();
        image.pivotY = in.s16();
    }
    return atlas;
}

FontFile parseFont(const std::vector<std::uint8_t>& bytes)
{
    DatReader in(bytes);
    FontFile font;
    font.textureName = in.string();
    font.lineHeight = static_cast<int>(in.u16());
    in.u16(); // not used
    const unsigned count = in.u16();
    // A record is read only when all its 12 bytes are there.
    const std::size_t whole = in.position < in.end ? (in.end - in.position) / 12 : 0;
    const std::size_t records = std::min<std::size_t>(count, whole);
    const std::uint8_t* record = records > 0 ? in.data + in.position : nullptr;
    const auto field = [&record](int offset) {
        return static_cast<int>(
            static_cast<std::int16_t>(static_cast<std::uint16_t>((record[offset] << 8) | record[offset + 1])));
    };
    for (std::size_t i = 0; i < records; ++i, record += 12) {
        Glyph glyph;
        glyph.x = field(2);
        glyph.y = field(4);
        glyph.w = field(6);
        glyph.h = field(8);
        glyph.advance = field(10);
        font.glyphs.set((record[0] << 8) | record[1], glyph);
    }
    return font;
}

void GlyphTable::set(int code, const Glyph& glyph)
{
    if (code < 0 || code > 65535)
        return;
    const std::size_t index = static_cast<std::size_t>(code);
    if (index >= slots.size()) {
        // Grown in steps that double, so a font of ascending codes grows a few times only.
        const std::size_t size = std::min<std::size_t>(std::max(index + 1, 2 * slots.size()), 65536);
        slots.resize(size);
        used.resize(size, 0);
    }
    slots[index] = glyph;
    count += used[index] ? 0 : 1;
    used[index] = 1;
}

const Glyph* GlyphTable::find(int code) const
{
    const std::size_t index = static_cast<std::size_t>(code);
    return code >= 0 && index < used.size() && used[index] ? &slots[index] : nullptr;
}

Glyph* GlyphTable::find(int code)
{
    return const_cast<Glyph*>(static_cast<const GlyphTable*>(this)->find(code));
}

std::vector<int> GlyphTable::codes() const
{
    std::vector<int> out;
    for (std::size_t i = 0; i < used.size(); ++i)
        if (used[i])
            out.push_back(static_cast<int>(i));
    return out;
}

namespace {

// The part of a glyph's rectangle inside the texture: columns c0 to c1 - 1
// (relative to the glyph's x) and texture rows r0 to r1 - 1; empty when
// nothing of it is inside.
struct ClampedRect {
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
    bool empty() const { return c0 >= c1 || r0 >= r1; }
    long long area() const { return empty() ? 0 : static_cast<long long>(c1 - c0) * (r1 - r0); }
};

ClampedRect insideTexture(const Glyph& g, int width, int height)
{
    ClampedRect r;
    if (g.w > 0 && g.h > 0) {
        r.c0 = std::max(0, -g.x);
        r.c1 = std::min(g.w, width - g.x);
        r.r0 = std::max(g.y, 0);
        r.r1 = std::min(g.y + g.h, height);
    }
    return r;
}

// Sets the glyph's first and last opaque columns from a test of one column
// (relative to the glyph's x) over the rect's rows.
template <class HasOpaque>
void trimToColumns(Glyph& g, const ClampedRect& r, HasOpaque hasOpaque)
{
    g.first = 0;
    g.last = -1;
    if (r.empty())
        return;
    int c = r.c0;
    while (c < r.c1 && !hasOpaque(g.x + c, r.r0, r.r1))
        ++c;
    if (c == r.c1)
        return;
    int last = r.c1 - 1;
    while (!hasOpaque(g.x + last, r.r0, r.r1))
        --last;
    g.first = c;
    g.last = last;
}

} // namespace

void trimGlyphs(GlyphTable& glyphs, const std::vector<std::uint8_t>& rgba, int width, int height)
{
    const bool pixelsMatch = width > 0 && height > 0 &&
                             rgba.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (!pixelsMatch)
        width = height = 0; // nothing lies inside
    const std::size_t w = static_cast<std::size_t>(width);

    // Ordinary fonts cover the texture about once: their pixels are tested
    // directly. Rectangles that together cover it many times over (they may
    // each be 32767 pixels square) are counted instead, column by column,
    // from opaqueAbove[r * width + px], the opaque pixels of column px in the
    // rows above r, made in one pass.
    long long area = 0;
    for (int code = 0; code <= 255; ++code)
        if (const Glyph* g = glyphs.find(code))
            area += insideTexture(*g, width, height).area();
    std::vector<std::uint32_t> opaqueAbove;
    if (area > static_cast<long long>(width) * height) {
        opaqueAbove.assign((static_cast<std::size_t>(height) + 1) * w, 0);
        for (std::size_t r = 0; r < static_cast<std::size_t>(height); ++r) {
            const std::uint8_t* row = rgba.data() + r * w * 4;
            const std::uint32_t* above = opaqueAbove.data() + r * w;
            std::uint32_t* below = opaqueAbove.data() + (r + 1) * w;
            for (std::size_t px = 0; px < w; ++px)
                below[px] = above[px] + (row[px * 4 + 3] > 24 ? 1u : 0u);
        }
    }
    const auto countedColumn = [&](int px, int r0, int r1) {
        const std::size_t x = static_cast<std::size_t>(px);
        return opaqueAbove[static_cast<std::size_t>(r1) * w + x] !=
               opaqueAbove[static_cast<std::size_t>(r0) * w + x];
    };
    const auto testedColumn = [&](int px, int r0, int r1) {
        for (int r = r0; r < r1; ++r)
            if (rgba[(static_cast<std::size_t>(r) * w + static_cast<std::size_t>(px)) * 4 + 3] > 24)
                return true;
        return false;
    };

    for (int code = 0; code <= 255; ++code) {
        Glyph* g = glyphs.find(code);
        if (!g)
            continue;
        const ClampedRect r = insideTexture(*g, width, height);
        if (opaqueAbove.empty())
            trimToColumns(*g, r, testedColumn);
        else
            trimToColumns(*g, r, countedColumn);
    }
}

} // namespace lumaroll
