// The ball and the level logic: trigger volumes and touched meshes starting
// scripts, the world's requests, flags and ball values, and the trace lines.

#include "PlayerFixture.h"

#include "support/ProcessRunner.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

using math::Vector3;
using playertest::Level;
using test::TriggerScript;
using playertest::kFrame;

namespace {

// A floor with the box volume T_box (200 wide at the origin) counting its
// entries in "count", the mesh "button" pressing T_btn, and checkpoint cp1;
// the dummies "inTheBox", "beside" (the start), "onTheButton" and "away" at
// the height of a ball resting on the floor.
struct TriggerLevel : Level {
	explicit TriggerLevel(const std::string& boxScript = TriggerScript().a("add,count,1")) {
		pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
		pieces.mesh("button", test::floorTriangles(100.f, 0.f, 1500.f, 0.f),
					"collisionmesh=this\nexecutetrigger=T_btn");
		pieces.boxVolume("T_box", {100, 0, -100}, {-100, 200, 100}, boxScript);
		writer.dummy("T_btn");
		writer.userProperty("T_btn", TriggerScript().a("add,presses,1"));
		pieces.dummyAt("D_start", -500, 100, 0);
		pieces.dummyAt("cp1", 800, 400, 800);
		pieces.dummyAt("inTheBox", 0, 50.01f, 0);
		pieces.dummyAt("beside", -500, 50.01f, 0);
		pieces.dummyAt("onTheButton", 1500, 50.01f, 0);
		pieces.dummyAt("away", 1000, 50.01f, -1000);
		build();
		player->placeAtStart();
		run(20);
	}

	float variable(const std::string& name) { return world->getVariable(name); }

	// Rolls the ball along +x with the stick until it passes x.
	void rollTo(float x) {
		player->setMoveInput(true, false, false, 1.f, 0.f);
		for (int i = 0; i < 600 && player->body().position.x < x; ++i)
			player->step(false, kFrame, 0.f, 0.f);
		player->setMoveInput(true, false, false, 0.f, 0.f);
	}

	// Puts the ball at rest at the named dummy and runs a frame.
	void putAt(const std::string& name) {
		moveBallTo(name);
		player->step(false, kFrame, 0.f, 0.f);
	}
};

TEST(PlayerTriggers, ABoxVolumeFiresOnEntryOnly) {
	TriggerLevel level;
	level.rollTo(500.f);
	EXPECT_EQ(1.f, level.variable("count")) << "rolled through once";

	level.putAt("inTheBox");
	EXPECT_EQ(2.f, level.variable("count"));
	level.run(60);
	EXPECT_EQ(2.f, level.variable("count")) << "resting inside fires nothing more";

	level.putAt("beside");
	level.putAt("inTheBox");
	EXPECT_EQ(3.f, level.variable("count")) << "leaving and entering again";
}

TEST(PlayerTriggers, AVolumeEnteredWhileDisarmedFiresOnlyOnTheNextEntry) {
	TriggerLevel level(TriggerScript().state(0).a("add,count,1"));
	level.putAt("inTheBox");
	level.world->setTriggerEnabled("T_box", true);
	level.run(10);
	EXPECT_EQ(0.f, level.variable("count"));
	level.putAt("beside");
	level.putAt("inTheBox");
	EXPECT_EQ(1.f, level.variable("count"));
}

TEST(PlayerTriggers, ATouchedMeshFiresEveryStepWhileArmed) {
	TriggerLevel level;
	level.putAt("onTheButton");
	level.run(9);
	EXPECT_EQ(10.f, level.variable("presses"));
}

TEST(PlayerTriggers, TouchableSpheresFireOnEntry) {
	Level level;
	level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
	level.writer.dummy("O_coin").position(400, 50, 0);
	level.writer.userProperty("O_coin", TriggerScript().a("add,coins,1"));
	level.pieces.dummyAt("D_start", 0, 100, 0);
	level.pieces.dummyAt("near", 320, 50.01f, 0); // 80 away: within 60 + 50
	lumaroll::Player& player = level.build();
	player.addTouchable("O_coin", level.world->findNode("O_coin"), 60.f);
	player.placeAtStart();
	level.run(5);
	EXPECT_EQ(0.f, level.world->getVariable("coins"));
	level.moveBallTo("near");
	level.run(5);
	EXPECT_EQ(1.f, level.world->getVariable("coins"));
}

TEST(PlayerTriggers, AnUnlinkedPickupNeverFiresAgain) {
	TriggerLevel level(TriggerScript().a("add,count,1").a("unlink,this"));
	level.putAt("inTheBox");
	EXPECT_EQ(1.f, level.variable("count"));
	level.putAt("beside");
	level.putAt("inTheBox");
	EXPECT_EQ(1.f, level.variable("count"));
}

TEST(PlayerTriggers, TraceLinesNameTheVolumeAndTheTouchedMesh) {
	test::ProcessOptions options;
	options.args = {"--gtest_filter=PlayerTriggers.ChildEntersAndTouches"};
	options.env = {{"LUMAROLL_TRACE", "1"}, {"LUMAROLL_PLAYER_TRACE_CHILD", "1"}};
	const test::ProcessResult child = test::runProcess(playertest::selfPath(), options);
	ASSERT_EQ(0, child.exitCode) << child.out << child.err;
	EXPECT_NE(std::string::npos, child.out.find("[trace] ball enters T_box\n")) << child.out;
	EXPECT_NE(std::string::npos, child.out.find("[trace] ball touches button -> T_btn\n")) << child.out;
}

// Run only as the child of the test above, with LUMAROLL_TRACE set.
TEST(PlayerTriggers, ChildEntersAndTouches) {
	if (!std::getenv("LUMAROLL_PLAYER_TRACE_CHILD"))
		GTEST_SKIP() << "run by TraceLinesNameTheVolumeAndTheTouchedMesh";
	TriggerLevel level;
	level.putAt("inTheBox");
	level.putAt("onTheButton");
	std::fflush(stdout);
}

TEST(PlayerRequests, LevelFailedRespawnsAtTheCheckpointOrTheStart) {
	TriggerLevel level;
	lumaroll::Player& player = level.player.operator*();
	level.putAt("away");
	level.world->runCommand("levelfailed", {});
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_NEAR(-500.f, player.body().position.x, 1e-3f) << "no checkpoint: the start";

	level.world->runCommand("checkpoint", {"cp1"});
	level.putAt("away");
	level.run(10, kFrame, 1.f, 0.f);
	ASSERT_GT(player.body().velocity.length(), 100.f);
	level.world->runCommand("levelfailed", {});
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_NEAR(800.f, player.body().position.x, 1e-3f);
	EXPECT_NEAR(800.f, player.body().position.z, 1e-3f);
	EXPECT_NEAR(55.f, player.body().position.y, 1e-3f) << "ground + 55";
	EXPECT_EQ(0.f, player.body().velocity.length());
}

TEST(PlayerRequests, SpeedAndPositionRequestsAndAnEmptyQueue) {
	TriggerLevel level;
	lumaroll::Player& player = level.player.operator*();
	level.run(10, kFrame, 1.f, 0.5f);
	const Vector3 velocity = player.body().velocity;
	ASSERT_GT(std::fabs(velocity.x), 1.f);
	ASSERT_GT(std::fabs(velocity.z), 1.f);
	level.world->runCommand("speedmul", {"x", "2"});
	level.world->runCommand("speedmul", {"x", "nan"});
	level.pausedFrame();
	EXPECT_EQ(2.f * velocity.x, player.body().velocity.x);
	EXPECT_EQ(2.f * velocity.z, player.body().velocity.z);

	level.moveBallTo("cp1");
	level.pausedFrame();
	EXPECT_EQ(Vector3(800, 400, 800).x, player.body().position.x);
	EXPECT_EQ(400.f, player.body().position.y);
	EXPECT_EQ(0.f, player.body().velocity.length());

	level.world->runCommand("speedmul", {"x", "3"});
	player.step(false, kFrame, 0.f, 0.f);
	std::vector<lumaroll::PlayerRequest> left(2);
	level.world->takePlayerRequests(left);
	EXPECT_TRUE(left.empty());
}

TEST(PlayerRequests, UpdateBallValuesReadsTheVariablesFromTheNextStep) {
	TriggerLevel level;
	lumaroll::Player& player = level.player.operator*();
	level.world->setVariable("ballmaxspeed", 300.f);
	level.world->setVariable("radius", 5.f);
	level.run(30, kFrame, 1.f, 0.f);
	EXPECT_GT(player.body().velocity.length(), 300.f) << "not read back yet";
	level.world->runCommand("updateballvalues", {});
	for (int i = 0; i < 30; ++i) {
		player.step(false, kFrame, 1.f, 0.f);
		ASSERT_LE(std::hypot(player.body().velocity.x, player.body().velocity.z), 300.f + 1e-2f);
	}
	EXPECT_EQ(50.f, player.body().values.radius);
	EXPECT_EQ(2000.f, player.body().values.gravity);

	// Without a form record there is nothing to reset to.
	level.world->runCommand("resetballvalues", {});
	player.step(false, kFrame, 1.f, 0.f);
	EXPECT_EQ(300.f, level.world->getVariable("ballmaxspeed"));

	// With one, its values are published again; they act after the next read-back.
	player.loadForms("a,b,c,d,s,50,1,1750,800,350,0.4,900,0.1");
	level.world->setVariable("ballmaxspeed", 300.f);
	level.world->runCommand("updateballvalues", {});
	player.step(false, kFrame, 1.f, 0.f);
	EXPECT_EQ(300.f, player.body().values.maxSpeed);
	level.world->runCommand("resetballvalues", {});
	player.step(false, kFrame, 1.f, 0.f);
	EXPECT_EQ(900.f, level.world->getVariable("ballmaxspeed"));
	EXPECT_EQ(300.f, player.body().values.maxSpeed);
	level.world->runCommand("updateballvalues", {});
	player.step(false, kFrame, 1.f, 0.f);
	EXPECT_EQ(900.f, player.body().values.maxSpeed);
}

} // namespace
