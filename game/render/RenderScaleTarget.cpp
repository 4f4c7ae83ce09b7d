#include "render/RenderScaleTarget.h"

#include "render/GLProgram.h"

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
        glDeleteFramebuffers(1, &framebuffer);
    if (colorTexture)
        glDeleteTextures(1, &colorTexture);
    if (depthBuffer)
        glDeleteRenderbuffers(1, &depthBuffer);
    framebuffer = colorTexture = depthBuffer = 0;
    width = height = 0;
}

bool RenderScaleTarget::resize(int w, int h)
{
    if (failed || w <= 0 || h <= 0)
        return false;
    if (w != width || h != height) {
        deleteSurfaces();
        glGenTextures(1, &colorTexture);
        glBindTexture(GL_TEXTURE_2D, colorTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glGenRenderbuffers(1, &depthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, w, h);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            std::puts("render scale: framebuffer not supported, rendering at full resolution");
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
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
                glDeleteShader(vertex);
            if (fragment)
                glDeleteShader(fragment);
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            failed = true;
            return false;
        }
        program = linkProgram(vertex, fragment, {});
        positionAttribute = glGetAttribLocation(program, "p");
        textureUniform = glGetUniformLocation(program, "t");
        glGenBuffers(1, &quadBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof(kQuad), kQuad, GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    return true;
}

void RenderScaleTarget::blit(int windowWidth, int windowHeight)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    if (program == 0 || colorTexture == 0 || positionAttribute < 0)
        return;

    GLint oldProgram = 0, oldBuffer = 0, oldUnit = 0, oldTexture = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &oldProgram);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &oldBuffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &oldUnit);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &oldTexture);
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    const GLboolean blend = glIsEnabled(GL_BLEND);
    const GLboolean cull = glIsEnabled(GL_CULL_FACE);
    GLboolean depthMask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glUseProgram(program);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    glUniform1i(textureUniform, 0);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    const GLuint position = static_cast<GLuint>(positionAttribute);
    glEnableVertexAttribArray(position);
    glVertexAttribPointer(position, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(position);

    glUseProgram(static_cast<GLuint>(oldProgram));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(oldBuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(oldTexture));
    glActiveTexture(static_cast<GLenum>(oldUnit));
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
    if (blend)
        glEnable(GL_BLEND);
    if (cull)
        glEnable(GL_CULL_FACE);
    glDepthMask(depthMask);
}

void RenderScaleTarget::release()
{
    deleteSurfaces();
    deleteProgram(program);
    if (quadBuffer)
        glDeleteBuffers(1, &quadBuffer);
    quadBuffer = 0;
    positionAttribute = -1;
    textureUniform = -1;
}

} // namespace lumaroll
