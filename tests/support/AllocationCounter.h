#ifndef SUPPORT_ALLOCATIONCOUNTER_H
#define SUPPORT_ALLOCATIONCOUNTER_H

// Heap allocations of the whole program, counted by a replaced global
// operator new. Only programs linked with test_allocation_counter have it;
// they compare two readings around the code under watch.

namespace test {

// Every operator new and new[] call (plain, nothrow and aligned) since start.
long allocationCount();
// While one lives on a thread, that thread's allocations are not counted
// (the blocks' bytes still are): for code whose allocations belong to
// something else, such as the GL driver inside a GL call.
class UncountedAllocations {
public:
	UncountedAllocations();
	~UncountedAllocations();
	UncountedAllocations(const UncountedAllocations&) = delete;
	UncountedAllocations& operator=(const UncountedAllocations&) = delete;
};

// Bytes held by operator new's blocks not yet deleted (the allocator's usable
// size of each block), over the whole program.
long allocatedBytes();

} // namespace test

#endif
