// The copy of the audio settings into the engine. It reads the settings store
// of the program (game/app), which every program using it links.
#include "audio/Audio.h"

#include "app/Settings.h"

namespace lumaroll {

namespace {

// Volumes are gains from 0 to 1; a stored value outside is clamped when used
// (text that is no number, NaN included, silences the channel).
float volumeSetting(const Settings& settings, const char* key)
{
    const float v = settings.getFloat(key, 1.f);
    if (!(v > 0.f))
        return 0.f;
    return v > 1.f ? 1.f : v;
}

} // namespace

void Audio::applySettings(bool copyMasterMute)
{
    const Settings& settings = Settings::instance();
    if (copyMasterMute)
        masterMute.exchange(settings.getBool("audio.mute", false));
    masterVolume.exchange(volumeSetting(settings, "audio.volume"));
    musicMute.exchange(settings.getBool("audio.music_mute", false));
    musicVolume.exchange(volumeSetting(settings, "audio.music_volume"));
    soundsMute.exchange(settings.getBool("audio.sounds_mute", false));
    soundsVolume.exchange(volumeSetting(settings, "audio.sounds_volume"));
}

} // namespace lumaroll
