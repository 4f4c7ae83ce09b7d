// Where the game's input and window events come from: SDL's event queue, or
// in tests a scripted queue (tests/support/PlatformFakes.h).
#pragma once

#include <SDL.h>

namespace lumaroll {

class EventSource {
public:
    virtual ~EventSource() = default;
    // Takes the next pending event into event; false when none is left.
    virtual bool poll(SDL_Event& event) = 0;
    // Queues event behind the pending ones, to be polled later in the same
    // loop (the in-game menu's keys made from controller input); false when
    // the queue refuses it.
    virtual bool push(const SDL_Event& event) = 0;
};

// SDL_PollEvent and SDL_PushEvent.
class SdlEventSource : public EventSource {
public:
    bool poll(SDL_Event& event) override;
    bool push(const SDL_Event& event) override;
    static SdlEventSource& instance();
};

} // namespace lumaroll
