#pragma once
// Sequential reading of the package's data member, plain or gzip-compressed,
// straight from the package file through small reused buffers.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <zlib.h>

namespace lumaroll {

// Reads the package file by offset; the descriptor is closed on destruction.
class PackageFile {
public:
    PackageFile() = default;
    ~PackageFile();
    PackageFile(const PackageFile&) = delete;
    PackageFile& operator=(const PackageFile&) = delete;

    // Opens a regular file of at most maxSize bytes. Returns false for
    // anything else (missing, a directory, a device, a pipe, too large).
    bool open(const std::string& path, std::int64_t maxSize);
    std::int64_t size() const { return byteCount; }
    // Reads exactly n bytes at offset; false on an error or a short read.
    bool readAt(std::int64_t offset, void* out, size_t n) const;

private:
    int fd = -1;
    std::int64_t byteCount = 0;
};

// The data archive's bytes, one after the other.
class ArchiveStream {
public:
    virtual ~ArchiveStream() = default;
    // Copies up to n bytes into out; returns how many (fewer only at the end
    // of the data or after a failure).
    virtual size_t read(char* out, size_t n) = 0;
    // Points at up to n of the next bytes and passes over them, without
    // copying them where the stream can: returns how many, 0 only at the end
    // of the data, after a failure or for n == 0. at stays valid until the
    // next call on the stream. By default they are read into a buffer of the
    // stream.
    virtual size_t readInPlace(const char*& at, size_t n);
    // Passes over n bytes; returns how many.
    size_t skip(std::uint64_t n);
    // The failure message once read stopped early because of a failure.
    const std::string& error() const { return failure; }

protected:
    std::string failure;

private:
    std::vector<char> placeBuffer; // the bytes the default readInPlace hands out
};

// The member's bytes as they are (data.tar).
class PlainStream : public ArchiveStream {
public:
    PlainStream(const PackageFile& file, std::int64_t offset, std::int64_t size);
    size_t read(char* out, size_t n) override;

private:
    const PackageFile& file;
    std::int64_t offset, end;
};

// The first gzip member of the member's bytes, inflated (data.tar.gz).
class GzipStream : public ArchiveStream {
public:
    GzipStream(const PackageFile& file, std::int64_t offset, std::int64_t size);
    ~GzipStream() override;
    size_t read(char* out, size_t n) override;
    // True once the whole gzip member has been inflated without fault and
    // matches the CRC and length of its trailer.
    bool finished() const { return done; }

private:
    // True when the trailer of the member inflate has just ended holds the
    // CRC and length of the inflated data; sets failure when it cannot be read.
    bool trailerMatches();

    const PackageFile& file;
    std::int64_t offset, end;
    z_stream zip{};
    std::uint32_t crc = 0; // of the inflated data so far
    bool started = false, done = false;
    std::vector<unsigned char> input;
};

} // namespace lumaroll
