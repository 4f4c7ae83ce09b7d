#ifndef GR_PRIMITIVETYPE_H
#define GR_PRIMITIVETYPE_H

namespace gr {

/** How a primitive's vertices are assembled. Scene files hold these values (0..6). */
enum PrimitiveType {
	PRIMITIVE_POINT,
	PRIMITIVE_LINELIST,
	PRIMITIVE_LINESTRIP,
	PRIMITIVE_TRIANGLELIST,
	PRIMITIVE_TRIANGLESTRIP,
	PRIMITIVE_TRIANGLEFAN,
	/** Drawn as points. */
	PRIMITIVE_POINTSPRITE,
};

} // gr

#endif
