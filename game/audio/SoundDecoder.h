// Sound files to mixer clips: libsndfile decodes WAV (and its relatives) and
// MP3, and the result is converted to the device's 44.1 kHz interleaved
// stereo int16 by linear interpolation between neighbouring source frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaroll {

// Every clip is played at this rate, two channels.
constexpr int kClipRate = 44100;
// Source rates outside this range are refused.
constexpr int kMinSoundRate = 1000;
constexpr int kMaxSoundRate = 384000;
// Ten minutes of output (106 MB): a longer sound is refused.
constexpr std::uint64_t kMaxClipFrames = 26460000;

// The decoder a file goes to, chosen by its name: a key longer than 4 bytes
// ending in ".mp3" is MP3, every other name (".wav", ".mp3" alone) is WAV.
enum class SoundRoute { Wav, Mp3 };
SoundRoute soundRoute(const std::string& key);

// Decodes the regular file at path and replaces samples with it as
// interleaved left/right int16 at kClipRate. The content must match the
// route (libsndfile opens by content): MPEG for Mp3, WAV, WAVE_FORMAT_EXTENSIBLE,
// RF64 or Wave64 for Wav. Integer data is read as 16 bits; float and double
// data as clamp(x, -1, 1) * 32767 truncated (NaN gives 0). Mono plays on
// both sides, channels after the second are dropped; at 44100 Hz the samples
// are copied unchanged. The file is read in blocks to its real end, whatever
// its header announces. A file with no frames gives no samples and true.
// Returns false (samples empty) when the file cannot be opened or is not a
// regular file, is of the wrong kind, has no channels, a rate outside
// kMinSoundRate..kMaxSoundRate, more than kMaxClipFrames of output, a read
// error, or when memory runs out. Never throws.
bool decodeSoundFile(const std::string& path, SoundRoute route, std::vector<std::int16_t>& samples);

} // namespace lumaroll
