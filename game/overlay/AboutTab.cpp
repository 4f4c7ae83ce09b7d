#include "overlay/AboutTab.h"

#include "overlay/Credits.h"
#include "overlay/MenuContext.h"
#include "overlay/MenuWidgets.h"
#include "overlay/SafeFormat.h"

#include "Version.h"

#include <imgui.h>

namespace lumaroll {

AboutTab::AboutTab(MenuContext& context) : context(context) {}

void AboutTab::draw()
{
    using menu::tr;
    ImGui::Spacing();
    menu::drawTitle(context, 420.f * context.scale());
    ImGui::Spacing();
    const std::string version = formatText(tr("about.version"), {LUMAROLL_VERSION});
    menu::centredText(version);
    context.frame().noteItem("about.version", version);
    menu::centredText(tr("about.by"));

    menu::sectionHeader("about.section_community");
    const ImGuiStyle& style = ImGui::GetStyle();
    const float space = ImGui::GetContentRegionAvail().x;
    const int columns = context.compact() && space < 520.f * context.scale() ? 2 : 4;
    const float width = (space - style.ItemSpacing.x * float(columns - 1)) / float(columns);
    const std::vector<CommunityLink>& links = communityLinks();
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (i % std::size_t(columns) != 0)
            ImGui::SameLine();
        const std::string label = menu::withIcon(context.iconsLoaded(), links[i].icon, links[i].name);
        if (ImGui::Button(label.c_str(), ImVec2(width, 0.f)))
            context.platform().desktop->openAddress(links[i].address);
        context.frame().noteItem(std::string("link.") + links[i].name, links[i].address);
    }

    menu::sectionHeader("about.section_original");
    ImGui::PushTextWrapPos(0.f);
    ImGui::TextUnformatted(tr("about.original"));
    ImGui::TextUnformatted(tr("about.not_affiliated"));
    ImGui::PopTextWrapPos();

    ImGui::Spacing();
    const bool open = ImGui::CollapsingHeader((std::string(tr("about.libraries")) + "###libraries").c_str());
    context.frame().noteItem("about.libraries");
    if (open && ImGui::BeginTable("libraries", 2, ImGuiTableFlags_SizingStretchProp | ImGuiTableFlags_RowBg)) {
        for (const Credit& credit : credits()) {
            ImGui::TableNextRow();
            ImGui::TableSetColumnIndex(0);
            ImGui::TextUnformatted(credit.component);
            context.frame().noteItem(std::string("credit.") + credit.component, credit.licence);
            ImGui::TableSetColumnIndex(1);
            ImGui::TextUnformatted(credit.licence);
        }
        ImGui::EndTable();
    }
    ImGui::Spacing();
    menu::centredText(tr("about.license"));
}

} // namespace lumaroll
