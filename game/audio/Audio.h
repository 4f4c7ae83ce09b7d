// The sound engine of a level session: one SDL output at 44.1 kHz stereo
// 16-bit, the voices that play on it, the clips they play (decoded once per
// session, found by name through the sound file index), and the volumes and
// mutes. The main thread starts and stops voices; SDL's audio thread mixes
// them. Without a device every call is accepted and nothing plays.
#pragma once

#include "audio/AudioDevice.h"
#include "audio/SoundIndex.h"
#include "store/AudioSettings.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace lumaroll {

class Audio {
public:
    // One decoded sound, shared by the cache and the voices that play it.
    struct Clip {
        std::vector<std::int16_t> samples; // left, right interleaved, 44100 frames a second
        std::uint64_t frames() const { return samples.size() / 2; }
    };

    // One playing sound.
    struct Voice {
        std::shared_ptr<const Clip> clip; // never empty
        std::string name;                 // the clip's key: the lower-cased file name, no folders
        std::uint64_t position = 0;       // the next frame to play
        bool loop = false;
        float volume = 1.f; // gain of this voice
        int id = 0;
        bool music = false; // true only for the voice of playMusic
    };

    // The device format.
    static constexpr int kRate = 44100;
    static constexpr int kBufferFrames = 1024;

    // No device yet; device is the seam to the sound output (SDL's when null).
    explicit Audio(std::unique_ptr<AudioDevice> device = nullptr);
    // Closes the device first (waiting for a running callback), then releases
    // the voices, clips and index.
    ~Audio();
    Audio(const Audio&) = delete;
    Audio& operator=(const Audio&) = delete;

    // Indexes the sound files below folder and opens the output device (call
    // once). True when the device runs; false after printing why on standard
    // error ("audio: could not initialize SDL audio: ...", "audio: no device
    // (...); the game continues without sound").
    bool init(const std::string& folder);
    bool hasDevice() const { return device != 0; }

    // Copies the volumes and the music and sounds mutes of settings (read
    // from the store by readAudioSettings) and, when copyMasterMute is set,
    // the master mute into the atomics below. The session copies all six
    // when it starts; the overlay's audio tab copies the master mute only
    // when its mute box changed, so that a slider does not undo the 'm' key.
    void applySettings(const AudioSettings& settings, bool copyMasterMute);

    // Starts the clip of name (folders allowed; the file name selects it) once
    // or looping at gain volume. Returns the voice id (1, 2, 3, ... in start
    // order, music included), or -1 without a device (nothing is decoded then)
    // or when the clip is missing, undecodable or empty. With LUMAROLL_TRACE
    // set, a started voice prints "[trace] sound <key> starts at mix frame
    // <n>": n counts the frames the mixer has written (44100 a second), so
    // the voice begins at frame n of the mix (later only when the game is in
    // the background then: the mixer writes silence and holds every voice).
    int playSound(const std::string& name, bool loop, float volume);
    // Makes the clip of name the one looping music voice at gain volume.
    // Returns true when it started; a missing or undecodable clip (or no
    // device) keeps the music that plays. Traced as playSound, with "music"
    // for "sound".
    bool playMusic(const std::string& name, float volume);
    // Removes every voice but the music whose clip has the key of name: "sfx/Door.wav"
    // and "DOOR.WAV" both stop a voice started as "door.wav".
    void stopSound(const std::string& name);
    // Sets the gain of the voice with that id; an unknown id changes nothing.
    void setVolume(int id, float volume);

    // The clip of name, decoded on first use and cached under its key, failures
    // included: "audio: '<name>' not found" or "audio: could not decode
    // '<path>'" is printed once per key on standard error and an empty pointer
    // returned. Main thread only.
    std::shared_ptr<const Clip> getClip(const std::string& name);

    // The mixer (SDL's audio thread): adds every voice into out (frames
    // stereo frames), applies the gains, clamps to the int16 range (a value
    // that is not finite is written 0) and drops the voices that ended.
    // With backgroundMute it writes silence and no voice moves. Allocates nothing.
    void mix(std::int16_t* out, int frames);
    // SDL's callback: userdata is the Audio, bytes / 4 frames.
    static void audioCallback(void* userdata, std::uint8_t* stream, int bytes);

    // Gains and mutes, read by the mixer without the voice lock at every
    // buffer; written with atomic exchanges on the main thread.
    // masterMute: written by applySettings(true), the 'm' key and the in-game menu's volume item.
    std::atomic<bool> masterMute{false};
    // musicMute, soundsMute and the three volumes: written by applySettings only.
    std::atomic<bool> musicMute{false};
    std::atomic<bool> soundsMute{false};
    // backgroundMute: set by the session when the window goes to the background,
    // cleared when it comes back; silence while set, every voice holding its place.
    std::atomic<bool> backgroundMute{false};
    std::atomic<float> masterVolume{1.f};
    std::atomic<float> musicVolume{1.f};
    std::atomic<float> soundsVolume{1.f};

    // For tests and tools.
    const SoundIndex& fileIndex() const { return index; }
    size_t cachedClips() const { return clips.size(); }
    // A copy of the voice list, taken under the lock.
    std::vector<Voice> voices() const;
    // Pauses or resumes the running device (SDL calls no callback while it is
    // paused), so that mix can be called directly.
    void pauseDevice(bool paused);

private:
    std::unique_ptr<AudioDevice> output;
    SDL_AudioDeviceID device = 0;
    SoundIndex index;
    std::map<std::string, std::shared_ptr<const Clip>> clips;
    std::vector<Voice> voiceList;
    mutable std::mutex voiceMutex; // guards voiceList, nextId and mixedFrames
    int nextId = 1;
    // Frames the mixer has written since the device started: a voice added
    // now begins at this frame of the output.
    std::uint64_t mixedFrames = 0;
    // The mixer's sum of one buffer, made for the device's buffer size; the
    // mixer works through longer requests in blocks of this size.
    std::vector<float> accumulator;

    void mixBlock(std::int16_t* out, int frames, float musicGain, float soundsGain);
    // Adds voice under the lock; returns its id and the frame it begins at.
    std::pair<int, std::uint64_t> addVoice(Voice voice);
};

} // namespace lumaroll
