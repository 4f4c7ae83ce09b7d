#ifndef GR_CUBETEXTURE_H
#define GR_CUBETEXTURE_H

#include <gr/BaseTexture.h>

namespace gr {

/** Cube map texture. */
class CubeTexture : public BaseTexture {
public:
	CubeTexture() : BaseTexture(CLASSID_CUBETEXTURE) {}
};

} // gr

#endif
