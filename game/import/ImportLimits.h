#pragma once
#include <cstdint>

namespace lumaroll {

// Largest package file accepted (the game's package is far smaller); larger
// files fail with "Could not read the file.".
constexpr std::int64_t kMaxPackageSize = std::int64_t(1) << 30;
// Largest uncompressed data archive: a gzip member that inflates past it (a
// bomb) fails with "The package data is too large." before anything is
// written, and gunzip() never grows its output past it.
constexpr std::int64_t kMaxDataSize = std::int64_t(2) << 30;

} // namespace lumaroll
