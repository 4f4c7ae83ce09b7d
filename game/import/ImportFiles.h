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

// A file written under a temporary name beside its target and renamed over
// the target once written and closed, so the target is always either the old
// file or the whole new one. Abandoned (temporary file removed) unless
// commit() succeeds.
class ReplacingFile {
public:
    ~ReplacingFile();
    // False when the temporary file cannot be created (or target names a folder).
    bool open(const std::string& target);
    // False when the bytes cannot all be written.
    bool write(const char* data, size_t size);
    // Closes and renames into place; false when either fails.
    bool commit();
    void abandon();

private:
    std::string m_target, m_temp;
    int m_fd = -1;
};

} // namespace importfs
} // namespace lumaroll
