#ifndef GR_GLES2_PALETTE_H
#define GR_GLES2_PALETTE_H

#include <gr/Palette.h>

namespace gr {

/** Palette that only remembers its size: GL ES 2 has no palettized surfaces. */
class GLES2_Palette : public Palette {
public:
	explicit GLES2_Palette(int entries) : m_entries(entries) {}

	/** Does nothing. */
	void setEntries(int, const void*, SurfaceFormat, int) override {}

	/** Does nothing. */
	void getEntries(int, void*, SurfaceFormat, int) const override {}

	int getEntryCount() const override { return m_entries; }

private:
	int m_entries;
};

} // gr

#endif
