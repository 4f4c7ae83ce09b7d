#ifndef SUPPORT_TEMPDIR_H
#define SUPPORT_TEMPDIR_H

// Scratch folders for tests, benchmarks and fuzz targets, all below the
// system's temporary folder.

#include <string>
#include <vector>

namespace test {

// The system's temporary folder: $TMPDIR when it is set and not empty, else "/tmp".
std::string systemTempDir();

// A fresh folder below systemTempDir(), removed with everything in it on
// destruction by the process that made it (a forked child that exits through
// static destructors leaves it alone). When it cannot be made, path() is
// empty and the running test has failed.
class TempDir {
public:
	TempDir();
	~TempDir();
	TempDir(const TempDir&) = delete;
	TempDir& operator=(const TempDir&) = delete;

	// The folder, without a trailing '/'.
	const std::string& path() const { return m_path; }
	// path() + "/" + name (nothing is made).
	std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
	std::string m_path;
	int m_owner; // the process id of the maker
};

// The path of name inside the program's own scratch folder, a TempDir made
// on first use and removed when the program exits. The same name gives the
// same path; nothing is made at it.
std::string tempPath(const std::string& name);

// Removes path and everything below it, also folders a test made read-only;
// nothing when path does not exist. A symbolic link is removed, not followed.
void removeTree(const std::string& path);

// Removes the folders and flushes the file system that holds onFileSystem,
// so that a timed run starts on a settled disk: the deletion of a previous
// run's files (with its block discards) is not left for the next run's own
// flush to wait for.
void removeSettled(const std::vector<std::string>& folders, const std::string& onFileSystem);

} // namespace test

#endif
