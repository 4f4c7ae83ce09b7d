#include "render/GLProgram.h"

namespace lumaroll {

GLuint compileShaderStage(GLenum type, const char* source)
{
    GLuint shader = glCreateShader(type);
    if (shader == 0)
        return 0;
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint linkProgram(GLuint vertexShader, GLuint fragmentShader,
                   std::initializer_list<std::pair<GLuint, const char*>> attributes)
{
    GLuint program = glCreateProgram();
    if (vertexShader)
        glAttachShader(program, vertexShader);
    if (fragmentShader)
        glAttachShader(program, fragmentShader);
    for (const auto& attribute : attributes)
        glBindAttribLocation(program, attribute.first, attribute.second);
    glLinkProgram(program);
    // Flagged for deletion now; GL frees them together with the program.
    if (vertexShader)
        glDeleteShader(vertexShader);
    if (fragmentShader)
        glDeleteShader(fragmentShader);
    return program;
}

void deleteProgram(GLuint& name)
{
    if (name != 0) {
        // A program still in use would only be flagged, and live on until
        // some later glUseProgram: let go of it first.
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        if (static_cast<GLuint>(current) == name)
            glUseProgram(0);
        glDeleteProgram(name);
    }
    name = 0;
}

} // namespace lumaroll
