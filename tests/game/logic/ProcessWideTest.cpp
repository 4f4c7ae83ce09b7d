// What the logic does once per process: the shared random generator and the
// C library's rand(), the trace set, and the environment looked up once. Each
// case runs in a fresh child process of this program with its environment.
#include "LogicTestHelpers.h"
#include "logic/Trigger.h"
#include "support/FakeWorld.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

namespace {

using logictest::captured;
using logictest::childPassed;
using logictest::LoadedWorld;
using logictest::Output;
using logictest::runTestInChild;
using test::TriggerScript;

TEST(ProcessWide, DISABLED_FirstRandomDelayAndValue) {
	logictest::ListRun delay(TriggerScript().a("randomdelay,0,10"));
	EXPECT_FALSE(delay.frame(9.29616f));
	EXPECT_TRUE(delay.frame(0.00001f)); // waited 9.296161 s
	logictest::ListRun value(TriggerScript().a("random,v"));
	value.frame(0.f);
	EXPECT_FLOAT_EQ(value.world.variables["v"], 0.8401877f);
}

TEST(ProcessWide, DISABLED_FirstRandomJumps) {
	// The frame after a jump shows its target: action 1 is the jump itself,
	// which draws again; action 2 sets r to 2 (then 3); action 3 sets r to 3.
	logictest::ListRun jumps(TriggerScript().a("jumptorandomaction,1,2,3").a("set,r,2").a("set,r,3"));
	jumps.frame(0.f);
	std::vector<int> targets;
	while (targets.size() < 5) {
		jumps.world.calls.clear();
		jumps.frame(0.f);
		const std::vector<std::string> set = jumps.world.callsStartingWith("setVariable r ");
		if (set.empty()) {
			targets.push_back(1);
			continue;
		}
		targets.push_back(set.front() == "setVariable r 2" ? 2 : 3);
		jumps.trigger.setState(lumaroll::Trigger::RunningMain);
		jumps.frame(0.f);
	}
	EXPECT_EQ(targets, (std::vector<int>{3, 3, 1, 1, 1}));
}

TEST(ProcessWide, PinnedDraws) {
	EXPECT_TRUE(childPassed(runTestInChild("ProcessWide.DISABLED_FirstRandomDelayAndValue")));
	EXPECT_TRUE(childPassed(runTestInChild("ProcessWide.DISABLED_FirstRandomJumps")));
}

// Twelve meshes and a thirteenth below the first; a plain node.
test::SceneWriter traceScene() {
	test::SceneWriter w;
	w.node("G_group");
	for (int i = 1; i <= 12; ++i)
		w.mesh("m" + std::to_string(i)).parent("G_group");
	w.mesh("m13").parent("m1");
	w.node("box");
	w.node("anim");
	w.animation("anim").timedPositions({{0, 0, 0, 0}, {1, 0, 0, 1}}).length(1.f);
	w.animationsForAllNodes();
	return w;
}

TEST(ProcessWide, DISABLED_TraceLines) {
	for (int world = 0; world < 2; ++world) {
		LoadedWorld l = logictest::loadWorld(traceScene());
		const Output o = captured([&] {
			for (int run = 0; run < 2; ++run) {
				l.world->addTrigger("T_x", TriggerScript().a("delay").a("moveobject,box,box,1,0,0,1"));
				l.world->activateTrigger("T_x");
			}
			l.world->playAnimation("anim", "anim", false, 0.f, 0.5f);
			l.world->playAnimation("anim", "anim", false, 0.f, -1.f);
			l.world->unlink({"G_group"});
			l.world->unlink({"G_group"}); // no parent now: skipped
		});
		std::string expected;
		if (world == 0)
			expected += "[trace] T_x a01 delay\n[trace] T_x a02 moveobject\n";
		expected +=
			"[trace] transform type 0 on 'box' (subnode 'box' not found or same) vector (1 0 0) in 1 s; "
			"meshes 0, primitives 0\n"
			"[trace] animation 'anim' on 'anim' from 0.00 to 0.50 s\n"
			"[trace] animation 'anim' on 'anim' from 0.00 to -1.00 s\n"
			"[trace] unlink G_group removes 13 meshes: m12, m11, m10, m9, m8, m7, m6, m5, m4, m3, m2, m1, ...\n";
		EXPECT_EQ(o.out, expected) << "world " << world;
	}
}

TEST(ProcessWide, TraceLinesOncePerProcessOrKeyOrCall) {
	EXPECT_TRUE(childPassed(runTestInChild("ProcessWide.DISABLED_TraceLines", {{"LUMAROLL_TRACE", "1"}})));
}

// Which nodes an unlink removes: sections the original game keeps stay
// unless LUMAROLL_ORIGINAL_SECTIONS is set (then every name goes).
void checkUnlinkSparing(bool original) {
	test::SceneWriter w;
	for (const char* name : {"N_a", "N_ab", "O_water01", "rock", "stone"})
		w.node(name);
	w.node("T_link_1");
	w.node("T_other");
	w.userProperty("T_link_1", TriggerScript().state(0).a("unlink,rock"));
	w.userProperty("T_other", TriggerScript().state(0).a("unlink,stone"));
	LoadedWorld l = logictest::loadWorld(w);
	l.world->unlink({"N_a", "N_ab", "O_water01"});
	l.world->activateTrigger("T_link_1");
	l.world->activateTrigger("T_other");
	EXPECT_EQ(l.inScene("N_a"), !original);
	EXPECT_FALSE(l.inScene("N_ab"));
	EXPECT_EQ(l.inScene("O_water01"), !original);
	EXPECT_EQ(l.inScene("rock"), !original);
	EXPECT_FALSE(l.inScene("stone"));
	l.world->link("scene", {"rock", "N_ab"}); // the node table keeps what went
	EXPECT_TRUE(l.inScene("N_ab"));
}

TEST(ProcessWide, DISABLED_UnlinkSpares) {
	checkUnlinkSparing(false);
}

TEST(ProcessWide, DISABLED_UnlinkSparesNothingWithOriginalSections) {
	checkUnlinkSparing(true);
}

TEST(ProcessWide, UnlinkSparingFollowsTheEnvironment) {
	EXPECT_TRUE(childPassed(
		runTestInChild("ProcessWide.DISABLED_UnlinkSpares", {{"LUMAROLL_ORIGINAL_SECTIONS", test::kUnset}})));
	EXPECT_TRUE(childPassed(runTestInChild("ProcessWide.DISABLED_UnlinkSparesNothingWithOriginalSections",
										   {{"LUMAROLL_ORIGINAL_SECTIONS", "1"}})));
}

} // namespace
