// Ten seconds of scripted play over terrain give the same bits every run,
// also in another process; a steady step allocates nothing.

#include "PlayerFixture.h"

#include "support/AllocationCounter.h"
#include "support/ProcessRunner.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const float kFrame = 1.f / 60.f;

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
};

// 600 steps of 1/60 s with input that turns, jumps, brakes and switches to the stick.
uint64_t playedHash() {
	playertest::Level level;
	terrainLevel(level);
	lumaroll::Player& player = level.build();
	player.placeAtStart();
	Hash hash;
	for (int i = 0; i < 600; ++i) {
		const float forward = i % 200 < 150 ? 1.f : -0.5f;
		const float right = std::sin(float(i) * 0.05f);
		const bool stick = i >= 300 && i < 450;
		player.setMoveInput(stick, false, i > 400, 0.7f * std::cos(float(i) * 0.03f), 0.7f);
		player.addCameraInput(stick ? 0.01f : 0.f, 0.f);
		player.step(i % 90 == 45, kFrame, forward, right);
		hash.add(player.body.position);
		hash.add(player.body.velocity);
		hash.add(player.body.onGround);
		hash.add(player.body.jumped);
		hash.add(player.body.airTime);
		hash.add(player.headingAngle());
	}
	return hash.value;
}

std::string selfPath() {
	char path[4096];
	const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
	return n > 0 ? std::string(path, size_t(n)) : std::string();
}

TEST(PlayerDeterminism, PlayIsBitIdenticalInThisAndAnotherProcess) {
	const uint64_t first = playedHash();
	EXPECT_EQ(first, playedHash());

	test::ProcessOptions options;
	options.args = {"--gtest_filter=PlayerDeterminism.ChildPrintsItsHash"};
	options.env = {{"LUMAROLL_PLAYER_HASH_CHILD", "1"}};
	const test::ProcessResult child = test::runProcess(selfPath(), options);
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
	ASSERT_EQ(200u, player.triggerVolumes.size());
	player.placeAtStart();
	for (int i = 0; i < 120; ++i)
		player.step(i == 60, kFrame, 1.f, 0.3f);
	const long before = test::allocationCount();
	for (int i = 0; i < 120; ++i)
		player.step(i == 60, kFrame, 1.f, 0.3f);
	EXPECT_EQ(0, test::allocationCount() - before);
}

} // namespace
