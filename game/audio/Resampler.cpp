#include "audio/Resampler.h"

#include <algorithm>

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

bool Resampler::add(const StereoFrame* block, std::uint64_t count)
{
    if (count == 0)
        return true;
    const std::uint64_t total = base + count;
    if (outputFrames(total) > limit)
        return false;
    // Room for every frame this block can complete, written in place and
    // cut to what was made.
    const std::size_t at = out.size();
    const std::uint64_t room = copy ? count : outputFrames(total) + 2 - std::min(next, outputFrames(total));
    out.resize(at + std::size_t(room) * 2);
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
    out.resize(std::size_t(to - out.data()));
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
        out.push_back(last.left);
        out.push_back(last.right);
    }
}

} // namespace lumaroll
