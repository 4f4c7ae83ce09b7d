#ifndef GR_POLYGONSORTBUFFER_H
#define GR_POLYGONSORTBUFFER_H

#include <cstdint>

namespace gr {

/**
 * Scratch memory of the triangle sort, reused between sorts: a float part
 * at the start of the block, then a 16-bit part, then the guard word
 * 0x216B6F ("ok!" and a zero).
 */
class PolygonSortBuffer {
public:
	enum { GUARD = 0x216B6F };

	PolygonSortBuffer();
	~PolygonSortBuffer();

	/** Makes room for shortCount 16-bit and floatCount float values, cleared beyond what was in use. */
	void reserve(int shortCount, int floatCount);

	float* floats() const { return m_floats; }
	uint16_t* shorts() const { return m_shorts; }
	const uint8_t* data() const { return m_block; }
	int size() const { return m_size; }
	int capacity() const { return m_capacity; }

private:
	uint8_t* m_block;
	int m_size;
	int m_capacity;
	uint16_t* m_shorts;
	float* m_floats;

	PolygonSortBuffer(const PolygonSortBuffer&) = delete;
	PolygonSortBuffer& operator=(const PolygonSortBuffer&) = delete;
};

} // gr

#endif
