// Ten seconds of scripted play over terrain give the same bits every run,
// also in another process; so does the whole player with rails, guide,
// camera, model and shadows. A steady frame allocates nothing.

#include "RailFixture.h"

#include "support/AllocationCounter.h"
#include "support/ProcessRunner.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using playertest::kFrame;

namespace {

// 100 x 100 quads of 50 units: 20,000 triangles.
void terrainLevel(playertest::Level& level) {
	level.pieces.heightField("terrain", 100, 100, 50.f);
	level.pieces.dummyAt("D_start", 2500, 400, 2500);
}

struct Hash {
	uint64_t value = 1469598103934665603ull;
	void add(const void* data, size_t size) {
		const unsigned char* p = static_cast<const unsigned char*>(data);
		for (size_t i = 0; i < size; ++i)
			value = (value ^ p[i]) * 1099511628211ull;
	}
	void add(const math::Vector3& v) { add(&v, sizeof v); }
	void add(float f) { add(&f, sizeof f); }
	void add(bool b) { add(&b, sizeof b); }
	void add(const math::Matrix3x4& m) { add(&m, sizeof m); }
	void add(const hgr::Node* node) {
		add(node->getTransform());
		add(node->isEnabled());
	}
};

// 600 steps of 1/60 s with input that turns, jumps, brakes and switches to
// the stick; the model's root shows the heading.
uint64_t playedHash() {
	playertest::Level level;
	terrainLevel(level);
	lumaroll::Player& player = level.build();
	const hgr::Node* root = level.attachModel();
	player.placeAtStart();
	Hash hash;
	for (int i = 0; i < 600; ++i) {
		const float forward = i % 200 < 150 ? 1.f : -0.5f;
		const float right = std::sin(float(i) * 0.05f);
		const bool stick = i >= 300 && i < 450;
		player.setMoveInput(stick, false, i > 400, 0.7f * std::cos(float(i) * 0.03f), 0.7f);
		player.addCameraInput(stick ? 0.01f : 0.f, 0.f);
		player.step(i % 90 == 45, kFrame, forward, right);
		hash.add(player.body().position);
		hash.add(player.body().velocity);
		hash.add(player.body().onGround);
		hash.add(player.body().jumped);
		hash.add(player.body().airTime);
		hash.add(root);
	}
	return hash.value;
}

TEST(PlayerDeterminism, PlayIsBitIdenticalInThisAndAnotherProcess) {
	const uint64_t first = playedHash();
	EXPECT_EQ(first, playedHash());

	test::ProcessOptions options;
	options.args = {"--gtest_filter=PlayerDeterminism.ChildPrintsItsHash"};
	options.env = {{"LUMAROLL_PLAYER_HASH_CHILD", "1"}};
	const test::ProcessResult child = test::runProcess(playertest::selfPath(), options);
	ASSERT_EQ(0, child.exitCode) << child.out << child.err;
	char expected[40];
	std::snprintf(expected, sizeof(expected), "hash=%016" PRIx64, first);
	EXPECT_NE(std::string::npos, child.out.find(expected)) << child.out;
}

// Run only as the child of the test above.
TEST(PlayerDeterminism, ChildPrintsItsHash) {
	if (!std::getenv("LUMAROLL_PLAYER_HASH_CHILD"))
		GTEST_SKIP() << "run by PlayIsBitIdenticalInThisAndAnotherProcess";
	std::printf("hash=%016" PRIx64 "\n", playedHash());
}

TEST(PlayerDeterminism, ASteadyStepAllocatesNothing) {
	playertest::Level level;
	terrainLevel(level);
	for (int i = 0; i < 200; ++i)
		level.pieces.sphereVolume("T_v" + std::to_string(i), float(i % 20) * 250.f, 50.f, float(i / 20) * 500.f, 60.f);
	lumaroll::Player& player = level.build();
	ASSERT_NE(std::string::npos, level.setupOutput.find(" 200 trigger volumes\n")) << level.setupOutput;
	player.placeAtStart();
	for (int i = 0; i < 120; ++i)
		player.step(i == 60, kFrame, 1.f, 0.3f);
	const long before = test::allocationCount();
	for (int i = 0; i < 120; ++i)
		player.step(i == 60, kFrame, 1.f, 0.3f);
	EXPECT_EQ(0, test::allocationCount() - before);
}

// The rail level on a wide plain with the ball model, five lamps casting
// shadows, a wall beside the track and the session's camera.
struct WholeLevel : playertest::RailLevel {
	WholeLevel()
		: RailLevel([](playertest::Level& l) {
			  l.pieces.mesh("wall01", test::wallTriangles(300.f, 3000.f, 400.f));
			  l.pieces.mesh("plain", test::floorTriangles(30000.f, 0.f, 0.f, 10000.f));
			  for (int i = 0; i < 5; ++i) {
				  const std::string name = "O_lamp" + std::to_string(i);
				  l.writer.dummy(name).position(-400.f, 80.f + 30.f * float(i), 1000.f * float(i));
				  l.pieces.mesh(name + "_shadow", test::floorTriangles(40.f, 0.f), "").parent(name);
			  }
		  }) {
		for (int i = 0; i < 5; ++i) {
			const std::string name = "O_lamp" + std::to_string(i);
			lamps.push_back(node(name + "_shadow"));
			player->addShadowCaster(lamps.back(), node(name), i % 2 == 1);
		}
		attachModel();
		for (const lumaroll::Rail& rail : rails().rails)
			railNames.push_back(rail.name);
		camera = addCamera();
		player->setTiltScheme(true);
		eyes = node("G_plimbo_lookat_eyes");
		shadow = node("shadow_plimbo");
	}
	hgr::Node* camera = nullptr;
	hgr::Node* eyes = nullptr;
	hgr::Node* shadow = nullptr;
	std::vector<hgr::Node*> lamps;
	// The rails' names, in the order of the player's rail indices.
	std::vector<std::string> railNames;

	// One frame of play: on the rail steering, then off it with the stick
	// following the guide, jumping now and then.
	static constexpr int kLeave = 200;
	void frame(int i) {
		if (i == kLeave)
			world->runCommand("attachtorail", {"0", railNames[size_t(player->railIndex())]});
		if (i == kLeave + 20)
			world->runCommand("setguidingobject", {"L_guide1"});
		const bool stick = i >= kLeave;
		player->setMoveInput(stick, stick, false, 0.6f * std::sin(float(i) * 0.02f), 0.8f);
		player->addCameraInput(0.f, stick ? 0.002f : 0.f);
		player->step(i % 97 == 50, kFrame, 0.f, 0.3f * std::sin(float(i) * 0.05f));
		player->updateCamera(camera, kFrame);
	}
};

uint64_t wholePlayerHash() {
	WholeLevel level;
	Hash hash;
	testing::internal::CaptureStdout();
	for (int i = 0; i < 600; ++i) {
		level.frame(i);
		hash.add(level.player->body().position);
		hash.add(level.player->body().velocity);
		hash.add(level.camera);
		hash.add(level.eyes);
		hash.add(level.shadow);
		for (const hgr::Node* lamp : level.lamps)
			hash.add(lamp);
		hash.add(level.player->distanceRidden());
	}
	testing::internal::GetCapturedStdout();
	return hash.value;
}

TEST(PlayerDeterminism, TheWholePlayerIsBitIdentical) {
	EXPECT_EQ(wholePlayerHash(), wholePlayerHash());
}

TEST(PlayerDeterminism, ASteadyFrameOfTheWholePlayerAllocatesNothing) {
	WholeLevel level;
	for (int i = 0; i < 60; ++i)
		level.frame(i);
	ASSERT_TRUE(level.player->onRail());
	long before = test::allocationCount();
	for (int i = 60; i < 180; ++i)
		level.frame(i);
	EXPECT_EQ(0, test::allocationCount() - before) << "on the rail";
	testing::internal::CaptureStdout();
	for (int i = 180; i < 320; ++i)
		level.frame(i);
	testing::internal::GetCapturedStdout();
	before = test::allocationCount();
	for (int i = 320; i < 440; ++i)
		level.frame(i);
	EXPECT_EQ(0, test::allocationCount() - before) << "off the rail, guided";
	EXPECT_FALSE(level.player->onRail());
}

} // namespace
