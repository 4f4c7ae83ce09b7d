// Rails, camera and shadows against their budgets: ordering segments into a
// rail (time when the count doubles), one frame of riding a 5,000-point rail
// (against a plain loop over the point-segment distances it needs, and over
// the whole rail), the follow camera over 100k triangles of terrain with
// walls, and 500 object shadows (standing still and all moving), each as a
// share of a 16.7 ms frame.
// Counters hold the ratios; heap allocations inside the timed loops are counted.
#include "support/AllocationCounter.h"
#include "support/FakeContext.h"
#include "support/FakeSceneLoader.h"
#include "support/LevelFixtures.h"

#include <hgr/Camera.h>
#include <logic/SceneWorld.h>
#include <player/Ball.h>
#include <player/FollowCamera.h>
#include <player/LevelCollision.h>
#include <player/PlayerShadows.h>
#include <player/Rail.h>
#include <player/RailPath.h>
#include <player/RailRider.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using math::Vector3;

const double kFrameSeconds = 1.0 / 60.0;

double seconds(Clock::time_point since) {
	return std::chrono::duration<double>(Clock::now() - since).count();
}

// Time and heap allocations of the frames run through it.
struct FrameMeter {
	double spent = 0;
	long allocations = 0;

	template <class F>
	void measure(F&& f) {
		const long before = test::allocationCount();
		const Clock::time_point start = Clock::now();
		f();
		spent += seconds(start);
		allocations += test::allocationCount() - before;
	}

	// Microseconds per frame, share of a frame and allocations per frame.
	void report(benchmark::State& state, const char* perFrame) const {
		const double n = double(state.iterations());
		state.counters[perFrame] = spent / n * 1e6;
		state.counters["frame_share_pct"] = spent / n / kFrameSeconds * 100.0;
		state.counters["allocations"] = double(allocations) / n;
	}
};

Vector3 vec(const test::Vec3& v) {
	return Vector3(v[0], v[1], v[2]);
}

std::vector<Vector3> flat(const test::Segments& segments) {
	std::vector<Vector3> out;
	for (const auto& s : segments) {
		out.push_back(vec(s.first));
		out.push_back(vec(s.second));
	}
	return out;
}

// A winding track of n segments of about 10 units, shuffled and partly drawn backwards.
std::vector<Vector3> windingTrack(int n) {
	test::Segments segments;
	test::Vec3 at{0, 0, 0};
	for (int i = 0; i < n; ++i) {
		const float a = 0.002f * float(i);
		const test::Vec3 next{at[0] + 10.f * std::sin(a), at[1] + std::sin(0.01f * float(i)),
							  at[2] + 10.f * std::cos(a)};
		segments.emplace_back(at, next);
		at = next;
	}
	return flat(test::shuffledSegments(segments));
}

// n segments 100 apart that touch nothing: every one is a piece of its own.
std::vector<Vector3> disjointSegments(int n) {
	test::Segments segments;
	for (int i = 0; i < n; ++i) {
		const float x = 100.f * float(i % 100), z = 100.f * float(i / 100);
		segments.emplace_back(test::Vec3{x, 0, z}, test::Vec3{x + 50.f, 0, z});
	}
	return flat(test::shuffledSegments(segments));
}

double buildSeconds(const std::vector<Vector3>& segments) {
	std::vector<size_t> pieces;
	const Clock::time_point start = Clock::now();
	const std::vector<Vector3> points = lumaroll::buildRailPoints(segments, &pieces);
	const double spent = seconds(start);
	benchmark::DoNotOptimize(points.data());
	return spent;
}

// Ordering n and 2n segments; "doubling" is the ratio of the two times
// (4 for a quadratic build, 2 for a linear one).
void buildDoubling(benchmark::State& state, std::vector<Vector3> (*make)(int)) {
	const int n = int(state.range(0));
	const std::vector<Vector3> small = make(n), large = make(2 * n);
	double smallSeconds = 0, largeSeconds = 0;
	for (auto _ : state) {
		smallSeconds += buildSeconds(small);
		largeSeconds += buildSeconds(large);
	}
	const double iterations = double(state.iterations());
	state.counters["ms_n"] = smallSeconds / iterations * 1000;
	state.counters["ms_2n"] = largeSeconds / iterations * 1000;
	state.counters["doubling"] = largeSeconds / smallSeconds;
}

void BM_BuildOnePiece(benchmark::State& state) {
	buildDoubling(state, windingTrack);
}
BENCHMARK(BM_BuildOnePiece)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_BuildDisjoint(benchmark::State& state) {
	buildDoubling(state, disjointSegments);
}
BENCHMARK(BM_BuildDisjoint)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(5);

// A level loaded on the fake context, with its world and the player's parts
// that the measured frames drive: the collision world, and over its grid the
// rail rider, the follow camera and the shadows.
struct BenchLevel {
	test::SceneWriter writer;
	test::LevelFixtures pieces{writer};
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	test::FakeScene loaded;
	std::unique_ptr<lumaroll::SceneWorld> world;
	std::unique_ptr<lumaroll::LevelCollision> collision;
	std::unique_ptr<lumaroll::RailRider> rider;
	std::unique_ptr<lumaroll::FollowCamera> camera;
	std::unique_ptr<lumaroll::PlayerShadows> shadows;

	void build() {
		context->log.enabled = false;
		loaded = test::loadFakeScene(writer, context);
		world.reset(new lumaroll::SceneWorld(loaded.scene));
		collision.reset(new lumaroll::LevelCollision(loaded.scene, world.get()));
		rider.reset(new lumaroll::RailRider(world.get()));
		camera.reset(new lumaroll::FollowCamera(collision->grid()));
		shadows.reset(new lumaroll::PlayerShadows(loaded.scene, collision->grid()));
	}
};

float distanceToSegment(const Vector3& p, const Vector3& a, const Vector3& b) {
	const Vector3 d = b - a;
	const float dd = d.dot(d);
	const float t = dd > 1e-8f ? std::min(std::max((p - a).dot(d) / dd, 0.f), 1.f) : 0.f;
	return (p - (a + d * t)).length();
}

// One frame of the ride on a 5,000-point rail with the ball halfway along it.
void BM_RideRail(benchmark::State& state) {
	BenchLevel level;
	test::Segments track;
	test::Vec3 at{0, 0, 0};
	for (int i = 0; i < 4999; ++i) {
		const float a = 0.002f * float(i);
		const test::Vec3 next{at[0] + 10.f * std::sin(a), 0.f, at[2] + 10.f * std::cos(a)};
		track.emplace_back(at, next);
		at = next;
	}
	test::RailDrawing rail;
	rail.track = test::shuffledSegments(track);
	rail.properties = "tracknormalgravity=1";
	level.pieces.railNode("L_long", rail);
	level.build();
	lumaroll::RailRider& rider = *level.rider;
	rider.setRails(lumaroll::readRails(level.loaded.scene).rails);
	const lumaroll::RailPath& path = rider.rails().at(0).path;
	const Vector3 ball = path.sampleAtDistance(25000.f).position + Vector3(3, 50, 0);
	lumaroll::BallBody body;
	body.position = ball;
	Vector3 forward(0, 0, 1);
	lumaroll::BallControl control;
	rider.attach("L_long", ball);
	rider.ride(body, forward, control, 0.f, float(kFrameSeconds));

	// The segments the ride's window (600 behind, 3000 ahead) lets it test.
	const float along = path.closestPoint(ball).distance;
	std::vector<size_t> window;
	for (size_t i = 0; i + 1 < path.points.size(); ++i)
		if (path.lengths[i + 1] >= along - 600.f && path.lengths[i] <= along + 3000.f)
			window.push_back(i);

	const Vector3 rideVelocity(0, 0, 3000);
	FrameMeter ride;
	double windowSeconds = 0, wholeSeconds = 0;
	for (auto _ : state) {
		body.position = ball;
		body.velocity = rideVelocity;
		ride.measure([&] { rider.ride(body, forward, control, 0.3f, float(kFrameSeconds)); });

		Clock::time_point start = Clock::now();
		float best = 1e30f;
		for (size_t i : window)
			best = std::min(best, distanceToSegment(ball, path.points[i], path.points[i + 1]));
		benchmark::DoNotOptimize(best);
		windowSeconds += seconds(start);

		start = Clock::now();
		best = 1e30f;
		for (size_t i = 0; i + 1 < path.points.size(); ++i)
			best = std::min(best, distanceToSegment(ball, path.points[i], path.points[i + 1]));
		benchmark::DoNotOptimize(best);
		wholeSeconds += seconds(start);
	}
	ride.report(state, "us_per_ride");
	state.counters["window_segments"] = double(window.size());
	state.counters["vs_window_loop"] = ride.spent / windowSeconds;
	state.counters["vs_whole_loop"] = ride.spent / wholeSeconds;
}
BENCHMARK(BM_RideRail)->Unit(benchmark::kMicrosecond);

// 100k triangles of terrain (224 x 224 quads of 50 units) with walls across
// the line z 5000, every 500 along x.
void terrainWithWalls(BenchLevel& level) {
	level.pieces.heightField("terrain", 224, 224, 50.f);
	for (int i = 0; i < 20; ++i)
		level.pieces.mesh("wall" + std::to_string(i), test::wallTriangles(500.f + 500.f * float(i), 400.f, 600.f))
			.position(0, 0, 5000);
}

// The follow camera's placement with the ball moving over the terrain behind a wall.
void BM_UpdateCamera(benchmark::State& state) {
	BenchLevel level;
	terrainWithWalls(level);
	level.build();
	lumaroll::FollowCamera& follow = *level.camera;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	camera->linkTo(level.loaded.scene);
	// Orbiting with the camera on the ball's +x side: a wall stands between them.
	follow.addInput(-1.57f, 0.f);
	follow.applyInput();
	const Vector3 forward(0, 0, 1);
	const lumaroll::FollowCamera::WaterHeight noWater;
	const float x0 = 3000.f, z0 = 5000.f;
	lumaroll::BallBody ball;
	int frame = 0;
	FrameMeter meter;
	for (auto _ : state) {
		const float x = x0 + float(frame++ % 2000) * 3.f;
		ball.position = Vector3(x, test::heightFieldHeight(x, z0) + 50.f, z0);
		meter.measure([&] { follow.update(camera, ball, forward, false, true, noWater, float(kFrameSeconds)); });
	}
	meter.report(state, "us_per_update");
}
BENCHMARK(BM_UpdateCamera)->Unit(benchmark::kMicrosecond);

// The shadows of 500 casters standing on the terrain (argument 0:
// they stand still; 1: every one moves each frame and probes the ground again).
void BM_PlaceObjectShadows(benchmark::State& state) {
	const bool moving = state.range(0) != 0;
	BenchLevel level;
	terrainWithWalls(level);
	std::vector<Vector3> spots;
	for (int i = 0; i < 500; ++i) {
		const std::string name = "O_thing" + std::to_string(i);
		const float x = 200.f + 450.f * float(i % 25), z = 200.f + 550.f * float(i / 25);
		spots.push_back(Vector3(x, test::heightFieldHeight(x, z) + 60.f, z));
		level.writer.dummy(name).position(x, spots.back().y, z);
		level.pieces.mesh(name + "_shadow", test::floorTriangles(40.f, 0.f), "").parent(name);
	}
	level.build();
	lumaroll::PlayerShadows& shadows = *level.shadows;
	std::vector<hgr::Node*> things;
	for (int i = 0; i < 500; ++i) {
		const std::string name = "O_thing" + std::to_string(i);
		things.push_back(level.loaded.scene->findNode(name.c_str()));
		shadows.addCaster(level.loaded.scene->findNode((name + "_shadow").c_str()), things.back(), i % 2 == 0);
	}
	shadows.placeObjectShadows();
	int frame = 0;
	FrameMeter meter;
	for (auto _ : state) {
		if (moving) {
			const float step = float(++frame % 100);
			for (size_t i = 0; i < things.size(); ++i)
				things[i]->setPosition(spots[i] + Vector3(step, 0.f, 0.5f * step));
		}
		meter.measure([&] { shadows.placeObjectShadows(); });
	}
	meter.report(state, "us_per_frame");
}
BENCHMARK(BM_PlaceObjectShadows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
