// The generic commands of scripts as the world carries them out: score, level
// end, flags and requests for the player, callbacks, and the keywords the
// world does not implement.
#include "LogicTestHelpers.h"
#include "logic/Trigger.h"
#include "support/FakeWorld.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using lumaroll::PlayerRequest;
using lumaroll::SceneWorld;
using logictest::captured;
using logictest::LoadedWorld;
using logictest::Output;
using test::TriggerScript;

LoadedWorld commandWorld() {
	test::SceneWriter w;
	w.node("spout");
	w.node("G_ballforms");
	return logictest::loadWorld(w);
}

// Runs the actions at once in a trigger called T_cmd; what they printed.
Output run(LoadedWorld& l, const TriggerScript& script) {
	return captured([&] {
		l.world->addTrigger("T_cmd", script);
		l.world->activateTrigger("T_cmd");
	});
}

std::vector<PlayerRequest> requests(SceneWorld& world) {
	std::vector<PlayerRequest> taken;
	world.takePlayerRequests(taken);
	return taken;
}

testing::AssertionResult requestIs(const std::vector<PlayerRequest>& r, int kind, const std::string& name,
								   float value) {
	if (r.size() == 1 && r[0].kind == kind && r[0].name == name && r[0].value == value)
		return testing::AssertionSuccess();
	testing::AssertionResult failure = testing::AssertionFailure();
	failure << r.size() << " requests:";
	for (const PlayerRequest& q : r)
		failure << " {" << q.kind << ", \"" << q.name << "\", " << q.value << "}";
	return failure;
}

using logictest::EdgeCase;

class Commands : public testing::TestWithParam<EdgeCase> {};

TEST_P(Commands, Behave) {
	GetParam().check();
}

INSTANTIATE_TEST_SUITE_P(
	World, Commands,
	testing::Values(
		EdgeCase{"AddScoreAddsItsNumberOrOne",
				 [] {
					 LoadedWorld l = commandWorld();
					 l.world->setVariable("other", 40.f);
					 const Output o = run(l, TriggerScript()
												 .a("addscore")
												 .a("addscore")
												 .a("addscore,5")
												 .a("addscore,score")
												 .a("addscore,other"));
					 EXPECT_EQ(o.out, "score: 1\nscore: 2\nscore: 7\nscore: 7\nscore: 7\n");
					 EXPECT_EQ(l.world->getVariable("score"), 7.f);
				 }},
		EdgeCase{"ScoreLinesSaturate",
				 [] {
					 LoadedWorld l = commandWorld();
					 EXPECT_EQ(run(l, TriggerScript().a("set,score,1e20").a("addscore").a("levelcomplete")).out,
							   "score: 2147483647\n*** level complete: 2147483647 points ***\n");
					 LoadedWorld m = commandWorld();
					 EXPECT_EQ(run(m, TriggerScript().a("set,score,nan").a("addscore,-1e30").a("levelend")).out,
							   "score: 0\n*** level complete: 0 points ***\n");
				 }},
		EdgeCase{
			"TheLevelCompletesOnce",
			[] {
				LoadedWorld l = commandWorld();
				EXPECT_EQ(
					run(l, TriggerScript().a("addscore,3").a("levelcomplete").a("levelend").a("levelcomplete")).out,
					"score: 3\n*** level complete: 3 points ***\n");
				EXPECT_TRUE(l.world->levelComplete);
			}},
		EdgeCase{"FlagsAreTakenOnce",
				 [] {
					 LoadedWorld l = commandWorld();
					 run(l, TriggerScript().a("levelfailed").a("updateballvalues").a("resetballvalues"));
					 EXPECT_TRUE(l.world->takeLevelFailed());
					 EXPECT_TRUE(l.world->takeUpdateBallValues());
					 EXPECT_TRUE(l.world->takeResetBallValues());
					 EXPECT_FALSE(l.world->takeLevelFailed());
					 EXPECT_FALSE(l.world->takeUpdateBallValues());
					 EXPECT_FALSE(l.world->takeResetBallValues());
				 }},
		EdgeCase{
			"PlaySoundLoopsOnlyForANumberNotZero",
			[] {
				LoadedWorld l = commandWorld();
				std::vector<std::string> played;
				l.world->playSoundCallback = [&](const std::string& s, bool loop) {
					played.push_back(s + (loop ? " loop" : " once"));
				};
				l.world->stopSoundCallback = [&](const std::string& s) { played.push_back("stop " + s); };
				run(l, TriggerScript()
						   .a("playsound,a.wav,1")
						   .a("playsound,b.wav,x")
						   .a("playsound,c.wav")
						   .a("playsound")
						   .a("stopsound,a.wav")
						   .a("stopsound"));
				EXPECT_EQ(played, (std::vector<std::string>{"a.wav loop", "b.wav once", "c.wav once", "stop a.wav"}));
			}},
		EdgeCase{"MissingCallbacksAreSkipped",
				 [] {
					 LoadedWorld l = commandWorld();
					 const Output o = run(l, TriggerScript()
												 .a("playsound,a")
												 .a("stopsound,a")
												 .a("particlefx,p,spout")
												 .a("pressure")
												 .a("set,r,1"));
					 EXPECT_EQ(o.out + o.err, "");
					 EXPECT_EQ(l.world->getVariable("r"), 1.f);
				 }},
		EdgeCase{
			"ParticlesStartAtAnExistingNode",
			[] {
				LoadedWorld l = commandWorld();
				std::vector<std::pair<std::string, hgr::Node*>> started;
				l.world->particleEffectCallback = [&](const std::string& e, hgr::Node* n) {
					started.push_back({e, n});
				};
				l.world->addTrigger(
					"spout",
					TriggerScript().a("particlefx,splash.prs,this").a("particlefx,a.prs,ghost").a("particlefx,b.prs"));
				l.world->activateTrigger("spout");
				ASSERT_EQ(started.size(), 1u);
				EXPECT_EQ(started[0].first, "splash.prs");
				EXPECT_EQ(started[0].second, l.node("spout"));
			}},
		EdgeCase{"PressureIsOneOrItsOperandsValue",
				 [] {
					 LoadedWorld l = commandWorld();
					 std::vector<float> strengths;
					 l.world->pressureCallback = [&](float s) { strengths.push_back(s); };
					 l.world->setVariable("shake", 0.25f);
					 run(l, TriggerScript().a("pressure").a("pressure,shake").a("pressure,0.5"));
					 EXPECT_EQ(strengths, (std::vector<float>{1.f, 0.25f, 0.5f}));
				 }},
		EdgeCase{"NamesAndGameMode",
				 [] {
					 LoadedWorld l = commandWorld();
					 run(l, TriggerScript()
								.a("checkpoint,d_checkpoint1")
								.a("setcamera,cam2")
								.a("setgamemode,7.9")
								.a("checkpoint")
								.a("setcamera"));
					 EXPECT_EQ(l.world->checkpointName, "d_checkpoint1");
					 EXPECT_EQ(l.world->cameraName, "cam2");
					 EXPECT_EQ(l.world->getVariable("gamemode"), 7.f);
					 run(l, TriggerScript().a("setgamemode"));
					 EXPECT_EQ(l.world->getVariable("gamemode"), 0.f);
				 }},
		EdgeCase{"SpeedRequests",
				 [] {
					 LoadedWorld l = commandWorld();
					 run(l, TriggerScript().a("speedmul,x,2"));
					 EXPECT_TRUE(requestIs(requests(*l.world), PlayerRequest::MultiplySpeed, "", 2.f));
					 l.world->setVariable("limit", 900.f);
					 run(l, TriggerScript().a("maxspeed,limit"));
					 EXPECT_TRUE(requestIs(requests(*l.world), PlayerRequest::RailSpeedLimit, "", 900.f));
					 const Output o = run(l, TriggerScript().a("speedmul,2").a("speedmul,3"));
					 EXPECT_EQ(o.out, "[world] action 'speedmul' not implemented yet (e.g.: 2)\n");
					 EXPECT_TRUE(requests(*l.world).empty());
				 }},
		EdgeCase{"RailRequests",
				 [] {
					 LoadedWorld l = commandWorld();
					 run(l, TriggerScript().a("attachtorail,0,L_a"));
					 EXPECT_TRUE(requestIs(requests(*l.world), PlayerRequest::LeaveRail, "L_a", 0.f));
					 run(l, TriggerScript().a("attachtorail,1,L_a"));
					 EXPECT_TRUE(requestIs(requests(*l.world), PlayerRequest::AttachToRail, "L_a", 0.f));
					 run(l, TriggerScript().a("attachtorail,00,L_a"));
					 EXPECT_TRUE(requestIs(requests(*l.world), PlayerRequest::AttachToRail, "L_a", 0.f));
					 run(l, TriggerScript().a("setguidingobject,G_guide"));
					 EXPECT_TRUE(requestIs(requests(*l.world), PlayerRequest::CameraGuide, "G_guide", 0.f));
				 }},
		EdgeCase{"MoveBallOnlyForTheBallForms",
				 [] {
					 LoadedWorld l = commandWorld();
					 run(l, TriggerScript().a("setobjectpos,G_ballforms,cp"));
					 EXPECT_TRUE(requestIs(requests(*l.world), PlayerRequest::MoveBallTo, "cp", 0.f));
					 const Output o = run(l, TriggerScript().a("setobjectpos,box,cp").a("setobjectpos,G_ballforms"));
					 EXPECT_EQ(o.out, "[world] action 'setobjectpos' not implemented yet (e.g.: box cp)\n");
					 EXPECT_TRUE(requests(*l.world).empty());
				 }},
		EdgeCase{"AnUnhandledKeywordIsReportedOnceWithItsFirstOperands",
				 [] {
					 LoadedWorld l = commandWorld();
					 TriggerScript script;
					 script.a("addimpulse,1,2");
					 for (int i = 0; i < 9; ++i)
						 script.a("addimpulse,3");
					 const Output o = run(l, script.a("loadlevel"));
					 EXPECT_EQ(o.out,
							   "[world] action 'addimpulse' not implemented yet (e.g.: 1 2)\n"
							   "[world] action 'loadlevel' not implemented yet (e.g.:)\n");
				 }},
		EdgeCase{"TheQueueKeepsAtMost256Requests",
				 [] {
					 LoadedWorld l = commandWorld();
					 l.world->addTrigger("T_menu", TriggerScript().a("speedmul,x,2"));
					 const Output o = captured([&] {
						 for (int frame = 0; frame < 300; ++frame)
							 l.world->activateTrigger("T_menu");
					 });
					 EXPECT_EQ(o.err, "[world] player request queue full; later requests are dropped\n");
					 EXPECT_EQ(requests(*l.world).size(), 256u);
					 run(l, TriggerScript().a("speedmul,x,3"));
					 EXPECT_TRUE(requestIs(requests(*l.world), PlayerRequest::MultiplySpeed, "", 3.f));
				 }}),
	logictest::edgeCaseName);

// Every keyword without an action of its own, with operands enough for any
// of them: 21 act, 35 are reported once per world.
TEST(GenericCommands, TwentyOneActAndTheRestAreReportedOncePerWorld) {
	const std::vector<std::string> acting = {"addscore",		 "attachtorail",  "checkpoint",		 "levelcomplete",
											 "levelend",		 "levelfailed",	  "maxspeed",		 "particlefx",
											 "playsound",		 "pressure",	  "resetballvalues", "setballdirection",
											 "setcamera",		 "setcameraview", "setcamprops",	 "setgamemode",
											 "setguidingobject", "setobjectpos",  "speedmul",		 "stopsound",
											 "updateballvalues"};
	std::vector<std::string> generic;
	for (const std::string& keyword : lumaroll::ActionRegistry::keywords()) {
		lumaroll::ActionArgs args;
		test::FakeWorld probe;
		lumaroll::Trigger trigger("T_x");
		lumaroll::ActionContext context{&probe, &trigger, 0.f};
		lumaroll::ActionRegistry::instance().create(keyword, args)->update(context);
		if (!probe.callsStartingWith("runCommand " + keyword).empty())
			generic.push_back(keyword);
	}
	ASSERT_EQ(generic.size(), 56u);
	for (int world = 0; world < 2; ++world) {
		LoadedWorld l = commandWorld();
		const Output o = captured([&] {
			for (int call = 0; call < 2; ++call)
				for (const std::string& keyword : generic)
					EXPECT_TRUE(l.world->runCommand(keyword, {"G_ballforms", "spout"}));
		});
		std::vector<std::string> reported;
		for (const std::string& keyword : generic) {
			const std::string line = "[world] action '" + keyword + "' not implemented yet (e.g.: G_ballforms spout)\n";
			const int count = logictest::occurrences(o.out, line);
			EXPECT_LE(count, 1) << keyword;
			if (count == 1)
				reported.push_back(keyword);
			else
				EXPECT_TRUE(std::find(acting.begin(), acting.end(), keyword) != acting.end()) << keyword;
		}
		EXPECT_EQ(reported.size(), 35u);
	}
}

} // namespace
