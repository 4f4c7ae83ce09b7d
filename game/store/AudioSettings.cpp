#include "store/AudioSettings.h"

#include "store/SettingRanges.h"
#include "store/Settings.h"

namespace lumaroll {

namespace {

float volumeSetting(const Settings& settings, const char* key)
{
    return kVolumeRange.clamp(settings.getFloat(key, 1.f));
}

} // namespace

AudioSettings readAudioSettings(const Settings& settings)
{
    AudioSettings audio;
    audio.masterMute = settings.getBool("audio.mute", false);
    audio.masterVolume = volumeSetting(settings, "audio.volume");
    audio.musicMute = settings.getBool("audio.music_mute", false);
    audio.musicVolume = volumeSetting(settings, "audio.music_volume");
    audio.soundsMute = settings.getBool("audio.sounds_mute", false);
    audio.soundsVolume = volumeSetting(settings, "audio.sounds_volume");
    return audio;
}

} // namespace lumaroll
