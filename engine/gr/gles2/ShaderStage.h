#ifndef GR_GLES2_SHADERSTAGE_H
#define GR_GLES2_SHADERSTAGE_H

#include <set>
#include <gr/gles2/EffectText.h>

#include <string>
#include <vector>

namespace gr {

// Deepest include level of a GLSL stage file (the stage file is level 0).
const int MAX_SHADER_INCLUDE_DEPTH = MAX_INCLUDE_NESTING;
// Most include files one stage may take in total. Different spellings of a
// path are different files, so a few include lines per level could otherwise
// multiply the work at every level down to the depth limit.
const int MAX_SHADER_INCLUDES = 256;

// Assembles one complete GLSL ES 1.00 stage from the stage source file at path:
// "#version 100", the stage's top-level "#extension" lines (they must precede
// every other token), "precision mediump float;" for the fragment stage, one
// "#define" line per forwarded define, "#line 1" and the file's text with its
// "#include" lines expanded. Extension lines are replaced by empty lines in
// the body so that line numbers stay right. On success out is replaced;
// returns false with error set (out unchanged) when a file cannot be opened
// or includes nest too deeply or are too many.
bool buildShaderStageSource(const std::string& path, const std::vector<std::string>& defines, bool fragmentStage,
							std::string& out, std::string& error);

// Appends the text of the file at path, with its "#include" lines expanded
// (each resolved file at most once per visited set), to out. depth is the
// include level of path. Returns false with error set when a file cannot be
// opened, depth reaches MAX_SHADER_INCLUDE_DEPTH or the visited set would
// pass MAX_SHADER_INCLUDES.
bool expandShaderIncludes(const std::string& path, std::string& out, std::set<std::string>& visited, std::string& error,
						  int depth);

} // namespace gr

#endif
