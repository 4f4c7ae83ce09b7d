// Plain 2D textures for the game's own drawing (render-scale target, menu
// atlases and fonts, the menus' screen copy), made through gr::gl.
#pragma once

#include <GLES2/gl2.h>

namespace lumaroll {

// A new 2D texture of width x height in format (GL_RGBA or GL_RGB, unsigned
// bytes) holding pixels (null: left undefined), with linear filters and
// clamp-to-edge wrapping; it stays bound to the active unit. Returns 0 when
// GL hands out no texture name.
GLuint createClampedTexture(GLenum format, int width, int height, const void* pixels);

// glDeleteTextures when name is not 0; name becomes 0.
void deleteTexture(GLuint& name);

} // namespace lumaroll
