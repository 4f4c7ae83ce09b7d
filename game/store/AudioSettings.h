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
// Volumes are gains from 0 to 1: a stored value outside is clamped, and text
// that is no number (NaN included) reads 0, which silences the channel.
// Missing keys give the defaults above.
AudioSettings readAudioSettings(const Settings& settings);

} // namespace lumaroll
