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

ReplacingFile::~ReplacingFile() { abandon(); }

bool ReplacingFile::open(const std::string& target) {
    abandon();
    if (target.empty() || target.back() == '/')
        return false;
    m_target = target;
    m_temp = target + ".import-part";
    m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_temp.clear();
        return false;
    }
    return true;
}

bool ReplacingFile::write(const char* data, size_t size) { return m_fd >= 0 && writeAll(m_fd, data, size); }

bool ReplacingFile::commit() {
    if (m_fd < 0)
        return false;
    // close can report a delayed write error (quota, network file systems).
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!closed || std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        abandon();
        return false;
    }
    m_temp.clear();
    return true;
}

void ReplacingFile::abandon() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

} // namespace importfs
} // namespace lumaroll
