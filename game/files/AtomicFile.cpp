#include "files/AtomicFile.h"

#include "files/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace lumaroll {

// 0 when every byte was written, else the errno of the failed write.
static int writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

bool syncToDisk(int fd)
{
    return ::fsync(fd) == 0;
}

ReplacingFile::ReplacingFile(DiskSync sync) : sync(std::move(sync)) {}

ReplacingFile::~ReplacingFile()
{
    abandon();
}

bool ReplacingFile::open(const std::string& path, const std::string& tempSuffix)
{
    abandon();
    reason.clear();
    if (path.empty())
        return fail(ENOENT);
    if (path.back() == '/')
        return fail(EISDIR);
    target = path;
    temp = path + tempSuffix;
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        temp.clear();
        return fail(errno);
    }
    // The new file keeps the permissions of the one it replaces (a private
    // settings file stays private).
    struct stat old;
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    return true;
}

bool ReplacingFile::write(const char* data, std::size_t size)
{
    if (fd < 0)
        return fail(EBADF);
    const int error = writeAll(fd, data, size);
    return error == 0 || fail(error);
}

bool ReplacingFile::commit()
{
    // Without the file's flush the rename can reach the disk before the
    // data, and after a power cut the target would be empty; without the
    // folder's flush the rename itself can be lost.
    if (fd < 0)
        return fail(EBADF);
    errno = 0;
    if (!sync(fd)) {
        fail(errno);
        abandon();
        return false;
    }
    if (!commitUnflushed())
        return false;
    // A file right below the root has "" for its folder.
    const std::string folder = dirName(target).empty() ? "/" : dirName(target);
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return fail(errno);
    errno = 0;
    const bool flushed = sync(folderFd);
    const int error = errno;
    ::close(folderFd);
    return flushed || fail(error);
}

bool ReplacingFile::commitUnflushed()
{
    if (fd < 0)
        return fail(EBADF);
    // close can report a delayed write error (quota, network file systems).
    const bool closed = ::close(fd) == 0;
    fd = -1;
    if (!closed || std::rename(temp.c_str(), target.c_str()) != 0) {
        fail(errno);
        abandon();
        return false;
    }
    temp.clear();
    return true;
}

bool ReplacingFile::fail(int error)
{
    reason = error != 0 ? std::strerror(error) : "Unknown error";
    return false;
}

void ReplacingFile::abandon()
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (!temp.empty()) {
        ::unlink(temp.c_str());
        temp.clear();
    }
}

// The file a symbolic link leads to, so that replacing it keeps the link (a
// settings file kept elsewhere and linked in); the path itself otherwise.
static std::string linkTarget(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path; // a dangling link is replaced by the file itself
    std::string result = real;
    std::free(real);
    return result;
}

bool replaceFileContents(const std::string& path, const std::string& content, const DiskSync& sync,
                         std::string* why)
{
    // The process id keeps two running instances from sharing a temporary file.
    ReplacingFile file(sync);
    if (file.open(linkTarget(path), ".tmp." + std::to_string(getpid())) &&
        file.write(content.data(), content.size()) && file.commit())
        return true;
    if (why)
        *why = file.failure();
    return false;
}

NewFileResult writeNewFile(const std::string& path, const char* data, std::size_t size)
{
    const int claim = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (claim < 0)
        return errno == EEXIST ? NewFileResult::Exists : NewFileResult::Failed;
    ::close(claim);
    ReplacingFile file;
    if (file.open(path, ".tmp." + std::to_string(getpid())) && file.write(data, size) && file.commit())
        return NewFileResult::Written;
    ::unlink(path.c_str());
    return NewFileResult::Failed;
}

} // namespace lumaroll
