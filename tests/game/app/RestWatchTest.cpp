// When the ball and its follow camera count as come to rest (the trace a
// program test waits for before it photographs the ball).
#include "app/RestWatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace lumaroll;

namespace {

struct Frame {
	float ballSpeed;   // along x, scene units a second
	float cameraSpeed; // along z
	float dt;
};

// The frames' answers as a text: 'R' for the frame that reports the rest, '.' otherwise.
std::string answers(const std::vector<Frame>& frames) {
	RestWatch watch;
	math::Vector3 camera(0.f, 100.f, -500.f);
	std::string seen;
	for (const Frame& f : frames) {
		camera.z += f.cameraSpeed * f.dt;
		seen += watch.update(math::Vector3(f.ballSpeed, 0.f, 0.f), camera, f.dt) ? 'R' : '.';
	}
	return seen;
}

TEST(RestWatchTest, TheRestIsReportedOnceEachTimeTheBallAndCameraStop) {
	const float nan = std::nanf("");
	struct Case {
		const char* name;
		std::vector<Frame> frames;
		const char* expected;
	} cases[] = {
		{"still from the start: the first frame has no camera motion to judge yet",
		 {{0, 0, 0.1f}, {0, 0, 0.1f}, {0, 0, 0.1f}},
		 ".R."},
		{"rolling, then stopped",
		 {{0, 0, 0.1f}, {300, 50, 0.1f}, {20, 5, 0.1f}, {0.5f, 0.5f, 0.1f}, {0, 0, 0.1f}},
		 "...R."},
		{"the camera still gliding after the ball stopped",
		 {{0, 0, 0.1f}, {0, 40, 0.1f}, {0, 2, 0.1f}, {0, 0, 0.1f}},
		 "...R"},
		{"a drift between the two speeds neither ends nor starts a rest",
		 {{0, 0, 0.1f}, {0, 0, 0.1f}, {5, 5, 0.1f}, {0, 0, 0.1f}, {5, 0, 0.1f}},
		 ".R..."},
		{"moving again, and stopped again: a second report",
		 {{0, 0, 0.1f}, {0, 0, 0.1f}, {400, 0, 0.1f}, {0, 0, 0.1f}, {0, 0, 0.1f}},
		 ".R.R."},
		{"paused frames judge nothing", {{0, 0, 0.1f}, {300, 300, 0.f}, {0, 0, 0.f}, {0, 0, 0.016f}}, "...R"},
		{"a short frame's small step is judged by its speed",
		 {{0, 0, 0.001f}, {0, 3, 0.001f}, {0, 0.5f, 0.001f}},
		 "..R"},
		{"a broken velocity is no rest", {{0, 0, 0.1f}, {nan, 0, 0.1f}, {nan, 0, 0.1f}}, "..."},
	};
	for (const Case& c : cases)
		EXPECT_EQ(answers(c.frames), c.expected) << c.name;
}

} // namespace
