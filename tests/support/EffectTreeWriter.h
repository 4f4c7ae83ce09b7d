#ifndef SUPPORT_EFFECTTREEWRITER_H
#define SUPPORT_EFFECTTREEWRITER_H

#include "support/TempDir.h"

#include <string>
#include <vector>

namespace test {

// Writes a throw-away folder of effect files and GLSL stage sources for the
// effect text and GL tests. The folder is a TempDir: made by the constructor,
// removed with everything in it by the destructor.
class EffectTreeWriter {
public:
	// A vertex stage using the engine's standard names: position and texture
	// coordinates in, TOTALTM transform, V_TexCoord0 out.
	static const char* const TEXTURED_VERTEX;
	// A fragment stage drawing BASEMAP at V_TexCoord0.
	static const char* const TEXTURED_FRAGMENT;
	// A fragment stage that writes DIFFUSEC.
	static const char* const COLOR_FRAGMENT;
	// Stages drawing each vertex's DT_DIFFUSE colour (lines, vertex-coloured
	// primitives): position through TOTALTM, V_Color in between.
	static const char* const VERTEX_COLOR_VERTEX;
	static const char* const VERTEX_COLOR_FRAGMENT;
	// Stages of camera-facing particles, whose vertices the particle renderer
	// hands over in clip space with a colour each: BASEMAP times the colour.
	static const char* const PARTICLE_VERTEX;
	static const char* const PARTICLE_FRAGMENT;
	// A fragment stage that starts with an "#extension" line and uses it.
	static const char* const EXTENSION_FRAGMENT;
	// A stage that no GLSL compiler accepts.
	static const char* const BROKEN_STAGE;

	EffectTreeWriter();
	EffectTreeWriter(const EffectTreeWriter&) = delete;
	EffectTreeWriter& operator=(const EffectTreeWriter&) = delete;

	// The folder, ending with '/'.
	const std::string& dir() const { return m_dir; }
	// The full path of name inside the folder (nothing is written).
	std::string path(const std::string& name) const;

	// Writes text to name (sub-folders are created) and returns its full path.
	// Fails the current test when the file cannot be written.
	std::string write(const std::string& name, const std::string& text);
	// Like write, with every "\n" of text written as "\r\n".
	std::string writeCrlf(const std::string& name, const std::string& text);

	// Writes an effect with one technique holding one pass that names the
	// given stage files (an empty name leaves the assignment out). extra is
	// inserted into the pass body as written (render states, say); header
	// goes before the technique (settings, directives). Returns the path.
	std::string writeEffect(const std::string& name, const std::string& vertexStage, const std::string& fragmentStage,
							const std::string& extra = std::string(), const std::string& header = std::string(),
							const std::string& technique = "Default");

	// Writes the stages TEXTURED_VERTEX and TEXTURED_FRAGMENT as "textured.vsh"
	// and "textured.fsh" and an effect named name drawing BASEMAP at the
	// texture coordinates with them (extra as for writeEffect). Returns its path.
	std::string writeTexturedEffect(const std::string& name, const std::string& extra = std::string());

	// The text writeEffect writes.
	static std::string effectText(const std::string& vertexStage, const std::string& fragmentStage,
								  const std::string& extra = std::string(), const std::string& header = std::string(),
								  const std::string& technique = "Default");

	// Writes a chain of files name0, name1, ... name<count-1> where each file
	// holds the line "#include \"name<i+1>\"" between the lines "begin <i>"
	// and "end <i>"; the last one holds only "leaf". Returns the path of name0.
	// A name ending in .ext gives name0.ext, name1.ext, ...
	std::string writeIncludeChain(const std::string& name, int count);

	// Writes a file that includes itself (by its own name) between two text
	// lines. Returns its path.
	std::string writeSelfInclude(const std::string& name);

	// The file name of link i of a chain written by writeIncludeChain.
	static std::string chainName(const std::string& name, int i);

private:
	TempDir m_root;
	std::string m_dir;
};

} // namespace test

#endif
