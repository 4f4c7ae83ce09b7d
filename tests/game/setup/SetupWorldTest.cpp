// The world set-up of a level session, in-process on the offscreen window:
// library-object scripts, variables, the "logic:" line, collectables, the
// particle-effect callback and its timed effects, pressure on the pads, water
// in every session.
#include "SetupTestHelpers.h"

#include "input/Controllers.h"
#include "support/VirtualPad.h"

#include <hgr/ParticleSystem.h>

#include <gtest/gtest.h>

#include <vector>

using setuptest::linesStartingWith;
using setuptest::matrixNear;
using test::SceneWriter;

namespace {

class SetupWorldTest : public setuptest::SessionTest {
protected:
	std::vector<hgr::Node*> particleSystems(hgr::Scene* scene) const {
		std::vector<hgr::Node*> found;
		for (hgr::Node* n = scene; n; n = n->next(scene))
			if (n->getClassId() == hgr::Node::NODE_PARTICLESYSTEM)
				found.push_back(n);
		return found;
	}
};

TEST_F(SetupWorldTest, ThisInAnObjectsScriptNamesTheObject) {
	struct Case {
		const char* object;
		const char* text;
		const char* variable; // set by the object's script
	};
	const Case cases[] = {
		{"d1", "load=box,box_a\na01=set,this", "d1"},			   // at the end of the text
		{"d2", "load=box,box_a\na01=set,this,1", "d2"},			   // before ','
		{"d3", "load=box,box_a\na01=set,this\na02=nop", "d3"},	   // before '\n'
		{"d4", "load=box,box_a\r\na01=set,this\r\na02=nop", "d4"}, // before '\r'
		{"d5", "load=box,box_a\na01=set,thisway", "thisway"},	   // a longer word stays
		{"d6", "load=box,box_a\na01=set,this_2", "this_2"},
	};
	SceneWriter level = test::testLevelScene();
	for (const Case& c : cases) {
		level.dummy(c.object);
		level.userProperty(c.object, c.text);
	}
	auto session = start(level);
	lumaroll::SceneWorld* world = session->level().world();
	for (const Case& c : cases) {
		world->activateTrigger(std::string("T_") + c.object);
		EXPECT_TRUE(world->hasVariable(c.variable)) << c.object;
		if (std::string(c.variable) != c.object) {
			EXPECT_FALSE(world->hasVariable(c.object)) << c.object;
		}
	}
}

TEST_F(SetupWorldTest, OverridesComeAfterTheMenuDefault) {
	struct Case {
		const char* name;
		bool menu;
		std::vector<std::pair<std::string, float>> vars;
		float attraction, a;
	} cases[] = {
		{"menu", true, {}, 1.f, 0.f},
		{"menu with attraction=0", true, {{"attraction", 0.f}}, 0.f, 0.f},
		{"a=1 then a=2", false, {{"a", 1.f}, {"a", 2.f}}, 0.f, 2.f},
	};
	for (const Case& c : cases) {
		options.menu = c.menu;
		options.vars = c.vars;
		auto session = start(test::testLevelScene());
		EXPECT_EQ(session->level().world()->getVariable("attraction"), c.attraction) << c.name;
		EXPECT_EQ(session->level().world()->getVariable("a"), c.a) << c.name;
	}
}

TEST_F(SetupWorldTest, LogicLineListsAtMostTenWarnings) {
	SceneWriter level = test::testLevelScene();
	std::string script;
	for (int i = 1; i <= 12; ++i)
		script += "a" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "=bogus\n";
	level.dummy("T_broken");
	level.userProperty("T_broken", script);
	auto session = start(level);
	EXPECT_NE(startOutput.find("\nlogic: 1 triggers, 12 warnings\n  warning: T_broken.a"), std::string::npos)
		<< startOutput;
	EXPECT_EQ(linesStartingWith(startOutput, "  warning: "), 10) << startOutput;
}

TEST_F(SetupWorldTest, ObjectScriptIsRegisteredOnce) {
	SceneWriter level = test::testLevelScene();
	level.dummy("switch");
	level.userProperty("switch", "load=box,box_a\nstate=2\na01=add,count,1");
	level.dummy("crate"); // a whole model keeps the trigger of its placeholder
	level.userProperty("crate", "load=box\nstate=2\na01=add,crates,1");
	auto session = start(level);
	EXPECT_NE(startOutput.find("logic: 2 triggers, 0 warnings\n"), std::string::npos) << startOutput;
	lumaroll::SceneWorld* world = session->level().world();
	EXPECT_EQ(world->getTriggerState("switch"), -1);
	EXPECT_EQ(world->getTriggerState("T_switch"), 2);
	EXPECT_EQ(world->getTriggerState("crate"), 2);
	EXPECT_EQ(world->findNode("switch"), session->level().scene()->findNode("switch"));
	EXPECT_EQ(world->findNode("switch")->getClassId(), hgr::Node::NODE_MESH);

	frame(*session);
	EXPECT_EQ(world->getVariable("count"), 1.f);
	EXPECT_EQ(world->getVariable("crates"), 1.f);
}

TEST_F(SetupWorldTest, CollectablesCountEachTriggerOnce) {
	SceneWriter level = test::testLevelScene();
	level.dummy("coin");
	level.userProperty("coin", "load=box,box_a\na01=nop\nitem=collectable");
	level.dummy("T_gem");
	level.userProperty("T_gem", "a01=nop\nitem=collectable");
	level.dummy("T_door");
	level.userProperty("T_door", "a01=nop");
	auto session = start(level);
	EXPECT_EQ(session->level().collectablesTotal(), 2);
}

TEST_F(SetupWorldTest, ParticleEffectLivesEightSecondsOfGameTime) {
	test::writeParticleFile(data, "spark.prs");
	SceneWriter level = test::testLevelScene();
	level.dummy("holder").position(0.f, 100.f, 0.f);
	level.dummy("T_x").transform(SceneWriter::rotationZ(0.4f, 30.f, 40.f, 50.f)).parent("holder");
	level.dummy("T_fire");
	level.userProperty("T_fire", "state=2\na01=particlefx,spark.prs,T_x");
	auto session = start(level);
	hgr::Scene* scene = session->level().scene();
	frame(*session);
	std::vector<hgr::Node*> systems = particleSystems(scene);
	ASSERT_EQ(systems.size(), 1u);
	EXPECT_EQ(systems[0]->getParent(), static_cast<hgr::Node*>(scene));
	EXPECT_TRUE(matrixNear(systems[0]->getWorldTransform(), scene->findNode("T_x")->getWorldTransform()));

	// Paused for 20 seconds: no game time passes.
	overlay.setMenuOpen(true);
	for (int i = 0; i < 200; ++i)
		frame(*session, 100);
	EXPECT_EQ(particleSystems(scene).size(), 1u);
	overlay.setMenuOpen(false);
	for (int i = 0; i < 75; ++i)
		frame(*session, 100);
	EXPECT_EQ(particleSystems(scene).size(), 1u) << "after 7.5 s";
	for (int i = 0; i < 10; ++i)
		frame(*session, 100);
	EXPECT_EQ(particleSystems(scene).size(), 0u) << "after 8.5 s";
}

TEST_F(SetupWorldTest, EffectThatFailsIsReportedOncePerName) {
	test::writeParticleFile(data, "spark.prs");
	auto session = start(test::testLevelScene());
	lumaroll::SceneWorld* world = session->level().world();
	hgr::Node* at = session->level().scene()->findNode("D_start");
	testing::internal::CaptureStdout(); // the engine's own note of each exception
	testing::internal::CaptureStderr();
	for (int i = 0; i < 100; ++i)
		world->particleEffectCallback("missing.prs", at);
	world->particleEffectCallback("gone.prs", at);
	world->particleEffectCallback("spark.prs", at);
	const std::string err = testing::internal::GetCapturedStderr();
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(linesStartingWith(err, "particles 'missing.prs': "), 1) << err;
	EXPECT_EQ(linesStartingWith(err, "particles 'gone.prs': "), 1) << err;
	EXPECT_EQ(linesStartingWith(err, "particles "), 2) << err;
	EXPECT_EQ(particleSystems(session->level().scene()).size(), 1u);
}

TEST_F(SetupWorldTest, PressureRumblesThePads) {
	// The session's own controller manager and settings store: the logic's
	// pressure rumbles the pads of the manager it was given.
	lumaroll::Controllers pads;
	lumaroll::Settings settings;
	settings.setBool("controls.vibration", true);
	app.controllers = &pads;
	app.settings = &settings;
	ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
	test::VirtualPad pad;
	ASSERT_TRUE(pad.attached()) << pad.error();
	SceneWriter level = test::testLevelScene();
	level.dummy("T_press");
	level.userProperty("T_press", "state=2\na01=pressure,0.7");
	auto session = start(level);
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
	frame(*session);
	ASSERT_EQ(pad.rumbles.size(), 1u);
	EXPECT_EQ(pad.rumbles[0], (std::pair<Uint16, Uint16>(0x6000, 0xA000)));
	pad.detach();
	pads.closeDetached();
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST_F(SetupWorldTest, WaterReflectsInTheMenuToo) {
	options.menu = true;
	auto session = start(test::waterLevel(0.f, 500.f));
	frame(*session);
	lumaroll::WaterReflection* water = session->level().water();
	ASSERT_NE(water, nullptr);
	ASSERT_NE(water->reflectionTarget(), nullptr);
	EXPECT_EQ(session->level().graphicsContext()->reflectionMap.ptr(), water->reflectionTarget());
}

} // namespace
