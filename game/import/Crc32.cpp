#include "import/Crc32.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#define LUMAROLL_CRC_X86 1
#include <immintrin.h>
#endif

namespace lumaroll {

namespace {

#ifdef LUMAROLL_CRC_X86
#define LUMAROLL_CLMUL __attribute__((target("pclmul,sse4.1")))

LUMAROLL_CLMUL inline __m128i load(const unsigned char* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The lane moved forward by the distance the constants k stand for, added to next.
LUMAROLL_CLMUL inline __m128i foldInto(__m128i lane, __m128i k, __m128i next)
{
    const __m128i low = _mm_clmulepi64_si128(lane, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// Folds a buffer of at least 64 bytes, a multiple of 16 long, into the
// bit-reflected CRC state (the CRC inverted): four lanes of 128 bits are
// folded forward 512 bits at a time, then into one lane, then reduced to 32
// bits (Barrett). The constants are powers of x modulo the gzip polynomial,
// bit-reflected.
LUMAROLL_CLMUL std::uint32_t foldHardware(const unsigned char* data, size_t size, std::uint32_t state)
{
    alignas(16) static const std::uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const std::uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const std::uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const std::uint64_t poly[] = {0x01db710641, 0x01f7011641};

    __m128i x1 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(state)));
    __m128i x2 = load(data + 16), x3 = load(data + 32), x4 = load(data + 48);
    data += 64;
    size -= 64;
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    for (; size >= 64; data += 64, size -= 64) {
        x1 = foldInto(x1, k, load(data));
        x2 = foldInto(x2, k, load(data + 16));
        x3 = foldInto(x3, k, load(data + 32));
        x4 = foldInto(x4, k, load(data + 48));
    }
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = foldInto(x1, k, x2);
    x1 = foldInto(x1, k, x3);
    x1 = foldInto(x1, k, x4);
    for (; size >= 16; data += 16, size -= 16)
        x1 = foldInto(x1, k, load(data));

    // 128 bits to 64.
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x00), _mm_srli_si128(x1, 4));
    // Barrett reduction to 32 bits.
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, mask), k, 0x00);
    return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}
#endif

std::uint32_t update(bool hardware, std::uint32_t crc, const void* data, size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
#ifdef LUMAROLL_CRC_X86
    if (hardware && size >= 64) {
        const size_t folded = size & ~size_t(15);
        crc = ~foldHardware(bytes, folded, ~crc);
        bytes += folded;
        size -= folded;
    }
#else
    (void)hardware;
#endif
    return static_cast<std::uint32_t>(crc32_z(crc, bytes, size));
}

} // namespace

namespace detail {

bool crc32HardwareAvailable()
{
#ifdef LUMAROLL_CRC_X86
    static const bool available = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return available;
#else
    return false;
#endif
}

std::uint32_t crc32UpdateUsing(bool hardware, std::uint32_t crc, const void* data, size_t size)
{
    return update(hardware && crc32HardwareAvailable(), crc, data, size);
}

} // namespace detail

std::uint32_t crc32Update(std::uint32_t crc, const void* data, size_t size)
{
    return update(detail::crc32HardwareAvailable(), crc, data, size);
}

} // namespace lumaroll
