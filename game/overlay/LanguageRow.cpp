#include "overlay/LanguageRow.h"

#include "overlay/MenuContext.h"
#include "overlay/MenuWidgets.h"
#include "overlay/Translations.h"
#include "store/Settings.h"

#include <imgui.h>

namespace lumaroll {

void drawLanguageRow(MenuContext& context)
{
    using menu::tr;
    Settings& settings = Settings::instance();
    const std::string current = settings.getString("general.language", "auto");
    // A copy: a choice below changes the language the names were read for.
    const std::vector<std::pair<std::string, std::string>> languages = context.files().languages();
    std::string preview = tr("game.language_auto");
    for (const auto& language : languages) {
        if (language.first == current)
            preview = language.second;
    }
    menu::row(tr("game.language"));
    const bool open = ImGui::BeginCombo("##language", preview.c_str());
    context.frame().noteItem("general.language", preview);
    if (!open)
        return;
    std::string chosen;
    if (ImGui::Selectable(tr("game.language_auto"), current == "auto"))
        chosen = "auto";
    context.frame().noteItem("general.language=auto", menu::selectedText(current == "auto"));
    for (std::size_t i = 0; i < languages.size(); ++i) {
        // Two languages may share a display name: each entry has its own id.
        const bool selected = languages[i].first == current;
        ImGui::PushID(int(i));
        if (ImGui::Selectable(languages[i].second.c_str(), selected))
            chosen = languages[i].first;
        ImGui::PopID();
        context.frame().noteItem("general.language=" + languages[i].first, menu::selectedText(selected));
    }
    ImGui::EndCombo();
    if (chosen.empty())
        return;
    settings.setString("general.language", chosen);
    context.saveSettings();
    // Every label from here on, in this frame too, is in the chosen language.
    Translations::instance().setLanguage(chosen);
}

} // namespace lumaroll
