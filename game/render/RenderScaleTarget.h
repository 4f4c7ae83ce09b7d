// The offscreen framebuffer that the scene renders into below full
// resolution ("graphics.render_scale"), stretched over the window afterwards.
#pragma once

#include <GLES2/gl2.h>

namespace lumaroll {

class RenderScaleTarget {
public:
    RenderScaleTarget() = default;
    ~RenderScaleTarget() { release(); }
    RenderScaleTarget(const RenderScaleTarget&) = delete;
    RenderScaleTarget& operator=(const RenderScaleTarget&) = delete;

    // Prepares the target at this size for the frame and binds it with a
    // viewport over all of it. Returns false when it cannot be used (the frame
    // is then rendered at full size); once creation failed it is never tried again.
    bool resize(int width, int height);

    // Binds the window's framebuffer and stretches the target over it; the
    // GL state it touches is restored afterwards.
    void blit(int windowWidth, int windowHeight);

    // Deletes the surfaces, the program (with its shaders) and the quad buffer.
    void release();

    // The GL objects, 0 while none exists; the session hands framebuffer (with
    // width and height) to the graphics context as its default framebuffer
    // for the scene pass. Written by resize and release only.
    GLuint framebuffer = 0;
    GLuint colorTexture = 0;
    GLuint depthBuffer = 0;
    GLuint program = 0;    // the blit program, built on the first resize
    GLuint quadBuffer = 0; // the blit's full-screen quad
    int width = 0;         // size of the surfaces; 0 while there are none
    int height = 0;
    GLint positionAttribute = -1;
    GLint textureUniform = -1;
    // Set when the framebuffer or the blit program could not be made: the
    // session then renders at full size for the rest of the level.
    bool failed = false;

private:
    void deleteSurfaces();
};

// Target size for a render-scale setting: the scale is clamped to 0.5..1
// (no number reads 0, so 0.5); at 0.99 or more the window is used as it is
// (returns false). Otherwise width and height become max(1, int(size * scale)).
bool scaledRenderSize(float scale, int windowWidth, int windowHeight, int& width, int& height);

} // namespace lumaroll
