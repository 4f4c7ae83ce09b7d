#include "render/GLProgram.h"

#include <gr/gles2/GLES2_Dispatch.h>

namespace lumaroll {

GLuint compileShaderStage(GLenum type, const char* source)
{
    GLuint shader = gr::gl.CreateShader(type);
    if (shader == 0)
        return 0;
    gr::gl.ShaderSource(shader, 1, &source, nullptr);
    gr::gl.CompileShader(shader);
    GLint ok = GL_FALSE;
    gr::gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        gr::gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint linkProgram(GLuint vertexShader, GLuint fragmentShader,
                   std::initializer_list<std::pair<GLuint, const char*>> attributes)
{
    GLuint program = gr::gl.CreateProgram();
    if (vertexShader)
        gr::gl.AttachShader(program, vertexShader);
    if (fragmentShader)
        gr::gl.AttachShader(program, fragmentShader);
    for (const auto& attribute : attributes)
        gr::gl.BindAttribLocation(program, attribute.first, attribute.second);
    gr::gl.LinkProgram(program);
    // Flagged for deletion now; GL frees them together with the program.
    if (vertexShader)
        gr::gl.DeleteShader(vertexShader);
    if (fragmentShader)
        gr::gl.DeleteShader(fragmentShader);
    return program;
}

void deleteProgram(GLuint& name)
{
    if (name != 0) {
        // A program still in use would only be flagged, and live on until
        // some later glUseProgram: let go of it first.
        GLint current = 0;
        gr::gl.GetIntegerv(GL_CURRENT_PROGRAM, &current);
        if (static_cast<GLuint>(current) == name)
            gr::gl.UseProgram(0);
        gr::gl.DeleteProgram(name);
    }
    name = 0;
}

} // namespace lumaroll
