#include "support/PvrWriter.h"

#include "support/Files.h"

#include <gtest/gtest.h>

namespace lumaroll::test {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
	for (int i = 0; i < 4; ++i)
		out.push_back(std::uint8_t(v >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> legacyPvr(const PvrHeader& h, const std::vector<std::uint8_t>& data) {
	std::vector<std::uint8_t> out;
	put32(out, h.headerSize);
	put32(out, std::uint32_t(h.height));
	put32(out, std::uint32_t(h.width));
	put32(out, h.mipMapCount);
	put32(out, h.formatAndFlags);
	put32(out, h.dataSize);
	put32(out, h.bitsPerPixel);
	put32(out, h.redMask);
	put32(out, h.greenMask);
	put32(out, h.blueMask);
	put32(out, h.alphaMask);
	out.insert(out.end(), h.tag, h.tag + 4);
	put32(out, h.surfaceCount);
	out.insert(out.end(), data.begin(), data.end());
	return out;
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
	EXPECT_TRUE(::test::writeFile(path, bytes.data(), bytes.size())) << "cannot write " << path;
}

} // namespace lumaroll::test
