// The ball step on writer-made levels: steering by heading and by camera,
// the camera hold, the controls flag, the gravity variable, sounds, the
// death plane, a fall from far above onto a thin floor, and bad numbers;
// the ball's physics on its own where a case needs the ball set by hand.

#include "PlayerFixture.h"
#include "VectorMatch.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

using math::Vector3;
using playertest::Level;
using playertest::SoundRecorder;
using playertest::kFrame;
using playertest::settle;
using playertest::near;

namespace {

// A ball with its model settled on a wide floor at y 0, started at the origin.
struct FloorLevel : Level {
	explicit FloorLevel(float halfSize = 20000.f) {
		pieces.mesh("floor", test::floorTriangles(halfSize, 0.f));
		pieces.dummyAt("D_start", 0, 100, 0);
		pieces.dummyAt("cam1", 0, 500, -500);
		build();
		attachModel();
		player->placeAtStart();
		run(30);
	}
};

TEST(PlayerStep, HeadingControlsMoveAlongTheHeadingWithinTheSpeedLimit) {
	FloorLevel level;
	lumaroll::Player& player = level.player.operator*();
	for (int i = 0; i < 180; ++i) {
		player.step(false, kFrame, 1.f, 0.f);
		ASSERT_LE(std::hypot(player.body().velocity.x, player.body().velocity.z), 800.f + 1e-2f);
	}
	EXPECT_GT(player.body().position.z, 1000.f);
	EXPECT_NEAR(0.f, player.body().position.x, 0.5f);
	EXPECT_NEAR(800.f, player.body().velocity.z, 0.1f);

	// A full turn input for one second turns the heading by 2.4 radians.
	const float before = level.heading();
	level.run(60, kFrame, 0.f, 1.f);
	EXPECT_NEAR(2.4f, level.heading() - before, 1e-4f);
}

struct StickCase {
	const char* name;
	float stickX, stickY;
	bool turns;
};

TEST(PlayerStep, CameraRelativeInputTurnsTheHeadingOnlyWhenClear) {
	const StickCase cases[] = {{"length 0.1", 0.1f, 0.f, false}, {"length 0.5", 0.5f, 0.f, true}};
	for (const StickCase& c : cases) {
		FloorLevel level;
		lumaroll::Player& player = level.player.operator*();
		player.setMoveInput(true, false, false, c.stickX, c.stickY);
		const float heading = level.heading();
		player.step(false, kFrame, 0.f, 0.f);
		// Camera yaw 0: the stick's x is +x, a quarter turn from the heading 0.
		const float expected = c.turns ? heading + (3.14159265f / 2) * std::min(8.f * kFrame, 1.f) : heading;
		EXPECT_NEAR(expected, level.heading(), 1e-5f) << c.name;
		player.step(false, kFrame, 0.f, 0.f);
		EXPECT_GT(player.body().velocity.x, 0.f) << c.name << ": moves either way";
	}
}

TEST(PlayerStep, SwitchingControlModesHandsTheDirectionOverOnce) {
	FloorLevel level;
	lumaroll::Player& player = level.player.operator*();
	hgr::Node* camera = level.addCamera();
	level.run(30, kFrame, 0.f, 1.f); // heading 1.2
	const float heading = level.heading();
	ASSERT_NEAR(1.2f, heading, 1e-4f);
	player.setMoveInput(true, false, false, 0.f, 0.f);
	player.step(false, kFrame, 0.f, 0.f);
	settle(player, camera);
	EXPECT_NEAR(heading, playertest::orbitOf(camera, player.ballPosition()).yaw, 1e-5f)
		<< "the orbit takes the heading";
	player.addCameraInput(0.5f, 0.f);
	player.step(false, kFrame, 0.f, 0.f);
	settle(player, camera);
	EXPECT_NEAR(heading + 0.5f, playertest::orbitOf(camera, player.ballPosition()).yaw, 1e-5f);
	EXPECT_NEAR(heading, level.heading(), 1e-6f) << "a small stick never turns the ball";
	player.setMoveInput(false, false, false, 0.f, 0.f);
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_NEAR(heading + 0.5f, level.heading(), 1e-5f) << "the heading takes the orbit's yaw";
}

TEST(PlayerStep, ASceneCameraHoldsTheBallUntilReleased) {
	FloorLevel level;
	lumaroll::Player& player = level.player.operator*();
	level.run(30, kFrame, 1.f, 0.f);
	ASSERT_GT(player.body().velocity.z, 100.f);
	EXPECT_TRUE(player.controlsEnabled());

	level.world->cameraName = "cam1";
	const float z = player.body().position.z;
	player.step(true, kFrame, 1.f, 1.f);
	EXPECT_NEAR(0.f, player.body().velocity.x, 1e-5f);
	EXPECT_NEAR(0.f, player.body().velocity.z, 1e-5f);
	EXPECT_FALSE(player.body().jumped);
	EXPECT_NEAR(z, player.body().position.z, 1e-3f);
	EXPECT_FALSE(player.controlsEnabled());
	// A name without a node holds too.
	level.world->cameraName = "nothing";
	level.run(5, kFrame, 1.f, 0.f);
	EXPECT_NEAR(z, player.body().position.z, 1e-3f);

	level.world->cameraName = "camera";
	level.run(5, kFrame, 1.f, 0.f);
	EXPECT_TRUE(player.controlsEnabled());
	EXPECT_GT(player.body().position.z, z);
}

struct ControlsCase {
	const char* name;
	std::function<void(lumaroll::SceneWorld&)> set;
	bool enabled;
};

TEST(PlayerStep, ControlsFollowTheControlsAndCountdownVariables) {
	const ControlsCase cases[] = {
		{"neither", [](lumaroll::SceneWorld&) {}, true},
		{"controls 0", [](lumaroll::SceneWorld& w) { w.setVariable("controls", 0.f); }, false},
		{"controls 1", [](lumaroll::SceneWorld& w) { w.setVariable("controls", 1.f); }, true},
		{"countdown 3", [](lumaroll::SceneWorld& w) { w.setVariable("countdown", 3.f); }, false},
		{"countdown 0", [](lumaroll::SceneWorld& w) { w.setVariable("countdown", 0.f); }, true},
		{"countdown -1", [](lumaroll::SceneWorld& w) { w.setVariable("countdown", -1.f); }, true},
	};
	for (const ControlsCase& c : cases) {
		FloorLevel level(3000.f);
		c.set(*level.world);
		EXPECT_EQ(c.enabled, level.player->controlsEnabled()) << c.name;
	}
}

TEST(PlayerStep, TheGravityVariableReplacesTheBallsGravityEachStep) {
	FloorLevel level;
	lumaroll::Player& player = level.player.operator*();
	level.world->setVariable("gravity", 500.f);
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_EQ(500.f, player.body().values.gravity);
	level.world->setVariable("gravity", std::numeric_limits<float>::quiet_NaN());
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_EQ(500.f, player.body().values.gravity) << "a NaN variable is ignored";
}

TEST(PlayerStep, JumpAndImpactSounds) {
	Level level;
	level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
	level.pieces.dummyAt("D_start", 0, 100, 0);
	level.pieces.dummyAt("drop300", 0, 350.01f, 0);
	level.pieces.dummyAt("drop20", 0, 70.01f, 0);
	lumaroll::Player& player = level.build();
	player.placeAtStart();
	level.run(30);
	SoundRecorder sounds;
	sounds.attach(player);

	player.step(true, kFrame, 0.f, 0.f);
	ASSERT_TRUE(player.body().jumped);
	EXPECT_NEAR(680.f, player.body().velocity.y, 1e-3f) << "800 x 0.85";
	ASSERT_EQ(1u, sounds.sounds.size());
	EXPECT_EQ("plimbo_jump.wav", sounds.sounds[0].first);
	EXPECT_EQ(1.f, sounds.sounds[0].second);
	// Paused frames right after it (the session steps by 0 then) play it no more.
	for (int i = 0; i < 5; ++i)
		player.step(false, 0.f, 0.f, 0.f);
	EXPECT_EQ(1u, sounds.sounds.size()) << "paused frames after the jump";
	level.run(60);

	// A drop of 300: about 1095 into the floor.
	sounds.sounds.clear();
	level.moveBallTo("drop300");
	float impact = 0.f;
	for (int i = 0; i < 40 && sounds.sounds.empty(); ++i) {
		player.step(false, kFrame, 0.f, 0.f);
		impact = player.body().impactSpeed;
	}
	ASSERT_EQ(1u, sounds.sounds.size());
	EXPECT_EQ("plimbo_collision.wav", sounds.sounds[0].first);
	EXPECT_NEAR(std::min(impact / 1400.f, 1.f), sounds.sounds[0].second, 1e-6f);
	EXPECT_NEAR(0.78f, sounds.sounds[0].second, 0.02f);
	// The rebound lands again at once: no second impact sound within 0.15 s.
	for (int i = 0; i < 8; ++i)
		player.step(false, kFrame, 0.f, 0.f);
	EXPECT_EQ(1, sounds.count("plimbo_collision.wav"));

	// A drop of 20 (about 283 into the floor) is silent.
	level.run(60);
	sounds.sounds.clear();
	level.moveBallTo("drop20");
	level.run(30);
	EXPECT_TRUE(sounds.sounds.empty());
}

TEST(PlayerStep, AFrameThatJumpsPlaysNoImpactSound) {
	// Rolling into a wall at full speed: with a jump in the same frame only the jump is heard.
	for (const bool jump : {false, true}) {
		Level level;
		level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
		level.pieces.mesh("wall", test::wallTriangles(0.f, 500.f, 400.f));
		lumaroll::BallPhysics& physics = level.buildParts().physics;
		lumaroll::BallBody ball = physics.body();
		ball.position = Vector3(-60.f, 50.01f, 0.f);
		ball.onGround = true;
		ball.airTime = 0.f;
		ball.velocity = Vector3(800.f, 0.f, 0.f);
		physics.setBody(ball);
		SoundRecorder sounds;
		lumaroll::BallControl control;
		control.jump = jump;
		physics.integrate(control, kFrame);
		physics.playSounds(kFrame, false, sounds.callback());
		ASSERT_GT(physics.body().impactSpeed, 350.f) << jump;
		EXPECT_EQ(jump, physics.body().jumped);
		EXPECT_EQ(jump ? 1 : 0, sounds.count("plimbo_jump.wav")) << jump;
		EXPECT_EQ(jump ? 0 : 1, sounds.count("plimbo_collision.wav")) << jump;
	}
}

TEST(PlayerStep, FallingBelowTheDeathPlaneStartsOver) {
	Level level;
	level.pieces.mesh("floor", test::floorTriangles(500.f, 0.f));
	level.pieces.dummyAt("D_start", 0, 100, 0);
	level.pieces.dummyAt("beside", 5000, 100, 0);
	level.pieces.dummyAt("below", 5000, -2500, 0);
	level.pieces.dummyAt("cp1", 200, 100, 0);
	lumaroll::Player& player = level.build();
	player.placeAtStart();
	level.moveBallTo("beside");
	player.step(false, kFrame, 0.f, 0.f);
	ASSERT_EQ(5000.f, player.body().position.x);
	int frames = 1;
	while (player.body().position.x != 0.f) {
		player.step(false, kFrame, 0.f, 0.f);
		ASSERT_LT(++frames, 200);
		ASSERT_GE(player.body().position.y, -2000.f - 60.f);
	}
	EXPECT_NEAR(55.f, player.body().position.y, 1e-3f);
	EXPECT_EQ(0.f, player.body().velocity.length());
	// -2000 is reached after about 1.4 s of falling.
	EXPECT_GT(frames, 80);

	// A checkpoint set by the world wins over the start.
	level.world->runCommand("checkpoint", {"cp1"});
	level.moveBallTo("below");
	player.step(false, kFrame, 0.f, 0.f);
	EXPECT_NEAR(200.f, player.body().position.x, 1e-3f);
	EXPECT_NEAR(55.f, player.body().position.y, 1e-3f);
}

TEST(PlayerStep, AStartFarAboveAThinFloorLandsOnIt) {
	// Frames of 0.1 s (the longest) and a fall of 30,000 at the speed limit:
	// each substep moves the ball 62.5, further than its radius. Ten starts
	// a tenth of that apart meet the floor at every part of a substep.
	for (int k = 0; k < 10; ++k) {
		const float height = 30163.f + 6.25f * float(k);
		Level level;
		level.pieces.mesh("floor", test::floorTriangles(1000.f, 0.f));
		level.pieces.boxVolume("T_below", {-1000, -3000, -1000}, {1000, -60, 1000},
							   test::TriggerScript().a("add,below,1").text());
		level.pieces.dummyAt("D_start", 0, height, 0);
		lumaroll::Player& player = level.build();
		player.placeAtStart();
		float fastest = 0.f, lowest = 1e9f;
		for (int frame = 0; frame < 80; ++frame) { // landing after about 4 s
			player.step(false, 0.1f, 0.f, 0.f);
			fastest = std::max(fastest, player.body().velocity.length());
			lowest = std::min(lowest, player.body().position.y);
		}
		EXPECT_EQ(10000.f, fastest) << height;
		EXPECT_GT(lowest, 0.f) << height;
		EXPECT_LT(player.body().position.y, 500.f) << height << ": bouncing on the floor, not started over";
		EXPECT_EQ(0.f, level.world->getVariable("below")) << height;
	}
}

struct BadCase {
	const char* name;
	std::function<void(lumaroll::Player&, lumaroll::SceneWorld&)> spoil;
};

TEST(PlayerStep, NumbersThatAreNotFiniteNeverStick) {
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const float inf = std::numeric_limits<float>::infinity();
	const BadCase cases[] = {
		{"NaN gravity variable", [nan](lumaroll::Player&, lumaroll::SceneWorld& w) { w.setVariable("gravity", nan); }},
		{"infinite ball variables",
		 [inf](lumaroll::Player&, lumaroll::SceneWorld& w) {
			 w.setVariable("ballmaxspeed", inf);
			 w.setVariable("ballmass", -inf);
			 w.runCommand("updateballvalues", {});
		 }},
		{"NaN form record",
		 [](lumaroll::Player& p, lumaroll::SceneWorld&) {
			 testing::internal::CaptureStderr();
			 p.loadForms("a,b,c,d,s,nan,nan,nan,nan,nan,nan,nan,nan");
			 testing::internal::GetCapturedStderr();
		 }},
	};
	for (const BadCase& c : cases) {
		FloorLevel level(3000.f);
		lumaroll::Player& player = level.player.operator*();
		c.spoil(player, *level.world);
		for (int i = 0; i < 30; ++i) {
			player.step(i == 3, kFrame, 1.f, 0.5f);
			ASSERT_TRUE(player.body().position.isFinite()) << c.name << " frame " << i;
			ASSERT_TRUE(player.body().velocity.isFinite()) << c.name << " frame " << i;
		}
	}
}

struct LostCase {
	const char* name;
	std::function<void(lumaroll::BallBody&)> spoil;
};

TEST(PlayerStep, ABallWhoseNumbersAreNotFiniteIsLostAndStartsOver) {
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const float inf = std::numeric_limits<float>::infinity();
	const LostCase cases[] = {
		{"NaN position", [nan](lumaroll::BallBody& ball) { ball.position.y = nan; }},
		{"infinite velocity", [inf](lumaroll::BallBody& ball) { ball.velocity.x = inf; }},
		{"NaN velocity", [nan](lumaroll::BallBody& ball) { ball.velocity.z = nan; }},
	};
	for (const LostCase& c : cases) {
		Level level;
		level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
		level.pieces.dummyAt("D_start", 0, 100, 0);
		lumaroll::BallPhysics& physics = level.buildParts().physics;
		physics.placeAtStart("");
		lumaroll::BallBody ball = physics.body();
		c.spoil(ball);
		physics.setBody(ball);
		// Lost wherever it is, on a rail too (where the death plane does not count).
		EXPECT_TRUE(physics.lost(false)) << c.name;
		EXPECT_TRUE(physics.lost(true)) << c.name;
		physics.respawn("");
		EXPECT_TRUE(near(Vector3(0, 55, 0), physics.body().position)) << c.name;
		EXPECT_EQ(0.f, physics.body().velocity.length()) << c.name;
		EXPECT_FALSE(physics.lost(false)) << c.name;
	}
}

TEST(PlayerStep, ATurnFarOutOfRangeStillEnds) {
	FloorLevel level(3000.f);
	lumaroll::Player& player = level.player.operator*();
	player.step(false, kFrame, 0.f, 1e20f);
	player.setMoveInput(true, true, true, 1.f, 0.f);
	level.run(3, kFrame, 0.f, 0.f);
	EXPECT_TRUE(std::isfinite(level.heading()));
	EXPECT_TRUE(player.body().position.isFinite());
}

} // namespace
