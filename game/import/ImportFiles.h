#pragma once
// File-system helpers of the importer (kept apart from the app's path helpers
// so the importer library stands on its own).
#include <string>

namespace lumaroll {
namespace importfs {

// Creates path and every missing parent with mode 0755; failures are silent.
void makeDirs(const std::string& path);

// True when path exists and is a directory.
bool isDirectory(const std::string& path);

// Writes size bytes to a temporary file beside target, closes it and renames
// it over target, so target is always either the old file or the whole new
// one. Returns false (and removes the temporary file) when any step fails.
bool writeFileReplacing(const std::string& target, const char* data, size_t size);

} // namespace importfs
} // namespace lumaroll
