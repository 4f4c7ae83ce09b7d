#ifndef GR_TEXTURE_H
#define GR_TEXTURE_H

#include <gr/BaseTexture.h>
#include <gr/Rect.h>

namespace gr {

/** Two-dimensional texture, also usable as a render target. */
class Texture : public BaseTexture {
public:
	Texture() : BaseTexture(CLASSID_TEXTURE) {}

	/** Copies a width x height block of pixels (rows rowPitch bytes apart) into the texture at (x, y). */
	virtual void uploadSubImage(int x, int y, const void* pixels, int rowPitch, int width, int height,
								SurfaceFormat format) = 0;

	virtual void flushPixels() = 0;

	/** (0, 0, width, height). */
	virtual Rect getRect() const = 0;

	/** Direct access to pixels kept on the CPU side; null and 0 when the backend keeps none. */
	virtual void getPixelData(void** pixels, int* pitch) = 0;
};

} // gr

#endif
