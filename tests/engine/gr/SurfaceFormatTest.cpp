#include <gr/SurfaceFormat.h>
#include <gr/GraphicsException.h>
#include <gtest/gtest.h>
#include <cstring>

using gr::SurfaceFormat;

namespace {

struct Row {
	const char* name;
	int bits;
	uint32_t r, g, b, a;
};

const Row TABLE[38] = {
	{"UNKNOWN", 0, 0, 0, 0, 0},
	{"R8G8B8", 24, 0xFF0000, 0xFF00, 0xFF, 0},
	{"B8G8R8", 24, 0xFF, 0xFF00, 0xFF0000, 0},
	{"A8R8G8B8", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
	{"X8R8G8B8", 32, 0xFF0000, 0xFF00, 0xFF, 0},
	{"X8B8G8R8", 32, 0xFF, 0xFF00, 0xFF0000, 0},
	{"A8B8G8R8", 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
	{"R5G6B5", 16, 0xF800, 0x7E0, 0x1F, 0},
	{"R5G5B5", 16, 0x7C00, 0x3E0, 0x1F, 0},
	{"R6G6B6", 32, 0x3F000, 0xFC0, 0x3F, 0},
	{"P4", 4, 0, 0, 0, 0},
	{"P8", 8, 0, 0, 0, 0},
	{"L8", 8, 0xFF, 0xFF, 0xFF, 0},
	{"A1R5G5B5", 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
	{"X4R4G4B4", 16, 0xF00, 0xF0, 0xF, 0},
	{"A4R4G4B4", 16, 0xF00, 0xF0, 0xF, 0xF000},
	{"A4B4G4R4", 16, 0xF, 0xF0, 0xF00, 0xF000},
	{"R4G4B4A4", 16, 0xF000, 0xF00, 0xF0, 0xF},
	{"A1B5G5R5", 16, 0x1F, 0x3E0, 0x7C00, 0x8000},
	{"R5G5B5A1", 16, 0xF800, 0x7C0, 0x3E, 0x1},
	{"R3G3B2", 8, 0xE0, 0x1C, 0x3, 0},
	{"R3G2B3", 8, 0xE0, 0x18, 0x7, 0},
	{"A8", 8, 0, 0, 0, 0xFF},
	{"A8R3G3B2", 16, 0xE0, 0x1C, 0x3, 0xFF00},
	{"A8R3G2B3", 16, 0xE0, 0x18, 0x7, 0xFF00},
	{"DXT1", 0, 0, 0, 0, 0},
	{"DXT3", 0, 0, 0, 0, 0},
	{"DXT5", 0, 0, 0, 0, 0},
	{"R16F", 16, 0, 0, 0, 0},
	{"G16R16F", 32, 0, 0, 0, 0},
	{"A16B16G16R16F", 64, 0, 0, 0, 0},
	{"R32F", 32, 0, 0, 0, 0},
	{"G32R32F", 64, 0, 0, 0, 0},
	{"A32B32G32R32F", 128, 0, 0, 0, 0},
	{"D32", 32, 0, 0, 0, 0},
	{"D24", 24, 0, 0, 0, 0},
	{"D16", 16, 0, 0, 0, 0},
	{"D24S8", 32, 0, 0, 0, 0},
};

TEST(SurfaceFormat, TableOfFormats) {
	EXPECT_EQ(38, int(SurfaceFormat::SURFACE_FORMAT_COUNT));
	EXPECT_EQ(SurfaceFormat::UNKNOWN, SurfaceFormat().type());
	for (int t = 0; t < 38; ++t) {
		SCOPED_TRACE(TABLE[t].name);
		const SurfaceFormat f((SurfaceFormat::SurfaceFormatType)t);
		EXPECT_STREQ(TABLE[t].name, f.toString());
		EXPECT_EQ(TABLE[t].bits, f.bitsPerPixel());
		EXPECT_EQ(TABLE[t].r, f.getChannelMask(0));
		EXPECT_EQ(TABLE[t].g, f.getChannelMask(1));
		EXPECT_EQ(TABLE[t].b, f.getChannelMask(2));
		EXPECT_EQ(TABLE[t].a, f.getChannelMask(3));
		const bool dxt = t >= SurfaceFormat::DXT1 && t <= SurfaceFormat::DXT5;
		EXPECT_EQ(TABLE[t].a != 0 || dxt, f.hasAlpha());
		if (t != 0) {
			EXPECT_EQ(t, SurfaceFormat::parse(TABLE[t].name).type());
		}
	}
}

TEST(SurfaceFormat, ParseRefusesUnknownNames) {
	EXPECT_EQ(27, SurfaceFormat::parse("DXT5").type());
	for (const char* name : {"dxt5", "UNKNOWN", "", "A8R8G8B8 "}) {
		try {
			SurfaceFormat::parse(name);
			ADD_FAILURE() << name;
		} catch (gr::GraphicsException& e) {
			EXPECT_EQ(std::string("Unknown surface format: ") + name, lang::String(e.getMessage()).c_str());
		}
	}
}

TEST(SurfaceFormat, SurfaceSize) {
	EXPECT_EQ(32, SurfaceFormat(SurfaceFormat::DXT1).getSurfaceSize(5, 5));
	EXPECT_EQ(16, SurfaceFormat(SurfaceFormat::DXT5).getSurfaceSize(4, 4));
	EXPECT_EQ(16, SurfaceFormat(SurfaceFormat::DXT3).getSurfaceSize(1, 1));
	EXPECT_EQ(36, SurfaceFormat(SurfaceFormat::A8R8G8B8).getSurfaceSize(3, 3));
	EXPECT_EQ(1, SurfaceFormat(SurfaceFormat::P4).getSurfaceSize(3, 1));
	EXPECT_EQ(27, SurfaceFormat(SurfaceFormat::R8G8B8).getSurfaceSize(3, 3));
}

TEST(SurfaceFormat, ChannelsAndPalettes) {
	EXPECT_EQ(6, SurfaceFormat(SurfaceFormat::R5G6B5).getChannelBits(1));
	EXPECT_EQ(5, SurfaceFormat(SurfaceFormat::R5G6B5).getChannelBits(0));
	EXPECT_EQ(0, SurfaceFormat(SurfaceFormat::R5G6B5).getChannelBits(3));
	EXPECT_EQ(16, SurfaceFormat(SurfaceFormat::P4).getPaletteSize());
	EXPECT_EQ(256, SurfaceFormat(SurfaceFormat::P8).getPaletteSize());
	EXPECT_EQ(0, SurfaceFormat(SurfaceFormat::L8).getPaletteSize());
	EXPECT_TRUE(SurfaceFormat(SurfaceFormat::DXT1).hasAlpha());
	EXPECT_FALSE(SurfaceFormat(SurfaceFormat::R5G6B5).hasAlpha());
	EXPECT_FALSE(SurfaceFormat(SurfaceFormat::A16B16G16R16F).hasAlpha());
}

TEST(SurfaceFormat, FromPixelMasksTakesTheLastEqualRow) {
	EXPECT_EQ(SurfaceFormat::R5G6B5, SurfaceFormat::fromPixelMasks(16, 0xF800, 0x7E0, 0x1F, 0).type());
	EXPECT_EQ(SurfaceFormat::A8R8G8B8, SurfaceFormat::fromPixelMasks(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000).type());
	EXPECT_EQ(SurfaceFormat::D24S8, SurfaceFormat::fromPixelMasks(32, 0, 0, 0, 0).type());
	EXPECT_EQ(SurfaceFormat::D16, SurfaceFormat::fromPixelMasks(16, 0, 0, 0, 0).type());
	EXPECT_EQ(SurfaceFormat::DXT5, SurfaceFormat::fromPixelMasks(0, 0, 0, 0, 0).type());
	EXPECT_EQ(SurfaceFormat::UNKNOWN, SurfaceFormat::fromPixelMasks(16, 1, 2, 3, 4).type());
}

TEST(SurfaceFormat, FloatToHalf) {
	auto half = [](float f) {
		uint32_t b;
		memcpy(&b, &f, 4);
		return SurfaceFormat::floatToHalf(b);
	};
	EXPECT_EQ(0x3C00, half(1.f));
	EXPECT_EQ(0x7C00, half(65520.f)); // rounds up into infinity
	EXPECT_EQ(0x7BFF, half(65504.f));
	EXPECT_EQ(0xC000, half(-2.f));
	EXPECT_EQ(0, half(1e-10f));
	EXPECT_EQ(0, half(-1e-10f)); // sign dropped below the denormals
	EXPECT_EQ(0x7C00, half(1e10f));
	EXPECT_EQ(0xFC00, half(-1e10f));
	EXPECT_EQ(0x0001, half(5.9604645e-8f)); // smallest half denormal
	EXPECT_EQ(0x0200, half(3.0517578e-5f)); // 2^-15
	EXPECT_EQ(0x3C01, half(1.0009765625f));
	EXPECT_EQ(0x3C01, half(1.00048828125f)); // half way rounds up, not to even
	EXPECT_EQ(0x7C00, SurfaceFormat::floatToHalf(0x7F800000));
	EXPECT_EQ(0xFC00, SurfaceFormat::floatToHalf(0xFF800000));
	EXPECT_EQ(0x7C01, SurfaceFormat::floatToHalf(0x7F800001)); // NaN keeps a mantissa bit
	EXPECT_EQ(0x7E00, SurfaceFormat::floatToHalf(0x7FC00000));
}

} // namespace
