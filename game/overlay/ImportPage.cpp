// The import button with its result text (the welcome page and the game tab),
// the package picker and the import itself, and the welcome page of the
// import screen.
#include "overlay/Overlay.h"

#include "overlay/MenuWidgets.h"
#include "overlay/PackagePicker.h"
#include "overlay/SafeFormat.h"

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

void Overlay::drawWelcomePage()
{
    const bool present = hasGameData(gameDataDir());
    ImGui::Spacing();
    drawTitle(520.f * scale);
    ImGui::Spacing();
    ImGui::Spacing();
    centredOrWrapped(menu::tr("game.welcome"));
    noteItem("game.welcome");
    ImGui::Spacing();
    ImGui::Spacing();
    drawImportButton(present);
    ImGui::Spacing();
    menu::sectionHeader("game.section_language");
    if (menu::beginSettingsTable("language")) {
        drawLanguageRow();
        ImGui::EndTable();
    }
}

void Overlay::drawImportButton(bool present)
{
    const char* label = menu::tr(present ? "game.import_another" : "game.choose_deb");
    float width = -FLT_MIN;
    if (!compact) {
        width = std::max(260.f * scale, ImGui::CalcTextSize(label).x + 4.f * ImGui::GetStyle().FramePadding.x);
        menu::centreNext(width);
    }
    const bool pressed = ImGui::Button((std::string(label) + "###import").c_str(), ImVec2(width, 0.f));
    traceItem("game.import");
    if (pressed) {
        const std::string path = pickPackageFile();
        if (!path.empty())
            importPackage(path);
        else
            importMessage = menu::tr("game.no_picker"); // cancelled, or no dialog at all
    }
    if (!importMessage.empty()) {
        ImGui::Spacing();
        centredOrWrapped(importMessage);
        noteItem("game.import_message", importMessage);
    }
}

std::string Overlay::pickPackageFile()
{
    return choosePackageFile(menu::tr("game.picker_title"));
}

void Overlay::importPackage(const std::string& path)
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
    if (!importScreen)
        text += std::string(" ") + menu::tr("game.restart_needed");
    if (!result.digestKnown)
        text += "\n" + formatText(menu::tr("game.unknown_version"), {result.sha256});
    importMessage = text;
}

} // namespace lumaroll
