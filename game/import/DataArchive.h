#pragma once
#include <cstdint>
#include <string>

#include "import/Import.h"

namespace lumaroll {

class ArchiveStream;
class HeldMarkers;

// Walks the tar archive of size bytes read from stream and writes the game
// files it keeps below "opt/plimbo/data" into destDir, counting them in result
// and reporting each to progress. Each file replaces its target whole
// (ReplacingFile::commitUnflushed) and has its write-out started; flushing
// them to the disk is the caller's. The markers are withdrawn before the
// first file is written and are written to their held-back files, which the
// caller places (HeldMarkers); an entry that would make a folder in a
// marker's place fails with "Could not write " + its path + ".". Returns
// false with result.error set when the archive is incomplete, a file cannot
// be written or the stream fails; other files written before stay.
bool extractDataArchive(ArchiveStream& stream, std::uint64_t size, const std::string& destDir,
                        HeldMarkers& markers, const ImportProgress& progress, ImportResult& result);

// The path below destDir that an entry name is extracted to ("data/..."), or
// the empty string when the entry is passed over.
std::string gameFileRelativePath(std::string name);

} // namespace lumaroll
