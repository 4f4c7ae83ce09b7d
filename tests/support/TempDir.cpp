#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace test {

std::string systemTempDir() {
	const char* dir = std::getenv("TMPDIR");
	return dir && *dir ? dir : "/tmp";
}

TempDir::TempDir() : m_owner(int(::getpid())) {
	std::string pattern = systemTempDir() + "/lumaroll-test-XXXXXX";
	if (::mkdtemp(&pattern[0]))
		m_path = pattern;
	else
		ADD_FAILURE() << "cannot make a temporary folder from " << pattern << ": " << std::strerror(errno);
}

TempDir::~TempDir() {
	if (!m_path.empty() && int(::getpid()) == m_owner)
		removeTree(m_path);
}

namespace {

// Made on first use; the static's destructor removes it at exit.
std::unique_ptr<TempDir>& programScratch() {
	static std::unique_ptr<TempDir> dir;
	return dir;
}

} // namespace

std::string tempPath(const std::string& name) {
	std::unique_ptr<TempDir>& dir = programScratch();
	if (!dir)
		dir = std::make_unique<TempDir>();
	return *dir / name;
}

void removeTree(const std::string& path) {
	struct stat st;
	if (::lstat(path.c_str(), &st) != 0)
		return;
	if (!S_ISDIR(st.st_mode)) {
		::unlink(path.c_str());
		return;
	}
	// A folder a test made read-only (or unreadable) must be opened up before
	// its entries can be listed and removed.
	::chmod(path.c_str(), 0700);
	if (DIR* dir = ::opendir(path.c_str())) {
		while (dirent* e = ::readdir(dir)) {
			if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
				removeTree(path + "/" + e->d_name);
		}
		::closedir(dir);
	}
	::rmdir(path.c_str());
}

void removeSettled(const std::vector<std::string>& folders, const std::string& onFileSystem) {
	for (const std::string& folder : folders)
		removeTree(folder);
	const int fd = ::open(onFileSystem.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd >= 0) {
		::syncfs(fd);
		::close(fd);
	}
}

} // namespace test
