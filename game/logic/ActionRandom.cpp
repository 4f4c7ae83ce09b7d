#include "logic/ActionRandom.h"

namespace lumaroll {

std::mt19937& actionRandom()
{
    static std::mt19937 generator(12345u);
    return generator;
}

float drawUnit(std::mt19937& generator)
{
    const float u = static_cast<float>(static_cast<uint32_t>(generator())) * 2.3283064e-10f; // 2^-32
    return u >= 1.f ? 0.99999994f : u;
}

uint32_t drawIndex(std::mt19937& generator, uint32_t n)
{
    uint64_t m = static_cast<uint64_t>(static_cast<uint32_t>(generator())) * n;
    if (static_cast<uint32_t>(m) < n) {
        const uint32_t threshold = static_cast<uint32_t>(-n) % n; // (2^32 - n) mod n
        while (static_cast<uint32_t>(m) < threshold)
            m = static_cast<uint64_t>(static_cast<uint32_t>(generator())) * n;
    }
    return static_cast<uint32_t>(m >> 32);
}

} // namespace lumaroll
