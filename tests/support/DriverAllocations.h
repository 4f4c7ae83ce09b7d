#ifndef SUPPORT_DRIVERALLOCATIONS_H
#define SUPPORT_DRIVERALLOCATIONS_H

// While one lives, every function of gr::gl runs inside an
// UncountedAllocations scope (support/AllocationCounter.h): what the GL
// driver allocates inside a call (LLVM compiling a shader variant) is left
// out of the count, so that the count is the engine's and the game's own.
// Programs that use it link test_allocation_counter.

#include <gr/gles2/GLES2_Dispatch.h>

namespace test {

class DriverAllocationsUncounted {
public:
	DriverAllocationsUncounted();
	// Puts the earlier table back.
	~DriverAllocationsUncounted();
	DriverAllocationsUncounted(const DriverAllocationsUncounted&) = delete;
	DriverAllocationsUncounted& operator=(const DriverAllocationsUncounted&) = delete;

private:
	gr::GLES2_Dispatch saved;
};

} // namespace test

#endif
