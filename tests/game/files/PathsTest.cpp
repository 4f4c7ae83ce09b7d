#include "files/Paths.h"

#include "support/Files.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <ostream>

#include <sys/stat.h>

using namespace lumaroll;
using test::ScopedEnv;

namespace {

struct DirCase {
	const char* name;
	const char* xdg;  // value of the XDG variable, null for unset
	const char* home; // value of HOME, null for unset
	const char* expected;
};

void PrintTo(const DirCase& c, std::ostream* os) {
	*os << c.name;
}

class DataDirTest : public testing::TestWithParam<DirCase> {};

TEST_P(DataDirTest, FollowsXdgThenHome) {
	const DirCase& c = GetParam();
	ScopedEnv env{{"XDG_DATA_HOME", c.xdg}, {"HOME", c.home}};
	EXPECT_EQ(dataDir(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DataDirTest,
						 testing::Values(DirCase{"xdg", "/x/data", "/home/u", "/x/data/lumaroll"},
										 DirCase{"emptyXdg", "", "/home/u", "/home/u/.local/share/lumaroll"},
										 DirCase{"unsetXdg", nullptr, "/home/u", "/home/u/.local/share/lumaroll"},
										 DirCase{"nothing", nullptr, nullptr, "./.local/share/lumaroll"},
										 DirCase{"emptyHome", nullptr, "", "./.local/share/lumaroll"}),
						 [](const testing::TestParamInfo<DirCase>& info) { return info.param.name; });

class ConfigDirTest : public testing::TestWithParam<DirCase> {};

TEST_P(ConfigDirTest, FollowsXdgThenHome) {
	const DirCase& c = GetParam();
	ScopedEnv env{{"XDG_CONFIG_HOME", c.xdg}, {"HOME", c.home}};
	EXPECT_EQ(configDir(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigDirTest,
						 testing::Values(DirCase{"xdg", "/x/conf", "/home/u", "/x/conf/lumaroll"},
										 DirCase{"emptyXdg", "", "/home/u", "/home/u/.config/lumaroll"},
										 DirCase{"nothing", nullptr, nullptr, "./.config/lumaroll"}),
						 [](const testing::TestParamInfo<DirCase>& info) { return info.param.name; });

// A fake xdg-user-dir first in PATH, answering the given text.
class PicturesDirTest : public testing::Test {
protected:
	void answer(const std::string& text) {
		const std::string script = dir / "xdg-user-dir";
		ASSERT_TRUE(test::writeFile(script, "#!/bin/sh\nprintf '" + text + "'\n"));
		chmod(script.c_str(), 0755);
	}
	test::TempDir dir;
	ScopedEnv env{{"PATH", dir.path().c_str()}, {"HOME", "/home/u"}, {"XDG_PICTURES_DIR", nullptr}};
};

TEST_F(PicturesDirTest, VariableWins) {
	answer("/elsewhere\\n");
	env.set("XDG_PICTURES_DIR", "/pics");
	EXPECT_EQ(picturesDir(), "/pics/Lumaroll");
}

TEST_F(PicturesDirTest, VariableEqualToHomeMeansNone) {
	env.set("XDG_PICTURES_DIR", "/home/u");
	EXPECT_EQ(picturesDir(), "/home/u/Pictures/Lumaroll");
}

TEST_F(PicturesDirTest, CommandAnswerLosesItsLineEnd) {
	answer("/home/u/Bilder\\r\\n");
	EXPECT_EQ(picturesDir(), "/home/u/Bilder/Lumaroll");
}

TEST_F(PicturesDirTest, CommandAnsweringHomeMeansNone) {
	answer("/home/u\\n");
	EXPECT_EQ(picturesDir(), "/home/u/Pictures/Lumaroll");
}

TEST_F(PicturesDirTest, NoCommandAndNoHome) {
	env.set("HOME", nullptr);
	EXPECT_EQ(picturesDir(), "./Pictures/Lumaroll");
}

TEST(PathTextTest, DirName) {
	EXPECT_EQ(dirName("level01.hgr"), ".");
	EXPECT_EQ(dirName("/x"), "");
	EXPECT_EQ(dirName("a/b/"), "a/b");
	EXPECT_EQ(dirName("a/b/c.hgr"), "a/b");
}

TEST(PathTextTest, WithTrailingSlash) {
	EXPECT_EQ(withTrailingSlash(""), "");
	EXPECT_EQ(withTrailingSlash("a/"), "a/");
	EXPECT_EQ(withTrailingSlash("a"), "a/");
}

TEST(PathTextTest, EndsWith) {
	EXPECT_TRUE(endsWith("abc", ""));
	EXPECT_TRUE(endsWith("ball.MP3", ".MP3"));
	EXPECT_FALSE(endsWith("c", "abc"));
	EXPECT_FALSE(endsWith("abc", "ab"));
}

TEST(PathTextTest, GetEnvStringAndSetEnvFlag) {
	ScopedEnv env{{"LUMAROLL_TEST_FLAG", nullptr}};
	EXPECT_EQ(getEnvString("LUMAROLL_TEST_FLAG"), "");
	EXPECT_EQ(setEnvFlag("LUMAROLL_TEST_FLAG", "1"), 0);
	EXPECT_EQ(getEnvString("LUMAROLL_TEST_FLAG"), "1");
	EXPECT_EQ(setEnvFlag("LUMAROLL_TEST_FLAG", nullptr), 0);
	EXPECT_EQ(std::getenv("LUMAROLL_TEST_FLAG"), nullptr);
}

TEST(MakeDirsTest, CreatesEveryMissingParent) {
	test::TempDir dir;
	test::ScopedCwd cwd;
	ASSERT_EQ(chdir(dir.path().c_str()), 0);
	makeDirs("a/b/c");
	EXPECT_TRUE(isDirectory("a/b/c"));
	makeDirs(dir / "x//y/");
	EXPECT_TRUE(isDirectory(dir / "x/y"));
	makeDirs(dir / "x/y"); // already there: nothing happens, nothing fails
	EXPECT_TRUE(isDirectory(dir / "x/y"));
	EXPECT_FALSE(makeDir(dir / "x"));
	EXPECT_TRUE(makeDir(dir / "z"));
}

TEST(MakeDirsTest, FileExistsAndIsDirectory) {
	test::TempDir dir;
	ASSERT_TRUE(test::writeFile(dir / "f", "x"));
	EXPECT_TRUE(fileExists(dir / "f"));
	EXPECT_FALSE(isDirectory(dir / "f"));
	EXPECT_TRUE(isDirectory(dir.path()));
	EXPECT_FALSE(fileExists(dir / "missing"));
}

TEST(AbsolutePathTest, ResolvesAgainstTheWorkingFolder) {
	test::ScopedCwd cwd;
	test::TempDir dir;
	ASSERT_EQ(chdir(dir.path().c_str()), 0);
	char* real = getcwd(nullptr, 0);
	std::string here = real;
	std::free(real);
	EXPECT_EQ(absolutePath("shot.png"), here + "/shot.png");
	EXPECT_EQ(absolutePath("/tmp/shot.png"), "/tmp/shot.png");
	EXPECT_EQ(absolutePath(""), "");
}

} // namespace
