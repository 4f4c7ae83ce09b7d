#include <gr/StbInputCheck.h>

#include <cstring>

namespace lumaroll {
namespace {

// True for a JPEG (it starts with the marker 0xFF 0xD8, fill bytes 0xFF
// allowed between) with a huffman table segment (marker 0xFF 0xC4) defining
// more than 256 codes. Every marker position is checked, as the decoder may
// meet one after any scan.
bool hasOversizedHuffmanTable(const std::uint8_t* bytes, std::size_t size) {
	if (size < 2 || bytes[0] != 0xff)
		return false;
	std::size_t start = 1;
	while (start < size && bytes[start] == 0xff)
		++start;
	if (start == size || bytes[start] != 0xd8)
		return false;
	// Reads as the decoder does: zero past the end.
	auto at = [&](std::size_t i) -> unsigned { return i < size ? bytes[i] : 0; };
	const std::uint8_t* end = bytes + size;
	for (const std::uint8_t* p = bytes;
		 (p = static_cast<const std::uint8_t*>(std::memchr(p, 0xff, std::size_t(end - p)))) != nullptr; ++p) {
		if (p + 1 == end)
			break;
		if (p[1] != 0xc4)
			continue;
		std::size_t i = std::size_t(p - bytes) + 2;
		long length = long(at(i) << 8 | at(i + 1)) - 2;
		i += 2;
		while (length > 0 && i < size) {
			if ((at(i) >> 4) > 1 || (at(i) & 15) > 3)
				break; // refused by the decoder itself
			unsigned codes = 0;
			for (std::size_t k = 1; k <= 16; ++k)
				codes += at(i + k);
			if (codes > 256)
				return true;
			i += 17 + codes;
			length -= long(17 + codes);
		}
	}
	return false;
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
	return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// True for a PNG with a chunk, before the end chunk, whose length runs past
// the end of the bytes.
bool hasOverlongPngChunk(const std::uint8_t* bytes, std::size_t size) {
	static const std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
	if (size < 8 || std::memcmp(bytes, kSignature, 8) != 0)
		return false;
	for (std::size_t pos = 8; size - pos >= 8;) {
		const std::uint32_t length = bigEndian32(bytes + pos);
		if (length > size - pos - 8)
			return true;
		if (std::memcmp(bytes + pos + 4, "IEND", 4) == 0)
			break;
		pos += 8 + std::size_t(length);
		pos = size - pos >= 4 ? pos + 4 : size; // the chunk's CRC
	}
	return false;
}

} // namespace

const char* stbInputProblem(const std::uint8_t* bytes, std::size_t size) {
	if (hasOversizedHuffmanTable(bytes, size))
		return "bad DHT header";
	if (hasOverlongPngChunk(bytes, size))
		return "outofdata";
	return nullptr;
}

} // namespace lumaroll
