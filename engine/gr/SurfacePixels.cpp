#include <gr/SurfaceFormat.h>
#include <gr/SurfaceFormatTable.h>
#include <cstddef>
#include <cstring>

namespace gr {

namespace {

// 8-bit channels of one decoded pixel. A channel the source format lacks
// reads as 255, which encodes exactly as leaving the destination's mask
// bits set.
struct Argb {
	int r, g, b, a;
};

const Argb WHITE = {255, 255, 255, 255};

inline int lowestBit(uint32_t mask) {
	int n = 0;
	while (!(mask & 1)) {
		mask >>= 1;
		++n;
	}
	return n;
}

inline int maskBits(uint32_t mask) {
	int n = 0;
	for (; mask; mask &= mask - 1)
		++n;
	return n;
}

inline bool isFloatFormat(int type) {
	return type >= SurfaceFormat::R16F && type <= SurfaceFormat::A32B32G32R32F;
}

inline bool isPaletteFormat(int type) {
	return type == SurfaceFormat::P4 || type == SurfaceFormat::P8;
}

// Components of a float format: count and whether they are halves.
inline int floatComponents(int type) {
	switch (type) {
	case SurfaceFormat::R16F:
	case SurfaceFormat::R32F:
		return 1;
	case SurfaceFormat::G16R16F:
	case SurfaceFormat::G32R32F:
		return 2;
	default:
		return 4;
	}
}

inline bool isHalfFormat(int type) {
	return type >= SurfaceFormat::R16F && type <= SurfaceFormat::A16B16G16R16F;
}

float halfToFloat(uint16_t h) {
	const uint32_t sign = uint32_t(h & 0x8000) << 16;
	int exponent = (h >> 10) & 31;
	uint32_t mantissa = h & 0x3FF;
	uint32_t bits;
	if (exponent == 31) {
		bits = sign | 0x7F800000 | (mantissa << 13);
	} else if (exponent == 0) {
		if (mantissa == 0) {
			bits = sign;
		} else {
			// Denormal: normalise into a float exponent.
			exponent = 1;
			while (!(mantissa & 0x400)) {
				mantissa <<= 1;
				--exponent;
			}
			mantissa &= 0x3FF;
			bits = sign | uint32_t(exponent + 112) << 23 | (mantissa << 13);
		}
	} else {
		bits = sign | uint32_t(exponent + 112) << 23 | (mantissa << 13);
	}
	float f;
	memcpy(&f, &bits, 4);
	return f;
}

// 0..1 to 0..255, truncated; NaN reads as 0.
inline int unitToByte(float f) {
	if (!(f > 0.f))
		return 0;
	if (f >= 1.f)
		return 255;
	return int(f * 255.f);
}

// Raw pixel word i of a row (first 4-bit pixel in the high nibble).
inline uint32_t readRaw(const uint8_t* row, int i, int bits) {
	if (bits == 4) {
		const uint8_t b = row[i >> 1];
		return (i & 1) ? (b & 15) : (b >> 4);
	}
	const int bytes = bits >> 3;
	const uint8_t* p = row + ptrdiff_t(i) * bytes;
	uint32_t v = 0;
	for (int k = 0; k < bytes && k < 4; ++k)
		v |= uint32_t(p[k]) << (8 * k);
	return v;
}

inline void writeRaw(uint8_t* row, int i, int bits, uint32_t v) {
	if (bits == 4) {
		uint8_t& b = row[i >> 1];
		b = (i & 1) ? uint8_t((b & 0xF0) | (v & 15)) : uint8_t((b & 0x0F) | ((v & 15) << 4));
		return;
	}
	const int bytes = bits >> 3;
	uint8_t* p = row + ptrdiff_t(i) * bytes;
	for (int k = 0; k < bytes; ++k)
		p[k] = k < 4 ? uint8_t(v >> (8 * k)) : 0xFF;
}

Argb decodeMasked(const SurfaceFormatInfo& info, uint32_t pixel) {
	Argb c = WHITE;
	int* channels[4] = {&c.r, &c.g, &c.b, &c.a};
	for (int k = 0; k < 4; ++k) {
		const uint32_t mask = info.mask[k];
		if (mask)
			*channels[k] = int(((pixel & mask) >> lowestBit(mask)) << (8 - maskBits(mask))) & 255;
	}
	return c;
}

// Pixel i of a row in a non-DXT format.
Argb decodePixel(int type, const uint8_t* row, int i, int paletteType, const uint8_t* palette) {
	const SurfaceFormatInfo& info = surfaceFormatInfo(type);
	if (isFloatFormat(type)) {
		const int n = floatComponents(type);
		float v[4] = {0.f, 0.f, 0.f, 1.f};
		if (isHalfFormat(type)) {
			const uint8_t* p = row + ptrdiff_t(i) * n * 2;
			for (int k = 0; k < n; ++k) {
				uint16_t h;
				memcpy(&h, p + 2 * k, 2);
				v[k] = halfToFloat(h);
			}
		} else {
			memcpy(v, row + ptrdiff_t(i) * n * 4, size_t(n) * 4);
		}
		Argb c = {unitToByte(v[0]), unitToByte(v[1]), unitToByte(v[2]), unitToByte(v[3])};
		return c;
	}
	const uint32_t raw = readRaw(row, i, int(info.bits));
	if (isPaletteFormat(type)) {
		if (!palette || isPaletteFormat(paletteType) || isDxt(paletteType))
			return WHITE;
		return decodePixel(paletteType, palette, int(raw), SurfaceFormat::UNKNOWN, nullptr);
	}
	return decodeMasked(info, raw);
}

int nearestPaletteEntry(const Argb& c, int paletteType, const uint8_t* palette, int entries) {
	int best = 0;
	int bestDistance = 0x40000000;
	for (int i = 0; i < entries; ++i) {
		const Argb e = decodePixel(paletteType, palette, i, SurfaceFormat::UNKNOWN, nullptr);
		const int dr = e.r - c.r, dg = e.g - c.g, db = e.b - c.b, da = e.a - c.a;
		const int distance = dr * dr + dg * dg + db * db + da * da;
		if (distance < bestDistance) {
			best = i;
			bestDistance = distance;
			if (distance == 0)
				break;
		}
	}
	return best;
}

void encodeFloat(int type, uint8_t* row, int i, const Argb& c) {
	const int n = floatComponents(type);
	const float v[4] = {c.r * 0.003921569f, c.g * 0.003921569f, c.b * 0.003921569f, c.a * 0.003921569f};
	if (isHalfFormat(type)) {
		uint8_t* p = row + ptrdiff_t(i) * n * 2;
		for (int k = 0; k < n; ++k) {
			uint32_t bits;
			memcpy(&bits, &v[k], 4);
			const uint16_t h = SurfaceFormat::floatToHalf(bits);
			memcpy(p + 2 * k, &h, 2);
		}
	} else {
		memcpy(row + ptrdiff_t(i) * n * 4, v, size_t(n) * 4);
	}
}

// Writes pixel i of a row in a non-DXT format.
void encodePixelAt(int type, uint8_t* row, int i, int paletteType, const uint8_t* palette, const Argb& c) {
	if (isFloatFormat(type)) {
		encodeFloat(type, row, i, c);
		return;
	}
	const SurfaceFormatInfo& info = surfaceFormatInfo(type);
	if (isPaletteFormat(type) && palette && !isPaletteFormat(paletteType) && !isDxt(paletteType)) {
		writeRaw(row, i, int(info.bits),
				 uint32_t(nearestPaletteEntry(c, paletteType, palette, type == SurfaceFormat::P8 ? 256 : 16)));
		return;
	}
	uint32_t pixel = 0xFFFFFFFF;
	const int channels[4] = {c.r, c.g, c.b, c.a};
	for (int k = 0; k < 4; ++k) {
		const uint32_t mask = info.mask[k];
		if (!mask)
			continue;
		pixel &= ~mask;
		pixel |= (uint32_t(channels[k]) >> (8 - maskBits(mask))) << lowestBit(mask) & mask;
	}
	writeRaw(row, i, int(info.bits), pixel);
}

inline uint16_t read16(const uint8_t* p) {
	return uint16_t(p[0] | (p[1] << 8));
}

void expand565(uint16_t c, int* out) {
	out[0] = ((c >> 11) & 31) * 255 / 31;
	out[1] = ((c >> 5) & 63) * 255 / 63;
	out[2] = (c & 31) * 255 / 31;
}

// Texel (u, v) of a DXT block. The colour half follows the DXT1 rule for all
// three formats: c0 > c1 selects four colours, otherwise three colours and
// index 3 black. Only DXT1 carries its alpha in the colour half: that black is
// transparent there and every other texel opaque.
Argb decodeDxtTexel(int type, const uint8_t* block, int u, int v) {
	const uint8_t* colour = type == SurfaceFormat::DXT1 ? block : block + 8;
	const uint16_t c0 = read16(colour);
	const uint16_t c1 = read16(colour + 2);
	const int index = (colour[4 + v] >> (2 * u)) & 3;
	int e0[3], e1[3];
	expand565(c0, e0);
	expand565(c1, e1);
	int rgb[3];
	int alpha = 255;
	for (int k = 0; k < 3; ++k) {
		switch (index) {
		case 0:
			rgb[k] = e0[k];
			break;
		case 1:
			rgb[k] = e1[k];
			break;
		case 2:
			rgb[k] = c0 > c1 ? (2 * e0[k] + e1[k] + 1) / 3 : (e0[k] + e1[k]) / 2;
			break;
		default:
			rgb[k] = c0 > c1 ? (e0[k] + 2 * e1[k] + 1) / 3 : 0;
			break;
		}
	}
	if (type == SurfaceFormat::DXT1) {
		if (index == 3 && c0 <= c1)
			alpha = 0;
	} else if (type == SurfaceFormat::DXT3) {
		const int value = (read16(block + 2 * v) >> (4 * u)) & 15;
		alpha = value * 17;
	} else {
		const int a0 = block[0], a1 = block[1];
		uint64_t bits = 0;
		for (int k = 0; k < 6; ++k)
			bits |= uint64_t(block[2 + k]) << (8 * k);
		const int i = int((bits >> (3 * (4 * v + u))) & 7);
		if (i == 0)
			alpha = a0;
		else if (i == 1)
			alpha = a1;
		else if (a0 > a1)
			alpha = ((7 - (i - 1)) * a0 + (i - 1) * a1 + 3) / 7;
		else if (i <= 5)
			alpha = ((5 - (i - 1)) * a0 + (i - 1) * a1 + 2) / 5;
		else
			alpha = i == 6 ? 0 : 255;
	}
	Argb c = {rgb[0], rgb[1], rgb[2], alpha};
	return c;
}

Argb decodeDxtPixel(int type, int x, int y, const uint8_t* data, int pitch) {
	const int blockBytes = type == SurfaceFormat::DXT1 ? 8 : 16;
	const uint8_t* block = data + ptrdiff_t(pitch) * (y / 4) + ptrdiff_t(x / 4) * blockBytes;
	return decodeDxtTexel(type, block, x & 3, y & 3);
}

inline Argb fromColour(uint32_t colour) {
	Argb c = {int((colour >> 16) & 255), int((colour >> 8) & 255), int(colour & 255), int(colour >> 24)};
	return c;
}

} // namespace

void SurfaceFormat::encodePixel(SurfaceFormat format, void* dst, SurfaceFormat paletteFormat, const void* palette,
								uint32_t colour) {
	const int type = format.type();
	if (isDxt(type))
		return;
	if (type == A8R8G8B8) {
		memcpy(dst, &colour, 4);
		return;
	}
	encodePixelAt(type, static_cast<uint8_t*>(dst), 0, paletteFormat.type(), static_cast<const uint8_t*>(palette),
				  fromColour(colour));
}

void SurfaceFormat::copyPixels(SurfaceFormat dstFormat, void* dst, SurfaceFormat dstPaletteFormat,
							   const void* dstPalette, SurfaceFormat srcFormat, const void* src,
							   SurfaceFormat srcPaletteFormat, const void* srcPalette, int count) {
	if (count <= 0)
		return;
	const int dstType = dstFormat.type();
	const int srcType = srcFormat.type();
	if (dstType == srcType) {
		memmove(dst, src, size_t((int64_t(count) * dstFormat.bitsPerPixel()) >> 3));
		return;
	}
	if (isDxt(dstType) || isDxt(srcType))
		return;

	uint8_t* d = static_cast<uint8_t*>(dst);
	const uint8_t* s = static_cast<const uint8_t*>(src);
	for (int i = 0; i < count; ++i) {
		const Argb c = decodePixel(srcType, s, i, srcPaletteFormat.type(), static_cast<const uint8_t*>(srcPalette));
		encodePixelAt(dstType, d, i, dstPaletteFormat.type(), static_cast<const uint8_t*>(dstPalette), c);
	}
}

void SurfaceFormat::convertSurface(SurfaceFormat dstFormat, void* dst, int dstPitch, SurfaceFormat dstPaletteFormat,
								   const void* dstPalette, SurfaceFormat srcFormat, const void* src, int srcPitch,
								   SurfaceFormat srcPaletteFormat, const void* srcPalette, int width, int height) {
	const int dstType = dstFormat.type();
	const int srcType = srcFormat.type();
	if (isDxt(dstType) || width <= 0)
		return;

	uint8_t* d = static_cast<uint8_t*>(dst);
	const uint8_t* s = static_cast<const uint8_t*>(src);
	for (int y = 0; y < height; ++y) {
		uint8_t* row = d + ptrdiff_t(y) * dstPitch;
		if (!isDxt(srcType)) {
			copyPixels(dstFormat, row, dstPaletteFormat, dstPalette, srcFormat, s + ptrdiff_t(y) * srcPitch,
					   srcPaletteFormat, srcPalette, width);
			continue;
		}
		for (int x = 0; x < width; ++x) {
			const Argb c = decodeDxtPixel(srcType, x, y, s, srcPitch);
			encodePixelAt(dstType, row, x, dstPaletteFormat.type(), static_cast<const uint8_t*>(dstPalette), c);
		}
	}
}

void SurfaceFormat::readPixel(SurfaceFormat format, int x, int y, const void* data, int pitch,
							  SurfaceFormat paletteFormat, const void* palette, float* out) {
	const int type = format.type();
	const uint8_t* p = static_cast<const uint8_t*>(data);
	Argb c;
	if (isDxt(type))
		c = decodeDxtPixel(type, x, y, p, pitch);
	else
		c = decodePixel(type, p + ptrdiff_t(y) * pitch, x, paletteFormat.type(), static_cast<const uint8_t*>(palette));
	out[0] = c.r / 255.f;
	out[1] = c.g / 255.f;
	out[2] = c.b / 255.f;
	out[3] = c.a / 255.f;
}

uint16_t SurfaceFormat::floatToHalf(uint32_t bits) {
	const uint32_t sign = (bits >> 16) & 0x8000;
	const int exponent = int((bits >> 23) & 0xFF);
	const uint32_t mantissa = bits & 0x7FFFFF;

	if (exponent == 255) {
		if (mantissa) {
			const uint32_t top = mantissa >> 13;
			return uint16_t(sign | 0x7C00 | (top ? top : 1));
		}
		return uint16_t(sign | 0x7C00);
	}
	if (exponent > 142)
		return uint16_t(sign | 0x7C00);
	if (exponent >= 113) {
		// Rounding may carry into the exponent, up to infinity.
		uint32_t v = uint32_t(exponent - 112) << 23 | mantissa;
		if (mantissa & 0x1000)
			v += 0x2000;
		return uint16_t(sign | (v >> 13));
	}
	if (exponent >= 102) {
		uint32_t m = (mantissa | 0x800000) >> (113 - exponent);
		if (m & 0x1000)
			m += 0x2000;
		return uint16_t(sign | (m >> 13));
	}
	return 0;
}

} // gr
