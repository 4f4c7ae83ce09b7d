#include "overlay/GameTab.h"

#include "files/Paths.h"
#include "import/Import.h"
#include "overlay/ImportPage.h"
#include "overlay/LanguageRow.h"
#include "overlay/MenuContext.h"
#include "overlay/MenuWidgets.h"
#include "overlay/Notices.h"
#include "overlay/SafeFormat.h"
#include "overlay/UpdateCheck.h"
#include "store/Scores.h"
#include "store/Settings.h"

#include "Version.h"

#include <imgui.h>

#include <cfloat>
#include <cstdio>

namespace lumaroll {

namespace {

const char* const kIconUpdate = "\xEF\x82\xAA"; // U+F0AA
const char* const kIconTrash = "\xEF\x87\xB8";  // U+F1F8

} // namespace

GameTab::GameTab(MenuContext& context, Notices& notices, UpdateCheck& updates, ImportPage& importPage)
    : context(context), notices(notices), updates(updates), importPage(importPage)
{
}

void GameTab::draw()
{
    using menu::tr;
    const std::string folder = gameDataDir();
    const bool present = hasGameData(folder);

    menu::sectionHeader("game.section_data");
    if (menu::beginSettingsTable("data")) {
        menu::row(tr("game.status"));
        const char* status = tr(present ? "game.data_ok" : "game.data_missing");
        ImGui::TextColored(present ? menu::kGood : menu::kBad, "%s", status);
        context.frame().noteItem("game.status", status);
        menu::row(tr("game.folder"));
        ImGui::PushTextWrapPos(0.f);
        ImGui::TextUnformatted(folder.c_str());
        ImGui::PopTextWrapPos();
        context.frame().noteItem("game.folder", folder);
        ImGui::EndTable();
    }
    ImGui::Spacing();
    importPage.drawImportButton(present);

    drawUpdates();
    drawRecords();

    menu::sectionHeader("game.section_language");
    if (menu::beginSettingsTable("language")) {
        drawLanguageRow(context);
        ImGui::EndTable();
    }
}

void GameTab::drawUpdates()
{
    using menu::tr;
    Settings& settings = Settings::instance();
    menu::sectionHeader("game.section_updates");
    if (!menu::beginSettingsTable("updates"))
        return;
    // The check runs at most once per run; turning the box off does not stop it.
    if (menu::checkboxRow(context, tr("game.check_updates"), "general.check_updates", true) &&
        settings.getBool("general.check_updates", true))
        updates.start(LUMAROLL_VERSION);
    const int state = updates.state();
    const bool enabled = settings.getBool("general.check_updates", true);
    menu::row(tr("game.update_status"));
    std::string text;
    if (!enabled && state == UpdateIdle) {
        text = tr("game.update_disabled");
        ImGui::TextUnformatted(text.c_str());
    } else if (state == UpdateIdle || state == UpdateChecking) {
        text = tr("game.update_checking");
        ImGui::TextUnformatted(text.c_str());
    } else if (state == UpdateCurrent) {
        text = tr("game.update_latest");
        ImGui::TextColored(menu::kGood, "%s", text.c_str());
    } else if (state == UpdateAvailable) {
        text = formatText(tr("game.update_available"), {updates.latestVersion()});
        ImGui::TextColored(menu::kAccent, "%s", text.c_str());
    } else {
        text = tr("game.update_failed");
        ImGui::TextUnformatted(text.c_str());
    }
    context.frame().noteItem("game.update_status", text);
    if (state == UpdateAvailable) {
        menu::row("");
        const std::string label = menu::withIcon(context.iconsLoaded(), kIconUpdate, tr("game.update_download"));
        const bool download = ImGui::Button((label + "###download").c_str(), ImVec2(-FLT_MIN, 0.f));
        context.frame().noteItem("game.update_download", label);
        if (download)
            context.platform().desktop->openAddress(updates.releasePageUrl());
    }
    ImGui::EndTable();
}

void GameTab::drawRecords()
{
    using menu::tr;
    menu::sectionHeader("game.section_records");
    // A copy: the clear button below reads the file again.
    const std::vector<int> scores = context.files().scores();
    if (menu::beginSettingsTable("records")) {
        for (std::size_t i = 0; i < scores.size(); ++i) {
            char place[16], distance[32];
            std::snprintf(place, sizeof place, "%d.", int(i) + 1);
            std::snprintf(distance, sizeof distance, "%d m", scores[i]);
            menu::row(place);
            ImGui::TextUnformatted(distance);
            context.frame().noteItem("records." + std::to_string(i + 1), std::string(place) + " " + distance);
        }
        ImGui::EndTable();
    }
    if (scores == defaultScores()) {
        recordsConfirm = false;
        return;
    }
    ImGui::Spacing();
    const char* label = tr(recordsConfirm ? "game.records_confirm" : "game.records_clear");
    const bool pressed = ImGui::Button((std::string(label) + "###clear_records").c_str(), ImVec2(-FLT_MIN, 0.f));
    context.frame().noteItem("game.records_clear", label);
    if (pressed && !recordsConfirm) {
        recordsConfirm = true;
    } else if (pressed) {
        std::string why;
        if (clearScores(&why))
            notices.notify(tr("notice.records_cleared"), kIconTrash, 3.5f);
        else
            notices.notify(formatText(tr("notice.records_not_cleared"), {why}), nullptr, 7.f);
        // What the list shows is what the disk holds, cleared or not.
        context.files().rereadScores();
        recordsConfirm = false;
    }
}

} // namespace lumaroll
