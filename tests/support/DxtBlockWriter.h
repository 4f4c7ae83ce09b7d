#ifndef TESTS_SUPPORT_DXTBLOCKWRITER_H
#define TESTS_SUPPORT_DXTBLOCKWRITER_H

#include <cstdint>
#include <vector>

namespace test {

/**
 * Builds DXT1/3/5 blocks from their fields, so that tests can state the
 * expected texels independently of any decoder. Texel indices are given
 * row by row (16 entries, texel t at row t / 4, column t % 4).
 */

/** 8-byte colour block: two R5G6B5 endpoints and 2-bit texel indices. */
std::vector<uint8_t> dxtColourBlock(uint16_t c0, uint16_t c1, const int (&indices)[16]);

/** DXT3 block: 4-bit alpha per texel, then the colour block. */
std::vector<uint8_t> dxt3Block(const int (&alpha4)[16], uint16_t c0, uint16_t c1, const int (&indices)[16]);

/** DXT5 block: alpha endpoints and 3-bit alpha indices, then the colour block. */
std::vector<uint8_t> dxt5Block(uint8_t a0, uint8_t a1, const int (&alphaIndices)[16], uint16_t c0, uint16_t c1,
							   const int (&indices)[16]);

/** R5G6B5 word of 5/6/5-bit channel values. */
inline uint16_t rgb565(int r5, int g6, int b5) {
	return uint16_t((r5 << 11) | (g6 << 5) | b5);
}

} // namespace test

#endif
