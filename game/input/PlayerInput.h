// STAND-IN for the player input mapping: it reads no device and reports no
// change of input kind. The session writes its mouse fields as the real
// input's. Replaced by the input mapping.
#pragma once

#include <SDL.h>

namespace lumaroll {

struct MoveInput {
    float forward = 0.f;
    float turn = 0.f;
    float cameraYaw = 0.f;
    float cameraPitch = 0.f;
    bool jump = false;
};

class PlayerInput {
public:
    // 0, or the input kind (1 keyboard .. 5 tilt) that became the last used.
    int pollInputKindChange() { return 0; }
    bool actionButtonDown() const { return false; }
    void handleTouchEvent(const SDL_Event&, int, int) {}
    MoveInput read(int, int, bool, float) { return MoveInput(); }

    bool mouseCaptured = false;
    float mouseDX = 0.f;
    float mouseDY = 0.f;
};

} // namespace lumaroll
