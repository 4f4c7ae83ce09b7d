// STAND-IN for the menu renderer: it loads no atlas (so the session's UI
// steps are skipped, as without "MENU.dat") and draws nothing. The game
// menus (menu renderer, atlases and bitmap fonts) replace it with this
// interface. All positions are in a virtual screen 480 units high.
#pragma once

#include <string>

namespace lumaroll {

class UiRenderer {
public:
    // Loads a ".dat" image atlas or bitmap font; false when the file cannot
    // be used. The session loads them while it loads the level.
    bool loadAtlas(const std::string&) { return false; }
    bool loadFont(const std::string&) { return false; }
    // Brackets 2D drawing over a viewport of width x height pixels (the
    // caller sets the GL viewport); begin fixes the scale and virtual width.
    void begin(int, int) {}
    void end() {}
    // Draws an image of an atlas with its pivot at (x, y), with alpha and scale.
    void drawImage(const std::string&, const std::string&, float, float, float, float) {}
    // Draws one line of text in a font: (font, text, hAlign, vAlign, x, y,
    // alpha); alignment 0 left or top, 1 centre, 2 right or bottom.
    void drawText(const std::string&, const std::string&, int, int, float, float, float) {}
    // Copies the current frame for the blurred backdrop behind menus and
    // results; the session asks for it when such a page appears.
    void captureScreen() {}
    // Whether a copy exists that has not been marked stale since.
    bool hasValidCapture() const { return false; }
    // Marks the copy stale (the level just ended: a new one is taken).
    void invalidateCapture() {}
    // Draws the copy blurred (radius, saturation, brightness) over the viewport.
    void drawBlurredCapture(int, float, float) {}
    // Width of the virtual screen of the last begin (800 before any).
    float virtualWidth() const { return 800.f; }
    // Pixels per virtual unit of the last begin.
    float pixelsPerUnit() const { return 1.f; }
};

} // namespace lumaroll
