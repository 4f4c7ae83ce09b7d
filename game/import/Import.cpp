#include "import/Import.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "import/DataArchive.h"
#include "import/Gunzip.h"
#include "import/ImportFiles.h"
#include "import/Sha256.h"

namespace lumaroll {

namespace {

const char kArMagic[8] = {'!', '<', 'a', 'r', 'c', 'h', '>', '\n'};
const size_t kArHeader = 60;
const char kCannotRead[] = "Could not read the file.";
const char kNotDeb[] = "The file is not a .deb package.";
const char kNoData[] = "The package contains no data (data.tar).";
const char kDamaged[] = "The package is incomplete or damaged.";

struct Buffer {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
};

enum class ReadStatus { ok, cannotRead, empty };

// Reads a whole regular file of at most maxSize bytes. Directories, devices
// and pipes cannot be read this way (their sizes mean nothing).
ReadStatus readPackage(const std::string& path, std::int64_t maxSize, Buffer& out) {
    // Non-blocking open: opening a named pipe must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return ReadStatus::cannotRead;
    struct stat st;
    ReadStatus status = ReadStatus::ok;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 || st.st_size > maxSize) {
        status = ReadStatus::cannotRead;
    } else if (st.st_size == 0) {
        status = ReadStatus::empty;
    } else {
        const size_t size = static_cast<size_t>(st.st_size);
        out.bytes.reset(new (std::nothrow) char[size]);
        if (!out.bytes) {
            status = ReadStatus::cannotRead;
        } else {
            size_t done = 0;
            while (done < size) {
                const ssize_t n = ::read(fd, out.bytes.get() + done, size - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                done += static_cast<size_t>(n);
            }
            out.size = size;
            if (done < size)
                status = ReadStatus::cannotRead;
        }
    }
    ::close(fd);
    if (status != ReadStatus::ok)
        out = Buffer();
    return status;
}

// Member name: up to the first NUL, then trailing spaces and '/' removed.
std::string memberName(const char* header) {
    const void* nul = std::memchr(header, 0, 16);
    size_t length = nul ? static_cast<const char*>(nul) - header : 16;
    while (length > 0 && (header[length - 1] == ' ' || header[length - 1] == '/'))
        --length;
    return std::string(header, length);
}

// Member size: ten decimal ASCII bytes read as by strtoll.
long long memberSize(const char* header) {
    char text[11];
    std::memcpy(text, header + 48, 10);
    text[10] = 0;
    return std::strtoll(text, nullptr, 10);
}

ImportResult fail(ImportResult& result, const std::string& error) {
    result.ok = false;
    result.error = error;
    return result;
}

} // namespace

ImportResult importDebPackage(const std::string& debPath, const std::string& destDir,
                              const ImportProgress& progress) {
    return importDebPackage(debPath, destDir, progress, ImportOptions());
}

ImportResult importDebPackage(const std::string& debPath, const std::string& destDir,
                              const ImportProgress& progress, const ImportOptions& options) {
    ImportResult result;

    Buffer package;
    switch (readPackage(debPath, options.maxPackageSize, package)) {
    case ReadStatus::cannotRead:
        return fail(result, kCannotRead);
    case ReadStatus::empty:
        return fail(result, kNotDeb);
    case ReadStatus::ok:
        break;
    }
    const char* bytes = package.bytes.get();
    const size_t size = package.size;
    if (size < sizeof kArMagic || std::memcmp(bytes, kArMagic, sizeof kArMagic) != 0)
        return fail(result, kNotDeb);

    result.sha256 = sha256Hex(bytes, size);
    const std::vector<std::string>& known = options.knownDigests ? *options.knownDigests : knownPackageDigests();
    for (const std::string& digest : known)
        if (digest == result.sha256)
            result.digestKnown = true;

    // Find the data member; members after it are never looked at.
    const char* archive = nullptr;
    size_t archiveSize = 0;
    std::vector<char> inflated;
    size_t header = sizeof kArMagic;
    if (size < header + kArHeader)
        return fail(result, kNoData);
    for (;;) {
        const std::string name = memberName(bytes + header);
        const long long memberBytes = memberSize(bytes + header);
        const size_t dataStart = header + kArHeader;
        if (memberBytes < 0 || static_cast<unsigned long long>(memberBytes) > size - dataStart)
            return fail(result, kDamaged);
        const size_t length = static_cast<size_t>(memberBytes);
        if (name == "data.tar") {
            archive = bytes + dataStart;
            archiveSize = length;
            break;
        }
        if (name == "data.tar.gz") {
            std::string error;
            if (length > size_t(INT32_MAX) ||
                !gunzip(bytes + dataStart, static_cast<int>(length), inflated, error, options.maxDataSize))
                return fail(result, error.empty() ? std::string("The package data is too large.") : error);
            archive = inflated.data();
            archiveSize = inflated.size();
            break;
        }
        if (name.compare(0, 8, "data.tar") == 0)
            return fail(result, "Unsupported compression (" + name + "); expected data.tar.gz.");
        header = dataStart + length + (length & 1);
        if (header > size || size - header < kArHeader)
            return fail(result, kNoData);
    }

    importfs::makeDirs(destDir);
    if (!importfs::isDirectory(destDir))
        return fail(result, "Could not create the folder " + destDir + ".");

    if (!extractDataArchive(archive, archiveSize, destDir, progress, result))
        return fail(result, result.error);

    if (!hasGameData(destDir))
        return fail(result, "The package does not look like Plimbo Voyage (game data missing).");
    result.ok = true;
    return result;
}

} // namespace lumaroll
