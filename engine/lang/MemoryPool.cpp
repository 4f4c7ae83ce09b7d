#include <lang/MemoryPool.h>
#include <lang/String.h>
#include <lang/OutOfMemoryException.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace lang {

namespace {

const long long MAX_INT = 0x7fffffff;
// Block header: refCount and blockSize.
const int HEADER = 8;
// Worst case a request needs past top: header plus up to 3 bytes of alignment, rounded up.
const int SLACK = 12;
// Zeroed bytes allocated past the arena's capacity.
const int PADDING = 32;

inline long long alignUp4(long long v) {
	return (v + 3) & ~3LL;
}

} // namespace

MemoryPool::MemoryPool(int initialSize, int maxSize, const char* name)
	: m_data(nullptr), m_size(0), m_capacity(0), m_maxSize(maxSize > 0 ? maxSize : 0x7fffffff), m_top(0) {
	String::cpy(m_name, sizeof(m_name), name ? name : "");
	if (initialSize > 0)
		grow(initialSize);
}

MemoryPool::~MemoryPool() {
	std::free(m_data);
}

int MemoryPool::allocate(int n) {
	if (n < 0)
		throw OutOfMemoryException();
	// 64-bit: top + n + 12 can pass the int range for large requests.
	long long need = (long long)m_top + n + SLACK;
	if (need > m_size) {
		compact();
		need = (long long)m_top + n + SLACK;
		if (need > m_size) {
			if (need > m_maxSize)
				throw OutOfMemoryException();
			// Growth never passes maxSize; need fits below it, so the block still fits.
			grow((int)std::min((long long)m_size + n + SLACK, (long long)m_maxSize));
			if (need > m_size)
				throw OutOfMemoryException();
		}
	}

	int handle;
	if (m_freeHandles.size() > 0) {
		handle = m_freeHandles[m_freeHandles.size() - 1];
		m_freeHandles.resize(m_freeHandles.size() - 1);
	} else {
		handle = m_blocks.size();
		m_blocks.add(nullptr);
	}

	const int offset = (int)alignUp4(m_top);
	int* header = reinterpret_cast<int*>(m_data + offset);
	header[0] = 1;
	header[1] = n + HEADER;
	m_blocks[handle] = m_data + offset + HEADER;
	m_top = offset + n + HEADER;
	return handle;
}

void MemoryPool::free(int handle) {
	// A handle that is not live is ignored: pushing it twice would hand it out twice.
	if (handle < 0 || handle >= m_blocks.size() || !m_blocks[handle])
		return;
	m_freeHandles.add(handle);
	m_blocks[handle] = nullptr;
}

void MemoryPool::compact() {
	const int count = m_blocks.size();
	m_order.resize(count);
	for (int i = 0; i < count; ++i)
		m_order[i] = i;
	// Null entries first, live blocks in arena order (std::sort is an introsort).
	char* const* blocks = m_blocks.begin();
	std::sort(m_order.begin(), m_order.end(),
			  [blocks](int a, int b) { return std::less<char*>()(blocks[a], blocks[b]); });

	long long top = 0;
	for (int i = 0; i < count; ++i) {
		const int h = m_order[i];
		char* payload = m_blocks[h];
		if (!payload)
			continue;
		char* block = payload - HEADER;
		int blockSize;
		std::memcpy(&blockSize, block + 4, sizeof(blockSize));
		top = alignUp4(top);
		std::memmove(m_data + top, block, (size_t)blockSize);
		m_blocks[h] = m_data + top + HEADER;
		top += blockSize;
	}
	m_top = (int)top;
}

void MemoryPool::grow(int minSize) {
	long long newSize = ((long long)m_size * 3 / 2 + 15) & ~15LL;
	if (newSize > m_maxSize)
		newSize = m_maxSize;
	if (newSize < minSize)
		newSize = minSize;
	if (newSize <= m_size)
		return;

	const int count = m_blocks.size();
	m_order.resize(count);
	for (int i = 0; i < count; ++i)
		m_order[i] = m_blocks[i] ? (int)(m_blocks[i] - m_data) : -1;

	if (newSize > m_capacity) {
		long long cap = std::max(newSize, std::max(2LL * m_capacity, 32LL));
		if (cap > MAX_INT)
			cap = MAX_INT;
		// Padding past the capacity lets readers fetch whole words up to a terminator.
		char* data = static_cast<char*>(std::realloc(m_data, (size_t)cap + PADDING));
		if (!data)
			throw OutOfMemoryException();
		std::memset(data + m_capacity, 0, (size_t)(cap - m_capacity) + PADDING);
		m_data = data;
		m_capacity = (int)cap;
	}
	std::memset(m_data + m_size, 0, (size_t)(newSize - m_size));
	m_size = (int)newSize;

	for (int i = 0; i < count; ++i)
		m_blocks[i] = m_order[i] < 0 ? nullptr : m_data + m_order[i];
}

} // namespace lang
