#include "support/PlatformFakes.h"

namespace test {

std::uint32_t ManualClock::ticks() {
	++reads;
	const std::uint32_t t = now;
	now += step;
	return t;
}

void ManualClock::delay(std::uint32_t ms) {
	sleeps.push_back(ms);
	now += ms;
}

bool ScriptedEvents::poll(SDL_Event& event) {
	if (queue.empty())
		return false;
	event = queue.front();
	queue.pop_front();
	return true;
}

bool ScriptedEvents::push(const SDL_Event& event) {
	queue.push_back(event);
	pushed.push_back(event);
	return true;
}

void FakeWindow::size(int& w, int& h) {
	w = width;
	h = height;
}

void FakeWindow::drawableSize(int& w, int& h) {
	w = drawableWidth;
	h = drawableHeight;
}

bool FakeWindow::screenshot(std::vector<std::uint8_t>& rgba, int& w, int& h) {
	rgba = frame;
	if (frame.empty())
		return false;
	w = drawableWidth;
	h = drawableHeight;
	return true;
}

bool FakeWindow::setRelativeMouse(bool on) {
	if (refuseRelativeMouse)
		return false;
	relativeMouse = on;
	return true;
}

lumaroll::SensorRead FakeInputDevices::readAccelerometer(SDL_Sensor*, float out[3]) {
	++sensorReads;
	if (accelerometer == lumaroll::SensorRead::Sample) {
		out[0] = sample[0];
		out[1] = sample[1];
		out[2] = sample[2];
	}
	return accelerometer;
}

bool FakeInputDevices::fingerListed(SDL_FingerID finger) {
	for (SDL_FingerID f : fingersDown)
		if (f == finger)
			return true;
	return false;
}

} // namespace test
