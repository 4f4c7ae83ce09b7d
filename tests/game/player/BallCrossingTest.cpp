// Thin surfaces met at speed: a ball dropped onto a floor of two triangles,
// or thrown at a wall of two, never ends a frame on the far side, whatever
// part of its substep the surface falls in; only a solid face in its path
// stops it.

#include "GridHelpers.h"

#include <player/Ball.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

using lumaroll::BallBody;
using lumaroll::BallControl;
using lumaroll::CollisionGrid;
using math::Vector3;
using playertest::addOwner;
using playertest::addTriangles;

namespace {

enum class Surface { Floor, Wall };

// A zero-thickness floor at y 0 or wall at x 0 (facing -x, from y 0 to
// 4000): two triangles whose shared diagonal runs through the point aimed at.
CollisionGrid surfaceGrid(Surface surface) {
	CollisionGrid grid(200.f);
	if (surface == Surface::Floor)
		addTriangles(grid, test::floorTriangles(2000.f, 0.f));
	else
		addTriangles(grid, test::wallTriangles(0.f, 2000.f, 4000.f));
	return grid;
}

// The ball starts so far from the surface that it meets it after 1 + phase
// / 40 frames, on the two triangles' shared diagonal for even phases, beside
// it for odd ones. Returns whether some frame ended with the centre on the
// far side.
bool passesThrough(const CollisionGrid& grid, Surface surface, float speed, float dt, float radius, int phase) {
	BallBody body;
	body.values.radius = radius;
	// The speed is the one given: neither limit cuts it.
	body.values.maxSpeed = 1e6f;
	body.values.speedLimit = 1e6f;
	const float distance = radius + 1.f + speed * dt * (1.f + float(phase) / 40.f);
	const float side = phase % 2 ? 37.f : 0.f;
	if (surface == Surface::Floor) {
		body.position = Vector3(side, distance, -0.5f * side);
		body.velocity = Vector3(0, -speed, 0);
	} else {
		body.values.gravity = 0.f;
		body.position = Vector3(-distance, 2000.f + side, side);
		body.velocity = Vector3(speed, 0, 0);
	}
	const auto beyond = [&] { return surface == Surface::Floor ? body.position.y < 0.f : body.position.x > 0.f; };
	const auto approaching = [&] { return surface == Surface::Floor ? body.velocity.y < 0.f : body.velocity.x > 0.f; };
	for (int frame = 0; frame < 4; ++frame) {
		body.integrate(BallControl(), grid, dt);
		if (beyond())
			return true;
		if (body.impactSpeed > 0.f && !approaching())
			return false;
	}
	return beyond();
}

TEST(BallCrossing, NoSpeedCarriesTheBallThroughAThinFloorOrWall) {
	const float dts[] = {0.1f, 1.f / 30.f, 1.f / 60.f};
	const char* dtNames[] = {"0.1", "1/30", "1/60"};
	const Surface surfaces[] = {Surface::Floor, Surface::Wall};
	std::string table = "surface | dt | radius | through | slowest through\n";
	int total = 0;
	for (const Surface surface : surfaces) {
		const CollisionGrid grid = surfaceGrid(surface);
		for (int d = 0; d < 3; ++d)
			for (int radius = 10; radius <= 50; radius += 10) {
				int through = 0, cases = 0;
				float slowest = 0.f;
				for (int k = 1; k <= 40; ++k) {
					const float speed = 1250.f * float(k);
					for (int phase = 0; phase < 40; ++phase, ++cases) {
						if (!passesThrough(grid, surface, speed, dts[d], float(radius), phase))
							continue;
						if (through++ == 0)
							slowest = speed;
					}
				}
				total += through;
				char row[128];
				std::snprintf(row, sizeof(row), "%s | %s | %d | %d of %d | %s\n",
							  surface == Surface::Floor ? "floor" : "wall", dtNames[d], radius, through, cases,
							  through ? std::to_string(int(slowest)).c_str() : "-");
				table += row;
			}
	}
	std::printf("%s", table.c_str());
	EXPECT_EQ(0, total) << table;
}

TEST(BallCrossing, AFastBallStopsOnTheSideItCameFromAndRebounds) {
	// 50,000 units/s straight down onto a floor met in the middle of a 0.1 s frame.
	const CollisionGrid grid = surfaceGrid(Surface::Floor);
	BallBody body;
	body.values.speedLimit = 1e6f;
	body.position = Vector3(0, 50.f + 2500.f, 0);
	body.velocity = Vector3(0, -50000.f, 0);
	EXPECT_EQ(16, body.integrate(BallControl(), grid, 0.1f));
	EXPECT_GT(body.position.y, 50.f);
	EXPECT_GT(body.impactSpeed, 49000.f);
	EXPECT_NEAR(1.f, body.impactNormal.y, 1e-6f);
	EXPECT_GT(body.velocity.y, 0.f) << "a hard impact rebounds";
	// Met from below, the same floor holds the ball below it.
	body = BallBody();
	body.values.speedLimit = 1e6f;
	body.values.gravity = 0.f;
	body.position = Vector3(0, -50.f - 2500.f, 0);
	body.velocity = Vector3(0, 50000.f, 0);
	body.integrate(BallControl(), grid, 0.1f);
	EXPECT_LT(body.position.y, -50.f);
	EXPECT_NEAR(-1.f, body.impactNormal.y, 1e-6f);
}

TEST(BallCrossing, PassableMeshesAndFacesBesideThePathDoNotStopTheBall) {
	CollisionGrid grid(200.f);
	const int ghost = addOwner(grid, "ghost", false);
	addTriangles(grid, test::floorTriangles(2000.f, 0.f), ghost);
	// A floor ending at x 1000, passed beside its edge.
	addTriangles(grid, test::rectangleTriangles(-1000.f, -1000.f, 1000.f, 1000.f, -3000.f), addOwner(grid, "ledge"));
	for (const float x : {0.f, 1100.f}) {
		BallBody body;
		body.values.speedLimit = 1e6f;
		body.values.gravity = 0.f;
		body.position = Vector3(x, 1500.f, 0);
		body.velocity = Vector3(0, -50000.f, 0);
		body.integrate(BallControl(), grid, 0.1f);
		if (x == 0.f) {
			// Through the passable floor, off the ledge.
			EXPECT_GT(body.position.y, -3000.f + 50.f);
			EXPECT_NEAR(1.f, body.impactNormal.y, 1e-6f);
			EXPECT_GT(body.velocity.y, 0.f);
		} else {
			EXPECT_NEAR(1500.f - 5000.f, body.position.y, 1e-2f) << "beside the ledge: nothing in the way";
		}
	}
}

} // namespace
