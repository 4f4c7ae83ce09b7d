#include "support/DxtBlockWriter.h"

namespace test {

std::vector<uint8_t> dxtColourBlock(uint16_t c0, uint16_t c1, const int (&indices)[16]) {
	std::vector<uint8_t> b(8, 0);
	b[0] = uint8_t(c0);
	b[1] = uint8_t(c0 >> 8);
	b[2] = uint8_t(c1);
	b[3] = uint8_t(c1 >> 8);
	for (int t = 0; t < 16; ++t)
		b[4 + t / 4] |= uint8_t((indices[t] & 3) << (2 * (t % 4)));
	return b;
}

std::vector<uint8_t> dxt3Block(const int (&alpha4)[16], uint16_t c0, uint16_t c1, const int (&indices)[16]) {
	std::vector<uint8_t> b(8, 0);
	for (int t = 0; t < 16; ++t) {
		// Row r is a little-endian 16-bit word, column u at bits 4u.
		const int bit = 4 * (t % 4);
		uint8_t& byte = b[2 * (t / 4) + bit / 8];
		byte |= uint8_t((alpha4[t] & 15) << (bit % 8));
	}
	const std::vector<uint8_t> colour = dxtColourBlock(c0, c1, indices);
	b.insert(b.end(), colour.begin(), colour.end());
	return b;
}

std::vector<uint8_t> dxt5Block(uint8_t a0, uint8_t a1, const int (&alphaIndices)[16], uint16_t c0, uint16_t c1,
							   const int (&indices)[16]) {
	std::vector<uint8_t> b(8, 0);
	b[0] = a0;
	b[1] = a1;
	uint64_t bits = 0;
	for (int t = 0; t < 16; ++t)
		bits |= uint64_t(alphaIndices[t] & 7) << (3 * t);
	for (int k = 0; k < 6; ++k)
		b[2 + k] = uint8_t(bits >> (8 * k));
	const std::vector<uint8_t> colour = dxtColourBlock(c0, c1, indices);
	b.insert(b.end(), colour.begin(), colour.end());
	return b;
}

} // namespace test
