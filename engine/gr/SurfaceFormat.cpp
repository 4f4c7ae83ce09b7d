#include <gr/SurfaceFormat.h>
#include <gr/SurfaceFormatTable.h>
#include <gr/GraphicsException.h>
#include <lang/Format.h>
#include <cstring>

namespace gr {

const SurfaceFormatInfo SURFACE_FORMAT_TABLE[SurfaceFormat::SURFACE_FORMAT_COUNT] = {
	{SurfaceFormat::UNKNOWN, 0, {0, 0, 0, 0}},
	{SurfaceFormat::R8G8B8, 24, {0xFF0000, 0xFF00, 0xFF, 0}},
	{SurfaceFormat::B8G8R8, 24, {0xFF, 0xFF00, 0xFF0000, 0}},
	{SurfaceFormat::A8R8G8B8, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
	{SurfaceFormat::X8R8G8B8, 32, {0xFF0000, 0xFF00, 0xFF, 0}},
	{SurfaceFormat::X8B8G8R8, 32, {0xFF, 0xFF00, 0xFF0000, 0}},
	{SurfaceFormat::A8B8G8R8, 32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}},
	{SurfaceFormat::R5G6B5, 16, {0xF800, 0x7E0, 0x1F, 0}},
	{SurfaceFormat::R5G5B5, 16, {0x7C00, 0x3E0, 0x1F, 0}},
	{SurfaceFormat::R6G6B6, 32, {0x3F000, 0xFC0, 0x3F, 0}},
	{SurfaceFormat::P4, 4, {0, 0, 0, 0}},
	{SurfaceFormat::P8, 8, {0, 0, 0, 0}},
	{SurfaceFormat::L8, 8, {0xFF, 0xFF, 0xFF, 0}},
	{SurfaceFormat::A1R5G5B5, 16, {0x7C00, 0x3E0, 0x1F, 0x8000}},
	{SurfaceFormat::X4R4G4B4, 16, {0xF00, 0xF0, 0xF, 0}},
	{SurfaceFormat::A4R4G4B4, 16, {0xF00, 0xF0, 0xF, 0xF000}},
	{SurfaceFormat::A4B4G4R4, 16, {0xF, 0xF0, 0xF00, 0xF000}},
	{SurfaceFormat::R4G4B4A4, 16, {0xF000, 0xF00, 0xF0, 0xF}},
	{SurfaceFormat::A1B5G5R5, 16, {0x1F, 0x3E0, 0x7C00, 0x8000}},
	{SurfaceFormat::R5G5B5A1, 16, {0xF800, 0x7C0, 0x3E, 0x1}},
	{SurfaceFormat::R3G3B2, 8, {0xE0, 0x1C, 0x3, 0}},
	{SurfaceFormat::R3G2B3, 8, {0xE0, 0x18, 0x7, 0}},
	{SurfaceFormat::A8, 8, {0, 0, 0, 0xFF}},
	{SurfaceFormat::A8R3G3B2, 16, {0xE0, 0x1C, 0x3, 0xFF00}},
	{SurfaceFormat::A8R3G2B3, 16, {0xE0, 0x18, 0x7, 0xFF00}},
	{SurfaceFormat::DXT1, 0, {0, 0, 0, 0}},
	{SurfaceFormat::DXT3, 0, {0, 0, 0, 0}},
	{SurfaceFormat::DXT5, 0, {0, 0, 0, 0}},
	{SurfaceFormat::R16F, 16, {0, 0, 0, 0}},
	{SurfaceFormat::G16R16F, 32, {0, 0, 0, 0}},
	{SurfaceFormat::A16B16G16R16F, 64, {0, 0, 0, 0}},
	{SurfaceFormat::R32F, 32, {0, 0, 0, 0}},
	{SurfaceFormat::G32R32F, 64, {0, 0, 0, 0}},
	{SurfaceFormat::A32B32G32R32F, 128, {0, 0, 0, 0}},
	{SurfaceFormat::D32, 32, {0, 0, 0, 0}},
	{SurfaceFormat::D24, 24, {0, 0, 0, 0}},
	{SurfaceFormat::D16, 16, {0, 0, 0, 0}},
	{SurfaceFormat::D24S8, 32, {0, 0, 0, 0}},
};

namespace {

const char* const NAMES[SurfaceFormat::SURFACE_FORMAT_COUNT] = {
	"UNKNOWN",
	"R8G8B8",
	"B8G8R8",
	"A8R8G8B8",
	"X8R8G8B8",
	"X8B8G8R8",
	"A8B8G8R8",
	"R5G6B5",
	"R5G5B5",
	"R6G6B6",
	"P4",
	"P8",
	"L8",
	"A1R5G5B5",
	"X4R4G4B4",
	"A4R4G4B4",
	"A4B4G4R4",
	"R4G4B4A4",
	"A1B5G5R5",
	"R5G5B5A1",
	"R3G3B2",
	"R3G2B3",
	"A8",
	"A8R3G3B2",
	"A8R3G2B3",
	"DXT1",
	"DXT3",
	"DXT5",
	"R16F",
	"G16R16F",
	"A16B16G16R16F",
	"R32F",
	"G32R32F",
	"A32B32G32R32F",
	"D32",
	"D24",
	"D16",
	"D24S8",
};

int countBits(uint32_t v) {
	int n = 0;
	for (; v; v &= v - 1)
		++n;
	return n;
}

} // namespace

SurfaceFormat SurfaceFormat::fromPixelMasks(int bitsPerPixel, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
											uint32_t alphaMask) {
	SurfaceFormatType found = UNKNOWN;
	for (int i = 0; i < SURFACE_FORMAT_COUNT; ++i) {
		const SurfaceFormatInfo& row = SURFACE_FORMAT_TABLE[i];
		if (int(row.bits) == bitsPerPixel && row.mask[0] == redMask && row.mask[1] == greenMask &&
			row.mask[2] == blueMask && row.mask[3] == alphaMask)
			found = SurfaceFormatType(i);
	}
	return SurfaceFormat(found);
}

int SurfaceFormat::bitsPerPixel() const {
	return int(surfaceFormatInfo(m_type).bits);
}

bool SurfaceFormat::hasAlpha() const {
	return surfaceFormatInfo(m_type).mask[3] != 0 || isDxt(m_type);
}

uint32_t SurfaceFormat::getChannelMask(int channel) const {
	if (channel < 0 || channel > 3)
		return 0;
	return surfaceFormatInfo(m_type).mask[channel];
}

int SurfaceFormat::getChannelBits(int channel) const {
	return countBits(getChannelMask(channel));
}

int SurfaceFormat::getPaletteSize() const {
	return m_type == P8 ? 256 : m_type == P4 ? 16 : 0;
}

const char* SurfaceFormat::toString() const {
	return NAMES[m_type >= 0 && m_type < SURFACE_FORMAT_COUNT ? m_type : 0];
}

int SurfaceFormat::getSurfaceSize(int width, int height) const {
	if (isDxt(m_type)) {
		const int64_t blocks = int64_t((width + 3) / 4) * int64_t((height + 3) / 4);
		return int(blocks * (m_type == DXT1 ? 8 : 16));
	}
	return int((int64_t(width) * int64_t(height) * bitsPerPixel()) >> 3);
}

SurfaceFormat SurfaceFormat::parse(const lang::String& name) {
	const char* text = name.c_str();
	for (int i = 1; i < SURFACE_FORMAT_COUNT; ++i) {
		if (!strcmp(text, NAMES[i]))
			return SurfaceFormat(SurfaceFormatType(i));
	}
	throw GraphicsException(lang::Format("Unknown surface format: {0}", name));
}

} // gr
