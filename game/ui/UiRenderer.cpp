#include "ui/UiRenderer.h"

#include "render/GLProgram.h"
#include "render/GLTexture.h"

#include <gr/ImageFile.h>
#include <gr/gles2/GLES2_Dispatch.h>

#include <cstdio>
#include <utility>

namespace lumaroll {

namespace {

const char* const kSpriteVertex =
    "attribute vec2 p; attribute vec2 t; varying vec2 v; uniform vec4 pos;\n"
    "void main() { v = t; gl_Position = vec4(pos.xy + p * pos.zw, 0.0, 1.0); }";
const char* const kSpriteFragment =
    "precision mediump float; varying vec2 v; uniform sampler2D tex; uniform float alpha;\n"
    "void main() { vec4 c = texture2D(tex, v); gl_FragColor = vec4(c.rgb, c.a * alpha); }";

// The unit square as a triangle strip.
const GLfloat kUnitSquare[8] = {0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 1.f};

} // namespace

UiRenderer::~UiRenderer()
{
    for (auto& entry : atlases)
        releaseTexture(entry.second.texture);
    for (auto& entry : fonts)
        releaseTexture(entry.second.texture);
    deleteTexture(captureTexture);
    deleteProgram(spriteProgram);
    deleteProgram(blurProgram);
}

unsigned UiRenderer::loadTexture(const std::string& path, int& width, int& height,
                                 std::vector<std::uint8_t>* pixels)
{
    ImageData image;
    GLuint texture = 0;
    if (loadImageFile(path, image)) {
        const ImageData::Level& level = image.levels[0];
        texture = createClampedTexture(GL_RGBA, level.width, level.height, level.pixels.data());
    }
    if (texture == 0) {
        std::fprintf(stderr, "ui: could not load %s\n", path.c_str());
        return 0;
    }
    ImageData::Level& level = image.levels[0];
    width = level.width;
    height = level.height;
    if (pixels)
        *pixels = std::move(level.pixels);
    return texture;
}

void UiRenderer::releaseTexture(unsigned texture)
{
    GLuint name = texture;
    deleteTexture(name);
}

bool UiRenderer::makeSpriteProgram()
{
    std::string log;
    spriteProgram = buildCheckedProgram(kSpriteVertex, kSpriteFragment, {{0, "p"}, {1, "t"}}, &log);
    if (spriteProgram == 0) {
        // Every menu, HUD and loading screen would silently stay empty: say why, once.
        spriteFailed = true;
        std::fprintf(stderr, "ui: the sprite program could not be built, menus and HUD are not drawn: %s\n",
                     log.c_str());
        return false;
    }
    posUniform = gr::gl.GetUniformLocation(spriteProgram, "pos");
    texUniform = gr::gl.GetUniformLocation(spriteProgram, "tex");
    alphaUniform = gr::gl.GetUniformLocation(spriteProgram, "alpha");
    return true;
}

void UiRenderer::begin(int width, int height)
{
    setViewport(width, height);
    viewportSet = width > 0;
    if (spriteProgram == 0 && !spriteFailed)
        makeSpriteProgram();
    drawing = spriteProgram != 0;
    if (!drawing)
        return;
    gr::gl.UseProgram(spriteProgram);
    gr::gl.Uniform1i(texUniform, 0);
    gr::gl.ActiveTexture(GL_TEXTURE0);
    setOverlayDrawState();
    gr::gl.EnableVertexAttribArray(1);
}

void UiRenderer::end()
{
    if (!drawing)
        return;
    drawing = false;
    gr::gl.DisableVertexAttribArray(0);
    gr::gl.DisableVertexAttribArray(1);
    gr::gl.Disable(GL_BLEND);
    gr::gl.Enable(GL_DEPTH_TEST);
}

void UiRenderer::drawQuad(unsigned texture, int tw, int th, float srcX, float srcY, float x, float y, float w,
                          float h, float alpha, float srcW, float srcH)
{
    if (!drawing || tw <= 0 || th <= 0)
        return;
    const float s = screen.scale;
    const float vw = static_cast<float>(screen.width);
    const float vh = static_cast<float>(screen.height);
    const GLfloat pos[4] = {2.f * s * x / vw - 1.f, 1.f - 2.f * s * y / vh, 2.f * s * w / vw, -2.f * s * h / vh};
    gr::gl.Uniform4fv(posUniform, 1, pos);
    gr::gl.Uniform1fv(alphaUniform, 1, &alpha);
    gr::gl.BindTexture(GL_TEXTURE_2D, texture);
    // Texture row 0 is the top of the image: no flip.
    const float u0 = srcX / static_cast<float>(tw), u1 = (srcX + srcW) / static_cast<float>(tw);
    const float v0 = srcY / static_cast<float>(th), v1 = (srcY + srcH) / static_cast<float>(th);
    const GLfloat uv[8] = {u0, v0, u1, v0, u0, v1, u1, v1};
    gr::gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, kUnitSquare);
    gr::gl.VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, uv);
    gr::gl.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void UiRenderer::drawImage(const std::string& atlas, const std::string& image, float x, float y, float alpha,
                           float scale)
{
    const Atlas* a = findAtlas(atlas);
    const AtlasImage* i = findImage(atlas, image);
    if (!a || !i)
        return;
    const SpriteQuad q = imageQuad(*i, x, y, scale);
    drawQuad(a->texture, a->width, a->height, static_cast<float>(q.srcX), static_cast<float>(q.srcY), q.x, q.y,
             q.w, q.h, alpha, static_cast<float>(q.srcW), static_cast<float>(q.srcH));
}

void UiRenderer::drawText(const std::string& font, const std::string& text, int hAlign, int vAlign, float x,
                          float y, float alpha)
{
    const Font* f = findFont(font);
    if (!f)
        return;
    textQuads(*f, text, hAlign, vAlign, x, y, glyphQuads);
    for (const SpriteQuad& q : glyphQuads)
        drawQuad(f->texture, f->width, f->height, static_cast<float>(q.srcX), static_cast<float>(q.srcY), q.x, q.y,
                 q.w, q.h, alpha, static_cast<float>(q.srcW), static_cast<float>(q.srcH));
}

} // namespace lumaroll
