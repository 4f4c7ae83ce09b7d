#include "audio/SoundDecoder.h"

#include "audio/SoundNames.h"

#include <sndfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace lumaroll {

SoundRoute soundRoute(const std::string& key)
{
    return hasSuffix(key, ".mp3") ? SoundRoute::Mp3 : SoundRoute::Wav;
}

namespace {

struct StereoFrame {
    std::int16_t left;
    std::int16_t right;
};

// Output frame j of a source at rate R lies at source position q = j * R / 44100
// and mixes source frames floor(q) and floor(q) + 1; there are
// floor(F * 44100 / R) output frames for F source frames. The source arrives
// in blocks of unknown total length: a frame is made as soon as both its
// source frames are in; at the end the count is cut to what F gives, and
// the frames still missing lie on the last source frame.
class Resampler {
public:
    Resampler(int rate, std::vector<std::int16_t>& out)
        : step(double(rate) / kClipRate), copy(rate == kClipRate), out(out)
    {
    }

    // Takes the next count source frames, block[1] to block[count]; block[0]
    // must hold the last frame of the previous call (anything on the first).
    // Returns false once the output would pass kMaxClipFrames.
    bool add(const StereoFrame* block, std::uint64_t count)
    {
        if (count == 0)
            return true;
        const std::uint64_t total = base + count;
        if (outputFrames(total) > kMaxClipFrames)
            return false;
        // Room for every frame this block can complete, written in place and
        // cut to what was made.
        const size_t at = out.size();
        const std::uint64_t room = copy ? count : outputFrames(total) + 2 - std::min(next, outputFrames(total));
        out.resize(at + size_t(room) * 2);
        std::int16_t* to = out.data() + at;
        const std::int16_t* const end = out.data() + out.size();
        if (copy) {
            for (std::uint64_t k = 1; k <= count; ++k, to += 2) {
                to[0] = block[k].left;
                to[1] = block[k].right;
            }
        } else {
            // The first frame still to make needs source frame base - 1 at
            // the earliest (block[0]): everything before it had both
            // neighbours in. Source frame k is block[k - base + 1].
            const std::int64_t shift = 1 - std::int64_t(base);
            for (; to < end; ++next, to += 2) {
                const double q = double(next) * step;
                const std::int64_t i = std::int64_t(q);
                if (std::uint64_t(i) + 1 >= total)
                    break;
                const StereoFrame a = block[i + shift];
                const StereoFrame b = block[i + 1 + shift];
                const float frac = float(q - double(i));
                to[0] = std::int16_t(float(a.left) + float(b.left - a.left) * frac);
                to[1] = std::int16_t(float(a.right) + float(b.right - a.right) * frac);
            }
            last = block[count];
        }
        out.resize(size_t(to - out.data()));
        base = total;
        return true;
    }

    // The source has ended.
    void finish()
    {
        if (copy)
            return;
        const std::uint64_t n = outputFrames(base);
        if (next > n)
            out.resize(size_t(n) * 2);
        for (; next < n; ++next) {
            out.push_back(last.left);
            out.push_back(last.right);
        }
    }

private:
    std::uint64_t outputFrames(std::uint64_t sourceFrames) const
    {
        return copy ? sourceFrames : std::uint64_t(double(sourceFrames) / step);
    }

    const double step;
    const bool copy;
    std::vector<std::int16_t>& out;
    std::uint64_t base = 0; // source frames taken so far
    std::uint64_t next = 0; // next output frame (resampling only)
    StereoFrame last{0, 0}; // the last source frame taken
};

std::int16_t floatSample(float x)
{
    if (std::isnan(x))
        return 0;
    return std::int16_t(std::min(1.f, std::max(-1.f, x)) * 32767.f);
}

bool formatFitsRoute(int format, SoundRoute route)
{
    const int type = format & SF_FORMAT_TYPEMASK;
    if (route == SoundRoute::Mp3)
        return type == SF_FORMAT_MPEG;
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
    std::vector<std::int16_t> shorts(floats ? 0 : size_t(blockFrames) * size_t(channels));
    std::vector<float> reals(floats ? size_t(blockFrames) * size_t(channels) : 0);
    // block[0] carries the previous block's last frame for the resampler.
    std::vector<StereoFrame> block(static_cast<size_t>(blockFrames) + 1);

    // The header's length is only a guess for the reservation (the read goes
    // to the real end), and a header may lie: no encoding read here packs
    // more than four frames into a byte, except compressed MP3, which may grow.
    if (info.frames > 0) {
        const double frames = std::min(double(info.frames), 4.0 * double(fileBytes));
        samples.reserve(size_t(std::min(frames * kClipRate / info.samplerate, double(kMaxClipFrames))) * 2);
    }
    Resampler resampler(info.samplerate, samples);
    const int right = channels > 1 ? 1 : 0;
    for (;;) {
        const sf_count_t got = floats ? sf_readf_float(file, reals.data(), blockFrames)
                                      : sf_readf_short(file, shorts.data(), blockFrames);
        if (got <= 0)
            break;
        for (sf_count_t k = 0; k < got; ++k) {
            const size_t at = size_t(k) * size_t(channels);
            block[size_t(k) + 1] =
                floats ? StereoFrame{floatSample(reals[at]), floatSample(reals[at + size_t(right)])}
                       : StereoFrame{shorts[at], shorts[at + size_t(right)]};
        }
        if (!resampler.add(block.data(), std::uint64_t(got)))
            return false;
        block[0] = block[size_t(got)];
    }
    if (sf_error(file) != SF_ERR_NO_ERROR)
        return false;
    resampler.finish();
    return true;
}

// Opens path for reading only when it is a regular file: a pipe or a device
// named like a sound would otherwise block the level load or never end.
int openRegularFile(const std::string& path, std::uint64_t& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    bytes = std::uint64_t(info.st_size);
    return fd;
}

} // namespace

bool decodeSoundFile(const std::string& path, SoundRoute route, std::vector<std::int16_t>& samples)
{
    samples.clear();
    std::uint64_t bytes = 0;
    const int fd = openRegularFile(path, bytes);
    if (fd < 0)
        return false;
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file)
        return false;
    bool ok = formatFitsRoute(info.format, route) && info.channels > 0 && info.samplerate >= kMinSoundRate &&
              info.samplerate <= kMaxSoundRate;
    try {
        ok = ok && readAll(file, info, bytes, samples);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    sf_close(file);
    if (!ok)
        std::vector<std::int16_t>().swap(samples);
    return ok;
}

} // namespace lumaroll
