// Menu font size, UI scale and layout from the display: a pure function of
// the window and drawable sizes, the DPI SDL reports and whether the compact
// layout was asked for, so every display can be checked without one.
#pragma once

namespace lumaroll {

struct MenuMetrics {
    float dpi = 96.f;           // the DPI used (96 when SDL failed or reported less than 50)
    float pxPerMm = 0.f;        // drawable pixels per millimetre
    float fontPx = 0.f;         // menu font size in pixels, at most kMaxMenuFontPx
    float diagonalInches = 0.f; // 0 when the drawable has no height
    bool compact = false;       // compact layout: small display, or asked for
    float scale = 1.f;          // fontPx / 22
};

// A larger font builds a glyph atlas bigger than GL can hold (a bogus monitor
// size can report thousands of DPI).
constexpr float kMaxMenuFontPx = 128.f;

// windowWidth in points; drawable sizes in pixels; reportedDpi 0 or less when
// SDL could not tell; compactRequested when LUMAROLL_MENU_COMPACT is set.
MenuMetrics measureMenu(int windowWidth, int drawableWidth, int drawableHeight, float reportedDpi,
                        bool compactRequested);

// The menu window on a display of width x height points: the whole display
// without a title bar in the compact layout; otherwise 900 x 640 times the
// scale, but at most 90 % of the display's width and 86 % of its height.
struct MenuWindowLayout {
    float width = 0.f;
    float height = 0.f;
    bool titleBar = true;
};
MenuWindowLayout menuWindowLayout(float displayWidth, float displayHeight, float scale, bool compact);

} // namespace lumaroll
