#include <gr/SurfaceFormat.h>
#include "support/DxtBlockWriter.h"
#include <gtest/gtest.h>
#include <cstring>
#include <vector>

using gr::SurfaceFormat;

namespace {

const SurfaceFormat NO_FORMAT;

uint32_t encoded(SurfaceFormat::SurfaceFormatType type, uint32_t colour) {
	uint8_t buf[16];
	memset(buf, 0, sizeof(buf));
	SurfaceFormat::encodePixel(type, buf, NO_FORMAT, nullptr, colour);
	uint32_t v;
	memcpy(&v, buf, 4);
	const int bits = SurfaceFormat(type).bitsPerPixel();
	return bits >= 32 ? v : v & ((1u << bits) - 1);
}

TEST(SurfacePixels, EncodePixel) {
	EXPECT_EQ(0x11AAu, encoded(SurfaceFormat::R5G6B5, 0x80123456));
	EXPECT_EQ(0xFF123456u, encoded(SurfaceFormat::X8R8G8B8, 0x80123456));
	EXPECT_EQ(0x80123456u, encoded(SurfaceFormat::A8R8G8B8, 0x80123456));
	EXPECT_EQ(0x56u, encoded(SurfaceFormat::L8, 0x80123456));
	EXPECT_EQ(0x8135u, encoded(SurfaceFormat::A4R4G4B4, 0x80123456));
	EXPECT_EQ(0x80563412u, encoded(SurfaceFormat::A8B8G8R8, 0x80123456));
	EXPECT_EQ(0x123456u, encoded(SurfaceFormat::R8G8B8, 0x80123456));
	EXPECT_EQ(0x80u, encoded(SurfaceFormat::A8, 0x80123456));
	// Bits outside every mask are set.
	EXPECT_EQ(0x8000u | (2 << 10) | (6 << 5) | 10, encoded(SurfaceFormat::R5G5B5, 0x00123456));
	EXPECT_EQ(0x3Fu << 18 | (0x12 >> 2) << 12 | (0x34 >> 2) << 6 | (0x56 >> 2),
			  encoded(SurfaceFormat::R6G6B6, 0x00123456) & 0xFFFFFFu);
	EXPECT_EQ(0xFFu, encoded(SurfaceFormat::P8, 0x00123456)); // no palette: all bits set

	uint8_t dxt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
	SurfaceFormat::encodePixel(SurfaceFormat::DXT1, dxt, NO_FORMAT, nullptr, 0);
	EXPECT_EQ(1, dxt[0]);
}

TEST(SurfacePixels, DecodeDoesNotReplicateHighBits) {
	const uint16_t white565 = 0xFFFF;
	uint32_t argb = 0;
	SurfaceFormat::copyPixels(SurfaceFormat::A8R8G8B8, &argb, NO_FORMAT, nullptr, SurfaceFormat::R5G6B5, &white565,
							  NO_FORMAT, nullptr, 1);
	EXPECT_EQ(0xFFF8FCF8u, argb); // 5 bits 11111 become 248, alpha opaque
}

TEST(SurfacePixels, CopyPixelsConvertsRows) {
	const uint32_t src[3] = {0x80FF0000, 0x4000FF00, 0x000000FF};
	uint16_t dst[3];
	SurfaceFormat::copyPixels(SurfaceFormat::A4R4G4B4, dst, NO_FORMAT, nullptr, SurfaceFormat::A8R8G8B8, src, NO_FORMAT,
							  nullptr, 3);
	EXPECT_EQ(0x8F00, dst[0]);
	EXPECT_EQ(0x40F0, dst[1]);
	EXPECT_EQ(0x000F, dst[2]);

	// Equal formats copy the bytes unchanged.
	uint32_t same[3] = {0, 0, 0};
	SurfaceFormat::copyPixels(SurfaceFormat::A8R8G8B8, same, NO_FORMAT, nullptr, SurfaceFormat::A8R8G8B8, src,
							  NO_FORMAT, nullptr, 3);
	EXPECT_EQ(0, memcmp(src, same, sizeof(src)));

	// 24-bit destinations take three bytes each.
	uint8_t rgb[9];
	SurfaceFormat::copyPixels(SurfaceFormat::B8G8R8, rgb, NO_FORMAT, nullptr, SurfaceFormat::A8R8G8B8, src, NO_FORMAT,
							  nullptr, 3);
	const uint8_t expectedRgb[9] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF}; // red in the low byte
	EXPECT_EQ(0, memcmp(expectedRgb, rgb, 9));
}

TEST(SurfacePixels, DxtOnEitherSideOfCopyPixelsWritesNothing) {
	uint32_t argb[2] = {0x11111111, 0x22222222};
	const uint8_t block[8] = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
	SurfaceFormat::copyPixels(SurfaceFormat::A8R8G8B8, argb, NO_FORMAT, nullptr, SurfaceFormat::DXT1, block, NO_FORMAT,
							  nullptr, 2);
	EXPECT_EQ(0x11111111u, argb[0]);
	uint8_t out[8] = {};
	SurfaceFormat::copyPixels(SurfaceFormat::DXT5, out, NO_FORMAT, nullptr, SurfaceFormat::A8R8G8B8, argb, NO_FORMAT,
							  nullptr, 2);
	EXPECT_EQ(0, out[0]);
}

TEST(SurfacePixels, PaletteSourceAndNearestEntryDestination) {
	const uint32_t palette[4] = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
	const uint8_t indices[4] = {3, 1, 0, 2};
	uint32_t argb[4];
	SurfaceFormat::copyPixels(SurfaceFormat::A8R8G8B8, argb, NO_FORMAT, nullptr, SurfaceFormat::P8, indices,
							  SurfaceFormat::A8R8G8B8, palette, 4);
	EXPECT_EQ(0xFF0000FFu, argb[0]);
	EXPECT_EQ(0xFFFF0000u, argb[1]);
	EXPECT_EQ(0xFF000000u, argb[2]);
	EXPECT_EQ(0xFF00FF00u, argb[3]);

	uint32_t pal256[256];
	for (int i = 0; i < 256; ++i)
		pal256[i] = palette[i & 3];
	const uint32_t colours[3] = {0xFF10F010, 0xFF0000FF, 0xFFE00000};
	uint8_t out[3];
	SurfaceFormat::copyPixels(SurfaceFormat::P8, out, SurfaceFormat::A8R8G8B8, pal256, SurfaceFormat::A8R8G8B8, colours,
							  NO_FORMAT, nullptr, 3);
	EXPECT_EQ(2, out[0]); // nearest is green
	EXPECT_EQ(3, out[1]); // exact blue, first found
	EXPECT_EQ(1, out[2]);
}

TEST(SurfacePixels, FourBitPixelsShareBytesConsistently) {
	uint16_t palette[16];
	for (int i = 0; i < 16; ++i)
		palette[i] = uint16_t(0xF000 | (i << 8) | (i << 4) | i); // A4R4G4B4 greys
	const uint32_t greys[3] = {0xFF333333, 0xFFA2A2A2, 0xFF111111};
	uint8_t p4[2] = {0, 0};
	SurfaceFormat::copyPixels(SurfaceFormat::P4, p4, SurfaceFormat::A4R4G4B4, palette, SurfaceFormat::A8R8G8B8, greys,
							  NO_FORMAT, nullptr, 3);
	uint32_t back[3];
	SurfaceFormat::copyPixels(SurfaceFormat::A8R8G8B8, back, NO_FORMAT, nullptr, SurfaceFormat::P4, p4,
							  SurfaceFormat::A4R4G4B4, palette, 3);
	EXPECT_EQ(0xF0303030u, back[0]);
	EXPECT_EQ(0xF0A0A0A0u, back[1]);
	EXPECT_EQ(0xF0101010u, back[2]);
}

TEST(SurfacePixels, FloatFormats) {
	const uint32_t colour = 0x80FF0033;
	float rgba[4] = {-1, -1, -1, -1};
	SurfaceFormat::encodePixel(SurfaceFormat::A32B32G32R32F, rgba, NO_FORMAT, nullptr, colour);
	EXPECT_FLOAT_EQ(1.f, rgba[0]);
	EXPECT_FLOAT_EQ(0.f, rgba[1]);
	EXPECT_FLOAT_EQ(0.2f, rgba[2]);
	EXPECT_FLOAT_EQ(128 * 0.003921569f, rgba[3]);

	float r[2] = {-1, -1};
	SurfaceFormat::encodePixel(SurfaceFormat::R32F, r, NO_FORMAT, nullptr, colour);
	EXPECT_FLOAT_EQ(1.f, r[0]);
	EXPECT_EQ(-1.f, r[1]); // components the format lacks are not written

	uint16_t halves[4];
	SurfaceFormat::encodePixel(SurfaceFormat::A16B16G16R16F, halves, NO_FORMAT, nullptr, 0xFFFF0000);
	EXPECT_EQ(0x3C00, halves[0]);
	EXPECT_EQ(0, halves[1]);
	EXPECT_EQ(0x3C00, halves[3]);

	// Reading: clamped to 0..1, missing colour 0, missing alpha opaque.
	const float rg[2] = {2.f, -0.5f};
	float out[4];
	SurfaceFormat::readPixel(SurfaceFormat::G32R32F, 0, 0, rg, 8, NO_FORMAT, nullptr, out);
	EXPECT_EQ(1.f, out[0]);
	EXPECT_EQ(0.f, out[1]);
	EXPECT_EQ(0.f, out[2]);
	EXPECT_EQ(1.f, out[3]);

	const uint16_t denormal = 0x0200; // 2^-15, below one step of 255
	SurfaceFormat::readPixel(SurfaceFormat::R16F, 0, 0, &denormal, 2, NO_FORMAT, nullptr, out);
	EXPECT_EQ(0.f, out[0]);
	const uint16_t half = 0x3800; // 0.5 -> 127
	SurfaceFormat::readPixel(SurfaceFormat::R16F, 0, 0, &half, 2, NO_FORMAT, nullptr, out);
	EXPECT_FLOAT_EQ(127.f / 255.f, out[0]);
}

TEST(SurfacePixels, ReadPixelOfMaskedFormats) {
	const uint16_t pixels[4] = {0, 0, 0, 0xF0F0}; // 2x2 A4R4G4B4, pitch 4
	float out[4];
	SurfaceFormat::readPixel(SurfaceFormat::A4R4G4B4, 1, 1, pixels, 4, NO_FORMAT, nullptr, out);
	EXPECT_FLOAT_EQ(240.f / 255.f, out[3]);
	EXPECT_FLOAT_EQ(0.f, out[0]);
	EXPECT_FLOAT_EQ(240.f / 255.f, out[1]);
	EXPECT_FLOAT_EQ(0.f, out[2]);

	const uint8_t lum = 0x40;
	SurfaceFormat::readPixel(SurfaceFormat::L8, 0, 0, &lum, 1, NO_FORMAT, nullptr, out);
	EXPECT_FLOAT_EQ(64.f / 255.f, out[0]);
	EXPECT_FLOAT_EQ(64.f / 255.f, out[2]);
	EXPECT_FLOAT_EQ(1.f, out[3]);
}

// --- DXT --------------------------------------------------------------------

struct Texel {
	int r, g, b, a;
};

Texel texel(SurfaceFormat::SurfaceFormatType type, const std::vector<uint8_t>& data, int pitch, int x, int y) {
	float out[4];
	SurfaceFormat::readPixel(type, x, y, data.data(), pitch, NO_FORMAT, nullptr, out);
	Texel t = {int(out[0] * 255.f + 0.5f), int(out[1] * 255.f + 0.5f), int(out[2] * 255.f + 0.5f),
			   int(out[3] * 255.f + 0.5f)};
	return t;
}

void expectTexel(const Texel& expected, const Texel& actual) {
	EXPECT_EQ(expected.r, actual.r);
	EXPECT_EQ(expected.g, actual.g);
	EXPECT_EQ(expected.b, actual.b);
	EXPECT_EQ(expected.a, actual.a);
}

const int RAMP[16] = {0, 1, 2, 3, 1, 2, 3, 0, 2, 3, 0, 1, 3, 0, 1, 2};

TEST(SurfacePixels, Dxt1FourColourMode) {
	// c0 = (31, 0, 0) red, c1 = (0, 63, 31) cyan; c0 > c1.
	const uint16_t c0 = test::rgb565(31, 0, 0), c1 = test::rgb565(0, 63, 31);
	ASSERT_GT(c0, c1);
	const std::vector<uint8_t> block = test::dxtColourBlock(c0, c1, RAMP);
	const Texel palette[4] = {
		{255, 0, 0, 255},
		{0, 255, 255, 255},
		{(2 * 255 + 0 + 1) / 3, (0 + 255 + 1) / 3, (0 + 255 + 1) / 3, 255},
		{(255 + 0 + 1) / 3, (0 + 2 * 255 + 1) / 3, (0 + 2 * 255 + 1) / 3, 255},
	};
	for (int t = 0; t < 16; ++t) {
		SCOPED_TRACE(t);
		expectTexel(palette[RAMP[t]], texel(SurfaceFormat::DXT1, block, 8, t % 4, t / 4));
	}
}

TEST(SurfacePixels, Dxt1ThreeColourModeHasTransparentBlack) {
	// c0 <= c1 selects three colours; index 3 is transparent black.
	const uint16_t c0 = test::rgb565(0, 0, 10), c1 = test::rgb565(20, 40, 10);
	ASSERT_LE(c0, c1);
	const std::vector<uint8_t> block = test::dxtColourBlock(c0, c1, RAMP);
	const int b = 10 * 255 / 31, r = 20 * 255 / 31, g = 40 * 255 / 63;
	const Texel palette[4] = {
		{0, 0, b, 255},
		{r, g, b, 255},
		{r / 2, g / 2, b, 255},
		{0, 0, 0, 0},
	};
	for (int t = 0; t < 16; ++t) {
		SCOPED_TRACE(t);
		expectTexel(palette[RAMP[t]], texel(SurfaceFormat::DXT1, block, 8, t % 4, t / 4));
	}

	// Equal endpoints are three-colour mode too.
	const std::vector<uint8_t> flat = test::dxtColourBlock(c1, c1, RAMP);
	expectTexel(Texel{0, 0, 0, 0}, texel(SurfaceFormat::DXT1, flat, 8, 3, 0));
	expectTexel(Texel{r, g, b, 255}, texel(SurfaceFormat::DXT1, flat, 8, 2, 0));
}

TEST(SurfacePixels, Dxt3ExplicitAlpha) {
	int alpha[16];
	for (int t = 0; t < 16; ++t)
		alpha[t] = 15 - t;
	const uint16_t c0 = test::rgb565(31, 63, 31), c1 = 0;
	const std::vector<uint8_t> block = test::dxt3Block(alpha, c0, c1, RAMP);
	for (int t = 0; t < 16; ++t) {
		SCOPED_TRACE(t);
		const Texel got = texel(SurfaceFormat::DXT3, block, 16, t % 4, t / 4);
		EXPECT_EQ((15 - t) * 17, got.a);
		const int grey[4] = {255, 0, 170, 85};
		EXPECT_EQ(grey[RAMP[t]], got.r);
	}

	// The colour half follows the three-colour rule, index 3 black, alpha from its own half.
	const std::vector<uint8_t> three = test::dxt3Block(alpha, 0, c0, RAMP);
	expectTexel(Texel{0, 0, 0, 12 * 17}, texel(SurfaceFormat::DXT3, three, 16, 3, 0));
}

TEST(SurfacePixels, Dxt5InterpolatedAlpha) {
	int indices[16];
	for (int t = 0; t < 16; ++t)
		indices[t] = t & 7;
	const uint16_t white = test::rgb565(31, 63, 31);
	const int zero[16] = {};

	// a0 > a1: eight interpolated values.
	const std::vector<uint8_t> eight = test::dxt5Block(200, 10, indices, white, 0, zero);
	const int expected8[8] = {200,
							  10,
							  (6 * 200 + 10 + 3) / 7,
							  (5 * 200 + 2 * 10 + 3) / 7,
							  (4 * 200 + 3 * 10 + 3) / 7,
							  (3 * 200 + 4 * 10 + 3) / 7,
							  (2 * 200 + 5 * 10 + 3) / 7,
							  (200 + 6 * 10 + 3) / 7};
	for (int t = 0; t < 16; ++t)
		EXPECT_EQ(expected8[t & 7], texel(SurfaceFormat::DXT5, eight, 16, t % 4, t / 4).a) << t;

	// a0 <= a1: six values, then 0 and 255.
	const std::vector<uint8_t> six = test::dxt5Block(10, 200, indices, white, 0, zero);
	const int expected6[8] = {
		10, 200, (4 * 10 + 200 + 2) / 5, (3 * 10 + 2 * 200 + 2) / 5, (2 * 10 + 3 * 200 + 2) / 5, (10 + 4 * 200 + 2) / 5,
		0,	255};
	for (int t = 0; t < 16; ++t) {
		const Texel got = texel(SurfaceFormat::DXT5, six, 16, t % 4, t / 4);
		EXPECT_EQ(expected6[t & 7], got.a) << t;
		EXPECT_EQ(255, got.r);
	}
}

TEST(SurfacePixels, DxtBlockAddressing) {
	// 8x8 DXT1 of four uniform blocks: red, green / blue, white; pitch of a block row 16 bytes.
	const int zero[16] = {};
	const uint16_t colours[4] = {test::rgb565(31, 0, 0), test::rgb565(0, 63, 0), test::rgb565(0, 0, 31),
								 test::rgb565(31, 63, 31)};
	std::vector<uint8_t> data;
	for (uint16_t c : colours) {
		const std::vector<uint8_t> b = test::dxtColourBlock(c, 0, zero);
		data.insert(data.end(), b.begin(), b.end());
	}
	expectTexel(Texel{255, 0, 0, 255}, texel(SurfaceFormat::DXT1, data, 16, 3, 3));
	expectTexel(Texel{0, 255, 0, 255}, texel(SurfaceFormat::DXT1, data, 16, 4, 0));
	expectTexel(Texel{0, 0, 255, 255}, texel(SurfaceFormat::DXT1, data, 16, 0, 7));
	expectTexel(Texel{255, 255, 255, 255}, texel(SurfaceFormat::DXT1, data, 16, 7, 4));

	// convertSurface decodes the blocks texel by texel.
	uint32_t argb[64];
	SurfaceFormat::convertSurface(SurfaceFormat::A8R8G8B8, argb, 32, NO_FORMAT, nullptr, SurfaceFormat::DXT1,
								  data.data(), 16, NO_FORMAT, nullptr, 8, 8);
	EXPECT_EQ(0xFFFF0000u, argb[0]);
	EXPECT_EQ(0xFF00FF00u, argb[7]);
	EXPECT_EQ(0xFF0000FFu, argb[4 * 8 + 3]);
	EXPECT_EQ(0xFFFFFFFFu, argb[63]);
}

TEST(SurfacePixels, ConvertSurfaceRowsWithPitches) {
	// 2x2 R5G6B5 with a padded source pitch into A8R8G8B8 with a padded destination pitch.
	const uint16_t src[6] = {0xF800, 0x07E0, 0xDEAD, 0x001F, 0x0000, 0xBEEF};
	uint32_t dst[6];
	for (uint32_t& d : dst)
		d = 0x12345678;
	SurfaceFormat::convertSurface(SurfaceFormat::A8R8G8B8, dst, 12, NO_FORMAT, nullptr, SurfaceFormat::R5G6B5, src, 6,
								  NO_FORMAT, nullptr, 2, 2);
	EXPECT_EQ(0xFFF80000u, dst[0]);
	EXPECT_EQ(0xFF00FC00u, dst[1]);
	EXPECT_EQ(0x12345678u, dst[2]);
	EXPECT_EQ(0xFF0000F8u, dst[3]);
	EXPECT_EQ(0xFF000000u, dst[4]);
	EXPECT_EQ(0x12345678u, dst[5]);

	// A DXT destination is left unchanged.
	uint8_t block[8] = {9, 9, 9, 9, 9, 9, 9, 9};
	SurfaceFormat::convertSurface(SurfaceFormat::DXT1, block, 8, NO_FORMAT, nullptr, SurfaceFormat::R5G6B5, src, 6,
								  NO_FORMAT, nullptr, 2, 2);
	EXPECT_EQ(9, block[0]);
}

} // namespace
