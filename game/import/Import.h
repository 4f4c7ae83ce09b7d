#pragma once
// Import of the game's data package (a .deb: ar archive holding data.tar or
// data.tar.gz) into the game-data folder, and the installed-data test.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "import/ImportLimits.h"

namespace lumaroll {

// Result of one import. Every import starts from false, empty strings and zeros.
struct ImportResult {
    bool ok = false;          // ran to its end, the installed-data test passed and the files were flushed
    std::string error;        // failure message; empty on success
    int files = 0;            // regular files written
    std::int64_t bytes = 0;   // sum of their sizes
    std::string sha256;       // digest of the package file, 64 lower-case hex digits
    bool digestKnown = false; // sha256 is one of knownPackageDigests()
};

// Called after each regular file is written, with its path inside the package
// less "opt/plimbo/" (so it begins with "data") and the running file count.
using ImportProgress = std::function<void(const std::string&, int)>;

// Limits and digests used by one import; the defaults are the production values.
struct ImportOptions {
    std::int64_t maxPackageSize = kMaxPackageSize;
    std::int64_t maxDataSize = kMaxDataSize;
    // Digests counted as known; null means knownPackageDigests().
    const std::vector<std::string>* knownDigests = nullptr;
    // Flushes what the import changed in destDir to the disk, so that none of
    // it is lost to a power cut after success. Called with destDir: once
    // after every file but the three markers is in place and the
    // installed-data test passed, and once after the markers are put in place
    // (see HeldMarkers), before success is reported; over an earlier
    // installation also once before the first file is written, after its
    // markers were withdrawn, and when that import fails once before its
    // markers come back and once after. False fails the import with "Could
    // not write " + destDir + "."; when the flush before the markers' return
    // fails, they do not come back. Null means syncfs of
    // destDir's file system (files written through a link into another file
    // system are not covered).
    std::function<bool(const std::string& destDir)> flushData;
};

// The digests of known-good data packages (built on first use).
const std::vector<std::string>& knownPackageDigests();

// Imports debPath into destDir. Never throws for bad input: every failure is
// returned as ok == false with error set. The three marker files of installed
// game data are put in place last, after every other file is on the disk, so
// destDir counts as installed only after a whole import. Files written before
// a failure stay. After a failure hasGameData(destDir) answers as it did
// before the import: the markers that were in place come back (this
// package's copy where it wrote one whole), flushed before the failure is
// returned, and markers of a first import are removed (see HeldMarkers). A
// killed import leaves no marker in place that claims files it wrote: over an
// earlier installation it leaves destDir without them.
ImportResult importDebPackage(const std::string& debPath, const std::string& destDir,
                              const ImportProgress& progress);
ImportResult importDebPackage(const std::string& debPath, const std::string& destDir,
                              const ImportProgress& progress, const ImportOptions& options);

// True when dir holds the three marker files of installed game data; false
// as soon as one of them is missing.
bool hasGameData(const std::string& dir);

// The folder that receives the game data: the user data directory, dataDir().
std::string gameDataDir();

} // namespace lumaroll
