#include "support/ScriptedPlatform.h"

namespace test {

ScriptedPlatform::ScriptedPlatform(lumaroll::Window* window, int width, int height) {
	app.window = window;
	app.events = &events;
	app.keys = &keys;
	app.clock = &clock;
	app.devices = &devices;
	app.drawableWidth = width;
	app.drawableHeight = height;
}

bool ScriptedPlatform::frame(lumaroll::LevelSession& session) {
	clock.now += 17;
	clock.sleeps.clear();
	events.pushed.clear();
	return session.frame();
}

} // namespace test
