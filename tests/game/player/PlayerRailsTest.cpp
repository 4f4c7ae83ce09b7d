// Rails built from "L_" drawings and ridden under the level's scripts: the
// rail speed, steering, hand-over, the distance ridden, falling off, and the
// world's requests that concern rails; through the player's step, and the
// rail rider and the ball's physics on their own where a case needs the ball
// set by hand.

#include "RailFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using math::Vector3;
using playertest::Level;
using playertest::Parts;
using playertest::RailLevel;
using playertest::SoundRecorder;
using playertest::kFrame;
using playertest::kPi;

namespace {

TEST(PlayerRails, TheLevelsDrawingsBecomeRailsAndAGuide) {
	RailLevel level;
	EXPECT_EQ(
		"camera guide L_guide1: track 4000, camera path 4000, look path 4000\n"
		"rails: 2 (total length 26000)\n",
		level.railsOutput);
	ASSERT_EQ(2, level.player->railCount());
	ASSERT_GE(level.rail("L_rail1"), 0);
	ASSERT_GE(level.rail("L_rail2"), 0);
	const lumaroll::RailSet read = level.rails();
	const lumaroll::Rail& rail1 = read.rails[size_t(level.rail("L_rail1"))];
	const lumaroll::Rail& rail2 = read.rails[size_t(level.rail("L_rail2"))];
	EXPECT_EQ("L_rail2", rail1.next);
	EXPECT_EQ("T_fall1", rail1.fallTrigger);
	EXPECT_EQ(1.f, rail1.forwardDirection);
	EXPECT_EQ(41u, rail1.path.points.size()) << "shuffled and partly backwards, still one line";
	EXPECT_NEAR(0.f, rail1.path.points.front().z, 1e-3f);
	EXPECT_EQ("", rail2.next);
	EXPECT_EQ(1, std::count(rail2.path.gaps.begin(), rail2.path.gaps.end(), true)) << "two pieces";
	EXPECT_NEAR(RailLevel::kLength1, rail2.path.points.front().z, 1e-3f);
	for (const Vector3& up : rail1.path.ups)
		EXPECT_NEAR(1.f, up.y, 1e-6f) << "the reversed normal drawing still aims straight up";
	ASSERT_EQ(1u, read.guides.size());
	EXPECT_EQ("L_guide1", read.guides[0].name);
}

struct SpeedCase {
	const char* name;
	const char* command;
	float speed;
};

TEST(PlayerRails, ARideReachesTheRailSpeed) {
	const SpeedCase cases[] = {{"the default limit 3000", nullptr, 3450.f}, {"maxspeed,1000", "1000", 1150.f}};
	for (const SpeedCase& c : cases) {
		RailLevel level;
		if (c.command)
			level.world->runCommand("maxspeed", {c.command});
		ASSERT_TRUE(level.untilOnRail()) << c.name;
		EXPECT_EQ(level.rail("L_rail1"), level.player->railIndex()) << c.name;
		level.ride(4.f);
		EXPECT_NEAR(c.speed, level.speed(), 20.f) << c.name;
		EXPECT_NEAR(1.1f * c.speed, level.player->body().values.maxSpeed, 1e-2f) << c.name;
		EXPECT_EQ(0.f, level.player->body().values.friction) << c.name;
	}
}

TEST(PlayerRails, AtTheEndTheBallIsHandedToTheNextRail) {
	RailLevel level;
	lumaroll::Player& player = *level.player;
	ASSERT_TRUE(level.untilOnRail());
	int frames = 0;
	while (player.railIndex() == level.rail("L_rail1") && frames < 600) {
		player.step(false, kFrame, 0.f, 0.f);
		++frames;
	}
	ASSERT_EQ(level.rail("L_rail2"), player.railIndex());
	EXPECT_GT(player.body().position.z, RailLevel::kLength1 - 100.f) << "only at the end";
	level.ride(1.f);
	// L_rail2 goes on along +z from where L_rail1 ends: the ball has ridden as
	// far as it has come (a frame behind at most).
	EXPECT_NEAR(player.body().position.z, player.distanceRidden(), 60.f);
	EXPECT_GT(player.body().position.z, RailLevel::kLength1 + 1000.f);

	// Once the level is complete the distance stands still.
	level.world->levelComplete = true;
	const float ridden = player.distanceRidden();
	level.ride(0.5f);
	EXPECT_EQ(ridden, player.distanceRidden());
}

struct SteerCase {
	const char* name;
	float controls;
	bool moves;
};

TEST(PlayerRails, SteeringMovesTheBallSidewaysUnlessControlsAreOff) {
	const SteerCase cases[] = {{"controls 1", 1.f, true}, {"controls 0", 0.f, false}};
	for (const SteerCase& c : cases) {
		RailLevel level;
		level.world->setVariable("controls", c.controls);
		ASSERT_TRUE(level.untilOnRail()) << c.name;
		level.ride(1.5f, 1.f);
		const float side = std::fabs(level.player->body().position.x);
		if (c.moves)
			EXPECT_GT(side, 100.f) << c.name;
		else
			EXPECT_LT(side, 1.f) << c.name;
	}
}

TEST(PlayerRails, FallingOffTheEndFiresTheFallTriggerOnce) {
	const float end = RailLevel::kLength1 + RailLevel::kLength2;
	RailLevel level([end](Level& l) { l.pieces.dummyAt("nearEnd", 0, 55, end - 1500.f); });
	lumaroll::Player& player = *level.player;
	level.moveBallTo("nearEnd");
	level.world->runCommand("attachtorail", {"1", "L_rail2"});
	int airborne = 0;
	while (level.world->getVariable("falls") == 0.f && airborne < 600) {
		player.step(false, kFrame, 0.f, 0.f);
		airborne = player.body().onGround ? 0 : airborne + 1;
	}
	ASSERT_EQ(1.f, level.world->getVariable("falls"));
	EXPECT_GT(airborne * kFrame, 0.7f);
	EXPECT_GT((player.body().position - Vector3(0, 0, end + 10.f)).length(), 1200.f);
	EXPECT_TRUE(player.onRail()) << "riding goes on; the scripts decide";
	level.ride(3.f);
	EXPECT_EQ(1.f, level.world->getVariable("falls")) << "once";
	EXPECT_LT(player.body().position.y, -2000.f) << "the death plane is ignored on a rail";

	// Moving the ball to a rail resets the fall: the next fall, off the end
	// of the same rail ridden from its start, fires again.
	level.moveBallTo("again_L_rail2");
	player.step(false, kFrame, 0.f, 0.f);
	ASSERT_EQ(level.rail("L_rail2"), player.railIndex());
	level.ride(9.f);
	EXPECT_GT(player.body().position.z, end);
	EXPECT_EQ(2.f, level.world->getVariable("falls"));
}

TEST(PlayerRails, LeavingARailAndRespawningOnOne) {
	RailLevel level;
	lumaroll::Player& player = *level.player;
	ASSERT_TRUE(level.untilOnRail());
	level.ride(1.f);
	// A respawn keeps the ride.
	level.world->runCommand("levelfailed", {});
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_NEAR(0.f, player.body().position.z, 1.f);
	EXPECT_EQ(level.rail("L_rail1"), player.railIndex());

	level.world->runCommand("attachtorail", {"0", "L_rail2"});
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_EQ(level.rail("L_rail1"), player.railIndex()) << "only the rail ridden is left";
	level.world->runCommand("attachtorail", {"0", "L_rail1"});
	level.pausedFrame();
	EXPECT_FALSE(player.onRail());
	// The ride's ball values stay until the scripts read them back.
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_EQ(0.f, player.body().values.friction);
	level.world->setVariable("ballfriction", 350.f);
	level.world->runCommand("updateballvalues", {});
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_EQ(350.f, player.body().values.friction);
}

// The parts of the rail level, the rider with its rails riding L_rail1 from z 100.
Parts& railParts(Level& level, const std::function<void(Level&)>& extra = nullptr) {
	RailLevel::draw(level);
	if (extra)
		extra(level);
	Parts& parts = level.buildParts();
	parts.rider.setRails(level.rails().rails);
	parts.rider.attach("L_rail1", Vector3(0, 55, 100));
	return parts;
}

TEST(PlayerRails, LeavingTheRailRiddenStraightensTheBall) {
	Level level;
	Parts& parts = railParts(level);
	lumaroll::BallBody ball;
	ball.up = Vector3(0.3f, 0.9f, 0.f);
	parts.rider.leave("L_rail2", ball);
	EXPECT_EQ(level.rail("L_rail1"), parts.rider.index()) << "only the rail ridden is left";
	EXPECT_EQ(0.3f, ball.up.x);
	parts.rider.leave("L_rail1", ball);
	EXPECT_FALSE(parts.rider.onRail());
	EXPECT_EQ(1.f, ball.up.y);
	EXPECT_EQ(0.f, ball.up.x);
	EXPECT_EQ(0.f, ball.up.z);
}

struct SpeedMulCase {
	const char* name;
	float limit; // 0: the default
	float factor;
	float speed;
};

TEST(PlayerRails, SpeedMultipliersAboveOneAreCappedOnARail) {
	const SpeedMulCase cases[] = {
		{"x2 capped at 1.15 x 3000", 0.f, 2.f, 3450.f},
		{"x2 capped at 1.15 x 2000", 2000.f, 2.f, 2300.f},
		{"x1.1 under the cap", 0.f, 1.1f, 3300.f},
		{"x0.5 never capped", 1000.f, 0.5f, 1500.f},
		// Speeds whose length in float is infinite are capped all the same.
		{"x1e16 capped at 1.15 x 3000", 0.f, 1e16f, 3450.f},
		{"x1e30 capped at 1.15 x 3000", 0.f, 1e30f, 3450.f},
	};
	for (const SpeedMulCase& c : cases) {
		Level level;
		Parts& parts = railParts(level);
		ASSERT_TRUE(parts.rider.onRail()) << c.name;
		lumaroll::BallBody ball;
		ball.velocity = Vector3(0, 0, 3000);
		if (c.limit > 0.f)
			parts.rider.setSpeedLimit(c.limit);
		parts.rider.multiplySpeed(ball, c.factor);
		EXPECT_NEAR(c.speed, ball.velocity.length(), 0.5f) << c.name;
	}
}

struct MoveCase {
	const char* name;
	const char* target;
	const char* rail;
	bool stays;
	Vector3 position;
};

TEST(PlayerRails, MovingTheBallToARailOrANode) {
	const MoveCase cases[] = {
		{"foo_L_rail2 names L_rail2", "foo_L_rail2", "L_rail2", false, Vector3(0, 75, RailLevel::kLength1)},
		{"a node of that name wins", "cp1", "", false, Vector3(1000, 100, -500)},
		{"no such rail", "foo_L_nope", "", true, Vector3()},
	};
	for (const MoveCase& c : cases) {
		RailLevel level([](Level& l) { l.pieces.dummyAt("aside", 300, 55, 300); });
		lumaroll::Player& player = *level.player;
		// Rolling away from the rails' start, off the volume that attaches.
		level.moveBallTo("aside");
		level.run(5, kFrame, 1.f, 0.f);
		ASSERT_GT(player.body().velocity.length(), 10.f) << c.name;
		const Vector3 before = player.body().position;
		level.moveBallTo(c.target);
		level.pausedFrame();
		EXPECT_EQ(level.rail(c.rail), player.railIndex()) << c.name;
		EXPECT_NEAR(0.f, ((c.stays ? before : c.position) - player.body().position).length(), 1e-2f) << c.name;
		EXPECT_EQ(0.f, player.body().velocity.length()) << c.name;
	}
}

TEST(PlayerRails, ChoosingACameraGuideSaysSo) {
	RailLevel level;
	testing::internal::CaptureStdout();
	level.world->runCommand("setguidingobject", {"L_guide1"});
	level.pausedFrame();
	level.world->runCommand("setguidingobject", {"nope"});
	level.pausedFrame();
	EXPECT_EQ("camera guide: L_guide1 active\ncamera guide: off (nope)\n", testing::internal::GetCapturedStdout());
}

void wallBesideTheTrack(Level& level) {
	level.pieces.mesh("wall01", test::wallTriangles(60.f, 2000.f, 400.f));
}

// One frame of the ball's motion on L_rail1 at z 100, 5 from the wall at x
// 60 beside the track, moving along it at along with into towards it, with
// the values the ride gives it (no friction, room above the rail speed).
void hitTheWall(Parts& parts, float along, float into) {
	lumaroll::BallBody ball = parts.physics.body();
	ball.position = Vector3(5, 50.01f, 100);
	ball.velocity = Vector3(into, 0, along);
	ball.onGround = true;
	ball.values.friction = 0.f;
	ball.values.maxSpeed = 1.1f * 1.15f * 3000.f;
	parts.physics.setBody(ball);
	parts.physics.integrate(lumaroll::BallControl(), kFrame);
}

struct BrakeCase {
	const char* name;
	float along;
	float after;
};

TEST(PlayerRails, HittingAWallOnARailBrakes) {
	const BrakeCase cases[] = {
		{"fast: 15 % is left", 3000.f, 450.f},
		{"slower: 300 is left", 1000.f, 300.f},
		{"at 400 or less nothing changes", 400.f, 400.f},
	};
	for (const BrakeCase& c : cases) {
		Level level;
		Parts& parts = railParts(level, wallBesideTheTrack);
		hitTheWall(parts, c.along, 1500.f);
		ASSERT_GT(parts.physics.body().impactSpeed, 250.f) << c.name;
		parts.rider.brakeOnImpact(parts.physics.body(), Vector3(0, 0, 1));
		EXPECT_NEAR(c.after, parts.physics.body().velocity.z, 0.5f) << c.name;
	}
}

TEST(PlayerRails, ImpactSoundsOnARailNeedAHarderHitAndRestLonger) {
	Level level;
	Parts& parts = railParts(level, wallBesideTheTrack);
	SoundRecorder sounds;
	// Frames of the ball rolling away from the wall after a hit.
	const auto rest = [&](int frames) {
		for (int i = 0; i < frames; ++i) {
			parts.physics.integrate(lumaroll::BallControl(), kFrame);
			parts.physics.playSounds(kFrame, true, sounds.callback());
		}
	};

	hitTheWall(parts, 1000.f, 700.f);
	parts.physics.playSounds(kFrame, true, sounds.callback());
	ASSERT_GT(parts.physics.body().impactSpeed, 350.f);
	EXPECT_EQ(0, sounds.count("plimbo_collision.wav")) << "above 350 is heard only off a rail";

	rest(40);
	hitTheWall(parts, 1000.f, 1600.f);
	parts.physics.playSounds(kFrame, true, sounds.callback());
	ASSERT_GT(parts.physics.body().impactSpeed, 1200.f);
	ASSERT_EQ(1u, sounds.sounds.size());
	EXPECT_NEAR(parts.physics.body().impactSpeed / 4000.f, sounds.sounds[0].second, 1e-6f);

	rest(20); // a third of a second: still resting
	hitTheWall(parts, 1000.f, 1600.f);
	parts.physics.playSounds(kFrame, true, sounds.callback());
	EXPECT_EQ(1u, sounds.sounds.size());
	rest(20);
	hitTheWall(parts, 1000.f, 1600.f);
	parts.physics.playSounds(kFrame, true, sounds.callback());
	EXPECT_EQ(2u, sounds.sounds.size());
}

TEST(PlayerRails, TheStepBrakesARideThatHitsAWallAndPlaysTheRailsSound) {
	// Steered away from the wall beside the track and then hard into it.
	RailLevel level(wallBesideTheTrack);
	lumaroll::Player& player = *level.player;
	SoundRecorder sounds;
	sounds.attach(player);
	ASSERT_TRUE(level.untilOnRail());
	level.ride(0.1f, -1.f);
	float impact = 0.f, along = 0.f;
	for (int i = 0; i < 60 && impact <= 250.f; ++i) {
		along = player.body().velocity.z;
		player.step(false, kFrame, 0.f, 1.f);
		impact = player.body().impactSpeed;
	}
	ASSERT_GT(impact, 350.f) << "hard enough to be heard off a rail";
	ASSERT_LT(impact, 1200.f);
	ASSERT_GT(along, 1000.f);
	EXPECT_LT(player.body().velocity.z, 0.2f * along) << "braked";
	EXPECT_EQ(0, sounds.count("plimbo_collision.wav")) << "not hard enough on a rail";
}

TEST(PlayerRails, ARailRiddenBackwardsEndsAtItsStart) {
	// L_back is ridden from z 6000 towards 0, then hands over to L_after,
	// also ridden backwards, from its length on (z 0 towards -8000).
	Level level;
	level.pieces.mesh("bed", test::rectangleTriangles(-1500, -9000, 1500, 7000, 0.f));
	test::RailDrawing back;
	back.track = test::shuffledSegments(test::straightSegments({0, 0, 0}, {0, 0, 6000}, 30));
	back.properties = "tracknormalgravity=1\nforwarddirection=-1\nnext=L_after";
	level.pieces.railNode("L_back", back);
	test::RailDrawing after;
	after.track = test::straightSegments({0, 0, -8000}, {0, 0, 0}, 30);
	after.properties = "tracknormalgravity=1\nforwarddirection=-1";
	level.pieces.railNode("L_after", after);
	level.pieces.dummyAt("nearTheEnd", 0, 55, 5900);
	lumaroll::Player& player = level.build();
	testing::internal::CaptureStdout();
	player.buildRails();
	testing::internal::GetCapturedStdout();
	const int backIndex = level.rail("L_back"), afterIndex = level.rail("L_after");
	ASSERT_EQ(-1.f, level.rails().rails[size_t(backIndex)].forwardDirection);

	level.moveBallTo("nearTheEnd");
	level.world->runCommand("attachtorail", {"1", "L_back"});
	player.step(false, kFrame, 0.f, 0.f);
	ASSERT_EQ(backIndex, player.railIndex());
	while (player.railIndex() == backIndex && player.body().position.z > -1000.f) {
		const float z = player.body().position.z;
		player.step(false, kFrame, 0.f, 0.f);
		ASSERT_LT(player.body().position.z, z + 1e-3f) << "it runs towards the drawing's start";
		if (player.railIndex() == backIndex) {
			EXPECT_NEAR(5900.f - player.body().position.z, player.distanceRidden(), 80.f) << "one frame behind at most";
		}
	}
	ASSERT_EQ(afterIndex, player.railIndex());
	EXPECT_LT(player.body().position.z, 100.f) << "handed over only near distance 0";
	level.run(60);
	// L_back's 5900 and L_after's from its far end (z 0) on.
	EXPECT_NEAR(5900.f - player.body().position.z, player.distanceRidden(), 60.f);
	EXPECT_LT(player.body().position.z, -1000.f);

	// Moved onto a backwards rail, the ball starts at its far end.
	level.moveBallTo("x_L_back");
	level.pausedFrame();
	EXPECT_EQ(backIndex, player.railIndex());
	EXPECT_NEAR(6000.f, player.body().position.z, 1e-2f);
}

struct LoopCase {
	const char* name;
	bool clockwise;
	bool normalReversed;
};

TEST(PlayerRails, AClosedLoopIsRiddenRoundUpright) {
	// A loop round a circle of radius 4000 handing over to itself, its
	// orientation line 1000 above it; a wall just outside the track keeps
	// the ball, which the ride only steers, from running wide.
	const LoopCase cases[] = {
		{"drawn anticlockwise", false, false},
		{"drawn clockwise", true, false},
		{"its orientation line drawn the other way round", false, true},
	};
	for (const LoopCase& c : cases) {
		Level level;
		level.pieces.mesh("bed", test::rectangleTriangles(-6000, -6000, 6000, 6000, 0.f));
		level.pieces.mesh("wall", test::ringWallTriangles(0, 0, 4150, 300, 64));
		test::RailDrawing loop;
		loop.track = test::circleLoopSegments(0, 0, 0, 4000, 64, c.clockwise);
		const test::Segments high = test::circleLoopSegments(0, 1000, 0, 4000, 64, c.clockwise);
		loop.trackNormal = c.normalReversed ? test::reversedSegments(high) : high;
		loop.properties = "tracknormalgravity=1\nnext=L_loop";
		level.pieces.railNode("L_loop", loop);
		level.pieces.dummyAt("onTheLoop", 4000, 55, 0);
		lumaroll::Player& player = level.build();
		testing::internal::CaptureStdout();
		player.buildRails();
		EXPECT_EQ("rails: 1 (total length 25123)\n", testing::internal::GetCapturedStdout()) << c.name;
		ASSERT_EQ(1, player.railCount()) << c.name;
		const lumaroll::RailSet read = level.rails();
		const lumaroll::RailPath& path = read.rails[0].path;
		int tilted = 0;
		for (const Vector3& up : path.ups)
			tilted += up.y < 1.f - 1e-6f ? 1 : 0;
		EXPECT_EQ(0, tilted) << c.name << ": ups not straight up";

		level.moveBallTo("onTheLoop");
		level.world->runCommand("attachtorail", {"1", "L_loop"});
		float lowestUp = 1.f, farthest = 0.f, highest = 0.f;
		int frames = 0;
		while (player.distanceRidden() < 1.25f * path.length() && frames < 60 * 40) {
			player.step(false, kFrame, 0.f, 0.f);
			++frames;
			lowestUp = std::min(lowestUp, player.body().up.y / player.body().up.length());
			farthest = std::max(farthest, path.closestPoint(player.body().position).offset);
			highest = std::max(highest, player.body().position.y);
		}
		EXPECT_GE(player.distanceRidden(), 1.25f * path.length()) << c.name << ": round in " << frames << " frames";
		EXPECT_EQ(0, player.railIndex()) << c.name;
		EXPECT_GT(lowestUp, 0.9999f) << c.name;
		EXPECT_LT(highest, 60.f) << c.name << ": never off the ground";
		EXPECT_LT(farthest, 200.f) << c.name << ": on the track";
	}
}

struct HandOverCase {
	const char* name;
	const char* rail;
	float z;
	const char* after; // the rail ridden after one frame
	float along;	   // and the distance along it, when handed over
};

TEST(PlayerRails, TheHandOverComesOneUnitBeforeTheEnd) {
	// Tracks of 2048 in segments of 1024, so that distances along them are
	// exact: L_ahead from z 0 to 2048, L_behind ridden backwards from 2048 to
	// 0, both followed by L_next; L_turn as L_ahead, followed by L_back ridden
	// backwards from its length (z 2048) on.
	const HandOverCase cases[] = {
		{"1.01 before the end", "L_ahead", 2048.f - 1.01f, "L_ahead", 0.f},
		{"1 before the end", "L_ahead", 2047.f, "L_next", 0.f},
		{"backwards, 1.01 before the end", "L_behind", 1.01f, "L_behind", 0.f},
		{"backwards, 1 before the end", "L_behind", 1.f, "L_next", 0.f},
		{"onto a rail ridden backwards", "L_turn", 2047.f, "L_back", 2048.f},
	};
	for (const HandOverCase& c : cases) {
		Level level;
		level.pieces.mesh("bed", test::rectangleTriangles(-1000, -3000, 1000, 5000, 0.f));
		test::RailDrawing ahead;
		ahead.track = test::straightSegments({0, 0, 0}, {0, 0, 2048}, 2);
		ahead.properties = "tracknormalgravity=1\nnext=L_next";
		level.pieces.railNode("L_ahead", ahead);
		test::RailDrawing behind = ahead;
		behind.properties = "tracknormalgravity=1\nforwarddirection=-1\nnext=L_next";
		level.pieces.railNode("L_behind", behind);
		test::RailDrawing turn = ahead;
		turn.properties = "tracknormalgravity=1\nnext=L_back";
		level.pieces.railNode("L_turn", turn);
		test::RailDrawing next;
		next.track = test::straightSegments({0, 0, 2048}, {0, 0, 4096}, 2);
		next.properties = "tracknormalgravity=1";
		level.pieces.railNode("L_next", next);
		test::RailDrawing back;
		back.track = test::straightSegments({0, 0, 4096}, {0, 0, 2048}, 2);
		back.properties = "tracknormalgravity=1\nforwarddirection=-1";
		level.pieces.railNode("L_back", back);
		Parts& parts = level.buildParts();
		parts.rider.setRails(level.rails().rails);
		lumaroll::BallBody ball;
		ball.position = Vector3(0, 50, c.z);
		parts.rider.attach(c.rail, ball.position);
		ASSERT_EQ(level.rail(c.rail), parts.rider.index()) << c.name;
		Vector3 forward;
		lumaroll::BallControl control;
		parts.rider.ride(ball, forward, control, 0.f, kFrame);
		EXPECT_EQ(level.rail(c.after), parts.rider.index()) << c.name;
		if (std::string(c.after) != c.rail) {
			EXPECT_NEAR(c.along, parts.rider.distanceAlong(), 1e-3f) << c.name;
		}
	}
}

struct SelfNamedCase {
	const char* name;
	bool loop;
	bool backwards;
};

TEST(PlayerRails, ARailThatNamesItselfCountsOnlyTheWayRidden) {
	// An open track 2000 long, and a loop of radius 400 (2513 long, so that
	// the ride's window, 600 behind to 3000 ahead, reaches across its joint)
	// with a wall round it; each names itself as its next.
	const SelfNamedCase cases[] = {
		{"open", false, false},
		{"open, ridden backwards", false, true},
		{"loop", true, false},
		{"loop, ridden backwards", true, true},
	};
	for (const SelfNamedCase& c : cases) {
		Level level;
		level.pieces.mesh("bed", test::rectangleTriangles(-12000, -12000, 12000, 12000, 0.f));
		test::RailDrawing self;
		if (c.loop) {
			level.pieces.mesh("wall", test::ringWallTriangles(0, 0, 550, 300, 64));
			self.track = test::circleLoopSegments(0, 0, 0, 400, 64);
			self.trackNormal = test::circleLoopSegments(0, 1000, 0, 400, 64);
		} else {
			self.track = test::straightSegments({0, 0, 0}, {0, 0, 2000}, 4);
		}
		self.properties =
			std::string("tracknormalgravity=1\nnext=L_self") + (c.backwards ? "\nforwarddirection=-1" : "");
		level.pieces.railNode("L_self", self);
		const Vector3 start = c.loop ? Vector3(400, 55, 0) : Vector3(0, 55, c.backwards ? 2000.f : 0.f);
		level.pieces.dummyAt("start", start.x, start.y, start.z);
		lumaroll::Player& player = level.build();
		testing::internal::CaptureStdout();
		player.buildRails();
		testing::internal::GetCapturedStdout();
		ASSERT_EQ(1, player.railCount()) << c.name;
		const float length = level.rails().rails[0].path.length();
		level.moveBallTo("start");
		// Slow enough round the loop that the wall need not hold the ball.
		if (c.loop)
			level.world->runCommand("maxspeed", {"1000"});
		level.world->runCommand("attachtorail", {"1", "L_self"});

		// The way the ball went: round the loop's centre, or along the track.
		float turned = 0.f;
		float angle = std::atan2(start.z, start.x);
		float along = 0.f;
		for (int frame = 0; frame < 10 * 60; ++frame) {
			player.step(false, kFrame, 0.f, 0.f);
			const Vector3& p = player.body().position;
			const float now = std::atan2(p.z, p.x);
			turned += std::remainder(now - angle, 2.f * kPi);
			angle = now;
			const float z = std::min(std::max(p.z, 0.f), 2000.f);
			along = std::max(along, c.backwards ? 2000.f - z : z);
		}
		const float ridden = player.distanceRidden();
		if (c.loop) {
			const float travelled = std::fabs(turned) / (2.f * kPi) * length;
			EXPECT_GT(travelled, 2.f * length) << c.name << ": at least two laps";
			EXPECT_NEAR(travelled, ridden, 0.02f * travelled) << c.name;
		} else {
			EXPECT_GE(along, 2000.f) << c.name << ": past the end";
			EXPECT_NEAR(2000.f, ridden, 1.f) << c.name;
		}
	}
}

struct RequestCase {
	const char* keyword;
	const char* value;
	bool taken;
};

TEST(PlayerRails, RequestsKeepTheBallsNumbersFiniteAndInRange) {
	// "maxspeed" takes 0 to 790000, "speedmul" every finite factor; what is
	// refused keeps the value before, with a line.
	const RequestCase cases[] = {
		{"maxspeed", "nan", false}, {"maxspeed", "inf", false},	  {"maxspeed", "-inf", false},
		{"maxspeed", "-5", false},	{"maxspeed", "0", true},	  {"maxspeed", "1e30", false},
		{"maxspeed", "1000", true}, {"maxspeed", "790000", true}, {"maxspeed", "790001", false},
		{"speedmul", "nan", false}, {"speedmul", "inf", false},	  {"speedmul", "-inf", false},
		{"speedmul", "-5", true},	{"speedmul", "0", true},	  {"speedmul", "1e30", true},
		{"speedmul", "2", true},
	};
	for (const RequestCase& c : cases) {
		const std::string name = std::string(c.keyword) + "," + c.value;
		RailLevel level;
		lumaroll::Player& player = *level.player;
		ASSERT_TRUE(level.untilOnRail()) << name;
		level.ride(0.5f);
		testing::internal::CaptureStderr();
		if (std::string(c.keyword) == "maxspeed")
			level.world->runCommand("maxspeed", {c.value});
		else
			level.world->runCommand("speedmul", {"1", c.value});
		level.ride(1.f);
		const std::string err = testing::internal::GetCapturedStderr();
		const float value = std::strtof(c.value, nullptr);
		char line[128] = "";
		if (!c.taken)
			std::snprintf(line, sizeof line, "ball: %s '%g' from %s ignored\n",
						  std::string(c.keyword) == "maxspeed" ? "rail speed limit" : "speed factor", double(value),
						  c.keyword);
		EXPECT_EQ(line, err) << name;
		const float limit = std::string(c.keyword) == "maxspeed" && c.taken ? value : 3000.f;
		EXPECT_NEAR(1.1f * 1.15f * limit, player.body().values.maxSpeed, 1e-6f * limit + 1e-3f) << name;
		EXPECT_TRUE(player.onRail()) << name;
		EXPECT_TRUE(player.body().position.isFinite()) << name;
		EXPECT_TRUE(player.body().velocity.isFinite()) << name;
		EXPECT_TRUE(std::isfinite(level.speed())) << name << ": speed01";

		// Off the rail and put down at the checkpoint beside it, the ball
		// lands there and stays, rather than being lost at once.
		level.world->runCommand("attachtorail", {"0", level.rails().rails[size_t(player.railIndex())].name});
		level.world->runCommand("setobjectpos", {"G_ballforms", "cp1"});
		level.ride(1.f);
		EXPECT_FALSE(player.onRail()) << name;
		EXPECT_TRUE(player.body().onGround) << name;
		EXPECT_NEAR(1000.f, player.body().position.x, 300.f) << name;
		EXPECT_NEAR(-500.f, player.body().position.z, 300.f) << name;
	}
}

TEST(PlayerRails, RailPointsThatAreNotNumbersAreDroppedWithALine) {
	const float nan = std::nanf("");
	Level level;
	level.pieces.mesh("bed", test::rectangleTriangles(-1000, -1000, 1000, 5000, 0.f));
	test::RailDrawing rail;
	rail.track = test::joinedSegments(test::straightSegments({0, 0, 0}, {0, 0, 3000}, 3),
									  {{{0, 0, 3000}, {0, nan, 4000}}, {{0, 0, 3000}, {nan, 0, 0}}});
	rail.trackNormal = {{{0, 1000, 0}, {0, 1000, 3000}}, {{0, 1000, 3000}, {0, 1000, nan}}};
	rail.properties = "tracknormalgravity=1";
	level.pieces.railNode("L_nan", rail);
	level.pieces.dummyAt("onTheTrack", 0, 55, 0);
	lumaroll::Player& player = level.build();
	testing::internal::CaptureStdout();
	testing::internal::CaptureStderr();
	player.buildRails();
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_EQ("rails: 1 (total length 3000)\n", testing::internal::GetCapturedStdout());
	EXPECT_EQ(
		"rails: L_nan track: 2 segments with a point that is not a finite number dropped\n"
		"rails: L_nan tracknormal: 1 segment with a point that is not a finite number dropped\n",
		err);
	ASSERT_EQ(1, player.railCount());
	EXPECT_EQ(4u, level.rails().rails[0].path.points.size());
	level.moveBallTo("onTheTrack");
	level.world->runCommand("attachtorail", {"1", "L_nan"});
	level.run(60);
	EXPECT_TRUE(std::isfinite(player.distanceRidden()));
	EXPECT_GT(player.distanceRidden(), 1000.f);
	EXPECT_TRUE(player.body().position.isFinite());
}

TEST(PlayerRails, BuildingAgainLeavesTheRide) {
	RailLevel level;
	ASSERT_TRUE(level.untilOnRail());
	testing::internal::CaptureStdout();
	level.player->buildRails();
	testing::internal::GetCapturedStdout();
	EXPECT_FALSE(level.player->onRail());
	level.ride(0.5f);
	EXPECT_TRUE(level.player->body().position.isFinite());
}

TEST(PlayerRails, BadDrawingsBreakNothing) {
	const float nan = std::nanf("");
	RailLevel level([nan](Level& l) {
		test::RailDrawing dot; // one segment of no length
		dot.track = {{{200, 0, 100}, {200, 0, 100}}};
		dot.properties = "tracknormalgravity=1\nnext=L_dot";
		l.pieces.railNode("L_dot", dot);
		test::RailDrawing odd; // an orientation point that is not a number
		odd.track = test::straightSegments({-200, 0, 0}, {-200, 0, 3000}, 3);
		odd.trackNormal = {{{-200, nan, 0}, {-200, 3000, 3000}}};
		odd.properties = "tracknormalgravity=1";
		l.pieces.railNode("L_odd", odd);
		test::RailDrawing empty; // a guide whose paths hold no segments
		empty.track = test::straightSegments({0, 0, 0}, {0, 0, 100}, 1);
		l.pieces.railNode("L_empty", empty);
		l.pieces.lines("cameraposition", {}, "L_empty");
		l.pieces.lines("cameralookat", {}, "L_empty");
	});
	lumaroll::Player& player = *level.player;
	EXPECT_EQ(1u, level.rails().guides.size()) << "the guide without paths is none";
	for (const char* rail : {"L_dot", "L_odd"}) {
		level.world->runCommand("attachtorail", {"1", rail});
		level.world->runCommand("setguidingobject", {"L_empty"});
		testing::internal::CaptureStdout();
		level.ride(1.f, 0.5f);
		testing::internal::GetCapturedStdout();
		EXPECT_TRUE(player.body().position.isFinite()) << rail;
		EXPECT_TRUE(player.body().velocity.isFinite()) << rail;
	}
}

} // namespace
