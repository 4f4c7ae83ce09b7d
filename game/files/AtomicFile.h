// Whole-file replacement that never leaves a truncated file behind, not even
// after a power cut.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace lumaroll {

// Flushes what was written to an open file or folder (fd, open for the call
// only) to the disk; false, with errno set, when that fails. syncToDisk is the
// real one; tests pass one that records the order of the calls or fails.
using DiskSync = std::function<bool(int fd)>;

// fsync(fd) == 0.
bool syncToDisk(int fd);

// A file written under a temporary name beside its target and renamed over
// the target once written and closed, so the target is always either the old
// file or the whole new one. Abandoned (temporary file removed) unless a
// commit succeeds. Every failing step keeps the system's reason for it.
class ReplacingFile {
public:
    // sync is what commit() flushes the new file and its folder with.
    explicit ReplacingFile(DiskSync sync = syncToDisk);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Creates path + tempSuffix, to replace path, with the permissions of an
    // existing file at path. False when it cannot be created (or path names a folder).
    bool open(const std::string& path, const std::string& tempSuffix);
    // False when the bytes cannot all be written.
    bool write(const char* data, std::size_t size);
    // Flushes the new file to the disk, closes it, renames it over the target
    // and flushes the target's folder, so that after a power cut the target
    // is the old file or the whole new one. False when any step fails: before
    // the rename the temporary file is removed and the old file stays; when
    // only the folder's flush fails the new file is in place but may not
    // survive a power cut.
    bool commit();
    // Closes and renames into place without flushing, for a caller that
    // flushes many files at once afterwards, as the importer does at its end.
    // False when the close or the rename fails (the temporary file is then
    // removed).
    bool commitUnflushed();
    void abandon();

    // The system's text for the errno of the step that failed last ("Is a
    // directory", "No space left on device"; "Unknown error" when a flush
    // failed without setting errno); empty while no step has failed.
    const std::string& failure() const { return reason; }

private:
    // Keeps the text of error as the failure; returns false.
    bool fail(int error);

    DiskSync sync;
    std::string target, temp;
    int fd = -1;
    std::string reason;
};

// Writes content to a temporary file beside path and renames it over path
// (ReplacingFile::commit), so readers see either the old file or the whole new
// one, also after a power cut. A symbolic link at path stays: the file it
// leads to is replaced. Every write, the close and both flushes are checked;
// returns false when any step fails, and the old file stays unless only the
// folder's flush failed (see commit()). When why is given it then receives
// the failing step's reason (ReplacingFile::failure).
bool replaceFileContents(const std::string& path, const std::string& content, const DiskSync& sync = syncToDisk,
                         std::string* why = nullptr);

enum class NewFileResult { Written, Exists, Failed };

// Writes size bytes as a new file at path that never replaces another file:
// Exists (nothing written) when path is taken. The name is claimed with an
// exclusive create, the bytes go to a temporary file beside it (every write
// and the close checked) that is then renamed over the claim. Failed leaves
// nothing behind.
NewFileResult writeNewFile(const std::string& path, const char* data, std::size_t size);

} // namespace lumaroll
