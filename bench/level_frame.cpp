// Level session speed on the offscreen window (800 x 480, llvmpipe in CI):
// frame time of the small test level at render scale 1 and 0.5 (mean and
// 99th percentile over 600 frames), and the time from building a session on
// a writer-made level of about 20 MB to its first finished frame.
#include "app/AppContext.h"
#include "app/LaunchOptions.h"
#include "app/LevelSession.h"
#include "store/Settings.h"

#include "support/BenchWindow.h"
#include "support/GameDataWriter.h"
#include "support/SceneWriter.h"
#include "support/TempDir.h"

#include <GLES2/gl2.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Writes the level below root with the test level's shaders and texture;
// meshes x grids of n x n vertices. Returns the level path.
std::string writeLevel(const std::string& root, int meshes, int n) {
	test::SceneWriter w;
	w.fog(1, 100.f, 5000.f, 0.2f, 0.3f, 0.4f);
	const int tex = w.texture("green.png");
	w.material("grass", "textured.fx").texture("BASEMAP", tex);
	for (int m = 0; m < meshes; ++m) {
		test::addGrid(w.primitive(0), n, 200.f, float(m % 8) * 30.f - 100.f, float(m / 8 % 8) * 30.f - 100.f);
		w.mesh("M_" + std::to_string(m)).primitives({m});
	}
	w.dummy("D_start");
	w.camera("O_startcamera").position(0.f, 0.f, -500.f).planes(1.f, 10000.f).fov(1.3f);
	w.userProperty("D_start", "bgcolor=ff0000");
	return test::writeTestLevel(root, w);
}

test::BenchWindow& window() {
	return test::BenchWindow::instance();
}

void frameTime(benchmark::State& state, const char* scale) {
	if (!window().ok) {
		state.SkipWithError("no OpenGL ES context");
		return;
	}
	test::TempDir root;
	lumaroll::LaunchOptions options;
	options.level = writeLevel(root.path(), 1, 2);
	options.dataDir = root / "data";
	lumaroll::Settings::instance().setString("graphics.render_scale", scale);
	std::vector<double> ms;
	{
		lumaroll::LevelSession session(window().app, options);
		session.start();
		for (int i = 0; i < 10; ++i) // warm-up: programs, target, first uploads
			session.frame();
		for (auto _ : state) {
			const auto t0 = std::chrono::steady_clock::now();
			session.frame();
			glFinish(); // llvmpipe renders lazily: count the frame until its pixels exist
			ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
		}
	}
	std::sort(ms.begin(), ms.end());
	double sum = 0;
	for (double v : ms)
		sum += v;
	state.counters["mean_ms"] = ms.empty() ? 0 : sum / double(ms.size());
	state.counters["p99_ms"] = ms.empty() ? 0 : ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.99))];
}

void BM_FrameScale1(benchmark::State& state) {
	frameTime(state, "1");
}
void BM_FrameScaleHalf(benchmark::State& state) {
	frameTime(state, "0.5");
}

void BM_LoadLargeLevel(benchmark::State& state) {
	if (!window().ok) {
		state.SkipWithError("no OpenGL ES context");
		return;
	}
	test::TempDir root;
	lumaroll::LaunchOptions options;
	options.level = writeLevel(root.path(), 160, 64); // 160 grids of 4096 vertices
	options.dataDir = root / "data";
	lumaroll::Settings::instance().setString("graphics.render_scale", "1");
	FILE* f = std::fopen(options.level.c_str(), "rb");
	long bytes = 0;
	if (f) {
		std::fseek(f, 0, SEEK_END);
		bytes = std::ftell(f);
		std::fclose(f);
	}
	for (auto _ : state) {
		lumaroll::LevelSession session(window().app, options);
		session.start();
		const bool running = session.frame();
		glFinish();
		benchmark::DoNotOptimize(running);
	}
	state.counters["file_MB"] = double(bytes) / 1048576.0;
}

} // namespace

BENCHMARK(BM_FrameScale1)->Iterations(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameScaleHalf)->Iterations(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLargeLevel)->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
