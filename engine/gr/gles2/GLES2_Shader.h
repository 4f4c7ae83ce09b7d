#ifndef GR_GLES2_SHADER_H
#define GR_GLES2_SHADER_H

#include <gr/BaseTexture.h>
#include <gr/Shader.h>
#include <gr/gles2/GLES2_Effect.h>
#include <lang/Ptr.h>
#include <map>
#include <string>
#include <vector>

namespace gr {

class GLES2_Context;

/**
 * OpenGL ES 2 shader instance: one per material, sharing a compiled effect
 * with every other instance of the same file and variant. Keeps the
 * material's parameter values by name and uploads them, with engine values
 * and neutral defaults for the rest, at every pass.
 */
class GLES2_Shader : public Shader {
public:
	/** A parameter value. */
	struct Parameter {
		enum Kind { VALUE, MATRIX, MATRIX_ARRAY, TEXTURE };

		int kind;
		/** VALUE: four components; MATRIX: the matrix in column order. */
		float value[16];
		/** MATRIX_ARRAY: 16 floats per matrix, each in column order. */
		std::vector<float> matrices;
		lang::Ptr<BaseTexture> texture;

		Parameter();
	};

	/** The effect must not be null; the instance takes a reference to it. */
	GLES2_Shader(GLES2_Context* context, GLES2_Effect* effect);
	~GLES2_Shader() override;

	Shader* clone() const override;
	void setTechnique(const lang::String& name) override;
	void setTexture(ParamType param, BaseTexture* value) override;
	void setTexture(const lang::String& name, BaseTexture* value) override;
	void setMatrix(ParamType param, const math::Matrix4x4& value) override;
	void setMatrix(const lang::String& name, const math::Matrix4x4& value) override;
	void setMatrixArray(ParamType param, const math::Matrix4x4* const* matrices, int count) override;
	void setVector(ParamType param, const math::Vector4& value) override;
	void setVector(const lang::String& name, const math::Vector4& value) override;
	void setFloat(ParamType param, float value) override;
	void setFloat(const lang::String& name, float value) override;
	BaseTexture* getTexture(const lang::String& name) const override;
	math::Matrix4x4 getMatrix(const lang::String& name) const override;
	math::Vector4 getVector(const lang::String& name) const override;
	float getFloat(const lang::String& name) const override;

	/** Resolves the technique (the context's override first); returns its pass count, 0 for none. */
	int begin() override;

	/** Makes pass `pass` of the active technique current; nothing for a pass outside it. */
	void beginPass(int pass) override;

	void endPass() override;
	void end() override;
	void setName(const lang::String& name) override;
	void setFlags(int flags) override;
	int getPriority() const override;
	int getFlags() const override;
	bool isValid() const override;
	const lang::String& name() const override;

	/** The shared effect. */
	GLES2_Effect* effect() const { return m_effect; }

	/** Names of the effect's techniques, in file order. */
	const std::vector<std::string>& techniqueNames() const { return m_effect->techniqueNames; }

	/** Path of the effect file; "(fallback)" for the built-in effect. */
	const std::string& effectFileName() const { return m_effect->name; }

	/** Index of the technique chosen by setTechnique. */
	int technique() const { return m_technique; }

	/** Technique resolved by the last begin; -1 when it found none. */
	int activeTechnique() const { return m_activeTechnique; }

	/**
	 * Compiles and links a program from complete stage sources into pass
	 * (program, attribute locations, uniforms). name labels the messages.
	 * Returns false after printing the compile or link log; nothing is left
	 * allocated then.
	 */
	static bool compileProgram(const std::string& vertexSource, const std::string& fragmentSource,
							   const std::string& name, GLES2_Effect::Pass& pass);

	/** Decodes a pass's assignments (keys lower case, values any case) into render states. */
	static GLES2_Effect::RenderStates parseRenderStates(const std::map<std::string, std::string>& states);

	/** GL blend factor of an upper-case word; def for any other word. */
	static GLenum parseBlendFactor(const std::string& word, GLenum def);

	/** Name of a semantic parameter id; "" for NONE and unknown ids. */
	static const char* parameterName(ParamType param);

	/** Sets the pass's render states on GL. */
	void applyRenderStates(const GLES2_Effect::Pass& pass) const;

	/** Uploads every active uniform of the pass and binds its textures. */
	void bindParameters(const GLES2_Effect::Pass& pass) const;

private:
	GLES2_Context* m_context;
	lang::Ptr<GLES2_Effect> m_effect;
	int m_technique;
	int m_activeTechnique;
	int m_sortMode;
	lang::String m_name;
	/** Per-name render tweaks decided when the name is set. */
	bool m_skybox;
	float m_polygonOffset[2];
	std::map<std::string, Parameter> m_parameters;

	Parameter& parameter(const char* name, int kind);
	const Parameter* find(const char* name) const;
	void bindTexture(GLint location, GLuint texture, int& unit) const;
	std::string providedTextures() const;

	GLES2_Shader(const GLES2_Shader&) = delete;
	GLES2_Shader& operator=(const GLES2_Shader&) = delete;
};

} // gr

#endif
