#include "files/RegularFile.h"

#include <io/RegularFile.h>

#include <cerrno>
#include <cstdint>
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
    const char* reason = nullptr;
    const int fd = io::openRegularFile(path.c_str(), &reason);
    if (fd < 0 && why)
        *why = reason;
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
