#include "audio/Resampler.h"

#include <algorithm>
#include <cstring>

namespace lumaroll {

Resampler::Resampler(int rate, std::vector<std::int16_t>& out)
    : step(double(rate) / kClipRate), copy(rate == kClipRate), out(out), start(out.size()),
      limit(kMaxClipFrames - std::min<std::uint64_t>(kMaxClipFrames, out.size() / 2))
{
}

std::uint64_t Resampler::outputFrames(std::uint64_t sourceFrames) const
{
    return copy ? sourceFrames : std::uint64_t(double(sourceFrames) / step);
}

void Resampler::reserve(std::uint64_t sourceFrames)
{
    const std::uint64_t frames = std::min(outputFrames(sourceFrames), limit);
    out.reserve(out.size() + std::size_t(frames) * 2);
}

bool Resampler::add(const std::int16_t* samples, unsigned channels, std::uint64_t count)
{
    if (count == 0)
        return true;
    const std::uint64_t total = base + count;
    if (outputFrames(total) > limit)
        return false;
    const std::size_t stride = channels;
    const std::size_t right = channels > 1 ? 1 : 0;
    const std::size_t at = out.size();
    if (copy) {
        out.resize(at + std::size_t(count) * 2);
        std::int16_t* to = out.data() + at;
        if (channels == 2) {
            std::memcpy(to, samples, std::size_t(count) * 2 * sizeof(std::int16_t));
        } else {
            for (std::size_t k = 0; k < count; ++k, to += 2) {
                to[0] = samples[k * stride];
                to[1] = samples[k * stride + right];
            }
        }
    } else {
        // Output frame j needs source frames i = floor(j * step) and i + 1;
        // i grows with j, so the frames this block completes run up to the
        // first whose i + 1 is not in yet. None needs a frame before base - 1
        // (the previous block's last, kept in last): every earlier one was
        // made with the previous block.
        // Signed conversions: x86 has no direct instruction between double
        // and unsigned 64-bit integers.
        const auto sourceOf = [this](std::int64_t j) { return std::int64_t(double(j) * step); };
        const std::int64_t have = std::int64_t(total), first = std::int64_t(base);
        std::int64_t j = std::int64_t(next);
        std::int64_t end = std::max(j, std::int64_t(double(have - 1) / step));
        while (end > j && sourceOf(end - 1) + 1 >= have)
            --end;
        while (sourceOf(end) + 1 < have)
            ++end;
        out.resize(at + std::size_t(end - j) * 2);
        std::int16_t* to = out.data() + at;
        const auto make = [&](double q, std::int16_t al, std::int16_t ar, const std::int16_t* b) {
            const float frac = float(q - double(std::int64_t(q)));
            to[0] = std::int16_t(float(al) + float(b[0] - al) * frac);
            to[1] = std::int16_t(float(ar) + float(b[right] - ar) * frac);
            to += 2;
        };
        // The first frames of a block may lie between the previous block's
        // last source frame and this block's first (several when upsampling).
        while (j < end && sourceOf(j) < first) {
            make(double(j) * step, last[0], last[1], samples);
            ++j;
        }
        // Source frame k lies at samples[(k - base) * stride]. The frames go
        // in runs of kRun, each in three simple loops the compiler turns into
        // vector code (positions, then the neighbours, then the mix); the
        // arithmetic is the same as make's. Positions fit 32 bits: the output
        // cap times the highest rate's step stays below 2^31.
        constexpr int kRun = 64;
        std::int32_t index[kRun];
        float weight[2 * kRun];
        std::int32_t from[2 * kRun], delta[2 * kRun];
        const std::int32_t first32 = std::int32_t(first);
        for (; j + kRun <= end; j += kRun) {
            const double jd = double(j);
            for (int k = 0; k < kRun; ++k) {
                const double q = (jd + double(k)) * step;
                const std::int32_t i = std::int32_t(q);
                index[k] = i - first32;
                weight[2 * k] = weight[2 * k + 1] = float(q - double(i));
            }
            for (int k = 0; k < kRun; ++k) {
                const std::int16_t* a = samples + std::size_t(index[k]) * stride;
                from[2 * k] = a[0];
                from[2 * k + 1] = a[right];
                delta[2 * k] = a[stride] - a[0];
                delta[2 * k + 1] = a[stride + right] - a[right];
            }
            for (int m = 0; m < 2 * kRun; ++m)
                to[m] = std::int16_t(float(from[m]) + float(delta[m]) * weight[m]);
            to += 2 * kRun;
        }
        for (; j < end; ++j) {
            const double q = double(j) * step;
            const std::int16_t* a = samples + std::size_t(std::int64_t(q) - first) * stride;
            make(q, a[0], a[right], a + stride);
        }
        next = std::uint64_t(end);
    }
    last[0] = samples[(count - 1) * stride];
    last[1] = samples[(count - 1) * stride + right];
    base = total;
    return true;
}

void Resampler::finish()
{
    if (copy)
        return;
    const std::uint64_t n = outputFrames(base);
    if (next > n)
        out.resize(start + std::size_t(n) * 2);
    for (; next < n; ++next) {
        out.push_back(last[0]);
        out.push_back(last[1]);
    }
}

} // namespace lumaroll
