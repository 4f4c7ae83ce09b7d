// The ball's motion through hand-made grids: substeps, landing and resting,
// friction, impacts, jumps after leaving a ledge, slopes and passable meshes.

#include "GridHelpers.h"

#include <player/Ball.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using lumaroll::BallBody;
using lumaroll::BallControl;
using lumaroll::CollisionGrid;
using math::Vector3;
using playertest::addOwner;
using playertest::addTriangles;

namespace {

const float kFrame = 1.f / 60.f;

CollisionGrid floorGrid(float halfSize = 2000.f, float y = 0.f) {
	CollisionGrid grid(200.f);
	addTriangles(grid, test::floorTriangles(halfSize, y));
	return grid;
}

// A ball resting on the floor at y 0 (settled for a second).
BallBody restingBall(const CollisionGrid& grid) {
	BallBody body;
	body.position = Vector3(0, 50.01f, 0);
	for (int i = 0; i < 60; ++i)
		body.integrate(BallControl(), grid, kFrame);
	return body;
}

TEST(BallBody, SettlesOnAFloorWithoutSinking) {
	const CollisionGrid grid = floorGrid();
	BallBody body;
	body.position = Vector3(0, 300, 0);
	float lowest = 1e9f;
	for (int i = 0; i < 120; ++i) {
		body.integrate(BallControl(), grid, kFrame);
		lowest = std::min(lowest, body.position.y);
	}
	EXPECT_NEAR(50.01f, body.position.y, 0.05f);
	EXPECT_GE(lowest, 49.f);
	EXPECT_TRUE(body.onGround);
	EXPECT_NEAR(1.f, body.groundNormal.y, 1e-6f);
	EXPECT_EQ(0.f, body.groundNormal.x);
	EXPECT_EQ(0.f, body.groundNormal.z);
}

struct SubstepCase {
	const char* name;
	float speed, dt;
	int substeps;
};

TEST(BallBody, SplitsAFrameIntoSubstepsOfAtMostFourTenthsOfTheRadius) {
	const SubstepCase cases[] = {
		{"at rest", 0.f, 0.1f, 1},
		{"400 over 0.1 s", 400.f, 0.1f, 2},
		{"4000 over 0.1 s, capped", 4000.f, 0.1f, 16},
		{"4000 over 0.5 s, cut to 0.1 s", 4000.f, 0.5f, 16},
		{"a frame of 0", 100.f, 0.f, 0},
		{"a negative frame", 100.f, -1.f, 0},
		{"a NaN frame", 100.f, std::nanf(""), 0},
		{"a NaN speed", std::nanf(""), 0.1f, 16},
	};
	const CollisionGrid empty(200.f);
	for (const SubstepCase& c : cases) {
		BallBody body;
		body.values.gravity = 0.f;
		body.position = Vector3(0, 1000, 0);
		body.velocity = Vector3(c.speed, 0, 0);
		EXPECT_EQ(c.substeps, body.integrate(BallControl(), empty, c.dt)) << c.name;
	}
}

TEST(BallBody, ARadiusThatIsNotPositiveNeverDividesTheMotion) {
	const CollisionGrid grid = floorGrid();
	for (const float radius : {0.f, -5.f}) {
		BallBody body;
		body.values.radius = radius;
		body.position = Vector3(0, 10, 0);
		body.velocity = Vector3(300, 0, 0);
		EXPECT_EQ(16, body.integrate(BallControl(), grid, kFrame)) << radius;
		EXPECT_TRUE(body.position.isFinite()) << radius;
		EXPECT_TRUE(std::isfinite(body.rollAngle)) << radius;
	}
}

TEST(BallBody, AMoveLongerThanOneIsTakenAsGiven) {
	// Rail steering pushes up to 3: three times the acceleration of a full stick.
	const CollisionGrid grid = floorGrid();
	BallBody one = restingBall(grid), three = one;
	BallControl control;
	control.move = Vector3(1, 0, 0);
	one.substep(control, grid, 0.01f);
	control.move = Vector3(3, 0, 0);
	three.substep(control, grid, 0.01f);
	EXPECT_NEAR(17.5f, one.velocity.x, 1e-3f);
	EXPECT_NEAR(52.5f, three.velocity.x, 1e-3f);
}

TEST(BallBody, AFrameLongerThanATenthMovesAsATenth) {
	const CollisionGrid grid = floorGrid();
	BallBody a = restingBall(grid), b = a;
	BallControl control;
	control.move = Vector3(0, 0, 1);
	a.integrate(control, grid, 0.5f);
	b.integrate(control, grid, 0.1f);
	EXPECT_EQ(b.position.x, a.position.x);
	EXPECT_EQ(b.position.y, a.position.y);
	EXPECT_EQ(b.position.z, a.position.z);
	EXPECT_EQ(b.velocity.z, a.velocity.z);
	EXPECT_GT(a.position.z, 0.f);
}

TEST(BallBody, FrictionStopsARollingBallWithoutTurningItBack) {
	const CollisionGrid grid = floorGrid();
	BallBody body = restingBall(grid);
	body.velocity = Vector3(100, 0, 0);
	float previous = 100.f;
	for (int i = 0; i < 12; ++i) { // 0.2 s
		body.integrate(BallControl(), grid, kFrame);
		EXPECT_LE(body.velocity.x, previous);
		previous = body.velocity.x;
	}
	EXPECT_NEAR(100.f - 350.f * 0.2f, body.velocity.x, 0.05f);
	for (int i = 0; i < 60; ++i)
		body.integrate(BallControl(), grid, kFrame);
	EXPECT_EQ(0.f, body.velocity.x);
	EXPECT_EQ(0.f, body.velocity.z);
}

struct ImpactCase {
	const char* name;
	float speed;
	float upAfter, upTolerance;
};

TEST(BallBody, HardImpactsReboundAndSoftOnesStop) {
	const CollisionGrid grid = floorGrid();
	const ImpactCase cases[] = {
		// 500 plus the gravity of the last millisecond, reflected with 1 + 0.1.
		{"500 into the floor", 500.f, 50.2f, 0.2f},
		{"80 into the floor", 80.f, 0.f, 0.f},
	};
	for (const ImpactCase& c : cases) {
		BallBody body;
		body.position = Vector3(0, 50.4f, 0);
		body.velocity = Vector3(0, -c.speed, 0);
		for (int i = 0; i < 20 && body.impactSpeed == 0.f; ++i)
			body.integrate(BallControl(), grid, 0.001f);
		ASSERT_GT(body.impactSpeed, 0.f) << c.name;
		EXPECT_NEAR(c.upAfter, body.velocity.y, c.upTolerance) << c.name;
		if (c.upAfter > 0.f) {
			EXPECT_NEAR(0.1f * body.impactSpeed, body.velocity.y, 0.01f) << c.name;
		}
		EXPECT_EQ(1.f, body.impactNormal.y) << c.name;
	}
}

struct LedgeCase {
	const char* name;
	float secondsAfterLeaving;
	bool jumps;
};

TEST(BallBody, JumpsUpToHalfASecondAfterLeavingALedge) {
	// A floor ending at x = 0, the ball rolling off it with the stick held.
	CollisionGrid grid(200.f);
	addTriangles(grid, test::floorTriangles(1000.f, 0.f, -1000.f, 0.f));
	const LedgeCase cases[] = {{"0.4 s after", 0.4f, true}, {"0.6 s after", 0.6f, false}};
	for (const LedgeCase& c : cases) {
		BallBody body;
		body.position = Vector3(-300, 50.01f, 0);
		body.onGround = true;
		BallControl control;
		control.move = Vector3(1, 0, 0);
		int frames = 0;
		while (body.onGround || body.position.x < 0.f) {
			body.integrate(control, grid, kFrame);
			ASSERT_LT(++frames, 600) << c.name;
		}
		const int wait = int(std::lround(c.secondsAfterLeaving / kFrame)) - 1;
		for (int i = 0; i < wait; ++i)
			body.integrate(control, grid, kFrame);
		control.jump = true;
		body.integrate(control, grid, kFrame);
		EXPECT_EQ(c.jumps, body.jumped) << c.name;
		if (c.jumps) {
			EXPECT_NEAR(800.f * 0.85f, body.velocity.y, 1e-3f) << c.name;
		}
	}
}

TEST(BallBody, AJumpFromTheGroundLeavesAtJumpForceTimesFactorOverMass) {
	const CollisionGrid grid = floorGrid();
	BallBody body = restingBall(grid);
	body.values.mass = 2.f;
	BallControl control;
	control.jump = true;
	body.integrate(control, grid, kFrame);
	EXPECT_TRUE(body.jumped);
	EXPECT_FALSE(body.onGround);
	// One jump per ground contact: holding the button in the air does nothing more.
	body.integrate(control, grid, kFrame);
	EXPECT_FALSE(body.jumped);
}

struct SlopeCase {
	const char* name;
	float degrees;
	bool ground;
};

TEST(BallBody, SlopesUpTo55DegreesOfNormalAreGround) {
	const SlopeCase cases[] = {{"30 degrees", 30.f, true}, {"60 degrees", 60.f, false}};
	for (const SlopeCase& c : cases) {
		CollisionGrid grid(200.f);
		addTriangles(grid, test::slopeTriangles(c.degrees, 3000.f));
		BallBody body;
		const float angle = c.degrees * 3.14159265f / 180.f;
		// Touching the slope above the line x = 0, away from the diagonal its two triangles share.
		body.position = Vector3(-50.f * std::sin(angle), 50.f * std::cos(angle), 500.f);
		const float startX = body.position.x;
		for (int i = 0; i < 10; ++i)
			body.integrate(BallControl(), grid, kFrame);
		EXPECT_EQ(c.ground, body.onGround) << c.name;
		EXPECT_LT(body.position.x, startX - 5.f) << c.name << ": slides down";
		EXPECT_NEAR(500.f, body.position.z, 1e-3f) << c.name;
		if (c.ground) {
			EXPECT_NEAR(std::cos(angle), body.groundNormal.y, 1e-4f) << c.name;
		}
	}
}

TEST(BallBody, PassableMeshesAreTouchedButNeverPush) {
	CollisionGrid grid(200.f);
	const int ghost = addOwner(grid, "ghost", false);
	const int floor = addOwner(grid, "floor");
	addTriangles(grid, test::floorTriangles(2000.f, 100.f), ghost);
	addTriangles(grid, test::floorTriangles(2000.f, 0.f), floor);
	BallBody body;
	body.position = Vector3(0, 160, 0);
	bool touchedGhost = false;
	for (int i = 0; i < 60; ++i) {
		body.integrate(BallControl(), grid, kFrame);
		touchedGhost = touchedGhost || std::count(body.touched.begin(), body.touched.end(), ghost) == 1;
	}
	EXPECT_TRUE(touchedGhost);
	EXPECT_NEAR(50.01f, body.position.y, 0.05f) << "fell through the passable mesh onto the floor";
	EXPECT_EQ(1, std::count(body.touched.begin(), body.touched.end(), floor));
}

TEST(BallBody, ACentreLandingOnAFloorIsPushedBackToTheSideItCameFrom) {
	// The floor is wound downwards; the ball moves 20 units in one substep and its centre lands on it.
	CollisionGrid grid(200.f);
	addTriangles(grid, test::downFloorTriangles(2000.f, 0.f));
	BallBody body;
	body.values.gravity = 0.f;
	body.position = Vector3(0, 20, 0);
	body.velocity = Vector3(0, -2000, 0);
	body.substep(BallControl(), grid, 0.01f);
	EXPECT_NEAR(50.01f, body.position.y, 1e-3f);
	EXPECT_GE(body.velocity.y, 0.f);
}

TEST(BallBody, WithFullInputTheLateralSpeedStaysWithinMaxSpeed) {
	const CollisionGrid grid = floorGrid(20000.f);
	BallBody body = restingBall(grid);
	BallControl control;
	control.move = Vector3(0, 0, 1);
	for (int i = 0; i < 300; ++i) {
		body.integrate(control, grid, kFrame);
		ASSERT_LE(std::hypot(body.velocity.x, body.velocity.z), 800.f + 1e-2f);
	}
	EXPECT_NEAR(800.f, body.velocity.z, 1e-2f);
	EXPECT_GT(body.rollAngle, 0.f);
	EXPECT_NEAR(1.f, body.rollAxis.x, 1e-5f) << "rolls about up x forward";
}

// A speed of any finite size is brought down to the max speed across up, in
// its own direction, never to 0: in float the length of a velocity above
// about 1.8e19 is infinite, and a cap dividing by it would stop the ball.
TEST(BallBody, AFiniteSpeedOfAnySizeIsCappedNotStopped) {
	const CollisionGrid grid = floorGrid(20000.f);
	for (const float speed : {8000.f, 1e16f, 1e20f, 1e30f, 3e38f}) {
		SCOPED_TRACE(speed);
		for (const Vector3& direction : {Vector3(0, 0, 1), Vector3(-0.6f, 0, 0.8f)}) {
			BallBody body = restingBall(grid);
			body.velocity = direction * speed;
			BallControl control;
			control.move = direction; // no friction
			body.substep(control, grid, 0.001f);
			EXPECT_TRUE(body.velocity.isFinite());
			EXPECT_NEAR(800.f * direction.x, body.velocity.x, 1e-2f);
			EXPECT_NEAR(800.f * direction.z, body.velocity.z, 1e-2f);
			EXPECT_NEAR(0.f, body.velocity.y, 2.01f) << "no more than gravity's pull";
		}
	}
}

} // namespace
