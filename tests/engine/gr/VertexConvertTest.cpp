#include <gr/VertexFormat.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using gr::VertexFormat;

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

// Element bytes of df holding v, written independently of the conversion code.
std::vector<uint8_t> encode(int df, const float* v) {
	std::vector<uint8_t> out(VertexFormat::getDataFormatSize(df));
	const int dim = VertexFormat::getDataFormatDimension(df);
	for (int k = 0; k < dim; ++k) {
		switch (df) {
		case VertexFormat::S_32:
		case VertexFormat::V2_32:
		case VertexFormat::V3_32:
		case VertexFormat::V4_32:
			memcpy(&out[4 * k], &v[k], 4);
			break;
		case VertexFormat::S_16:
		case VertexFormat::V2_16:
		case VertexFormat::V3_16:
		case VertexFormat::V4_16: {
			const int16_t s = int16_t(v[k]);
			memcpy(&out[2 * k], &s, 2);
			break;
		}
		case VertexFormat::V4_5: {
			const int shift[4] = {0, 5, 10, 15};
			const uint16_t w = uint16_t((out[0] | (out[1] << 8)) | (int(v[k]) << shift[k]));
			out[0] = uint8_t(w);
			out[1] = uint8_t(w >> 8);
			break;
		}
		default:
			out[k] = uint8_t(int8_t(v[k]));
			break;
		}
	}
	return out;
}

// Values every format can hold (V4_5: fields 0..31, w 0..1).
const float SAMPLE[4] = {3.f, 17.f, 29.f, 1.f};

TEST(VertexConvert, EveryPairOfFormats) {
	for (int src = 1; src <= 13; ++src) {
		for (int dst = 1; dst <= 13; ++dst) {
			SCOPED_TRACE(std::string(VertexFormat::getDataFormatName(src)) + " -> " +
						 VertexFormat::getDataFormatName(dst));
			const std::vector<uint8_t> in = encode(src, SAMPLE);
			const int dstSize = VertexFormat::getDataFormatSize(dst);
			std::vector<uint8_t> out(dstSize, 0xCD);
			VertexFormat::copyVertexData(out.data(), dstSize, dst, in.data(), int(in.size()), src, 1);

			float expected[4] = {0.f, 0.f, 0.f, 0.f};
			const int common =
				std::min(VertexFormat::getDataFormatDimension(src), VertexFormat::getDataFormatDimension(dst));
			for (int k = 0; k < common; ++k)
				expected[k] = SAMPLE[k];
			EXPECT_EQ(encode(dst, expected), out);

			float back[4] = {-9.f, -9.f, -9.f, -9.f};
			VertexFormat::readElement(dst, out.data(), back);
			for (int k = 0; k < 4; ++k)
				EXPECT_EQ(expected[k], back[k]) << k;
		}
	}
}

TEST(VertexConvert, StridedCopiesLeavePaddingAlone) {
	// Three V3_16 elements 10 bytes apart into V4_32 elements 20 bytes apart.
	const int16_t src[15] = {1, -2, 3, 99, 99, 4, 5, -6, 99, 99, -32768, 32767, 0, 99, 99};
	float dst[15];
	for (float& f : dst)
		f = 42.f;
	VertexFormat::copyVertexData(dst, 20, VertexFormat::V4_32, src, 10, VertexFormat::V3_16, 3);
	const float expected[15] = {1, -2, 3, 0, 42, 4, 5, -6, 0, 42, -32768, 32767, 0, 0, 42};
	for (int i = 0; i < 15; ++i)
		EXPECT_EQ(expected[i], dst[i]) << i;

	// Same format with differing strides copies element by element.
	int16_t packed[9];
	VertexFormat::copyVertexData(packed, 6, VertexFormat::V3_16, src, 10, VertexFormat::V3_16, 3);
	const int16_t expectedPacked[9] = {1, -2, 3, 4, 5, -6, -32768, 32767, 0};
	EXPECT_EQ(0, memcmp(expectedPacked, packed, sizeof(packed)));
}

TEST(VertexConvert, ColourBytesReadSignedAndWriteLowBits) {
	const uint8_t colour[4] = {255, 128, 0, 255};
	float v[4];
	VertexFormat::copyVertexData(v, 16, VertexFormat::V4_32, colour, 4, VertexFormat::V4_8, 1);
	EXPECT_EQ(-1.f, v[0]);
	EXPECT_EQ(-128.f, v[1]);
	EXPECT_EQ(0.f, v[2]);
	EXPECT_EQ(-1.f, v[3]);

	const float in[4] = {255.f, 128.f, 0.f, 255.f};
	uint8_t out[4];
	VertexFormat::copyVertexData(out, 4, VertexFormat::V4_8, in, 16, VertexFormat::V4_32, 1);
	const uint8_t expected[4] = {0xFF, 0x80, 0x00, 0xFF};
	EXPECT_EQ(0, memcmp(expected, out, 4));
}

TEST(VertexConvert, ScalarFormats) {
	const float in[4] = {-7.9f, 2.f, 3.f, 4.f};
	int16_t s16 = 0;
	VertexFormat::copyVertexData(&s16, 2, VertexFormat::S_16, in, 16, VertexFormat::V4_32, 1);
	EXPECT_EQ(-7, s16);

	const int8_t s8 = -5;
	float v[4] = {9, 9, 9, 9};
	VertexFormat::copyVertexData(v, 16, VertexFormat::V4_32, &s8, 1, VertexFormat::S_8, 1);
	EXPECT_EQ(-5.f, v[0]);
	EXPECT_EQ(0.f, v[1]);
	EXPECT_EQ(0.f, v[2]);
	EXPECT_EQ(0.f, v[3]);

	// An S_32 destination takes a float source's x bit for bit.
	const uint32_t nanBits[2] = {0x7FC01234u, 0};
	uint32_t x = 0;
	VertexFormat::copyVertexData(&x, 4, VertexFormat::S_32, nanBits, 8, VertexFormat::V2_32, 1);
	EXPECT_EQ(0x7FC01234u, x);
}

TEST(VertexConvert, PackedFiveBitFields) {
	const float in[4] = {33.f, -1.f, 31.f, 0.5f};
	uint16_t w = 0;
	VertexFormat::writeElement(VertexFormat::V4_5, &w, in);
	// 33 & 31 = 1; -1 & 31 = 31; w truncates to 0.
	EXPECT_EQ(uint16_t(1 | (31 << 5) | (31 << 10)), w);

	const uint16_t word = 0x8000 | (2 << 10) | (7 << 5) | 30;
	float out[4];
	VertexFormat::readElement(VertexFormat::V4_5, &word, out);
	EXPECT_EQ(30.f, out[0]);
	EXPECT_EQ(7.f, out[1]);
	EXPECT_EQ(2.f, out[2]);
	EXPECT_EQ(1.f, out[3]);
}

TEST(VertexConvert, OutOfRangeAndNaNSaturate) {
	struct Case {
		float in;
		int16_t s16;
		uint8_t s8;
	};
	const Case cases[] = {
		{NaN, 0, 0},
		{1e10f, -1 /* 65535 */, 0xFF},
		{-1e10f, -32768, 0x80},
		{std::numeric_limits<float>::infinity(), -1, 0xFF},
		{-std::numeric_limits<float>::infinity(), -32768, 0x80},
		{70000.f, -1, 0xFF},
		{-40000.f, -32768, 0x80},
		{300.f, 300, 0xFF},
		{40000.f, int16_t(40000), 0xFF},
		{200.f, 200, 200},
		{-100.5f, -100, uint8_t(-100)},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.in);
		const float v[4] = {c.in, c.in, c.in, c.in};
		int16_t s16[4];
		VertexFormat::writeElement(VertexFormat::V4_16, s16, v);
		EXPECT_EQ(c.s16, s16[0]);
		EXPECT_EQ(c.s16, s16[3]);
		uint8_t s8[4];
		VertexFormat::copyVertexData(s8, 4, VertexFormat::V4_8, v, 16, VertexFormat::V4_32, 1);
		EXPECT_EQ(c.s8, s8[0]);
		EXPECT_EQ(c.s8, s8[3]);
		uint16_t packed;
		VertexFormat::writeElement(VertexFormat::V4_5, &packed, v); // defined for every input
	}
}

TEST(VertexConvert, NoneAndInvalidFormats) {
	const float in[4] = {1, 2, 3, 4};
	uint8_t out[16];
	memset(out, 0xAB, sizeof(out));
	VertexFormat::copyVertexData(out, 16, VertexFormat::NONE, in, 16, VertexFormat::V4_32, 1);
	VertexFormat::copyVertexData(out, 16, 14, in, 16, VertexFormat::V4_32, 1);
	VertexFormat::copyVertexData(out, 16, 15, in, 16, 15, 1);
	VertexFormat::writeElement(VertexFormat::NONE, out, in);
	for (uint8_t b : out)
		EXPECT_EQ(0xAB, b);

	// A NONE or invalid source reads as zeros.
	float v[4] = {9, 9, 9, 9};
	VertexFormat::copyVertexData(v, 16, VertexFormat::V4_32, in, 16, VertexFormat::NONE, 1);
	EXPECT_EQ(0.f, v[0] + v[1] + v[2] + v[3]);
	float s = 9;
	VertexFormat::copyVertexData(&s, 4, VertexFormat::S_32, in, 16, 14, 1);
	EXPECT_EQ(0.f, s);

	// readElement of NONE leaves its output alone.
	float keep[4] = {5, 6, 7, 8};
	VertexFormat::readElement(VertexFormat::NONE, in, keep);
	VertexFormat::readElement(14, in, keep);
	EXPECT_EQ(5.f, keep[0]);
	EXPECT_EQ(8.f, keep[3]);

	// Count 0 or less writes nothing.
	VertexFormat::copyVertexData(out, 16, VertexFormat::V4_32, in, 16, VertexFormat::V4_8, 0);
	VertexFormat::copyVertexData(out, 16, VertexFormat::V4_32, in, 16, VertexFormat::V4_8, -3);
	EXPECT_EQ(0xAB, out[0]);
}

TEST(VertexConvert, ScaledCopyAppliesScaleAndBiasPerComponent) {
	const int16_t key[3] = {4096, -2048, 100};
	const float scale[4] = {1.f / 4096, 0.5f, 2.f, 10.f};
	const float bias[4] = {1.f, 0.f, -1.f, 7.f};
	float out[4];
	VertexFormat::copyVertexDataScaled(out, 16, VertexFormat::V4_32, key, 6, VertexFormat::V3_16, scale, bias, 1);
	EXPECT_FLOAT_EQ(2.f, out[0]);
	EXPECT_FLOAT_EQ(-1024.f, out[1]);
	EXPECT_FLOAT_EQ(199.f, out[2]);
	EXPECT_FLOAT_EQ(7.f, out[3]); // absent component becomes the bias

	// Equal formats go through the scale too.
	int16_t same[3];
	const float half[4] = {0.5f, 0.5f, 0.5f, 0.5f};
	const float zero[4] = {0, 0, 0, 0};
	VertexFormat::copyVertexDataScaled(same, 6, VertexFormat::V3_16, key, 6, VertexFormat::V3_16, half, zero, 1);
	EXPECT_EQ(2048, same[0]);
	EXPECT_EQ(-1024, same[1]);
	EXPECT_EQ(50, same[2]);

	float x;
	VertexFormat::copyVertexDataScaled(&x, 4, VertexFormat::S_32, key, 6, VertexFormat::V3_16, scale, bias, 1);
	EXPECT_FLOAT_EQ(2.f, x);
}

TEST(VertexConvert, BoundsOfFloatPositions) {
	const float p[6] = {1, 0, 0, 3, 0, 0};
	const float t[4] = {1, 0, 0, 0};
	math::Vector3 lo, hi;
	float r = -1;
	VertexFormat::computeVertexBounds(p, VertexFormat::V3_32, 2, t, lo, hi, r);
	EXPECT_EQ(1.f, lo.x);
	EXPECT_EQ(3.f, hi.x);
	EXPECT_EQ(0.f, lo.y + lo.z + hi.y + hi.z);
	EXPECT_EQ(3.f, r);
}

TEST(VertexConvert, BoundsOfQuantizedPositions) {
	const int16_t p[6] = {2, 0, 0, 4, 0, 0};
	const float t[4] = {0.5f, 1, 0, 0};
	math::Vector3 lo, hi;
	float r;
	VertexFormat::computeVertexBounds(p, VertexFormat::V3_16, 2, t, lo, hi, r);
	EXPECT_EQ(2.f, lo.x);
	EXPECT_EQ(3.f, hi.x);
	EXPECT_EQ(3.f, r);
}

TEST(VertexConvert, BoundsWithNegativeScaleKeepMinBelowMax) {
	const int16_t p[6] = {2, -4, 10, 6, 8, 20};
	const float t[4] = {-0.5f, 1, 2, 3};
	math::Vector3 lo, hi;
	float r;
	VertexFormat::computeVertexBounds(p, VertexFormat::V3_16, 2, t, lo, hi, r);
	// Transformed vertices: (0, 4, -2) and (-2, -2, -7).
	EXPECT_EQ(-2.f, lo.x);
	EXPECT_EQ(0.f, hi.x);
	EXPECT_EQ(-2.f, lo.y);
	EXPECT_EQ(4.f, hi.y);
	EXPECT_EQ(-7.f, lo.z);
	EXPECT_EQ(-2.f, hi.z);
	EXPECT_FLOAT_EQ(std::sqrt(57.f), r);
}

TEST(VertexConvert, BoundsOfOtherFormatsAndEmptyData) {
	const float p[8] = {1, 2, 3, 4, 5, 6, 7, 8};
	const float t[4] = {1, 0, 0, 0};
	math::Vector3 lo(9, 9, 9), hi(9, 9, 9);
	float r = 9;
	VertexFormat::computeVertexBounds(p, VertexFormat::V2_32, 2, t, lo, hi, r);
	EXPECT_EQ(9.f, lo.x);
	EXPECT_EQ(9.f, hi.z);
	EXPECT_EQ(9.f, r);

	VertexFormat::computeVertexBounds(nullptr, VertexFormat::V2_32, 0, t, lo, hi, r);
	EXPECT_EQ(0.f, lo.x + lo.y + lo.z + hi.x + hi.y + hi.z + r);
}

} // namespace
