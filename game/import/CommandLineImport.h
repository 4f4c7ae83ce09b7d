#pragma once
#include <string>

namespace lumaroll {

// The command-line import: prints "importing %s into %s...", a line
// "  %d files" after every 50th file and "done: ..." on standard output, or
// "import failed: %s" on standard error. Returns the process exit code:
// 0 on success, 1 on failure. destDir is normally gameDataDir().
int importFromCommandLine(const std::string& package, const std::string& destDir);
int importFromCommandLine(const std::string& package);

} // namespace lumaroll
