#include "support/PvrtcWriter.h"

#include <gtest/gtest.h>

namespace lumaroll::test {

std::uint32_t opaqueA(int r5, int g5, int b4) {
	return 0x8000u | std::uint32_t(r5 & 31) << 10 | std::uint32_t(g5 & 31) << 5 | std::uint32_t(b4 & 15) << 1;
}

std::uint32_t opaqueB(int r5, int g5, int b5) {
	return 0x8000u | std::uint32_t(r5 & 31) << 10 | std::uint32_t(g5 & 31) << 5 | std::uint32_t(b5 & 31);
}

std::uint32_t translucentA(int a3, int r4, int g4, int b3) {
	return std::uint32_t(a3 & 7) << 12 | std::uint32_t(r4 & 15) << 8 | std::uint32_t(g4 & 15) << 4 |
		   std::uint32_t(b3 & 7) << 1;
}

std::uint32_t translucentB(int a3, int r4, int g4, int b4) {
	return std::uint32_t(a3 & 7) << 12 | std::uint32_t(r4 & 15) << 8 | std::uint32_t(g4 & 15) << 4 |
		   std::uint32_t(b4 & 15);
}

std::uint32_t colourWord(std::uint32_t a, std::uint32_t b, bool modeBit) {
	return (b & 0xffff) << 16 | (a & 0xfffe) | (modeBit ? 1 : 0);
}

std::uint32_t modulation4(const std::vector<int>& values) {
	EXPECT_EQ(values.size(), 16u);
	std::uint32_t m = 0;
	for (std::size_t i = 0; i < values.size() && i < 16; ++i)
		m |= std::uint32_t(values[i] & 3) << (2 * i);
	return m;
}

std::uint32_t modulation2Direct(const std::vector<int>& bits) {
	EXPECT_EQ(bits.size(), 32u);
	std::uint32_t m = 0;
	for (std::size_t i = 0; i < bits.size() && i < 32; ++i)
		m |= std::uint32_t(bits[i] & 1) << i;
	return m;
}

std::uint32_t modulation2Interpolated(const std::vector<int>& stored, Interpolation how) {
	EXPECT_EQ(stored.size(), 16u);
	std::uint32_t m = 0;
	for (std::size_t i = 0; i < stored.size() && i < 16; ++i)
		m |= std::uint32_t(stored[i] & 3) << (2 * i);
	// Bit 0 flags a single direction, bit 20 which one; the values there
	// keep only their high bit.
	EXPECT_TRUE(stored[0] == 0 || stored[0] == 3);
	m &= ~1u;
	if (how != Interpolation::Both) {
		EXPECT_TRUE(stored[10] == 0 || stored[10] == 3);
		m |= 1u;
		m &= ~(1u << 20);
		if (how == Interpolation::Vertical)
			m |= 1u << 20;
	}
	return m;
}

std::uint64_t mortonIndex(std::uint32_t wordsX, std::uint32_t wordsY, std::uint32_t x, std::uint32_t y) {
	const std::uint32_t smaller = wordsX < wordsY ? wordsX : wordsY;
	std::uint64_t index = 0;
	int shared = 0;
	for (; (1u << shared) < smaller; ++shared) {
		index |= std::uint64_t((y >> shared) & 1) << (2 * shared);
		index |= std::uint64_t((x >> shared) & 1) << (2 * shared + 1);
	}
	const std::uint32_t larger = wordsX > wordsY ? x : y;
	return index | std::uint64_t(larger >> shared) << (2 * shared);
}

std::vector<std::uint8_t> pvrtcLevel(std::uint32_t wordsX, std::uint32_t wordsY,
									 const std::function<PvrtcWord(std::uint32_t x, std::uint32_t y)>& word) {
	std::vector<std::uint8_t> out(std::size_t(wordsX) * wordsY * 8);
	for (std::uint32_t y = 0; y < wordsY; ++y)
		for (std::uint32_t x = 0; x < wordsX; ++x) {
			const std::uint64_t index = mortonIndex(wordsX, wordsY, x, y);
			EXPECT_LT(index, std::uint64_t(wordsX) * wordsY) << "grid is not a power of two";
			if (index >= std::uint64_t(wordsX) * wordsY)
				continue;
			const PvrtcWord w = word(x, y);
			for (int i = 0; i < 4; ++i) {
				out[index * 8 + i] = std::uint8_t(w.modulation >> (8 * i));
				out[index * 8 + 4 + i] = std::uint8_t(w.colour >> (8 * i));
			}
		}
	return out;
}

} // namespace lumaroll::test
