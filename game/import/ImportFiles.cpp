#include "import/ImportFiles.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumaroll {
namespace importfs {

void makeDirs(const std::string& path) {
    std::string prefix;
    prefix.reserve(path.size());
    for (char c : path) {
        prefix += c;
        if ((c == '/' || c == '\\') && prefix.size() > 1)
            ::mkdir(prefix.c_str(), 0755);
    }
    ::mkdir(path.c_str(), 0755);
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool writeFileReplacing(const std::string& target, const char* data, size_t size) {
    if (target.empty() || target.back() == '/')
        return false;
    const std::string temp = target + ".import-part";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, data, size);
    // close can report a delayed write error (quota, network file systems).
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace importfs
} // namespace lumaroll
