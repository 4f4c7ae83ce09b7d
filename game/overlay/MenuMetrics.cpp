#include "overlay/MenuMetrics.h"

#include <algorithm>
#include <cmath>

namespace lumaroll {

MenuMetrics measureMenu(int windowWidth, int drawableWidth, int drawableHeight, float reportedDpi,
                        bool compactRequested)
{
    MenuMetrics m;
    m.dpi = reportedDpi < 50.f ? 96.f : reportedDpi;
    m.pxPerMm = m.dpi / 25.4f;
    if (windowWidth > 0 && drawableWidth > 0)
        m.pxPerMm *= float(drawableWidth) / float(windowWidth);

    if (drawableHeight <= 0) {
        m.fontPx = std::max(18.7f, 3.8f * m.pxPerMm);
        m.compact = true;
    } else {
        m.fontPx = std::max(float(drawableHeight) / 720.f * 22.f * 0.85f, 3.8f * m.pxPerMm);
        const float w = float(drawableWidth), h = float(drawableHeight);
        m.diagonalInches = std::sqrt(w * w + h * h) / (25.4f * m.pxPerMm);
        m.compact = m.diagonalInches < 7.f || drawableHeight < 480 || compactRequested;
    }
    if (m.compact)
        m.fontPx = std::max(16.f, m.fontPx);
    m.fontPx = std::min(m.fontPx, kMaxMenuFontPx);
    m.scale = m.fontPx / 22.f;
    return m;
}

MenuWindowLayout menuWindowLayout(float displayWidth, float displayHeight, float scale, bool compact)
{
    MenuWindowLayout layout;
    if (compact) {
        layout.width = displayWidth;
        layout.height = displayHeight;
        layout.titleBar = false;
    } else {
        layout.width = std::min(scale * 900.f, 0.9f * displayWidth);
        layout.height = std::min(scale * 640.f, 0.86f * displayHeight);
    }
    return layout;
}

} // namespace lumaroll
