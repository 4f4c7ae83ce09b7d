#pragma once
// The CRC-32 that closes a gzip member, fast enough to check hundreds of
// megabytes of inflated data in a fraction of the time inflating them takes.

#include <cstddef>
#include <cstdint>

namespace lumaroll {

// crc continued over the buffer; start from 0. Equals zlib's crc32(crc, data,
// size). Uses the CPU's carry-less multiply when it has it.
std::uint32_t crc32Update(std::uint32_t crc, const void* data, size_t size);

namespace detail {
// True when the CPU offers the instructions crc32Update folds with.
bool crc32HardwareAvailable();
// crc32Update forced onto zlib's tables (hardware == false) or onto the
// folding with carry-less multiply (hardware == true; only when
// crc32HardwareAvailable()).
std::uint32_t crc32UpdateUsing(bool hardware, std::uint32_t crc, const void* data, size_t size);
} // namespace detail

} // namespace lumaroll
