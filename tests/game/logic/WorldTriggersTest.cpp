// Triggers in the world: reading them from the scene, arming, disarming and
// activating them, nesting, the runner's state machine and its limits.
#include "LogicTestHelpers.h"
#include "logic/Trigger.h"
#include "support/FakeWorld.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using lumaroll::SceneWorld;
using lumaroll::Trigger;
using logictest::captured;
using logictest::loadWorld;
using logictest::LoadedWorld;
using test::TriggerScript;

// A scene of plain nodes carrying the given scripts.
LoadedWorld worldWithScripts(const std::vector<std::pair<std::string, std::string>>& scripts) {
	test::SceneWriter w;
	for (const auto& s : scripts) {
		w.node(s.first);
		w.userProperty(s.first, s.second);
	}
	return loadWorld(w);
}

using logictest::EdgeCase;

class Triggers : public testing::TestWithParam<EdgeCase> {};

TEST_P(Triggers, Behave) {
	GetParam().check();
}

INSTANTIATE_TEST_SUITE_P(
	World, Triggers,
	testing::Values(
		EdgeCase{"ActivatingADisabledTriggerRunsIt",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_a", TriggerScript().state(0).a("set,ran,1")}});
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 0);
					 l.world->activateTrigger("T_a");
					 EXPECT_EQ(l.world->getVariable("ran"), 1.f);
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 1);
				 }},
		EdgeCase{"ActivatingARunningTriggerDoesNothing",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_a", TriggerScript().a("add,n,1").a("delay,1")}});
					 l.world->activateTrigger("T_a");
					 l.world->activateTrigger("T_a");
					 l.world->update(0.1f);
					 EXPECT_EQ(l.world->getVariable("n"), 1.f);
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 2);
				 }},
		EdgeCase{"NineChainedTriggersRunEightAtOnce",
				 [] {
					 std::vector<std::pair<std::string, std::string>> scripts;
					 for (int i = 1; i <= 9; ++i) {
						 TriggerScript s;
						 if (i < 9)
							 s.a("activatetrigger,T_" + std::to_string(i + 1));
						 s.a("add,ran" + std::to_string(i) + ",1");
						 scripts.push_back({"T_" + std::to_string(i), s});
					 }
					 LoadedWorld l = worldWithScripts(scripts);
					 l.world->activateTrigger("T_1");
					 for (int i = 1; i <= 8; ++i)
						 EXPECT_EQ(l.world->getVariable("ran" + std::to_string(i)), 1.f) << i;
					 EXPECT_EQ(l.world->getVariable("ran9"), 0.f);
					 EXPECT_EQ(l.world->getTriggerState("T_9"), 2);
					 l.world->update(0.f);
					 EXPECT_EQ(l.world->getVariable("ran9"), 1.f);
					 EXPECT_EQ(l.world->getTriggerState("T_9"), 1);
				 }},
		EdgeCase{"DisablingTheRunningTriggerTakesEffectAtItsEnd",
				 [] {
					 LoadedWorld l = worldWithScripts(
						 {{"T_a", TriggerScript().a("disabletrigger,T_a").a("delay,1").a("set,done,1")}});
					 l.world->activateTrigger("T_a");
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 2);
					 l.world->update(1.f);
					 EXPECT_EQ(l.world->getVariable("done"), 1.f);
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 0);
				 }},
		EdgeCase{"DisablingAnotherRunningTriggerStopsIt",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_a", TriggerScript().a("delay,1").a("set,done,1")},
													   {"T_b", TriggerScript().state(0).a("disabletrigger,T_a")}});
					 l.world->activateTrigger("T_a");
					 l.world->activateTrigger("T_b");
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 0);
					 l.world->update(2.f);
					 EXPECT_EQ(l.world->getVariable("done"), 0.f);
				 }},
		EdgeCase{"EnablingAnArmedOrRunningTriggerChangesNothing",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_a", TriggerScript().a("delay,1")},
													   {"T_b", TriggerScript().a("nop")},
													   {"T_c", TriggerScript().state(0).a("nop")}});
					 l.world->activateTrigger("T_a");
					 l.world->setTriggerEnabled("T_a", true);
					 l.world->setTriggerEnabled("T_b", true);
					 l.world->setTriggerEnabled("T_c", true);
					 l.world->setTriggerEnabled("T_none", true);
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 2);
					 EXPECT_EQ(l.world->getTriggerState("T_b"), 1);
					 EXPECT_EQ(l.world->getTriggerState("T_c"), 1);
				 }},
		EdgeCase{
			"StateOfUnknownAndFreshTriggers",
			[] {
				LoadedWorld l = worldWithScripts({{"T_a", "a01=nop"}, {"N_plain", "group=1"}, {"T_end", "e01=nop"}});
				EXPECT_EQ(l.world->getTriggerState("T_none"), -1);
				EXPECT_EQ(l.world->getTriggerState("N_plain"), -1);
				EXPECT_EQ(l.world->getTriggerState("T_a"), 1);
				EXPECT_EQ(l.world->getTriggerState("T_end"), 1);
				EXPECT_EQ(l.world->triggerCount(), 2);
			}},
		EdgeCase{"EmptyListsGoBackToArmedOrDisarmedOnActivation",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_a", "a01=\n"}, {"T_b", "executetype=0\ne01=\n"}});
					 std::vector<std::string> warnings = l.world->warnings;
					 std::sort(warnings.begin(), warnings.end());
					 EXPECT_EQ(warnings, (std::vector<std::string>{"T_a.a01: empty", "T_b.e01: empty"}));
					 l.world->activateTrigger("T_a");
					 l.world->activateTrigger("T_b");
					 EXPECT_EQ(l.world->getTriggerState("T_a"), 1);
					 EXPECT_EQ(l.world->getTriggerState("T_b"), 0);
				 }},
		EdgeCase{"JumpJustPastTheEndEndsTheListQuietly",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_x", TriggerScript().a("jumptoaction,2").e("set,end,1")}});
					 const logictest::Output o = captured([&] {
						 l.world->activateTrigger("T_x");
						 l.world->update(0.1f);
					 });
					 EXPECT_EQ(o.err, "");
					 EXPECT_EQ(l.world->getVariable("end"), 1.f);
				 }},
		EdgeCase{"JumpTwoPastTheEndIsReportedAndTheEndListRuns",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_x", TriggerScript().a("jumptoaction,3").e("set,end,1")}});
					 const logictest::Output o = captured([&] {
						 l.world->activateTrigger("T_x");
						 l.world->update(0.1f);
					 });
					 EXPECT_EQ(o.err, "[trigger T_x] invalid action index: 2\n");
					 EXPECT_EQ(l.world->getVariable("end"), 1.f);
				 }},
		EdgeCase{"ActionNumbersBeyondIntGiveTheInvalidIndexLine",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_x", TriggerScript().a("jumptoaction,-2147483648")},
													   {"T_y", TriggerScript().a("jumptoaction,3000000000")},
													   {"T_z", TriggerScript().a("jumptoaction,abc")}});
					 const logictest::Output o = captured([&] {
						 for (const char* t : {"T_x", "T_y", "T_z"})
							 l.world->activateTrigger(t);
						 l.world->update(0.1f);
					 });
					 EXPECT_EQ(
						 o.err,
						 "[trigger T_x] invalid action index: -1\n[trigger T_y] invalid action index: 2147483647\n"
						 "[trigger T_z] invalid action index: -1\n");
				 }},
		EdgeCase{
			"StateTwoRunsFromTheFirstUpdate",
			[] {
				LoadedWorld l = worldWithScripts({{"T_a", TriggerScript().state(2).executeType(0).a("set,ran,1")}});
				EXPECT_EQ(l.world->getTriggerState("T_a"), 2);
				EXPECT_EQ(l.world->getVariable("ran"), 0.f);
				l.world->update(0.1f);
				EXPECT_EQ(l.world->getVariable("ran"), 1.f);
				EXPECT_EQ(l.world->getTriggerState("T_a"), 0);
			}},
		EdgeCase{"RequestsDuringARunDecideTheStateAfterIt",
				 [] {
					 test::FakeWorld world;
					 Trigger oneShot("T_once"), rearming("T_again");
					 oneShot.load(TriggerScript().executeType(0).a("delay,1"));
					 rearming.load(TriggerScript().a("delay,1"));
					 for (Trigger* t : {&oneShot, &rearming}) {
						 t->setState(Trigger::RunningMain);
						 t->update(&world, 0.5f);
					 }
					 oneShot.requestState(Trigger::Armed);
					 rearming.requestState(Trigger::Disabled);
					 EXPECT_EQ(oneShot.getState(), Trigger::RunningMain);
					 oneShot.update(&world, 0.5f);
					 rearming.update(&world, 0.5f);
					 EXPECT_EQ(oneShot.getState(), Trigger::Armed);
					 EXPECT_EQ(rearming.getState(), Trigger::Disabled);
				 }},
		EdgeCase{"RunningTriggersAreListedInNameOrder",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_b", TriggerScript().state(2).a("delay,1")},
													   {"T_a", TriggerScript().state(2).a("delay,1")},
													   {"T_c", "a01=nop"}});
					 EXPECT_EQ(l.world->getRunningTriggers(), (std::vector<std::string>{"T_a", "T_b"}));
				 }},
		EdgeCase{"AScriptLongerThanTwoThousandBytesKeepsItsTail",
				 [] {
					 TriggerScript script;
					 script.state(0);
					 for (int i = 0; i < 300; ++i)
						 script.a("add,n,1");
					 ASSERT_GT(script.text().size(), 2000u);
					 LoadedWorld l = worldWithScripts({{"T_a", script}});
					 l.world->activateTrigger("T_a");
					 EXPECT_EQ(l.world->getVariable("n"), 300.f);
				 }},
		EdgeCase{"AddTriggerReplacesAndRemoveTriggerDrops",
				 [] {
					 LoadedWorld l = worldWithScripts({{"T_a", TriggerScript().state(0).a("set,v,1")}});
					 EXPECT_EQ(l.world->addTrigger("T_a", TriggerScript().a("set,v,2").a("bogus")),
							   (std::vector<std::string>{"T_a.a02: unknown action 'bogus' (using nop)"}));
					 l.world->activateTrigger("T_a");
					 EXPECT_EQ(l.world->getVariable("v"), 2.f);
					 EXPECT_TRUE(l.world->removeTrigger("T_a"));
					 EXPECT_FALSE(l.world->removeTrigger("T_a"));
					 EXPECT_EQ(l.world->getTriggerState("T_a"), -1);
					 EXPECT_EQ(l.world->triggerCount(), 0);
				 }}),
	logictest::edgeCaseName);

// A trigger eight activations down disables and re-activates the one that
// started the chain while that one's action is still on the stack.
TEST(TriggerRestart, ARestartedTriggerRunsItsListOncePerUpdate) {
	std::vector<std::pair<std::string, std::string>> scripts = {
		{"A", TriggerScript().state(2).a("add,runs,1").a("activatetrigger,C1")}};
	for (int i = 1; i <= 7; ++i)
		scripts.push_back({"C" + std::to_string(i), TriggerScript().a("activatetrigger,C" + std::to_string(i + 1))});
	scripts.push_back({"C8", TriggerScript().a("disabletrigger,A").a("activatetrigger,A")});
	LoadedWorld l = worldWithScripts(scripts);
	for (int update = 1; update <= 4; ++update) {
		l.world->update(0.1f);
		EXPECT_EQ(l.world->getVariable("runs"), float(update));
		EXPECT_EQ(l.world->getTriggerState("A"), 2); // restarted, waiting for the next update
	}
}

// 200 lists of 999 instant actions: more than one update may run.
TEST(TriggerBudget, ActionsBeyondTheLimitWaitForTheNextUpdate) {
	TriggerScript longList;
	longList.state(2).executeType(0);
	for (int i = 0; i < 998; ++i)
		longList.a("nop");
	longList.a("add,finished,1");
	std::vector<std::pair<std::string, std::string>> scripts;
	for (int i = 0; i < 200; ++i)
		scripts.push_back({"T_" + std::to_string(1000 + i), longList});
	LoadedWorld l = worldWithScripts(scripts);
	const logictest::Output first = captured([&] { l.world->update(0.1f); });
	EXPECT_EQ(first.err, "[world] too many actions in one update; the rest waits for the next update\n");
	EXPECT_EQ(l.world->getVariable("finished"), float(100000 / 999));
	const logictest::Output second = captured([&] { l.world->update(0.1f); });
	EXPECT_EQ(l.world->getVariable("finished"), 200.f);
	EXPECT_EQ(second.err, "");
	EXPECT_TRUE(l.world->getRunningTriggers().empty());
}

} // namespace
