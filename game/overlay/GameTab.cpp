// The game tab: data folder and status, import of another package, the update
// check, the best distances with their two-press clear, and the language row
// (which the welcome page shares).
#include "overlay/Overlay.h"

#include "platform/Desktop.h"
#include "overlay/MenuWidgets.h"
#include "overlay/SafeFormat.h"
#include "overlay/Translations.h"
#include "overlay/UpdateCheck.h"
#include "store/Scores.h"
#include "store/Settings.h"

#include "Version.h"

#include <cfloat>
#include <cstdio>

namespace lumaroll {

namespace {

const char* const kIconUpdate = "\xEF\x82\xAA"; // U+F0AA
const char* const kIconTrash = "\xEF\x87\xB8";  // U+F1F8

} // namespace

void Overlay::drawGameTab()
{
    using menu::tr;
    Settings& settings = Settings::instance();
    const std::string folder = gameDataDir();
    const bool present = hasGameData(folder);

    menu::sectionHeader("game.section_data");
    if (menu::beginSettingsTable("data")) {
        menu::row(tr("game.status"));
        const char* status = tr(present ? "game.data_ok" : "game.data_missing");
        ImGui::TextColored(present ? menu::kGood : menu::kBad, "%s", status);
        noteItem("game.status", status);
        menu::row(tr("game.folder"));
        ImGui::PushTextWrapPos(0.f);
        ImGui::TextUnformatted(folder.c_str());
        ImGui::PopTextWrapPos();
        noteItem("game.folder", folder);
        ImGui::EndTable();
    }
    ImGui::Spacing();
    drawImportButton(present);

    menu::sectionHeader("game.section_updates");
    if (menu::beginSettingsTable("updates")) {
        // The check runs at most once per run; turning the box off does not stop it.
        if (checkbox(tr("game.check_updates"), "general.check_updates", true) &&
            settings.getBool("general.check_updates", true))
            startUpdateCheck(LUMAROLL_VERSION);
        const int state = updateState();
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
            text = formatText(tr("game.update_available"), {latestVersion()});
            ImGui::TextColored(menu::kAccent, "%s", text.c_str());
        } else {
            text = tr("game.update_failed");
            ImGui::TextUnformatted(text.c_str());
        }
        noteItem("game.update_status", text);
        if (state == UpdateAvailable) {
            menu::row("");
            const std::string label = menu::withIcon(iconsLoaded, kIconUpdate, tr("game.update_download"));
            const bool download = ImGui::Button((label + "###download").c_str(), ImVec2(-FLT_MIN, 0.f));
            noteItem("game.update_download", label);
            if (download)
                openAddress(releasePageUrl());
        }
        ImGui::EndTable();
    }

    menu::sectionHeader("game.section_records");
    readMenuFiles();
    const std::vector<int> scores = menuFiles.scores;
    if (menu::beginSettingsTable("records")) {
        for (std::size_t i = 0; i < scores.size(); ++i) {
            char place[16], distance[32];
            std::snprintf(place, sizeof place, "%d.", int(i) + 1);
            std::snprintf(distance, sizeof distance, "%d m", scores[i]);
            menu::row(place);
            ImGui::TextUnformatted(distance);
            noteItem("records." + std::to_string(i + 1), std::string(place) + " " + distance);
        }
        ImGui::EndTable();
    }
    if (scores == defaultScores()) {
        recordsConfirm = false;
    } else {
        ImGui::Spacing();
        const char* label = tr(recordsConfirm ? "game.records_confirm" : "game.records_clear");
        const bool pressed =
            ImGui::Button((std::string(label) + "###clear_records").c_str(), ImVec2(-FLT_MIN, 0.f));
        noteItem("game.records_clear", label);
        if (pressed && !recordsConfirm) {
            recordsConfirm = true;
        } else if (pressed) {
            clearScores();
            menuFiles.scores = readScores();
            recordsConfirm = false;
            notify(tr("notice.records_cleared"), kIconTrash, 3.5f);
        }
    }

    menu::sectionHeader("game.section_language");
    if (menu::beginSettingsTable("language")) {
        drawLanguageRow();
        ImGui::EndTable();
    }
}

void Overlay::readMenuFiles()
{
    if (menuFiles.fresh)
        return;
    menuFiles.scores = readScores();
    menuFiles.languages = listLanguages();
    menuFiles.fresh = true;
}

void Overlay::drawLanguageRow()
{
    using menu::tr;
    Settings& settings = Settings::instance();
    const std::string current = settings.getString("general.language", "auto");
    readMenuFiles();
    const std::vector<std::pair<std::string, std::string>> languages = menuFiles.languages;
    std::string preview = tr("game.language_auto");
    for (const auto& language : languages) {
        if (language.first == current)
            preview = language.second;
    }
    menu::row(tr("game.language"));
    const bool open = ImGui::BeginCombo("##language", preview.c_str());
    noteItem("general.language", preview);
    if (!open)
        return;
    std::string chosen;
    if (ImGui::Selectable(tr("game.language_auto"), current == "auto"))
        chosen = "auto";
    noteItem("general.language=auto", menu::selectedText(current == "auto"));
    for (std::size_t i = 0; i < languages.size(); ++i) {
        // Two languages may share a display name: each entry has its own id.
        const bool selected = languages[i].first == current;
        ImGui::PushID(int(i));
        if (ImGui::Selectable(languages[i].second.c_str(), selected))
            chosen = languages[i].first;
        ImGui::PopID();
        noteItem("general.language=" + languages[i].first, menu::selectedText(selected));
    }
    ImGui::EndCombo();
    if (chosen.empty())
        return;
    settings.setString("general.language", chosen);
    settings.save();
    // Every label from here on, in this frame too, is in the chosen language.
    Translations::instance().setLanguage(chosen);
}

} // namespace lumaroll
