// The registry and the actions of both families, run by a trigger against a
// world that records every call.
#include "LogicTestHelpers.h"
#include "logic/Action.h"
#include "logic/Trigger.h"
#include "support/FakeWorld.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using test::FakeWorld;
using test::TriggerScript;

using logictest::EdgeCase;
using logictest::ListRun;

class Actions : public testing::TestWithParam<EdgeCase> {};

TEST_P(Actions, Behave) {
	GetParam().check();
}

// A test action at a01, markers at a02 ("r" = 2) and a03 ("r" = 3).
TriggerScript testThenMarkers(const std::string& test) {
	return TriggerScript().a(test).a("set,r,2").a("set,r,3");
}

INSTANTIATE_TEST_SUITE_P(
	Flow, Actions,
	testing::Values(
		EdgeCase{"EqualWithinTheToleranceGoesOn",
				 [] {
					 ListRun run(testThenMarkers("equal,1,1.00005,3"));
					 run.frame(0.1f);
					 EXPECT_TRUE(run.called("setVariable r 2"));
				 }},
		EdgeCase{"EqualBeyondTheToleranceJumpsNextFrame",
				 [] {
					 ListRun run(testThenMarkers("equal,1,1.0002,3"));
					 run.frame(0.1f);
					 EXPECT_EQ(run.world.callsStartingWith("setVariable").size(), 0u);
					 run.frame(0.1f);
					 EXPECT_EQ(run.world.callsStartingWith("setVariable"),
							   (std::vector<std::string>{"setVariable r 3"}));
				 }},
		EdgeCase{"TestsCompareNumbersAndVariables",
				 [] {
					 struct {
						 const char* test;
						 bool passes;
					 } rows[] = {{"less,a,b", true},
								 {"less,b,a", false},
								 {"less,a,a", false},
								 {"greater,b,a", true},
								 {"greater,a,a", false},
								 {"equal,b,b", true},
								 {"notequal,a,1.0002", true},
								 {"notequal,a,1.00005", false},
								 {"notequal,b,2", false},
								 {"equal,c", true},
								 {"less,a", false}};
					 for (const auto& row : rows) {
						 ListRun run(testThenMarkers(row.test));
						 run.world.variables = {{"a", 1.f}, {"b", 2.f}};
						 run.frame(0.f);
						 EXPECT_EQ(run.called("setVariable r 2"), row.passes) << row.test;
					 }
				 }},
		EdgeCase{"TestWithoutElseWaitsOnItself",
				 [] {
					 ListRun run(testThenMarkers("greater,flag,0"));
					 EXPECT_EQ(run.framesUntilDone(0.1f, 5), 0);
					 run.world.variables["flag"] = 1.f;
					 EXPECT_TRUE(run.frame(0.1f));
				 }},
		EdgeCase{
			"DivisionByZeroKeepsTheValue",
			[] {
				ListRun run(
					TriggerScript().a("set,v,6").a("div,v,0").a("set,w,6").a("div,w,4").a("add,n,2").a("sub,n,5").a(
						"mul,n,3"));
				run.frame(0.f);
				EXPECT_EQ(run.world.variables["v"], 6.f);
				EXPECT_EQ(run.world.variables["w"], 1.5f);
				EXPECT_EQ(run.world.variables["n"], -9.f);
			}},
		EdgeCase{"DelayReadsItsVariableOnce",
				 [] {
					 ListRun run(TriggerScript().a("delay,wait").a("nop"));
					 run.world.variables["wait"] = 1.f;
					 run.frame(0.25f);
					 run.world.variables["wait"] = 100.f;
					 EXPECT_EQ(run.framesUntilDone(0.25f), 3); // the starting frame counts
				 }},
		EdgeCase{"DelayOfZeroOrLessFinishesAtOnce",
				 [] {
					 EXPECT_EQ(ListRun(TriggerScript().a("delay")).framesUntilDone(0.1f), 1);
					 EXPECT_EQ(ListRun(TriggerScript().a("delay,-2")).framesUntilDone(0.1f), 1);
				 }},
		EdgeCase{"TimerBelowTheFrameTimeWritesZero",
				 [] {
					 ListRun run(TriggerScript().a("timer,t"));
					 run.world.variables["t"] = 0.05f;
					 EXPECT_TRUE(run.frame(0.1f));
					 EXPECT_EQ(run.world.variables["t"], 0.f);
				 }},
		EdgeCase{"TimerCountsTheVariableDown",
				 [] {
					 ListRun run(TriggerScript().a("timer,t"));
					 run.world.variables["t"] = 1.f;
					 EXPECT_FALSE(run.frame(0.25f));
					 EXPECT_EQ(run.world.variables["t"], 0.75f);
					 EXPECT_EQ(run.framesUntilDone(0.25f), 3);
				 }},
		EdgeCase{"RandomWithOneOperandIsBetweenZeroAndOne",
				 [] {
					 ListRun run(TriggerScript().a("random,v"));
					 for (int i = 0; i < 50; ++i) {
						 run.trigger.setState(lumaroll::Trigger::RunningMain);
						 run.frame(0.f);
						 EXPECT_GE(run.world.variables["v"], 0.f);
						 EXPECT_LE(run.world.variables["v"], 1.f);
					 }
				 }},
		EdgeCase{"RandomBetweenEqualBoundsIsThatBound",
				 [] {
					 ListRun run(TriggerScript().a("random,v,5,five"));
					 run.world.variables["five"] = 5.f;
					 run.frame(0.f);
					 EXPECT_EQ(run.world.variables["v"], 5.f);
				 }},
		EdgeCase{"RandomDelayWithOneOperandWaitsExactly",
				 [] {
					 EXPECT_EQ(ListRun(TriggerScript().a("randomdelay,1")).framesUntilDone(0.25f), 4);
					 EXPECT_EQ(ListRun(TriggerScript().a("randomdelay")).framesUntilDone(0.25f), 1);
				 }},
		EdgeCase{"JumpToRandomActionWithoutTargetsIsNop",
				 [] {
					 ListRun run(TriggerScript().a("jumptorandomaction").a("set,r,2"));
					 run.frame(0.f);
					 EXPECT_TRUE(run.called("setVariable r 2"));
				 }},
		EdgeCase{"JumpToRandomActionDrawsByWeight",
				 [] {
					 ListRun run(TriggerScript().a("jumptorandomaction,2,2,3").a("set,r,2").a("set,r,3"));
					 int twos = 0, threes = 0;
					 for (int i = 0; i < 30000; ++i) {
						 run.trigger.setState(lumaroll::Trigger::RunningMain);
						 run.world.calls.clear();
						 run.frame(0.f); // the jump
						 run.frame(0.f); // the target
						 twos += run.called("setVariable r 2");
						 threes += run.called("setVariable r 3") && !run.called("setVariable r 2");
					 }
					 EXPECT_EQ(twos + threes, 30000);
					 EXPECT_NEAR(double(twos) / threes, 2.0, 0.1);
				 }},
		EdgeCase{"JumpToItselfWaitsForGood",
				 [] {
					 ListRun run(TriggerScript().a("jumptoaction,1").a("set,r,2"));
					 EXPECT_EQ(run.framesUntilDone(0.1f, 20), 0);
					 EXPECT_FALSE(run.called("setVariable r 2"));
					 ListRun bare(TriggerScript().a("nop").a("jumptoaction").a("set,r,3"));
					 EXPECT_EQ(bare.framesUntilDone(0.1f, 20), 0);
				 }},
		EdgeCase{"JumpRunsItsTargetNextFrame",
				 [] {
					 ListRun run(TriggerScript().a("jumptoaction,3").a("set,r,2").a("set,r,3"));
					 run.frame(0.f);
					 EXPECT_TRUE(run.world.callsStartingWith("setVariable").empty());
					 run.frame(0.f);
					 EXPECT_EQ(run.world.callsStartingWith("setVariable"),
							   (std::vector<std::string>{"setVariable r 3"}));
				 }},
		EdgeCase{"WaitForKeyPressNeedsAReleaseFirst",
				 [] {
					 ListRun run(TriggerScript().a("waitforkeypress,lmouse").a("set,clicked,1"));
					 run.world.pressedKeys = {"lmouse"};
					 EXPECT_FALSE(run.frame(0.1f));
					 EXPECT_FALSE(run.frame(0.1f));
					 run.world.pressedKeys.clear();
					 EXPECT_FALSE(run.frame(0.1f));
					 run.world.pressedKeys = {"lmouse"};
					 EXPECT_TRUE(run.frame(0.1f));
					 EXPECT_TRUE(run.called("setVariable clicked 1"));
				 }},
		EdgeCase{"SetPersistentWritesThroughItsOwnOperation",
				 [] {
					 ListRun run(TriggerScript().a("setpersistent,p,1e3").a("set,q,p"));
					 run.frame(0.f);
					 EXPECT_TRUE(run.called("setPersistentVariable p 1000"));
					 EXPECT_TRUE(run.called("setVariable q 1000"));
				 }},
		EdgeCase{"NumberOrVariableOperands",
				 [] {
					 ListRun run(TriggerScript().a("set,a,3x").a("set,b,-").a("set,c,score").a("set,d,2.5").a("set,e"));
					 run.world.variables = {{"3x", 7.f}, {"-", 8.f}, {"score", 9.f}};
					 run.frame(0.f);
					 for (const char* call : {"setVariable a 7", "setVariable b 8", "setVariable c 9",
											  "setVariable d 2.5", "setVariable e 0"})
						 EXPECT_TRUE(run.called(call)) << call;
				 }}),
	logictest::edgeCaseName);

INSTANTIATE_TEST_SUITE_P(
	Scene, Actions,
	testing::Values(
		EdgeCase{"ActivateTriggerActivatesEveryNameInOrder",
				 [] {
					 ListRun run(TriggerScript().a("activatetrigger,T_a,T_b,T_c"));
					 EXPECT_TRUE(run.frame(0.f));
					 EXPECT_EQ(run.world.callsStartingWith("activateTrigger"),
							   (std::vector<std::string>{"activateTrigger T_a", "activateTrigger T_b",
														 "activateTrigger T_c"}));
				 }},
		EdgeCase{"EnableAndDisableTrigger",
				 [] {
					 ListRun run(TriggerScript().a("enabletrigger,T_a,T_b").a("disabletrigger,T_c"));
					 run.frame(0.f);
					 EXPECT_EQ(run.world.callsStartingWith("setTriggerEnabled"),
							   (std::vector<std::string>{"setTriggerEnabled T_a 1", "setTriggerEnabled T_b 1",
														 "setTriggerEnabled T_c 0"}));
				 }},
		EdgeCase{"ActivateRandomTriggerPicksOneOrNone",
				 [] {
					 ListRun run(TriggerScript().a("activaterandomtrigger,T_a,T_b").a("activaterandomtrigger"));
					 run.frame(0.f);
					 ASSERT_EQ(run.world.callsStartingWith("activateTrigger").size(), 1u);
				 }},
		EdgeCase{"LinkWithOneOperandLinksNoChildren",
				 [] {
					 ListRun run(TriggerScript().a("link,parent").a("link").a("link,p,a,b"));
					 run.frame(0.f);
					 EXPECT_EQ(run.world.callsStartingWith("link"),
							   (std::vector<std::string>{"link parent:", "link p: a b"}));
				 }},
		EdgeCase{
			"UnlinkPassesEveryNameEvenNone",
			[] {
				ListRun run(TriggerScript().a("unlink,a,b").a("unlink"));
				run.frame(0.f);
				EXPECT_EQ(run.world.callsStartingWith("unlink"), (std::vector<std::string>{"unlink a b", "unlink"}));
			}},
		EdgeCase{"AnimateWithWaitPlaysTheNodesAnimationToItsEnd",
				 [] {
					 ListRun run(TriggerScript().a("animate,door,1").a("set,r,2"));
					 EXPECT_FALSE(run.frame(0.1f));
					 EXPECT_TRUE(run.called("playAnimation door door 0 0 -1"));
					 EXPECT_FALSE(run.frame(0.1f));
					 run.world.animationsDone = {0};
					 EXPECT_TRUE(run.frame(0.1f));
					 EXPECT_EQ(run.world.callsStartingWith("playAnimation").size(), 1u);
					 EXPECT_TRUE(run.called("setVariable r 2"));
				 }},
		EdgeCase{"PlayAnimationOperandThreeNamesTheAnimation",
				 [] {
					 ListRun run(TriggerScript()
									 .a("playanimation,door,x,15")
									 .a("playanimation,door,open,open,15,45")
									 .a("playanimation,door,x"));
					 run.frame(0.f);
					 EXPECT_EQ(run.world.callsStartingWith("playAnimation"),
							   (std::vector<std::string>{"playAnimation door 15 0 0 -1",
														 "playAnimation door open 0 0.5 1.5",
														 "playAnimation door x 0 0 -1"}));
				 }},
		EdgeCase{"EmptyFieldsMoveTransformOperandsForward",
				 [] {
					 ListRun run(TriggerScript().a("moveobject,box,,1,2,3"));
					 run.frame(0.f);
					 EXPECT_TRUE(run.called("startTransform 0 box 1 2 3 0 1"));
				 }},
		EdgeCase{"TransformKindsAndDefaults",
				 [] {
					 ListRun run(TriggerScript()
									 .a("rotateobject,a")
									 .a("rotateto,a,s,0,90,0,2")
									 .a("scaleobject,a,,1")
									 .a("moveuv,water,w,0.5,0,4"));
					 EXPECT_TRUE(run.frame(0.f));
					 EXPECT_EQ(run.world.callsStartingWith("startTransform"),
							   (std::vector<std::string>{"startTransform 1 a  0 0 0 1", "startTransform 1 a s 0 90 0 2",
														 "startTransform 2 a 1 0 0 0 1",
														 "startTransform 3 water w 0.5 0 0 4"}));
				 }},
		EdgeCase{"WaitingTransformPollsItsJob",
				 [] {
					 ListRun run(TriggerScript().a("moveobject,box,box,0,100,0,1,1").a("set,r,2"));
					 run.world.nextJob = 7;
					 EXPECT_FALSE(run.frame(0.5f));
					 EXPECT_FALSE(run.frame(0.5f));
					 run.world.transformsDone = {7};
					 EXPECT_TRUE(run.frame(0.5f));
					 EXPECT_EQ(run.world.callsStartingWith("isTransformDone 7").size(), 3u);
					 EXPECT_EQ(run.world.callsStartingWith("startTransform").size(), 1u);
				 }},
		EdgeCase{"RefusedJobsFinishAtOnce",
				 [] {
					 ListRun run(TriggerScript().a("animate,door,1").a("moveobject,box,box,0,1,0,1,1").a("set,r,2"));
					 run.world.refuseJobs = true;
					 EXPECT_TRUE(run.frame(0.f));
					 EXPECT_TRUE(run.world.callsStartingWith("is").empty());
				 }},
		EdgeCase{"ReversedFadeFallsToZeroOverItsDuration",
				 [] {
					 ListRun run(TriggerScript().a("fade,2,1,1"));
					 EXPECT_EQ(run.framesUntilDone(0.5f), 4);
					 EXPECT_EQ(run.world.callsStartingWith("setFade"),
							   (std::vector<std::string>{"setFade 1 0.75", "setFade 1 0.5", "setFade 1 0.25",
														 "setFade 1 0"}));
				 }},
		EdgeCase{"FadeOfZeroFinishesAtOneInItsFirstLongEnoughFrame",
				 [] {
					 ListRun run(TriggerScript().a("fade,0"));
					 EXPECT_FALSE(run.frame(0.f));
					 EXPECT_TRUE(run.frame(0.001f));
					 EXPECT_EQ(run.world.callsStartingWith("setFade").back(), "setFade 0 1");
				 }},
		EdgeCase{"NegativeOrWordFadeLastsAMillisecond",
				 [] {
					 EXPECT_EQ(ListRun(TriggerScript().a("fade,-3")).framesUntilDone(0.0006f), 2);
					 EXPECT_EQ(ListRun(TriggerScript().a("fade,slow")).framesUntilDone(0.0006f), 2);
				 }},
		EdgeCase{"FadeTargetSaturates",
				 [] {
					 ListRun run(TriggerScript().a("fade,1,0,1e20").a("fade,1,0,nan"));
					 run.framesUntilDone(1.f);
					 EXPECT_EQ(run.world.callsStartingWith("setFade"),
							   (std::vector<std::string>{"setFade 2147483647 1", "setFade 0 1"}));
				 }}),
	logictest::edgeCaseName);

TEST(ActionRegistry, KeywordTableInOrder) {
	const std::vector<std::string> expected = {"activaterandomtrigger",
											   "activatetrigger",
											   "addimpulse",
											   "addlife",
											   "addscore",
											   "addspeed",
											   "animatetransform",
											   "attachtorail",
											   "break",
											   "changeball",
											   "checkpoint",
											   "checkcollision",
											   "delay",
											   "disabletrigger",
											   "enabletrigger",
											   "fade",
											   "finalizetrigger",
											   "getobjectpos",
											   "iskeypressed",
											   "jump",
											   "jumptoaction",
											   "jumptorandomaction",
											   "keypress",
											   "levelcomplete",
											   "levelend",
											   "levelfailed",
											   "link",
											   "loadlevel",
											   "maxspeed",
											   "vecdist",
											   "veclen",
											   "vecangle",
											   "moveobject",
											   "moveuv",
											   "nop",
											   "particlefx",
											   "pausetrigger",
											   "playanimation",
											   "animate",
											   "playsound",
											   "pressure",
											   "random",
											   "randomdelay",
											   "recordsound",
											   "resetballvalues",
											   "rotateobject",
											   "rotateto",
											   "scaleobject",
											   "setballdirection",
											   "setcamera",
											   "setcameraview",
											   "setcamprops",
											   "setgamemode",
											   "setgravity",
											   "setguidingobject",
											   "setobjectpos",
											   "setobjectscale",
											   "setobjectstate",
											   "setrail",
											   "setLineSpeed",
											   "setrenderstate",
											   "settexture",
											   "showtext",
											   "speedmul",
											   "stopsound",
											   "switchobjectstate",
											   "switchrenderstate",
											   "timer",
											   "unlink",
											   "updateballvalues",
											   "set",
											   "setpersistent",
											   "add",
											   "sub",
											   "mul",
											   "div",
											   "less",
											   "equal",
											   "greater",
											   "notequal",
											   "waitforidle",
											   "waitforkey",
											   "waitforkeyhold",
											   "waitforkeypress",
											   "waitforkeyrelease",
											   "minigamebubbleinit",
											   "minigamemazeinit",
											   "minigamesbtinit"};
	EXPECT_EQ(lumaroll::ActionRegistry::keywords(), expected);
}

TEST(ActionRegistry, ThirtyTwoKeywordsHaveTheirOwnActionTheRestGoToTheWorld) {
	std::vector<std::string> dedicated;
	for (const std::string& keyword : lumaroll::ActionRegistry::keywords()) {
		lumaroll::ActionArgs args;
		args.args = {"x", "y"};
		std::unique_ptr<lumaroll::Action> action = lumaroll::ActionRegistry::instance().create(keyword, args);
		ASSERT_TRUE(action) << keyword;
		EXPECT_EQ(action->name, keyword);
		FakeWorld world;
		lumaroll::Trigger trigger("T_x");
		lumaroll::ActionContext context{&world, &trigger, 0.f};
		action->update(context);
		if (std::find(world.calls.begin(), world.calls.end(), "runCommand " + keyword + " x y") == world.calls.end())
			dedicated.push_back(keyword);
	}
	std::sort(dedicated.begin(), dedicated.end());
	EXPECT_EQ(dedicated, (std::vector<std::string>{"activaterandomtrigger",
												   "activatetrigger",
												   "add",
												   "animate",
												   "delay",
												   "disabletrigger",
												   "div",
												   "enabletrigger",
												   "equal",
												   "fade",
												   "greater",
												   "jumptoaction",
												   "jumptorandomaction",
												   "less",
												   "link",
												   "moveobject",
												   "moveuv",
												   "mul",
												   "nop",
												   "notequal",
												   "playanimation",
												   "random",
												   "randomdelay",
												   "rotateobject",
												   "rotateto",
												   "scaleobject",
												   "set",
												   "setpersistent",
												   "sub",
												   "timer",
												   "unlink",
												   "waitforkeypress"}));
	EXPECT_FALSE(lumaroll::ActionRegistry::instance().create("frobnicate", lumaroll::ActionArgs()));
}

TEST(ActionRegistry, GenericActionsFinishAtOnceWithTheirOperands) {
	ListRun run(TriggerScript().a("addimpulse,1, 2").a("loadlevel").a("set,r,2"));
	EXPECT_TRUE(run.frame(0.f));
	EXPECT_EQ(run.world.callsStartingWith("runCommand"),
			  (std::vector<std::string>{"runCommand addimpulse 1 2", "runCommand loadlevel"}));
}

} // namespace
