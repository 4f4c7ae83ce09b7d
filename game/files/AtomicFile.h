// Whole-file replacement that never leaves a truncated file behind.
#pragma once

#include <cstddef>
#include <string>

namespace lumaroll {

// A file written under a temporary name beside its target and renamed over
// the target once written and closed, so the target is always either the old
// file or the whole new one. Abandoned (temporary file removed) unless
// commit() succeeds.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Creates path + tempSuffix, to replace path, with the permissions of an
    // existing file at path. False when it cannot be created (or path names a folder).
    bool open(const std::string& path, const std::string& tempSuffix);
    // False when the bytes cannot all be written.
    bool write(const char* data, std::size_t size);
    // Closes and renames into place; false when either fails (the temporary
    // file is then removed).
    bool commit();
    void abandon();

private:
    std::string target, temp;
    int fd = -1;
};

// Writes content to a temporary file beside path and renames it over path, so
// readers see either the old file or the whole new one. A symbolic link at
// path stays: the file it leads to is replaced. Every write and the close are
// checked; returns false (and removes the temporary file) when any step fails,
// leaving the old file untouched.
bool replaceFileContents(const std::string& path, const std::string& content);

enum class NewFileResult { Written, Exists, Failed };

// Writes size bytes as a new file at path that never replaces another file:
// Exists (nothing written) when path is taken. The name is claimed with an
// exclusive create, the bytes go to a temporary file beside it (every write
// and the close checked) that is then renamed over the claim. Failed leaves
// nothing behind.
NewFileResult writeNewFile(const std::string& path, const char* data, std::size_t size);

} // namespace lumaroll
