// The world's work on writer-made scenes: links, unlinks, animation and
// transform jobs, texture scrolls, and what it prints when a name is missing.
#include "LogicTestHelpers.h"
#include "support/TriggerScript.h"

#include <hgr/TransformAnimationSet.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using logictest::captured;
using logictest::loadWorld;
using logictest::LoadedWorld;
using logictest::Output;
using test::SceneWriter;
using test::TriggerScript;

// Nodes: box (at the origin) with its child lid; door at x 10 with its
// children handle and knob; anim; figure. No animations.
SceneWriter jobScene() {
	SceneWriter w;
	w.node("box");
	w.node("lid").parent("box").position(0.f, 5.f, 0.f);
	w.node("door").position(10.f, 0.f, 0.f);
	w.node("handle").parent("door");
	w.node("knob").parent("door");
	w.node("anim");
	w.node("figure");
	return w;
}

// The job scene with an animation per node, under the node's name: anim's x
// follows the time from 0 to 4 s, figure stands at (1, 1, 1), the node open
// (elsewhere) rises to y 8 in a second; the others stand still.
SceneWriter animatedScene() {
	SceneWriter w = jobScene();
	w.node("open").position(0.f, -50.f, 0.f);
	w.animation("anim").timedPositions({{0, 0, 0, 0}, {4, 0, 0, 4}}).length(4.f);
	w.animation("open").timedPositions({{0, 0, 0, 0}, {0, 8, 0, 1}}).length(1.f);
	w.animation("figure").timedPositions({{1, 1, 1, 0}, {1, 1, 1, 1}}).length(1.f);
	w.animationsForAllNodes();
	return w;
}

// Runs a script on a node of the scene once, at once.
void runScript(LoadedWorld& l, const std::string& trigger, const TriggerScript& script) {
	l.world->addTrigger(trigger, script);
	l.world->activateTrigger(trigger);
}

testing::AssertionResult near(const math::Vector3& v, float x, float y, float z, float tolerance = 1e-3f) {
	if (std::fabs(v.x - x) <= tolerance && std::fabs(v.y - y) <= tolerance && std::fabs(v.z - z) <= tolerance)
		return testing::AssertionSuccess();
	return testing::AssertionFailure() << "(" << v.x << ", " << v.y << ", " << v.z << ") is not (" << x << ", " << y
									   << ", " << z << ")";
}

std::vector<std::string> childNames(hgr::Node* parent) {
	std::vector<std::string> names;
	for (hgr::Node* c = parent->getFirstChild(); c; c = c->getNextSibling())
		names.push_back(c->getName().c_str());
	return names;
}

using logictest::EdgeCase;

class Jobs : public testing::TestWithParam<EdgeCase> {};

TEST_P(Jobs, Behave) {
	GetParam().check();
}

INSTANTIATE_TEST_SUITE_P(
	World, Jobs,
	testing::Values(
		EdgeCase{"MoveReachesItsVectorAndFinishesWithTheJob",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 runScript(l, "T_move", TriggerScript().a("moveobject,box,box,0,100,0,1,1").a("set,moved,1"));
					 const int references = l.node("box")->referenceCount();
					 // Triggers step before jobs: the waiting action finishes in the first
					 // update that starts with its job done (the world's first job is 0).
					 int jobDone = 0, actionDone = 0;
					 for (int frame = 1; frame <= 70 && !actionDone; ++frame) {
						 l.world->update(1.f / 60.f);
						 if (l.world->getVariable("moved") == 1.f)
							 actionDone = frame;
						 if (!jobDone && l.world->isTransformDone(0))
							 jobDone = frame;
						 if (frame == 60) {
							 EXPECT_TRUE(near(l.node("box")->getPosition(), 0.f, 100.f, 0.f));
						 }
					 }
					 EXPECT_GE(jobDone, 60);
					 EXPECT_EQ(actionDone, jobDone + 1);
					 EXPECT_EQ(l.world->getTriggerState("T_move"), 1);
					 for (int frame = 0; frame < 590; ++frame)
						 l.world->update(1.f / 60.f);
					 EXPECT_EQ(l.node("box")->referenceCount(), references); // the job holds it still
					 for (int frame = 0; frame < 20; ++frame)
						 l.world->update(1.f / 60.f);
					 EXPECT_EQ(l.node("box")->referenceCount(), references - 1);
					 EXPECT_TRUE(near(l.node("box")->getPosition(), 0.f, 100.f, 0.f));
				 }},
		EdgeCase{"QuarterTurnAboutYGivesTheExactMatrix",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 l.world->startTransform(lumaroll::TransformKind::Rotate, "box", "", 0.f, 90.f, 0.f, 1.f);
					 for (int frame = 0; frame < 10; ++frame)
						 l.world->update(0.1f);
					 const math::Matrix3x4& m = l.node("box")->getTransform();
					 const float expected[3][4] = {{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 0}};
					 for (int r = 0; r < 3; ++r)
						 for (int c = 0; c < 4; ++c)
							 EXPECT_NEAR(m.m[r][c], expected[r][c], 1e-4f) << r << "," << c;
				 }},
		EdgeCase{"ScaleMultipliesTheAxesAndKeepsTheTranslation",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 l.world->startTransform(lumaroll::TransformKind::Scale, "door", "", 1.f, 0.f, -0.5f, 1.f);
					 l.world->update(1.f);
					 const math::Matrix3x4& m = l.node("door")->getTransform();
					 EXPECT_FLOAT_EQ(m.m[0][0], 2.f);
					 EXPECT_FLOAT_EQ(m.m[1][1], 1.f);
					 EXPECT_FLOAT_EQ(m.m[2][2], 0.5f);
					 EXPECT_FLOAT_EQ(m.m[0][3], 10.f);
				 }},
		EdgeCase{"ZeroDurationMovesTheWholeVectorAtOnce",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 const int id =
						 l.world->startTransform(lumaroll::TransformKind::Move, "box", "lid", 3.f, 0.f, 0.f, 0.f);
					 EXPECT_FALSE(l.world->isTransformDone(id));
					 l.world->update(0.5f);
					 EXPECT_TRUE(near(l.node("lid")->getPosition(), 3.f, 5.f, 0.f));
					 EXPECT_TRUE(near(l.node("box")->getPosition(), 0.f, 0.f, 0.f));
					 EXPECT_TRUE(l.world->isTransformDone(id));
				 }},
		EdgeCase{"ANewJobOfTheSameKindEndsTheOldOne",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 const int first =
						 l.world->startTransform(lumaroll::TransformKind::Move, "box", "", 0.f, 10.f, 0.f, 1.f);
					 const int turn =
						 l.world->startTransform(lumaroll::TransformKind::Rotate, "box", "", 0.f, 10.f, 0.f, 1.f);
					 const int second =
						 l.world->startTransform(lumaroll::TransformKind::Move, "box", "", 10.f, 0.f, 0.f, 1.f);
					 EXPECT_TRUE(l.world->isTransformDone(first));
					 EXPECT_FALSE(l.world->isTransformDone(turn));
					 EXPECT_FALSE(l.world->isTransformDone(second));
					 EXPECT_NE(first, second);
					 EXPECT_TRUE(l.world->isTransformDone(12345));
					 l.world->update(1.f);
					 EXPECT_TRUE(near(l.node("box")->getPosition(), 10.f, 0.f, 0.f));
				 }},
		EdgeCase{"LoopWrapsIntoItsRangeAtTheSampledTransform",
				 [] {
					 LoadedWorld l = loadWorld(animatedScene());
					 const int id = l.world->playAnimation("anim", "anim", true, 2.f, 4.f);
					 l.world->update(1.9f);
					 EXPECT_TRUE(near(l.node("anim")->getPosition(), 3.9f, 0.f, 0.f, 1e-4f));
					 l.world->update(0.3f);
					 EXPECT_TRUE(near(l.node("anim")->getPosition(), 2.2f, 0.f, 0.f, 1e-4f));
					 EXPECT_FALSE(l.world->isAnimationDone(id));
				 }},
		EdgeCase{"EndBelowZeroPlaysToTheAnimationsEnd",
				 [] {
					 LoadedWorld l = loadWorld(animatedScene());
					 const int id = l.world->playAnimation("anim", "anim", false, 1.f, -1.f);
					 l.world->update(2.9f);
					 EXPECT_FALSE(l.world->isAnimationDone(id));
					 l.world->update(0.2f);
					 EXPECT_TRUE(l.world->isAnimationDone(id));
					 EXPECT_TRUE(near(l.node("anim")->getPosition(), 4.f, 0.f, 0.f, 1e-4f));
				 }},
		EdgeCase{"EndEqualToStartIsDoneAtOnceAndErasedTenSecondsLater",
				 [] {
					 LoadedWorld l = loadWorld(animatedScene());
					 const int references = l.node("anim")->referenceCount();
					 const int id = l.world->playAnimation("anim", "anim", false, 2.f, 2.f);
					 EXPECT_FALSE(l.world->isAnimationDone(id));
					 l.world->update(0.1f);
					 EXPECT_TRUE(l.world->isAnimationDone(id));
					 for (int frame = 0; frame < 99; ++frame)
						 l.world->update(0.1f);
					 EXPECT_EQ(l.node("anim")->referenceCount(), references + 1);
					 l.world->update(0.1f);
					 l.world->update(0.1f);
					 EXPECT_EQ(l.node("anim")->referenceCount(), references);
				 }},
		EdgeCase{"NamedAnimationPlaysOnAnotherNode",
				 [] {
					 LoadedWorld l = loadWorld(animatedScene());
					 l.world->playAnimation("door", "open", false, 0.f, -1.f);
					 l.world->update(1.f);
					 EXPECT_TRUE(near(l.node("door")->getPosition(), 0.f, 8.f, 0.f));
				 }},
		EdgeCase{"TheNodesOwnAnimationServesWhenTheNamedOneIsMissing",
				 [] {
					 LoadedWorld l = loadWorld(animatedScene());
					 Output o =
						 captured([&] { EXPECT_GE(l.world->playAnimation("figure", "wave", false, 0.f, -1.f), 0); });
					 l.world->update(0.5f);
					 EXPECT_TRUE(near(l.node("figure")->getPosition(), 1.f, 1.f, 1.f));
					 EXPECT_EQ(o.out, "");
				 }},
		EdgeCase{"AnExtraSetBlendsInOverAnEighthOfASecond",
				 [] {
					 LoadedWorld l = loadWorld(animatedScene());
					 SceneWriter model;
					 model.node("eyes");
					 model.node("blink");
					 model.animation("blink").timedPositions({{0, 0, 0, 0}, {0, 0, 0, 1}}).length(1.f);
					 model.animationsForAllNodes();
					 test::FakeScene modelScene = test::loadFakeScene(model);
					 l.world->extraAnimationSets.push_back(modelScene.scene->getAnimations());
					 l.node("door")->setPosition(math::Vector3(10.f, 0.f, 0.f));
					 l.world->playAnimation("door", "blink", false, 0.f, -1.f);
					 l.world->update(0.03f); // t = 1/4: smoothstep 0.15625
					 EXPECT_TRUE(near(l.node("door")->getPosition(), 10.f * (1.f - 0.15625f), 0.f, 0.f, 1e-4f));
					 l.world->update(0.03f); // t = 1/2: 0.5
					 EXPECT_TRUE(near(l.node("door")->getPosition(), 5.f, 0.f, 0.f, 1e-4f));
					 l.world->update(0.06f); // t = 1
					 EXPECT_TRUE(near(l.node("door")->getPosition(), 0.f, 0.f, 0.f, 1e-4f));
				 }},
		EdgeCase{"LinkToThePresentParentKeepsTheOrder",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 const std::vector<std::string> before = childNames(l.node("door"));
					 l.world->link("door", {"handle", "knob"});
					 EXPECT_EQ(childNames(l.node("door")), before);
					 l.world->link("box", {"handle"});
					 EXPECT_EQ(l.node("handle")->getParent(), l.node("box"));
				 }},
		EdgeCase{"LinkBelowItselfIsRefusedAndTheTreeStays",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 const std::vector<std::string> doorChildren = childNames(l.node("door"));
					 const std::vector<std::string> top = childNames(l.level.scene);
					 for (int call = 0; call < 2; ++call) {
						 const Output o = captured([&] {
							 runScript(
								 l, "T_bad",
								 TriggerScript().a("link,door,door").a("link,handle,door").a("link,door,scene,box"));
						 });
						 EXPECT_EQ(o.err,
								   "[world] link: 'door' would become its own ancestor\n"
								   "[world] link: 'door' would become its own ancestor\n"
								   "[world] link: 'scene' would become its own ancestor\n");
					 }
					 EXPECT_EQ(childNames(l.node("door")).size(), doorChildren.size() + 1); // box went below door
					 EXPECT_EQ(l.node("box")->getParent(), l.node("door"));
					 EXPECT_EQ(l.node("handle")->getParent(), l.node("door"));
					 EXPECT_EQ(l.node("door")->getParent(), l.level.scene.ptr());
					 EXPECT_EQ(top.size(), childNames(l.level.scene).size() + 1);
				 }},
		EdgeCase{"MissingLinkNodesAreReportedOnEveryCall",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 const Output o = captured([&] {
						 for (int call = 0; call < 2; ++call) {
							 l.world->link("nowhere", {"box"});
							 l.world->link("box", {"ghost", "handle"});
						 }
					 });
					 EXPECT_EQ(o.err,
							   "[world] link: parent 'nowhere' does not exist\n[world] link: 'ghost' does not exist\n"
							   "[world] link: parent 'nowhere' does not exist\n[world] link: 'ghost' does not exist\n");
					 EXPECT_EQ(l.node("handle")->getParent(), l.node("box"));
				 }},
		EdgeCase{"MissingAnimationsAreReportedOncePerKeyOnStdout",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 const Output o = captured([&] {
						 for (int call = 0; call < 2; ++call) {
							 EXPECT_EQ(l.world->playAnimation("ghost", "anim", false, 0.f, -1.f), -1);
							 EXPECT_EQ(l.world->playAnimation("box", "wave", false, 0.f, -1.f), -1);
							 EXPECT_EQ(l.world->playAnimation("box", "bow", false, 0.f, -1.f), -1);
						 }
					 });
					 EXPECT_EQ(o.out,
							   "[world] animation: node 'ghost' does not exist\n"
							   "[world] animation 'wave' for node 'box' not found\n"
							   "[world] animation 'bow' for node 'box' not found\n");
					 EXPECT_EQ(o.err, "");
				 }},
		EdgeCase{"MissingTransformObjectsAreReportedOncePerKeyOnStderr",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 const Output o = captured([&] {
						 runScript(
							 l, "T_a",
							 TriggerScript().a("moveobject,ghost,,1").a("moveobject,ghost").a("rotateobject,spook"));
					 });
					 EXPECT_EQ(o.err,
							   "[world] transform: object 'ghost' does not exist\n"
							   "[world] transform: object 'spook' does not exist\n");
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 1);
				 }},
		EdgeCase{"NonFiniteTransformsAreRefused",
				 [] {
					 LoadedWorld l = loadWorld(jobScene());
					 const Output o = captured([&] {
						 runScript(l, "T_a",
								   TriggerScript()
									   .a("moveobject,box,box,nan,0,0,1,1")
									   .a("moveobject,box,box,0,inf")
									   .a("scaleobject,door,door,1e39")
									   .a("rotateobject,door,door,1,0,0,nan")
									   .a("set,after,1"));
						 l.world->update(1.f);
					 });
					 EXPECT_EQ(o.err,
							   "[world] transform: vector of 'box' is not finite\n"
							   "[world] transform: vector of 'door' is not finite\n");
					 EXPECT_EQ(l.world->getVariable("after"), 1.f);
					 EXPECT_TRUE(near(l.node("box")->getPosition(), 0.f, 0.f, 0.f));
					 EXPECT_EQ(l.node("door")->getTransform().m[0][0], 1.f);
				 }},
		EdgeCase{"ThisNamesTheNodeCarryingTheScript",
				 [] {
					 SceneWriter w = jobScene();
					 w.node("");
					 w.userProperty("box", TriggerScript().state(0).a("unlink,this"));
					 w.userProperty("door", TriggerScript().state(0).a("unlink, this"));
					 w.userProperty("anim",
									TriggerScript().state(0).a("moveobject,this,this,1,0,0,0").a("link,this,figure"));
					 LoadedWorld l = loadWorld(w);
					 const size_t top = childNames(l.level.scene).size();
					 for (const char* t : {"box", "door", "anim"})
						 l.world->activateTrigger(t);
					 l.world->update(0.1f);
					 EXPECT_FALSE(l.inScene("box"));
					 EXPECT_FALSE(l.inScene("door"));
					 EXPECT_EQ(childNames(l.level.scene).size(),
							   top - 3); // box, door and figure; the unnamed node stays
					 EXPECT_TRUE(near(l.node("anim")->getPosition(), 1.f, 0.f, 0.f));
					 EXPECT_EQ(l.node("figure")->getParent(), l.node("anim"));
					 l.world->unlink({"this"}); // outside any script: a node named "this", of which there is none
					 EXPECT_EQ(childNames(l.level.scene).size(), top - 3);
				 }}),
	logictest::edgeCaseName);

// A water mesh of two primitives with a child mesh of one: every primitive of
// the subtree gets the scrolled offset.
TEST(TextureScroll, WritesTheOffsetToEveryPrimitiveAndWraps) {
	SceneWriter w;
	w.material("waves", "water.fx");
	for (int p = 0; p < 3; ++p)
		w.primitive(0)
			.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0, 1, 0, 0, 0, 1, 0})
			.indices({0, 1, 2});
	w.mesh("water").primitives({0, 1});
	w.mesh("foam").primitives({2}).parent("water");
	LoadedWorld l = loadWorld(w);
	l.level.context->log.clear();
	l.world->addTrigger("T_scroll", TriggerScript().a("moveuv,water,water,0.5,0,1").a("set,started,1"));
	l.world->activateTrigger("T_scroll");
	EXPECT_EQ(l.world->getVariable("started"), 1.f);
	std::vector<float> us;
	for (int frame = 1; frame <= 8; ++frame) {
		l.level.context->log.clear();
		l.world->update(0.25f);
		const std::vector<const test::FakeCall*> set = [&] {
			std::vector<const test::FakeCall*> found;
			for (const test::FakeCall& c : l.level.context->log.calls)
				if (c.what.find("setVector TEX0_OFFSET") != std::string::npos)
					found.push_back(&c);
			return found;
		}();
		ASSERT_EQ(set.size(), 3u) << frame;
		for (const test::FakeCall* c : set) {
			EXPECT_FLOAT_EQ(c->vector.x, set.front()->vector.x);
			EXPECT_EQ(c->vector.y, 0.f);
			EXPECT_EQ(c->vector.z, 0.f);
			EXPECT_EQ(c->vector.w, 0.f);
		}
		us.push_back(set.front()->vector.x);
	}
	EXPECT_EQ(us, (std::vector<float>{0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f, 0.f}));

	// A new scroll of the same node goes on from there, and the old one stops.
	l.world->startTransform(lumaroll::TransformKind::ScrollTexture, "water", "", 0.f, -1.f, 0.f, 4.f);
	l.level.context->log.clear();
	l.world->update(1.f);
	const std::vector<const test::FakeCall*> set = l.level.context->log.find("waves.setVector TEX0_OFFSET");
	ASSERT_FALSE(set.empty()) << testing::PrintToString(l.level.context->log.texts());
	EXPECT_EQ(set.front()->vector.x, 0.f);
	EXPECT_FLOAT_EQ(set.front()->vector.y, -0.25f);
}

} // namespace
