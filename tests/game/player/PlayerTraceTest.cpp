// The trace lines of rails, camera, model and shadows, from a child process
// run with LUMAROLL_TRACE set (the trace switch is read once per process).

#include "RailFixture.h"

#include "support/ProcessRunner.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

using playertest::Level;
using playertest::RailLevel;
using playertest::kFrame;

namespace {

int count(const std::string& text, const std::string& part) {
	int n = 0;
	for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
		++n;
	return n;
}

struct TraceCase {
	const char* line;
	int times;
};

TEST(PlayerTrace, RailsCameraModelAndShadowsTraceOnce) {
	test::ProcessOptions options;
	options.args = {"--gtest_filter=PlayerTrace.Child"};
	options.env = {{"LUMAROLL_TRACE", "1"}, {"LUMAROLL_PLAYER_TRACE_CHILD", "1"}};
	const test::ProcessResult child = test::runProcess(playertest::selfPath(), options);
	ASSERT_EQ(0, child.exitCode) << child.out << child.err;
	const TraceCase cases[] = {
		{"[trace] rail L_rail1: 41 points, 1 pieces, length 6000\n", 1},
		{"[trace] rail L_rail2: 42 points, 2 pieces, length 20000\n", 1},
		{"[trace] rail L_guide1: 9 points, 1 pieces, length 4000\n", 1},
		{"[trace] model: body                     size 100.0 x 100.0 x 100.0 (esferica)\n", 1},
		{"[trace] model: shadow_plimbo            size", 0},
		{"[trace] model: camera cameraposition/cameralookat, eyes G_plimbo_lookat_eyes\n", 1},
		{"[trace] rail L_rail1: resynced from s ", 1},
		{"s airborne), T_fall1\n", 1},
		{"[trace] rail L_rail2: fell (s 200", 1},
		{"[trace] camera blocked by 'wall01'\n", 1},
		{"[trace] shadow 'O_lamp_shadow' of 'O_lamp' placed at (500, 4, 0), ground y=0\n", 1},
	};
	for (const TraceCase& c : cases)
		EXPECT_EQ(c.times, count(child.out, c.line)) << c.line << "\n" << child.out;
}

// Run only as the child of the test above, with LUMAROLL_TRACE set.
TEST(PlayerTrace, Child) {
	if (!std::getenv("LUMAROLL_PLAYER_TRACE_CHILD"))
		GTEST_SKIP() << "run by RailsCameraModelAndShadowsTraceOnce";
	{
		RailLevel level([](Level& l) {
			l.pieces.dummyAt("farAlong", 0, 55, 5000);
			l.pieces.dummyAt("nearTheEnd", 0, 55, RailLevel::kLength1 + RailLevel::kLength2 - 500.f);
		});
		std::fputs(level.railsOutput.c_str(), stdout);
		level.attachModel(test::BallModel::Full);
		std::fputs(level.modelOutput.c_str(), stdout);

		// Far from the window along the track: found again on the whole track.
		ASSERT_TRUE(level.untilOnRail());
		level.moveBallTo("farAlong");
		level.run(2);

		// Off the end of L_rail2, once.
		level.moveBallTo("nearTheEnd");
		level.world->runCommand("attachtorail", {"1", "L_rail2"});
		level.ride(4.f);
	}
	{
		Level level;
		level.pieces.mesh("floor", test::floorTriangles(5000.f, 0.f));
		level.pieces.mesh("wall01", test::wallTriangles(0.f, 1000.f, 2000.f))
			.transform(test::rotationY(3.14159265f / 2, 0, 0, -300));
		level.writer.dummy("O_lamp").position(500, 100, 0);
		level.pieces.mesh("O_lamp_shadow", test::floorTriangles(40.f, 0.f), "").parent("O_lamp");
		level.pieces.dummyAt("D_start", 0, 100, 0);
		lumaroll::Player& player = level.build();
		player.addShadowCaster(level.node("O_lamp_shadow"), level.node("O_lamp"), false);
		player.placeAtStart();
		hgr::Node* camera = level.addCamera();
		for (int i = 0; i < 60; ++i) {
			player.step(false, kFrame, 0.f, 0.f);
			player.updateCamera(camera, kFrame);
		}
	}
	std::fflush(stdout);
}

} // namespace
