// The menu renderer: draws the game's 2D artwork (menus, HUD, results panels,
// loading screen) straight through GL (gr::gl), beside the engine's graphics
// context, in the virtual screen of UiCanvas. It owns the atlas and font
// textures, two small programs (sprites and a blur) and a copy of the screen
// used as the blurred backdrop behind menus and results. One per level
// session, created by it and used on the main thread between begin and end;
// everything is released in the destructor while the GL context is current.
//
// Each quad is one draw call from client memory (no buffers, no batching);
// GL state changes are confined to begin, end and the blurred draw.
#pragma once

#include "ui/UiCanvas.h"

#include <GLES2/gl2.h>

namespace lumaroll {

class UiRenderer : public UiCanvas {
public:
    UiRenderer() = default;
    // Deletes every texture and program it made.
    ~UiRenderer() override;

    // Loads an image file (".pvr" or any image) into a new RGBA texture with
    // linear filters and clamp-to-edge wrapping (level 0 only). Returns 0 and
    // prints "ui: could not load <path>" on standard error when the file
    // cannot be loaded.
    unsigned loadTexture(const std::string& path, int& width, int& height,
                         std::vector<std::uint8_t>* pixels) override;

    // Starts 2D drawing over a viewport of width x height pixels (the caller
    // sets the GL viewport): fixes scale and virtual width, and sets the
    // sprite program and blending up. The sprite program is made at the first
    // begin; when it does not compile or link, one "ui: ..." line goes to
    // standard error and nothing is ever drawn.
    void begin(int width, int height);
    // Ends 2D drawing: attribute arrays 0 and 1 off, blending off, depth test on.
    void end();

    // Draws the texture rectangle (srcX, srcY, srcW, srcH), in texture pixels
    // of a tw x th texture, into the virtual rectangle (x, y, w, h) with the
    // opacity multiplier alpha.
    void drawQuad(unsigned texture, int tw, int th, float srcX, float srcY, float x, float y, float w, float h,
                  float alpha, float srcW, float srcH);
    void drawImage(const std::string& atlas, const std::string& image, float x, float y, float alpha,
                   float scale) override;
    void drawText(const std::string& font, const std::string& text, int hAlign, int vAlign, float x, float y,
                  float alpha) override;

    // Copies the current framebuffer (the viewport of the last begin) into
    // the screen copy, reallocating it when the viewport size changed;
    // nothing before a begin with a positive size.
    void captureScreen();
    // Whether the screen copy holds a picture that has not been marked stale.
    bool hasValidCapture() const { return captureTexture != 0 && captured; }
    // Marks the copy stale; the session does so when the in-game menu closes
    // and when the level becomes over, so that the next capture is taken.
    void invalidateCapture() { captured = false; }
    // Draws the screen copy blurred over the whole viewport: 3 rings of 8
    // taps around each pixel, radius in virtual units, then desaturated
    // towards its luminance by saturation and multiplied by brightness.
    // Nothing without a valid copy. Works inside and outside begin/end; it
    // leaves the GL state as it found it (the sprite set-up inside, the end
    // state outside). A blur program that does not compile prints
    // "ui: desenfoque: <log>" once and the backdrop is then left out.
    void drawBlurredCapture(float radius, float saturation, float brightness);

    // Size of the screen copy as last allocated (0 before the first capture).
    int captureWidth() const { return captureW; }
    int captureHeight() const { return captureH; }

protected:
    void releaseTexture(unsigned texture) override;

private:
    bool makeSpriteProgram();
    bool makeBlurProgram();

    GLuint spriteProgram = 0;
    GLuint blurProgram = 0;
    // drawText's glyph quads, kept so that text drawn every frame allocates nothing.
    std::vector<SpriteQuad> glyphQuads;
    bool spriteFailed = false;
    bool blurFailed = false;
    bool drawing = false;     // between a begin that set the sprite program up and end
    bool viewportSet = false; // a begin gave a positive viewport width
    GLint posUniform = -1;
    GLint texUniform = -1;
    GLint alphaUniform = -1;
    GLint blurTexUniform = -1;
    GLint blurRadiusUniform = -1;
    GLint blurSaturationUniform = -1;
    GLint blurBrightnessUniform = -1;
    GLuint captureTexture = 0;
    int captureW = 0;
    int captureH = 0;
    bool captured = false;
};

} // namespace lumaroll
