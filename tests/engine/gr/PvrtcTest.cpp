#include <gr/Pvrtc.h>

#include "support/PvrtcWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>
#include <string>

using namespace lumaroll;
using namespace lumaroll::test;

namespace {

typedef std::array<int, 4> Rgba;

std::vector<std::uint8_t> decode(const std::vector<std::uint8_t>& data, bool twoBit, int width, int height,
								 std::size_t* consumed = nullptr) {
	std::vector<std::uint8_t> out(std::size_t(width) * height * 4, 0xcd);
	const std::size_t n = decompressPvrtc(data.data(), twoBit, width, height, out.data());
	if (consumed)
		*consumed = n;
	return out;
}

Rgba at(const std::vector<std::uint8_t>& image, int width, int x, int y) {
	const std::uint8_t* p = &image[(std::size_t(y) * width + x) * 4];
	return {p[0], p[1], p[2], p[3]};
}

// Colour A and B mixed by a weight in eighths.
Rgba mix(const Rgba& a, const Rgba& b, int weight) {
	Rgba out;
	for (int i = 0; i < 4; ++i)
		out[i] = (a[i] * (8 - weight) + b[i] * weight) / 8;
	return out;
}

const int kWeights[4] = {0, 3, 5, 8};

struct ColourCase {
	const char* name;
	std::uint32_t a, b;
	Rgba expectA, expectB; // the halves widened to 8 bits
};

// Widening: 5 bits c -> c << 3 | c >> 2; 4-bit channels first gain their top
// bit below (r -> r << 1 | r >> 3); 3-bit ones (r << 2 | r >> 1); alpha
// 3 bits -> 4 bits (a << 1) -> times 17.
const ColourCase kColourCases[] = {
	{"opaque", opaqueA(31, 0, 15), opaqueB(0, 31, 1), {255, 0, 255, 255}, {0, 255, 8, 255}},
	{"opaqueMid", opaqueA(16, 8, 4), opaqueB(16, 8, 4), {132, 66, 66, 255}, {132, 66, 33, 255}},
	{"translucent", translucentA(7, 15, 0, 7), translucentB(3, 8, 1, 15), {255, 0, 255, 238}, {140, 16, 255, 102}},
	{"transparent", translucentA(0, 1, 2, 1), translucentB(0, 0, 0, 0), {16, 33, 33, 0}, {0, 0, 0, 0}},
};

class PvrtcColours : public ::testing::TestWithParam<ColourCase> {};

// Uniform words: no interpolation visible, each pixel is A and B mixed by its
// own modulation value.
TEST_P(PvrtcColours, UniformFourBitBlocksMixByModulation) {
	const ColourCase& c = GetParam();
	std::vector<int> values(16);
	for (int i = 0; i < 16; ++i)
		values[i] = (i + i / 4) & 3;
	const PvrtcWord word{modulation4(values), colourWord(c.a, c.b)};
	const auto out = decode(pvrtcLevel(2, 2, [&](std::uint32_t, std::uint32_t) { return word; }), false, 8, 8);
	for (int y = 0; y < 8; ++y)
		for (int x = 0; x < 8; ++x)
			EXPECT_EQ(at(out, 8, x, y), mix(c.expectA, c.expectB, kWeights[values[(y % 4) * 4 + x % 4]]))
				<< x << "," << y;
}

TEST_P(PvrtcColours, PunchThroughWeightsAndAlpha) {
	const ColourCase& c = GetParam();
	std::vector<int> values(16);
	for (int i = 0; i < 16; ++i)
		values[i] = (i * 3 + i / 4) & 3;
	const PvrtcWord word{modulation4(values), colourWord(c.a, c.b, true)};
	const auto out = decode(pvrtcLevel(2, 2, [&](std::uint32_t, std::uint32_t) { return word; }), false, 8, 8);
	const int punchWeights[4] = {0, 4, 4, 8};
	for (int y = 0; y < 8; ++y)
		for (int x = 0; x < 8; ++x) {
			const int v = values[(y % 4) * 4 + x % 4];
			Rgba expect = mix(c.expectA, c.expectB, punchWeights[v]);
			if (v == 2)
				expect[3] = 0;
			EXPECT_EQ(at(out, 8, x, y), expect) << x << "," << y;
		}
}

TEST_P(PvrtcColours, UniformTwoBitBlocksDirectMode) {
	const ColourCase& c = GetParam();
	std::vector<int> bits(32);
	for (int i = 0; i < 32; ++i)
		bits[i] = (i * 7 / 3) & 1;
	const PvrtcWord word{modulation2Direct(bits), colourWord(c.a, c.b)};
	const auto out = decode(pvrtcLevel(2, 2, [&](std::uint32_t, std::uint32_t) { return word; }), true, 16, 8);
	for (int y = 0; y < 8; ++y)
		for (int x = 0; x < 16; ++x)
			EXPECT_EQ(at(out, 16, x, y), mix(c.expectA, c.expectB, bits[(y % 4) * 8 + x % 8] ? 8 : 0)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Pvrtc, PvrtcColours, ::testing::ValuesIn(kColourCases),
						 [](const ::testing::TestParamInfo<ColourCase>& info) { return info.param.name; });

// A distinct modulation word per grid position, with black and white
// colours: each pixel shows which word it came from, so a wrong Morton
// placement shows.
std::uint32_t positionCode(std::uint32_t x, std::uint32_t y) {
	return (x * 2654435761u) ^ (y * 40503u + 0x9e3779b9u) ^ (x << 24 | y << 8);
}

struct GridCase {
	bool twoBit;
	int width, height;
};

class PvrtcMorton : public ::testing::TestWithParam<GridCase> {};

TEST_P(PvrtcMorton, WordsAreReadInMortonOrder) {
	const GridCase& g = GetParam();
	const int bw = g.twoBit ? 8 : 4;
	const std::uint32_t wordsX = std::uint32_t(g.width / bw), wordsY = std::uint32_t(g.height / 4);
	const std::uint32_t colour = colourWord(opaqueA(0, 0, 0), opaqueB(31, 31, 31));
	std::size_t consumed = 0;
	const auto out = decode(pvrtcLevel(wordsX, wordsY,
									   [&](std::uint32_t x, std::uint32_t y) {
										   return PvrtcWord{positionCode(x, y), colour};
									   }),
							g.twoBit, g.width, g.height, &consumed);
	EXPECT_EQ(consumed, std::size_t(wordsX) * wordsY * 8);
	for (int y = 0; y < g.height; ++y)
		for (int x = 0; x < g.width; ++x) {
			const std::uint32_t code = positionCode(std::uint32_t(x / bw), std::uint32_t(y / 4));
			int weight;
			if (g.twoBit)
				weight = (code >> ((y % 4) * 8 + x % 8)) & 1 ? 8 : 0;
			else
				weight = kWeights[(code >> (2 * ((y % 4) * 4 + x % 4))) & 3];
			const int v = 255 * weight / 8;
			ASSERT_EQ(at(out, g.width, x, y), (Rgba{v, v, v, 255})) << x << "," << y;
		}
}

INSTANTIATE_TEST_SUITE_P(Pvrtc, PvrtcMorton,
						 ::testing::Values(GridCase{false, 8, 8}, GridCase{false, 16, 8}, GridCase{false, 8, 32},
										   GridCase{false, 32, 32}, GridCase{false, 64, 16}, GridCase{true, 16, 8},
										   GridCase{true, 64, 16}, GridCase{true, 16, 32}, GridCase{true, 64, 64}),
						 [](const ::testing::TestParamInfo<GridCase>& info) {
							 return std::string(info.param.twoBit ? "twoBit_" : "fourBit_") +
									std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
						 });

// 2-bit interpolated modes: stored values on the pixels whose x + y is even;
// the others are the rounded average of the neighbours the mode names,
// across word borders and wrapping around the image.
class PvrtcInterpolated : public ::testing::TestWithParam<Interpolation> {};

TEST_P(PvrtcInterpolated, UnstoredPixelsAverageTheirNeighbours) {
	const Interpolation how = GetParam();
	const int width = 32, height = 16;
	auto storedFor = [](std::uint32_t wx, std::uint32_t wy) {
		std::vector<int> stored(16);
		for (int i = 0; i < 16; ++i)
			stored[i] = int((wx * 7 + wy * 5 + std::uint32_t(i) * 3 + std::uint32_t(i * i)) & 3);
		stored[0] = (wx + wy) % 2 ? 3 : 0;
		stored[10] = wx % 2 ? 0 : 3;
		return stored;
	};
	const std::uint32_t colour = colourWord(opaqueA(0, 0, 0), opaqueB(31, 31, 31), true);
	const auto data = pvrtcLevel(4, 4, [&](std::uint32_t x, std::uint32_t y) {
		return PvrtcWord{modulation2Interpolated(storedFor(x, y), how), colour};
	});
	const auto out = decode(data, true, width, height);

	// Expected weights on the whole grid.
	std::vector<int> weight(width * height, -1);
	for (int wy = 0; wy < 4; ++wy)
		for (int wx = 0; wx < 4; ++wx) {
			const auto stored = storedFor(std::uint32_t(wx), std::uint32_t(wy));
			int n = 0;
			for (int y = 0; y < 4; ++y)
				for (int x = 0; x < 8; ++x)
					if ((x + y) % 2 == 0)
						weight[(wy * 4 + y) * width + wx * 8 + x] = kWeights[stored[n++]];
		}
	auto w = [&](int x, int y) { return weight[((y + height) % height) * width + (x + width) % width]; };
	for (int y = 0; y < height; ++y)
		for (int x = 0; x < width; ++x) {
			int expect = w(x, y);
			if ((x + y) % 2) {
				const int horizontal = w(x - 1, y) + w(x + 1, y), vertical = w(x, y - 1) + w(x, y + 1);
				expect = how == Interpolation::Both			? (horizontal + vertical + 2) / 4
						 : how == Interpolation::Horizontal ? (horizontal + 1) / 2
															: (vertical + 1) / 2;
			}
			const int v = 255 * expect / 8;
			ASSERT_EQ(at(out, width, x, y), (Rgba{v, v, v, 255})) << x << "," << y;
		}
}

INSTANTIATE_TEST_SUITE_P(Pvrtc, PvrtcInterpolated,
						 ::testing::Values(Interpolation::Both, Interpolation::Horizontal, Interpolation::Vertical),
						 [](const ::testing::TestParamInfo<Interpolation>& info) {
							 return info.param == Interpolation::Both		  ? "both"
									: info.param == Interpolation::Horizontal ? "horizontal"
																			  : "vertical";
						 });

// Colours blend bilinearly between word centres, wrapping at the edges.
TEST(Pvrtc, ColoursBlendBetweenWordCentres) {
	const std::uint32_t a[2][2] = {{opaqueA(31, 0, 0), opaqueA(0, 0, 0)}, {opaqueA(0, 31, 0), opaqueA(0, 0, 15)}};
	const auto data = pvrtcLevel(2, 2, [&](std::uint32_t x, std::uint32_t y) {
		return PvrtcWord{0, colourWord(a[y][x], opaqueB(0, 0, 0))};
	});
	const auto out = decode(data, false, 8, 8);
	EXPECT_EQ(at(out, 8, 2, 2), (Rgba{255, 0, 0, 255}));   // centre of word (0, 0)
	EXPECT_EQ(at(out, 8, 6, 2), (Rgba{0, 0, 0, 255}));	   // centre of word (1, 0)
	EXPECT_EQ(at(out, 8, 2, 6), (Rgba{0, 255, 0, 255}));   // centre of word (0, 1)
	EXPECT_EQ(at(out, 8, 6, 6), (Rgba{0, 0, 255, 255}));   // centre of word (1, 1)
	EXPECT_EQ(at(out, 8, 4, 2), (Rgba{127, 0, 0, 255}));   // halfway across
	EXPECT_EQ(at(out, 8, 0, 2), (Rgba{127, 0, 0, 255}));   // halfway, wrapped
	EXPECT_EQ(at(out, 8, 2, 4), (Rgba{127, 127, 0, 255})); // halfway down
	EXPECT_EQ(at(out, 8, 4, 4), (Rgba{63, 63, 63, 255}));  // between all four
	EXPECT_EQ(at(out, 8, 3, 2), (Rgba{191, 0, 0, 255}));   // a quarter across

	const auto wide = pvrtcLevel(2, 2, [&](std::uint32_t x, std::uint32_t y) {
		return PvrtcWord{0, colourWord(a[y][x], opaqueB(0, 0, 0))};
	});
	const auto out2 = decode(wide, true, 16, 8);
	EXPECT_EQ(at(out2, 16, 4, 2), (Rgba{255, 0, 0, 255}));
	EXPECT_EQ(at(out2, 16, 8, 2), (Rgba{127, 0, 0, 255}));
	EXPECT_EQ(at(out2, 16, 0, 2), (Rgba{127, 0, 0, 255}));
}

std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
	std::mt19937 random(seed);
	std::vector<std::uint8_t> out(n);
	for (auto& b : out)
		b = std::uint8_t(random());
	return out;
}

// Levels below 16 x 8 (2-bit) or 8 x 8 (4-bit) are stored and decoded at that
// size and cropped; they occupy 32 bytes.
TEST(Pvrtc, SmallLevelsArePaddedAndCropped) {
	struct Case {
		bool twoBit;
		int width, height;
	};
	for (const Case& c : {Case{false, 4, 4}, Case{false, 1, 1}, Case{false, 2, 8}, Case{false, 8, 2}, Case{false, 3, 5},
						  Case{true, 8, 8}, Case{true, 1, 1}, Case{true, 16, 2}, Case{true, 4, 8}}) {
		SCOPED_TRACE(testing::Message() << (c.twoBit ? "2-bit " : "4-bit ") << c.width << "x" << c.height);
		const auto data = randomBytes(32, unsigned(c.width * 31 + c.height));
		std::size_t consumed = 0;
		const auto small = decode(data, c.twoBit, c.width, c.height, &consumed);
		EXPECT_EQ(consumed, 32u);
		const int fullW = c.twoBit ? 16 : 8;
		const auto full = decode(data, c.twoBit, fullW, 8);
		for (int y = 0; y < c.height; ++y)
			for (int x = 0; x < c.width; ++x)
				ASSERT_EQ(at(small, c.width, x, y), at(full, fullW, x, y)) << x << "," << y;
	}
}

// 24 x 12 at 4 bits is 6 x 3 words (144 bytes); the Morton index of word
// (5, 2) is 22. It reads as a zero word (transparent black), not past the data.
TEST(Pvrtc, NonPowerOfTwoLevelStaysInsideItsData) {
	std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[144]);
	for (int i = 0; i < 144; i += 8) {
		const std::uint32_t c = colourWord(opaqueA(31, 31, 15), opaqueB(31, 31, 31));
		for (int k = 0; k < 4; ++k) {
			data[i + k] = 0;
			data[i + 4 + k] = std::uint8_t(c >> (8 * k));
		}
	}
	std::vector<std::uint8_t> out(24 * 12 * 4);
	EXPECT_EQ(decompressPvrtc(data.get(), false, 24, 12, out.data()), 144u);
	EXPECT_EQ(at(out, 24, 22, 10), (Rgba{0, 0, 0, 0}));
	EXPECT_EQ(at(out, 24, 2, 2), (Rgba{255, 255, 255, 255}));
}

// Any size decodes from exactly the returned number of bytes (the sanitizers
// catch a read past them).
TEST(Pvrtc, AnySizeReadsOnlyItsOwnBytes) {
	for (int twoBit = 0; twoBit < 2; ++twoBit)
		for (int height = 1; height <= 40; height += 3)
			for (int width = 1; width <= 70; width += 5) {
				const std::size_t expected =
					std::size_t(std::max(width, twoBit ? 16 : 8)) * std::size_t(std::max(height, 8)) / (twoBit ? 4 : 2);
				const auto bytes = randomBytes(expected, unsigned(width * 100 + height));
				std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[expected]);
				std::copy(bytes.begin(), bytes.end(), data.get());
				std::vector<std::uint8_t> out(std::size_t(width) * height * 4);
				ASSERT_EQ(decompressPvrtc(data.get(), twoBit != 0, width, height, out.data()), expected)
					<< width << "x" << height;
			}
}

TEST(Pvrtc, EmptySizesDecodeNothing) {
	std::uint8_t data[32] = {};
	std::uint8_t out[4] = {1, 2, 3, 4};
	EXPECT_EQ(decompressPvrtc(data, false, 0, 4, out), 0u);
	EXPECT_EQ(decompressPvrtc(data, true, 4, -1, out), 0u);
	EXPECT_EQ(out[0], 1);
}

} // namespace
