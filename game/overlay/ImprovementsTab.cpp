#include "overlay/ImprovementsTab.h"

#include "overlay/MenuContext.h"
#include "overlay/MenuWidgets.h"
#include "store/Settings.h"

#include <imgui.h>

namespace lumaroll {

ImprovementsTab::ImprovementsTab(MenuContext& context) : context(context) {}

void ImprovementsTab::draw()
{
    using menu::tr;
    menu::sectionHeader("improvements.section");
    if (!menu::beginSettingsTable("improvements"))
        return;
    // The level logic reads the environment variable, not the setting.
    if (menu::checkboxRow(context, tr("improvements.visible_sections"), "improvements.visible_sections", true))
        Settings::instance().applyEnvironment();
    ImGui::EndTable();
}

} // namespace lumaroll
