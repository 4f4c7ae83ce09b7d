#include "overlay/MenuWidgets.h"

#include "overlay/Translations.h"

#include <cfloat>

namespace lumaroll {
namespace menu {

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

} // namespace menu
} // namespace lumaroll
