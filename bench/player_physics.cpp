// The ball's collision world and motion on height-field terrain of 50-unit
// spacing: building the grid (against loading the same triangles from a scene
// file), the contact query (against testing its candidates without the grid),
// camera-length rays (against testing every triangle), and one frame of ball
// integration rolling and wedged in a corner, as a share of a 16.7 ms frame,
// and one frame of the ball on a level of 50,000 triangles resting, rolling
// and falling fast onto it.
// Counters hold the ratios; heap allocations inside the timed loops are counted.
#include "support/AllocationCounter.h"
#include "support/FakeContext.h"
#include "support/FakeSceneLoader.h"
#include "support/LevelFixtures.h"

#include <hgr/DefaultResourceManager.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>
#include <logic/SceneWorld.h>
#include <player/Ball.h>
#include <player/CollisionGrid.h>
#include <player/Player.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using lumaroll::BallBody;
using lumaroll::BallControl;
using lumaroll::CollisionGrid;
using math::Vector3;

const double kFrameSeconds = 1.0 / 60.0;

double seconds(Clock::time_point since) {
	return std::chrono::duration<double>(Clock::now() - since).count();
}

// Quads per side for about this many triangles.
int quadsFor(int triangles) {
	return int(std::lround(std::sqrt(triangles / 2.0)));
}

struct Terrain {
	std::vector<Vector3> corners; // three per triangle
	int quads = 0;
};

const Terrain& terrain(int triangles) {
	static std::vector<std::pair<int, Terrain>> made;
	for (const auto& t : made)
		if (t.first == triangles)
			return t.second;
	Terrain t;
	t.quads = quadsFor(triangles);
	for (const auto& v : test::heightFieldTriangles(t.quads, t.quads, 50.f))
		t.corners.push_back(Vector3(v[0], v[1], v[2]));
	made.emplace_back(triangles, std::move(t));
	return made.back().second;
}

void fill(CollisionGrid& grid, const Terrain& t) {
	for (size_t i = 0; i + 2 < t.corners.size(); i += 3)
		grid.addTriangle(0, t.corners[i], t.corners[i + 1], t.corners[i + 2]);
}

const CollisionGrid& grid100k() {
	static CollisionGrid grid = [] {
		CollisionGrid g(200.f);
		fill(g, terrain(100000));
		return g;
	}();
	return grid;
}

// Resident set figures of this process, in kB (peak since the last reset).
long statusKb(const char* key) {
	std::ifstream in("/proc/self/status");
	std::string line;
	while (std::getline(in, line))
		if (line.rfind(key, 0) == 0)
			return std::atol(line.c_str() + std::string(key).size());
	return 0;
}

void resetPeakResidentSize() {
	std::ofstream("/proc/self/clear_refs") << "5";
}

// Build time per triangle, cell entries per triangle and peak memory; for
// 100k triangles also the ratio to loading them from a scene file.
void BM_GridBuild(benchmark::State& state) {
	const int triangles = int(state.range(0));
	const Terrain& t = terrain(triangles);
	std::string scenePath;
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	context->log.enabled = false;
	// The fake context's shaders cost next to nothing: the load measured is the file's.
	lang::Ptr<hgr::DefaultResourceManager> resources = new hgr::DefaultResourceManager(context);
	if (triangles == 100000) {
		test::SceneWriter w;
		test::LevelFixtures(w).heightField("terrain", t.quads, t.quads, 50.f);
		scenePath = w.writeTemp("player-terrain.hgr");
	}
	double buildSeconds = 0, loadSeconds = 0;
	double entries = 0, kept = 0, peakMb = 0;
	for (auto _ : state) {
		const long before = statusKb("VmRSS:");
		resetPeakResidentSize();
		Clock::time_point start = Clock::now();
		{
			CollisionGrid grid(200.f);
			fill(grid, t);
			buildSeconds += seconds(start);
			entries = double(grid.cellEntryCount());
			kept = double(grid.triangles.size());
			peakMb = std::max(peakMb, double(statusKb("VmHWM:") - before) / 1024.0);
		}
		if (!scenePath.empty()) {
			start = Clock::now();
			lang::Ptr<hgr::Scene> scene = new hgr::Scene(context, scenePath.c_str(), resources, "", "", "");
			benchmark::DoNotOptimize(scene.ptr());
			loadSeconds += seconds(start);
		}
	}
	const double n = double(state.iterations());
	state.counters["ms"] = buildSeconds / n * 1000;
	state.counters["ns_per_triangle"] = buildSeconds / n / kept * 1e9;
	state.counters["entries_per_triangle"] = entries / kept;
	state.counters["peak_MB"] = peakMb;
	if (!scenePath.empty())
		state.counters["vs_scene_load"] = buildSeconds / loadSeconds;
}
BENCHMARK(BM_GridBuild)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Points on and just above the terrain, from a fixed sequence.
std::vector<Vector3> centresOnTerrain(int count, float lift) {
	std::vector<Vector3> out;
	uint32_t seed = 7;
	const float side = float(quadsFor(100000)) * 50.f;
	for (int i = 0; i < count; ++i) {
		seed = seed * 1664525u + 1013904223u;
		const float x = 100.f + (side - 200.f) * float(seed >> 8) / float(1 << 24);
		seed = seed * 1664525u + 1013904223u;
		const float z = 100.f + (side - 200.f) * float(seed >> 8) / float(1 << 24);
		out.push_back(Vector3(x, test::heightFieldHeight(x, z) + lift, z));
	}
	return out;
}

// The contact query at a resting ball's centre against closest-point tests
// of the same candidates (the triangles of the cells the sphere overlaps),
// taken from a list made beforehand.
void BM_GatherVsCandidates(benchmark::State& state) {
	const CollisionGrid& grid = grid100k();
	const float r = 50.f;
	const std::vector<Vector3> centres = centresOnTerrain(256, 45.f);
	std::vector<std::vector<int>> candidates(centres.size());
	for (size_t c = 0; c < centres.size(); ++c) {
		const Vector3 lo(std::floor((centres[c].x - r) / 200.f) * 200.f, std::floor((centres[c].y - r) / 200.f) * 200.f,
						 std::floor((centres[c].z - r) / 200.f) * 200.f);
		const Vector3 hi(std::floor((centres[c].x + r) / 200.f) * 200.f + 200.f,
						 std::floor((centres[c].y + r) / 200.f) * 200.f + 200.f,
						 std::floor((centres[c].z + r) / 200.f) * 200.f + 200.f);
		for (size_t i = 0; i < grid.triangles.size(); ++i) {
			const auto& t = grid.triangles[i];
			if (std::min({t.a.x, t.b.x, t.c.x}) < hi.x && std::max({t.a.x, t.b.x, t.c.x}) >= lo.x &&
				std::min({t.a.y, t.b.y, t.c.y}) < hi.y && std::max({t.a.y, t.b.y, t.c.y}) >= lo.y &&
				std::min({t.a.z, t.b.z, t.c.z}) < hi.z && std::max({t.a.z, t.b.z, t.c.z}) >= lo.z)
				candidates[c].push_back(int(i));
		}
	}
	std::vector<lumaroll::SphereContact> out;
	out.reserve(64);
	double gridSeconds = 0, plainSeconds = 0, contacts = 0, tested = 0;
	long allocations = 0;
	for (auto _ : state) {
		const long before = test::allocationCount();
		Clock::time_point start = Clock::now();
		for (const Vector3& c : centres) {
			grid.gatherTriangles(c, out, r);
			contacts += double(out.size());
		}
		gridSeconds += seconds(start);
		allocations += test::allocationCount() - before;
		start = Clock::now();
		float sum = 0.f;
		for (size_t c = 0; c < centres.size(); ++c)
			for (int i : candidates[c]) {
				const auto& t = grid.triangles[size_t(i)];
				const Vector3 d = centres[c] - lumaroll::closestPointOnTriangle(centres[c], t.a, t.b, t.c);
				sum += d.length() < r ? 1.f : 0.f;
			}
		benchmark::DoNotOptimize(sum);
		plainSeconds += seconds(start);
	}
	const double n = double(state.iterations()) * double(centres.size());
	for (const auto& c : candidates)
		tested += double(c.size());
	state.counters["us_per_query"] = gridSeconds / n * 1e6;
	state.counters["candidates"] = tested / double(centres.size());
	state.counters["contacts"] = contacts / n;
	state.counters["vs_candidates"] = gridSeconds / plainSeconds;
	state.counters["allocations"] = double(allocations) / n;
}
BENCHMARK(BM_GatherVsCandidates)->Unit(benchmark::kMicrosecond);

// Rays from above the terrain towards where a camera would be, against
// testing every one of the 100k triangles.
void BM_RayVsEveryTriangle(benchmark::State& state) {
	const CollisionGrid& grid = grid100k();
	const float length = float(state.range(0));
	const std::vector<Vector3> origins = centresOnTerrain(64, 25.f);
	std::vector<Vector3> dirs;
	for (size_t i = 0; i < origins.size(); ++i) {
		const float yaw = float(i) * 0.7f;
		// Half of them rise steeply over the hills, half skim them.
		const float rise = i % 2 ? 0.55f : 0.08f;
		dirs.push_back(Vector3(-std::sin(yaw), rise, -std::cos(yaw)).normalize());
	}
	double gridSeconds = 0, plainSeconds = 0, hits = 0;
	long allocations = 0;
	for (auto _ : state) {
		const long before = test::allocationCount();
		Clock::time_point start = Clock::now();
		for (size_t i = 0; i < origins.size(); ++i) {
			Vector3 p, n;
			hits += grid.intersectSegment(origins[i], dirs[i], p, n, false, length, nullptr) ? 1 : 0;
		}
		gridSeconds += seconds(start);
		allocations += test::allocationCount() - before;
		start = Clock::now();
		for (size_t i = 0; i < origins.size(); i += 8) {
			float best = length;
			for (const auto& t : grid.triangles) {
				const float d = lumaroll::rayTriangleDistance(origins[i], dirs[i], t);
				if (d >= 0.f && d < best)
					best = d;
			}
			benchmark::DoNotOptimize(best);
		}
		plainSeconds += seconds(start) * 8.0;
	}
	const double n = double(state.iterations()) * double(origins.size());
	state.counters["us_per_ray"] = gridSeconds / n * 1e6;
	state.counters["hit_share"] = hits / n;
	state.counters["vs_every_triangle"] = gridSeconds / plainSeconds;
	state.counters["allocations"] = double(allocations) / n;
}
BENCHMARK(BM_RayVsEveryTriangle)->Arg(745)->Arg(600)->Unit(benchmark::kMicrosecond);

// One frame of integration (of dt seconds), restarted from the same state each time.
void integrateFrames(benchmark::State& state, const CollisionGrid& grid, const BallBody& start,
					 const BallControl& control, double dt = kFrameSeconds) {
	BallBody body = start;
	body.integrate(control, grid, float(dt)); // the first frame sizes the contact lists
	int substeps = 0;
	long allocations = 0;
	double spent = 0;
	for (auto _ : state) {
		body.position = start.position;
		body.velocity = start.velocity;
		body.onGround = start.onGround;
		body.groundNormal = start.groundNormal;
		body.airTime = start.airTime;
		const long before = test::allocationCount();
		const Clock::time_point t = Clock::now();
		substeps += body.integrate(control, grid, float(dt));
		spent += seconds(t);
		allocations += test::allocationCount() - before;
	}
	const double n = double(state.iterations());
	state.counters["us_per_frame"] = spent / n * 1e6;
	state.counters["frame_share_pct"] = spent / n / kFrameSeconds * 100.0;
	state.counters["substeps"] = substeps / n;
	state.counters["allocations"] = double(allocations) / n;
}

void BM_IntegrateRolling(benchmark::State& state) {
	const float speed = float(state.range(0));
	const CollisionGrid& grid = grid100k();
	BallBody body;
	const float x = 2000.f, z = 2000.f;
	body.position = Vector3(x, test::heightFieldHeight(x, z) + 50.f, z);
	body.velocity = Vector3(speed * 0.8f, 0.f, speed * 0.6f);
	body.values.maxSpeed = 1e6f;
	body.values.speedLimit = 1e6f;
	body.onGround = true;
	BallControl control;
	control.move = Vector3(0.8f, 0.f, 0.6f);
	integrateFrames(state, grid, body, control);
}
BENCHMARK(BM_IntegrateRolling)->Arg(500)->Arg(4000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// A floor and two walls meeting in a corner sunk into the terrain; the ball
// driven into the corner at 20,000 units/s takes 16 substeps of several
// contact passes against walls, floor and terrain.
const Vector3 kCorner(3000.f, test::heightFieldHeight(3000.f, 3000.f) + 10.f, 3000.f);

void BM_IntegrateWedged(benchmark::State& state) {
	static CollisionGrid grid = [] {
		CollisionGrid g(200.f);
		fill(g, terrain(100000));
		const Vector3 c = kCorner;
		const auto quad = [&g](Vector3 a, Vector3 b, Vector3 cc, Vector3 d) {
			g.addTriangle(0, a, b, cc);
			g.addTriangle(0, a, cc, d);
		};
		quad(c + Vector3(-500, 0, -500), c + Vector3(-500, 0, 500), c + Vector3(500, 0, 500),
			 c + Vector3(500, 0, -500));
		quad(c, c + Vector3(0, 500, 0), c + Vector3(-500, 500, 0), c + Vector3(-500, 0, 0));
		quad(c, c + Vector3(0, 0, -500), c + Vector3(0, 500, -500), c + Vector3(0, 500, 0));
		return g;
	}();
	BallBody body;
	body.position = kCorner + Vector3(-45.f, 45.f, -45.f);
	body.velocity = Vector3(14000.f, -4000.f, 14000.f);
	body.values.maxSpeed = 1e6f;
	body.values.speedLimit = 1e6f;
	BallControl control;
	control.move = Vector3(0.7f, 0.f, 0.7f);
	integrateFrames(state, grid, body, control);
}
BENCHMARK(BM_IntegrateWedged)->Unit(benchmark::kMicrosecond);

const CollisionGrid& grid50k() {
	static CollisionGrid grid = [] {
		CollisionGrid g(200.f);
		fill(g, terrain(50000));
		return g;
	}();
	return grid;
}

const float kMiddle50k = float(quadsFor(50000)) * 25.f;

// A ball left on the 50k terrain for two seconds: resting in a hollow.
BallBody restingOn50k() {
	BallBody body;
	const float x = kMiddle50k, z = kMiddle50k;
	body.position = Vector3(x, test::heightFieldHeight(x, z) + 50.f, z);
	for (int i = 0; i < 120; ++i)
		body.integrate(BallControl(), grid50k(), float(kFrameSeconds));
	return body;
}

void BM_Ball50kResting(benchmark::State& state) {
	integrateFrames(state, grid50k(), restingOn50k(), BallControl());
}
BENCHMARK(BM_Ball50kResting)->Unit(benchmark::kMicrosecond);

// Rolling at the default top speed of 800 with the stick held.
void BM_Ball50kRolling(benchmark::State& state) {
	BallBody body = restingOn50k();
	body.velocity = Vector3(640.f, 0.f, 480.f);
	BallControl control;
	control.move = Vector3(0.8f, 0.f, 0.6f);
	integrateFrames(state, grid50k(), body, control);
}
BENCHMARK(BM_Ball50kRolling)->Unit(benchmark::kMicrosecond);

// Falling at the given speed onto the terrain in a frame of 0.1 s (the
// longest), met halfway through it; the speed limit is raised out of the way.
void BM_Ball50kFalling(benchmark::State& state) {
	const float speed = float(state.range(0));
	BallBody body;
	const float x = kMiddle50k, z = kMiddle50k;
	body.position = Vector3(x, test::heightFieldHeight(x, z) + 50.f + speed * 0.05f, z);
	body.velocity = Vector3(0.f, -speed, 0.f);
	body.values.speedLimit = 1e6f;
	integrateFrames(state, grid50k(), body, BallControl(), 0.1);
}
BENCHMARK(BM_Ball50kFalling)->Arg(2000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// Player::step on the 100k-triangle level with 200 trigger volumes, the ball
// rolling over the terrain with input.
void BM_PlayerStep(benchmark::State& state) {
	const Terrain& t = terrain(100000);
	test::SceneWriter w;
	test::LevelFixtures pieces(w);
	pieces.heightField("terrain", t.quads, t.quads, 50.f);
	for (int i = 0; i < 200; ++i)
		pieces.sphereVolume("T_v" + std::to_string(i), float(i % 20) * 500.f, 60.f, float(i / 20) * 1000.f, 60.f);
	pieces.dummyAt("D_start", 3000.f, 400.f, 3000.f);
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	context->log.enabled = false;
	test::FakeScene level = test::loadFakeScene(w, context);
	lumaroll::SceneWorld world(level.scene);
	std::unique_ptr<lumaroll::Player> player(new lumaroll::Player(level.scene, &world));
	player->placeAtStart();
	for (int i = 0; i < 60; ++i)
		player->step(false, float(kFrameSeconds), 1.f, 0.2f);
	int frame = 0;
	long allocations = 0;
	double spent = 0;
	for (auto _ : state) {
		// Back to the start now and then, so the ball stays on the terrain.
		if (++frame % 600 == 0)
			player->placeAtStart();
		const long before = test::allocationCount();
		const Clock::time_point start = Clock::now();
		player->step(frame % 120 == 0, float(kFrameSeconds), 1.f, 0.2f);
		spent += seconds(start);
		allocations += test::allocationCount() - before;
	}
	const double n = double(state.iterations());
	state.counters["us_per_step"] = spent / n * 1e6;
	state.counters["frame_share_pct"] = spent / n / kFrameSeconds * 100.0;
	state.counters["allocations"] = double(allocations) / n;
}
BENCHMARK(BM_PlayerStep)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
