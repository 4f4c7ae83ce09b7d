// Compiling and linking the small GLSL ES programs that the game draws with
// beside the engine (sky, render-scale blit, fill quad). Like everything in
// this folder it calls GL only through the engine's dispatch table gr::gl, so
// that tests can record the calls (tests/support/GLCallRecorder).
#pragma once

#include <GLES2/gl2.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace lumaroll {

// Compiles one shader stage; returns 0 (deleting the shader) when it does not
// compile, with the compiler's log in *log when log is given.
GLuint compileShaderStage(GLenum type, const char* source, std::string* log = nullptr);

// A program of the two stages with the attributes bound to their locations,
// linked; the stages are deleted afterwards (the program keeps them). A stage
// of 0 is left out. Link status is not checked: a broken program draws nothing.
GLuint linkProgram(GLuint vertexShader, GLuint fragmentShader,
                   std::initializer_list<std::pair<GLuint, const char*>> attributes);

// Whether the program linked; when it did not and log is given, *log
// receives the linker's log.
bool programLinked(GLuint program, std::string* log = nullptr);

// Compiles both stages and links them with the attributes bound; returns 0
// (nothing left behind) when a stage does not compile or the program does not
// link, with the compiler's or linker's log in *log on one line.
GLuint buildCheckedProgram(const char* vertexSource, const char* fragmentSource,
                           std::initializer_list<std::pair<GLuint, const char*>> attributes, std::string* log);

// The state for drawing in 2D over the finished frame: depth test and
// culling off, alpha blending on (source alpha, one minus source alpha),
// vertex data from client memory with attribute array 0 enabled.
void setOverlayDrawState();

// glDeleteProgram when name is not 0; name becomes 0.
void deleteProgram(GLuint& name);

} // namespace lumaroll
