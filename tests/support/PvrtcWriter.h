#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace lumaroll::test {

// One PVRTC word: a modulation word and a colour word.
struct PvrtcWord {
	std::uint32_t modulation = 0;
	std::uint32_t colour = 0;
};

// Colour halves of a colour word. Opaque A: red and green 5 bits, blue 4;
// opaque B: 5 bits each. Translucent A: alpha 3, red 4, green 4, blue 3;
// translucent B: alpha 3, red, green, blue 4 each.
std::uint32_t opaqueA(int r5, int g5, int b4);
std::uint32_t opaqueB(int r5, int g5, int b5);
std::uint32_t translucentA(int a3, int r4, int g4, int b3);
std::uint32_t translucentB(int a3, int r4, int g4, int b4);

// A colour word from its halves; modeBit sets bit 0 (4-bit: punch-through;
// 2-bit: interpolated modulation).
std::uint32_t colourWord(std::uint32_t a, std::uint32_t b, bool modeBit = false);

// 4-bit modulation: 2-bit values for the 4 x 4 pixels in row order.
std::uint32_t modulation4(const std::vector<int>& values);

// 2-bit mode, bit 0 of the colour clear: one bit for each of the 8 x 4 pixels
// in row order.
std::uint32_t modulation2Direct(const std::vector<int>& bits);

// 2-bit interpolated mode (bit 0 of the colour set): the 2-bit values of the
// 16 pixels whose x + y is even, in row order. The first value and, in the
// single-direction modes, the eleventh (pixel 4, 2) can only be 0 or 3.
enum class Interpolation { Both, Horizontal, Vertical };
std::uint32_t modulation2Interpolated(const std::vector<int>& stored, Interpolation how);

// The Morton index of the word at column x, row y of a wordsX x wordsY grid:
// y in the even bits, x in the odd ones up to the smaller dimension, the
// larger coordinate's remaining bits above.
std::uint64_t mortonIndex(std::uint32_t wordsX, std::uint32_t wordsY, std::uint32_t x, std::uint32_t y);

// A level's bytes: the word for every grid position, stored in Morton order.
std::vector<std::uint8_t> pvrtcLevel(std::uint32_t wordsX, std::uint32_t wordsY,
									 const std::function<PvrtcWord(std::uint32_t x, std::uint32_t y)>& word);

} // namespace lumaroll::test
