#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replacements pair malloc with free, which GCC cannot see through once
// they are inlined into a call site.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<long> g_allocations{0};

void* counted(std::size_t size) noexcept {
	g_allocations.fetch_add(1, std::memory_order_relaxed);
	return std::malloc(size ? size : 1);
}

void* countedAligned(std::size_t size, std::align_val_t alignment) noexcept {
	g_allocations.fetch_add(1, std::memory_order_relaxed);
	const std::size_t a = static_cast<std::size_t>(alignment);
	// aligned_alloc wants a size that is a multiple of the alignment.
	const std::size_t rounded = size ? (size + a - 1) / a * a : a;
	return std::aligned_alloc(a, rounded);
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
	std::free(p);
}
void operator delete[](void* p) noexcept {
	std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
	std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
	std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
	std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
	std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
	std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
	std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
	std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
	std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
	std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
	std::free(p);
}
