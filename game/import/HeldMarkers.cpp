#include "import/HeldMarkers.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace lumaroll {

namespace {

const char kHeldSuffix[] = ".import-part";

// rel without empty and "." segments, which name the same file: "data//a/./b"
// is "data/a/b".
std::string plainPath(const std::string& rel)
{
    std::string plain;
    for (std::size_t start = 0; start <= rel.size();) {
        std::size_t end = rel.find('/', start);
        if (end == std::string::npos)
            end = rel.size();
        const std::size_t length = end - start;
        if (length > 0 && !(length == 1 && rel[start] == '.')) {
            if (!plain.empty())
                plain += '/';
            plain.append(rel, start, length);
        }
        start = end + 1;
    }
    return plain;
}

} // namespace

HeldMarkers::HeldMarkers(std::string destDir, std::function<bool()> flush)
    : destDir(std::move(destDir)), flush(std::move(flush))
{
}

HeldMarkers::~HeldMarkers()
{
    if (done)
        return;
    try {
        restore();
    } catch (...) {
        // A flush that throws while an exception leaves the import: the
        // markers stay as they are, which the next import sorts out.
    }
}

std::string HeldMarkers::markerPath(std::size_t marker) const
{
    return destDir + "/" + kInstalledMarkers[marker];
}

std::string HeldMarkers::heldPath(int marker) const
{
    return markerPath(std::size_t(marker)) + kHeldSuffix;
}

std::string HeldMarkers::withdraw()
{
    if (withdrawn)
        return std::string();
    bool moved = false;
    for (std::size_t i = 0; i < kCount; ++i) {
        const std::string heldFile = heldPath(int(i));
        ::unlink(heldFile.c_str());
        if (std::rename(markerPath(i).c_str(), heldFile.c_str()) == 0) {
            earlier[i] = true;
            held[i] = true;
            moved = true;
        } else if (errno != ENOENT && errno != ENOTDIR) {
            return "Could not write " + markerPath(i) + ".";
        }
    }
    // Without the flush the markers could come back after a power cut, beside
    // files of the new package.
    if (moved && !flush())
        return "Could not write " + destDir + ".";
    withdrawn = true;
    return std::string();
}

int HeldMarkers::markerIndex(const std::string& rel)
{
    const std::string plain = plainPath(rel);
    for (std::size_t i = 0; i < kCount; ++i)
        if (plain == kInstalledMarkers[i])
            return int(i);
    return -1;
}

bool HeldMarkers::inMarkerPlace(const std::string& rel)
{
    const std::string plain = plainPath(rel);
    for (const char* marker : kInstalledMarkers) {
        const std::string path = marker;
        if (plain.compare(0, path.size(), path) == 0 && (plain.size() == path.size() || plain[path.size()] == '/'))
            return true;
    }
    return false;
}

void HeldMarkers::hold(int marker)
{
    held[marker] = true;
}

bool HeldMarkers::complete() const
{
    for (std::size_t i = 0; i < kCount; ++i) {
        struct stat st;
        if (!held[i] && ::stat(markerPath(i).c_str(), &st) != 0)
            return false;
    }
    return true;
}

bool HeldMarkers::place()
{
    bool renamed = false;
    for (std::size_t i = 0; i < kCount; ++i) {
        if (!held[i])
            continue;
        if (std::rename(heldPath(int(i)).c_str(), markerPath(i).c_str()) != 0)
            return false;
        held[i] = false;
        renamed = true;
    }
    // The renames reach the disk only with a flush; success is reported after it.
    if (renamed && !flush())
        return false;
    done = true;
    return true;
}

void HeldMarkers::restore()
{
    if (done)
        return;
    done = true;
    bool anyEarlier = false;
    for (bool was : earlier)
        anyEarlier = anyEarlier || was;
    // Before the withdrawal ended nothing of the package was written, and the
    // markers simply go back. After it, each file the import wrote is whole
    // (renamed into place) but maybe only in the page cache: the markers may
    // claim those files only once they are on the disk, and then any order in
    // which the renames below reach the disk is safe.
    const bool back = anyEarlier && (!withdrawn || flush());
    bool renamed = false;
    for (std::size_t i = 0; i < kCount; ++i) {
        if (back && earlier[i]) {
            // Not held: place() has put it there already.
            if (held[i] && std::rename(heldPath(int(i)).c_str(), markerPath(i).c_str()) == 0) {
                held[i] = false;
                renamed = true;
            }
            continue;
        }
        ::unlink(heldPath(int(i)).c_str());
        held[i] = false;
        // Only place() can have put a marker there since the withdrawal.
        if (withdrawn)
            ::unlink(markerPath(i).c_str());
    }
    if (renamed)
        flush();
}

} // namespace lumaroll
