#include "import/Sha256.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define LUMAROLL_SHA_X86 1
#endif

namespace lumaroll {

namespace {

alignas(16) const std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

const std::uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

inline std::uint32_t rotr(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

inline std::uint32_t loadBigEndian(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

void compressPortable(std::uint32_t state[8], const unsigned char* data, size_t blocks)
{
    std::uint32_t w[64];
    for (; blocks > 0; --blocks, data += 64) {
        for (int i = 0; i < 16; ++i)
            w[i] = loadBigEndian(data + 4 * i);
        for (int i = 16; i < 64; ++i) {
            std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 64; ++i) {
            std::uint32_t t1 =
                h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
            std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef LUMAROLL_SHA_X86
// The SHA extensions keep the state as the pairs ABEF and CDGH.
__attribute__((target("sha,sse4.1,ssse3"))) void compressHardware(std::uint32_t state[8],
                                                                  const unsigned char* data, size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i tmp = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    __m128i state1 = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i state0 = _mm_alignr_epi8(tmp, state1, 8);
    state1 = _mm_blend_epi16(state1, tmp, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i saved0 = state0;
        const __m128i saved1 = state1;
        __m128i msg[4];
#pragma GCC unroll 16
        for (int g = 0; g < 16; ++g) {
            __m128i& w = msg[g & 3];
            if (g < 4) {
                w = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * g)), byteSwap);
            } else {
                const __m128i& prev = msg[(g - 1) & 3];
                __m128i t = _mm_add_epi32(_mm_sha256msg1_epu32(w, msg[(g - 3) & 3]),
                                          _mm_alignr_epi8(prev, msg[(g - 2) & 3], 4));
                w = _mm_sha256msg2_epu32(t, prev);
            }
            __m128i k = _mm_add_epi32(w, _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * g)));
            state1 = _mm_sha256rnds2_epu32(state1, state0, k);
            state0 = _mm_sha256rnds2_epu32(state0, state1, _mm_shuffle_epi32(k, 0x0E));
        }
        state0 = _mm_add_epi32(state0, saved0);
        state1 = _mm_add_epi32(state1, saved1);
    }

    tmp = _mm_shuffle_epi32(state0, 0x1B);
    state1 = _mm_shuffle_epi32(state1, 0xB1);
    state0 = _mm_blend_epi16(tmp, state1, 0xF0);
    state1 = _mm_alignr_epi8(state1, tmp, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), state0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), state1);
}

bool detectHardware()
{
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return ssse3 && sse41 && (b & (1u << 29));
}
#endif

using CompressFn = void (*)(std::uint32_t*, const unsigned char*, size_t);

CompressFn compressor(bool hardware)
{
#ifdef LUMAROLL_SHA_X86
    if (hardware)
        return compressHardware;
#else
    (void)hardware;
#endif
    return compressPortable;
}

// Remaining bytes, 0x80, zeros and the bit length in one or two more blocks,
// then the state words as hex.
std::string finish(CompressFn compress, std::uint32_t state[8], const unsigned char* rest, size_t restSize,
                   std::uint64_t total)
{
    unsigned char tail[128] = {};
    if (restSize > 0)
        std::memcpy(tail, rest, restSize);
    tail[restSize] = 0x80;
    const size_t tailBlocks = restSize < 56 ? 1 : 2;
    const std::uint64_t bits = total * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailBlocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    compress(state, tail, tailBlocks);

    char hex[65];
    for (int i = 0; i < 8; ++i)
        std::snprintf(hex + 8 * i, 9, "%08x", static_cast<unsigned>(state[i]));
    return std::string(hex, 64);
}

std::string digest(bool hardware, const char* data, size_t size)
{
    const CompressFn compress = compressor(hardware);
    std::uint32_t state[8];
    std::memcpy(state, kInitial, sizeof state);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
    const size_t whole = size / 64;
    if (whole > 0)
        compress(state, bytes, whole);
    return finish(compress, state, bytes + whole * 64, size % 64, size);
}

} // namespace

namespace detail {

bool sha256HardwareAvailable()
{
#ifdef LUMAROLL_SHA_X86
    static const bool available = detectHardware();
    return available;
#else
    return false;
#endif
}

std::string sha256HexUsing(bool hardware, const char* data, size_t size)
{
    return digest(hardware && sha256HardwareAvailable(), data, size);
}

} // namespace detail

std::string sha256Hex(const char* data, size_t size)
{
    return digest(detail::sha256HardwareAvailable(), data, size);
}

Sha256::Sha256() : hardware(detail::sha256HardwareAvailable())
{
    std::memcpy(state, kInitial, sizeof state);
}

void Sha256::update(const char* data, size_t size)
{
    const CompressFn compress = compressor(hardware);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
    total += size;
    if (pendingSize > 0) {
        const size_t take = std::min(size, 64 - pendingSize);
        std::memcpy(pending + pendingSize, bytes, take);
        pendingSize += take;
        bytes += take;
        size -= take;
        if (pendingSize < 64)
            return;
        compress(state, pending, 1);
        pendingSize = 0;
    }
    const size_t whole = size / 64;
    if (whole > 0)
        compress(state, bytes, whole);
    pendingSize = size % 64;
    if (pendingSize > 0)
        std::memcpy(pending, bytes + whole * 64, pendingSize);
}

std::string Sha256::finishHex()
{
    return finish(compressor(hardware), state, pending, pendingSize, total);
}

} // namespace lumaroll
