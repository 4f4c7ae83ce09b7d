#include "render/GLProgram.h"

#include <gr/gles2/GLES2_Dispatch.h>

namespace lumaroll {

namespace {

// The info log of a shader or program, at most 1024 bytes.
template <class GetLog>
std::string infoLog(GLuint name, GetLog getLog)
{
    char text[1024] = {};
    GLsizei length = 0;
    getLog(name, static_cast<GLsizei>(sizeof text), &length, text);
    return std::string(text, static_cast<size_t>(length > 0 ? length : 0));
}

} // namespace

GLuint compileShaderStage(GLenum type, const char* source, std::string* log)
{
    GLuint shader = gr::gl.CreateShader(type);
    if (shader == 0)
        return 0;
    gr::gl.ShaderSource(shader, 1, &source, nullptr);
    gr::gl.CompileShader(shader);
    GLint ok = GL_FALSE;
    gr::gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        if (log)
            *log = infoLog(shader, gr::gl.GetShaderInfoLog);
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

bool programLinked(GLuint program, std::string* log)
{
    if (program == 0)
        return false;
    GLint ok = GL_FALSE;
    gr::gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE && log)
        *log = infoLog(program, gr::gl.GetProgramInfoLog);
    return ok == GL_TRUE;
}

GLuint buildCheckedProgram(const char* vertexSource, const char* fragmentSource,
                           std::initializer_list<std::pair<GLuint, const char*>> attributes, std::string* log)
{
    std::string text;
    GLuint program = 0;
    const GLuint vertex = compileShaderStage(GL_VERTEX_SHADER, vertexSource, &text);
    const GLuint fragment = vertex ? compileShaderStage(GL_FRAGMENT_SHADER, fragmentSource, &text) : 0;
    if (vertex && fragment) {
        program = linkProgram(vertex, fragment, attributes);
        if (!programLinked(program, &text))
            deleteProgram(program);
    } else if (vertex) {
        gr::gl.DeleteShader(vertex);
    }
    if (program == 0 && log) {
        // Drivers end lines with '\n': one message line.
        for (char& c : text)
            if (c == '\n' || c == '\r')
                c = ' ';
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        *log = text;
    }
    return program;
}

void setOverlayDrawState()
{
    gr::gl.Disable(GL_DEPTH_TEST);
    gr::gl.Disable(GL_CULL_FACE);
    gr::gl.Enable(GL_BLEND);
    gr::gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gr::gl.BindBuffer(GL_ARRAY_BUFFER, 0);
    gr::gl.EnableVertexAttribArray(0);
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
