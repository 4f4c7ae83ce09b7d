#include "import/Import.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "import/ArchiveStream.h"
#include "import/DataArchive.h"
#include "import/HeldMarkers.h"
#include "import/ReadAheadStream.h"
#include "files/AtomicFile.h"
#include "files/Paths.h"
#include "import/Sha256.h"

namespace lumaroll {

namespace {

const char kArMagic[8] = {'!', '<', 'a', 'r', 'c', 'h', '>', '\n'};
const size_t kArHeader = 60;
const char kCannotRead[] = "Could not read the file.";
const char kNotDeb[] = "The file is not a .deb package.";
const char kNoData[] = "The package contains no data (data.tar).";
const char kDamaged[] = "The package is incomplete or damaged.";
const char kTooLarge[] = "The package data is too large.";
const size_t kReadChunk = 1 << 20;

// Member name: up to the first NUL, then trailing spaces and '/' removed.
std::string memberName(const char* header)
{
    const void* nul = std::memchr(header, 0, 16);
    size_t length = nul ? static_cast<const char*>(nul) - header : 16;
    while (length > 0 && (header[length - 1] == ' ' || header[length - 1] == '/'))
        --length;
    return std::string(header, length);
}

// Member size: ten decimal ASCII bytes read as by strtoll.
long long memberSizeField(const char* header)
{
    char text[11];
    std::memcpy(text, header + 48, 10);
    text[10] = 0;
    return std::strtoll(text, nullptr, 10);
}

// SHA-256 of the whole file, read in chunks. False when it cannot be read.
bool digestFile(const PackageFile& file, std::string& hex)
{
    Sha256 sha;
    std::vector<char> chunk(kReadChunk);
    for (std::int64_t at = 0; at < file.size();) {
        const size_t n = static_cast<size_t>(std::min<std::int64_t>(kReadChunk, file.size() - at));
        if (!file.readAt(at, chunk.data(), n))
            return false;
        sha.update(chunk.data(), n);
        at += static_cast<std::int64_t>(n);
    }
    hex = sha.finishHex();
    return true;
}

// Inflates the gzip member without keeping the output. Returns the failure
// message, or empty with the inflated length in size.
std::string checkGzipMember(const PackageFile& file, std::int64_t start, std::int64_t length, std::int64_t maxSize,
                            std::uint64_t& size)
{
    GzipStream check(file, start, length);
    std::vector<char> scratch(kReadChunk);
    std::uint64_t total = 0;
    for (;;) {
        const size_t got = check.read(scratch.data(), scratch.size());
        total += got;
        if (!check.error().empty())
            return check.error();
        if (total > std::uint64_t(maxSize))
            return kTooLarge;
        if (check.finished())
            break;
    }
    size = total;
    return std::string();
}

// The SHA-256 of the whole package file, an independent read of it: computed
// on a helper thread while the member is checked and extracted (at once when
// no thread can be started).
class PackageDigest {
public:
    explicit PackageDigest(const PackageFile& file)
    {
        try {
            worker = std::thread([this, &file] { read = digestFile(file, hex); });
        } catch (const std::system_error&) {
            read = digestFile(file, hex);
        }
    }
    ~PackageDigest() { wait(); }
    PackageDigest(const PackageDigest&) = delete;
    PackageDigest& operator=(const PackageDigest&) = delete;

    // Waits for the digest; false when the file could not be read, hex holds
    // the 64 hex digits otherwise.
    bool wait()
    {
        if (worker.joinable())
            worker.join();
        return read;
    }

    std::string hex;

private:
    bool read = false;
    std::thread worker;
};

// An open descriptor of a folder, closed on destruction; -1 when it cannot be opened.
struct FolderHandle {
    int fd;
    explicit FolderHandle(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
    }
    ~FolderHandle()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
};

ImportResult fail(ImportResult& result, const std::string& error)
{
    result.ok = false;
    result.error = error;
    return result;
}

} // namespace

ImportResult importDebPackage(const std::string& debPath, const std::string& destDir,
                              const ImportProgress& progress)
{
    return importDebPackage(debPath, destDir, progress, ImportOptions());
}

ImportResult importDebPackage(const std::string& debPath, const std::string& destDir,
                              const ImportProgress& progress, const ImportOptions& options)
{
    ImportResult result;

    // The package is read through small buffers, never held whole: reading
    // it again from the page cache is far cheaper than holding it in memory.
    PackageFile file;
    if (!file.open(debPath, options.maxPackageSize))
        return fail(result, kCannotRead);
    const std::int64_t size = file.size();
    if (size == 0)
        return fail(result, kNotDeb);
    char magic[sizeof kArMagic];
    if (size < std::int64_t(sizeof kArMagic))
        return fail(result, kNotDeb);
    if (!file.readAt(0, magic, sizeof magic))
        return fail(result, kCannotRead);
    if (std::memcmp(magic, kArMagic, sizeof kArMagic) != 0)
        return fail(result, kNotDeb);

    // Find the data member; members after it are never looked at.
    enum class Kind { plain, gzip } kind = Kind::plain;
    std::int64_t memberStart = 0, memberSize = 0;
    std::string memberError;
    std::int64_t header = sizeof kArMagic;
    if (size < header + std::int64_t(kArHeader))
        memberError = kNoData;
    while (memberError.empty()) {
        char bytes[kArHeader];
        if (!file.readAt(header, bytes, kArHeader))
            return fail(result, kCannotRead);
        const std::string name = memberName(bytes);
        const long long length = memberSizeField(bytes);
        const std::int64_t dataStart = header + std::int64_t(kArHeader);
        if (length < 0 || length > size - dataStart) {
            memberError = kDamaged;
        } else if (name == "data.tar" || name == "data.tar.gz") {
            kind = name == "data.tar" ? Kind::plain : Kind::gzip;
            memberStart = dataStart;
            memberSize = length;
            break;
        } else if (name.compare(0, 8, "data.tar") == 0) {
            memberError = "Unsupported compression (" + name + "); expected data.tar.gz.";
        } else {
            header = dataStart + length + (length & 1);
            if (header > size || size - header < std::int64_t(kArHeader))
                memberError = kNoData;
        }
    }

    // Every return from here on waits for the digest and reports it, or
    // fails with kCannotRead when the file could not be read whole.
    PackageDigest digest(file);
    const auto finish = [&](const std::string& error) {
        if (!digest.wait())
            return fail(result, kCannotRead);
        result.sha256 = digest.hex;
        const std::vector<std::string>& known = options.knownDigests ? *options.knownDigests
                                                                     : knownPackageDigests();
        for (const std::string& entry : known)
            if (entry == result.sha256)
                result.digestKnown = true;
        if (!error.empty())
            return fail(result, error);
        result.ok = true;
        return result;
    };
    if (!memberError.empty())
        return finish(memberError);

    // A damaged or oversized gzip member fails before anything is written:
    // inflate it once without keeping the output, to learn its length.
    std::uint64_t archiveSize = static_cast<std::uint64_t>(memberSize);
    if (kind == Kind::gzip) {
        const std::string checkError =
            checkGzipMember(file, memberStart, memberSize, options.maxDataSize, archiveSize);
        if (!checkError.empty())
            return finish(checkError);
    }

    makeDirs(destDir);
    if (!isDirectory(destDir))
        return finish("Could not create the folder " + destDir + ".");
    // Opened before the first file is written, so that the flush at the end
    // reports write-back failures met on the way, even when another program
    // flushes the same file system meanwhile.
    const std::string cannotWrite = "Could not write " + destDir + ".";
    FolderHandle folder(destDir);
    if (folder.fd < 0)
        return finish(cannotWrite);

    const auto flush = [&] { return options.flushData ? options.flushData(destDir) : ::syncfs(folder.fd) == 0; };
    HeldMarkers markers(destDir, flush);
    // Every failure from here on puts the markers that were in place back
    // (and flushes them) before it is reported.
    const auto failed = [&](const std::string& error) {
        markers.restore();
        return finish(error);
    };
    {
        std::unique_ptr<ArchiveStream> stream;
        if (kind == Kind::gzip)
            stream.reset(new GzipStream(file, memberStart, memberSize));
        else
            stream.reset(new PlainStream(file, memberStart, memberSize));
        ReadAheadStream ahead(*stream);
        if (!extractDataArchive(ahead, archiveSize, destDir, markers, progress, result))
            return failed(result.error);
    }

    if (!markers.complete())
        return failed("The package does not look like Plimbo Voyage (game data missing).");
    // Every file was renamed into place unflushed; one flush makes them all
    // survive a power cut. Only then do the markers make the folder count as
    // installed game data, and success is reported once they are flushed too.
    if (!flush() || !markers.place())
        return failed(cannotWrite);
    return finish(std::string());
}

} // namespace lumaroll
