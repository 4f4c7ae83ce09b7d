// The short endurance run: the synthetic package's levels for 1,000 frames
// with 10 level changes through the in-game menu's commands in one process
// (support/EnduranceRun.h; `scripts/bench endurance` runs 10,000 frames and
// 100 changes). After the first level change the live GL objects, open file
// descriptors and threads come back to the same figures at every change, and
// no line of the log repeats more than three times a session. After each
// level has run once, the bytes held through operator new (the engine's and
// the game's objects) grow by at most 256 kB and the resident size by at
// most 48 MB: in this build llvmpipe's own heap keeps filling its caches for
// a few dozen levels (15 to 30 MB over these changes) before it levels off.
// Also: steady frames of the first level allocate nothing.
#include "app/LevelSession.h"
#include "platform/SdlWindow.h"
#include "support/AllocationCounter.h"
#include "support/DriverAllocations.h"
#include "support/EnduranceRun.h"
#include "support/GLTestContext.h"
#include "support/GamePackage.h"
#include "support/ProcessRunner.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const char* const kChildVariable = "LUMAROLL_ENDURANCE_CHILD";
const int kFrames = 1000;
const int kLevelChanges = 10;

// The run itself, in a child of this program (the test below): there
// AddressSanitizer keeps no freed memory back, whereas its quarantine here
// would fill the resident size with up to 256 MB of freed memory, and Mesa's
// leaks at exit need no leak report.
TEST(EnduranceChild, LevelsInOneProcess) {
	if (!std::getenv(kChildVariable))
		GTEST_SKIP() << "runs as the child of Endurance.FiguresStayFlatOverLevelChanges";
	REQUIRE_GL_CONTEXT();
	test::TempDir home;
	std::string error;
	ASSERT_TRUE(test::writeGameData(home / "data", &error)) << error;

	lumaroll::SdlWindow window(SDL_GL_GetCurrentWindow());
	test::EnduranceOptions options;
	options.dataDir = home / "data";
	options.userDir = home / "user";
	options.window = &window;
	options.width = test::GLTestContext::WIDTH;
	options.height = test::GLTestContext::HEIGHT;
	options.frames = kFrames;
	options.levelChanges = kLevelChanges;
	const test::EnduranceRun run = test::runEndurance(options);

	ASSERT_EQ(run.exitCode, 0) << run.log;
	EXPECT_EQ(run.sessions, kLevelChanges + 1) << run.log;
	EXPECT_GE(run.frames, kFrames) << run.log;
	EXPECT_EQ(run.log.find("ERROR"), std::string::npos) << run.log;
	test::EnduranceBounds bounds;
	bounds.residentKb = 48 << 10;
	bounds.objectBytes = 256 << 10;
	EXPECT_EQ(test::enduranceFaults(run, bounds), "");
	int repeats = 0;
	const std::string line = test::mostRepeatedLine(run.log, &repeats);
	EXPECT_LE(repeats, 3 * run.sessions) << "repeated line: " << line;
	for (size_t i = 0; i < run.samples.size(); ++i) {
		const test::EnduranceSample& s = run.samples[i];
		std::printf(
			"change %zu: resident %ld kB, heap %ld bytes, objects %ld bytes, GL objects %ld, descriptors %d, "
			"threads %d\n",
			i, s.residentKb, s.heapBytes, s.objectBytes, s.glObjects, s.fileDescriptors, s.threads);
	}
	std::printf("most repeated line (%d times): %s\n", repeats, line.c_str());
}

// Runs one test of this program as a child: GL there, without leak
// detection (Mesa leaks at exit) and without AddressSanitizer's quarantine.
test::ProcessResult runChild(const std::string& test) {
	char self[PATH_MAX] = {};
	if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
		return test::ProcessResult();
	test::ProcessOptions o;
	o.args = {"--gtest_filter=" + test};
	o.env = {{kChildVariable, "1"},
			 {"ASAN_OPTIONS", "detect_leaks=0:halt_on_error=1:quarantine_size_mb=0"},
			 {"SDL_AUDIODRIVER", "dummy"}};
	return test::runProcess(self, o);
}

TEST(Endurance, FiguresStayFlatOverLevelChanges) {
	const test::ProcessResult child = runChild("EnduranceChild.LevelsInOneProcess");
	EXPECT_EQ(child.exitCode, 0) << child.out << child.err;
	// The figures, for a look by hand.
	std::printf("%s", child.out.c_str());
}

// Steady frames of the first level in play, the ball at rest at its start
// (camera, logic, HUD, particles, water, sky, ambient sound), allocate
// nothing in the engine and the game: the
// frame loop's settings reads, re-uploaded particle vertices and the HUD's
// texts once allocated every frame, and a particle effect first drawn after
// the start grew the vertex upload space. The driver's own allocations
// inside GL calls are not counted.
TEST(EnduranceChild, SteadyFramesAllocateNothing) {
	if (!std::getenv(kChildVariable))
		GTEST_SKIP() << "runs as the child of Endurance.SteadyFramesAllocateNothing";
	REQUIRE_GL_CONTEXT();
	test::TempDir home;
	std::string error;
	ASSERT_TRUE(test::writeGameData(home / "data", &error)) << error;
	setenv("XDG_DATA_HOME", (home / "user").c_str(), 1);
	setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
	lumaroll::SdlWindow window(SDL_GL_GetCurrentWindow());
	test::ScriptedPlatform platform(&window, test::GLTestContext::WIDTH, test::GLTestContext::HEIGHT);
	lumaroll::LaunchOptions options;
	options.dataDir = home / "data";
	options.level = home / "data/bundles/original/level01.hgr";
	options.play = true;
	options.fromMenu = true;

	testing::internal::CaptureStdout();
	lumaroll::LevelSession session(platform.app, options);
	session.start();
	for (int i = 0; i < 60; ++i)
		platform.frame(session);
	test::DriverAllocationsUncounted driver;
	const int frames = 30;
	const long before = test::allocationCount();
	for (int i = 0; i < frames; ++i)
		platform.frame(session);
	const long allocations = test::allocationCount() - before;
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(allocations, 0) << allocations << " allocations in " << frames << " steady frames";
	std::printf("%ld allocations in %d steady frames\n", allocations, frames);
}

TEST(Endurance, SteadyFramesAllocateNothing) {
	const test::ProcessResult child = runChild("EnduranceChild.SteadyFramesAllocateNothing");
	EXPECT_EQ(child.exitCode, 0) << child.out << child.err;
}

} // namespace
