// The random draws of "randomdelay", "jumptorandomaction" and
// "activaterandomtrigger": one MT19937 generator for the whole process,
// seeded with 12345 on first use and never reseeded, so every run of the
// program draws the same sequence.
#pragma once

#include <cstdint>
#include <random>

namespace lumaroll {

std::mt19937& actionRandom();

// A uniform float in [0, 1): the next output times 2^-32 (in float), kept below 1.
float drawUnit(std::mt19937& generator);

// A uniform integer in [0, n - 1] for n >= 1, by multiplying a 32-bit output
// with n and rejecting the few products that would bias the result.
uint32_t drawIndex(std::mt19937& generator, uint32_t n);

} // namespace lumaroll
