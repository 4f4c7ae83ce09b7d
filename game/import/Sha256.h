#pragma once
#include <cstddef>
#include <string>

namespace lumaroll {

// SHA-256 of the buffer as 64 lower-case hex digits.
std::string sha256Hex(const char* data, size_t size);

} // namespace lumaroll
