#include "render/FillQuad.h"

#include "render/GLProgram.h"

#include <algorithm>

namespace lumaroll {

namespace {

const char* const kFillVertex = "attribute vec2 p; void main() { gl_Position = vec4(p, 0.0, 1.0); }";
const char* const kFillFragment = "precision mediump float; uniform vec4 c; void main() { gl_FragColor = c; }";
const GLfloat kQuad[8] = {-1.f, -1.f, 1.f, -1.f, -1.f, 1.f, 1.f, 1.f};

} // namespace

void createFillProgram(FillState& state)
{
    state.program = linkProgram(compileShaderStage(GL_VERTEX_SHADER, kFillVertex),
                                compileShaderStage(GL_FRAGMENT_SHADER, kFillFragment), {{0, "p"}});
    state.colorUniform = glGetUniformLocation(state.program, "c");
}

void drawFullScreenFill(FillState& state, bool white, float alpha)
{
    if (!(alpha > 0.001f))
        return;
    if (state.program == 0)
        createFillProgram(state);
    const float a = std::min(alpha, 1.f);
    const float v = white ? 1.f : 0.f;
    glUseProgram(state.program);
    glUniform4f(state.colorUniform, v, v, v, a);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, kQuad);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(0);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void releaseFillProgram(FillState& state)
{
    deleteProgram(state.program);
    state.colorUniform = -1;
}

} // namespace lumaroll
