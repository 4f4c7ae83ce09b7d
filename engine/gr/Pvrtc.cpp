#include <gr/Pvrtc.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace lumaroll {
namespace {

// Four 32-bit lanes: red, green, blue, alpha.
typedef std::int32_t Lanes __attribute__((vector_size(16)));
// Colour A then colour B, each red, green, blue, alpha, in 16-bit lanes.
typedef std::int16_t Pair __attribute__((vector_size(16)));

// Weights of the 2-bit modulation values in eighths.
const std::uint8_t kWeights[4] = {0, 3, 5, 8};
// Weights of the 4-bit punch-through mode; kPunch marks alpha forced to 0.
const std::uint8_t kPunch = 0x10;
const std::uint8_t kPunchWeights[4] = {0, 4, 4 | kPunch, 8};

// Factors for colours A and B by weight entry: 8 - weight and weight, with
// alpha zeroed for punch-through entries.
#define LUMAROLL_MIX(w) \
	Pair { \
		8 - (w), 8 - (w), 8 - (w), 8 - (w), (w), (w), (w), (w) \
	}
#define LUMAROLL_PUNCH(w) \
	Pair { \
		8 - (w), 8 - (w), 8 - (w), 0, (w), (w), (w), 0 \
	}
const Pair kMix[kPunch + 9] = {LUMAROLL_MIX(0),
							   LUMAROLL_MIX(1),
							   LUMAROLL_MIX(2),
							   LUMAROLL_MIX(3),
							   LUMAROLL_MIX(4),
							   LUMAROLL_MIX(5),
							   LUMAROLL_MIX(6),
							   LUMAROLL_MIX(7),
							   LUMAROLL_MIX(8),
							   {},
							   {},
							   {},
							   {},
							   {},
							   {},
							   {},
							   LUMAROLL_PUNCH(0),
							   LUMAROLL_PUNCH(1),
							   LUMAROLL_PUNCH(2),
							   LUMAROLL_PUNCH(3),
							   LUMAROLL_PUNCH(4),
							   LUMAROLL_PUNCH(5),
							   LUMAROLL_PUNCH(6),
							   LUMAROLL_PUNCH(7),
							   LUMAROLL_PUNCH(8)};
#undef LUMAROLL_MIX
#undef LUMAROLL_PUNCH

// Colour A (low half of the colour word): RGB 554 when bit 15 is set, else
// ARGB 3443; channels widened to 5 bits, alpha to 4.
Lanes colourA(std::uint32_t c) {
	if (c & 0x8000) {
		std::int32_t b = c & 0x1e;
		return Lanes{std::int32_t((c >> 10) & 0x1f), std::int32_t((c >> 5) & 0x1f), b | (b >> 4), 0xf};
	}
	std::int32_t r = (c >> 8) & 0xf, g = (c >> 4) & 0xf, b = (c >> 1) & 0x7;
	return Lanes{(r << 1) | (r >> 3), (g << 1) | (g >> 3), (b << 2) | (b >> 1), std::int32_t((c >> 11) & 0xe)};
}

// Colour B (high half): RGB 555 when bit 31 is set, else ARGB 3444.
Lanes colourB(std::uint32_t c) {
	if (c & 0x80000000u)
		return Lanes{std::int32_t((c >> 26) & 0x1f), std::int32_t((c >> 21) & 0x1f), std::int32_t((c >> 16) & 0x1f),
					 0xf};
	std::int32_t r = (c >> 24) & 0xf, g = (c >> 20) & 0xf, b = (c >> 16) & 0xf;
	return Lanes{(r << 1) | (r >> 3), (g << 1) | (g >> 3), (b << 1) | (b >> 3), std::int32_t((c >> 27) & 0xe)};
}

// Spreads the low bits of v to every second bit, starting at bit 0.
std::uint64_t spreadBits(std::uint64_t v) {
	std::uint64_t out = 0;
	for (int bit = 0; v >> bit; ++bit)
		out |= ((v >> bit) & 1) << (2 * bit);
	return out;
}

struct Word {
	Pair colours; // A and B widened to 5 bits (alpha 4)
	std::uint32_t modulation;
	std::uint32_t colour; // the raw colour word (bit 0: mode)
};

struct Grid {
	std::int64_t wordsX, wordsY;
	std::int64_t width, height; // of the decoded area: whole words
};

// 2-bit mode: the weight of every pixel of the grid, row by row. A word with
// bit 0 of its colour clear has one bit per pixel; otherwise 2-bit values on
// the pixels whose x + y is even, and the others interpolated from their
// neighbours (all four, horizontal only or vertical only, as the word says).
void unpackTwoBitWeights(const Grid& g, const Word* words, std::uint8_t* weights) {
	const std::int64_t stride = g.width;
	std::vector<std::uint8_t> modes(std::size_t(g.wordsX * g.wordsY));
	for (std::int64_t wy = 0; wy < g.wordsY; ++wy)
		for (std::int64_t wx = 0; wx < g.wordsX; ++wx) {
			const Word& word = words[wy * g.wordsX + wx];
			std::uint32_t bits = word.modulation;
			std::uint8_t* out = weights + wy * 4 * stride + wx * 8;
			if (!(word.colour & 1)) {
				for (int y = 0; y < 4; ++y, out += stride)
					for (int x = 0; x < 8; ++x, bits >>= 1)
						out[x] = (bits & 1) ? 8 : 0;
				continue;
			}
			std::uint8_t mode = 1;
			if (bits & 1) {
				// Bit 0 selects one direction (bit 20: vertical); both then
				// lose their value bit, which takes the one above it.
				mode = (bits & (1u << 20)) ? 3 : 2;
				bits = (bits & ~(1u << 20)) | ((bits >> 1) & (1u << 20));
			}
			bits = (bits & ~1u) | ((bits >> 1) & 1u);
			modes[std::size_t(wy * g.wordsX + wx)] = mode;
			for (int y = 0; y < 4; ++y, out += stride)
				for (int x = y & 1; x < 8; x += 2, bits >>= 2)
					out[x] = kWeights[bits & 3];
		}

	// Neighbours wrap around the grid; they are always stored values, so
	// filling in place is safe.
	for (std::int64_t wy = 0; wy < g.wordsY; ++wy)
		for (std::int64_t wx = 0; wx < g.wordsX; ++wx) {
			const std::uint8_t mode = modes[std::size_t(wy * g.wordsX + wx)];
			if (!mode)
				continue;
			for (int y = 0; y < 4; ++y) {
				const std::int64_t py = wy * 4 + y;
				std::uint8_t* row = weights + py * stride;
				const std::uint8_t* up = weights + (py == 0 ? g.height - 1 : py - 1) * stride;
				const std::uint8_t* down = weights + (py + 1 == g.height ? 0 : py + 1) * stride;
				for (int x = 1 - (y & 1); x < 8; x += 2) {
					const std::int64_t px = wx * 8 + x;
					const std::int64_t left = px == 0 ? g.width - 1 : px - 1;
					const std::int64_t right = px + 1 == g.width ? 0 : px + 1;
					int value;
					if (mode == 1)
						value = (up[px] + down[px] + row[left] + row[right] + 2) / 4;
					else if (mode == 2)
						value = (row[left] + row[right] + 1) / 2;
					else
						value = (up[px] + down[px] + 1) / 2;
					row[px] = std::uint8_t(value);
				}
			}
		}
}

// Decodes the whole grid into target (g.width x g.height pixels). Each region
// spans the centres of a 2 x 2 group of words P Q / R S (wrapping at the right
// and bottom) and interpolates their colours bilinearly.
template <bool TwoBit>
void decodeRegions(const Grid& g, const Word* words, const std::uint8_t* weights, std::uint8_t* target) {
	constexpr int bw = TwoBit ? 8 : 4, bh = 4, halfW = bw / 2, halfH = bh / 2;
	// Interpolated values carry a factor 16 (4-bit) or 32 (2-bit); these
	// shifts widen them to 8 bits the way the format defines.
	constexpr int rgbHi = TwoBit ? 7 : 6, rgbLo = TwoBit ? 2 : 1;
	constexpr int alphaHi = TwoBit ? 5 : 4, alphaLo = TwoBit ? 1 : 0;
	const Pair alphaMask = {0, 0, 0, -1, 0, 0, 0, -1};
	for (std::int64_t ry = -1; ry < g.wordsY - 1; ++ry) {
		const std::int64_t py = ry < 0 ? g.wordsY - 1 : ry, qy = ry + 1;
		for (std::int64_t rx = -1; rx < g.wordsX - 1; ++rx) {
			const std::int64_t px = rx < 0 ? g.wordsX - 1 : rx, qx = rx + 1;
			const Word* quad[4] = {&words[py * g.wordsX + px], &words[py * g.wordsX + qx], &words[qy * g.wordsX + px],
								   &words[qy * g.wordsX + qx]};
			Pair left = std::int16_t(bh) * quad[0]->colours, right = std::int16_t(bh) * quad[1]->colours;
			const Pair leftStep = quad[2]->colours - quad[0]->colours;
			const Pair rightStep = quad[3]->colours - quad[1]->colours;
			for (int y = 0; y < bh; ++y, left += leftStep, right += rightStep) {
				const bool lower = y >= halfH;
				const std::int64_t oy = lower ? qy * bh + y - halfH : py * bh + halfH + y;
				std::uint8_t* orow = target + oy * g.width * 4;
				const Pair step = right - left;
				Pair v = std::int16_t(bw) * left;
				// The region's left half lies in P's (or R's) word column,
				// the right half in Q's (or S's).
				for (int half = 0; half < 2; ++half) {
					const std::int64_t first = half ? qx * bw : px * bw + halfW;
					const Word& word = *quad[(lower ? 2 : 0) + half];
					std::uint32_t bits = 0;
					const std::uint8_t* table = nullptr;
					if (!TwoBit) {
						const int row = lower ? y - halfH : y + halfH;
						bits = word.modulation >> (8 * row + (half ? 0 : 2 * halfW));
						table = (word.colour & 1) ? kPunchWeights : kWeights;
					}
					for (int x = 0; x < halfW; ++x, v += step) {
						Pair e = ((v >> rgbHi) + (v >> rgbLo)) & ~alphaMask;
						e |= ((v >> alphaHi) + (v >> alphaLo)) & alphaMask;
						std::uint8_t weight;
						if (TwoBit) {
							weight = weights[oy * g.width + first + x];
						} else {
							weight = table[bits & 3];
							bits >>= 2;
						}
						const Pair mixed = e * kMix[weight];
						std::uint8_t* o = orow + (first + x) * 4;
						o[0] = std::uint8_t((mixed[0] + mixed[4]) >> 3);
						o[1] = std::uint8_t((mixed[1] + mixed[5]) >> 3);
						o[2] = std::uint8_t((mixed[2] + mixed[6]) >> 3);
						o[3] = std::uint8_t((mixed[3] + mixed[7]) >> 3);
					}
				}
			}
		}
	}
}

} // namespace

std::size_t decompressPvrtc(const void* data, bool twoBitsPerPixel, int width, int height, std::uint8_t* output) {
	if (width < 1 || height < 1)
		return 0;
	const std::int64_t rawW = std::max(width, twoBitsPerPixel ? 16 : 8);
	const std::int64_t rawH = std::max(height, 8);
	const std::size_t size = std::size_t(rawW * rawH / (twoBitsPerPixel ? 4 : 2));

	// Sizes that are not whole words are rounded up to whole words.
	const int blockW = twoBitsPerPixel ? 8 : 4;
	Grid g;
	g.wordsX = (rawW + blockW - 1) / blockW;
	g.wordsY = (rawH + 3) / 4;
	g.width = g.wordsX * blockW;
	g.height = g.wordsY * 4;

	// Morton order over the word grid: y in the even bits, x in the odd ones
	// for as many bits as the smaller count needs, the larger coordinate's
	// remaining bits above. The index splits into a column and a row part.
	int bits = 0;
	while ((std::int64_t(1) << bits) < std::min(g.wordsX, g.wordsY))
		++bits;
	const std::uint64_t low = (std::uint64_t(1) << bits) - 1;
	std::vector<std::uint64_t> mortonX(std::size_t(g.wordsX)), mortonY(std::size_t(g.wordsY));
	for (std::int64_t x = 0; x < g.wordsX; ++x)
		mortonX[std::size_t(x)] = spreadBits(x & low) << 1 | (std::uint64_t(x) >> bits) << (2 * bits);
	for (std::int64_t y = 0; y < g.wordsY; ++y)
		mortonY[std::size_t(y)] = spreadBits(y & low) | (std::uint64_t(y) >> bits) << (2 * bits);

	// Words in row order. When the size is not a power of two the Morton
	// index can point past the level's data: those words read as zero.
	const std::uint64_t available = size / 8;
	const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
	std::unique_ptr<Word[]> words(new Word[std::size_t(g.wordsX * g.wordsY)]);
	for (std::int64_t y = 0; y < g.wordsY; ++y)
		for (std::int64_t x = 0; x < g.wordsX; ++x) {
			const std::uint64_t index = mortonX[std::size_t(x)] | mortonY[std::size_t(y)];
			std::uint32_t m = 0, c = 0;
			if (index < available) {
				const std::uint8_t* p = bytes + index * 8;
				m = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
					std::uint32_t(p[3]) << 24;
				c = std::uint32_t(p[4]) | std::uint32_t(p[5]) << 8 | std::uint32_t(p[6]) << 16 |
					std::uint32_t(p[7]) << 24;
			}
			const Lanes a = colourA(c), b = colourB(c);
			Word& word = words[std::size_t(y * g.wordsX + x)];
			word.colours = Pair{std::int16_t(a[0]), std::int16_t(a[1]), std::int16_t(a[2]), std::int16_t(a[3]),
								std::int16_t(b[0]), std::int16_t(b[1]), std::int16_t(b[2]), std::int16_t(b[3])};
			word.modulation = m;
			word.colour = c;
		}

	// Decode into the output directly when the grid matches it exactly.
	std::unique_ptr<std::uint8_t[]> scratch;
	std::uint8_t* target = output;
	if (g.width != width || g.height != height) {
		scratch.reset(new std::uint8_t[std::size_t(g.width * g.height * 4)]);
		target = scratch.get();
	}

	if (twoBitsPerPixel) {
		std::unique_ptr<std::uint8_t[]> weights(new std::uint8_t[std::size_t(g.width * g.height)]);
		unpackTwoBitWeights(g, words.get(), weights.get());
		decodeRegions<true>(g, words.get(), weights.get(), target);
	} else {
		decodeRegions<false>(g, words.get(), nullptr, target);
	}

	if (target != output)
		for (int y = 0; y < height; ++y)
			std::memcpy(output + std::size_t(y) * std::size_t(width) * 4,
						target + std::size_t(y) * std::size_t(g.width) * 4, std::size_t(width) * 4);
	return size;
}

} // namespace lumaroll
