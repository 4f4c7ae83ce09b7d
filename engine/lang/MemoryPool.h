#ifndef LANG_MEMORYPOOL_H
#define LANG_MEMORYPOOL_H

#include <lang/Object.h>
#include <lang/Array.h>

namespace lang {

/**
 * Arena of variable-sized blocks addressed by int handles, so blocks can move
 * (compaction) and the arena can be reallocated (growth) without breaking
 * anybody's reference. Read the payload pointer through get() after every
 * allocate: it may have moved.
 *
 * Block layout (4-byte aligned): refCount int, blockSize int (payload + 8),
 * payload. get() points at the payload.
 */
class MemoryPool : public Object {
public:
	/** Arena of exactly initialSize bytes; maxSize 0 means unlimited (2147483647). Name cut to 31 characters. */
	MemoryPool(int initialSize, int maxSize, const char* name);
	~MemoryPool() override;
	MemoryPool(const MemoryPool&) = delete;
	MemoryPool& operator=(const MemoryPool&) = delete;

	/**
	 * A new block of n payload bytes with refCount 1; returns its handle.
	 * Throws lang::OutOfMemoryException (empty message) for a negative n or
	 * when the block fits neither after compaction nor after growth within maxSize.
	 */
	int allocate(int n);
	/** Gives the handle back; the bytes stay until the next compaction. A handle that is not live is ignored. */
	void free(int handle);
	/** Moves all live blocks to the start of the arena. */
	void compact();
	/** Enlarges the arena to at least minSize bytes (by at least half, capped at maxSize). */
	void grow(int minSize);

	/** Payload of a live handle. */
	char* get(int handle) const { return m_blocks[handle]; }
	/** The block's reference count, stored 8 bytes before the payload. */
	int& refCount(int handle) const { return *reinterpret_cast<int*>(m_blocks[handle] - 8); }
	/** Payload size of a live handle. */
	int blockSize(int handle) const { return reinterpret_cast<const int*>(m_blocks[handle] - 8)[1] - 8; }

	/** Usable arena bytes. */
	int size() const { return m_size; }
	/** Arena bytes in use, counted from its start. */
	int top() const { return m_top; }
	int maxSize() const { return m_maxSize; }
	/** Number of handle slots (live and free). */
	int handleCount() const { return m_blocks.size(); }
	const char* name() const { return m_name; }

private:
	char* m_data;
	int m_size;
	int m_capacity;
	Array<char*> m_blocks;
	Array<int> m_freeHandles;
	int m_maxSize;
	int m_top;
	Array<int> m_order;
	char m_name[32];
};

} // namespace lang

#endif
