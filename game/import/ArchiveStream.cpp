#include "import/ArchiveStream.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumaroll {

namespace {
const size_t kInputChunk = 1 << 20;
const char kCorrupted[] = "corrupted compressed data";
} // namespace

PackageFile::~PackageFile() {
    if (fd >= 0)
        ::close(fd);
}

bool PackageFile::open(const std::string& path, std::int64_t maxSize) {
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

bool PackageFile::readAt(std::int64_t offset, void* out, size_t n) const {
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

size_t ArchiveStream::skip(std::uint64_t n) {
    char scratch[65536];
    std::uint64_t done = 0;
    while (done < n) {
        const size_t want = static_cast<size_t>(std::min<std::uint64_t>(sizeof scratch, n - done));
        const size_t got = read(scratch, want);
        done += got;
        if (got < want)
            break;
    }
    return static_cast<size_t>(done);
}

PlainStream::PlainStream(const PackageFile& file, std::int64_t offset, std::int64_t size)
    : file(file), offset(offset), end(offset + size) {}

size_t PlainStream::read(char* out, size_t n) {
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
    : file(file), offset(offset), end(offset + size) {
    // Window bits 15 + 16: gzip wrapper only.
    if (inflateInit2(&zip, 31) == Z_OK)
        started = true;
    else
        failure = "zlib could not be initialized";
}

GzipStream::~GzipStream() {
    if (started)
        inflateEnd(&zip);
}

size_t GzipStream::read(char* out, size_t n) {
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
    return n - zip.avail_out;
}

} // namespace lumaroll
