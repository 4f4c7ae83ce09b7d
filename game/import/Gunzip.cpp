#include "import/Gunzip.h"

#include <algorithm>
#include <new>

#include <zlib.h>

namespace lumaroll {

namespace {
const size_t kStep = 65536;
const char kCorrupted[] = "corrupted compressed data";
const char kTooLarge[] = "The package data is too large.";
} // namespace

bool gunzip(const void* data, int size, std::vector<char>& out, std::string& error, std::int64_t maxOut)
{
    out.clear();
    if (size < 0 || maxOut < 0) {
        error = kCorrupted;
        return false;
    }
    const unsigned char* in = static_cast<const unsigned char*>(data);

    z_stream stream{};
    // Window bits 15 + 16: gzip wrapper only.
    if (inflateInit2(&stream, 31) != Z_OK) {
        error = "zlib could not be initialized";
        return false;
    }
    stream.next_in = const_cast<unsigned char*>(in);
    stream.avail_in = static_cast<uInt>(size);

    try {
        // The gzip trailer holds the uncompressed size modulo 2^32: reserving it
        // up front saves the copies of a growing buffer. It is only a hint.
        if (size >= 18) {
            const std::uint32_t hint = std::uint32_t(in[size - 4]) | (std::uint32_t(in[size - 3]) << 8) |
                                       (std::uint32_t(in[size - 2]) << 16) | (std::uint32_t(in[size - 1]) << 24);
            // Deflate expands at most about 1032 to 1, so a larger claim is false.
            const std::int64_t limit = std::min<std::int64_t>(maxOut, std::int64_t(size) * 1032);
            out.reserve(static_cast<size_t>(std::min<std::int64_t>(hint, limit)));
        }
        for (;;) {
            // One byte of room past the cap tells a stream that ends exactly at
            // the cap from one that goes on.
            const std::int64_t room = std::min<std::int64_t>(kStep, maxOut + 1 - std::int64_t(out.size()));
            const size_t used = out.size();
            out.resize(used + static_cast<size_t>(room));
            stream.next_out = reinterpret_cast<unsigned char*>(out.data() + used);
            stream.avail_out = static_cast<uInt>(room);
            const int rc = inflate(&stream, Z_NO_FLUSH);
            out.resize(used + static_cast<size_t>(room) - stream.avail_out);
            if (rc != Z_OK && rc != Z_STREAM_END) {
                inflateEnd(&stream);
                out.clear();
                error = kCorrupted;
                return false;
            }
            if (std::int64_t(out.size()) > maxOut) {
                inflateEnd(&stream);
                std::vector<char>().swap(out);
                error = kTooLarge;
                return false;
            }
            if (rc == Z_STREAM_END) {
                inflateEnd(&stream);
                return true;
            }
        }
    } catch (const std::bad_alloc&) {
        inflateEnd(&stream);
        std::vector<char>().swap(out);
        error = kTooLarge;
        return false;
    }
}

} // namespace lumaroll
