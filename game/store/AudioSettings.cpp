#include "store/AudioSettings.h"

#include "store/Settings.h"

namespace lumaroll {

namespace {

float volumeSetting(const Settings& settings, const char* key)
{
    const float v = settings.getFloat(key, 1.f);
    if (!(v > 0.f))
        return 0.f;
    return v > 1.f ? 1.f : v;
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
