#ifndef GR_GLES2_EFFECTDESCRIPTION_H
#define GR_GLES2_EFFECTDESCRIPTION_H

#include <map>
#include <string>
#include <vector>

namespace gr {

// What an effect file says: its forwarded macros, top-level settings and its
// techniques with their passes. Filled by parseEffect.
struct EffectDescription {
	struct Pass {
		std::string name;
		// Resolved path of the vertex stage source; empty when not assigned.
		std::string vertexShader;
		// Resolved path of the fragment stage source; empty when not assigned.
		std::string fragmentShader;
		// Every other assignment of the pass: lower-case key -> value text.
		std::map<std::string, std::string> states;
	};

	struct Technique {
		std::string name;
		std::vector<Pass> passes;
	};

	// The effect file path given to parseEffect.
	std::string path;
	// Macros left defined by the preprocessor, in order of first definition:
	// "NAME" or "NAME value". Each becomes a "#define" line in every stage.
	std::vector<std::string> defines;
	// Top-level assignments: lower-case key -> value text.
	std::map<std::string, std::string> settings;
	// Techniques in file order (names may repeat).
	std::vector<Technique> techniques;
	// Message of the failure when parsing fails.
	std::string error;
};

// Reads, preprocesses and parses the effect file at path into description
// (reset first). Returns false with description.error set when the file
// cannot be preprocessed, has a syntax error or defines no technique.
bool parseEffect(const std::string& path, EffectDescription& description);

} // namespace gr

#endif
