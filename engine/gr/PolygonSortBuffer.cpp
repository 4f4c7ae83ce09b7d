#include <gr/PolygonSortBuffer.h>
#include <cstring>

namespace gr {

PolygonSortBuffer::PolygonSortBuffer()
	: m_block(nullptr), m_size(0), m_capacity(0), m_shorts(nullptr), m_floats(nullptr) {}

PolygonSortBuffer::~PolygonSortBuffer() {
	delete[] m_block;
}

void PolygonSortBuffer::reserve(int shortCount, int floatCount) {
	if (shortCount < 0)
		shortCount = 0;
	if (floatCount < 0)
		floatCount = 0;
	const int needed = 4 * floatCount + 2 * shortCount + 4;
	const int oldSize = m_size;

	if (needed > m_capacity) {
		int capacity = 2 * m_capacity;
		if (capacity < 32)
			capacity = 32;
		if (capacity < needed)
			capacity = needed;
		uint8_t* block = new uint8_t[capacity];
		if (m_block) {
			memcpy(block, m_block, size_t(oldSize));
			memset(m_block, 0, size_t(oldSize));
		}
		delete[] m_block;
		m_block = block;
		m_capacity = capacity;
	}

	if (needed > oldSize)
		memset(m_block + oldSize, 0, size_t(needed - oldSize));
	else
		memset(m_block + needed, 0, size_t(oldSize - needed));

	m_size = needed;
	m_floats = reinterpret_cast<float*>(m_block);
	m_shorts = reinterpret_cast<uint16_t*>(m_block + 4 * floatCount);
	const uint8_t guard[4] = {0x6F, 0x6B, 0x21, 0x00};
	memcpy(m_block + 4 * floatCount + 2 * shortCount, guard, 4);
}

} // gr
