#ifndef GR_SURFACEFORMAT_H
#define GR_SURFACEFORMAT_H

#include <lang/String.h>
#include <cstdint>

namespace gr {

/**
 * Pixel format of a texture, a render target or a block of pixels, with the
 * layout of each format (bits per pixel and channel masks) and software
 * pixel conversion. Pixels are little-endian words; palettes are arrays of
 * pixels in their own non-palette format, null meaning no palette.
 */
class SurfaceFormat {
public:
	enum SurfaceFormatType {
		UNKNOWN,
		R8G8B8,
		B8G8R8,
		A8R8G8B8,
		X8R8G8B8,
		X8B8G8R8,
		A8B8G8R8,
		R5G6B5,
		R5G5B5,
		R6G6B6,
		P4,
		P8,
		L8,
		A1R5G5B5,
		X4R4G4B4,
		A4R4G4B4,
		A4B4G4R4,
		R4G4B4A4,
		A1B5G5R5,
		R5G5B5A1,
		R3G3B2,
		R3G2B3,
		A8,
		A8R3G3B2,
		A8R3G2B3,
		DXT1,
		DXT3,
		DXT5,
		R16F,
		G16R16F,
		A16B16G16R16F,
		R32F,
		G32R32F,
		A32B32G32R32F,
		D32,
		D24,
		D16,
		D24S8,
		/** Number of formats. */
		SURFACE_FORMAT_COUNT
	};

	SurfaceFormat() : m_type(UNKNOWN) {}
	SurfaceFormat(SurfaceFormatType type) : m_type(type) {}

	/** The last format of the table whose bits and four masks all equal the arguments; UNKNOWN when none does. */
	static SurfaceFormat fromPixelMasks(int bitsPerPixel, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
										uint32_t alphaMask);

	SurfaceFormatType type() const { return m_type; }

	/** Bits of one pixel; 0 for UNKNOWN, the DXT formats and types outside the table. */
	int bitsPerPixel() const;

	/** True when the format has an alpha mask or is a DXT format. */
	bool hasAlpha() const;

	/** Mask of channel 0 red, 1 green, 2 blue, 3 alpha; 0 for DXT formats and other channels. */
	uint32_t getChannelMask(int channel) const;

	/** Number of bits set in the channel's mask. */
	int getChannelBits(int channel) const;

	/** 256 for P8, 16 for P4, 0 otherwise. */
	int getPaletteSize() const;

	/** Name of the format ("A8R8G8B8"); "UNKNOWN" for a type outside the table. */
	const char* toString() const;

	/** Bytes of a width x height surface; DXT formats count whole 4x4 blocks. */
	int getSurfaceSize(int width, int height) const;

	bool operator==(const SurfaceFormat& other) const { return m_type == other.m_type; }
	bool operator!=(const SurfaceFormat& other) const { return m_type != other.m_type; }

	/**
	 * The format of an exact (case-sensitive) name. Throws GraphicsException
	 * "Unknown surface format: {0}" for any other name, "UNKNOWN" included.
	 */
	static SurfaceFormat parse(const lang::String& name);

	/** Writes one 0xAARRGGBB colour as one pixel at dst; DXT formats write nothing. */
	static void encodePixel(SurfaceFormat format, void* dst, SurfaceFormat paletteFormat, const void* palette,
							uint32_t colour);

	/** Converts a row of count pixels; a DXT format on either side writes nothing. */
	static void copyPixels(SurfaceFormat dstFormat, void* dst, SurfaceFormat dstPaletteFormat, const void* dstPalette,
						   SurfaceFormat srcFormat, const void* src, SurfaceFormat srcPaletteFormat,
						   const void* srcPalette, int count);

	/** Converts a width x height rectangle (pitches in bytes); DXT sources are decoded, DXT destinations left unchanged. */
	static void convertSurface(SurfaceFormat dstFormat, void* dst, int dstPitch, SurfaceFormat dstPaletteFormat,
							   const void* dstPalette, SurfaceFormat srcFormat, const void* src, int srcPitch,
							   SurfaceFormat srcPaletteFormat, const void* srcPalette, int width, int height);

	/**
	 * The pixel at (x, y) as red, green, blue and alpha in 0..1. For DXT
	 * formats pitch is the byte distance between rows of blocks.
	 */
	static void readPixel(SurfaceFormat format, int x, int y, const void* data, int pitch, SurfaceFormat paletteFormat,
						  const void* palette, float* out);

	/** Half-float bits of the 32-bit float with the given bits, rounded half up on the magnitude. */
	static uint16_t floatToHalf(uint32_t bits);

private:
	SurfaceFormatType m_type;
};

} // gr

#endif
