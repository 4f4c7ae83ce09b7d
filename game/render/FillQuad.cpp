#include "render/FillQuad.h"

#include "render/GLProgram.h"

#include <gr/gles2/GLES2_Dispatch.h>

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
    state.colorUniform = gr::gl.GetUniformLocation(state.program, "c");
}

void drawFullScreenFill(FillState& state, bool white, float alpha)
{
    if (!(alpha > 0.001f))
        return;
    if (state.program == 0)
        createFillProgram(state);
    const float a = std::min(alpha, 1.f);
    const float v = white ? 1.f : 0.f;
    const GLfloat color[4] = {v, v, v, a};
    gr::gl.UseProgram(state.program);
    gr::gl.Uniform4fv(state.colorUniform, 1, color);
    setOverlayDrawState();
    gr::gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, kQuad);
    gr::gl.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    gr::gl.DisableVertexAttribArray(0);
    gr::gl.Disable(GL_BLEND);
    gr::gl.Enable(GL_DEPTH_TEST);
}

void releaseFillProgram(FillState& state)
{
    deleteProgram(state.program);
    state.colorUniform = -1;
}

} // namespace lumaroll
