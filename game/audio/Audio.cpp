#include "audio/Audio.h"

#include "audio/SoundDecoder.h"
#include "audio/SoundNames.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace lumaroll {

namespace {

bool tracing()
{
    static const bool enabled = std::getenv("LUMAROLL_TRACE") != nullptr;
    return enabled;
}

} // namespace

Audio::Audio(std::unique_ptr<AudioDevice> device)
    : output(device ? std::move(device) : makeSdlAudioDevice()), accumulator(size_t(kBufferFrames) * 2)
{
}

Audio::~Audio()
{
    // No callback may run while the voices and clips go.
    if (device != 0)
        output->close(device);
}

bool Audio::init(const std::string& folder)
{
    indexDirectory(folder, index);

    std::string error;
    if (!output->start(error)) {
        std::fprintf(stderr, "audio: could not initialize SDL audio: %s\n", error.c_str());
        return false;
    }
    SDL_AudioSpec desired{};
    desired.freq = kRate;
    desired.format = AUDIO_S16LSB;
    desired.channels = 2;
    desired.samples = kBufferFrames;
    desired.callback = audioCallback;
    desired.userdata = this;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID id = output->open(desired, obtained, error);
    if (id == 0) {
        std::fprintf(stderr, "audio: no device (%s); the game continues without sound\n", error.c_str());
        return false;
    }
    // The device is still paused: the mixer's buffer can be sized for it.
    if (size_t(obtained.samples) * 2 > accumulator.size())
        accumulator.resize(size_t(obtained.samples) * 2);
    device = id;
    output->pause(device, false);
    std::printf("audio: %d sound and music files indexed\n", static_cast<int>(index.size()));
    return true;
}

std::shared_ptr<const Audio::Clip> Audio::getClip(const std::string& name)
{
    const std::string key = soundKey(name);
    const auto cached = clips.find(key);
    if (cached != clips.end())
        return cached->second;

    std::shared_ptr<const Clip> clip;
    const auto file = index.find(key);
    if (file == index.end()) {
        std::fprintf(stderr, "audio: '%s' not found\n", name.c_str());
    } else {
        auto decoded = std::make_shared<Clip>();
        if (decodeSoundFile(file->second, soundRoute(key), decoded->samples))
            clip = std::move(decoded);
        else
            std::fprintf(stderr, "audio: could not decode '%s'\n", file->second.c_str());
    }
    clips[key] = clip;
    return clip;
}

int Audio::playSound(const std::string& name, bool loop, float volume)
{
    if (device == 0)
        return -1;
    // Decoding happens before the lock, so the mixer never waits for it.
    std::shared_ptr<const Clip> clip = getClip(name);
    if (!clip || clip->frames() == 0)
        return -1;
    Voice voice;
    voice.clip = std::move(clip);
    voice.name = soundKey(name);
    voice.loop = loop;
    voice.volume = volume;
    const std::string key = tracing() ? voice.name : std::string();
    const std::pair<int, std::uint64_t> added = addVoice(std::move(voice));
    if (tracing())
        std::printf("[trace] sound %s starts at mix frame %llu\n", key.c_str(),
                    static_cast<unsigned long long>(added.second));
    return added.first;
}

std::pair<int, std::uint64_t> Audio::addVoice(Voice voice)
{
    std::lock_guard<std::mutex> lock(voiceMutex);
    if (voice.music)
        voiceList.erase(std::remove_if(voiceList.begin(), voiceList.end(), [](const Voice& v) { return v.music; }),
                        voiceList.end());
    voice.id = nextId++;
    voiceList.push_back(std::move(voice));
    return {voiceList.back().id, mixedFrames};
}

bool Audio::playMusic(const std::string& name, float volume)
{
    if (device == 0)
        return false;
    std::shared_ptr<const Clip> clip = getClip(name);
    if (!clip || clip->frames() == 0)
        return false;
    Voice voice;
    voice.clip = std::move(clip);
    voice.name = soundKey(name);
    voice.loop = true;
    voice.volume = volume;
    voice.music = true;
    const std::string key = tracing() ? voice.name : std::string();
    const std::uint64_t start = addVoice(std::move(voice)).second;
    if (tracing())
        std::printf("[trace] music %s starts at mix frame %llu\n", key.c_str(),
                    static_cast<unsigned long long>(start));
    return true;
}

void Audio::applySettings(const AudioSettings& settings, bool copyMasterMute)
{
    if (copyMasterMute)
        masterMute.exchange(settings.masterMute);
    masterVolume.exchange(settings.masterVolume);
    musicMute.exchange(settings.musicMute);
    musicVolume.exchange(settings.musicVolume);
    soundsMute.exchange(settings.soundsMute);
    soundsVolume.exchange(settings.soundsVolume);
}

void Audio::stopSound(const std::string& name)
{
    const std::string key = soundKey(name);
    std::lock_guard<std::mutex> lock(voiceMutex);
    voiceList.erase(std::remove_if(voiceList.begin(), voiceList.end(),
                                   [&](const Voice& v) { return !v.music && v.name == key; }),
                    voiceList.end());
}

void Audio::setVolume(int id, float volume)
{
    std::lock_guard<std::mutex> lock(voiceMutex);
    for (Voice& v : voiceList)
        if (v.id == id)
            v.volume = volume;
}

std::vector<Audio::Voice> Audio::voices() const
{
    std::lock_guard<std::mutex> lock(voiceMutex);
    return voiceList;
}

void Audio::pauseDevice(bool paused)
{
    if (device == 0)
        return;
    output->lock(device);
    output->pause(device, paused);
    output->unlock(device);
}

void Audio::audioCallback(void* userdata, std::uint8_t* stream, int bytes)
{
    static_cast<Audio*>(userdata)->mix(reinterpret_cast<std::int16_t*>(stream), bytes / 4);
}

void Audio::mix(std::int16_t* out, int frames)
{
    if (frames <= 0)
        return;
    if (backgroundMute.load()) {
        std::memset(out, 0, size_t(frames) * 4);
        std::lock_guard<std::mutex> lock(voiceMutex);
        mixedFrames += std::uint64_t(frames);
        return;
    }
    const float musicGain = musicMute.load() ? 0.f : musicVolume.load();
    const float soundsGain = soundsMute.load() ? 0.f : soundsVolume.load();
    const int block = static_cast<int>(accumulator.size() / 2);
    for (int done = 0; done < frames; done += block)
        mixBlock(out + size_t(done) * 2, std::min(block, frames - done), musicGain, soundsGain);
}

void Audio::mixBlock(std::int16_t* out, int frames, float musicGain, float soundsGain)
{
    float* sum = accumulator.data();
    const size_t values = size_t(frames) * 2;
    std::fill(sum, sum + values, 0.f);
    {
        std::lock_guard<std::mutex> lock(voiceMutex);
        for (Voice& v : voiceList) {
            const float gain = v.volume * (v.music ? musicGain : soundsGain);
            const std::int16_t* samples = v.clip->samples.data();
            const std::uint64_t length = v.clip->frames();
            std::uint64_t position = v.position;
            for (size_t k = 0; k < size_t(frames);) {
                if (position >= length) {
                    if (!v.loop)
                        break;
                    position = 0; // seamless wrap to the first frame
                }
                const size_t run = size_t(std::min<std::uint64_t>(length - position, size_t(frames) - k));
                const std::int16_t* from = samples + position * 2;
                float* to = sum + k * 2;
                for (size_t n = 0; n < run * 2; ++n)
                    to[n] += float(from[n]) * gain;
                position += run;
                k += run;
            }
            v.position = position;
        }
        // Voices that ended go now; their clips may be freed here when no one else holds them.
        voiceList.erase(std::remove_if(voiceList.begin(), voiceList.end(),
                                       [](const Voice& v) { return !v.loop && v.position >= v.clip->frames(); }),
                        voiceList.end());
        mixedFrames += std::uint64_t(frames);
    }
    const float masterGain = masterMute.load() ? 0.f : masterVolume.load();
    // Clamped to the int16 range (a value that is not finite becomes 0); written
    // without branches so that the loop vectorises.
    for (size_t n = 0; n < values; ++n) {
        float h = masterGain * sum[n];
        h = std::fabs(h) <= std::numeric_limits<float>::max() ? h : 0.f;
        h = std::min(std::max(h, -32768.f), 32767.f);
        out[n] = std::int16_t(h);
    }
}

} // namespace lumaroll
