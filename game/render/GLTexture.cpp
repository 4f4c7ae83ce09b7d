#include "render/GLTexture.h"

#include <gr/gles2/GLES2_Dispatch.h>

namespace lumaroll {

GLuint createClampedTexture(GLenum format, int width, int height, const void* pixels)
{
    GLuint texture = 0;
    gr::gl.GenTextures(1, &texture);
    if (texture == 0)
        return 0;
    gr::gl.BindTexture(GL_TEXTURE_2D, texture);
    gr::gl.TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE,
                      pixels);
    gr::gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gr::gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gr::gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gr::gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

void deleteTexture(GLuint& name)
{
    if (name != 0)
        gr::gl.DeleteTextures(1, &name);
    name = 0;
}

} // namespace lumaroll
