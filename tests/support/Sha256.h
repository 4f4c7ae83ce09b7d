#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaroll::test {

// SHA-256 of a byte range as 64 lower-case hexadecimal digits.
std::string sha256Hex(const void* data, std::size_t size);

} // namespace lumaroll::test
