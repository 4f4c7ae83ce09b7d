// The real program on the synthetic game data package: the package imports
// with "--import-deb", the menu level starts from the imported data without
// arguments, and both levels load for play with their ball, rails, sky and
// library objects, each without a missing or broken piece of data.
#include "support/Files.h"
#include "support/GamePackage.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gr/ImageFile.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

class PackageProgramTest : public testing::Test {
protected:
	// Writes the package and imports it into the test's own data folder once
	// for all tests; settings: no update check, at most 20 frames a second.
	static void SetUpTestSuite() {
		home = new test::TempDir;
		std::string log;
		importOk = test::writeGamePackage(*home / "plimbo-test.deb", &log);
		importLog = log;
		if (!importOk)
			return;
		test::writeFile(*home / "config/lumaroll/config.ini",
						"# Lumaroll settings\ngeneral.check_updates=0\ngraphics.fps_limit=20\n");
		const test::ProcessResult r = run({"--import-deb", *home / "plimbo-test.deb"});
		importOk = r.exitCode == 0;
		importLog = r.out + r.err;
	}

	static void TearDownTestSuite() {
		delete home;
		home = nullptr;
	}

	void SetUp() override {
		ASSERT_FALSE(test::lumarollBinary().empty()) << "the lumaroll program was not found";
		ASSERT_TRUE(importOk) << importLog;
	}

	// Runs lumaroll with the test's data, configuration and pictures folders,
	// offscreen and without sound.
	static test::ProcessResult run(const std::vector<std::string>& args) {
		test::ProcessOptions o;
		o.args = args;
		o.env = test::programEnvironment(home->path());
		o.workDir = home->path();
		return test::runProcess(test::lumarollBinary(), o);
	}

	static std::string levelPath(const std::string& name) {
		return *home / ("userdata/lumaroll/data/bundles/original/" + name);
	}

	static test::TempDir* home;
	static bool importOk;
	static std::string importLog;
};

test::TempDir* PackageProgramTest::home = nullptr;
bool PackageProgramTest::importOk = false;
std::string PackageProgramTest::importLog;

// Whether text holds line as a whole line.
bool hasLine(const std::string& text, const std::string& line) {
	size_t at = 0;
	while ((at = text.find(line, at)) != std::string::npos) {
		const bool starts = at == 0 || text[at - 1] == '\n';
		const size_t end = at + line.size();
		if (starts && (end == text.size() || text[end] == '\n'))
			return true;
		at = end;
	}
	return false;
}

// The first line that begins with prefix, or "" when there is none.
std::string lineStarting(const std::string& text, const std::string& prefix) {
	for (size_t at = 0; at < text.size();) {
		const size_t end = text.find('\n', at);
		const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
		if (line.compare(0, prefix.size(), prefix) == 0)
			return line;
		if (end == std::string::npos)
			break;
		at = end + 1;
	}
	return "";
}

// The counts of the level-loaded line: textures ok, failed, effects ok, fallen back.
std::vector<int> loadCounts(const std::string& out) {
	std::vector<int> n(4, -1);
	unsigned ms = 0;
	std::sscanf(lineStarting(out, "level loaded in ").c_str(),
				"level loaded in %u ms | textures: %d ok, %d failed | effects: %d ok, %d fallback", &ms, &n[0], &n[1],
				&n[2], &n[3]);
	return n;
}

struct LevelRun {
	const char* name;
	std::vector<std::string> args;	// "@level01" stands for the imported level01.hgr, and so on
	std::vector<std::string> lines; // lines the run prints, each whole
};

TEST_F(PackageProgramTest, LevelsLoadEveryPieceOfTheirData) {
	const std::vector<LevelRun> runs = {
		{"menu level from the imported data",
		 {"--frames", "30", "--screenshot", "@shot"},
		 {"library objects: 2 of 2 loaded", "fog: linear from 4000 to 30000", "hidden collision/trigger meshes: 1",
		  "logic: 8 triggers, 0 warnings"}},
		{"level01 in play",
		 {"@level01.hgr", "--play", "--frames", "30"},
		 {"library objects: 2 of 2 loaded", "logic: 8 triggers, 0 warnings",
		  "collision: 7 meshes (0 passable), 14 triangles, 5 trigger volumes",
		  "ball: 2 eye animation triggers (blinking, eyebrows)", "rails: 1 (total length 1400)",
		  "camera guide L_rail01: track 1400, camera path 1400, look path 1400",
		  "sky: rendered separately, 24 vertices, 36 indices, texture BASEMAP",
		  "ball: radius 50.0 (body 'body'), mass 1, force 1750, jump 1000, friction 350, max speed 800, rebound 0.1, "
		  "gravity 2000; start at D_start (0, 55, 0)"}},
		{"level02 in play",
		 {"@level02.hgr", "--play", "--frames", "30"},
		 {"library objects: 0 of 0 loaded", "logic: 2 triggers, 0 warnings",
		  "collision: 4 meshes (0 passable), 8 triangles, 1 trigger volumes", "rails: 2 (total length 3600)",
		  "camera guide L_guide02: track 3600, camera path 3600, look path 3600"}},
	};
	for (const LevelRun& c : runs) {
		std::vector<std::string> args;
		for (const std::string& a : c.args)
			args.push_back(a == "@shot" ? *home / "shot.png" : a[0] == '@' ? levelPath(a.substr(1)) : a);
		const test::ProcessResult r = run(args);
		const std::string all = r.out + r.err;
		EXPECT_EQ(r.exitCode, 0) << c.name << "\n" << all;
		EXPECT_EQ(all.find("ERROR:"), std::string::npos) << c.name << "\n" << all;
		// Every texture and effect of the scene loaded, the menu pictures too.
		const std::vector<int> n = loadCounts(r.out);
		EXPECT_GT(n[0], 0) << c.name << ": textures loaded\n" << all;
		EXPECT_EQ(n[1], 0) << c.name << ": textures failed\n" << all;
		EXPECT_GT(n[2], 0) << c.name << ": effects loaded\n" << all;
		EXPECT_EQ(n[3], 0) << c.name << ": effects fallen back\n" << all;
		EXPECT_EQ(r.err.find("ui: "), std::string::npos) << c.name << "\n" << r.err;
		EXPECT_EQ(r.err.find("[gles2]"), std::string::npos) << c.name << "\n" << r.err;
		for (const std::string& line : c.lines)
			EXPECT_TRUE(hasLine(r.out, line)) << c.name << ": no line \"" << line << "\"\n" << r.out;
	}
}

TEST_F(PackageProgramTest, MenuLevelShowsTheSceneUnderTheLogo) {
	const test::ProcessResult r = run({"--frames", "30", "--screenshot", *home / "menu.png"});
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	lumaroll::ImageData shot;
	ASSERT_TRUE(lumaroll::loadImageFile(*home / "menu.png", shot)) << r.out;
	const auto& level = shot.levels[0];
	const auto rgb = [&](int x, int y) { return &level.pixels[(size_t(y) * size_t(level.width) + size_t(x)) * 4]; };
	// The start logo (magenta) stands in the middle; 30 frames of at most 0.1 s
	// leave it at least two thirds opaque, whatever the scene behind it.
	const uint8_t* logo = rgb(level.width / 2, level.height / 2);
	EXPECT_GT(logo[0], 160);
	EXPECT_LT(logo[1], 90);
	EXPECT_GT(logo[2], 160);
	// Around it the level: sky, floors, walls and water in many shades, not a cleared screen.
	std::set<uint32_t> colours;
	for (int y = 0; y < level.height; y += 4)
		for (int x = 0; x < level.width; x += 4) {
			const uint8_t* p = rgb(x, y);
			colours.insert(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
		}
	EXPECT_GT(colours.size(), 20u);
}

} // namespace
