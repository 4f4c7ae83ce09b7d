#include "audio/WavDecoder.h"

#include "audio/Resampler.h"
#include "audio/SoundDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace lumaroll {

namespace {

std::int16_t floatSample(float x)
{
    if (std::isnan(x))
        return 0;
    return std::int16_t(std::min(1.f, std::max(-1.f, x)) * 32767.f);
}

bool isWav(int format)
{
    const int type = format & SF_FORMAT_TYPEMASK;
    return type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX || type == SF_FORMAT_RF64 || type == SF_FORMAT_W64;
}

bool isFloatData(int format)
{
    const int subtype = format & SF_FORMAT_SUBMASK;
    return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
}

bool readAll(SNDFILE* file, const SF_INFO& info, std::uint64_t fileBytes, std::vector<std::int16_t>& samples)
{
    const int channels = info.channels;
    const sf_count_t blockFrames = std::max(1, 16384 / channels);
    const bool floats = isFloatData(info.format);
    std::vector<std::int16_t> shorts(size_t(blockFrames) * size_t(floats ? 2 : channels));
    std::vector<float> reals(floats ? size_t(blockFrames) * size_t(channels) : 0);

    Resampler resampler(info.samplerate, samples);
    // The header's length is only a guess for the reservation (the read goes
    // to the real end), and a header may lie: no encoding read here packs
    // more than four frames into a byte.
    if (info.frames > 0)
        resampler.reserve(std::min(std::uint64_t(info.frames), 4 * fileBytes));
    const size_t right = channels > 1 ? 1 : 0;
    for (;;) {
        const sf_count_t got = floats ? sf_readf_float(file, reals.data(), blockFrames)
                                      : sf_readf_short(file, shorts.data(), blockFrames);
        if (got <= 0)
            break;
        if (floats) {
            // Converted to 16-bit stereo here, the first two channels.
            for (size_t k = 0; k < size_t(got); ++k) {
                const size_t at = k * size_t(channels);
                shorts[2 * k] = floatSample(reals[at]);
                shorts[2 * k + 1] = floatSample(reals[at + right]);
            }
        }
        if (!resampler.add(shorts.data(), floats ? 2 : unsigned(channels), std::uint64_t(got)))
            return false;
    }
    if (sf_error(file) != SF_ERR_NO_ERROR)
        return false;
    resampler.finish();
    return true;
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

} // namespace

bool decodeWav(int fd, std::uint64_t fileBytes, std::vector<std::int16_t>& samples)
{
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open_fd(fd, SFM_READ, &info, SF_FALSE));
    if (!file)
        return false;
    if (!isWav(info.format) || info.channels <= 0 || info.samplerate < kMinSoundRate ||
        info.samplerate > kMaxSoundRate)
        return false;
    return readAll(file.get(), info, fileBytes, samples);
}

} // namespace lumaroll
