#include "overlay/AudioTab.h"

#include "audio/Audio.h"
#include "overlay/MenuContext.h"
#include "overlay/MenuWidgets.h"
#include "store/SettingRanges.h"
#include "store/Settings.h"

#include <imgui.h>

namespace lumaroll {

namespace {

struct Group {
    const char* sectionKey;
    const char* tableId;
    const char* muteKey;
    const char* volumeKey;
};

const Group kGroups[] = {
    {"audio.section", "general", "audio.mute", "audio.volume"},
    {"audio.section_music", "music", "audio.music_mute", "audio.music_volume"},
    {"audio.section_sounds", "sounds", "audio.sounds_mute", "audio.sounds_volume"},
};

} // namespace

AudioTab::AudioTab(MenuContext& context) : context(context) {}

void AudioTab::draw()
{
    using menu::tr;
    bool changed = false, masterMuteChanged = false;
    for (const Group& group : kGroups) {
        menu::sectionHeader(group.sectionKey);
        if (!menu::beginSettingsTable(group.tableId))
            continue;
        const bool mute = menu::checkboxRow(context, tr("audio.mute"), group.muteKey, false);
        const bool volume =
            menu::sliderRow(context, tr("audio.volume"), group.volumeKey, "%.2f", 1.f, kVolumeRange);
        ImGui::EndTable();
        if (mute && &group == &kGroups[0])
            masterMuteChanged = true;
        changed = changed || mute || volume;
    }
    // The master mute follows its own box only: the 'm' key and the in-game
    // menu also set it, and a slider must not undo them.
    if (changed && engine)
        engine->applySettings(readAudioSettings(Settings::instance()), masterMuteChanged);
}

} // namespace lumaroll
