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
    bool ok = false;           // ran to its end, the installed-data test passed and the files were flushed
    std::string error;         // failure message; empty on success
    int files = 0;             // regular files written
    std::int64_t bytes = 0;    // sum of their sizes
    std::string sha256;        // digest of the package file, 64 lower-case hex digits
    bool digestKnown = false;  // sha256 is one of knownPackageDigests()
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
    // Flushes the imported files to the disk, so that none is lost to a power
    // cut after success: called once with destDir, after the last file is
    // renamed into place and the installed-data test passed, before success
    // is reported. False fails the import with "Could not write " + destDir +
    // ".". Null means syncfs of destDir's file system (files written through
    // a link into another file system are not covered).
    std::function<bool(const std::string& destDir)> flushData;
};

// The digests of known-good data packages (built on first use).
const std::vector<std::string>& knownPackageDigests();

// Imports debPath into destDir. Never throws for bad input: every failure is
// returned as ok == false with error set. Files written before a failure stay.
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
