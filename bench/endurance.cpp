// The full endurance run (support/EnduranceRun.h) on the offscreen window
// (800 x 480, llvmpipe): the package's levels for 10,000 frames with 100
// level changes through the in-game menu's commands in one process. The run
// fails when, after the first level change, the live GL objects, open file
// descriptors or threads move at all, or a log line repeats more than three
// times a session; or when, after each level has run once (the third
// change), the bytes held through operator new grow by more than 256 kB; or
// when, after the 20th change, the resident size grows by more than 24 MB
// (llvmpipe's rasteriser threads grow the driver's heap over the first ten
// or so changes on a machine with many cores, then it levels off).
// Counters: the figures at the reference changes and at the end, and their
// largest growth. LUMAROLL_ENDURANCE_SAMPLES names a file for every sample
// (change, resident kB, heap and object bytes).
#include "support/BenchWindow.h"
#include "support/EnduranceRun.h"
#include "support/GamePackage.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void BM_Endurance(benchmark::State& state) {
	test::BenchWindow& window = test::BenchWindow::instance();
	if (!window.ok) {
		state.SkipWithError("no OpenGL ES context");
		return;
	}
	// The sessions play their sounds on SDL's dummy device.
	unsetenv("LUMAROLL_NO_AUDIO");
	test::TempDir home;
	std::string error;
	if (!test::writeGameData(home / "data", &error)) {
		state.SkipWithError(("could not write the package: " + error).c_str());
		return;
	}
	test::EnduranceOptions options;
	options.dataDir = home / "data";
	options.userDir = home / "user";
	options.window = window.app.window;
	options.width = window.app.drawableWidth;
	options.height = window.app.drawableHeight;
	options.frames = 10000;
	options.levelChanges = 100;
	test::EnduranceRun run;
	for (auto _ : state)
		run = test::runEndurance(options);

	test::EnduranceBounds bounds;
	bounds.residentReference = 20;
	bounds.residentKb = 24 << 10;
	bounds.objectBytes = 256 << 10;
	std::string faults = run.exitCode == 0 ? "" : "the level loop ended with " + std::to_string(run.exitCode) + "\n";
	if (run.sessions != options.levelChanges + 1)
		faults +=
			std::to_string(run.sessions) + " sessions instead of " + std::to_string(options.levelChanges + 1) + "\n";
	faults += test::enduranceFaults(run, bounds);
	int repeats = 0;
	const std::string line = test::mostRepeatedLine(run.log, &repeats);
	if (repeats > 3 * run.sessions)
		faults += "the log repeats \"" + line + "\" " + std::to_string(repeats) + " times\n";
	if (run.samples.size() <= bounds.residentReference) {
		state.SkipWithError("too few samples");
		return;
	}
	const test::EnduranceSample& first = run.samples[bounds.memoryReference];
	const test::EnduranceSample& settled = run.samples[bounds.residentReference];
	const test::EnduranceSample& last = run.samples.back();
	long residentMost = 0, objectsMost = 0;
	for (size_t i = bounds.memoryReference; i < run.samples.size(); ++i) {
		if (i >= bounds.residentReference)
			residentMost = std::max(residentMost, run.samples[i].residentKb - settled.residentKb);
		objectsMost = std::max(objectsMost, run.samples[i].objectBytes - first.objectBytes);
	}
	if (const char* out = std::getenv("LUMAROLL_ENDURANCE_SAMPLES")) {
		FILE* f = std::fopen(out, "w");
		for (size_t i = 0; f && i < run.samples.size(); ++i)
			std::fprintf(f, "%zu %ld %ld %ld\n", i, run.samples[i].residentKb, run.samples[i].heapBytes,
						 run.samples[i].objectBytes);
		if (f)
			std::fclose(f);
	}
	state.counters["frames"] = run.frames;
	state.counters["changes"] = run.sessions - 1;
	state.counters["rss_change3_MB"] = double(first.residentKb) / 1024.0;
	state.counters["rss_ref_MB"] = double(settled.residentKb) / 1024.0;
	state.counters["rss_last_MB"] = double(last.residentKb) / 1024.0;
	state.counters["rss_growth_max_MB"] = double(residentMost) / 1024.0;
	state.counters["heap_ref_MB"] = double(first.heapBytes) / 1048576.0;
	state.counters["heap_last_MB"] = double(last.heapBytes) / 1048576.0;
	state.counters["objects_growth_max_kB"] = double(objectsMost) / 1024.0;
	state.counters["gl_objects"] = double(last.glObjects);
	state.counters["fds"] = last.fileDescriptors;
	state.counters["threads"] = last.threads;
	state.counters["log_repeats_max"] = repeats;
	if (!faults.empty()) {
		std::fprintf(stderr, "%s", faults.c_str());
		state.SkipWithError("figures moved after the first level change");
	}
}

} // namespace

BENCHMARK(BM_Endurance)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
