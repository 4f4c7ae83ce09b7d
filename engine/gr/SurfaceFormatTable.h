#ifndef GR_SURFACEFORMATTABLE_H
#define GR_SURFACEFORMATTABLE_H

#include <gr/SurfaceFormat.h>

namespace gr {

/** One row of the surface format table. */
struct SurfaceFormatInfo {
	uint32_t type;
	uint32_t bits;
	uint32_t mask[4]; // red, green, blue, alpha
};

/** Rows in type order. */
extern const SurfaceFormatInfo SURFACE_FORMAT_TABLE[SurfaceFormat::SURFACE_FORMAT_COUNT];

/** Row of a type; the UNKNOWN row for a type outside the table. */
inline const SurfaceFormatInfo& surfaceFormatInfo(int type) {
	return SURFACE_FORMAT_TABLE[type >= 0 && type < SurfaceFormat::SURFACE_FORMAT_COUNT ? type : 0];
}

inline bool isDxt(int type) {
	return type == SurfaceFormat::DXT1 || type == SurfaceFormat::DXT3 || type == SurfaceFormat::DXT5;
}

} // gr

#endif
