#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

// The replacements pair malloc with free, which GCC cannot see through once
// they are inlined into a call site.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<long> g_allocations{0};
std::atomic<long> g_bytes{0};
thread_local int t_uncounted = 0;

// p, with its block's bytes counted as held; null stays null.
void* held(void* p) noexcept {
	if (p)
		g_bytes.fetch_add(long(malloc_usable_size(p)), std::memory_order_relaxed);
	return p;
}

// Frees a block of operator new, no longer counting its bytes.
void release(void* p) noexcept {
	if (p)
		g_bytes.fetch_sub(long(malloc_usable_size(p)), std::memory_order_relaxed);
	std::free(p);
}

void* counted(std::size_t size) noexcept {
	if (t_uncounted == 0)
		g_allocations.fetch_add(1, std::memory_order_relaxed);
	return held(std::malloc(size ? size : 1));
}

void* countedAligned(std::size_t size, std::align_val_t alignment) noexcept {
	if (t_uncounted == 0)
		g_allocations.fetch_add(1, std::memory_order_relaxed);
	const std::size_t a = static_cast<std::size_t>(alignment);
	// aligned_alloc wants a size that is a multiple of the alignment.
	const std::size_t rounded = size ? (size + a - 1) / a * a : a;
	return held(std::aligned_alloc(a, rounded));
}

void* orThrow(void* p) {
	if (!p)
		throw std::bad_alloc();
	return p;
}

} // namespace

namespace test {

long allocationCount() {
	return g_allocations.load(std::memory_order_relaxed);
}

UncountedAllocations::UncountedAllocations() {
	++t_uncounted;
}

UncountedAllocations::~UncountedAllocations() {
	--t_uncounted;
}

long allocatedBytes() {
	return g_bytes.load(std::memory_order_relaxed);
}

} // namespace test

void* operator new(std::size_t size) {
	return orThrow(counted(size));
}
void* operator new[](std::size_t size) {
	return orThrow(counted(size));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
	return counted(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
	return counted(size);
}
void* operator new(std::size_t size, std::align_val_t a) {
	return orThrow(countedAligned(size, a));
}
void* operator new[](std::size_t size, std::align_val_t a) {
	return orThrow(countedAligned(size, a));
}
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
	return countedAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
	return countedAligned(size, a);
}

void operator delete(void* p) noexcept {
	release(p);
}
void operator delete[](void* p) noexcept {
	release(p);
}
void operator delete(void* p, std::size_t) noexcept {
	release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
	release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
	release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
	release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
	release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
	release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
	release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
	release(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
	release(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
	release(p);
}
