// One colour blended over the whole viewport: the level logic's fade to black
// or white.
#pragma once

#include <GLES2/gl2.h>

namespace lumaroll {

struct FillState {
    GLuint program = 0;      // 0 until first use
    GLint colorUniform = -1; // location of "c"
};

// Compiles and links the fill program into state (no status checks).
void createFillProgram(FillState& state);

// Blends white or black at min(alpha, 1) over the viewport; nothing when
// alpha is 0.001 or less. Leaves blending off, the depth test on and culling off.
void drawFullScreenFill(FillState& state, bool white, float alpha);

// Deletes the program (and with it its shaders); state returns to unused.
void releaseFillProgram(FillState& state);

} // namespace lumaroll
