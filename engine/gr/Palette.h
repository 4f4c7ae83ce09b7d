#ifndef GR_PALETTE_H
#define GR_PALETTE_H

#include <gr/ContextObject.h>
#include <gr/SurfaceFormat.h>

namespace gr {

/** Colour table of a palettized surface. */
class Palette : public ContextObject {
public:
	Palette() : ContextObject(CLASSID_PALETTE) {}

	/** Sets count entries from first on; entries are pixels in format. */
	virtual void setEntries(int first, const void* entries, SurfaceFormat format, int count) = 0;

	/** Reads count entries from first on as pixels in format. */
	virtual void getEntries(int first, void* entries, SurfaceFormat format, int count) const = 0;

	/** Number of entries given at creation. */
	virtual int getEntryCount() const = 0;
};

} // gr

#endif
