#include <gr/ContextObject.h>

namespace gr {

ContextObject::~ContextObject() {}

void ContextObject::lock(int) {}

void ContextObject::unlock() {}

int ContextObject::getLockMode() const {
	return LOCK_READWRITE;
}

} // gr
