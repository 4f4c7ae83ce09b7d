#ifndef SUPPORT_PLATFORMFAKES_H
#define SUPPORT_PLATFORMFAKES_H

// Fakes of the game's platform seam (game/platform): a clock moved by hand, a
// scripted event queue, a key-state array, a window without a display and
// scripted sensors and touch fingers.
// They need no window focus and no SDL video, so tests of held keys, focus
// and timing behave alike on every driver.

#include "platform/EventSource.h"
#include "platform/FrameClock.h"
#include "platform/InputDevices.h"
#include "platform/KeyState.h"
#include "platform/Window.h"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace test {

// A clock that stands still unless moved: `now` is the tick count; each read
// may move it on by `step` ms afterwards (a clock that runs while it is read);
// a delay moves it by the time slept and records it.
class ManualClock : public lumaroll::FrameClock {
public:
	std::uint32_t now = 1000;
	std::uint32_t step = 0;
	int reads = 0;
	std::vector<std::uint32_t> sleeps;

	std::uint32_t ticks() override;
	void delay(std::uint32_t ms) override;
};

// Events handed out in the order they were pushed; the test pushes them
// before a frame (or the code under test pushes its own during one).
class ScriptedEvents : public lumaroll::EventSource {
public:
	std::deque<SDL_Event> queue;
	// Every event pushed, by the test or the code under test, in order.
	std::vector<SDL_Event> pushed;

	bool poll(SDL_Event& event) override;
	bool push(const SDL_Event& event) override;
};

// Held keys set by the test: press and release by scancode.
class FakeKeys : public lumaroll::KeyState {
public:
	std::array<std::uint8_t, SDL_NUM_SCANCODES> state{};

	const std::uint8_t* keys() override { return state.data(); }
	void press(SDL_Scancode code) { state[code] = 1; }
	void release(SDL_Scancode code) { state[code] = 0; }
};

// A window that draws into whatever GL context is current (the tests' GL
// window) and only counts its presents; sizes, focus, fullscreen, vsync, the
// mouse mode, the minimised state and the display's DPI are fields the test
// sets or reads.
class FakeWindow : public lumaroll::Window {
public:
	int width = 64, height = 64;				 // points
	int drawableWidth = 64, drawableHeight = 64; // pixels
	int presents = 0;
	bool focus = false;
	bool fullscreenOn = false;
	bool vsync = false;
	bool relativeMouse = false;
	bool refuseRelativeMouse = false; // as the offscreen driver does
	int minimizes = 0;
	bool minimizedOn = false;
	float dpi = 0.f; // 0: the system cannot tell
	std::string driver = "fake";
	// What screenshot() returns (RGBA, top row first); empty: no frame.
	std::vector<std::uint8_t> frame;

	void size(int& w, int& h) override;
	void drawableSize(int& w, int& h) override;
	void present() override { ++presents; }
	bool screenshot(std::vector<std::uint8_t>& rgba, int& w, int& h) override;
	bool fullscreen() override { return fullscreenOn; }
	void setFullscreen(bool on) override { fullscreenOn = on; }
	void setVsync(bool on) override { vsync = on; }
	bool hasInputFocus() override { return focus; }
	bool setRelativeMouse(bool on) override;
	void minimize() override { ++minimizes; }
	bool minimized() override { return minimizedOn; }
	float displayDpi() override { return dpi; }
	std::string videoDriver() override { return driver; }
};

// An accelerometer, display, touch screen and game controllers set by the test. The
// accelerometer answers for any sensor handle, null included, unless
// `accelerometer` is Absent; each read hands out `sample`.
class FakeInputDevices : public lumaroll::InputDevices {
public:
	lumaroll::SensorRead accelerometer = lumaroll::SensorRead::Absent;
	float sample[3] = {0.f, 0.f, 9.81f};
	int sensorReads = 0;
	SDL_DisplayOrientation orientation = SDL_ORIENTATION_LANDSCAPE;
	int touchDevices = 0;
	std::vector<SDL_FingerID> fingersDown;
	std::vector<std::string> controllers;

	lumaroll::SensorRead readAccelerometer(SDL_Sensor* sensor, float out[3]) override;
	SDL_DisplayOrientation displayOrientation() override { return orientation; }
	int touchDeviceCount() override { return touchDevices; }
	bool fingerListed(SDL_FingerID finger) override;
	std::vector<std::string> controllerNames() override { return controllers; }
};

} // namespace test

#endif
