#ifndef TESTS_GAME_INPUT_INPUTTESTSUPPORT_H
#define TESTS_GAME_INPUT_INPUTTESTSUPPORT_H

// Shared by the input tests: SDL's controller subsystem for the program's
// whole run (virtual pads need it), and draining SDL's event queue.

#include <SDL.h>

#include <functional>

namespace inputtest {

// Hands every event waiting in SDL's queue to handler, oldest first.
inline void drainSdlEvents(const std::function<void(const SDL_Event&)>& handler) {
	SDL_Event event;
	while (SDL_PollEvent(&event))
		handler(event);
}

inline void dropSdlEvents() {
	drainSdlEvents([](const SDL_Event&) {});
}

} // namespace inputtest

#endif
