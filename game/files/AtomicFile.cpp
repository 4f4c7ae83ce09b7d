#include "files/AtomicFile.h"

#include "files/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace lumaroll {

static bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
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
    if (path.empty() || path.back() == '/')
        return false;
    target = path;
    temp = path + tempSuffix;
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        temp.clear();
        return false;
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
    return fd >= 0 && writeAll(fd, data, size);
}

bool ReplacingFile::commit()
{
    // Without the file's flush the rename can reach the disk before the
    // data, and after a power cut the target would be empty; without the
    // folder's flush the rename itself can be lost.
    if (fd < 0 || !sync(fd)) {
        abandon();
        return false;
    }
    if (!commitUnflushed())
        return false;
    // A file right below the root has "" for its folder.
    const std::string folder = dirName(target).empty() ? "/" : dirName(target);
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    const bool flushed = sync(folderFd);
    ::close(folderFd);
    return flushed;
}

bool ReplacingFile::commitUnflushed()
{
    if (fd < 0)
        return false;
    // close can report a delayed write error (quota, network file systems).
    const bool closed = ::close(fd) == 0;
    fd = -1;
    if (!closed || std::rename(temp.c_str(), target.c_str()) != 0) {
        abandon();
        return false;
    }
    temp.clear();
    return true;
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

bool replaceFileContents(const std::string& path, const std::string& content, const DiskSync& sync)
{
    // The process id keeps two running instances from sharing a temporary file.
    ReplacingFile file(sync);
    return file.open(linkTarget(path), ".tmp." + std::to_string(getpid())) &&
           file.write(content.data(), content.size()) && file.commit();
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
