// Whole-file replacement that never leaves a truncated file behind.
#pragma once

#include <string>

namespace lumaroll {

// Writes content to a temporary file beside path and renames it over path, so
// readers see either the old file or the whole new one. Every write and the
// close are checked; returns false (and removes the temporary file) when any
// step fails, leaving the old file untouched.
bool replaceFileContents(const std::string& path, const std::string& content);

} // namespace lumaroll
