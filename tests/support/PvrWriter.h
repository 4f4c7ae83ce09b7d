#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaroll::test {

// Flag bits of a legacy PVR header's format word.
const std::uint32_t kPvrMipMaps = 0x100;
const std::uint32_t kPvrTwiddled = 0x200;
const std::uint32_t kPvrAlpha = 0x8000;
const std::uint32_t kPvrBottomUp = 0x10000;

// The fields of a legacy PVR header (52 bytes, little-endian words).
struct PvrHeader {
	std::uint32_t headerSize = 52;
	std::int32_t height = 1;
	std::int32_t width = 1;
	std::uint32_t mipMapCount = 0;
	std::uint32_t formatAndFlags = 0; // pixel format in the low byte, flag bits above
	std::uint32_t dataSize = 0;
	std::uint32_t bitsPerPixel = 0;
	std::uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
	char tag[4] = {'P', 'V', 'R', '!'};
	std::uint32_t surfaceCount = 1;
};

// The header's 52 bytes followed by data.
std::vector<std::uint8_t> legacyPvr(const PvrHeader& header, const std::vector<std::uint8_t>& data);

// Writes bytes to path, replacing the file (::test::writeFile); fails the
// running test when it cannot.
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace lumaroll::test
