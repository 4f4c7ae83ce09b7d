// The improvements tab and the about tab (title, version, community links,
// the original game, the libraries and their licences).
#include "overlay/Overlay.h"

#include "overlay/Credits.h"
#include "platform/Desktop.h"
#include "overlay/MenuWidgets.h"
#include "overlay/SafeFormat.h"
#include "store/Settings.h"

#include "Version.h"

namespace lumaroll {

void Overlay::drawImprovementsTab()
{
    menu::sectionHeader("improvements.section");
    if (!menu::beginSettingsTable("improvements"))
        return;
    // The level logic reads the environment variable, not the setting.
    if (checkbox(menu::tr("improvements.visible_sections"), "improvements.visible_sections", true))
        Settings::instance().applyEnvironment();
    ImGui::EndTable();
}

void Overlay::drawAboutTab()
{
    using menu::tr;
    ImGui::Spacing();
    drawTitle(420.f * scale);
    ImGui::Spacing();
    const std::string version = formatText(tr("about.version"), {LUMAROLL_VERSION});
    menu::centredText(version);
    noteItem("about.version", version);
    menu::centredText(tr("about.by"));

    menu::sectionHeader("about.section_community");
    const ImGuiStyle& style = ImGui::GetStyle();
    const float space = ImGui::GetContentRegionAvail().x;
    const int columns = compact && space < 520.f * scale ? 2 : 4;
    const float width = (space - style.ItemSpacing.x * float(columns - 1)) / float(columns);
    const std::vector<CommunityLink>& links = communityLinks();
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (i % std::size_t(columns) != 0)
            ImGui::SameLine();
        const std::string label = menu::withIcon(iconsLoaded, links[i].icon, links[i].name);
        if (ImGui::Button(label.c_str(), ImVec2(width, 0.f)))
            openAddress(links[i].address);
        noteItem(std::string("link.") + links[i].name, links[i].address);
    }

    menu::sectionHeader("about.section_original");
    ImGui::PushTextWrapPos(0.f);
    ImGui::TextUnformatted(tr("about.original"));
    ImGui::TextUnformatted(tr("about.not_affiliated"));
    ImGui::PopTextWrapPos();

    ImGui::Spacing();
    const bool open = ImGui::CollapsingHeader((std::string(tr("about.libraries")) + "###libraries").c_str());
    noteItem("about.libraries");
    if (open && ImGui::BeginTable("libraries", 2, ImGuiTableFlags_SizingStretchProp | ImGuiTableFlags_RowBg)) {
        for (const Credit& credit : credits()) {
            ImGui::TableNextRow();
            ImGui::TableSetColumnIndex(0);
            ImGui::TextUnformatted(credit.component);
            noteItem(std::string("credit.") + credit.component, credit.licence);
            ImGui::TableSetColumnIndex(1);
            ImGui::TextUnformatted(credit.licence);
        }
        ImGui::EndTable();
    }
    ImGui::Spacing();
    menu::centredText(tr("about.license"));
}

} // namespace lumaroll
