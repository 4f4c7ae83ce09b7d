#ifndef SUPPORT_SCRIPTEDPLATFORM_H
#define SUPPORT_SCRIPTEDPLATFORM_H

// The platform seam for real level sessions run in-process on a real window
// (the endurance run, the frame benchmark, the steady-frame test): no events
// unless pushed, held keys set by the caller, and a clock moved 17 ms before
// each frame, so that two runs of the same script play the same frames.

#include "app/AppContext.h"
#include "app/LevelSession.h"
#include "support/PlatformFakes.h"

namespace test {

struct ScriptedPlatform {
	FakeKeys keys;
	ScriptedEvents events;
	ManualClock clock;
	FakeInputDevices devices;
	lumaroll::AppContext app; // over the fakes above and the given window

	// window: whose GL context is current; width x height its drawable size.
	ScriptedPlatform(lumaroll::Window* window, int width, int height);
	ScriptedPlatform(const ScriptedPlatform&) = delete;
	ScriptedPlatform& operator=(const ScriptedPlatform&) = delete;

	// Moves the clock 17 ms, forgets what the fakes kept of earlier frames
	// (it would grow with a long run) and runs one frame of the session;
	// returns what the session's frame() returns.
	bool frame(lumaroll::LevelSession& session);
};

} // namespace test

#endif
