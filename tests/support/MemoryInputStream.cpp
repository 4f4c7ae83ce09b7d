#include "support/MemoryInputStream.h"

#include <climits>
#include <cstring>

namespace test {

MemoryInputStream::MemoryInputStream(const void* data, size_t size, const lang::String& name)
	: m_data(static_cast<const uint8_t*>(data)), m_left(size), m_name(name) {}

int MemoryInputStream::read(void* buf, int n) {
	if (n <= 0)
		return 0;
	const size_t k = size_t(n) < m_left ? size_t(n) : m_left;
	if (k)
		std::memcpy(buf, m_data, k);
	m_data += k;
	m_left -= k;
	return int(k);
}

int MemoryInputStream::available() {
	return m_left < size_t(INT_MAX) ? int(m_left) : INT_MAX;
}

} // namespace test
