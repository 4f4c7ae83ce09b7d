#include "overlay/ScreenTexts.h"

#include <imgui.h>

#include <algorithm>
#include <cfloat>

namespace lumaroll {

namespace {

ImU32 rgba(int r, int g, int b, int a)
{
    return IM_COL32(r, g, b, a);
}

ImVec2 textSize(ImFont* font, float size, const std::string& text)
{
    return font->CalcTextSizeA(size, FLT_MAX, 0.f, text.data(), text.data() + text.size());
}

} // namespace

void ScreenTexts::draw() const
{
    ImFont* font = ImGui::GetFont();
    ImDrawList* draw = ImGui::GetForegroundDrawList();
    // Producers give drawable pixels; the GUI draws in window points.
    const ImVec2 fb = ImGui::GetIO().DisplayFramebufferScale;
    const float toPoints = fb.y > 0.f ? 1.f / fb.y : 1.f;
    for (const ScreenText& text : texts) {
        const float size = text.size * toPoints;
        const ImVec2 t = textSize(font, size, text.text);
        const ImVec2 at(text.x * toPoints - t.x, text.y * toPoints - t.y / 2.f);
        const float o = std::max(1.f, 0.08f * size);
        const char* begin = text.text.data();
        const char* end = begin + text.text.size();
        draw->AddText(font, size, ImVec2(at.x + o, at.y + o), rgba(20, 30, 45, 220), begin, end);
        draw->AddText(font, size, at, rgba(255, 255, 255, 255), begin, end);
    }
}

} // namespace lumaroll
