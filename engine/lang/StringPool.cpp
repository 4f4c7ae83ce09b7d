#include <lang/StringPool.h>

namespace lang {

StringPool* StringPool::s_instance = nullptr;

StringPool::StringPool() : pool(INITIAL_POOL_SIZE, 0, "String"), scratchTop(0), tempStack(), tempCount(0), ringPos(0) {}

void StringPool::create() {
	// Lives for the whole process: strings may be released by static destructors.
	s_instance = new StringPool;
}

} // namespace lang
