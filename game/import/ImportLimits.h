#pragma once
#include <cstdint>

namespace lumaroll {

// Largest package file that is read (it is held whole in memory); larger files
// fail with "Could not read the file.".
constexpr std::int64_t kMaxPackageSize = std::int64_t(1) << 30;
// Largest uncompressed data archive; a gzip member that inflates past it fails
// with "The package data is too large." instead of exhausting memory.
constexpr std::int64_t kMaxDataSize = std::int64_t(2) << 30;

} // namespace lumaroll
