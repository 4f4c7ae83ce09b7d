#pragma once
#include <cstddef>
#include <string>

namespace lumaroll {

// SHA-256 of the buffer as 64 lower-case hex digits (the eight state words,
// each "%08x"). Uses the CPU's SHA instructions when it has them.
std::string sha256Hex(const char* data, size_t size);

namespace detail {
// True when the CPU offers the SHA extensions used by sha256Hex.
bool sha256HardwareAvailable();
// sha256Hex forced onto the plain C++ rounds (hardware == false) or onto the
// SHA instructions (hardware == true; only when sha256HardwareAvailable()).
std::string sha256HexUsing(bool hardware, const char* data, size_t size);
} // namespace detail

} // namespace lumaroll
