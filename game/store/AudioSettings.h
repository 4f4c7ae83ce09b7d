// The six audio settings of the store as one plain value, so that the sound
// engine takes them without reading the store itself.
#pragma once

namespace lumaroll {

class Settings;

struct AudioSettings {
    bool masterMute = false;
    float masterVolume = 1.f;
    bool musicMute = false;
    float musicVolume = 1.f;
    bool soundsMute = false;
    float soundsVolume = 1.f;
};

// Reads "audio.mute", "audio.volume", "audio.music_mute",
// "audio.music_volume", "audio.sounds_mute" and "audio.sounds_volume".
// Volumes are gains within kVolumeRange (store/SettingRanges.h, 0 to 1): a
// stored value outside is clamped, and text that is no number reads 0, which
// silences the channel. Missing keys give the defaults above, and so does a
// stored NaN or infinity (Settings::getFloat).
AudioSettings readAudioSettings(const Settings& settings);

} // namespace lumaroll
