#include "app/LaunchOptions.h"
#include "files/DataLayout.h"

#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <cmath>
#include <cstdlib>

using namespace lumaroll;

namespace {

std::string absolutePathOf(const std::string& path) {
	char* real = realpath(path.c_str(), nullptr);
	std::string result = real ? real : path;
	std::free(real);
	return result;
}

LaunchOptions parse(const std::vector<std::string>& words) {
	LaunchOptions options;
	parseCommandLine(options, words);
	return options;
}

TEST(ParseCommandLineTest, Defaults) {
	LaunchOptions options = parse({});
	EXPECT_EQ(options.width, 800);
	EXPECT_EQ(options.height, 480);
	EXPECT_EQ(options.frames, 0);
	EXPECT_TRUE(options.level.empty());
	EXPECT_FALSE(options.play || options.menu || options.fromMenu || options.dev);
}

TEST(ParseCommandLineTest, EveryOption) {
	LaunchOptions options =
		parse({"--data", "/d", "--size", "1024x768", "--play", "--menu", "--from-menu", "--dev", "--camera", "cam",
			   "--frames", "12", "--screenshot", "s.png", "--import-deb", "p.deb", "--var", "speed=2.5", "lvl.hgr"});
	EXPECT_EQ(options.dataDir, "/d");
	EXPECT_EQ(options.width, 1024);
	EXPECT_EQ(options.height, 768);
	EXPECT_TRUE(options.play && options.menu && options.fromMenu && options.dev);
	EXPECT_EQ(options.camera, "cam");
	EXPECT_EQ(options.frames, 12);
	EXPECT_EQ(options.screenshot, "s.png");
	EXPECT_EQ(options.importDeb, "p.deb");
	ASSERT_EQ(options.vars.size(), 1u);
	EXPECT_EQ(options.vars[0].first, "speed");
	EXPECT_FLOAT_EQ(options.vars[0].second, 2.5f);
	EXPECT_EQ(options.level, "lvl.hgr");
}

TEST(ParseCommandLineTest, ValueOptionInLastPlaceIsALevel) {
	LaunchOptions options = parse({"--frames"});
	EXPECT_EQ(options.level, "--frames");
	EXPECT_EQ(options.frames, 0);
	EXPECT_EQ(parse({"a.hgr", "--import-deb"}).level, "--import-deb");
	EXPECT_TRUE(parse({"--import-deb"}).importDeb.empty());
}

TEST(ParseCommandLineTest, UnknownDashWordsAndLaterLevelsWin) {
	EXPECT_EQ(parse({"one.hgr", "two.hgr"}).level, "two.hgr");
	EXPECT_EQ(parse({"--verbose"}).level, "--verbose");
	EXPECT_EQ(parse({"--Play"}).level, "--Play");
}

TEST(ParseCommandLineTest, Variables) {
	LaunchOptions options = parse({"--var", "speed", "--var", "a=1", "--var", "a=2", "--var", "b=x=3", "--var", "c="});
	EXPECT_TRUE(options.level.empty()); // "speed" is consumed, not a level
	ASSERT_EQ(options.vars.size(), 4u);
	EXPECT_EQ(options.vars[0], (std::pair<std::string, float>{"a", 1.0f}));
	EXPECT_EQ(options.vars[1], (std::pair<std::string, float>{"a", 2.0f}));
	EXPECT_EQ(options.vars[2], (std::pair<std::string, float>{"b", 0.0f}));
	EXPECT_EQ(options.vars[3], (std::pair<std::string, float>{"c", 0.0f}));
	EXPECT_TRUE(std::isinf(parse({"--var", "v=1e300"}).vars[0].second));
}

struct SizeCase {
	const char* text;
	int width;
	int height;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
	*os << c.text;
}

class SizeTest : public testing::TestWithParam<SizeCase> {};

TEST_P(SizeTest, ReadsWhatItCan) {
	const SizeCase& c = GetParam();
	LaunchOptions options;
	options.width = 1;
	options.height = 2;
	parseCommandLine(options, {"--size", c.text});
	EXPECT_EQ(options.width, c.width) << c.text;
	EXPECT_EQ(options.height, c.height) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Cases, SizeTest,
						 testing::Values(SizeCase{"1024x768", 1024, 768}, SizeCase{"1024", 1024, 2},
										 SizeCase{"1024x", 1024, 2}, SizeCase{"x768", 1, 2},
										 SizeCase{" 640x 360", 640, 360}, SizeCase{"640X360", 640, 2},
										 SizeCase{"99999999999x5", 1, 2}, SizeCase{"5x99999999999", 5, 2},
										 SizeCase{"-5x-6", -5, -6}));

TEST(ParseCommandLineTest, FrameCounts) {
	EXPECT_EQ(parse({"--frames", "7x"}).frames, 7);
	EXPECT_EQ(parse({"--frames", "abc"}).frames, 0);
	EXPECT_EQ(parse({"--frames", "99999999999999999999"}).frames, INT_MAX);
	EXPECT_EQ(parse({"--frames", "-99999999999999999999"}).frames, INT_MIN);
}

TEST(LaunchOptionsTest, NextLevelKeepsWhatSurvives) {
	LaunchOptions options =
		parse({"--data", "/d", "--size", "640x360", "--dev", "--import-deb", "p.deb", "--play", "--camera", "c",
			   "--frames", "3", "--screenshot", "s.png", "--var", "a=1", "level01.hgr"});
	options.resetForNextLevel();
	parseCommandLine(options, {"--play", "--from-menu", "x/level02.hgr"});
	EXPECT_EQ(options.dataDir, "/d");
	EXPECT_EQ(options.width, 640);
	EXPECT_EQ(options.height, 360);
	EXPECT_TRUE(options.dev);
	EXPECT_EQ(options.importDeb, "p.deb");
	EXPECT_EQ(options.level, "x/level02.hgr");
	EXPECT_TRUE(options.play && options.fromMenu);
	EXPECT_FALSE(options.menu);
	EXPECT_TRUE(options.camera.empty());
	EXPECT_TRUE(options.screenshot.empty());
	EXPECT_EQ(options.frames, 0);
	EXPECT_TRUE(options.vars.empty());
}

class ResolveDataDirTest : public testing::Test {
protected:
	void SetUp() override {
		test::writeFile(dir / "game/resources/textures/t.pvr", "t");
		test::writeFile(dir / "game/bundles/original/level01.hgr", "l");
	}
	test::TempDir dir;
	test::ScopedCwd cwd;
};

TEST_F(ResolveDataDirTest, ThreeFoldersAboveTheLevel) {
	LaunchOptions options = parse({dir / "game/bundles/original/level01.hgr"});
	options.resolveDataDir();
	EXPECT_EQ(options.dataDir, dir / "game");
}

TEST_F(ResolveDataDirTest, BareNameInsideTheLevelFolder) {
	ASSERT_EQ(chdir((dir / "game/bundles/original").c_str()), 0);
	LaunchOptions options = parse({"level01.hgr"});
	options.resolveDataDir();
	EXPECT_EQ(options.dataDir, "../..");
	EXPECT_EQ(shadersDir(options.dataDir), "../../shaders/");
}

TEST_F(ResolveDataDirTest, NoResourcesLeavesItEmpty) {
	ASSERT_EQ(chdir(dir.path().c_str()), 0);
	LaunchOptions options = parse({"level01.hgr"});
	options.resolveDataDir();
	EXPECT_TRUE(options.dataDir.empty());
	EXPECT_TRUE(texturesDir(options.dataDir).empty());
	EXPECT_TRUE(particlesDir(options.dataDir).empty());
}

TEST_F(ResolveDataDirTest, GivenDataDirIsKept) {
	LaunchOptions options = parse({"--data", "/mine", dir / "game/bundles/original/level01.hgr"});
	options.resolveDataDir();
	EXPECT_EQ(options.dataDir, "/mine");
}

TEST(DirWithSlashTest, UpToTheLastSlash) {
	EXPECT_EQ(dirWithSlash("a/b/level01.hgr"), "a/b/");
	EXPECT_EQ(dirWithSlash("level01.hgr"), "");
	EXPECT_EQ(dirWithSlash("/level01.hgr"), "/");
}

class UseImportedDataTest : public testing::Test {
protected:
	test::TempDir dir;
	test::ScopedEnv env{{"XDG_DATA_HOME", dir.path().c_str()}};
	test::ScopedCwd cwd;
};

TEST_F(UseImportedDataTest, WithoutGameDataNothingChanges) {
	LaunchOptions options = parse({"--screenshot", "s.png"});
	EXPECT_FALSE(options.useImportedData());
	EXPECT_EQ(options.screenshot, "s.png");
	EXPECT_TRUE(options.level.empty());
}

TEST_F(UseImportedDataTest, SwitchesToTheImportedMenuLevel) {
	test::installGameData(dir / "lumaroll");
	test::writeFile(dir / "lumaroll/data/resources/textures/t.pvr", "t");
	ASSERT_EQ(chdir(dir.path().c_str()), 0);
	LaunchOptions options = parse({"--data", "/ignored", "--screenshot", "shots/s.png"});
	ASSERT_TRUE(options.useImportedData());
	EXPECT_EQ(options.level, "level01.hgr");
	EXPECT_TRUE(options.menu);
	EXPECT_EQ(options.dataDir, "../..");
	// The relative screenshot path still names the folder the program was started in.
	EXPECT_EQ(options.screenshot, absolutePathOf(dir.path()) + "/shots/s.png");
	char* now = getcwd(nullptr, 0);
	EXPECT_EQ(std::string(now), absolutePathOf(dir / "lumaroll/data/bundles/original"));
	std::free(now);
}

} // namespace
