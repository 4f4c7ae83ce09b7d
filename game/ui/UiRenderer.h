// STAND-IN for the menu renderer: it loads no atlas (so the session's UI
// steps are skipped, as without "MENU.dat") and draws nothing. The game
// menus replace this file with the real renderer.
#pragma once

#include <string>

namespace lumaroll {

class UiRenderer {
public:
    // Returns whether the atlas or font file loaded; the stand-in loads none.
    bool loadAtlas(const std::string&) { return false; }
    bool loadFont(const std::string&) { return false; }
    void begin(int, int) {}
    void end() {}
    void drawImage(const std::string&, const std::string&, float, float, float, float) {}
    void drawText(const std::string&, const std::string&, float, float, int, int, float) {}
    void captureScreen() {}
    bool hasValidCapture() const { return false; }
    void invalidateCapture() {}
    void drawBlurredCapture(int, float, float) {}
    float virtualWidth() const { return 800.f; }
    float pixelsPerUnit() const { return 1.f; }
};

} // namespace lumaroll
