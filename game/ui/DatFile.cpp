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

int readS16(const std::uint8_t* data, std::size_t end, std::size_t position)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(readU16(data, end, position)));
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

AtlasFile parseAtlas(const std::vector<std::uint8_t>& bytes)
{
    const std::uint8_t* data = bytes.data();
    const std::size_t end = bytes.size();
    std::size_t position = 0;
    AtlasFile atlas;
    atlas.textureName = readDatString(data, end, position);
    const unsigned count = readU16(data, end, position);
    position += 2;
    for (unsigned read = 0; read < count && position < end; ++read) {
        const std::string name = readDatString(data, end, position);
        AtlasImage image;
        image.x = readS16(data, end, position);
        image.y = readS16(data, end, position + 2);
        image.w = readS16(data, end, position + 4);
        image.h = readS16(data, end, position + 6);
        image.pivotX = readS16(data, end, position + 8);
        image.pivotY = readS16(data, end, position + 10);
        position += 12;
        atlas.images[name] = image;
    }
    return atlas;
}

FontFile parseFont(const std::vector<std::uint8_t>& bytes)
{
    const std::uint8_t* data = bytes.data();
    const std::size_t end = bytes.size();
    std::size_t position = 0;
    FontFile font;
    font.textureName = readDatString(data, end, position);
    font.lineHeight = static_cast<int>(readU16(data, end, position));
    // The u16 after the line height is not used.
    const unsigned count = readU16(data, end, position + 4);
    position += 6;
    for (unsigned read = 0; read < count && position < end && end - position >= 12; ++read) {
        Glyph glyph;
        const int code = static_cast<int>(readU16(data, end, position));
        glyph.x = readS16(data, end, position + 2);
        glyph.y = readS16(data, end, position + 4);
        glyph.w = readS16(data, end, position + 6);
        glyph.h = readS16(data, end, position + 8);
        glyph.advance = readS16(data, end, position + 10);
        position += 12;
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
        g.first = g.w;
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
        if (g.first > g.last) {
            g.first = 0;
            g.last = -1;
        }
    }
}

} // namespace lumaroll
