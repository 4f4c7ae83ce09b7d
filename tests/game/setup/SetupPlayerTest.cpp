// The player set-up of a level session in play mode, in-process on the
// offscreen window, with the writer-made ball model: the model in the level,
// its eye triggers and pose, the form record, touchables, what a level
// without rails gets, and a failure after the model was put in.
#include "SetupTestHelpers.h"
#include "app/SetupRules.h"

#include <lang/Exception.h>

#include <gtest/gtest.h>

#include <algorithm>

using setuptest::matrixNear;
using setuptest::nodeName;
using test::SceneWriter;

namespace {

class SetupPlayerTest : public setuptest::SessionTest {
protected:
	void SetUp() override {
		setuptest::SessionTest::SetUp();
		if (IsSkipped())
			return;
		options.play = true;
		writeBall(test::ballModel("D_forminfo=" + test::formRecord(40.f) + "\r\nnext=1"));
	}

	void writeBall(const SceneWriter& model) {
		lumaroll::makeDirs(data + "/resources/models");
		ASSERT_TRUE(model.write(data + "/resources/models/plimbo.hgr"));
	}

	// The trigger volume of the player named name; null when there is none.
	static const lumaroll::TriggerVolume* volume(const lumaroll::Player& player, const std::string& name) {
		for (const lumaroll::TriggerVolume& v : player.triggerVolumes)
			if (v.name == name)
				return &v;
		return nullptr;
	}
};

TEST_F(SetupPlayerTest, BallModelJoinsTheLevelWithItsEyesAndForms) {
	SceneWriter level = apptest::testLevelScene();
	level.dummy("T_butterflyanim");
	level.userProperty("T_butterflyanim", "state=0\na01=add,butterflies,1");
	level.dummy("T_restartLevel");
	level.userProperty("T_restartLevel", "state=0\na01=add,restarts,1");
	auto session = start(level);
	ASSERT_NE(session->levelPlayer(), nullptr) << startErrors;
	hgr::Scene* scene = session->levelScene();
	lumaroll::SceneWorld* world = session->levelWorld();

	// The model's top node below the dummy "player" below the scene.
	hgr::Node* root = scene->findNode("player");
	ASSERT_NE(root, nullptr);
	EXPECT_EQ(root, static_cast<hgr::Node*>(session->playerNode()));
	EXPECT_EQ(root->getClassId(), hgr::Node::NODE_DUMMY);
	EXPECT_EQ(root->getParent(), static_cast<hgr::Node*>(scene));
	EXPECT_EQ(nodeName(root->getFirstChild()), "plimbo");
	EXPECT_EQ(world->findNode("G_ballforms"), root);

	// Both eye triggers ran at once, and the model's animations are the world's.
	EXPECT_NE(startOutput.find("ball: 2 eye animation triggers (blinking, eyebrows)\n"), std::string::npos)
		<< startOutput;
	EXPECT_EQ(world->getVariable("blinks"), 1.f);
	EXPECT_EQ(world->getVariable("brows"), 1.f);
	EXPECT_EQ(world->getTriggerState("T_plimbo_lookat_eyes_anim01"), 2);
	EXPECT_EQ(world->getTriggerState("T_plimbo_lookat_eyes_anim02"), 2);
	EXPECT_EQ(world->extraAnimationSets.size(), 1u);

	// The eye group takes its pose at time 0; the rest keeps the file's.
	EXPECT_TRUE(matrixNear(scene->findNode("plimbo_eyeballs")->getTransform(),
	                       setuptest::toMatrix(SceneWriter::translation(0.f, 7.f, 30.f))));
	EXPECT_TRUE(matrixNear(scene->findNode("body")->getTransform(), math::Matrix3x4(1.f)));

	// The level's own start triggers, the second one armed first.
	EXPECT_EQ(world->getVariable("butterflies"), 1.f);
	EXPECT_EQ(world->getVariable("restarts"), 1.f);

	// The form record reached the ball without the line after it.
	EXPECT_EQ(session->levelPlayer()->body.values.radius, 40.f);
	EXPECT_NE(startOutput.find("\nball: radius 40.0 (body '"), std::string::npos) << startOutput;
	EXPECT_EQ(startErrors.find("D_forminfo"), std::string::npos) << startErrors;
}

TEST_F(SetupPlayerTest, ScriptedObjectsBecomeTouchables) {
	struct Case {
		const char* object;
		const char* radiusText;
		float radius;
	} cases[] = {
		{"p_radius", "radius=80", 80.f},
		{"p_inradius_then_radius", "inradius=300\nradius=80", 80.f},
		{"p_inradius_only", "inradius=300", 60.f},
		{"p_none", "", 60.f},
		{"p_not_a_number", "radius=wide", 60.f},
	};
	SceneWriter level = apptest::testLevelScene();
	for (const Case& c : cases) {
		level.dummy(c.object);
		level.userProperty(c.object, std::string("load=box,box_a\na01=nop\n") + c.radiusText);
	}
	level.dummy("p_unscripted");
	level.userProperty("p_unscripted", "load=box,box_b\nradius=10");
	auto session = start(level);
	const lumaroll::Player* player = session->levelPlayer();
	ASSERT_NE(player, nullptr) << startErrors;
	for (const Case& c : cases) {
		const lumaroll::TriggerVolume* v = volume(*player, std::string("T_") + c.object);
		ASSERT_NE(v, nullptr) << c.object;
		EXPECT_TRUE(v->sphere) << c.object;
		EXPECT_EQ(v->radius, c.radius) << c.object;
		EXPECT_EQ(v->node.ptr(), session->levelScene()->findNode(c.object)) << c.object;
	}
	EXPECT_EQ(volume(*player, "T_p_unscripted"), nullptr);
}

TEST_F(SetupPlayerTest, LevelWithoutRailsKeepsItsSkyAndHasNoBoost) {
	test::writeParticleFile(data, "boost_a.prs");
	SceneWriter level = apptest::testLevelScene();
	level.userProperty("M_ground", "skybox=1");
	auto session = start(level);
	ASSERT_NE(session->levelPlayer(), nullptr) << startErrors;
	EXPECT_EQ(session->levelPlayer()->railCount(), 0);
	EXPECT_EQ(startOutput.find("sky:"), std::string::npos) << startOutput;
	EXPECT_TRUE(session->levelScene()->findNode("M_ground")->isEnabled());
	EXPECT_EQ(session->boostParticleName(), "");
}

TEST_F(SetupPlayerTest, BoostParticleIsTheFirstMatchInNameOrder) {
	const std::string folder = dir / "particles";
	lumaroll::makeDirs(folder);
	for (const char* name : {"zz_boost.prs", "boost_b.prs", "Boost_c.PRS", "boost_a.prs.bak", "boost.txt", "spark.prs"})
		ASSERT_TRUE(test::writeFile(folder + "/" + name, "x"));
	EXPECT_EQ(lumaroll::boostParticleFile(folder + "/"), "Boost_c.PRS"); // byte order: capitals first
	ASSERT_EQ(std::remove((folder + "/Boost_c.PRS").c_str()), 0);
	ASSERT_TRUE(test::writeFile(folder + "/boost_a.prs", "x"));
	EXPECT_EQ(lumaroll::boostParticleFile(folder + "/"), "boost_a.prs");
	EXPECT_EQ(lumaroll::boostParticleFile(dir / "nowhere/"), "");
}

TEST_F(SetupPlayerTest, FailureAfterTheModelWasPutInTakesItAllOut) {
	options.level = apptest::writeTestLevel(dir.path());
	lumaroll::LevelSession session(app, options);
	session.playerSetupHook = [] { throw lang::Exception(lang::Format("test failure")); };
	testing::internal::CaptureStdout();
	testing::internal::CaptureStderr();
	session.start();
	const std::string err = testing::internal::GetCapturedStderr();
	testing::internal::GetCapturedStdout();
	EXPECT_NE(err.find("could not load the ball: test failure\n"), std::string::npos) << err;
	EXPECT_EQ(session.levelPlayer(), nullptr);
	EXPECT_EQ(session.playerNode(), nullptr);
	EXPECT_EQ(session.levelScene()->findNode("player"), nullptr);
	EXPECT_EQ(session.levelScene()->findNode("plimbo"), nullptr);
	lumaroll::SceneWorld* world = session.levelWorld();
	EXPECT_TRUE(world->extraAnimationSets.empty());
	EXPECT_EQ(world->getTriggerState("T_plimbo_lookat_eyes_anim01"), -1);
	EXPECT_EQ(world->findNode("G_ballforms"), nullptr);

	// The level goes on with the free camera.
	const float z = session.freeView().position.z;
	platform.keys.press(SDL_SCANCODE_W);
	frame(session, 100);
	platform.keys.release(SDL_SCANCODE_W);
	EXPECT_NEAR(session.freeView().position.z, z + 40.f, 1e-3f);
}

} // namespace
