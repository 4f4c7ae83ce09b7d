// Frame cost of the synthetic package's first level in play (ball, follow
// camera, logic, HUD, particles, water reflection, sky) on the offscreen
// window (800 x 480, llvmpipe), against the plain GL program of
// bench/plaingl: the same frames' GL calls replayed straight into the GL
// library (the same triangles, textures, shaders and states, no engine, no
// game). Both run under callgrind in the same benchmark run, with llvmpipe
// rasterising in the calling thread (LP_NUM_THREADS=0); the instructions of
// 20 steady frames (after 60) are split by the object that executes them:
// the driver (Mesa, LLVM and the shader code LLVM generates) and the rest
// (the program and the C and C++ libraries, SDL). Targets: the whole frame
// at most 1.10x the plain program's; the code outside the driver at most 3x.
//
// Also: heap allocations per steady frame (a replaced operator new), and the
// start-up to the first frame of the menu level and the change from it to
// level01 in play, as ratios to reading the level's files (every file of the
// data folder, from the page cache).
//
// The allocations count only the engine's and the game's: those the GL
// driver makes inside a GL call (LLVM compiling a shader variant) are left
// out by a wrapper around every function of gr::gl.
//
// Run as `bench_frame` (what `scripts/bench frame` does); it starts itself
// with --mode record, game or replay for the measured parts.
#include "app/AppContext.h"
#include "app/LaunchOptions.h"
#include "app/LevelSession.h"
#include "plaingl/GLTrace.h"
#include "profile/CallgrindCosts.h"

#include "support/AllocationCounter.h"
#include "support/BenchWindow.h"
#include "support/Files.h"
#include "support/GamePackage.h"
#include "support/DriverAllocations.h"
#include "support/ScriptedPlatform.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <SDL.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const int kWarmFrames = 60;
const int kMeasuredFrames = 20;

double msSince(Clock::time_point t0) {
	return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// The session's platform: the bench window, no events, Up held, the clock
// moved 17 ms a frame; the same in every mode, so that the recorded frames
// are the measured ones.
struct Platform : test::ScriptedPlatform {
	Platform()
		: test::ScriptedPlatform(test::BenchWindow::instance().app.window,
								 test::BenchWindow::instance().app.drawableWidth,
								 test::BenchWindow::instance().app.drawableHeight) {
		keys.press(SDL_SCANCODE_UP);
	}
};

lumaroll::LaunchOptions levelOptions(const std::string& data, bool menu) {
	lumaroll::LaunchOptions o;
	o.dataDir = data;
	o.level = data + "/bundles/original/level01.hgr";
	o.menu = menu;
	o.play = !menu;
	o.fromMenu = !menu;
	return o;
}

// Every file of the data folder read whole; returns the bytes.
long readAll(const std::string& data) {
	long bytes = 0;
	for (const fs::directory_entry& e : fs::recursive_directory_iterator(data))
		if (e.is_regular_file())
			bytes += long(test::readFile(e.path().string()).size());
	return bytes;
}

// The modes run in child processes: one fresh GL context each, so that the
// recorded object names are the ones the replay gets.
int runMode(const std::string& mode, const std::string& data, const std::string& trace) {
	if (!test::BenchWindow::instance().ok) {
		std::fprintf(stderr, "no OpenGL ES context\n");
		return 1;
	}
	if (mode == "replay") {
		bench::GLTrace t;
		std::string error;
		if (!t.load(trace) || t.frames() < kMeasuredFrames) {
			std::fprintf(stderr, "cannot read the trace %s\n", trace.c_str());
			return 1;
		}
		if (!t.replaySetup(&error)) {
			std::fprintf(stderr, "%s\n", error.c_str());
			return 1;
		}
		SDL_Window* window = SDL_GL_GetCurrentWindow();
		CALLGRIND_START_INSTRUMENTATION;
		for (int i = 0; i < kMeasuredFrames; ++i) {
			t.replayFrame(i);
			SDL_GL_SwapWindow(window);
		}
		CALLGRIND_STOP_INSTRUMENTATION;
		return 0;
	}
	Platform platform;
	bench::GLTrace t;
	std::unique_ptr<test::DriverAllocationsUncounted> driver;
	if (mode == "record")
		t.start();
	else
		driver = std::make_unique<test::DriverAllocationsUncounted>();
	{
		lumaroll::LevelSession session(platform.app, levelOptions(data, false));
		session.start();
		for (int i = 0; i < kWarmFrames; ++i)
			platform.frame(session);
		const long allocations = test::allocationCount();
		if (mode == "game")
			CALLGRIND_START_INSTRUMENTATION;
		for (int i = 0; i < kMeasuredFrames; ++i) {
			if (mode == "record")
				t.markFrame();
			platform.frame(session);
		}
		if (mode == "game")
			CALLGRIND_STOP_INSTRUMENTATION;
		std::printf("allocations per steady frame: %.2f\n",
					double(test::allocationCount() - allocations) / kMeasuredFrames);
		if (mode == "record")
			t.stop();
	}
	if (mode == "record" && !t.save(trace)) {
		std::fprintf(stderr, "cannot write the trace %s\n", trace.c_str());
		return 1;
	}
	return 0;
}

std::string self() {
	char path[4096] = {};
	const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
	return n > 0 ? std::string(path, size_t(n)) : std::string();
}

test::ProcessResult child(const std::vector<std::string>& words, bool underCallgrind, const std::string& profile) {
	test::ProcessOptions o;
	o.env = {{"LP_NUM_THREADS", "0"}, {"LUMAROLL_NO_AUDIO", "1"}};
	std::string program = self();
	if (underCallgrind) {
		o.args = {"--tool=callgrind", "--instr-atstart=no", "--callgrind-out-file=" + profile, program};
		program = "valgrind";
	}
	o.args.insert(o.args.end(), words.begin(), words.end());
	return test::runProcess(program, o, 30 * 60 * 1000);
}

int runBenchmark() {
	if (!test::BenchWindow::instance().ok) {
		std::fprintf(stderr, "no OpenGL ES context\n");
		return 1;
	}
	test::TempDir home;
	const std::string data = home / "data";
	std::string error;
	if (!test::writeGameData(data, &error)) {
		std::fprintf(stderr, "could not write the package: %s\n", error.c_str());
		return 1;
	}
	setenv("XDG_DATA_HOME", (home / "user").c_str(), 1);
	setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);

	// Start-up and level change against reading the files, best of five each.
	double readMs = 1e9, startMs = 1e9, changeMs = 1e9;
	long bytes = 0;
	for (int round = 0; round < 5; ++round) {
		auto t0 = Clock::now();
		bytes = readAll(data);
		readMs = std::min(readMs, msSince(t0));
		Platform platform;
		t0 = Clock::now();
		auto menu = std::make_unique<lumaroll::LevelSession>(platform.app, levelOptions(data, true));
		menu->start();
		platform.frame(*menu);
		startMs = std::min(startMs, msSince(t0));
		for (int i = 0; i < 10; ++i)
			platform.frame(*menu);
		t0 = Clock::now();
		menu->events().onMenuAction(lumaroll::MenuAction::PlayLevel1);
		platform.frame(*menu);
		menu->finish();
		menu.reset();
		lumaroll::LevelSession play(platform.app, levelOptions(data, false));
		play.start();
		platform.frame(play);
		changeMs = std::min(changeMs, msSince(t0));
	}
	std::printf("reading the level's files: %.2f ms (%ld bytes)\n", readMs, bytes);
	std::printf("start-up to the menu level's first frame: %.1f ms = %.0fx reading\n", startMs, startMs / readMs);
	std::printf("level change to level01 in play, to its first frame: %.1f ms = %.0fx reading\n", changeMs,
				changeMs / readMs);

	const std::string trace = home / "frames.trace";
	test::ProcessResult r = child({"--mode", "game", "--data", data}, false, "");
	std::printf("%s", r.out.c_str());
	if (r.exitCode != 0) {
		std::fprintf(stderr, "the game run failed:\n%s%s", r.out.c_str(), r.err.c_str());
		return 1;
	}
	r = child({"--mode", "record", "--data", data, "--trace", trace}, false, "");
	if (r.exitCode != 0) {
		std::fprintf(stderr, "the recording failed:\n%s%s", r.out.c_str(), r.err.c_str());
		return 1;
	}
	if (test::runCommand({"valgrind", "--version"}) != 0) {
		std::printf("valgrind is missing: no frame costs (scripts/deps installs it)\n");
		return 0;
	}
	const std::string gameProfile = home / "game.callgrind", plainProfile = home / "plain.callgrind";
	// Mesa keeps the shaders it compiles in its disk cache, keyed by the
	// CPU's features, and valgrind presents a CPU of its own: without a first
	// run under valgrind, the measured run on a fresh machine pays for
	// compiling the shader variants first drawn in the measured frames (a
	// particle effect that starts late) where the replay finds them cached.
	r = child({"--mode", "game", "--data", data}, true, home / "warm-up.callgrind");
	if (r.exitCode != 0) {
		std::fprintf(stderr, "the game under callgrind failed:\n%s", r.err.c_str());
		return 1;
	}
	r = child({"--mode", "game", "--data", data}, true, gameProfile);
	if (r.exitCode != 0) {
		std::fprintf(stderr, "the game under callgrind failed:\n%s", r.err.c_str());
		return 1;
	}
	r = child({"--mode", "replay", "--trace", trace}, true, plainProfile);
	if (r.exitCode != 0) {
		std::fprintf(stderr, "the plain program under callgrind failed:\n%s", r.err.c_str());
		return 1;
	}
	const bench::CostSplit game = bench::splitCosts(bench::costByObject(gameProfile), self(), kMeasuredFrames);
	const bench::CostSplit plain = bench::splitCosts(bench::costByObject(plainProfile), self(), kMeasuredFrames);
	const double whole = game.total / plain.total;
	const double outside = (game.total - game.driver) / (plain.total - plain.driver);
	std::printf("instructions per frame    game        plain program\n");
	std::printf("  whole frame             %10.0f  %10.0f   %.3fx (target <= 1.10x)\n", game.total, plain.total, whole);
	std::printf("  driver                  %10.0f  %10.0f   %.3fx\n", game.driver, plain.driver,
				game.driver / plain.driver);
	std::printf("  outside the driver      %10.0f  %10.0f   %.2fx (target <= 3x)\n", game.total - game.driver,
				plain.total - plain.driver, outside);
	std::printf("  of which the program    %10.0f  %10.0f\n", game.program, plain.program);
	return 0;
}

} // namespace

int main(int argc, char** argv) {
	std::string mode, data, trace;
	for (int i = 1; i + 1 < argc; i += 2) {
		const std::string word = argv[i];
		(word == "--mode" ? mode : word == "--data" ? data : word == "--trace" ? trace : mode) = argv[i + 1];
	}
	return mode.empty() ? runBenchmark() : runMode(mode, data, trace);
}
