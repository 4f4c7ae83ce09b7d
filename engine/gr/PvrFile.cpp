#include <gr/PvrFile.h>

#include <gr/Pvrtc.h>

#include <algorithm>
#include <cstdio>

namespace lumaroll {
namespace {

// Flag bits of the header's format word.
const std::uint32_t kFlagMipMaps = 0x100;
const std::uint32_t kFlagTwiddled = 0x200;
const std::uint32_t kFlagAlpha = 0x8000;
const std::uint32_t kFlagBottomUp = 0x10000;

// Every level after the first halves the size down to 1 x 1; a signed 32-bit
// size has at most 32 distinct levels, so no more are read whatever the
// header's mip-map count says.
const std::uint64_t kMaxLevels = 32;

std::uint32_t readWord(const std::uint8_t* p) {
	return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

bool fail(ImageData& image, const char* text) {
	image.levels.clear();
	image.error = text;
	return false;
}

// Bytes per pixel of an uncompressed format; 0 when unsupported.
int bytesPerPixel(unsigned format) {
	switch (format) {
	case 0x00:
	case 0x01:
	case 0x02:
	case 0x03:
	case 0x08:
	case 0x10:
	case 0x11:
	case 0x13:
	case 0x14:
	case 0x17:
		return 2;
	case 0x04:
	case 0x15:
		return 3;
	case 0x05:
	case 0x12:
	case 0x1A:
		return 4;
	case 0x07:
	case 0x16:
	case 0x1B:
		return 1;
	default:
		return 0;
	}
}

std::uint8_t widen4(unsigned v) {
	return std::uint8_t((v & 0xf) * 17);
}
std::uint8_t widen5(unsigned v) {
	v &= 0x1f;
	return std::uint8_t(v << 3 | v >> 2);
}
std::uint8_t widen6(unsigned v) {
	v &= 0x3f;
	return std::uint8_t(v << 2 | v >> 4);
}

// Converts count pixels of a supported uncompressed format to RGBA.
void convertPixels(unsigned format, const std::uint8_t* in, std::size_t count, std::uint8_t* out) {
	const int bpp = bytesPerPixel(format);
	for (std::size_t i = 0; i < count; ++i, in += bpp, out += 4) {
		const unsigned v = bpp == 2 ? unsigned(in[0]) | unsigned(in[1]) << 8 : 0;
		switch (format) {
		case 0x00: // ARGB 4444
			out[0] = widen4(v >> 8), out[1] = widen4(v >> 4), out[2] = widen4(v), out[3] = widen4(v >> 12);
			break;
		case 0x01: // ARGB 1555
			out[0] = widen5(v >> 10), out[1] = widen5(v >> 5), out[2] = widen5(v), out[3] = (v & 0x8000) ? 255 : 0;
			break;
		case 0x02:
		case 0x13: // RGB 565
			out[0] = widen5(v >> 11), out[1] = widen6(v >> 5), out[2] = widen5(v), out[3] = 255;
			break;
		case 0x03:
		case 0x14: // RGB 555
			out[0] = widen5(v >> 10), out[1] = widen5(v >> 5), out[2] = widen5(v), out[3] = 255;
			break;
		case 0x04:
		case 0x15: // RGB 888
			out[0] = in[0], out[1] = in[1], out[2] = in[2], out[3] = 255;
			break;
		case 0x05:
		case 0x1A: // BGRA 8888
			out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = in[3];
			break;
		case 0x07:
		case 0x16: // intensity 8
			out[0] = out[1] = out[2] = in[0], out[3] = 255;
			break;
		case 0x08:
		case 0x17: // intensity-alpha 88
			out[0] = out[1] = out[2] = in[0], out[3] = in[1];
			break;
		case 0x10: // RGBA 4444
			out[0] = widen4(v >> 12), out[1] = widen4(v >> 8), out[2] = widen4(v >> 4), out[3] = widen4(v);
			break;
		case 0x11: // RGBA 5551
			out[0] = widen5(v >> 11), out[1] = widen5(v >> 6), out[2] = widen5(v >> 1), out[3] = (v & 1) ? 255 : 0;
			break;
		case 0x12: // RGBA 8888
			out[0] = in[0], out[1] = in[1], out[2] = in[2], out[3] = in[3];
			break;
		case 0x1B: // alpha 8
			out[0] = out[1] = out[2] = 255, out[3] = in[0];
			break;
		}
	}
}

} // namespace

bool decodeLegacyPvr(const std::uint8_t* bytes, std::size_t size, ImageData& image) {
	const std::uint32_t headerSize = readWord(bytes);
	const std::int32_t height = std::int32_t(readWord(bytes + 4));
	const std::int32_t width = std::int32_t(readWord(bytes + 8));
	const std::uint32_t mipCount = readWord(bytes + 12);
	const std::uint32_t flags = readWord(bytes + 16);
	const std::uint32_t alphaMask = readWord(bytes + 40);
	if (headerSize > size || width < 1 || height < 1)
		return fail(image, "invalid PVR header");

	const unsigned format = flags & 0xff;
	const bool pvrtc = format == 0x0C || format == 0x0D || format == 0x18 || format == 0x19;
	const bool twoBit = format == 0x0C || format == 0x18;
	image.hasAlpha = (flags & kFlagAlpha) || alphaMask != 0;
	image.flipVertical = (flags & kFlagBottomUp) != 0;
	if (!pvrtc && (flags & kFlagTwiddled))
		return fail(image, "uncompressed twiddled PVR not supported");

	// 64-bit throughout: the header's sizes and counts are untrusted.
	const std::uint64_t levelCount =
		std::min<std::uint64_t>((flags & kFlagMipMaps) ? std::uint64_t(mipCount) + 1 : 1, kMaxLevels);
	std::uint64_t offset = headerSize;
	std::uint64_t w = std::uint64_t(width), h = std::uint64_t(height);
	for (std::uint64_t level = 0; level < levelCount; ++level) {
		ImageData::Level out;
		out.width = std::int32_t(w);
		out.height = std::int32_t(h);
		std::uint64_t levelSize;
		if (pvrtc) {
			// Levels below the format's minimum size are stored padded to it.
			levelSize = twoBit ? std::max<std::uint64_t>(w, 16) * std::max<std::uint64_t>(h, 8) * 2 / 8
							   : std::max<std::uint64_t>(w, 8) * std::max<std::uint64_t>(h, 8) * 4 / 8;
			if (levelSize > size - offset)
				break;
			out.pixels.resize(std::size_t(w * h * 4));
			decompressPvrtc(bytes + offset, twoBit, out.width, out.height, out.pixels.data());
		} else {
			const int bpp = bytesPerPixel(format);
			levelSize = w * h * std::uint64_t(bpp);
			if (bpp == 0 || levelSize > size - offset) {
				if (level > 0)
					break;
				char text[64];
				std::snprintf(text, sizeof text, "PVR format 0x%02x not supported", format);
				return fail(image, text);
			}
			out.pixels.resize(std::size_t(w * h * 4));
			convertPixels(format, bytes + offset, std::size_t(w * h), out.pixels.data());
		}
		image.levels.push_back(std::move(out));
		offset += levelSize;
		w = std::max<std::uint64_t>(w / 2, 1);
		h = std::max<std::uint64_t>(h / 2, 1);
	}
	if (image.levels.empty())
		return fail(image, "PVR without data");
	return true;
}

} // namespace lumaroll
