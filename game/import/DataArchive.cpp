#include "import/DataArchive.h"

#include <cstdint>
#include <cstring>

#include "import/ImportFiles.h"

namespace lumaroll {

namespace {

const size_t kBlock = 512;
const char kPackagePrefix[] = "opt/plimbo/";  // removed from extracted names
const char kDataPrefix[] = "opt/plimbo/data";

// Text of a fixed-size field up to its first NUL byte.
std::string field(const char* p, size_t width) {
    const void* nul = std::memchr(p, 0, width);
    return std::string(p, nul ? static_cast<const char*>(nul) - p : width);
}

// Octal size: a NUL ends the field, spaces are skipped, any other non-octal
// character ends it.
std::uint64_t octalField(const char* p, size_t width) {
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

std::string gameFileRelativePath(std::string name) {
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
    return name.substr(sizeof kPackagePrefix - 1);
}

bool extractDataArchive(const char* data, size_t size, const std::string& destDir,
                        const ImportProgress& progress, ImportResult& result) {
    std::string longName;
    size_t offset = 0;
    while (size - offset >= kBlock) {
        const char* header = data + offset;
        if (header[0] == 0)
            break;  // end-of-archive block

        std::string name = field(header, 100);
        if (std::memcmp(header + 257, "ustar", 5) == 0) {
            const std::string prefix = field(header + 345, 155);
            if (!prefix.empty())
                name = prefix + "/" + name;
        }
        const std::uint64_t entrySize = octalField(header + 124, 12);
        const char type = header[156];
        const size_t dataStart = offset + kBlock;
        if (entrySize > size - dataStart) {
            result.error = "The package data is incomplete.";
            return false;
        }
        const char* entryData = data + dataStart;

        if (type == 'L') {
            longName = field(entryData, static_cast<size_t>(entrySize));
        } else {
            if (!longName.empty()) {
                name.swap(longName);
                longName.clear();
            }
            const std::string rel = name.empty() ? std::string() : gameFileRelativePath(name);
            if (!rel.empty()) {
                const std::string target = destDir + "/" + rel;
                if (type == '5') {
                    importfs::makeDirs(target);
                } else if (type == '0' || type == 0) {
                    const size_t slash = target.rfind('/');
                    importfs::makeDirs(target.substr(0, slash));
                    if (!importfs::writeFileReplacing(target, entryData, static_cast<size_t>(entrySize))) {
                        result.error = "Could not write " + target + ".";
                        return false;
                    }
                    result.files += 1;
                    result.bytes += static_cast<std::int64_t>(entrySize);
                    if (progress)
                        progress(rel, result.files);
                }
            }
        }
        // Padded to whole blocks; the end may lie past the archive's last byte.
        const std::uint64_t padded = (entrySize + kBlock - 1) / kBlock * kBlock;
        if (padded > size - dataStart)
            break;
        offset = dataStart + static_cast<size_t>(padded);
    }
    return true;
}

} // namespace lumaroll
