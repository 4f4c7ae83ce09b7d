// Whole-file replacement of the settings and score files: a linked file stays
// linked, a private file stays private, and a power cut leaves the old file or
// the whole new one.
#include "files/AtomicFile.h"
#include "store/Scores.h"
#include "store/Settings.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumaroll;

namespace {

mode_t modeOf(const std::string& path) {
	struct stat st;
	return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// True when fd is open on the file or folder at path.
bool isOpenOn(int fd, const std::string& path) {
	struct stat open, named;
	return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
		   open.st_ino == named.st_ino;
}

bool isLink(const std::string& path) {
	struct stat st;
	return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(ReplacingFileTest, LinkedSettingsFileIsWrittenThroughTheLink) {
	test::TempDir dir;
	ASSERT_EQ(mkdir((dir / "dotfiles").c_str(), 0755), 0);
	ASSERT_TRUE(test::writeFile(dir / "dotfiles/lumaroll.ini", "# Lumaroll settings\naudio.mute=0\n"));
	ASSERT_EQ(symlink("dotfiles/lumaroll.ini", (dir / "config.ini").c_str()), 0);

	Settings settings;
	settings.loadFrom(dir / "config.ini");
	settings.setBool("audio.mute", true);
	ASSERT_TRUE(settings.saveTo(dir / "config.ini"));

	EXPECT_TRUE(isLink(dir / "config.ini"));
	EXPECT_EQ(test::readFile(dir / "dotfiles/lumaroll.ini"), "# Lumaroll settings\naudio.mute=1\n");
	EXPECT_EQ(access((dir / "dotfiles/lumaroll.ini.tmp." + std::to_string(getpid())).c_str(), F_OK), -1);
}

TEST(ReplacingFileTest, DanglingLinkIsReplacedByTheFile) {
	test::TempDir dir;
	ASSERT_EQ(symlink("missing/scores", (dir / "level2.scores").c_str()), 0);
	std::vector<int> list;
	bool saved = false;
	EXPECT_EQ(addHighScore(dir / "level2.scores", 4000, list, saved), 0);
	EXPECT_TRUE(saved);
	EXPECT_FALSE(isLink(dir / "level2.scores"));
	EXPECT_EQ(test::readFile(dir / "level2.scores"), "4000\n3500\n2000\n");
}

TEST(ReplacingFileTest, ReplacementKeepsThePermissions) {
	test::TempDir dir;
	for (mode_t mode : {mode_t(0600), mode_t(0640)}) {
		SCOPED_TRACE(mode == 0600 ? "mode 0600" : "mode 0640");
		const std::string path = dir / "config.ini";
		ASSERT_TRUE(test::writeFile(path, "old\n"));
		ASSERT_EQ(chmod(path.c_str(), mode), 0);
		ASSERT_TRUE(replaceFileContents(path, "new\n"));
		EXPECT_EQ(test::readFile(path), "new\n");
		EXPECT_EQ(modeOf(path), mode);
	}
}

// The new file is flushed to the disk before the rename (else a power cut can
// leave the target empty) and its folder after it (else the rename itself can
// be lost); a failed flush is a failed save.
TEST(ReplacingFileTest, FlushesTheFileBeforeTheRenameAndTheFolderAfter) {
	test::TempDir dir;
	const std::string path = dir / "level2.scores";
	const std::string temp = path + ".tmp." + std::to_string(getpid());
	// A flush as seen at its moment: what the descriptor is open on, the
	// target's contents and whether the temporary file is there.
	const std::string fileBeforeRename = "file; target 3500; temporary file present";
	const std::string folderAfterRename = "folder; target 4000; temporary file gone";
	const struct {
		const char* name;
		size_t failingFlush; // 1-based; 0 for none
		bool saved;
		const char* left; // the target afterwards
		std::vector<std::string> flushes;
	} cases[] = {
		{"both flushes succeed", 0, true, "4000\n", {fileBeforeRename, folderAfterRename}},
		{"the file's flush fails: the old file stays", 1, false, "3500\n", {fileBeforeRename}},
		{"the folder's flush fails: renamed but reported", 2, false, "4000\n", {fileBeforeRename, folderAfterRename}},
	};
	for (const auto& c : cases) {
		ASSERT_TRUE(test::writeFile(path, "3500\n"));
		std::vector<std::string> flushes;
		std::string why = "untouched";
		const DiskSync recorder = [&](int fd) {
			const std::string target = test::readFile(path);
			flushes.push_back(std::string(isOpenOn(fd, temp)		 ? "file"
										  : isOpenOn(fd, dir.path()) ? "folder"
																	 : "other") +
							  "; target " + target.substr(0, target.find('\n')) +
							  (test::fileExists(temp) ? "; temporary file present" : "; temporary file gone"));
			if (flushes.size() != c.failingFlush)
				return true;
			errno = EIO; // as a failing disk reports it
			return false;
		};
		EXPECT_EQ(replaceFileContents(path, "4000\n", recorder, &why), c.saved) << c.name;
		// The reason is the failed flush's own, not that of the clean-up after it.
		EXPECT_EQ(why, c.saved ? "untouched" : std::strerror(EIO)) << c.name;
		EXPECT_EQ(flushes, c.flushes) << c.name;
		EXPECT_EQ(test::readFile(path), c.left) << c.name;
		EXPECT_FALSE(test::fileExists(temp)) << c.name;
	}
}

// A failed save tells why, from the step that failed: the user reads it.
TEST(ReplacingFileTest, AFailedReplacementGivesTheSystemsReason) {
	test::TempDir dir;
	ASSERT_TRUE(test::makeDirs(dir / "folder/inside"));
	ASSERT_TRUE(test::writeFile(dir / "plain", "x"));
	const struct {
		const char* name;
		std::string path;
		int error;
	} cases[] = {
		{"a folder in the file's place: the rename", dir / "folder", EISDIR},
		{"a file in the folder's place: the temporary file", dir / "plain/config.ini", ENOTDIR},
		{"no folder: the temporary file", dir / "missing/config.ini", ENOENT},
		{"a path naming a folder", dir / "folder/", EISDIR},
	};
	for (const auto& c : cases) {
		std::string why;
		EXPECT_FALSE(replaceFileContents(c.path, "new\n", syncToDisk, &why)) << c.name;
		EXPECT_EQ(why, std::strerror(c.error)) << c.name;
	}
	EXPECT_TRUE(test::isDirectory(dir / "folder/inside")) << "the folder is left as it was";
	EXPECT_EQ(test::readFile(dir / "plain"), "x");
	EXPECT_FALSE(test::fileExists(dir / ("folder.tmp." + std::to_string(getpid())))) << "no temporary file stays";
}

} // namespace
