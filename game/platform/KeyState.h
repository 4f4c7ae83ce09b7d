// Which keys are held: SDL's keyboard state, or in tests an array the test
// sets (tests/support/PlatformFakes.h). Pushed key events do not change SDL's
// state, so tests of held keys need the fake.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace lumaroll {

class KeyState {
public:
    virtual ~KeyState() = default;
    // The keyboard by SDL scancode: SDL_NUM_SCANCODES entries, non-zero
    // while the key is held, as of the last poll of events.
    virtual const std::uint8_t* keys() = 0;

    // Whether the key is held, as of the last poll of events.
    bool held(SDL_Scancode code) { return keys()[code] != 0; }
};

// SDL_GetKeyboardState.
class SdlKeyState : public KeyState {
public:
    const std::uint8_t* keys() override;
    static SdlKeyState& instance();
};

} // namespace lumaroll
