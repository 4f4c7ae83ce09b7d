#include "render/RenderScaleTarget.h"

#include "render/GLProgram.h"
#include "render/GLTexture.h"

#include <gr/gles2/GLES2_Dispatch.h>

#include <algorithm>
#include <cstdio>

namespace lumaroll {

namespace {

const char* const kBlitVertex =
    "attribute vec2 p; varying vec2 v; void main() { v = p * 0.5 + 0.5; gl_Position = vec4(p, 0.0, 1.0); }";
const char* const kBlitFragment =
    "precision mediump float; uniform sampler2D t; varying vec2 v; void main() { gl_FragColor = texture2D(t, v); }";
const GLfloat kQuad[8] = {-1.f, -1.f, 1.f, -1.f, -1.f, 1.f, 1.f, 1.f};

} // namespace

bool scaledRenderSize(float scale, int windowWidth, int windowHeight, int& width, int& height)
{
    float s = scale;
    if (!(s > 0.5f)) // also a value that is no number
        s = 0.5f;
    if (s > 1.f)
        s = 1.f;
    width = windowWidth;
    height = windowHeight;
    if (s >= 0.99f)
        return false;
    width = std::max(1, static_cast<int>(windowWidth * s));
    height = std::max(1, static_cast<int>(windowHeight * s));
    return true;
}

void RenderScaleTarget::deleteSurfaces()
{
    if (framebuffer)
        gr::gl.DeleteFramebuffers(1, &framebuffer);
    deleteTexture(colorTexture);
    if (depthBuffer)
        gr::gl.DeleteRenderbuffers(1, &depthBuffer);
    framebuffer = colorTexture = depthBuffer = 0;
    width = height = 0;
}

bool RenderScaleTarget::resize(int w, int h)
{
    if (failed || w <= 0 || h <= 0)
        return false;
    if (w != width || h != height) {
        deleteSurfaces();
        colorTexture = createClampedTexture(GL_RGBA, w, h, nullptr);
        gr::gl.GenRenderbuffers(1, &depthBuffer);
        gr::gl.BindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        gr::gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, w, h);
        gr::gl.GenFramebuffers(1, &framebuffer);
        gr::gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        gr::gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
        gr::gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        if (gr::gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            std::puts("render scale: framebuffer not supported, rendering at full resolution");
            gr::gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
            deleteSurfaces();
            failed = true;
            return false;
        }
        width = w;
        height = h;
    }
    if (program == 0) {
        GLuint vertex = compileShaderStage(GL_VERTEX_SHADER, kBlitVertex);
        GLuint fragment = compileShaderStage(GL_FRAGMENT_SHADER, kBlitFragment);
        if (vertex == 0 || fragment == 0) {
            if (vertex)
                gr::gl.DeleteShader(vertex);
            if (fragment)
                gr::gl.DeleteShader(fragment);
            gr::gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
            failed = true;
            return false;
        }
        program = linkProgram(vertex, fragment, {});
        positionAttribute = gr::gl.GetAttribLocation(program, "p");
        textureUniform = gr::gl.GetUniformLocation(program, "t");
        gr::gl.GenBuffers(1, &quadBuffer);
        gr::gl.BindBuffer(GL_ARRAY_BUFFER, quadBuffer);
        gr::gl.BufferData(GL_ARRAY_BUFFER, sizeof(kQuad), kQuad, GL_STATIC_DRAW);
        gr::gl.BindBuffer(GL_ARRAY_BUFFER, 0);
    }
    gr::gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gr::gl.Viewport(0, 0, width, height);
    return true;
}

void RenderScaleTarget::blit(int windowWidth, int windowHeight)
{
    gr::gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    gr::gl.Viewport(0, 0, windowWidth, windowHeight);
    if (program == 0 || colorTexture == 0 || positionAttribute < 0)
        return;

    GLint oldProgram = 0, oldBuffer = 0, oldUnit = 0, oldTexture = 0;
    gr::gl.GetIntegerv(GL_CURRENT_PROGRAM, &oldProgram);
    gr::gl.GetIntegerv(GL_ARRAY_BUFFER_BINDING, &oldBuffer);
    gr::gl.GetIntegerv(GL_ACTIVE_TEXTURE, &oldUnit);
    gr::gl.ActiveTexture(GL_TEXTURE0);
    gr::gl.GetIntegerv(GL_TEXTURE_BINDING_2D, &oldTexture);
    const GLboolean depthTest = gr::gl.IsEnabled(GL_DEPTH_TEST);
    const GLboolean blend = gr::gl.IsEnabled(GL_BLEND);
    const GLboolean cull = gr::gl.IsEnabled(GL_CULL_FACE);
    GLboolean depthMask = GL_TRUE;
    gr::gl.GetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);

    gr::gl.Disable(GL_DEPTH_TEST);
    gr::gl.Disable(GL_BLEND);
    gr::gl.Disable(GL_CULL_FACE);
    gr::gl.UseProgram(program);
    gr::gl.BindTexture(GL_TEXTURE_2D, colorTexture);
    gr::gl.Uniform1i(textureUniform, 0);
    gr::gl.BindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    const GLuint position = static_cast<GLuint>(positionAttribute);
    gr::gl.EnableVertexAttribArray(position);
    gr::gl.VertexAttribPointer(position, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    gr::gl.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    gr::gl.DisableVertexAttribArray(position);

    gr::gl.UseProgram(static_cast<GLuint>(oldProgram));
    gr::gl.BindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(oldBuffer));
    gr::gl.BindTexture(GL_TEXTURE_2D, static_cast<GLuint>(oldTexture));
    gr::gl.ActiveTexture(static_cast<GLenum>(oldUnit));
    if (depthTest)
        gr::gl.Enable(GL_DEPTH_TEST);
    if (blend)
        gr::gl.Enable(GL_BLEND);
    if (cull)
        gr::gl.Enable(GL_CULL_FACE);
    gr::gl.DepthMask(depthMask);
}

void RenderScaleTarget::release()
{
    deleteSurfaces();
    deleteProgram(program);
    if (quadBuffer)
        gr::gl.DeleteBuffers(1, &quadBuffer);
    quadBuffer = 0;
    positionAttribute = -1;
    textureUniform = -1;
}

} // namespace lumaroll
