#include "overlay/Notices.h"

#include "overlay/MenuContext.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>

namespace lumaroll {

namespace {

const char* const kIconInfo = "\xEF\x81\x9A"; // U+F05A
const std::size_t kMaxNotices = 4;

ImU32 rgba(int r, int g, int b, int a)
{
    return IM_COL32(r, g, b, a);
}

ImVec2 textSize(ImFont* font, float size, const std::string& text)
{
    return font->CalcTextSizeA(size, FLT_MAX, 0.f, text.data(), text.data() + text.size());
}

} // namespace

void Notices::notify(const std::string& text, const char* icon, float seconds)
{
    for (Notice& notice : notices) {
        if (notice.text == text) {
            notice.elapsed = std::min(notice.elapsed, 0.2f);
            return;
        }
    }
    if (notices.size() >= kMaxNotices)
        notices.erase(notices.begin());
    notices.push_back(Notice{text, icon ? icon : kIconInfo, 0.f, seconds});
    std::printf("notice: %s\n", text.c_str());
}

void Notices::clear()
{
    notices.clear();
    lastTick = 0;
}

void Notices::draw(std::uint32_t now, MenuContext& context)
{
    // A new burst starts from zero, and a stall never skips an animation.
    const float dt = lastTick == 0 ? 0.f : std::min(float(now - lastTick) / 1000.f, 0.1f);
    lastTick = now;

    ImFont* font = ImGui::GetFont();
    const float size = 0.95f * ImGui::GetFontSize();
    const float s = context.scale();
    const bool iconsLoaded = context.iconsLoaded();
    const float pad = 10.f * s, gap = 8.f * s, margin = 16.f * s, bar = 3.f * s, rounding = 8.f * s;
    ImDrawList* draw = ImGui::GetForegroundDrawList();
    float y = margin;
    for (Notice& notice : notices) {
        notice.elapsed += dt;
        const float fadeOut = std::clamp((notice.duration - notice.elapsed) / 0.4f, 0.f, 1.f);
        const float fadeIn = std::min(4.f * notice.elapsed, 1.f);
        const float opacity = std::min(fadeOut, fadeIn);
        if (opacity <= 0.f)
            continue;
        const ImVec2 t = textSize(font, size, notice.text);
        const float iconGap = iconsLoaded ? 0.8f * pad + textSize(font, size, notice.icon).x : 0.f;
        const float boxH = 1.6f * pad + t.y;
        const float boxW = 2.f * pad + bar + iconGap + t.x;
        const float slide = 1.f - fadeIn;
        const float x = ImGui::GetIO().DisplaySize.x - margin - boxW + 24.f * s * slide * slide;
        const int a = int(255.f * opacity);
        draw->AddRectFilled(ImVec2(x, y), ImVec2(x + boxW, y + boxH), rgba(16, 24, 38, int(0.9f * float(a))),
                            rounding, ImDrawFlags_RoundCornersAll);
        draw->AddRectFilled(ImVec2(x, y), ImVec2(x + bar, y + boxH), rgba(242, 89, 77, a), rounding,
                            ImDrawFlags_RoundCornersLeft);
        float tx = x + bar + pad;
        const float ty = y + (boxH - t.y) / 2.f;
        if (iconsLoaded) {
            draw->AddText(font, size, ImVec2(tx, ty), rgba(242, 89, 77, a), notice.icon.data(),
                          notice.icon.data() + notice.icon.size());
            tx += iconGap;
        }
        draw->AddText(font, size, ImVec2(tx, ty), rgba(255, 255, 255, a), notice.text.data(),
                      notice.text.data() + notice.text.size());
        context.frame().report().notices.push_back(FrameReport::NoticeBox{notice.text, x, y, boxW, boxH, opacity});
        // In the second half of its fade-out a notice gives up its place gradually.
        y += std::min(2.f * fadeOut, 1.f) * boxH + gap;
    }
    notices.erase(std::remove_if(notices.begin(), notices.end(),
                                 [](const Notice& n) { return n.elapsed >= n.duration; }),
                  notices.end());
    if (notices.empty())
        lastTick = 0;
}

} // namespace lumaroll
