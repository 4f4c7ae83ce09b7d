// The menu renderer's screen copy and its blurred drawing: the backdrop
// behind the in-game menu and the results.
#include "ui/UiRenderer.h"

#include "render/GLProgram.h"
#include "render/GLTexture.h"

#include <gr/gles2/GLES2_Dispatch.h>

#include <cstdio>

namespace lumaroll {

namespace {

const char* const kBlurVertex =
    "attribute vec2 p; varying vec2 v; void main() { v = p * 0.5 + 0.5; gl_Position = vec4(p, 0.0, 1.0); }";
// The centre sample plus 3 rings of 8 taps (ring d = 1/3, 2/3, 1, weight
// 1 - d/2, taps at (i + ring/2) * 45 degrees), desaturated by sat and
// darkened by bri.
const char* const kBlurFragment =
    "precision mediump float; varying vec2 v; uniform sampler2D tex; uniform vec2 r; uniform float sat; uniform float bri;\n"
    "void main() {\n"
    "  vec3 c = texture2D(tex, v).rgb; float w = 1.0;\n"
    "  for (int ring = 1; ring <= 3; ++ring) {\n"
    "    float d = float(ring) / 3.0; float k = 1.0 - d * 0.5;\n"
    "    for (int i = 0; i < 8; ++i) {\n"
    "      float a = (float(i) + float(ring) * 0.5) * 0.785398;\n"
    "      c += texture2D(tex, v + vec2(cos(a), sin(a)) * r * d).rgb * k; w += k;\n"
    "    }\n"
    "  }\n"
    "  c /= w;\n"
    "  float g = dot(c, vec3(0.299, 0.587, 0.114));\n"
    "  gl_FragColor = vec4(mix(vec3(g), c, sat) * bri, 1.0);\n"
    "}";

// The whole viewport as a triangle strip.
const GLfloat kFullScreen[8] = {-1.f, -1.f, 1.f, -1.f, -1.f, 1.f, 1.f, 1.f};

} // namespace

void UiRenderer::captureScreen()
{
    if (!viewportSet)
        return;
    const int w = screen.width;
    const int h = screen.height;
    gr::gl.ActiveTexture(GL_TEXTURE0);
    if (captureTexture == 0 || w != captureW || h != captureH) {
        deleteTexture(captureTexture);
        captureTexture = createClampedTexture(GL_RGB, w, h, nullptr);
        captureW = w;
        captureH = h;
        if (captureTexture == 0)
            return;
    } else {
        gr::gl.BindTexture(GL_TEXTURE_2D, captureTexture);
    }
    gr::gl.CopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);
    captured = true;
}

bool UiRenderer::makeBlurProgram()
{
    std::string log;
    blurProgram = buildCheckedProgram(kBlurVertex, kBlurFragment, {{0, "p"}}, &log);
    if (blurProgram == 0) {
        // Reported once; the menus then draw over the frame as it is.
        blurFailed = true;
        std::fprintf(stderr, "ui: desenfoque: %s\n", log.c_str());
        return false;
    }
    blurTexUniform = gr::gl.GetUniformLocation(blurProgram, "tex");
    blurRadiusUniform = gr::gl.GetUniformLocation(blurProgram, "r");
    blurSaturationUniform = gr::gl.GetUniformLocation(blurProgram, "sat");
    blurBrightnessUniform = gr::gl.GetUniformLocation(blurProgram, "bri");
    return true;
}

void UiRenderer::drawBlurredCapture(float radius, float saturation, float brightness)
{
    if (!hasValidCapture())
        return;
    if (blurProgram == 0 && (blurFailed || !makeBlurProgram()))
        return;
    gr::gl.UseProgram(blurProgram);
    gr::gl.Uniform1i(blurTexUniform, 0);
    // The radius is in virtual units.
    const GLfloat r[2] = {radius * screen.scale / static_cast<float>(captureW),
                          radius * screen.scale / static_cast<float>(captureH)};
    gr::gl.Uniform2fv(blurRadiusUniform, 1, r);
    gr::gl.Uniform1fv(blurSaturationUniform, 1, &saturation);
    gr::gl.Uniform1fv(blurBrightnessUniform, 1, &brightness);
    gr::gl.ActiveTexture(GL_TEXTURE0);
    gr::gl.BindTexture(GL_TEXTURE_2D, captureTexture);
    // The session draws the backdrop between batches, after the scene: the
    // depth test and attribute array 0 must be set here, or nothing shows.
    gr::gl.Disable(GL_BLEND);
    gr::gl.Disable(GL_DEPTH_TEST);
    gr::gl.Disable(GL_CULL_FACE);
    gr::gl.BindBuffer(GL_ARRAY_BUFFER, 0);
    gr::gl.EnableVertexAttribArray(0);
    gr::gl.DisableVertexAttribArray(1);
    gr::gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, kFullScreen);
    gr::gl.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    if (drawing) {
        gr::gl.Enable(GL_BLEND);
        gr::gl.EnableVertexAttribArray(1);
        gr::gl.UseProgram(spriteProgram);
    } else {
        gr::gl.DisableVertexAttribArray(0);
        gr::gl.Enable(GL_DEPTH_TEST);
    }
}

} // namespace lumaroll
