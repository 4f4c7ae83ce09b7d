// Where the ball's physics puts the ball at the start and at a respawn:
// start and checkpoint nodes, the start camera, the ground probe's reach,
// and the summary line.

#include "PlayerFixture.h"

#include <cmath>
#include <functional>

using math::Vector3;
using playertest::Level;

namespace {

struct StartCase {
	const char* name;
	std::function<void(Level&)> build;
	Vector3 position;
	std::string startName;
};

TEST(PlayerStart, PutsTheBallOnTheGroundBelowTheStart) {
	const auto floorAt = [](float y) {
		return [y](Level& l) { l.pieces.mesh("floor", test::floorTriangles(3000.f, y)); };
	};
	const StartCase cases[] = {
		{"D_StartHere over a floor at 200",
		 [&](Level& l) {
			 floorAt(200.f)(l);
			 l.pieces.dummyAt("D_StartHere", 100, 400, 0);
		 },
		 {100, 255, 0},
		 "D_StartHere"},
		{"b_START is a start",
		 [&](Level& l) {
			 floorAt(0.f)(l);
			 l.pieces.dummyAt("b_START", 10, 100, 20);
		 },
		 {10, 55, 20},
		 "b_START"},
		{"a start beats an earlier checkpoint",
		 [&](Level& l) {
			 floorAt(0.f)(l);
			 l.pieces.dummyAt("d_checkpoint1", 500, 100, 0);
			 l.pieces.dummyAt("D_Start", -500, 100, 0);
		 },
		 {-500, 55, 0},
		 "D_Start"},
		{"without a start, the first checkpoint",
		 [&](Level& l) {
			 floorAt(0.f)(l);
			 l.pieces.dummyAt("d_checkpoint1", 500, 100, 0);
			 l.pieces.dummyAt("xstart", -500, 100, 0);
		 },
		 {500, 55, 0},
		 "d_checkpoint1"},
		{"xstart is not a start",
		 [&](Level& l) {
			 floorAt(0.f)(l);
			 l.pieces.dummyAt("xstart", -500, 100, 0);
		 },
		 {0, 55, 0},
		 ""},
		{"in front of a turned O_startcamera",
		 [&](Level& l) {
			 floorAt(0.f)(l);
			 // Turned a quarter about y: its z axis points along +x.
			 l.writer.node("O_startcamera").transform(test::rotationY(3.14159265f / 2, 100, 300, 50));
		 },
		 {500, 55, 50},
		 "in front of O_startcamera"},
		{"no start, floor at -2700 within reach", floorAt(-2700.f), {0, -2645, 0}, ""},
		{"no start, floor at -2900 out of reach", floorAt(-2900.f), {0, 0, 0}, ""},
		{"no start, no floor", [](Level&) {}, {0, 0, 0}, ""},
	};
	for (const StartCase& c : cases) {
		Level level;
		c.build(level);
		lumaroll::BallPhysics& physics = level.buildParts().physics;
		lumaroll::BallBody ball = physics.body();
		ball.velocity = Vector3(5, 5, 5);
		ball.onGround = true;
		physics.setBody(ball);
		physics.placeAtStart("");
		EXPECT_NEAR(c.position.x, physics.body().position.x, 1e-2f) << c.name;
		EXPECT_NEAR(c.position.y, physics.body().position.y, 1e-2f) << c.name;
		EXPECT_NEAR(c.position.z, physics.body().position.z, 1e-2f) << c.name;
		EXPECT_EQ(0.f, physics.body().velocity.length()) << c.name;
		EXPECT_FALSE(physics.body().onGround) << c.name;
		EXPECT_NE(std::string::npos, physics.summary().find("; start at " + c.startName + " ("))
			<< c.name << ": " << physics.summary();
	}
}

TEST(PlayerStart, TheSummaryLineNamesTheValuesAndTheStart) {
	Level level;
	level.pieces.mesh("floor", test::floorTriangles(3000.f, 200.f));
	level.pieces.dummyAt("D_StartHere", 100, 400, 0);
	lumaroll::Player& player = level.build();
	player.placeAtStart();
	EXPECT_EQ(
		"ball: radius 50.0 (body ''), mass 1, force 1750, jump 800, friction 350, max speed 800, rebound 0.1, "
		"gravity 2000; start at D_StartHere (100, 255, 0)",
		player.summary());
}

TEST(PlayerStart, RespawnSetsTheBallBelowTheCheckpointAndKeepsTheRest) {
	Level level;
	level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
	level.pieces.dummyAt("D_StartHere", 0, 100, 0);
	level.pieces.dummyAt("cp_low", 400, 300, 0);
	level.pieces.dummyAt("cp_high", -400, 2800, 0);
	lumaroll::BallPhysics& physics = level.buildParts().physics;
	physics.placeAtStart("body");
	const std::string summary = physics.summary();

	lumaroll::BallBody ball = physics.body();
	ball.velocity = Vector3(100, 0, 0);
	physics.setBody(ball);
	physics.respawnAt("cp_low", "other");
	EXPECT_EQ(Vector3(400, 55, 0).x, physics.body().position.x);
	EXPECT_NEAR(55.f, physics.body().position.y, 1e-3f);
	EXPECT_EQ(0.f, physics.body().velocity.length());
	EXPECT_EQ(summary, physics.summary());

	// 2800 above the floor: the probe from 300 above reaches 3000 down, not to the floor.
	physics.respawnAt("cp_high", "body");
	EXPECT_EQ(2800.f, physics.body().position.y);

	// An unknown name starts over.
	physics.respawnAt("nowhere", "body");
	EXPECT_NEAR(55.f, physics.body().position.y, 1e-3f);
	EXPECT_EQ(0.f, physics.body().position.x);
}

} // namespace
