#ifndef GR_BASETEXTURE_H
#define GR_BASETEXTURE_H

#include <gr/ContextObject.h>
#include <gr/SurfaceFormat.h>

namespace gr {

/** Common base of textures and cube textures. */
class BaseTexture : public ContextObject {
public:
	/** classId is CLASSID_TEXTURE or CLASSID_CUBETEXTURE. */
	explicit BaseTexture(int classId) : ContextObject(classId) {}

	virtual int getWidth() const = 0;
	virtual int getHeight() const = 0;
	virtual SurfaceFormat getFormat() const = 0;
};

} // gr

#endif
