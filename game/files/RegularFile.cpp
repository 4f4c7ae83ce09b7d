#include "files/RegularFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumaroll {

namespace {

// Appends the rest of fd to out; false on a read error or when out would grow past maxBytes.
template <typename Buffer>
bool readRest(int fd, Buffer& out, std::size_t maxBytes)
{
    char piece[16384];
    for (;;) {
        const ssize_t n = ::read(fd, piece, sizeof piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (static_cast<std::size_t>(n) > maxBytes - out.size())
            return false;
        out.insert(out.end(), piece, piece + n);
    }
}

template <typename Buffer>
bool readWhole(const std::string& path, Buffer& out, std::size_t maxBytes)
{
    out.clear();
    const int fd = openRegularFile(path);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) == 0 && info.st_size > 0 && static_cast<std::uintmax_t>(info.st_size) <= maxBytes)
        out.reserve(static_cast<std::size_t>(info.st_size));
    const bool ok = readRest(fd, out, maxBytes);
    ::close(fd);
    if (!ok)
        Buffer().swap(out);
    return ok;
}

} // namespace

int openRegularFile(const std::string& path, std::string* why)
{
    // O_NONBLOCK: opening a named pipe returns at once instead of waiting for
    // a writer; O_NOCTTY: a terminal device must not become ours.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (why)
            *why = std::strerror(errno);
        return -1;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (why)
            *why = "not a regular file";
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        if (why)
            *why = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

std::FILE* openRegularFileStream(const std::string& path)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file)
        ::close(fd);
    return file;
}

bool readRegularFile(const std::string& path, std::vector<unsigned char>& bytes, std::size_t maxBytes)
{
    return readWhole(path, bytes, maxBytes);
}

bool readRegularFile(const std::string& path, std::string& text, std::size_t maxBytes)
{
    return readWhole(path, text, maxBytes);
}

} // namespace lumaroll
