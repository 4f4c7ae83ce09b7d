// Level set-up speed on the offscreen window (800 x 480, llvmpipe in CI):
// - library objects: 50 placeholders of one model of about 1 MB against 50
//   plain scene loads of the same file in the same iteration (ratio about 1:
//   every placeholder loads its own copy, there is no model cache);
// - the water reflection: frame time of a water level with the reflection
//   pass on and off, frames alternating, mean and 99th percentile over 600
//   frames each (target: at most 2x);
// - the normal-map frames: building the water reflection with 0, 7 and 30
//   frames of 256 x 256 PVRTC, as a share of the whole level start;
// - the player set-up with the writer-made ball model.
#include "app/AppContext.h"
#include "app/LaunchOptions.h"
#include "app/LevelSession.h"
#include "app/LevelSetup.h"
#include "app/LibraryObjects.h"
#include "app/RunningLevel.h"
#include "files/DataLayout.h"
#include "files/Paths.h"
#include "render/WaterReflection.h"
#include "store/Settings.h"

#include "support/BenchWindow.h"
#include "support/PvrWriter.h"
#include "support/PvrtcWriter.h"
#include "support/SceneWriter.h"
#include "support/SetupFixtures.h"
#include "support/TempDir.h"

#include <gr/gles2/GLES2_Context.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Scene.h>

#include <GLES2/gl2.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) {
	return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

test::BenchWindow& window() {
	return test::BenchWindow::instance();
}

std::string data(const test::TempDir& root) {
	return root / "data";
}

std::string levelPath(const test::TempDir& root) {
	lumaroll::makeDirs(data(root) + "/bundles/original");
	return data(root) + "/bundles/original/level01.hgr";
}

long fileSize(const std::string& path) {
	std::error_code ec;
	const auto size = std::filesystem::file_size(path, ec);
	return ec ? 0 : long(size);
}

void BM_LibraryObjectsAgainstPlainLoads(benchmark::State& state) {
	if (!window().ok) {
		state.SkipWithError("no OpenGL ES context");
		return;
	}
	test::TempDir root;
	test::writeSetupFiles(data(root));
	const std::string models = data(root) + "/resources/models/";
	lumaroll::makeDirs(models);
	test::SceneWriter model;
	model.material("flat", "flat.fx").texture("BASEMAP", model.texture("red.png"));
	for (int i = 0; i < 8; ++i) { // 8 x 4,096 vertices: about 1 MB
		test::addGrid(model.primitive(0), 64, 200.f);
		model.mesh("part" + std::to_string(i)).primitives({i}).position(float(i) * 220.f, 0.f, 0.f);
	}
	model.write(models + "big.hgr");

	test::SceneWriter level;
	for (int i = 0; i < 50; ++i) {
		const std::string name = "p" + std::to_string(i);
		level.dummy(name).position(float(i) * 100.f, 0.f, 0.f);
		level.userProperty(name, "load=big");
	}
	const std::string path = levelPath(root);
	level.write(path);

	lang::Ptr<gr::GLES2_Context> context = new gr::GLES2_Context(800, 480, nullptr, nullptr);
	context->platform = 1;
	context->shaderDirectory = lumaroll::shadersDir(data(root));
	context->textureDirectory = lumaroll::texturesDir(data(root));
	lang::Ptr<hgr::DefaultResourceManager> resources = new hgr::DefaultResourceManager(context);
	const std::string textures = lumaroll::texturesDir(data(root));
	const std::string shaders = lumaroll::shadersDir(data(root));
	const std::string particles = lumaroll::particlesDir(data(root));

	// Each phase starts from the same state (the other's scenes released),
	// and the phases take turns going first.
	const auto plainPhase = [&]() {
		std::vector<lang::Ptr<hgr::Scene>> plain;
		const auto t0 = Clock::now();
		for (int i = 0; i < 50; ++i)
			plain.push_back(new hgr::Scene(context, (models + "big.hgr").c_str(), resources, textures.c_str(),
										   shaders.c_str(), particles.c_str()));
		return msSince(t0);
	};
	const auto objectsPhase = [&]() {
		lang::Ptr<hgr::Scene> scene =
			new hgr::Scene(context, path.c_str(), resources, textures.c_str(), shaders.c_str(), particles.c_str());
		std::vector<lumaroll::LibraryTrigger> records;
		const auto t0 = Clock::now();
		const int loaded = lumaroll::loadLibraryObjects(scene, context, resources, data(root), records);
		const double ms = msSince(t0);
		benchmark::DoNotOptimize(loaded);
		return ms;
	};
	double objectsMs = 0, plainMs = 0;
	bool plainFirst = true;
	for (auto _ : state) {
		if (plainFirst) {
			plainMs += plainPhase();
			objectsMs += objectsPhase();
		} else {
			objectsMs += objectsPhase();
			plainMs += plainPhase();
		}
		plainFirst = !plainFirst;
	}
	const double n = double(state.iterations());
	state.counters["model_MB"] = double(fileSize(models + "big.hgr")) / 1048576.0;
	state.counters["objects_ms"] = objectsMs / n;
	state.counters["plain_ms"] = plainMs / n;
	state.counters["ratio"] = plainMs > 0 ? objectsMs / plainMs : 0;
}

// A water level with some geometry above the water for both passes to draw.
std::string writeWaterLevel(const test::TempDir& root) {
	test::writeSetupFiles(data(root));
	test::writeWaterEffects(data(root));
	test::SceneWriter w = test::waterLevel(0.f, 500.f);
	w.material("flat", "flat.fx").texture("BASEMAP", w.texture("red.png"));
	for (int i = 0; i < 16; ++i) {
		test::addGrid(w.primitive(2), 32, 150.f);
		w.mesh("M_" + std::to_string(i))
			.primitives({2 + i})
			.transform(test::SceneWriter::rotationZ(0.1f * float(i), float(i % 4) * 200.f - 300.f, 150.f,
													float(i / 4) * 200.f - 300.f));
	}
	const std::string path = levelPath(root);
	w.write(path);
	return path;
}

// Options of a session on the water level written below root; false, and
// the benchmark skipped, without an OpenGL ES context.
bool waterLevelOptions(benchmark::State& state, const test::TempDir& root, lumaroll::LaunchOptions& options) {
	if (!window().ok) {
		state.SkipWithError("no OpenGL ES context");
		return false;
	}
	options.level = writeWaterLevel(root);
	options.dataDir = data(root);
	lumaroll::Settings::instance().setString("graphics.render_scale", "1");
	return true;
}

struct Percentiles {
	double mean = 0, p99 = 0;
};

Percentiles summarise(std::vector<double> ms) {
	Percentiles p;
	if (ms.empty())
		return p;
	std::sort(ms.begin(), ms.end());
	double sum = 0;
	for (double v : ms)
		sum += v;
	p.mean = sum / double(ms.size());
	p.p99 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.99))];
	return p;
}

void BM_WaterFrameReflectionOnAgainstOff(benchmark::State& state) {
	test::TempDir root;
	lumaroll::LaunchOptions options;
	if (!waterLevelOptions(state, root, options))
		return;
	std::vector<double> on, off;
	{
		lumaroll::LevelSession session(window().app, options);
		session.start();
		lumaroll::WaterReflection* water = session.level().water();
		for (int i = 0; i < 10; ++i) // warm-up: programs, target, first uploads
			session.frame();
		for (auto _ : state) {
			for (bool enabled : {true, false}) {
				water->enabled = enabled;
				const auto t0 = Clock::now();
				session.frame();
				glFinish(); // llvmpipe renders lazily: count the frame until its pixels exist
				(enabled ? on : off).push_back(msSince(t0));
			}
		}
	}
	const Percentiles a = summarise(on), b = summarise(off);
	state.counters["on_mean_ms"] = a.mean;
	state.counters["on_p99_ms"] = a.p99;
	state.counters["off_mean_ms"] = b.mean;
	state.counters["off_p99_ms"] = b.p99;
	state.counters["mean_ratio"] = b.mean > 0 ? a.mean / b.mean : 0;
	state.counters["p99_ratio"] = b.p99 > 0 ? a.p99 / b.p99 : 0;
}

// Writes "water01.pvr" to "water<count>.pvr": 256 x 256 4-bit PVRTC, one level.
void writePvrtcNormalMaps(const std::string& dataDir, int count) {
	using namespace lumaroll::test;
	const std::string dir = dataDir + "/resources/textures/";
	lumaroll::makeDirs(dir);
	const std::vector<std::uint8_t> level = pvrtcLevel(64, 64, [](std::uint32_t x, std::uint32_t y) {
		return PvrtcWord{0x1b1b1b1bu * (x + y), colourWord(opaqueA(16, 16, 15), opaqueB(int(x % 32), int(y % 32), 31))};
	});
	PvrHeader header;
	header.width = header.height = 256;
	header.formatAndFlags = 0x19;
	header.dataSize = std::uint32_t(level.size());
	header.bitsPerPixel = 4;
	const std::vector<std::uint8_t> file = legacyPvr(header, level);
	for (int i = 1; i <= count; ++i) {
		char name[32];
		std::snprintf(name, sizeof name, "water%02d.pvr", i);
		writeBytes(dir + name, file);
	}
}

void BM_NormalMapFramesShareOfLevelStart(benchmark::State& state) {
	const int frames = int(state.range(0));
	test::TempDir root;
	lumaroll::LaunchOptions options;
	if (!waterLevelOptions(state, root, options))
		return;
	writePvrtcNormalMaps(data(root), frames);
	double startMs = 0, waterMs = 0;
	size_t loaded = 0;
	for (auto _ : state) {
		lumaroll::LevelSession session(window().app, options);
		auto t0 = Clock::now();
		session.start();
		glFinish();
		startMs += msSince(t0);
		// The same construction again, alone: its frames are loaded anew.
		t0 = Clock::now();
		lumaroll::WaterReflection water(session.level().graphicsContext(), session.level().scene());
		glFinish();
		waterMs += msSince(t0);
		loaded = water.normalMapFrames().size();
	}
	const double n = double(state.iterations());
	state.counters["frames"] = double(loaded);
	state.counters["level_start_ms"] = startMs / n;
	state.counters["water_ms"] = waterMs / n;
	state.counters["share"] = startMs > 0 ? waterMs / startMs : 0;
	state.counters["per_frame_ms"] = loaded ? waterMs / n / double(loaded) : 0;
}

void BM_SetupPlayer(benchmark::State& state) {
	test::TempDir root;
	lumaroll::LaunchOptions options;
	if (!waterLevelOptions(state, root, options))
		return;
	options.play = true;
	lumaroll::makeDirs(data(root) + "/resources/models");
	test::ballModel("D_forminfo=" + test::formRecord(40.f)).write(data(root) + "/resources/models/plimbo.hgr");
	double ms = 0;
	for (auto _ : state) {
		lumaroll::RunningLevel level;
		lumaroll::LevelSetup setup(window().app, options, level);
		setup.load();
		setup.setupWorld();
		const auto t0 = Clock::now();
		setup.setupPlayer();
		ms += msSince(t0);
	}
	state.counters["setupPlayer_ms"] = ms / double(state.iterations());
}

} // namespace

BENCHMARK(BM_LibraryObjectsAgainstPlainLoads)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaterFrameReflectionOnAgainstOff)->Iterations(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NormalMapFramesShareOfLevelStart)->Arg(0)->Arg(7)->Arg(30)->Iterations(5)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_SetupPlayer)->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
