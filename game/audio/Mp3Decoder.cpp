#include "audio/Mp3Decoder.h"

#include "audio/Resampler.h"
#include "audio/SoundDecoder.h"

#include <mpg123.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

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

// The regular file open on a descriptor, read through a buffer: libmpg123's
// own descriptor reader asks the system for every frame header and every
// frame body (14,000 calls for three minutes), which costs a fifth of the
// decode.
class BufferedReader {
public:
    explicit BufferedReader(int fd) : fd(fd) {}

    static mpg123_ssize_t read(void* self, void* to, size_t bytes)
    {
        return static_cast<BufferedReader*>(self)->take(static_cast<unsigned char*>(to), bytes);
    }

    static off_t seek(void* self, off_t offset, int whence)
    {
        return static_cast<BufferedReader*>(self)->moveTo(offset, whence);
    }

private:
    mpg123_ssize_t take(unsigned char* to, size_t bytes)
    {
        size_t done = 0;
        while (done < bytes) {
            if (at == held) {
                const ssize_t got = ::read(fd, buffer.data(), buffer.size());
                if (got < 0 && errno == EINTR)
                    continue;
                if (got < 0)
                    return done > 0 ? mpg123_ssize_t(done) : -1;
                if (got == 0)
                    break;
                at = 0;
                held = size_t(got);
            }
            const size_t part = std::min(held - at, bytes - done);
            std::memcpy(to + done, buffer.data() + at, part);
            at += part;
            done += part;
        }
        return mpg123_ssize_t(done);
    }

    off_t moveTo(off_t offset, int whence)
    {
        // The descriptor stands past the bytes still buffered.
        const off_t ahead = off_t(held - at);
        if (whence == SEEK_CUR && offset == 0) {
            const off_t position = ::lseek(fd, 0, SEEK_CUR);
            return position < 0 ? position : position - ahead;
        }
        if (whence == SEEK_CUR)
            offset -= ahead;
        at = held = 0;
        return ::lseek(fd, offset, whence);
    }

    const int fd;
    std::vector<unsigned char> buffer = std::vector<unsigned char>(65536);
    size_t at = 0;   // next byte to hand out
    size_t held = 0; // bytes in the buffer
};

// A decoder for 16-bit output at the stream's own rate and channel count,
// silent on standard error (the caller reports failures), reading through
// reader, which must outlive it.
Handle openDecoder(BufferedReader& reader)
{
    // Needed by libmpg123 before 1.27 only; once per process.
    static const int initialised = mpg123_init();
    if (initialised != MPG123_OK)
        return nullptr;
    Handle handle(mpg123_new(nullptr, nullptr));
    if (!handle)
        return nullptr;
    mpg123_handle* h = handle.get();
    if (mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0) != MPG123_OK ||
        mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0) != MPG123_OK ||
        mpg123_format_none(h) != MPG123_OK)
        return nullptr;
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        if (mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
            return nullptr;
    if (mpg123_replace_reader_handle(h, &BufferedReader::read, &BufferedReader::seek, nullptr) != MPG123_OK ||
        mpg123_open_handle(h, &reader) != MPG123_OK)
        return nullptr;
    return handle;
}

// Room for the stream's announced or estimated length (known once its first
// frame is read), as a guess: a header may lie, and no MPEG frame holds more
// than 16 sample frames a byte. Without an Info frame the length is the
// file's size over the first frame's: a hundredth more covers frames of
// other sizes.
void reserveFor(mpg123_handle* h, Resampler& resampler, std::uint64_t fileBytes)
{
    const off_t length = mpg123_length(h);
    if (length <= 0)
        return;
    const std::uint64_t frames = std::uint64_t(length) + std::uint64_t(length) / 100 + 2304;
    resampler.reserve(std::min(frames, 16 * fileBytes));
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
    BufferedReader reader(fd);
    const Handle handle = openDecoder(reader);
    if (!handle)
        return false;
    mpg123_handle* const h = handle.get();
    std::optional<Resampler> resampler;
    long rate = 0;
    int channels = 0;
    bool started = false; // a format was announced
    bool skipFrame = false;
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
                reserveFor(h, *resampler, fileBytes);
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
        // libmpg123 decodes into its own buffer, aligned for its vector code.
        if (!resampler->add(reinterpret_cast<const std::int16_t*>(audio), unsigned(channels), frames))
            return false;
    }
    if (!resampler)
        return false;
    resampler->finish();
    return true;
}

} // namespace lumaroll
