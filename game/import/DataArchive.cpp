#include "import/DataArchive.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "import/ArchiveStream.h"
#include "import/HeldMarkers.h"
#include "import/WriteOutStarter.h"

#include "files/AtomicFile.h"
#include "files/Paths.h"

namespace lumaroll {

namespace {

const size_t kBlock = 512;
// Most bytes of a file handed to one write.
const size_t kCopyPiece = 1 << 20;
// Longest GNU long name kept: far past the longest path the system can open.
const std::uint64_t kMaxLongName = 1 << 16;
// Length of "opt/plimbo/", which is removed from extracted names.
constexpr size_t kPackagePrefixLength = sizeof("opt/plimbo/") - 1;
const char kDataPrefix[] = "opt/plimbo/data";

// Text of a fixed-size field up to its first NUL byte.
std::string field(const char* p, size_t width)
{
    const void* nul = std::memchr(p, 0, width);
    return std::string(p, nul ? static_cast<const char*>(nul) - p : width);
}

// Octal size: a NUL ends the field, spaces are skipped, any other non-octal
// character ends it.
std::uint64_t octalField(const char* p, size_t width)
{
    std::uint64_t value = 0;
    for (size_t i = 0; i < width; ++i) {
        const char c = p[i];
        if (c == 0)
            break;
        if (c == ' ')
            continue;
        if (c < '0' || c > '7')
            break;
        value = value * 8 + std::uint64_t(c - '0');
    }
    return value;
}

} // namespace

std::string gameFileRelativePath(std::string name)
{
    while (name.compare(0, 2, "./") == 0)
        name.erase(0, 2);
    const size_t prefixLength = sizeof kDataPrefix - 1;
    if (name.compare(0, prefixLength, kDataPrefix) != 0)
        return std::string();
    // "opt/plimbo/database" or "opt/plimbo/data2/x" would land beside "data/".
    if (name.size() > prefixLength && name[prefixLength] != '/')
        return std::string();
    if (name.find("..") != std::string::npos)
        return std::string();
    return name.substr(kPackagePrefixLength);
}

namespace {

// Copies size bytes of the stream into a file that replaces writeTo (target,
// or a marker's held-back file), and has its write-out started. Returns the
// failure message, which names target, or empty on success.
std::string writeEntry(ArchiveStream& stream, std::uint64_t size, const std::string& target,
                       const std::string& writeTo, WriteOutStarter& writeOut)
{
    const std::string cannotWrite = "Could not write " + target + ".";
    ReplacingFile file;
    if (!file.open(writeTo, ".import-part"))
        return cannotWrite;
    while (size > 0) {
        const char* bytes = nullptr;
        const size_t got =
            stream.readInPlace(bytes, static_cast<size_t>(std::min<std::uint64_t>(kCopyPiece, size)));
        if (got == 0)
            return stream.error().empty() ? std::string("The package data is incomplete.") : stream.error();
        if (!file.write(bytes, got))
            return cannotWrite;
        size -= got;
    }
    // The importer flushes every file at once when the archive is done.
    if (!file.commitUnflushed())
        return cannotWrite;
    writeOut.start(writeTo);
    return std::string();
}

} // namespace

bool extractDataArchive(ArchiveStream& stream, std::uint64_t size, const std::string& destDir,
                        HeldMarkers& markers, const ImportProgress& progress, ImportResult& result)
{
    WriteOutStarter writeOut;
    auto streamFailed = [&]() {
        result.error = stream.error().empty() ? std::string("The package data is incomplete.") : stream.error();
        return false;
    };
    std::string longName;
    std::string madeFolder; // the folder of the last file written
    std::uint64_t offset = 0;
    char header[kBlock];
    while (size - offset >= kBlock) {
        if (stream.read(header, kBlock) < kBlock)
            return streamFailed();
        if (header[0] == 0)
            break; // end-of-archive block

        std::string name = field(header, 100);
        if (std::memcmp(header + 257, "ustar", 5) == 0) {
            const std::string prefix = field(header + 345, 155);
            if (!prefix.empty())
                name = prefix + "/" + name;
        }
        const std::uint64_t entrySize = octalField(header + 124, 12);
        const char type = header[156];
        const std::uint64_t dataStart = offset + kBlock;
        if (entrySize > size - dataStart) {
            result.error = "The package data is incomplete.";
            return false;
        }

        bool consumed = false;
        if (type == 'L') {
            // Only the text before the first NUL counts; a name longer than any
            // path the system can open is cut (it could not be written anyway).
            const size_t keep = static_cast<size_t>(std::min<std::uint64_t>(entrySize, kMaxLongName));
            longName.resize(keep);
            if (stream.read(&longName[0], keep) < keep)
                return streamFailed();
            longName = field(longName.data(), keep);
            if (stream.skip(entrySize - keep) < entrySize - keep)
                return streamFailed();
            consumed = true;
        } else {
            if (!longName.empty()) {
                name.swap(longName);
                longName.clear();
            }
            const std::string rel = name.empty() ? std::string() : gameFileRelativePath(name);
            if (!rel.empty()) {
                const std::string target = destDir + "/" + rel;
                // Nothing but the marker file itself may appear in a marker's
                // place before the end.
                const bool file = type == '0' || type == 0;
                const std::string made = file ? rel.substr(0, rel.rfind('/')) : rel;
                if ((file || type == '5') && HeldMarkers::inMarkerPlace(made)) {
                    result.error = "Could not write " + target + ".";
                    return false;
                }
                if (type == '5') {
                    makeDirs(target);
                } else if (file) {
                    std::string error = markers.withdraw();
                    if (!error.empty()) {
                        result.error = error;
                        return false;
                    }
                    // Files of one folder come one after the other: its
                    // parents are made once, not again for every file.
                    const std::string folder = target.substr(0, target.rfind('/'));
                    if (folder != madeFolder) {
                        makeDirs(folder);
                        madeFolder = folder;
                    }
                    const int marker = HeldMarkers::markerIndex(rel);
                    error = writeEntry(stream, entrySize, target, marker < 0 ? target : markers.heldPath(marker),
                                       writeOut);
                    if (!error.empty()) {
                        result.error = error;
                        return false;
                    }
                    if (marker >= 0)
                        markers.hold(marker);
                    consumed = true;
                    result.files += 1;
                    result.bytes += static_cast<std::int64_t>(entrySize);
                    if (progress)
                        progress(rel, result.files);
                }
            }
        }
        if (!consumed && stream.skip(entrySize) < entrySize)
            return streamFailed();

        // Padded to whole blocks; the end may lie past the archive's last byte.
        const std::uint64_t padded = (entrySize + kBlock - 1) / kBlock * kBlock;
        if (padded > size - dataStart)
            break;
        if (stream.skip(padded - entrySize) < padded - entrySize)
            return streamFailed();
        offset = dataStart + padded;
    }
    return true;
}

} // namespace lumaroll
