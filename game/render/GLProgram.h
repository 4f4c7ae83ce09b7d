// Compiling and linking the small GLSL ES programs that the game draws with
// beside the engine (sky, render-scale blit, fill quad). Like everything in
// this folder it calls GL only through the engine's dispatch table gr::gl, so
// that tests can record the calls (tests/support/GLCallRecorder).
#pragma once

#include <GLES2/gl2.h>

#include <initializer_list>
#include <utility>

namespace lumaroll {

// Compiles one shader stage; returns 0 (deleting the shader) when it does not compile.
GLuint compileShaderStage(GLenum type, const char* source);

// A program of the two stages with the attributes bound to their locations,
// linked; the stages are deleted afterwards (the program keeps them). A stage
// of 0 is left out. Link status is not checked: a broken program draws nothing.
GLuint linkProgram(GLuint vertexShader, GLuint fragmentShader,
                   std::initializer_list<std::pair<GLuint, const char*>> attributes);

// glDeleteProgram when name is not 0; name becomes 0.
void deleteProgram(GLuint& name);

} // namespace lumaroll
