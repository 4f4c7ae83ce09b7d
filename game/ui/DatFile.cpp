#include "ui/DatFile.h"

#include <algorithm>
#include <cstdio>

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

bool readBinaryFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::uint8_t buffer[16384];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    // A folder opens but does not read.
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}

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
    for (unsigned read = 0; read < count && in.before(12); ++read) {
        const int code = static_cast<int>(in.u16());
        Glyph glyph;
        glyph.x = in.s16();
        glyph.y = in.s16();
        glyph.w = in.s16();
        glyph.h = in.s16();
        glyph.advance = in.s16();
        font.glyphs[code] = glyph;
    }
    return font;
}

void trimGlyphs(std::map<int, Glyph>& glyphs, const std::vector<std::uint8_t>& rgba, int width, int height)
{
    const bool pixelsMatch = width > 0 && height > 0 &&
                             rgba.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    // opaqueAbove[r * width + px]: opaque pixels of column px in the rows
    // above r, so any run of rows of a column is counted in one subtraction.
    std::vector<std::uint32_t> opaqueAbove;
    const std::size_t w = pixelsMatch ? static_cast<std::size_t>(width) : 0;
    const auto hasOpaque = [&](int px, int r0, int r1) {
        return opaqueAbove[static_cast<std::size_t>(r1) * w + static_cast<std::size_t>(px)] !=
               opaqueAbove[static_cast<std::size_t>(r0) * w + static_cast<std::size_t>(px)];
    };
    for (auto& entry : glyphs) {
        if (entry.first < 0 || entry.first > 255)
            continue;
        Glyph& g = entry.second;
        // No opaque column unless one is found (also for a width that is not positive).
        g.first = 0;
        g.last = -1;
        if (pixelsMatch && g.w > 0 && g.h > 0) {
            // Only the columns and rows inside the texture count.
            const int r0 = std::max(g.y, 0);
            const int r1 = std::min(g.y + g.h, height);
            const int c0 = std::max(0, -g.x);
            const int c1 = std::min(g.w, width - g.x);
            if (r0 < r1 && c0 < c1) {
                if (opaqueAbove.empty()) {
                    opaqueAbove.assign((static_cast<std::size_t>(height) + 1) * w, 0);
                    for (std::size_t r = 0; r < static_cast<std::size_t>(height); ++r) {
                        const std::uint8_t* row = rgba.data() + r * w * 4;
                        const std::uint32_t* above = opaqueAbove.data() + r * w;
                        std::uint32_t* below = opaqueAbove.data() + (r + 1) * w;
                        for (std::size_t px = 0; px < w; ++px)
                            below[px] = above[px] + (row[px * 4 + 3] > 24 ? 1u : 0u);
                    }
                }
                int c = c0;
                while (c < c1 && !hasOpaque(g.x + c, r0, r1))
                    ++c;
                if (c < c1) {
                    g.first = c;
                    int last = c1 - 1;
                    while (!hasOpaque(g.x + last, r0, r1))
                        --last;
                    g.last = last;
                }
            }
        }
    }
}

} // namespace lumaroll
