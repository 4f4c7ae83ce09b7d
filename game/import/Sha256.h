#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaroll {

// SHA-256 of the buffer as 64 lower-case hex digits (the eight state words,
// each "%08x"). Uses the CPU's SHA instructions when it has them.
std::string sha256Hex(const char* data, size_t size);

// The same digest over data handed in pieces.
class Sha256 {
public:
    Sha256();
    void update(const char* data, size_t size);
    // The digest of everything handed so far; the object is spent afterwards.
    std::string finishHex();

private:
    std::uint32_t state[8];
    unsigned char pending[64];
    size_t pendingSize = 0;
    std::uint64_t total = 0;
    bool hardware;
};

namespace detail {
// True when the CPU offers the SHA extensions used by sha256Hex.
bool sha256HardwareAvailable();
// sha256Hex forced onto the plain C++ rounds (hardware == false) or onto the
// SHA instructions (hardware == true; only when sha256HardwareAvailable()).
std::string sha256HexUsing(bool hardware, const char* data, size_t size);
} // namespace detail

} // namespace lumaroll
