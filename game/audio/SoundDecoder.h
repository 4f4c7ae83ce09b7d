// Sound files to mixer clips: libsndfile decodes WAV, libmpg123 MP3, and the
// result is converted to the device's 44.1 kHz interleaved stereo int16 by
// linear interpolation between neighbouring source frames (Resampler.h).
#pragma once

#include "audio/Resampler.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumaroll {

// Source rates outside this range are refused.
constexpr int kMinSoundRate = 1000;
constexpr int kMaxSoundRate = 384000;

// The decoder a file goes to, chosen by its name: a key longer than 4 bytes
// ending in ".mp3" is MP3, every other name (".wav", ".mp3" alone) is WAV.
enum class SoundRoute { Wav, Mp3 };
SoundRoute soundRoute(const std::string& key);

// Decodes the regular file at path and replaces samples with it as
// interleaved left/right int16 at kClipRate. The content must match the
// route: an MPEG audio stream for Mp3 (Mp3Decoder.h says what stands around
// it), WAV, WAVE_FORMAT_EXTENSIBLE, RF64 or Wave64 for Wav (WavDecoder.h);
// MPEG data on the WAV route and WAV data on the MP3 route are refused. Mono
// plays on both sides, channels after the second are dropped; at 44100 Hz
// the samples are copied unchanged. A file with no frames gives no samples
// and true.
// Returns false (samples empty) when the file cannot be opened or is not a
// regular file (a pipe or a device would block the level load), when its
// route's decoder refuses it, when its output would pass kMaxClipFrames, or
// when memory runs out. Never throws.
bool decodeSoundFile(const std::string& path, SoundRoute route, std::vector<std::int16_t>& samples);

} // namespace lumaroll
