#pragma once
#include <cstddef>
#include <string>

#include "import/Import.h"

namespace lumaroll {

// Walks the tar archive data[0, size) and writes the game files it keeps below
// "opt/plimbo/data" into destDir, counting them in result and reporting each to
// progress. Returns false with result.error set when the archive is incomplete
// or a file cannot be written; files written before stay.
bool extractDataArchive(const char* data, size_t size, const std::string& destDir,
                        const ImportProgress& progress, ImportResult& result);

// The path below destDir that an entry name is extracted to ("data/..."), or
// the empty string when the entry is passed over.
std::string gameFileRelativePath(std::string name);

} // namespace lumaroll
