// The player set-up of a level session in play mode, in-process on the
// offscreen window, with the writer-made ball model: the model in the level,
// its eye triggers and pose, the form record, touchables, what a level
// without rails gets, and a failure after the model was put in.
#include "SetupTestHelpers.h"
#include "app/LibraryObjects.h"
#include "app/SetupRules.h"
#include "support/LevelFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using setuptest::matrixNear;
using setuptest::nodeName;
using test::SceneWriter;

namespace {

class SetupPlayerTest : public setuptest::PlaySessionTest {
protected:
	std::string ballForm() const override { return "D_forminfo=" + test::formRecord(40.f) + "\r\nnext=1"; }

	// Moves the ball to the node name (as a script's "setobjectpos") and
	// runs two frames: the step that puts it there and sees what it touches,
	// and the world's update after it.
	void putBallAt(lumaroll::LevelSession& session, const std::string& name) {
		session.level().world()->runCommand("setobjectpos", {"G_ballforms", name});
		frame(session);
		frame(session);
	}
};

TEST_F(SetupPlayerTest, BallModelJoinsTheLevelWithItsEyesAndForms) {
	SceneWriter level = test::testLevelScene();
	level.dummy("T_butterflyanim");
	level.userProperty("T_butterflyanim", "state=0\na01=add,butterflies,1");
	level.dummy("T_restartLevel");
	level.userProperty("T_restartLevel", "state=0\na01=add,restarts,1");
	auto session = start(level);
	ASSERT_NE(session->level().player(), nullptr) << startErrors;
	hgr::Scene* scene = session->level().scene();
	lumaroll::SceneWorld* world = session->level().world();

	// The model's top node below the dummy "player" below the scene.
	hgr::Node* root = scene->findNode("player");
	ASSERT_NE(root, nullptr);
	EXPECT_EQ(root, static_cast<hgr::Node*>(session->level().playerNode()));
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
						   setuptest::toMatrix(SceneWriter::translation(10.f, 57.f, 30.f))));
	EXPECT_TRUE(matrixNear(scene->findNode("body")->getTransform(),
						   setuptest::toMatrix(SceneWriter::translation(10.f, 50.f, 0.f))));

	// The level's own start triggers, the second one armed first.
	EXPECT_EQ(world->getVariable("butterflies"), 1.f);
	EXPECT_EQ(world->getVariable("restarts"), 1.f);

	// The form record reached the ball without the line after it.
	EXPECT_EQ(session->level().player()->body().values.radius, 40.f);
	EXPECT_NE(startOutput.find("\nball: radius 40.0 (body 'body'), mass 2, force 3, jump 4, friction 5, max speed 7, "
							   "rebound 8, gravity 2000; start at "),
			  std::string::npos)
		<< startOutput;
	EXPECT_EQ(startErrors.find("D_forminfo"), std::string::npos) << startErrors;
}

TEST_F(SetupPlayerTest, ScriptedObjectsBecomeTouchables) {
	// Objects 1000 apart over a floor, each counting its touches in a
	// variable of its name; the ball (radius 40) put 110 and then 90 from
	// each: a touch radius of 80 reaches both, the default 60 only the second.
	struct Case {
		const char* object;
		const char* radiusText;
		float radius;
	} cases[] = {
		{"p_radius", "radius=80", 80.f},		   {"p_inradius_then_radius", "inradius=300\nradius=80", 80.f},
		{"p_inradius_only", "inradius=300", 60.f}, {"p_none", "", 60.f},
		{"p_not_a_number", "radius=wide", 60.f},
	};
	SceneWriter level = test::testLevelScene();
	test::LevelFixtures parts(level);
	parts.mesh("floor", test::floorTriangles(10000.f, 0.f));
	float x = 1000.f;
	for (const Case& c : cases) {
		const std::string object = c.object;
		level.dummy(object).position(x, 40.f, 2000.f);
		level.userProperty(object, "load=box,box_a\na01=add," + object + ",1\n" + c.radiusText);
		parts.dummyAt(object + "_110", x + 110.f, 40.f, 2000.f);
		parts.dummyAt(object + "_90", x + 90.f, 40.f, 2000.f);
		x += 1000.f;
	}
	// An object without a script is no touchable, even when a trigger bears
	// the name one would have.
	level.dummy("p_unscripted").position(x, 40.f, 2000.f);
	level.userProperty("p_unscripted", "load=box,box_b\nradius=10");
	level.userProperty("T_p_unscripted", "a01=add,unscripted,1");
	auto session = start(level);
	ASSERT_NE(session->level().player(), nullptr) << startErrors;
	lumaroll::SceneWorld* world = session->level().world();
	for (const Case& c : cases) {
		const std::string object = c.object;
		putBallAt(*session, object + "_110");
		EXPECT_EQ(world->getVariable(object), c.radius > 70.f ? 1.f : 0.f) << object << " from 110";
		putBallAt(*session, object + "_90");
		EXPECT_EQ(world->getVariable(object), 1.f) << object << " from 90";
	}
	putBallAt(*session, "p_unscripted");
	EXPECT_EQ(world->getVariable("unscripted"), 0.f);
}

TEST_F(SetupPlayerTest, LevelWithoutRailsKeepsItsSkyAndHasNoBoost) {
	test::writeParticleFile(data, "boost_a.prs");
	SceneWriter level = test::testLevelScene();
	level.userProperty("M_ground", "skybox=1");
	auto session = start(level);
	ASSERT_NE(session->level().player(), nullptr) << startErrors;
	EXPECT_EQ(session->level().player()->railCount(), 0);
	EXPECT_EQ(startOutput.find("sky:"), std::string::npos) << startOutput;
	EXPECT_TRUE(session->level().scene()->findNode("M_ground")->isEnabled());
	EXPECT_EQ(session->level().boostParticle(), "");
}

// A level with one rail over a floor, a textured cube marked "skybox=1"
// (with a child) and three particle files.
SceneWriter railLevel(const std::string& data) {
	SceneWriter level = test::testLevelScene();
	level.material("sky", "flat.fx").texture("BASEMAP", level.texture("blue.png"));
	test::addCube(level.primitive(2), 100.f);
	level.mesh("sky").primitives({2});
	level.dummy("sky_child").parent("sky");
	level.userProperty("sky", "skybox=1");
	test::LevelFixtures parts(level);
	parts.mesh("floor", test::floorTriangles(5000.f, -200.f));
	test::RailDrawing rail;
	rail.track = test::straightSegments({0.f, 50.f, 0.f}, {0.f, 50.f, 9000.f}, 30);
	rail.trackNormal = test::straightSegments({0.f, 2000.f, 0.f}, {0.f, 2000.f, 9000.f}, 30);
	rail.properties = "tracknormalgravity=1";
	parts.railNode("L_rail1", rail);
	for (const char* name : {"spark.prs", "boost_b.prs", "boost_a.prs"})
		test::writeParticleFile(data, name);
	return level;
}

TEST_F(SetupPlayerTest, RailLevelDrawsItsSkySeparatelyAndBoosts) {
	auto session = start(railLevel(data));
	lumaroll::Player* player = session->level().player();
	ASSERT_NE(player, nullptr) << startErrors;
	ASSERT_EQ(player->railCount(), 1);
	EXPECT_NE(startOutput.find("sky: rendered separately, 24 vertices, 36 indices, texture BASEMAP\n"),
			  std::string::npos)
		<< startOutput;
	EXPECT_FALSE(session->level().scene()->findNode("sky")->isEnabled());
	EXPECT_FALSE(session->level().scene()->findNode("sky_child")->isEnabled());
	EXPECT_EQ(session->level().boostParticle(), "boost_a.prs");

	// One effect on each rise of "boost" from 0, below the player at the pivot.
	hgr::Node* root = session->level().playerNode();
	const auto effects = [root]() {
		std::vector<hgr::Node*> found;
		for (hgr::Node* n = root->getFirstChild(); n; n = n->getNextSibling())
			if (n->getClassId() == hgr::Node::NODE_PARTICLESYSTEM)
				found.push_back(n);
		return found;
	};
	lumaroll::SceneWorld* world = session->level().world();
	world->setVariable("boost", 1.f);
	frame(*session, 100);
	ASSERT_EQ(effects().size(), 1u);
	math::Matrix3x4 atPivot(1.f);
	atPivot.setTranslation(player->pivotPoint());
	EXPECT_TRUE(matrixNear(effects()[0]->getTransform(), atPivot));
	EXPECT_NE(player->pivotPoint().y, 0.f); // the body's centre, above the model's origin
	frame(*session, 100);
	EXPECT_EQ(effects().size(), 1u) << "boost staying 1";
	world->setVariable("boost", 0.f);
	frame(*session, 100);
	world->setVariable("boost", 1.f);
	frame(*session, 100);
	EXPECT_EQ(effects().size(), 2u) << "boost back to 1";

	// Each lives 3 seconds of game time.
	for (int i = 0; i < 28; ++i)
		frame(*session, 100);
	EXPECT_EQ(effects().size(), 1u) << "after 3.1 s and 2.9 s";
	for (int i = 0; i < 3; ++i)
		frame(*session, 100);
	EXPECT_EQ(effects().size(), 0u);
}

TEST_F(SetupPlayerTest, ObjectShadowsAreCastUnlessHiddenHigh) {
	SceneWriter level = test::testLevelScene();
	test::LevelFixtures parts(level);
	parts.mesh("floor", test::floorTriangles(5000.f, 0.f));
	level.dummy("high").position(0.f, 500.f, 0.f);
	level.userProperty("high", "load=props,lever\na01=nop");
	level.dummy("hidden").position(1000.f, 500.f, 0.f);
	level.userProperty("hidden", "load=props,lever\na01=nop\nshadow=0");
	auto session = start(level);
	lumaroll::Player* player = session->level().player();
	ASSERT_NE(player, nullptr) << startErrors;
	hgr::Scene* scene = session->level().scene();

	// Every shadow mesh of an object is registered, which moves it below
	// the scene; the mesh below one of them stays with it.
	std::vector<hgr::Node*> shadows;
	for (hgr::Node* n = scene->getFirstChild(); n; n = n->getNextSibling())
		if (lumaroll::isShadowMesh(n) && nodeName(n) != "shadow_plimbo")
			shadows.push_back(n);
	EXPECT_EQ(shadows.size(), 4u); // the three of "high", the own one of "hidden"
	EXPECT_EQ(nodeName(scene->findNode("knob")->getParent()), "base_shadow");

	// 500 above the floor the shadow of the "shadow=0" object hides; the
	// others are placed on the floor (at the first frame's step).
	frame(*session);
	std::multiset<std::string> shown, hidden;
	for (hgr::Node* shadow : shadows)
		(shadow->isEnabled() ? shown : hidden).insert(nodeName(shadow));
	EXPECT_EQ(shown, (std::multiset<std::string>{"Lever_Shadow", "base_shadow", "lever_shadow"}));
	EXPECT_EQ(hidden, (std::multiset<std::string>{"Lever_Shadow"}));
}

TEST_F(SetupPlayerTest, BoostParticleIsTheFirstMatchInNameOrder) {
	const std::string folder = dir / "particles";
	test::makeDirs(folder);
	for (const char* name : {"zz_boost.prs", "boost_b.prs", "Boost_c.PRS", "boost_a.prs.bak", "boost.txt", "spark.prs"})
		ASSERT_TRUE(test::writeFile(folder + "/" + name, "x"));
	EXPECT_EQ(lumaroll::boostParticleFile(folder + "/"), "Boost_c.PRS"); // byte order: capitals first
	ASSERT_EQ(std::remove((folder + "/Boost_c.PRS").c_str()), 0);
	ASSERT_TRUE(test::writeFile(folder + "/boost_a.prs", "x"));
	EXPECT_EQ(lumaroll::boostParticleFile(folder + "/"), "boost_a.prs");
	EXPECT_EQ(lumaroll::boostParticleFile(dir / "nowhere/"), "");
}

TEST_F(SetupPlayerTest, TakingTheBallOutLeavesTheLevelAsItWas) {
	// What a failure after the model was put in does before the failure
	// passes on (a model that is no scene at all: SetupProgramTest).
	SceneWriter level = test::testLevelScene();
	level.dummy("crate");
	level.userProperty("crate", "load=props,lever\na01=nop");
	auto session = start(level);
	const lumaroll::RunningLevel& running = session->level();
	ASSERT_NE(running.player(), nullptr) << startErrors;
	ASSERT_NE(running.scene()->findNode("player"), nullptr);
	lumaroll::SceneWorld* world = running.world();
	ASSERT_FALSE(world->extraAnimationSets.empty());
	ASSERT_NE(world->getTriggerState("T_plimbo_lookat_eyes_anim01"), -1);

	session->setup().takePlayerOut();
	EXPECT_EQ(running.player(), nullptr);
	EXPECT_EQ(running.playerNode(), nullptr);
	EXPECT_EQ(running.scene()->findNode("player"), nullptr);
	EXPECT_EQ(running.scene()->findNode("plimbo"), nullptr);
	EXPECT_EQ(running.scene()->findNode("shadow_plimbo"), nullptr); // moved below the scene by the analysis
	EXPECT_TRUE(world->extraAnimationSets.empty());
	EXPECT_EQ(world->getTriggerState("T_plimbo_lookat_eyes_anim01"), -1);
	EXPECT_EQ(world->findNode("G_ballforms"), nullptr);
	// The level's own nodes stay, the object's shadows among them.
	EXPECT_NE(running.scene()->findNode("lever_shadow"), nullptr);
	EXPECT_NE(running.scene()->findNode("crate"), nullptr);

	// The level goes on with the free camera.
	const float z = session->view().freeView().position.z;
	platform.keys.press(SDL_SCANCODE_W);
	frame(*session, 100);
	platform.keys.release(SDL_SCANCODE_W);
	EXPECT_NEAR(session->view().freeView().position.z, z + 40.f, 1e-3f);
}

} // namespace
