#include <gr/ImageFile.h>

#include "support/NamedPipe.h"
#include "support/PvrWriter.h"
#include "support/PvrtcWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <random>
#include <string>

using namespace lumaroll;
using namespace lumaroll::test;

namespace {

typedef std::vector<std::uint8_t> Bytes;
typedef std::array<int, 4> Rgba;

Rgba pixel(const ImageData::Level& level, int x, int y) {
	const std::uint8_t* p = &level.pixels[(std::size_t(y) * level.width + x) * 4];
	return {p[0], p[1], p[2], p[3]};
}

// Writes bytes to the scratch file name and loads it.
bool loadBytes(const Bytes& bytes, const std::string& name, ImageData& image) {
	const std::string path = ::test::tempPath(name);
	writeBytes(path, bytes);
	return loadImageFile(path, image);
}

PvrHeader header(int width, int height, std::uint32_t formatAndFlags, std::uint32_t mipMaps = 0) {
	PvrHeader h;
	h.width = width;
	h.height = height;
	h.formatAndFlags = formatAndFlags;
	h.mipMapCount = mipMaps;
	return h;
}

Bytes pngOf(int width, int height, int channels, const Bytes& pixels) {
	Bytes out;
	stbi_write_png_to_func(
		[](void* context, void* data, int size) {
			auto* bytes = static_cast<Bytes*>(context);
			bytes->insert(bytes->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
		},
		&out, width, height, channels, pixels.data(), width * channels);
	return out;
}

struct FormatCase {
	unsigned format;
	Bytes data; // two pixels
	Rgba first, second;
};

// Chosen so that every channel lands on a distinct value.
const FormatCase kFormats[] = {
	{0x00, {0x34, 0x12, 0xa5, 0xf0}, {34, 51, 68, 17}, {0, 170, 85, 255}}, // ARGB 4444
	{0x01, {0x30, 0xfc, 0x01, 0x00}, {255, 8, 132, 255}, {0, 0, 8, 0}},	   // ARGB 1555
	{0x02, {0x22, 0xf8, 0xe0, 0x07}, {255, 4, 16, 255}, {0, 255, 0, 255}}, // RGB 565
	{0x13, {0x22, 0xf8, 0xe0, 0x07}, {255, 4, 16, 255}, {0, 255, 0, 255}},
	{0x03, {0xe0, 0x87, 0x1f, 0x00}, {8, 255, 0, 255}, {0, 0, 255, 255}}, // RGB 555, bit 15 ignored
	{0x14, {0xe0, 0x87, 0x1f, 0x00}, {8, 255, 0, 255}, {0, 0, 255, 255}},
	{0x04, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 255}, {4, 5, 6, 255}}, // RGB 888
	{0x15, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 255}, {4, 5, 6, 255}},
	{0x05, {1, 2, 3, 4, 5, 6, 7, 8}, {3, 2, 1, 4}, {7, 6, 5, 8}}, // BGRA 8888
	{0x1a, {1, 2, 3, 4, 5, 6, 7, 8}, {3, 2, 1, 4}, {7, 6, 5, 8}},
	{0x07, {9, 200}, {9, 9, 9, 255}, {200, 200, 200, 255}}, // intensity 8
	{0x16, {9, 200}, {9, 9, 9, 255}, {200, 200, 200, 255}},
	{0x08, {9, 100, 200, 0}, {9, 9, 9, 100}, {200, 200, 200, 0}}, // intensity-alpha 88
	{0x17, {9, 100, 200, 0}, {9, 9, 9, 100}, {200, 200, 200, 0}},
	{0x10, {0x34, 0x12, 0x0f, 0xf0}, {17, 34, 51, 68}, {255, 0, 0, 255}}, // RGBA 4444
	{0x11, {0x89, 0xf8, 0x02, 0x00}, {255, 16, 33, 255}, {0, 0, 8, 0}},	  // RGBA 5551
	{0x12, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4}, {5, 6, 7, 8}},		  // RGBA 8888
	{0x1b, {7, 250}, {255, 255, 255, 7}, {255, 255, 255, 250}},			  // alpha 8
};

class PvrFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PvrFormat, ConvertsPixelsToRgba) {
	const FormatCase& c = GetParam();
	ImageData image;
	ASSERT_TRUE(loadBytes(legacyPvr(header(2, 1, c.format), c.data), "format.pvr", image)) << image.error;
	ASSERT_EQ(image.levels.size(), 1u);
	const auto& level = image.levels[0];
	EXPECT_EQ(level.width, 2);
	EXPECT_EQ(level.height, 1);
	ASSERT_EQ(level.pixels.size(), 8u);
	EXPECT_EQ(pixel(level, 0, 0), c.first);
	EXPECT_EQ(pixel(level, 1, 0), c.second);
	EXPECT_TRUE(image.error.empty());
	EXPECT_FALSE(image.hasAlpha);
	EXPECT_FALSE(image.flipVertical);
}

INSTANTIATE_TEST_SUITE_P(ImageFile, PvrFormat, ::testing::ValuesIn(kFormats),
						 [](const ::testing::TestParamInfo<FormatCase>& info) {
							 char name[16];
							 std::snprintf(name, sizeof name, "format_%02x", info.param.format);
							 return std::string(name);
						 });

TEST(ImageFile, UnsupportedPvrFormatsFail) {
	for (unsigned format : {0x06u, 0x09u, 0x0au, 0x0bu, 0x0eu, 0x0fu, 0x1cu, 0xffu}) {
		ImageData image;
		EXPECT_FALSE(loadBytes(legacyPvr(header(2, 2, format), Bytes(64, 1)), "bad.pvr", image));
		char text[64];
		std::snprintf(text, sizeof text, "PVR format 0x%02x not supported", format);
		EXPECT_EQ(image.error, text);
		EXPECT_TRUE(image.levels.empty());
	}
}

struct ErrorCase {
	const char* name;
	Bytes bytes;
	const char* fileName;
	const char* error;
};

Bytes withHeaderSize(std::uint32_t size) {
	PvrHeader h = header(1, 1, 0x12);
	h.headerSize = size;
	return legacyPvr(h, Bytes(4, 1));
}

Bytes pvrV3() {
	Bytes b = {'P', 'V', 'R', 3};
	b.resize(80, 0);
	return b;
}

TEST(ImageFile, FailuresCarryTheirTexts) {
	const ErrorCase cases[] = {
		{"header size beyond the file", withHeaderSize(57), "a.pvr", "invalid PVR header"},
		{"zero width", legacyPvr(header(0, 1, 0x12), Bytes(4)), "a.pvr", "invalid PVR header"},
		{"negative height", legacyPvr(header(1, -1, 0x12), Bytes(4)), "a.pvr", "invalid PVR header"},
		{"twiddled uncompressed", legacyPvr(header(1, 1, 0x12 | kPvrTwiddled), Bytes(4)), "a.pvr",
		 "uncompressed twiddled PVR not supported"},
		{"short first level", legacyPvr(header(2, 2, 0x02), Bytes(7)), "a.pvr", "PVR format 0x02 not supported"},
		{"PVRTC without a whole level", legacyPvr(header(8, 8, 0x19), Bytes(31)), "a.pvr", "PVR without data"},
		{"later PVR header", pvrV3(), "a.png", "PVR v3 not supported yet"},
		{"later PVR header, short", {'P', 'V', 'R', 3}, "a.pvr", "PVR v3 not supported yet"},
		{"pvr name without a header", pngOf(1, 1, 4, {1, 2, 3, 4}), "a.PVR", ".pvr file without a known signature"},
		{"short pvr file", Bytes(51, 0), "a.pvr", ".pvr file without a known signature"},
	};
	for (const ErrorCase& c : cases) {
		ImageData image;
		EXPECT_FALSE(loadBytes(c.bytes, c.fileName, image)) << c.name;
		EXPECT_EQ(image.error, c.error) << c.name;
		EXPECT_TRUE(image.levels.empty()) << c.name;
	}
}

TEST(ImageFile, HeaderSizeGivesTheDataOffset) {
	PvrHeader h = header(1, 1, 0x12);
	h.headerSize = 56;
	ImageData image;
	ASSERT_TRUE(loadBytes(legacyPvr(h, {9, 9, 9, 9, 1, 2, 3, 4}), "offset.pvr", image)) << image.error;
	EXPECT_EQ(pixel(image.levels[0], 0, 0), (Rgba{1, 2, 3, 4}));
}

TEST(ImageFile, PvrTagWinsOverAPngName) {
	ImageData image;
	ASSERT_TRUE(loadBytes(legacyPvr(header(1, 1, 0x07), {42}), "texture.png", image)) << image.error;
	EXPECT_EQ(pixel(image.levels[0], 0, 0), (Rgba{42, 42, 42, 255}));
}

TEST(ImageFile, ShortPathIsNeverAPvrName) {
	char cwd[4096];
	ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
	const std::string dir = ::test::tempPath("dir");
	ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
	ASSERT_EQ(chdir(dir.c_str()), 0);
	writeBytes(".pvr", Bytes(10, 0));
	ImageData image;
	const bool ok = loadImageFile(".pvr", image);
	std::remove(".pvr");
	ASSERT_EQ(chdir(cwd), 0);
	EXPECT_FALSE(ok);
	EXPECT_EQ(image.error.rfind("stb_image: ", 0), 0u) << image.error;
}

TEST(ImageFile, EmptyPngFailsWithTheDecoderReason) {
	ImageData image;
	EXPECT_FALSE(loadBytes({}, "empty.png", image));
	EXPECT_EQ(image.error.rfind("stb_image: ", 0), 0u) << image.error;
	EXPECT_GT(image.error.size(), std::string("stb_image: ").size());
}

TEST(ImageFile, MissingFileAndDirectoryCannotBeOpened) {
	const std::string missing = ::test::tempPath("missing.png");
	ImageData image;
	EXPECT_FALSE(loadImageFile(missing, image));
	EXPECT_EQ(image.error, "could not open " + missing);

	// A directory opens for reading, but its seek size is meaningless.
	const std::string dir = ::test::tempPath("folder.png");
	ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
	EXPECT_FALSE(loadImageFile(dir, image));
	EXPECT_EQ(image.error, "could not open " + dir);
	EXPECT_TRUE(image.levels.empty());

	// A named pipe would wait for a writer.
	const std::string pipe = ::test::tempPath("pipe.pvr");
	ASSERT_TRUE(::test::makeStandIn(::test::FileStandIn::NamedPipe, pipe));
	bool loaded = true;
	::test::runWithoutWaiting({pipe}, [&] { loaded = loadImageFile(pipe, image); });
	EXPECT_FALSE(loaded);
	EXPECT_EQ(image.error, "could not open " + pipe);
}

TEST(ImageFile, MipChainStopsWhereTheDataEnds) {
	// 4 x 4 RGBA 8888 with three mip-maps: 64 + 16 + 4 + 4 bytes; the last two are missing.
	Bytes data(64 + 16 + 3);
	for (std::size_t i = 0; i < data.size(); ++i)
		data[i] = std::uint8_t(i);
	ImageData image;
	ASSERT_TRUE(loadBytes(legacyPvr(header(4, 4, 0x12 | kPvrMipMaps, 3), data), "chain.pvr", image)) << image.error;
	ASSERT_EQ(image.levels.size(), 2u);
	EXPECT_EQ(image.levels[1].width, 2);
	EXPECT_EQ(image.levels[1].height, 2);
	EXPECT_EQ(pixel(image.levels[1], 1, 1), (Rgba{76, 77, 78, 79}));
}

TEST(ImageFile, ShortSecondLevelKeepsTheFirst) {
	// RGB 565 2 x 2 (8 bytes) then 1 x 1 (2 bytes, one missing).
	ImageData image;
	ASSERT_TRUE(loadBytes(legacyPvr(header(2, 2, 0x02 | kPvrMipMaps, 1), Bytes(9, 0xff)), "short.pvr", image));
	ASSERT_EQ(image.levels.size(), 1u);
	EXPECT_EQ(pixel(image.levels[0], 1, 1), (Rgba{255, 255, 255, 255}));
}

TEST(ImageFile, HalvingStopsAtOne) {
	ImageData image;
	ASSERT_TRUE(
		loadBytes(legacyPvr(header(4, 1, 0x07 | kPvrMipMaps, 3), {1, 2, 3, 4, 5, 6, 7, 8}), "halve.pvr", image));
	ASSERT_EQ(image.levels.size(), 4u);
	const int sizes[4][2] = {{4, 1}, {2, 1}, {1, 1}, {1, 1}};
	const int firstValue[4] = {1, 5, 7, 8};
	for (int i = 0; i < 4; ++i) {
		EXPECT_EQ(image.levels[i].width, sizes[i][0]);
		EXPECT_EQ(image.levels[i].height, sizes[i][1]);
		EXPECT_EQ(image.levels[i].pixels.size(), std::size_t(sizes[i][0]) * sizes[i][1] * 4);
		EXPECT_EQ(pixel(image.levels[i], 0, 0)[0], firstValue[i]);
	}
}

TEST(ImageFile, MipCountIgnoredWithoutTheMipMapFlag) {
	ImageData image;
	ASSERT_TRUE(loadBytes(legacyPvr(header(2, 2, 0x07, 5), Bytes(16, 3)), "single.pvr", image));
	EXPECT_EQ(image.levels.size(), 1u);
}

// A mip-map count of 0xffffffff neither wraps to zero levels nor makes the
// loader walk billions of 1 x 1 levels: a chain has at most 32 levels.
TEST(ImageFile, MipCountIsBounded) {
	ImageData image;
	ASSERT_TRUE(
		loadBytes(legacyPvr(header(2, 2, 0x07 | kPvrMipMaps, 0xffffffffu), Bytes(4 + 100, 5)), "many.pvr", image))
		<< image.error;
	EXPECT_EQ(image.levels.size(), 32u);
	EXPECT_EQ(image.levels.back().width, 1);
}

// Sizes whose width x height x 4 overflows 32 bits must be checked against
// the data, not wrap around to a small size.
TEST(ImageFile, HugeHeaderSizesDoNotOverflow) {
	struct Case {
		std::int32_t width, height;
		std::uint32_t format;
		const char* error;
	};
	for (const Case& c : {Case{65536, 65536, 0x12, "PVR format 0x12 not supported"},
						  Case{0x40000001, 1, 0x12, "PVR format 0x12 not supported"},
						  Case{0x7fffffff, 0x7fffffff, 0x07, "PVR format 0x07 not supported"},
						  Case{0x40000000, 0x40000000, 0x19, "PVR without data"},
						  Case{0x7fffffff, 0x7fffffff, 0x18, "PVR without data"}}) {
		SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << ", format " << c.format);
		ImageData image;
		EXPECT_FALSE(loadBytes(legacyPvr(header(c.width, c.height, c.format), Bytes(64, 7)), "huge.pvr", image));
		EXPECT_EQ(image.error, c.error);
		EXPECT_TRUE(image.levels.empty());
	}
}

TEST(ImageFile, FlagsStaySetAfterAFailedLoad) {
	ImageData image;
	EXPECT_FALSE(loadBytes(legacyPvr(header(2, 2, 0x02 | kPvrAlpha | kPvrBottomUp), Bytes(3)), "flags.pvr", image));
	EXPECT_TRUE(image.hasAlpha);
	EXPECT_TRUE(image.flipVertical);
	EXPECT_TRUE(image.levels.empty());

	PvrHeader h = header(1, 1, 0x12);
	h.alphaMask = 0xff000000;
	ASSERT_TRUE(loadBytes(legacyPvr(h, Bytes(4)), "mask.pvr", image));
	EXPECT_TRUE(image.hasAlpha);
	EXPECT_FALSE(image.flipVertical);
}

TEST(ImageFile, ResultIsEmptiedFirst) {
	ImageData image;
	ASSERT_TRUE(loadBytes(legacyPvr(header(1, 1, 0x12 | kPvrAlpha | kPvrBottomUp), Bytes(4)), "one.pvr", image));
	EXPECT_TRUE(image.hasAlpha && image.flipVertical);
	EXPECT_FALSE(loadBytes(Bytes(10, 0), "junk.png", image));
	EXPECT_TRUE(image.levels.empty());
	EXPECT_FALSE(image.hasAlpha);
	EXPECT_FALSE(image.flipVertical);
	ASSERT_TRUE(loadBytes(legacyPvr(header(1, 1, 0x12), Bytes(4)), "two.pvr", image));
	EXPECT_TRUE(image.error.empty());
	EXPECT_EQ(image.levels.size(), 1u);
}

// PVRTC levels through the file: each level uniform in its own colour, so a
// wrong offset shows.
Bytes uniformPvrtcLevel(std::uint32_t colourA) {
	return pvrtcLevel(2, 2, [&](std::uint32_t, std::uint32_t) {
		return PvrtcWord{0, colourWord(colourA, opaqueB(0, 0, 0))};
	});
}

struct PvrtcFileCase {
	const char* name;
	std::uint32_t format;
	int width, height;
	int levelsInFile;
};

class PvrtcFile : public ::testing::TestWithParam<PvrtcFileCase> {};

// Levels below the format minimum occupy the padded 32 bytes: a 4 x 4 4-bit
// level and an 8 x 8 2-bit level.
TEST_P(PvrtcFile, SmallLevelsArePadded) {
	const PvrtcFileCase& c = GetParam();
	const std::uint32_t colours[3] = {opaqueA(31, 0, 0), opaqueA(16, 0, 0), opaqueA(8, 0, 0)};
	const int reds[3] = {255, 132, 66};
	Bytes data;
	for (int i = 0; i < c.levelsInFile; ++i) {
		const Bytes level = uniformPvrtcLevel(colours[i]);
		ASSERT_EQ(level.size(), 32u);
		data.insert(data.end(), level.begin(), level.end());
	}
	for (std::uint32_t twiddle : {0u, kPvrTwiddled}) {
		SCOPED_TRACE(twiddle ? "twiddled" : "not twiddled");
		ImageData image;
		ASSERT_TRUE(loadBytes(legacyPvr(header(c.width, c.height, c.format | kPvrMipMaps | twiddle, 2), data),
							  "small.pvr", image))
			<< image.error;
		ASSERT_EQ(image.levels.size(), std::size_t(c.levelsInFile));
		for (int i = 0; i < c.levelsInFile; ++i) {
			const auto& level = image.levels[i];
			EXPECT_EQ(level.width, std::max(c.width >> i, 1));
			EXPECT_EQ(level.height, std::max(c.height >> i, 1));
			for (int y = 0; y < level.height; ++y)
				for (int x = 0; x < level.width; ++x)
					ASSERT_EQ(pixel(level, x, y), (Rgba{reds[i], 0, 0, 255})) << "level " << i;
		}
	}
}

INSTANTIATE_TEST_SUITE_P(
	ImageFile, PvrtcFile,
	::testing::Values(PvrtcFileCase{"fourBit", 0x19, 4, 4, 3}, PvrtcFileCase{"fourBitOld", 0x0d, 4, 4, 3},
					  PvrtcFileCase{"fourBitMissingTail", 0x19, 4, 4, 2}, PvrtcFileCase{"twoBit", 0x18, 8, 8, 3},
					  PvrtcFileCase{"twoBitOld", 0x0c, 8, 8, 3}, PvrtcFileCase{"twoBitMissingTail", 0x18, 8, 8, 1}),
	[](const ::testing::TestParamInfo<PvrtcFileCase>& info) { return info.param.name; });

struct PngCase {
	int channels;
	bool hasAlpha;
};

class PngFile : public ::testing::TestWithParam<PngCase> {};

TEST_P(PngFile, DecodesThroughStb) {
	const PngCase& c = GetParam();
	const int width = 3, height = 2;
	Bytes pixels(std::size_t(width) * height * c.channels);
	for (std::size_t i = 0; i < pixels.size(); ++i)
		pixels[i] = std::uint8_t(i * 37 + 11);
	ImageData image;
	ASSERT_TRUE(loadBytes(pngOf(width, height, c.channels, pixels), "image.png", image)) << image.error;
	ASSERT_EQ(image.levels.size(), 1u);
	const auto& level = image.levels[0];
	ASSERT_EQ(level.width, width);
	ASSERT_EQ(level.height, height);
	ASSERT_EQ(level.pixels.size(), std::size_t(width) * height * 4);
	EXPECT_EQ(image.hasAlpha, c.hasAlpha);
	EXPECT_FALSE(image.flipVertical);
	for (int y = 0; y < height; ++y)
		for (int x = 0; x < width; ++x) {
			const std::uint8_t* in = &pixels[(std::size_t(y) * width + x) * c.channels];
			Rgba expect;
			switch (c.channels) {
			case 1:
				expect = {in[0], in[0], in[0], 255};
				break;
			case 2:
				expect = {in[0], in[0], in[0], in[1]};
				break;
			case 3:
				expect = {in[0], in[1], in[2], 255};
				break;
			default:
				expect = {in[0], in[1], in[2], in[3]};
				break;
			}
			EXPECT_EQ(pixel(level, x, y), expect) << x << "," << y;
		}
}

INSTANTIATE_TEST_SUITE_P(ImageFile, PngFile,
						 ::testing::Values(PngCase{1, false}, PngCase{2, true}, PngCase{3, false}, PngCase{4, true}),
						 [](const ::testing::TestParamInfo<PngCase>& info) {
							 return "channels" + std::to_string(info.param.channels);
						 });

// A PNG header claiming width x height pixels (no pixel data).
Bytes pngClaiming(std::uint32_t width, std::uint32_t height) {
	Bytes png = pngOf(1, 1, 4, {1, 2, 3, 4});
	for (int i = 0; i < 4; ++i) {
		png[16 + i] = std::uint8_t(width >> (24 - 8 * i));
		png[20 + i] = std::uint8_t(height >> (24 - 8 * i));
	}
	return png;
}

// stb_image would allocate whatever a tiny header claims; more than 4096 x
// 4096 pixels is refused before decoding.
TEST(ImageFile, OversizedStbImagesAreRefused) {
	ImageData image;
	EXPECT_FALSE(loadBytes(pngClaiming(4097, 4096), "large.png", image));
	EXPECT_EQ(image.error, "stb_image: too large");
	EXPECT_FALSE(loadBytes(pngClaiming(0x10000, 0x10000), "large.png", image));
	EXPECT_EQ(image.error, "stb_image: too large");
	EXPECT_FALSE(loadBytes(pngClaiming(4096, 4096), "large.png", image));
	EXPECT_NE(image.error, "stb_image: too large");
	EXPECT_EQ(image.error.rfind("stb_image: ", 0), 0u);
}

// A JPEG huffman table of more than 256 codes would make stb_image write past
// its tables; it is refused before decoding.
TEST(ImageFile, OversizedJpegHuffmanTableIsRefused) {
	// Start marker, then a table of class 0, id 0 with 16 x 255 codes.
	const int codes = 16 * 255, length = 2 + 17 + codes;
	Bytes jpeg = {0xff, 0xd8, 0xff, 0xc4, std::uint8_t(length >> 8), std::uint8_t(length), 0x00};
	jpeg.insert(jpeg.end(), 16, 255);
	jpeg.insert(jpeg.end(), std::size_t(codes), 1);
	jpeg.insert(jpeg.end(), {0xff, 0xd9});
	ImageData image;
	EXPECT_FALSE(loadBytes(jpeg, "bad.jpg", image));
	EXPECT_EQ(image.error, "stb_image: bad DHT header");
	// The decoder skips fill bytes before the start marker.
	jpeg.insert(jpeg.begin(), 5, 0xff);
	EXPECT_FALSE(loadBytes(jpeg, "fill.jpg", image));
	EXPECT_EQ(image.error, "stb_image: bad DHT header");

	// 256 codes (255 of 8 bits, one of 9) pass this check; the file then
	// fails for other reasons.
	jpeg = {0xff, 0xd8, 0xff, 0xc4, 0x01, 0x13, 0x00, 0, 0, 0, 0, 0, 0, 0, 255, 1, 0, 0, 0, 0, 0, 0, 0};
	jpeg.insert(jpeg.end(), 256, 2);
	EXPECT_FALSE(loadBytes(jpeg, "edge.jpg", image));
	EXPECT_NE(image.error, "stb_image: bad DHT header");
}

// stb_image allocates a PNG chunk's claimed length before reading it; a chunk
// longer than the file is refused first.
TEST(ImageFile, OverlongPngChunkIsRefused) {
	Bytes png = pngOf(4, 4, 4, Bytes(64, 3));
	ImageData image;
	ASSERT_TRUE(loadBytes(png, "good.png", image)) << image.error;
	const std::string text(png.begin(), png.end());
	const std::size_t idat = text.find("IDAT");
	ASSERT_NE(idat, std::string::npos);
	for (std::uint32_t length : {0x7ffffff0u, 0xffffffffu, std::uint32_t(png.size())}) {
		SCOPED_TRACE(length);
		for (int i = 0; i < 4; ++i)
			png[idat - 4 + std::size_t(i)] = std::uint8_t(length >> (24 - 8 * i));
		EXPECT_FALSE(loadBytes(png, "long.png", image));
		EXPECT_EQ(image.error, "stb_image: outofdata");
	}
}

// stb_image decodes a BMP of 0 rows "successfully"; that is no image.
TEST(ImageFile, ZeroSizedStbImageFails) {
	// A 40-byte info header, 4 x 0 pixels of 32 bits, uncompressed.
	Bytes bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1, 0, 32, 0};
	bmp.resize(70, 0);
	ImageData image;
	EXPECT_FALSE(loadBytes(bmp, "empty.bmp", image));
	EXPECT_EQ(image.error, "stb_image: 0-pixel image");
	EXPECT_TRUE(image.levels.empty());
}

// Whatever the bytes, the loader returns; corrupted PVR headers and PNGs
// included (the sanitizers watch the reads).
TEST(ImageFile, ArbitraryBytesNeverThrow) {
	std::mt19937 random(7);
	const Bytes png = pngOf(8, 8, 4, Bytes(256, 9));
	const Bytes pvr = legacyPvr(header(8, 8, 0x19 | kPvrMipMaps, 3), Bytes(32 * 4, 0x55));
	for (int i = 0; i < 600; ++i) {
		Bytes bytes = (i % 3 == 0) ? png : (i % 3 == 1) ? pvr : Bytes(std::size_t(random() % 200));
		for (int k = 0; k < 4 && !bytes.empty(); ++k)
			bytes[random() % bytes.size()] = std::uint8_t(random());
		if (i % 3 == 1)
			bytes.resize(std::size_t(52 + random() % (bytes.size() - 51)));
		ImageData image;
		const bool ok = decodeImageFile(bytes.data(), bytes.size(), i % 2 ? "x.pvr" : "x.png", image);
		EXPECT_EQ(ok, image.error.empty());
		EXPECT_EQ(ok, !image.levels.empty());
		for (const auto& level : image.levels)
			ASSERT_EQ(level.pixels.size(), std::size_t(level.width) * std::size_t(level.height) * 4);
	}
}

} // namespace
