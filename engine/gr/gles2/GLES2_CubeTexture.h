#ifndef GR_GLES2_CUBETEXTURE_H
#define GR_GLES2_CUBETEXTURE_H

#include <gr/CubeTexture.h>

namespace gr {

/** Cube texture placeholder: 1 x 1, no pixels and no GL object; samplers given it use their default. */
class GLES2_CubeTexture : public CubeTexture {
public:
	int getWidth() const override { return 1; }
	int getHeight() const override { return 1; }
	SurfaceFormat getFormat() const override { return SurfaceFormat(SurfaceFormat::A8R8G8B8); }
};

} // gr

#endif
