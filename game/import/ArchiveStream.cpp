#include "import/ArchiveStream.h"

#include "import/Crc32.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumaroll {

namespace {
const size_t kInputChunk = 1 << 20;
// Most bytes the default readInPlace hands out at once.
const size_t kPlaceBuffer = 1 << 20;
const char kCorrupted[] = "corrupted compressed data";
} // namespace

PackageFile::~PackageFile()
{
    if (fd >= 0)
        ::close(fd);
}

bool PackageFile::open(const std::string& path, std::int64_t maxSize)
{
    // Non-blocking open: opening a named pipe must not wait for a writer.
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 || st.st_size > maxSize)
        return false;
    byteCount = st.st_size;
    return true;
}

bool PackageFile::readAt(std::int64_t offset, void* out, size_t n) const
{
    char* p = static_cast<char*>(out);
    while (n > 0) {
        const ssize_t got = ::pread(fd, p, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        n -= static_cast<size_t>(got);
        offset += got;
    }
    return true;
}

size_t ArchiveStream::readInPlace(const char*& at, size_t n)
{
    placeBuffer.resize(std::min(n, kPlaceBuffer));
    at = placeBuffer.data();
    return read(placeBuffer.data(), placeBuffer.size());
}

size_t ArchiveStream::skip(std::uint64_t n)
{
    std::uint64_t done = 0;
    while (done < n) {
        const char* at = nullptr;
        const size_t got = readInPlace(at, static_cast<size_t>(std::min<std::uint64_t>(kPlaceBuffer, n - done)));
        if (got == 0)
            break;
        done += got;
    }
    return static_cast<size_t>(done);
}

PlainStream::PlainStream(const PackageFile& file, std::int64_t offset, std::int64_t size)
    : file(file), offset(offset), end(offset + size)
{
}

size_t PlainStream::read(char* out, size_t n)
{
    const size_t want = static_cast<size_t>(std::min<std::int64_t>(std::int64_t(n), end - offset));
    if (want == 0)
        return 0;
    if (!file.readAt(offset, out, want)) {
        failure = "Could not read the file.";
        offset = end;
        return 0;
    }
    offset += static_cast<std::int64_t>(want);
    return want;
}

GzipStream::GzipStream(const PackageFile& file, std::int64_t offset, std::int64_t size)
    : file(file), offset(offset), end(offset + size)
{
    // Window bits 15 + 16: gzip wrapper only. zlib's own check of the data
    // is off: read() checks it with a faster CRC.
    if (inflateInit2(&zip, 31) == Z_OK) {
        started = true;
        inflateValidate(&zip, 0);
    } else {
        failure = "zlib could not be initialized";
    }
}

GzipStream::~GzipStream()
{
    if (started)
        inflateEnd(&zip);
}

size_t GzipStream::read(char* out, size_t n)
{
    if (!started || done || !failure.empty())
        return 0;
    zip.next_out = reinterpret_cast<unsigned char*>(out);
    zip.avail_out = static_cast<uInt>(n);
    while (zip.avail_out > 0) {
        if (zip.avail_in == 0 && offset < end) {
            const size_t chunk = static_cast<size_t>(std::min<std::int64_t>(kInputChunk, end - offset));
            input.resize(chunk);
            if (!file.readAt(offset, input.data(), chunk)) {
                failure = "Could not read the file.";
                break;
            }
            offset += static_cast<std::int64_t>(chunk);
            zip.next_in = input.data();
            zip.avail_in = static_cast<uInt>(chunk);
        }
        // With all input given, a stream cut short ends in Z_BUF_ERROR.
        const int rc = inflate(&zip, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            done = true;
            break;
        }
        if (rc != Z_OK) {
            failure = kCorrupted;
            break;
        }
    }
    const size_t produced = n - zip.avail_out;
    crc = crc32Update(crc, out, produced);
    if (done && !trailerMatches()) {
        done = false;
        if (failure.empty())
            failure = kCorrupted;
    }
    return produced;
}

bool GzipStream::trailerMatches()
{
    // The member's last eight bytes, just before the first byte inflate left
    // unused: the CRC-32 and the length modulo 2^32 of the inflated data,
    // both little-endian.
    unsigned char trailer[8];
    const std::int64_t memberEnd = offset - static_cast<std::int64_t>(zip.avail_in);
    if (!file.readAt(memberEnd - 8, trailer, sizeof trailer)) {
        failure = "Could not read the file.";
        return false;
    }
    auto word = [&](int at) {
        return std::uint32_t(trailer[at]) | std::uint32_t(trailer[at + 1]) << 8 |
               std::uint32_t(trailer[at + 2]) << 16 | std::uint32_t(trailer[at + 3]) << 24;
    };
    return word(0) == crc && word(4) == static_cast<std::uint32_t>(zip.total_out);
}

} // namespace lumaroll
