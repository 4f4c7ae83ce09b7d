// Rides through a level session in play mode, in-process on the offscreen
// window, frames of 0.1 s of game time: loops that name themselves go round
// whether their drawing closes or leaves a gap, open rails that name
// themselves count only their own length, and no finite speed factor stops
// the ball, on a rail or off it.
#include "SetupTestHelpers.h"
#include "support/LevelFixtures.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using test::SceneWriter;

namespace {

constexpr float kPi = 3.14159265f;

class RailRideSessionTest : public setuptest::PlaySessionTest {
protected:

	// A level of one flat bed from (minX, minZ) to (maxX, maxZ), the rail
	// "L_ride" drawn as track whose fall trigger T_fell counts "falls", and
	// the start at (x, 100, z); extra adds pieces.
	static SceneWriter railLevel(const test::Segments& track, float minX, float minZ, float maxX, float maxZ, float x,
								 float z, const std::string& next,
								 const std::function<void(test::LevelFixtures&)>& extra = nullptr) {
		SceneWriter level;
		test::LevelFixtures pieces(level);
		pieces.mesh("bed", test::rectangleTriangles(minX, minZ, maxX, maxZ, 0.f));
		if (extra)
			extra(pieces);
		test::RailDrawing rail;
		rail.track = track;
		rail.properties = "tracknormalgravity=1\ndeathplane=T_fell" + (next.empty() ? "" : "\nnext=" + next);
		pieces.railNode("L_ride", rail);
		pieces.dummyAt("D_start", x, 100.f, z);
		level.dummy("T_fell");
		level.userProperty("T_fell", test::TriggerScript().a("add,falls,1").text());
		return level;
	}

	// Starts the level and puts the ball on "L_ride" where it stands; null
	// (with a failure) when the level has no ball.
	lumaroll::Player* startOnRail(const SceneWriter& level) {
		session = start(level);
		lumaroll::Player* player = session->level().player();
		if (!player) {
			ADD_FAILURE() << startErrors;
			return nullptr;
		}
		world().runCommand("attachtorail", {"1", "L_ride"});
		frame(*session, 100);
		EXPECT_TRUE(player->onRail()) << startOutput;
		return player;
	}

	lumaroll::SceneWorld& world() { return *session->level().world(); }

	// Runs frames of 0.1 s for the game time given.
	void run(float seconds) {
		for (int i = 0; i < int(seconds * 10.f + 0.5f); ++i)
			frame(*session, 100);
	}

	std::unique_ptr<lumaroll::LevelSession> session;
};

// A loop of radius 20000 in 256 segments naming itself: whether its drawing
// ends where it began or a few units or a few hundred short of it, the ball
// goes round again at the end and counts each lap. No wall holds the ball:
// the ride steers it but does not pull it back, and it runs a few thousand
// units wide of the loop by the end of the first lap.
TEST_F(RailRideSessionTest, ALoopThatNamesItselfGoesRoundWhateverTheGapInItsDrawing) {
	constexpr float kRadius = 20000.f;
	for (const float gap : {0.f, 3.f, 50.f, 300.f}) {
		SCOPED_TRACE("gap " + std::to_string(int(gap)));
		const SceneWriter level = railLevel(test::circleGapLoopSegments(0, 0, 0, kRadius, 256, gap), -30000, -30000,
											30000, 30000, kRadius, 0.f, "L_ride");
		lumaroll::Player* ball = startOnRail(level);
		ASSERT_NE(ball, nullptr);
		lumaroll::Player& player = *ball;
		float turned = 0.f;
		float angle = std::atan2(player.ballPosition().z, player.ballPosition().x);
		for (int i = 0; i < 600; ++i) {
			frame(*session, 100);
			const float now = std::atan2(player.ballPosition().z, player.ballPosition().x);
			turned += std::remainder(now - angle, 2.f * kPi);
			angle = now;
		}
		const float laps = turned / (2.f * kPi);
		EXPECT_GE(laps, 1.2f);
		EXPECT_TRUE(player.onRail());
		EXPECT_EQ(world().getVariable("falls"), 0.f) << "the fall trigger fired";
		const float length = 2.f * kPi * kRadius - gap;
		EXPECT_NEAR(player.distanceRidden(), laps * length, 0.01f * laps * length);
		session.reset();
	}
}

// A straight rail naming itself is ridden once: the ball runs on past its
// end and the distance ridden is the rail's length, however short the rail.
TEST_F(RailRideSessionTest, AnOpenRailThatNamesItselfCountsItsLengthOnce) {
	for (const float length : {2000.f, 300.f}) {
		SCOPED_TRACE("length " + std::to_string(int(length)));
		const SceneWriter level = railLevel(test::straightSegments({0, 0, 0}, {0, 0, length}, 4), -2000, -1000, 2000,
											40000, 0.f, 0.f, "L_ride");
		lumaroll::Player* ball = startOnRail(level);
		ASSERT_NE(ball, nullptr);
		lumaroll::Player& player = *ball;
		run(3.f);
		EXPECT_GT(player.ballPosition().z, length + 1000.f) << "the ball runs on past the end";
		EXPECT_GE(player.distanceRidden(), length - 1.f);
		EXPECT_LE(player.distanceRidden(), length + 500.f);
		session.reset();
	}
}

// "speedmul" on a straight rail 60000 long after 2 s of riding: every factor
// above 1 raises the speed to the cap and no further, so a huge one rides
// as far as 2 does; off the rail the ball's max speed caps it, and it rolls
// on as with the factor 1.
TEST_F(RailRideSessionTest, NoFiniteSpeedFactorStopsTheBall) {
	const auto rideAfter = [&](const char* factor, bool leave) {
		const SceneWriter level = railLevel(test::straightSegments({0, 0, 0}, {0, 0, 60000}, 60), -30000, -1000,
											30000, 61000, 0.f, 0.f, "");
		lumaroll::Player* player = startOnRail(level);
		if (!player)
			return 0.f;
		run(2.f);
		if (leave) {
			// Off the rail onto the bed, half a second before the factor.
			world().runCommand("attachtorail", {"0", "L_ride"});
			run(0.5f);
			EXPECT_FALSE(player->onRail());
		}
		const float from = player->ballPosition().z;
		world().runCommand("speedmul", {"1", factor});
		run(leave ? 2.f : 6.f);
		EXPECT_TRUE(player->body().velocity.isFinite()) << factor;
		const float ridden = player->ballPosition().z - from;
		session.reset();
		return ridden;
	};
	const float onRailByTwo = rideAfter("2", false);
	const float offRailByOne = rideAfter("1", true);
	EXPECT_GT(onRailByTwo, 6.f * 3000.f);
	EXPECT_GT(offRailByOne, 2.f * 3000.f);
	for (const char* factor : {"1e16", "1e30"}) {
		SCOPED_TRACE(factor);
		EXPECT_GE(rideAfter(factor, false), 0.98f * onRailByTwo) << "on the rail";
	}
	// The ride left the ball's max speed at 1.265 times the rail speed limit:
	// faster than the factor 1 leaves it, never slower.
	const float offRailHuge = rideAfter("1e30", true);
	EXPECT_GE(offRailHuge, 0.98f * offRailByOne) << "off the rail";
	EXPECT_LE(offRailHuge, 1.2f * offRailByOne) << "off the rail";
}

} // namespace
