// The real program running level scripts: the "logic:" line, scores and the
// level end, fades, moved and removed meshes, sections the original game
// keeps, scripts that would have ended the level with an error, and the trace
// of running triggers.
#include "ProgramFixture.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

namespace {

using apptest::isColour;
using apptest::Png;
using apptest::readPng;
using test::TriggerScript;

int occurrences(const std::string& text, const std::string& part) {
	int n = 0;
	for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
		++n;
	return n;
}

class LogicProgramTest : public apptest::ProgramTest {
protected:
	// The test level with the scripts as user properties (dummies are added
	// for names the level lacks), run for five frames with a screenshot.
	test::ProcessResult runLevel(const std::vector<std::pair<std::string, std::string>>& scripts,
								 std::vector<std::string> extraArgs = {},
								 std::vector<std::pair<std::string, std::string>> env = {},
								 test::SceneWriter level = test::testLevelScene()) {
		for (const auto& s : scripts) {
			if (level.nodeIndex(s.first) < 0)
				level.dummy(s.first);
			level.userProperty(s.first, s.second);
		}
		std::vector<std::string> args = {test::writeTestLevel(dir.path(), level), "--frames", "5", "--screenshot",
										 "out.png"};
		args.insert(args.end(), extraArgs.begin(), extraArgs.end());
		return run(args, env);
	}
	Png screenshot() const { return readPng(work() + "/out.png"); }
};

const std::string kIntro = "state=2\nexecutetype=0\na01=addscore,5\na02=frobnicate,1\na03=levelcomplete";

TEST_F(LogicProgramTest, ScriptsScoreAndCompleteTheLevelOnce) {
	const test::ProcessResult r = runLevel({{"T_intro", kIntro}});
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_EQ(occurrences(r.out, "logic: 1 triggers, 1 warnings\n"), 1) << r.out;
	EXPECT_EQ(occurrences(r.out, "  warning: T_intro.a02: unknown action 'frobnicate' (using nop)\n"), 1) << r.out;
	EXPECT_EQ(occurrences(r.out, "score: 5\n"), 1) << r.out;
	EXPECT_EQ(occurrences(r.out, "*** level complete: 5 points ***\n"), 1) << r.out;

	const test::ProcessResult withScore = runLevel({{"T_intro", kIntro}}, {"--var", "score=10"});
	ASSERT_EQ(withScore.exitCode, 0) << withScore.err;
	EXPECT_EQ(occurrences(withScore.out, "score: 15\n"), 1) << withScore.out;
}

TEST_F(LogicProgramTest, FadeCoversTheFrameWhiteOrBlackOrNotAtAll) {
	struct Case {
		const char* action;
		int r, g, b; // everywhere, or at the centre for the last case
		bool uniform;
	} cases[] = {{"fade,0.001,0,0", 255, 255, 255, true},
				 {"fade,0.001,0,1", 0, 0, 0, true},
				 {"fade,0.001,1,0", 0, 255, 0, false}};
	for (const Case& c : cases) {
		const test::ProcessResult r = runLevel({{"T_fade", std::string("state=2\na01=") + c.action}});
		ASSERT_EQ(r.exitCode, 0) << c.action << r.err;
		const Png png = screenshot();
		ASSERT_EQ(png.width, 800) << c.action;
		EXPECT_TRUE(isColour(png.at(400, 240), c.r, c.g, c.b)) << c.action;
		if (c.uniform) {
			for (int corner : {0, 1}) {
				EXPECT_TRUE(isColour(png.at(corner * 799, corner * 479), c.r, c.g, c.b)) << c.action;
			}
		} else {
			EXPECT_TRUE(isColour(png.at(5, 5), 255, 0, 0)) << c.action;
		}
	}
}

TEST_F(LogicProgramTest, MovedOrUnlinkedGroundLeavesTheClearColour) {
	const std::vector<std::pair<std::string, std::string>> cases[] = {
		{{"T_move", "state=2\na01=moveobject,M_ground,M_ground,5000,0,0,0"}},
		{{"T_gone", "state=2\na01=unlink,M_ground"}},
		{{"M_ground", "state=2\na01=unlink,this"}},
	};
	for (const auto& scripts : cases) {
		const test::ProcessResult r = runLevel(scripts);
		ASSERT_EQ(r.exitCode, 0) << scripts[0].second << r.err;
		EXPECT_TRUE(isColour(screenshot().at(400, 240), 255, 0, 0)) << scripts[0].second;
	}
}

// A water surface over the ground, both unlinked by one script: the water
// stays unless the setting asks for the original sections.
TEST_F(LogicProgramTest, UnlinkedWaterStaysUnlessTheOriginalSectionsAreAsked) {
	test::SceneWriter level = test::testLevelScene();
	level.mesh("O_water01").primitives({0}).position(0.f, 0.f, -10.f);
	const std::vector<std::pair<std::string, std::string>> scripts = {
		{"T_clear", "state=2\na01=unlink,M_ground,O_water01"}};
	const test::ProcessResult kept = runLevel(scripts, {}, {}, level);
	ASSERT_EQ(kept.exitCode, 0) << kept.err;
	EXPECT_TRUE(isColour(screenshot().at(400, 240), 0, 255, 0));

	test::writeFile(dir / "config/lumaroll/config.ini", "# Lumaroll settings\nimprovements.visible_sections=0\n");
	const test::ProcessResult gone = runLevel(scripts, {}, {}, level);
	ASSERT_EQ(gone.exitCode, 0) << gone.err;
	EXPECT_TRUE(isColour(screenshot().at(400, 240), 255, 0, 0));
}

TEST_F(LogicProgramTest, LinkCyclesAndRestartedTriggersDoNotEndTheLevel) {
	const test::ProcessResult cycle =
		runLevel({{"T_cycle", "state=2\na01=link,M_ground,M_ground\na02=link,D_start,scene"}});
	EXPECT_EQ(cycle.exitCode, 0) << cycle.err;
	EXPECT_NE(cycle.err.find("[world] link: 'M_ground' would become its own ancestor\n"), std::string::npos)
		<< cycle.err;
	EXPECT_EQ(cycle.err.find("ERROR:"), std::string::npos) << cycle.err;
	EXPECT_NE(cycle.out.find("screenshot: out.png\n"), std::string::npos);

	std::vector<std::pair<std::string, std::string>> chain = {
		{"T_a", TriggerScript().state(2).a("add,runs,1").a("activatetrigger,T_c1")}};
	for (int i = 1; i <= 7; ++i)
		chain.push_back({"T_c" + std::to_string(i), TriggerScript().a("activatetrigger,T_c" + std::to_string(i + 1))});
	chain.push_back({"T_c8", TriggerScript().a("disabletrigger,T_a").a("activatetrigger,T_a")});
	const test::ProcessResult restart = runLevel(chain);
	EXPECT_EQ(restart.exitCode, 0) << restart.err;
	EXPECT_FALSE(restart.timedOut);
	EXPECT_EQ(restart.err.find("ERROR:"), std::string::npos) << restart.err;
	EXPECT_NE(restart.out.find("screenshot: out.png\n"), std::string::npos);
}

TEST_F(LogicProgramTest, TraceShowsTheRunningTriggersAndEachActionOnce) {
	const test::ProcessResult r =
		runLevel({{"T_intro", "state=2\nexecutetype=0\na01=addscore,5\na02=jumptoaction,3\na03=nop"}}, {},
				 {{"LUMAROLL_TRACE", "1"}});
	ASSERT_EQ(r.exitCode, 0) << r.err;
	EXPECT_EQ(occurrences(r.out, "[trace] T_intro a01 addscore\n"), 1) << r.out;
	const size_t running = r.out.find("[trace] running triggers: T_intro\n");
	const size_t none = r.out.find("[trace] running triggers: (none)\n");
	ASSERT_NE(running, std::string::npos) << r.out;
	ASSERT_NE(none, std::string::npos) << r.out;
	EXPECT_LT(running, none);
	EXPECT_EQ(occurrences(r.out, "[trace] running triggers:"), 2) << r.out;
	EXPECT_EQ(occurrences(r.out, "[trace] T_intro a03 nop\n"), 1) << r.out;
}

} // namespace
