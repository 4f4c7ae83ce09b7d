// STAND-IN for the sound engine: no device, no voices; the volumes and mutes
// exist because the session, its 'm' key and the overlay's audio tab write
// them. The audio subsystem replaces this file with the real engine.
#pragma once

#include "app/Settings.h"

#include <atomic>
#include <string>

namespace lumaroll {

class Audio {
public:
    // Indexes the sounds and opens the device; false when there is none (always, here).
    bool init(const std::string&) { return false; }

    // Copies the settings "audio.volume", "audio.music_mute",
    // "audio.music_volume", "audio.sounds_mute", "audio.sounds_volume"
    // (volumes clamped to 0..1, text that is no number reads 0) and, when
    // copyMasterMute is set, "audio.mute" into the atomics below. The session
    // copies all six when it starts; the overlay's audio tab copies
    // "audio.mute" only when its mute box changed, so that a slider does not
    // undo the 'm' key.
    void applySettings(bool copyMasterMute)
    {
        const Settings& settings = Settings::instance();
        if (copyMasterMute)
            masterMute.exchange(settings.getBool("audio.mute", false));
        masterVolume.exchange(volume(settings, "audio.volume"));
        musicMute.exchange(settings.getBool("audio.music_mute", false));
        musicVolume.exchange(volume(settings, "audio.music_volume"));
        soundsMute.exchange(settings.getBool("audio.sounds_mute", false));
        soundsVolume.exchange(volume(settings, "audio.sounds_volume"));
    }

    // Returns the voice id, -1 when nothing plays.
    int playSound(const std::string&, bool, float) { return -1; }
    void stopSound(const std::string&) {}

    // masterMute: written by applySettings(true), the 'm' key and the in-game menu's volume item.
    std::atomic<bool> masterMute{false};
    // musicMute, soundsMute and the three volumes: written by applySettings only.
    std::atomic<bool> musicMute{false};
    std::atomic<bool> soundsMute{false};
    // Set while the window is in the background.
    std::atomic<bool> backgroundMute{false};
    std::atomic<float> masterVolume{1.f};
    std::atomic<float> musicVolume{1.f};
    std::atomic<float> soundsVolume{1.f};

private:
    static float volume(const Settings& settings, const char* key)
    {
        const float v = settings.getFloat(key, 1.f);
        if (!(v > 0.f))
            return 0.f;
        return v > 1.f ? 1.f : v;
    }
};

} // namespace lumaroll
