// Input speed, each against a plain baseline in the same run:
// - PlayerInput::read with the keyboard, 4 virtual pads and 2 fingers down,
//   against the bare SDL reads it makes (keyboard state, each pad's attached
//   flag, 4 axes and 6 buttons); allocations per read are counted too;
// - the level session's pollEvents routing 10,000 pushed mixed events,
//   against a bare SDL_PollEvent drain of the same events.
#include "app/LevelSession.h"
#include "input/Controllers.h"
#include "input/PlayerInput.h"
#include "platform/SdlWindow.h"
#include "support/AllocationCounter.h"
#include "support/GameDataWriter.h"
#include "support/TempDir.h"
#include "support/VirtualPad.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// SDL's video (offscreen) and controller subsystems, four virtual pads opened
// by the controller manager, and a hidden GL window for the session.
struct Devices {
	std::vector<std::unique_ptr<test::VirtualPad>> pads;
	std::unique_ptr<lumaroll::SdlWindow> window;
	lumaroll::AppContext app;
	bool ok = false;

	Devices() {
		if (!std::getenv("SDL_VIDEODRIVER"))
			setenv("SDL_VIDEODRIVER", "offscreen", 1);
		setenv("LUMAROLL_NO_AUDIO", "1", 1);
		if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0)
			return;
		for (int i = 0; i < 4; ++i) {
			pads.push_back(std::make_unique<test::VirtualPad>());
			pads.back()->setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.1f * float(i + 1));
			pads.back()->setAxis(SDL_CONTROLLER_AXIS_RIGHTY, 0.3f);
		}
		lumaroll::Controllers::instance().openAll();
		std::string error;
		window = lumaroll::SdlWindow::open("bench", 800, 480, true, error);
		if (!window)
			return;
		app.window = window.get();
		window->drawableSize(app.drawableWidth, app.drawableHeight);
		ok = lumaroll::Controllers::instance().controllers.size() == 4;
	}
};

Devices& devices() {
	static Devices d;
	return d;
}

SDL_Event fingerDown(SDL_FingerID id, float x, float y) {
	SDL_Event e{};
	e.type = SDL_FINGERDOWN;
	e.tfinger.fingerId = id;
	e.tfinger.x = x;
	e.tfinger.y = y;
	return e;
}

void BM_PlayerInputRead(benchmark::State& state) {
	if (!devices().ok) {
		state.SkipWithError("no virtual pads");
		return;
	}
	lumaroll::PlayerInput input(lumaroll::SdlKeyState::instance(), lumaroll::SdlFrameClock::instance(),
								lumaroll::SdlInputDevices::instance());
	input.handleTouchEvent(fingerDown(1, 0.3f, 0.5f), 800, 480);
	input.handleTouchEvent(fingerDown(2, 0.7f, 0.5f), 800, 480);
	SDL_Event move = fingerDown(1, 0.3f, 0.3f);
	move.type = SDL_FINGERMOTION;
	input.handleTouchEvent(move, 800, 480);
	lumaroll::MoveInput out;
	input.read(out, 800, 480, true, 0.016f);
	const long before = test::allocationCount();
	for (auto _ : state) {
		input.read(out, 800, 480, true, 0.016f);
		benchmark::DoNotOptimize(out);
	}
	state.counters["allocations"] = double(test::allocationCount() - before);
}

// The SDL reads that read makes, summed so that none can be left out.
void BM_RawSdlReads(benchmark::State& state) {
	if (!devices().ok) {
		state.SkipWithError("no virtual pads");
		return;
	}
	const std::vector<SDL_GameController*>& pads = lumaroll::Controllers::instance().controllers;
	const SDL_GameControllerButton buttons[] = {SDL_CONTROLLER_BUTTON_DPAD_UP,	  SDL_CONTROLLER_BUTTON_DPAD_DOWN,
												SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_CONTROLLER_BUTTON_DPAD_LEFT,
												SDL_CONTROLLER_BUTTON_A,		  SDL_CONTROLLER_BUTTON_B};
	for (auto _ : state) {
		long sum = SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_W] + SDL_GetTicks() + SDL_GetNumTouchDevices();
		for (SDL_GameController* pad : pads) {
			sum += SDL_GameControllerGetAttached(pad);
			for (int axis = SDL_CONTROLLER_AXIS_LEFTX; axis <= SDL_CONTROLLER_AXIS_RIGHTY; ++axis)
				sum += SDL_GameControllerGetAxis(pad, SDL_GameControllerAxis(axis));
			for (SDL_GameControllerButton b : buttons)
				sum += SDL_GameControllerGetButton(pad, b);
		}
		benchmark::DoNotOptimize(sum);
	}
}

// 10,000 events of the kinds a playing session sees, none of which ends it,
// opens a menu or prints: mouse motion and buttons, keys, fingers, pad axes
// and window moves.
void pushMixedEvents() {
	for (int i = 0; i < 10000; ++i) {
		SDL_Event e{};
		switch (i % 8) {
		case 0:
			e.type = SDL_MOUSEMOTION;
			e.motion.xrel = 1;
			break;
		case 1:
			e.type = SDL_KEYDOWN;
			e.key.keysym.sym = SDLK_a;
			e.key.keysym.scancode = SDL_SCANCODE_A;
			break;
		case 2:
			e.type = SDL_KEYUP;
			e.key.keysym.sym = SDLK_a;
			e.key.keysym.scancode = SDL_SCANCODE_A;
			break;
		case 3:
			e.type = SDL_MOUSEBUTTONDOWN;
			e.button.button = SDL_BUTTON_LEFT;
			break;
		case 4:
			e.type = SDL_MOUSEBUTTONUP;
			e.button.button = SDL_BUTTON_LEFT;
			break;
		case 5:
			e.type = SDL_FINGERMOTION;
			e.tfinger.x = 0.5f;
			break;
		case 6:
			e.type = SDL_CONTROLLERAXISMOTION;
			e.caxis.axis = SDL_CONTROLLER_AXIS_LEFTX;
			e.caxis.value = 1000;
			break;
		default:
			e.type = SDL_WINDOWEVENT;
			e.window.event = SDL_WINDOWEVENT_MOVED;
			break;
		}
		SDL_PushEvent(&e);
	}
}

void BM_SessionPollEvents(benchmark::State& state) {
	if (!devices().ok) {
		state.SkipWithError("no window or pads");
		return;
	}
	test::TempDir dir;
	lumaroll::LaunchOptions options;
	options.level = test::writeTestLevel(dir.path());
	options.dataDir = dir / "data";
	{
		lumaroll::LevelSession session(devices().app, options);
		session.start();
		SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
		for (auto _ : state) {
			state.PauseTiming();
			pushMixedEvents();
			state.ResumeTiming();
			session.events().poll();
		}
	}
}

void BM_BarePollDrain(benchmark::State& state) {
	if (!devices().ok) {
		state.SkipWithError("no window or pads");
		return;
	}
	SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
	for (auto _ : state) {
		state.PauseTiming();
		pushMixedEvents();
		state.ResumeTiming();
		SDL_Event e;
		long count = 0;
		while (SDL_PollEvent(&e))
			++count;
		benchmark::DoNotOptimize(count);
	}
}

} // namespace

BENCHMARK(BM_PlayerInputRead);
BENCHMARK(BM_RawSdlReads);
BENCHMARK(BM_SessionPollEvents)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BarePollDrain)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
