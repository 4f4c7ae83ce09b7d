// The synthetic package's scene files load, and its first level plays as its
// header describes, with the keyboard's input fed straight to the level's
// world and ball at 60 frames a second: the ball rolls over the checkpoint
// into the gap, comes back at the checkpoint, clears the gap with a jump from
// the hint volume and completes the level.
#include "support/FakeContext.h"
#include "support/GamePackage.h"
#include "support/TempDir.h"

#include <hgr/DefaultResourceManager.h>
#include <hgr/Scene.h>
#include <hgr/UserPropertySet.h>
#include <lang/Throwable.h>
#include <logic/SceneWorld.h>
#include <player/Player.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

namespace {

using namespace test::gamepackage;

// The package's data folder, written once for the program.
const std::string& dataDir() {
	static test::TempDir dir;
	static const bool written = [] {
		std::string error;
		const bool ok = test::writeGameData(dir.path(), &error);
		EXPECT_TRUE(ok) << error;
		return ok;
	}();
	(void)written;
	return dir.path();
}

// A scene file of the package loaded without GL, with the data folder's
// texture, shader and particle folders.
lang::Ptr<hgr::Scene> loadScene(test::FakeContext* context, hgr::DefaultResourceManager* resources,
								const std::string& file) {
	const std::string& data = dataDir();
	return new hgr::Scene(context, (data + "/" + file).c_str(), resources, (data + "/resources/textures/").c_str(),
						  (data + "/shaders/").c_str(), (data + "/resources/particles/").c_str());
}

// The text of a node's user properties in a scene; "" when it has none.
std::string nodeProperties(hgr::Scene* scene, const char* node) {
	hgr::UserPropertySet* properties = scene->getUserProperties();
	const lang::String* text = properties ? properties->find(lang::String(node)) : nullptr;
	return text ? text->c_str() : "";
}

TEST(PackageScenes, EveryScenePartLoads) {
	const struct {
		const char* file;
		const char* node; // a node the scene holds
	} scenes[] = {
		{"bundles/original/level01.hgr", "L_rail01"},
		{"bundles/original/level02.hgr", "L_ride02"},
		{"resources/models/plimbo.hgr", "plimbo_eyelids"},
		{"resources/models/coin.hgr", "coin_shadow"},
		{"resources/models/post.hgr", "post"},
	};
	for (const auto& c : scenes) {
		lang::Ptr<test::FakeContext> context = new test::FakeContext;
		lang::Ptr<hgr::DefaultResourceManager> resources = new hgr::DefaultResourceManager(context);
		try {
			lang::Ptr<hgr::Scene> scene = loadScene(context, resources, c.file);
			EXPECT_NE(scene->findNode(lang::String(c.node)), nullptr) << c.file << " has no " << c.node;
		} catch (const lang::Throwable& e) {
			ADD_FAILURE() << c.file << ": " << lang::String(e.getMessage()).c_str();
		}
	}
}

class PackageLayoutTest : public testing::Test {
protected:
	// A level and the ball's form record as the package holds them; the ball at the start.
	void load(const std::string& level) {
		context = new test::FakeContext;
		resources = new hgr::DefaultResourceManager(context);
		scene = loadScene(context, resources, "bundles/original/" + level);
		const std::string forms =
			nodeProperties(loadScene(context, resources, "resources/models/plimbo.hgr"), "D_forminfo");
		world.reset(new lumaroll::SceneWorld(scene));
		testing::internal::CaptureStdout();
		player.reset(new lumaroll::Player(scene, world.get()));
		player->loadForms(forms.substr(forms.find('=') + 1));
		player->buildRails();
		player->placeAtStart();
		testing::internal::GetCapturedStdout();
	}

	// One frame as the session runs it: the world, then the ball.
	void frame(bool up, bool space) {
		world->update(dt);
		player->step(space, dt, up ? 1.f : 0.f, 0.f);
	}

	const float dt = 1.f / 60.f;
	lang::Ptr<test::FakeContext> context;
	lang::Ptr<hgr::DefaultResourceManager> resources;
	lang::Ptr<hgr::Scene> scene;
	std::unique_ptr<lumaroll::SceneWorld> world;
	std::unique_ptr<lumaroll::Player> player;
};

TEST_F(PackageLayoutTest, UpIntoTheGapThenAJumpFromTheHintReachesTheGoalOnTheRail) {
	load("level01.hgr");
	const math::Vector3 start = player->ballPosition();
	EXPECT_NE(player->summary().find("force 1750, jump 1000"), std::string::npos) << player->summary();
	EXPECT_NEAR(start.y, kBallRadius + 5.f, 0.01f);
	EXPECT_NEAR(start.z, kStartZ, 0.01f);

	// Up held: over the checkpoint, into the gap, and back at the checkpoint.
	float lowest = start.y;
	int frames = 0;
	bool back = false;
	for (; frames < 5 * 60 && !back; ++frames) {
		const float zBefore = player->ballPosition().z;
		frame(true, false);
		lowest = std::min(lowest, player->ballPosition().y);
		back = player->ballPosition().z < zBefore - 100.f;
	}
	ASSERT_TRUE(back) << "the ball never came back; it is at z " << player->ballPosition().z;
	EXPECT_EQ(world->checkpointName, "D_checkpoint01");
	EXPECT_LT(lowest, -150.f) << "the ball came back without falling into the gap";
	EXPECT_NEAR(player->ballPosition().z, kCheckpointZ, 1.f);
	EXPECT_GT(frames, 60) << "the gap is reached after more than a second";
	EXPECT_LT(frames, 3 * 60) << "and within three";

	// Up again; Space for a tenth of a second once the ball enters "T_jump".
	world->setVariable("jumphint", 0.f);
	int jumpFrames = -1;
	lowest = player->ballPosition().y;
	for (frames = 0; frames < 10 * 60 && !world->levelComplete; ++frames) {
		if (jumpFrames < 0 && world->getVariable("jumphint") != 0.f)
			jumpFrames = 0;
		const bool space = jumpFrames >= 0 && jumpFrames < 6;
		if (jumpFrames >= 0)
			++jumpFrames;
		frame(true, space);
		if (player->ballPosition().z > kGapStartZ)
			lowest = std::min(lowest, player->ballPosition().y);
	}
	EXPECT_GE(jumpFrames, 0) << "the ball never entered the jump hint";
	EXPECT_TRUE(world->levelComplete) << "the ball is at z " << player->ballPosition().z;
	EXPECT_GT(lowest, -120.f) << "the ball fell into the gap again";
	EXPECT_GE(player->ballPosition().z, kGoalZ - kBallRadius);
	EXPECT_LT(frames, 5 * 60) << "the goal is reached within five seconds of the checkpoint";
	// The level ends on the rail, so that the ride's results enter the distance ridden.
	EXPECT_TRUE(player->onRail());
	EXPECT_GT(player->distanceRidden(), kGoalZ - kRailStartZ - 2 * kBallRadius);
}

TEST_F(PackageLayoutTest, TheRideWaitsForTheCountdownThenReachesTheGoalOnTheSecondRail) {
	load("level02.hgr");
	int frames = 0;
	for (; frames < 3 * 60; ++frames)
		frame(false, false);
	EXPECT_TRUE(player->onRail());
	EXPECT_GT(world->getVariable("countdown"), 0.f);
	EXPECT_FALSE(player->controlsEnabled());
	EXPECT_LT(player->ballPosition().z, 100.f) << "the ball moves before the countdown ends";
	std::set<int> railsRidden;
	for (; frames < 15 * 60 && !world->levelComplete; ++frames) {
		frame(false, false);
		railsRidden.insert(player->railIndex());
	}
	EXPECT_TRUE(world->levelComplete) << "the ball is at z " << player->ballPosition().z;
	EXPECT_TRUE(player->onRail());
	EXPECT_EQ(railsRidden.size(), 2u) << "the first rail hands the ball over to the second";
	EXPECT_GT(world->getVariable("timer01"), 3.f);
	EXPECT_LT(frames, 10 * 60) << "the ride ends within ten seconds";
}

} // namespace
