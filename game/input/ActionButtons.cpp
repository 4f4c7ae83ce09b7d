#include "input/ActionButtons.h"

namespace lumaroll {

unsigned ActionButtons::bitOf(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.button == SDL_BUTTON_LEFT ? 1u : 0u;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        switch (event.key.keysym.scancode) {
        case SDL_SCANCODE_SPACE:
            return 2u;
        case SDL_SCANCODE_KP_5:
            return 4u;
        case SDL_SCANCODE_KP_0:
            return 8u;
        default:
            return 0u;
        }
    default:
        return 0u;
    }
}

void ActionButtons::release(const SDL_Event& event)
{
    if (event.type == SDL_MOUSEBUTTONUP || event.type == SDL_KEYUP)
        heldBits &= ~bitOf(event);
}

void ActionButtons::press(const SDL_Event& event)
{
    if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_KEYDOWN)
        heldBits |= bitOf(event);
}

} // namespace lumaroll
