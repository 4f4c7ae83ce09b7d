// Whole-file replacement of the settings and score files: a linked file stays
// linked and a private file stays private.
#include "files/AtomicFile.h"
#include "app/Scores.h"
#include "app/Settings.h"

#include "support/DebWriter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace lumaroll;

namespace {

mode_t modeOf(const std::string& path) {
	struct stat st;
	return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
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
		const std::string path = dir / "config.ini";
		ASSERT_TRUE(test::writeFile(path, "old\n"));
		ASSERT_EQ(chmod(path.c_str(), mode), 0);
		ASSERT_TRUE(replaceFileContents(path, "new\n"));
		EXPECT_EQ(test::readFile(path), "new\n");
		EXPECT_EQ(modeOf(path), mode);
	}
}

} // namespace
