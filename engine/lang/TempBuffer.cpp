#include <lang/TempBuffer.h>
#include <lang/StringPool.h>
#include <lang/OutOfMemoryException.h>
#include <cstdlib>

namespace lang {

TempBuffer::TempBuffer(int n) : m_data(nullptr), m_size(0), m_index(-1) {
	long long size = n > 0 ? ((long long)n + 15) & ~15LL : 0;
	if (size > 0x7fffffff)
		throw OutOfMemoryException();
	StringPool& sp = StringPool::get();
	if (sp.tempCount < StringPool::MAX_TEMP_BUFFERS && size <= StringPool::SCRATCH_SIZE - sp.scratchTop) {
		m_data = sp.scratch + sp.scratchTop;
		m_size = (int)size;
		sp.scratchTop += m_size;
		m_index = sp.tempCount;
		sp.tempStack[m_index].data = m_data;
		sp.tempStack[m_index].size = m_size;
		++sp.tempCount;
		return;
	}
	// The shared area is exhausted: lend a heap block instead of overrunning it.
	m_data = static_cast<char*>(std::malloc(size > 0 ? (size_t)size : 1));
	if (!m_data)
		throw OutOfMemoryException();
	m_size = (int)size;
}

TempBuffer::~TempBuffer() {
	if (!m_data)
		return;
	if (m_index < 0) {
		std::free(m_data);
		return;
	}
	StringPool& sp = StringPool::get();
	sp.tempStack[m_index].data = nullptr;
	if (m_index == sp.tempCount - 1) {
		while (sp.tempCount > 0 && !sp.tempStack[sp.tempCount - 1].data) {
			--sp.tempCount;
			sp.scratchTop -= sp.tempStack[sp.tempCount].size;
		}
	}
}

int TempBuffer::scratchTop() {
	return StringPool::get().scratchTop;
}

int TempBuffer::lentCount() {
	return StringPool::get().tempCount;
}

} // namespace lang
