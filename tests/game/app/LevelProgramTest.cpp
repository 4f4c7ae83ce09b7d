// Starts the real program on a writer-made level and checks what the level
// session does as a process: its lines, its screenshot, its exit code.
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stb_image.h>

#include <vector>

namespace {

class LevelProgramTest : public testing::Test {
protected:
	void SetUp() override {
		ASSERT_FALSE(test::lumarollBinary().empty()) << "the lumaroll program was not found";
		ASSERT_TRUE(test::makeDirs(work()));
	}

	std::string work() const { return dir / "work"; }

	test::ProcessResult run(const std::vector<std::string>& args,
	                        std::vector<std::pair<std::string, std::string>> extraEnv = {}) const {
		test::ProcessOptions o;
		o.args = args;
		o.env = {{"XDG_DATA_HOME", dir / "userdata"},
		         {"XDG_CONFIG_HOME", dir / "config"},
		         {"XDG_PICTURES_DIR", dir / "pictures"},
		         {"HOME", dir / "home"},
		         {"SDL_VIDEODRIVER", "offscreen"},
		         {"SDL_AUDIODRIVER", "dummy"},
		         {"LUMAROLL_NO_AUDIO", "1"},
		         {"ASAN_OPTIONS", "detect_leaks=0:halt_on_error=1"},
		         {"UBSAN_OPTIONS", "halt_on_error=1:print_stacktrace=1"}};
		for (auto& e : extraEnv)
			o.env.push_back(e);
		o.workDir = work();
		return test::runProcess(test::lumarollBinary(), o);
	}

	test::TempDir dir;
};

struct Png {
	int width = 0, height = 0;
	std::vector<unsigned char> rgba;
	// RGBA of the pixel at (x, y), y counted from the top.
	const unsigned char* at(int x, int y) const { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
};

Png readPng(const std::string& path) {
	Png png;
	int channels = 0;
	unsigned char* data = stbi_load(path.c_str(), &png.width, &png.height, &channels, 4);
	if (data) {
		png.rgba.assign(data, data + size_t(png.width) * size_t(png.height) * 4);
		stbi_image_free(data);
	}
	return png;
}

testing::AssertionResult isColour(const unsigned char* p, int r, int g, int b) {
	if (std::abs(p[0] - r) <= 8 && std::abs(p[1] - g) <= 8 && std::abs(p[2] - b) <= 8)
		return testing::AssertionSuccess();
	return testing::AssertionFailure() << "pixel " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]) << " is not "
	                                   << r << "," << g << "," << b;
}

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
	EXPECT_TRUE(isColour(png.at(400, 240), 0, 255, 0));  // the mesh
	EXPECT_TRUE(isColour(png.at(5, 5), 255, 0, 0));      // clear colour
	EXPECT_TRUE(isColour(png.at(795, 475), 255, 0, 0));
	EXPECT_TRUE(isColour(png.at(200, 80), 255, 0, 0));   // where the hidden helper would be
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
