#include "audio/Mp3Decoder.h"

#include "audio/Resampler.h"
#include "audio/SoundDecoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

namespace lumaroll {

namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const
    {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

// A decoder for 16-bit output at the stream's own rate and channel count,
// silent on standard error (the caller reports failures).
Handle openDecoder(int fd)
{
    // Needed by libmpg123 before 1.27 only; once per process.
    static const int initialised = mpg123_init();
    if (initialised != MPG123_OK)
        return nullptr;
    Handle handle(mpg123_new(nullptr, nullptr));
    if (!handle)
        return nullptr;
    mpg123_handle* h = handle.get();
    if (mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2 | MPG123_GAPLESS, 0) != MPG123_OK ||
        mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0) != MPG123_OK ||
        mpg123_format_none(h) != MPG123_OK)
        return nullptr;
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        if (mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
            return nullptr;
    if (mpg123_open_fd(h, fd) != MPG123_OK)
        return nullptr;
    return handle;
}

// Room for the stream's announced or estimated length (known once its first
// frame is read), as a guess: a header may lie, and no MPEG frame holds more
// than 16 sample frames a byte.
void reserveFor(mpg123_handle* h, const Resampler& resampler, std::uint64_t fileBytes,
                std::vector<std::int16_t>& samples)
{
    const off_t length = mpg123_length(h);
    if (length <= 0)
        return;
    const std::uint64_t frames = std::min<std::uint64_t>(std::uint64_t(length), 16 * fileBytes);
    const std::uint64_t output = std::min(resampler.outputFrames(frames), kMaxClipFrames);
    samples.reserve(samples.size() + size_t(output) * 2);
}

// Fraunhofer's encoder puts its seek table (VBRI) into a silent first frame,
// which libmpg123 decodes as sound; Info and Xing frames it drops itself.
// Called when the first frame has been read, before it is decoded.
bool isVbriFrame(mpg123_handle* h)
{
    unsigned long header = 0;
    unsigned char* body = nullptr;
    size_t bytes = 0;
    // The tag stands 32 bytes after the 4-byte header, whatever the mode.
    return mpg123_framedata(h, &header, &body, &bytes) == MPG123_OK && bytes >= 36 &&
           std::memcmp(body + 32, "VBRI", 4) == 0;
}

} // namespace

bool decodeMp3(int fd, std::uint64_t fileBytes, std::vector<std::int16_t>& samples)
{
    const Handle handle = openDecoder(fd);
    if (!handle)
        return false;
    mpg123_handle* const h = handle.get();
    std::optional<Resampler> resampler;
    long rate = 0;
    int channels = 0;
    bool started = false; // a format was announced
    bool skipFrame = false;
    // block[0] carries the previous frame's last sample frame for the resampler.
    std::vector<StereoFrame> block(1);
    for (;;) {
        off_t frameNumber = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        const int result = mpg123_decode_frame(h, &frameNumber, &audio, &bytes);
        if (result == MPG123_NEW_FORMAT) {
            long newRate = 0;
            int newChannels = 0;
            int encoding = 0;
            if (mpg123_getformat(h, &newRate, &newChannels, &encoding) != MPG123_OK ||
                encoding != MPG123_ENC_SIGNED_16 || newChannels < 1 || newChannels > 2 ||
                newRate < kMinSoundRate || newRate > kMaxSoundRate)
                return false;
            if (resampler && newRate != rate) {
                resampler->finish();
                resampler.reset();
            }
            channels = newChannels;
            if (!resampler) {
                rate = newRate;
                resampler.emplace(int(rate), samples);
            }
            if (!std::exchange(started, true)) {
                reserveFor(h, *resampler, fileBytes, samples);
                skipFrame = isVbriFrame(h);
            }
            continue;
        }
        if (result == MPG123_DONE)
            break;
        // Whatever follows the last frame without being one (a tag of
        // another kind, a stray block) ends the stream; before the first
        // frame it means there is none.
        if (result == MPG123_ERR && resampler && mpg123_errcode(h) == MPG123_RESYNC_FAIL)
            break;
        if (result != MPG123_OK || !resampler)
            return false;
        const size_t frames = bytes / (sizeof(std::int16_t) * size_t(channels));
        if (std::exchange(skipFrame, false) || frames == 0)
            continue;
        if (block.size() < frames + 1)
            block.resize(frames + 1);
        const int right = channels > 1 ? 1 : 0;
        for (size_t k = 0; k < frames; ++k) {
            std::int16_t pair[2];
            std::memcpy(pair, audio + k * size_t(channels) * sizeof(std::int16_t),
                        size_t(channels) * sizeof(std::int16_t));
            block[k + 1] = StereoFrame{pair[0], pair[right]};
        }
        if (!resampler->add(block.data(), frames))
            return false;
        block[0] = block[frames];
    }
    if (!resampler)
        return false;
    resampler->finish();
    return true;
}

} // namespace lumaroll
