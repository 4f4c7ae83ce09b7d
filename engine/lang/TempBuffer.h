#ifndef LANG_TEMPBUFFER_H
#define LANG_TEMPBUFFER_H

namespace lang {

/**
 * Scoped scratch memory lent by the string pool: n bytes raised to the next
 * multiple of 16, not cleared. When the shared scratch area is exhausted (32
 * buffers or 65536 bytes) the block comes from the heap instead. Release in
 * reverse order of taking to give the area back at once.
 */
class TempBuffer {
public:
	/** Throws lang::OutOfMemoryException when the memory cannot be had. A negative n lends 0 bytes. */
	explicit TempBuffer(int n);
	~TempBuffer();
	TempBuffer(const TempBuffer&) = delete;
	TempBuffer& operator=(const TempBuffer&) = delete;

	char* data() const { return m_data; }
	/** Bytes lent (n raised to a multiple of 16). */
	int size() const { return m_size; }

	/** Scratch bytes in use and buffers on the stack (for diagnostics). */
	static int scratchTop();
	static int lentCount();

private:
	char* m_data;
	int m_size;
	int m_index; // entry on the scratch stack, -1 for a heap block
};

} // namespace lang

#endif
