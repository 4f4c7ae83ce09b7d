// Decoded sound to the mixer's layout: 44.1 kHz interleaved stereo int16, by
// linear interpolation between neighbouring source frames, fed block by block
// as a decoder delivers them.
#pragma once

#include <cstdint>
#include <vector>

namespace lumaroll {

// Every clip is played at this rate, two channels.
constexpr int kClipRate = 44100;
// Ten minutes of output (106 MB): a longer sound is refused.
constexpr std::uint64_t kMaxClipFrames = 26460000;

// Output frame j of a source at rate R lies at source position q = j * R / 44100
// and mixes source frames floor(q) and floor(q) + 1; there are
// floor(F * 44100 / R) output frames for F source frames. The source arrives
// in blocks of unknown total length: a frame is made as soon as both its
// source frames are in; at the end the count is cut to what F gives, and
// the frames still missing lie on the last source frame. At 44100 Hz the
// frames are copied unchanged. Mono plays on both sides; channels after the
// second are dropped.
//
// The output is appended to out after what it already holds (a stream whose
// rate changes gives one resampler per stretch); out must not be changed by
// anyone else while the resampler lives. The length cap counts everything in
// out.
class Resampler {
public:
    // rate: the source's, 1000 to 384000 Hz (the decoders refuse others).
    Resampler(int rate, std::vector<std::int16_t>& out);

    // Makes room in out for what sourceFrames will give (at most the cap), so
    // that a source of that length or less is converted without moving out.
    // May throw std::bad_alloc.
    void reserve(std::uint64_t sourceFrames);

    // Takes the next count source frames: count * channels interleaved
    // samples (channels >= 1), read only during the call (the resampler keeps
    // the last frame for the next block). Returns false, out holding what was
    // made before, once the output would pass kMaxClipFrames. May throw
    // std::bad_alloc.
    bool add(const std::int16_t* samples, unsigned channels, std::uint64_t count);

    // The source has ended: out gets its exact length.
    void finish();

private:
    std::uint64_t outputFrames(std::uint64_t sourceFrames) const;

    const double step;
    const bool copy;
    std::vector<std::int16_t>& out;
    const std::size_t start;   // samples in out before this resampler's first
    const std::uint64_t limit; // output frames this resampler may add
    std::uint64_t base = 0;    // source frames taken so far
    std::uint64_t next = 0;    // next output frame (resampling only)
    std::int16_t last[2]{};    // the last source frame taken, left and right
};

} // namespace lumaroll
