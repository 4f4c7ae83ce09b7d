#include "platform/KeyState.h"

namespace lumaroll {

const std::uint8_t* SdlKeyState::keys()
{
    return SDL_GetKeyboardState(nullptr);
}

SdlKeyState& SdlKeyState::instance()
{
    static SdlKeyState state;
    return state;
}

} // namespace lumaroll
