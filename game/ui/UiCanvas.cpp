#include "ui/UiCanvas.h"

#include "files/RegularFile.h"

#include <algorithm>

namespace lumaroll {

VirtualScreen virtualScreen(int width, int height)
{
    VirtualScreen s;
    s.width = width;
    s.height = std::max(height, 1);
    s.scale = static_cast<float>(s.height) / 480.f;
    s.virtualWidth = static_cast<int>(static_cast<float>(width) / s.scale + 0.5f);
    return s;
}

SpriteQuad imageQuad(const AtlasImage& image, float x, float y, float scale)
{
    SpriteQuad q;
    q.x = x - static_cast<float>(image.pivotX) * scale;
    q.y = y - static_cast<float>(image.pivotY) * scale;
    q.w = static_cast<float>(image.w) * scale;
    q.h = static_cast<float>(image.h) * scale;
    q.srcX = image.x;
    q.srcY = image.y;
    q.srcW = image.w;
    q.srcH = image.h;
    return q;
}

bool imageContains(const AtlasImage& image, float x, float y, float scale, float px, float py)
{
    const SpriteQuad q = imageQuad(image, x, y, scale);
    return q.x <= px && px < q.x + q.w && q.y <= py && py < q.y + q.h;
}

namespace {

// The glyph of a byte of text, or null.
const Glyph* glyphOf(const Font& font, char byte)
{
    return font.glyphs.find(static_cast<unsigned char>(byte));
}

int penAdvance(const Glyph& g)
{
    return g.first <= g.last ? g.last - g.first + 2 : g.advance;
}

} // namespace

int textWidth(const Font& font, const std::string& text)
{
    int width = 0;
    for (char byte : text) {
        if (const Glyph* g = glyphOf(font, byte))
            width += penAdvance(*g);
    }
    return width;
}

std::vector<SpriteQuad> textQuads(const Font& font, const std::string& text, int hAlign, int vAlign, float x,
                                  float y)
{
    std::vector<SpriteQuad> quads;
    textQuads(font, text, hAlign, vAlign, x, y, quads);
    return quads;
}

void textQuads(const Font& font, const std::string& text, int hAlign, int vAlign, float x, float y,
               std::vector<SpriteQuad>& quads)
{
    const float width = static_cast<float>(textWidth(font, text));
    const float line = static_cast<float>(font.lineHeight);
    if (hAlign == 1)
        x -= width / 2.f;
    else if (hAlign == 2)
        x -= width;
    if (vAlign == 1)
        y -= line / 2.f;
    else if (vAlign == 2)
        y -= line;

    quads.clear();
    for (char byte : text) {
        const Glyph* g = glyphOf(font, byte);
        if (!g)
            continue;
        if (g->w > 0 && g->h > 0 && g->first <= g->last) {
            SpriteQuad q;
            q.x = x - static_cast<float>(g->first);
            q.y = y + line - static_cast<float>(g->h);
            q.w = static_cast<float>(g->w);
            q.h = static_cast<float>(g->h);
            q.srcX = g->x;
            q.srcY = g->y;
            q.srcW = g->w;
            q.srcH = g->h;
            quads.push_back(q);
        }
        x += static_cast<float>(penAdvance(*g));
    }
}

namespace {

template <class Record, class Release>
void storeRecord(std::map<std::string, Record>& records, const std::string& name, Record&& record, Release release)
{
    auto it = records.find(name);
    if (it != records.end()) {
        release(it->second.texture);
        it->second = std::move(record);
    } else {
        records.emplace(name, std::move(record));
    }
}

} // namespace

bool UiCanvas::loadAtlas(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!readRegularFile(path, bytes))
        return false;
    AtlasFile file = parseAtlas(bytes);
    Atlas atlas;
    atlas.images = std::move(file.images);
    atlas.texture = loadTexture(dirPart(path) + file.textureName, atlas.width, atlas.height, nullptr);
    if (atlas.texture == 0)
        return false;
    storeRecord(atlases, fileStem(path), std::move(atlas), [this](unsigned t) { releaseTexture(t); });
    return true;
}

bool UiCanvas::loadFont(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!readRegularFile(path, bytes))
        return false;
    FontFile file = parseFont(bytes);
    Font font;
    font.lineHeight = file.lineHeight;
    font.glyphs = std::move(file.glyphs);
    std::vector<std::uint8_t> pixels;
    font.texture = loadTexture(dirPart(path) + file.textureName, font.width, font.height, &pixels);
    if (font.texture == 0)
        return false;
    trimGlyphs(font.glyphs, pixels, font.width, font.height);
    storeRecord(fonts, fileStem(path), std::move(font), [this](unsigned t) { releaseTexture(t); });
    return true;
}

void UiCanvas::setViewport(int width, int height)
{
    screen = virtualScreen(width, height);
}

const Atlas* UiCanvas::findAtlas(const std::string& name) const
{
    const auto it = atlases.find(name);
    return it == atlases.end() ? nullptr : &it->second;
}

const AtlasImage* UiCanvas::findImage(const std::string& atlas, const std::string& image) const
{
    const Atlas* a = findAtlas(atlas);
    if (!a)
        return nullptr;
    const auto it = a->images.find(image);
    return it == a->images.end() ? nullptr : &it->second;
}

const Font* UiCanvas::findFont(const std::string& name) const
{
    const auto it = fonts.find(name);
    return it == fonts.end() ? nullptr : &it->second;
}

int UiCanvas::textWidth(const std::string& font, const std::string& text) const
{
    const Font* f = findFont(font);
    return f ? lumaroll::textWidth(*f, text) : 0;
}

int UiCanvas::imageWidth(const std::string& atlas, const std::string& image) const
{
    const AtlasImage* i = findImage(atlas, image);
    return i ? i->w : 0;
}

int UiCanvas::imageHeight(const std::string& atlas, const std::string& image) const
{
    const AtlasImage* i = findImage(atlas, image);
    return i ? i->h : 0;
}

bool UiCanvas::hasImage(const std::string& atlas, const std::string& image) const
{
    return findImage(atlas, image) != nullptr;
}

bool UiCanvas::hitTest(const std::string& atlas, const std::string& image, float x, float y, float scale, float px,
                       float py) const
{
    const AtlasImage* i = findImage(atlas, image);
    return i && imageContains(*i, x, y, scale, px, py);
}

} // namespace lumaroll
