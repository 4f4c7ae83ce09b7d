// Starts the real program on a writer-made level and checks what the level
// session does as a process: its lines, its screenshot, its exit code.
#include "ProgramFixture.h"
#include "support/Files.h"

#include <gtest/gtest.h>

namespace {

using apptest::isColour;
using apptest::Png;
using apptest::readPng;

class LevelProgramTest : public apptest::ProgramTest {};

TEST_F(LevelProgramTest, LevelLoadsRendersAndSavesItsScreenshot) {
	const std::string level = test::writeTestLevel(dir.path());
	const test::ProcessResult r = run({level, "--frames", "3", "--screenshot", "out.png"});
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_NE(r.out.find("fog: linear from 100 to 5000\n"), std::string::npos) << r.out;
	EXPECT_NE(r.out.find("hidden collision/trigger meshes: 1\n"), std::string::npos) << r.out;
	EXPECT_NE(r.out.find("level loaded in "), std::string::npos);
	EXPECT_NE(r.out.find(" ms | textures: 1 ok, 0 failed | effects: "), std::string::npos) << r.out;
	EXPECT_NE(r.out.find("screenshot: out.png\n"), std::string::npos) << r.out;

	const Png png = readPng(work() + "/out.png");
	ASSERT_EQ(png.width, 800);
	ASSERT_EQ(png.height, 480);
	EXPECT_TRUE(isColour(png.at(400, 240), 0, 255, 0)); // the mesh
	EXPECT_TRUE(isColour(png.at(5, 5), 255, 0, 0));		// clear colour
	EXPECT_TRUE(isColour(png.at(795, 475), 255, 0, 0));
	EXPECT_TRUE(isColour(png.at(200, 80), 255, 0, 0)); // where the hidden helper would be
}

TEST_F(LevelProgramTest, MissingLevelFileEndsWithTwo) {
	const test::ProcessResult r = run({dir / "nowhere/level01.hgr", "--frames", "3"});
	EXPECT_EQ(r.exitCode, 2);
	EXPECT_EQ(r.err.rfind("ERROR: ", 0) == 0 || r.err.find("\nERROR: ") != std::string::npos, true) << r.err;
	EXPECT_NE(r.err.find("nowhere/level01.hgr"), std::string::npos) << r.err;
	EXPECT_EQ(r.out.find("level loaded in"), std::string::npos);
}

TEST_F(LevelProgramTest, BrokenLevelFileEndsWithTwo) {
	const std::string level = dir / "broken.hgr";
	ASSERT_TRUE(test::writeFile(level, "hgrf but nothing more"));
	const test::ProcessResult r = run({level, "--frames", "3"});
	EXPECT_EQ(r.exitCode, 2);
	EXPECT_NE(r.err.find("ERROR: "), std::string::npos) << r.err;
}

TEST_F(LevelProgramTest, UnwritableScreenshotIsAFailure) {
	const std::string level = test::writeTestLevel(dir.path());
	const test::ProcessResult r = run({level, "--screenshot", dir / "no/such/folder/s.png"});
	EXPECT_EQ(r.exitCode, 1);
	EXPECT_NE(r.err.find("could not save " + dir / "no/such/folder/s.png" + "\n"), std::string::npos) << r.err;
	EXPECT_EQ(r.out.find("screenshot: "), std::string::npos);
}

TEST_F(LevelProgramTest, HalfRenderScaleStillFillsTheWindow) {
	const std::string level = test::writeTestLevel(dir.path());
	test::writeFile(dir / "config/lumaroll/config.ini", "# Lumaroll settings\ngraphics.render_scale=0.5\n");
	const test::ProcessResult r = run({level, "--frames", "2", "--screenshot", "half.png"});
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	const Png png = readPng(work() + "/half.png");
	ASSERT_EQ(png.width, 800);
	ASSERT_EQ(png.height, 480);
	EXPECT_TRUE(isColour(png.at(400, 240), 0, 255, 0));
	EXPECT_TRUE(isColour(png.at(5, 5), 255, 0, 0));
	EXPECT_TRUE(isColour(png.at(795, 475), 255, 0, 0));
}

TEST_F(LevelProgramTest, FrameLimitRunsWithoutHanging) {
	// A cap of 30 frames a second: ten frames take a third of a second or so;
	// the figure is not asserted, only that the program ends on its own.
	const std::string level = test::writeTestLevel(dir.path());
	test::writeFile(dir / "config/lumaroll/config.ini", "# Lumaroll settings\ngraphics.fps_limit=30\n");
	const test::ProcessResult r = run({level, "--frames", "10"});
	EXPECT_FALSE(r.timedOut);
	EXPECT_EQ(r.exitCode, 0) << r.err;
}

} // namespace
