#ifndef GR_GLES2_EFFECT_H
#define GR_GLES2_EFFECT_H

#include <gr/VertexFormat.h>
#include <gr/gles2/GLES2_Dispatch.h>
#include <lang/Object.h>
#include <map>
#include <string>
#include <vector>

namespace gr {

class GLES2_Context;

/**
 * A compiled effect: for each technique of an effect file the list of its
 * passes as linked GL programs with their render states, plus the effect's
 * draw priority and sort mode. Shared by every shader instance of the same
 * file and variant; never changes once built.
 */
class GLES2_Effect : public lang::Object {
public:
	/** An active uniform of a pass's program. */
	struct Uniform {
		GLint location;
		GLenum type;
		GLint size;
	};

	/** Render states of a pass, decoded once from its assignments. */
	struct RenderStates {
		bool culling; // "enableculling" is not FALSE
		GLenum cullFace;
		bool depthTest; // "enabledepthtest" is not FALSE
		bool depthMask;
		GLenum depthFunc;
		bool blending; // "enableblending" is TRUE
		GLenum blendEquation;
		GLenum blendSource;
		GLenum blendDestination;
	};

	struct Pass {
		GLuint program;
		/** Location of each vertex data type (VertexFormat::DataType order); -1 when unused. */
		GLint attributes[VertexFormat::DT_SIZE];
		/** Active uniforms by name, array suffix cut off. */
		std::map<std::string, Uniform> uniforms;
		/** The pass's assignments from the effect file: lower-case key -> value as written. */
		std::map<std::string, std::string> states;
		RenderStates renderStates;

		Pass();
	};

	/** File path the effect was loaded from; "(fallback)" for the built-in one. */
	std::string name;
	/** The "priority" setting, 0 when absent. */
	int priority;
	/** The "sort" setting as a Shader::SortMode. */
	int sortMode;
	/** One name per technique, in file order. */
	std::vector<std::string> techniqueNames;
	/** The passes of each technique, parallel to techniqueNames. */
	std::vector<std::vector<Pass>> techniques;
	/** True only for the built-in fallback effect. */
	bool isFallback;
	/** REFLMAP and NORMALMAP samplers take the context's water textures. */
	bool usesWaterTextures;

	GLES2_Effect();

	/** Deletes the programs of every pass. */
	~GLES2_Effect() override;

	/**
	 * The effect of the file at path with the given variant, from the
	 * context's cache or freshly loaded and cached. Returns the fallback
	 * effect when the file does not parse, a stage cannot be built or
	 * compiled, or no technique has a pass. Never null; adds no reference.
	 */
	static GLES2_Effect* load(GLES2_Context* context, const std::string& path, int variant);

	/**
	 * The context's built-in fallback effect, created on first use. Ends the
	 * process when its shaders do not compile. Adds no reference.
	 */
	static GLES2_Effect* createFallback(GLES2_Context* context);

	/** Sort mode of a "sort" value, compared case-insensitively; 0 for anything unknown. */
	static int parseSortMode(const std::string& value);

	/** The decimal number at the start of a "priority" value; 0 when there is none. */
	static int parsePriority(const std::string& value);

	/** The file-name part of path, after its last '/' or '\'. */
	static std::string baseName(const std::string& path);

	/** The vertex and fragment sources of the built-in fallback effect. */
	static const char* const FALLBACK_VERTEX;
	static const char* const FALLBACK_FRAGMENT;

private:
	GLES2_Effect(const GLES2_Effect&) = delete;
	GLES2_Effect& operator=(const GLES2_Effect&) = delete;
};

} // gr

#endif
