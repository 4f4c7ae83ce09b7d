#include "overlay/MenuWidgets.h"

#include "overlay/MenuContext.h"
#include "overlay/Translations.h"
#include "store/Settings.h"

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <cstdio>

namespace lumaroll {
namespace menu {

namespace {

// The slider's text as the GUI shows it; format is one of the menu's own.
std::string shownValue(const char* format, float value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, double(value));
    return text;
}

} // namespace

const char* tr(const char* key)
{
    return Translations::instance().get(key);
}

void sectionHeader(const char* titleKey)
{
    ImGui::Spacing();
    ImGui::TextColored(kAccent, "%s", tr(titleKey));
    ImGui::Separator();
    ImGui::Spacing();
}

bool beginSettingsTable(const char* id)
{
    if (!ImGui::BeginTable(id, 2, ImGuiTableFlags_SizingStretchProp))
        return false;
    ImGui::TableSetupColumn("label", ImGuiTableColumnFlags_WidthStretch, 0.45f);
    ImGui::TableSetupColumn("value", ImGuiTableColumnFlags_WidthStretch, 0.55f);
    return true;
}

void row(const char* label)
{
    ImGui::TableNextRow();
    ImGui::TableSetColumnIndex(0);
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(label);
    ImGui::TableSetColumnIndex(1);
    ImGui::SetNextItemWidth(-FLT_MIN);
}

bool checkboxRow(MenuContext& context, const char* label, const char* key, bool fallback)
{
    bool value = Settings::instance().getBool(key, fallback);
    row(label);
    ImGui::PushID(key);
    const bool changed = ImGui::Checkbox("##v", &value);
    ImGui::PopID();
    context.frame().noteItem(key, value ? "1" : "0");
    context.frame().traceItem(key);
    if (!changed)
        return false;
    Settings::instance().setBool(key, value);
    context.saveSettings();
    return true;
}

bool sliderRow(MenuContext& context, const char* label, const char* key, const char* format, float fallback,
               const SettingRange& range)
{
    Settings& settings = Settings::instance();
    row(label);
    ImGui::PushID(key);
    float restored = 0.f;
    if (context.sliderDrag().takeRevert(key, restored)) {
        // The drag that began on this slider scrolled the page instead.
        settings.setFloat(key, restored);
        context.saveSettings();
        float shown = restored;
        ImGui::SliderFloat("##v", &shown, range.min, range.max, format);
        ImGui::PopID();
        context.frame().noteItem(key, shownValue(format, shown));
        return true;
    }
    // The value in force, not the stored text: a value out of range is shown
    // at the end its reader clamps it to, and stays stored until moved.
    const float before = range.clamp(settings.getFloat(key, fallback));
    float value = before;
    const bool changed = ImGui::SliderFloat("##v", &value, range.min, range.max, format);
    ImGui::PopID();
    context.frame().noteItem(key, shownValue(format, value));
    if (ImGui::IsItemActivated())
        context.sliderDrag().activated(key, before);
    if (!changed)
        return false;
    settings.setFloat(key, value);
    context.saveSettings();
    return true;
}

void centreNext(float width)
{
    const float space = ImGui::GetContentRegionAvail().x;
    if (space > width)
        ImGui::SetCursorPosX(ImGui::GetCursorPosX() + (space - width) * 0.5f);
}

void centredText(const std::string& text)
{
    centreNext(ImGui::CalcTextSize(text.c_str()).x);
    ImGui::TextUnformatted(text.c_str());
}

std::string withIcon(bool iconsLoaded, const char* icon, const std::string& text)
{
    return iconsLoaded ? std::string(icon) + "  " + text : text;
}

void drawTitle(MenuContext& context, float width)
{
    const TitlePicture& title = context.title();
    if (title.texture() == 0) {
        ImGui::SetWindowFontScale(2.f);
        centredText("Lumaroll");
        ImGui::SetWindowFontScale(1.f);
        context.frame().noteItem("title", "Lumaroll");
        return;
    }
    const float w = std::min(width, ImGui::GetContentRegionAvail().x);
    const ImVec2 size(w, w * float(title.height()) / float(title.width()));
    centreNext(size.x);
    ImGui::Image(reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(title.texture())), size);
    context.frame().noteItem("title");
}

} // namespace menu
} // namespace lumaroll
