#ifndef SUPPORT_TEXTUREFILEWRITER_H
#define SUPPORT_TEXTUREFILEWRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// Writes small texture files for the GL tests.
struct TextureImage {
	int width = 0;
	int height = 0;
	std::vector<uint8_t> rgba; // width x height x 4 bytes, first row first

	// A width x height image of one colour.
	static TextureImage solid(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
};

// Writes image as an RGBA PNG file, making missing folders; returns false
// when it cannot be written.
bool writePng(const std::string& path, const TextureImage& image);

// Writes a legacy PVR file of uncompressed RGBA 8888 levels (level 0 first).
// mipCount is the count the header declares below level 0; flags are OR-ed
// into the format word (the mip-map flag is set when there is more than one
// level). Makes missing folders; returns false when it cannot be written.
bool writePvr(const std::string& path, const std::vector<TextureImage>& levels, int mipCount, uint32_t flags = 0);

} // namespace test

#endif
