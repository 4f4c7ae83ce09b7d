#ifndef LANG_STRINGPOOL_H
#define LANG_STRINGPOOL_H

#include <lang/MemoryPool.h>

namespace lang {

/**
 * The process-wide pool behind lang::String: the "String" memory pool that
 * holds every text, the scratch area lent to lang::TempBuffer and the c_str
 * ring. Created on first use, never destroyed. Main thread only.
 */
class StringPool {
public:
	enum {
		SCRATCH_SIZE = 65536,
		MAX_TEMP_BUFFERS = 32,
		INITIAL_POOL_SIZE = 10000,
		RING_SIZE = 10000 // room for 4 recent c_str results of 1999 characters
	};

	struct TempEntry {
		char* data;
		int size;
	};

	/** The one instance, created on first use. */
	static StringPool& get() {
		if (!s_instance)
			create();
		return *s_instance;
	}

	MemoryPool pool;
	char scratch[SCRATCH_SIZE];
	int scratchTop;
	TempEntry tempStack[MAX_TEMP_BUFFERS];
	int tempCount;
	char ring[RING_SIZE];
	int ringPos;

private:
	StringPool();
	static void create();
	static StringPool* s_instance;
};

} // namespace lang

#endif
