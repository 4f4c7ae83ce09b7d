#include <hgr/TransformAnimationSet.h>

#include <cstdio>

namespace hgr {

TransformAnimationSet::TransformAnimationSet(int capacity) {
	if (capacity < 1)
		return;
	// The table sizes itself only by growing: fill it with placeholder names
	// until it has grown to the requested size, then empty it again. The
	// buckets stay; the placeholder entries become free slots for later names.
	const int target = getLargerPrime(capacity);
	put(lang::String(), lang::Ptr<TransformAnimation>());
	char name[16];
	for (int i = 0; this->capacity() < target; ++i) {
		std::snprintf(name, sizeof(name), "%d", i);
		put(lang::String(name), lang::Ptr<TransformAnimation>());
	}
	clear();
}

} // namespace hgr
