// The WAV route of the sound decoder, through libsndfile.
#pragma once

#include <cstdint>
#include <vector>

namespace lumaroll {

// Decodes the WAV data (WAV, WAVE_FORMAT_EXTENSIBLE, RF64 or Wave64: libsndfile
// recognises it by content) of the regular file open on fd, fileBytes long,
// and appends it to samples at the clip layout (Resampler.h). Integer data is
// read as 16 bits; float and double data as clamp(x, -1, 1) * 32767 truncated
// (NaN gives 0). The file is read in blocks to its real end, whatever its
// header announces. A file with no frames appends nothing and gives true.
// Returns false when libsndfile cannot open the data or finds another kind
// (MPEG included), no channels, a rate outside kMinSoundRate..kMaxSoundRate,
// more than kMaxClipFrames of output, or a read error; samples may then hold
// part of the sound. fd stays open. May throw std::bad_alloc.
bool decodeWav(int fd, std::uint64_t fileBytes, std::vector<std::int16_t>& samples);

} // namespace lumaroll
