#include "support/DriverAllocations.h"

#include "support/AllocationCounter.h"

namespace test {

namespace {

gr::GLES2_Dispatch g_next; // where the wrappers forward to

} // namespace

#define DRIVER_UNCOUNTED(name) \
	gr::gl.name = [](auto... a) { \
		UncountedAllocations driver; \
		return g_next.name(a...); \
	};

DriverAllocationsUncounted::DriverAllocationsUncounted() : saved(gr::gl) {
	g_next = gr::gl;
	GR_GLES2_FUNCTIONS(DRIVER_UNCOUNTED)
}

#undef DRIVER_UNCOUNTED

DriverAllocationsUncounted::~DriverAllocationsUncounted() {
	gr::gl = saved;
}

} // namespace test
