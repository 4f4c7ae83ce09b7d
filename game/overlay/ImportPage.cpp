#include "overlay/ImportPage.h"

#include "files/Paths.h"
#include "overlay/LanguageRow.h"
#include "overlay/MenuContext.h"
#include "overlay/MenuWidgets.h"
#include "overlay/PackagePicker.h"
#include "overlay/SafeFormat.h"

#include <imgui.h>

#include <algorithm>
#include <cfloat>
#include <exception>

namespace lumaroll {

namespace {

// Centred when it fits on one line, else wrapped at the window's edge.
void centredOrWrapped(const std::string& text)
{
    if (ImGui::CalcTextSize(text.c_str()).x < ImGui::GetContentRegionAvail().x)
        menu::centreNext(ImGui::CalcTextSize(text.c_str()).x);
    ImGui::PushTextWrapPos(0.f);
    ImGui::TextUnformatted(text.c_str());
    ImGui::PopTextWrapPos();
}

} // namespace

ImportPage::ImportPage(MenuContext& context) : context(context) {}

void ImportPage::drawWelcomePage()
{
    const bool present = hasGameData(gameDataDir());
    ImGui::Spacing();
    menu::drawTitle(context, 520.f * context.scale());
    ImGui::Spacing();
    ImGui::Spacing();
    centredOrWrapped(menu::tr("game.welcome"));
    context.frame().noteItem("game.welcome");
    ImGui::Spacing();
    ImGui::Spacing();
    drawImportButton(present);
    ImGui::Spacing();
    menu::sectionHeader("game.section_language");
    if (menu::beginSettingsTable("language")) {
        drawLanguageRow(context);
        ImGui::EndTable();
    }
}

void ImportPage::drawImportButton(bool present)
{
    const char* label = menu::tr(present ? "game.import_another" : "game.choose_deb");
    float width = -FLT_MIN;
    if (!context.compact()) {
        width = std::max(260.f * context.scale(),
                         ImGui::CalcTextSize(label).x + 4.f * ImGui::GetStyle().FramePadding.x);
        menu::centreNext(width);
    }
    const bool pressed = ImGui::Button((std::string(label) + "###import").c_str(), ImVec2(width, 0.f));
    context.frame().traceItem("game.import");
    if (pressed) {
        const std::string path = choosePackageFile(menu::tr("game.picker_title"));
        if (!path.empty())
            importPackage(path);
        else
            importMessage = menu::tr("game.no_picker"); // cancelled, or no dialog at all
    }
    if (!importMessage.empty()) {
        ImGui::Spacing();
        centredOrWrapped(importMessage);
        context.frame().noteItem("game.import_message", importMessage);
    }
}

void ImportPage::importPackage(const std::string& path)
{
    ImportResult result;
    try {
        result = importDebPackage(path, gameDataDir(), ImportProgress(), importOptions);
    } catch (const std::exception& e) {
        result.ok = false;
        result.error = e.what();
    }
    if (!result.ok) {
        importMessage = formatText(menu::tr("game.import_failed"), {path, result.error});
        return;
    }
    std::string text = formatText(menu::tr("game.imported"), {result.files});
    // The import screen starts the game at once; elsewhere the level keeps its old data.
    if (!context.importScreen())
        text += std::string(" ") + menu::tr("game.restart_needed");
    if (!result.digestKnown)
        text += "\n" + formatText(menu::tr("game.unknown_version"), {result.sha256});
    importMessage = text;
}

} // namespace lumaroll
