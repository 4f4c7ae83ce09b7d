// What the HUD and the in-game menu draw on: the game's image atlases and
// bitmap fonts loaded from its ".dat" files, their measures, and a virtual
// screen 480 units high whose width follows the viewport's aspect ratio
// (origin top left, y down). The two drawing calls are virtual: the menu
// renderer draws them with GL, tests put a canvas in its place that records
// them. Loading goes through the virtual loadTexture for the same reason.
//
// Alignment codes of text: 0 left or top, 1 centre, 2 right or bottom.
#pragma once

#include "ui/DatFile.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lumaroll {

// A loaded atlas: its texture (a name of the canvas's loadTexture, never 0)
// and size in pixels, and its images by name.
struct Atlas {
    unsigned texture = 0;
    int width = 0, height = 0;
    std::map<std::string, AtlasImage> images;
};

// A loaded bitmap font: its texture and size, the line height from the file,
// and its glyphs by character code, trimmed to their opaque columns.
struct Font {
    unsigned texture = 0;
    int width = 0, height = 0;
    int lineHeight = 0;
    GlyphTable glyphs;
};

// The virtual screen of a viewport of width x height pixels (a height below 1
// counts as 1): scale pixels per unit = height / 480, virtual width =
// (int)(width / scale + 0.5).
struct VirtualScreen {
    int width = 800;
    int height = 480;
    float scale = 1.f;
    int virtualWidth = 800;
};
VirtualScreen virtualScreen(int width, int height);

// A texture rectangle (texture pixels) drawn into a virtual rectangle.
struct SpriteQuad {
    float x = 0.f, y = 0.f, w = 0.f, h = 0.f;
    int srcX = 0, srcY = 0, srcW = 0, srcH = 0;
};

// Where an image drawn with its pivot at (x, y) and the scale lands.
SpriteQuad imageQuad(const AtlasImage& image, float x, float y, float scale);

// True when (px, py) lies in the image as imageQuad places it: left and top
// edges inside, right and bottom edges outside.
bool imageContains(const AtlasImage& image, float x, float y, float scale, float px, float py);

// Width of a line of text in virtual units: per byte, a glyph with opaque
// columns adds last - first + 2, one without adds its advance, a byte without
// a glyph adds nothing.
int textWidth(const Font& font, const std::string& text);

// The glyph quads of a line of text aligned at (x, y): each glyph's first
// opaque column on the pen, its bottom on the line's bottom (line height
// below the aligned top). Glyphs without opaque columns, or with w or h not
// positive, only move the pen.
std::vector<SpriteQuad> textQuads(const Font& font, const std::string& text, int hAlign, int vAlign, float x,
                                  float y);
// The same into quads (emptied first), so that a caller drawing every frame
// can keep one vector and allocate nothing once it is large enough.
void textQuads(const Font& font, const std::string& text, int hAlign, int vAlign, float x, float y,
               std::vector<SpriteQuad>& quads);

class UiCanvas {
public:
    UiCanvas() = default;
    virtual ~UiCanvas() = default;
    UiCanvas(const UiCanvas&) = delete;
    UiCanvas& operator=(const UiCanvas&) = delete;

    // Loads a ".dat" atlas or font and its texture (named in the file,
    // relative to the file's folder) and stores it under the file's stem,
    // replacing any record of that stem (whose texture is released). False
    // when the file cannot be read or its texture cannot be loaded; the
    // record stored before under that stem then stays.
    bool loadAtlas(const std::string& path);
    bool loadFont(const std::string& path);

    // Sets the viewport the virtual screen is laid over (the renderer's begin
    // does this before it draws).
    void setViewport(int width, int height);
    // Width of the virtual screen in units (800 before any viewport).
    float virtualWidth() const { return static_cast<float>(screen.virtualWidth); }
    // Pixels per virtual unit (1 before any viewport).
    float pixelsPerUnit() const { return screen.scale; }
    const VirtualScreen& viewport() const { return screen; }

    // Draws an image with its pivot at (x, y), with alpha and scale; nothing
    // when the atlas or the image is missing.
    virtual void drawImage(const std::string& atlas, const std::string& image, float x, float y, float alpha,
                           float scale) = 0;
    // Draws one line of text (alignment codes above); nothing when the font is missing.
    virtual void drawText(const std::string& font, const std::string& text, int hAlign, int vAlign, float x,
                          float y, float alpha) = 0;

    // Measures; 0 (or false) when the atlas, image or font is missing.
    int textWidth(const std::string& font, const std::string& text) const;
    int imageWidth(const std::string& atlas, const std::string& image) const;
    int imageHeight(const std::string& atlas, const std::string& image) const;
    bool hasImage(const std::string& atlas, const std::string& image) const;
    // True when (px, py) lies in the image as drawImage with the same
    // arguments places it (left and top edges inside, right and bottom outside).
    bool hitTest(const std::string& atlas, const std::string& image, float x, float y, float scale, float px,
                 float py) const;

    // The stored records; null when there is none of that name.
    const Atlas* findAtlas(const std::string& name) const;
    const AtlasImage* findImage(const std::string& atlas, const std::string& image) const;
    const Font* findFont(const std::string& name) const;

protected:
    // Loads an image file into a texture: its name (0 when the file cannot
    // be loaded, after a message), width and height, and, when pixels is
    // given, a copy of its RGBA pixels (top row first).
    virtual unsigned loadTexture(const std::string& path, int& width, int& height,
                                 std::vector<std::uint8_t>* pixels) = 0;
    // Lets go of a texture that loadTexture returned.
    virtual void releaseTexture(unsigned texture) = 0;

    std::map<std::string, Atlas> atlases;
    std::map<std::string, Font> fonts;
    VirtualScreen screen;
};

} // namespace lumaroll
