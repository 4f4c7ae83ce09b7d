#include <gr/gles2/GLES2_Shader.h>
#include <gr/gles2/GLES2_Context.h>
#include <gr/gles2/GLES2_Texture.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace gr {

namespace {

const GLsizei INFO_LOG_SIZE = 4096;

const float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Compiles one stage; prints the log and returns 0 when it does not compile.
GLuint compileStage(GLenum type, const std::string& source, const std::string& label) {
	const GLuint shader = gl.CreateShader(type);
	const char* text = source.c_str();
	gl.ShaderSource(shader, 1, &text, nullptr);
	gl.CompileShader(shader);
	GLint status = GL_FALSE;
	gl.GetShaderiv(shader, GL_COMPILE_STATUS, &status);
	if (status == GL_FALSE) {
		char log[INFO_LOG_SIZE] = "";
		GLsizei length = 0;
		gl.GetShaderInfoLog(shader, INFO_LOG_SIZE, &length, log);
		fprintf(stderr, "[gles2] error compilando %s:\n%s\n", label.c_str(), log);
		gl.DeleteShader(shader);
		return 0;
	}
	return shader;
}

std::string upper(const std::string& text) {
	std::string out = text;
	for (char& c : out)
		c = char(std::toupper(static_cast<unsigned char>(c)));
	return out;
}

std::string state(const std::map<std::string, std::string>& states, const char* key, const char* def) {
	auto it = states.find(key);
	return it == states.end() ? std::string(def) : upper(it->second);
}

GLenum parseDepthFunc(const std::string& word) {
	static const struct {
		const char* name;
		GLenum func;
	} funcs[] = {{"NEVER", GL_NEVER},	  {"ALWAYS", GL_ALWAYS}, {"LEQUAL", GL_LEQUAL},	   {"EQUAL", GL_EQUAL},
				 {"GREATER", GL_GREATER}, {"GEQUAL", GL_GEQUAL}, {"NOTEQUAL", GL_NOTEQUAL}};
	for (const auto& f : funcs)
		if (word == f.name)
			return f.func;
	return GL_LESS;
}

// Value of an unset uniform by name.
void defaultValue(const std::string& name, const GLES2_Context& context, float* v) {
	float x = 0.f, y = 0.f, z = 0.f, w = 0.f;
	if (name == "TIME")
		x = y = z = w = context.time;
	else if (name == "FOG_RANGE")
		x = context.fogRange.x, y = context.fogRange.y, z = context.fogRange.z, w = context.fogRange.w;
	else if (name == "FOG_COLOR")
		x = context.fogColor.x, y = context.fogColor.y, z = context.fogColor.z, w = context.fogColor.w;
	else if (name == "TEXEL_OFFSET")
		x = 1.f / float(context.getTargetWidth()), y = 1.f / float(context.getTargetHeight());
	else if (name == "ALPHA_FACTOR" || name == "DIFFUSEC" || name == "LIGHTC0")
		x = y = z = w = 1.f;
	else if (name == "AMBIENTC")
		x = y = z = 0.35f, w = 1.f;
	else if (name == "GLOSSINESS")
		x = y = z = w = 16.f;
	else if (name == "SHININESS")
		x = y = z = w = 0.3f;
	v[0] = x;
	v[1] = y;
	v[2] = z;
	v[3] = w;
}

void uploadValue(GLint location, GLenum type, const float* value) {
	switch (type) {
	case GL_FLOAT:
		gl.Uniform1fv(location, 1, value);
		break;
	case GL_FLOAT_VEC2:
		gl.Uniform2fv(location, 1, value);
		break;
	case GL_FLOAT_VEC3:
		gl.Uniform3fv(location, 1, value);
		break;
	case GL_FLOAT_VEC4:
		gl.Uniform4fv(location, 1, value);
		break;
	default:
		break;
	}
}

} // namespace

bool GLES2_Shader::compileProgram(const std::string& vertexSource, const std::string& fragmentSource,
								  const std::string& name, GLES2_Effect::Pass& pass) {
	const GLuint vertex = compileStage(GL_VERTEX_SHADER, vertexSource, name + " (vertex)");
	const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, fragmentSource, name + " (pixel)");
	if (vertex == 0 || fragment == 0) {
		if (vertex != 0)
			gl.DeleteShader(vertex);
		if (fragment != 0)
			gl.DeleteShader(fragment);
		return false;
	}

	const GLuint program = gl.CreateProgram();
	gl.AttachShader(program, vertex);
	gl.AttachShader(program, fragment);
	gl.BindAttribLocation(program, 0, "DT_POSITION");
	gl.LinkProgram(program);
	gl.DeleteShader(vertex);
	gl.DeleteShader(fragment);
	GLint status = GL_FALSE;
	gl.GetProgramiv(program, GL_LINK_STATUS, &status);
	if (status == GL_FALSE) {
		char log[INFO_LOG_SIZE] = "";
		GLsizei length = 0;
		gl.GetProgramInfoLog(program, INFO_LOG_SIZE, &length, log);
		fprintf(stderr, "[gles2] error enlazando %s:\n%s\n", name.c_str(), log);
		gl.DeleteProgram(program);
		return false;
	}

	pass.program = program;
	for (int i = 0; i < VertexFormat::DT_SIZE; ++i)
		pass.attributes[i] = gl.GetAttribLocation(program, VertexFormat::getDataTypeName(i));
	GLint count = 0;
	gl.GetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
	pass.uniforms.clear();
	for (GLint i = 0; i < count; ++i) {
		char uniformName[256] = "";
		GLsizei length = 0;
		GLint size = 0;
		GLenum type = 0;
		gl.GetActiveUniform(program, GLuint(i), sizeof(uniformName), &length, &size, &type, uniformName);
		if (char* bracket = std::strchr(uniformName, '['))
			*bracket = 0;
		pass.uniforms[uniformName] = GLES2_Effect::Uniform{gl.GetUniformLocation(program, uniformName), type, size};
	}
	return true;
}

GLenum GLES2_Shader::parseBlendFactor(const std::string& word, GLenum def) {
	static const struct {
		const char* name;
		GLenum factor;
	} factors[] = {{"ZERO", GL_ZERO},
				   {"ONE", GL_ONE},
				   {"SRC_COLOR", GL_SRC_COLOR},
				   {"ONE_MINUS_SRC_COLOR", GL_ONE_MINUS_SRC_COLOR},
				   {"DST_COLOR", GL_DST_COLOR},
				   {"ONE_MINUS_DST_COLOR", GL_ONE_MINUS_DST_COLOR},
				   {"SRC_ALPHA", GL_SRC_ALPHA},
				   {"ONE_MINUS_SRC_ALPHA", GL_ONE_MINUS_SRC_ALPHA},
				   {"DST_ALPHA", GL_DST_ALPHA},
				   {"ONE_MINUS_DST_ALPHA", GL_ONE_MINUS_DST_ALPHA},
				   {"SRC_ALPHA_SATURATE", GL_SRC_ALPHA_SATURATE}};
	for (const auto& f : factors)
		if (word == f.name)
			return f.factor;
	return def;
}

GLES2_Effect::RenderStates GLES2_Shader::parseRenderStates(const std::map<std::string, std::string>& states) {
	GLES2_Effect::RenderStates rs;
	rs.culling = state(states, "enableculling", "TRUE") != "FALSE";
	const std::string cull = state(states, "cullface", "BACK");
	rs.cullFace = cull == "FRONT" ? GL_FRONT : (cull == "FRONT_AND_BACK" ? GL_FRONT_AND_BACK : GL_BACK);
	rs.depthTest = state(states, "enabledepthtest", "TRUE") != "FALSE";
	rs.depthMask = state(states, "enabledepthmask", "TRUE") != "FALSE";
	rs.depthFunc = parseDepthFunc(state(states, "depthfunc", "LESS"));
	rs.blending = state(states, "enableblending", "FALSE") == "TRUE";
	const std::string equation = state(states, "blendequation", "FUNC_ADD");
	rs.blendEquation = equation == "FUNC_SUBTRACT"
						   ? GL_FUNC_SUBTRACT
						   : (equation == "FUNC_REVERSE_SUBTRACT" ? GL_FUNC_REVERSE_SUBTRACT : GL_FUNC_ADD);
	rs.blendSource = parseBlendFactor(state(states, "blendfuncsrc", ""), GL_ONE);
	rs.blendDestination = parseBlendFactor(state(states, "blendfuncdst", ""), GL_ZERO);
	return rs;
}

void GLES2_Shader::applyRenderStates(const GLES2_Effect::Pass& pass) const {
	const GLES2_Effect::RenderStates& rs = pass.renderStates;
	gl.FrontFace(m_context->mirrored ? GL_CCW : GL_CW);

	if (!rs.culling || m_skybox) {
		gl.Disable(GL_CULL_FACE);
	} else {
		gl.Enable(GL_CULL_FACE);
		gl.CullFace(rs.cullFace);
	}

	gl.Enable(GL_DEPTH_TEST);
	if (!rs.depthTest) {
		// "No depth test" keeps testing but neither writes depth nor fights
		// the surface underneath: overlays still hide behind walls.
		gl.Enable(GL_POLYGON_OFFSET_FILL);
		gl.PolygonOffset(-4.f, -64.f);
		gl.DepthMask(GL_FALSE);
	} else {
		if (m_polygonOffset[0] != 0.f) {
			gl.Enable(GL_POLYGON_OFFSET_FILL);
			gl.PolygonOffset(m_polygonOffset[0], m_polygonOffset[1]);
		} else {
			gl.Disable(GL_POLYGON_OFFSET_FILL);
		}
		gl.DepthMask(rs.depthMask ? GL_TRUE : GL_FALSE);
	}
	gl.DepthFunc(rs.depthFunc);

	if (!rs.blending) {
		gl.Disable(GL_BLEND);
	} else {
		gl.Enable(GL_BLEND);
		gl.BlendEquation(rs.blendEquation);
		gl.BlendFunc(rs.blendSource, rs.blendDestination);
	}
}

void GLES2_Shader::bindTexture(GLint location, GLuint texture, int& unit) const {
	gl.ActiveTexture(GLenum(GL_TEXTURE0 + unit));
	gl.BindTexture(GL_TEXTURE_2D, texture);
	gl.Uniform1i(location, unit);
	++unit;
}

std::string GLES2_Shader::providedTextures() const {
	std::string names;
	for (const auto& entry : m_parameters) {
		if (entry.second.kind != Parameter::TEXTURE)
			continue;
		if (!names.empty())
			names += ", ";
		names += entry.first;
	}
	return names.empty() ? std::string("nothing") : names;
}

void GLES2_Shader::bindParameters(const GLES2_Effect::Pass& pass) const {
	int unit = 0;
	for (const auto& entry : pass.uniforms) {
		const std::string& uniformName = entry.first;
		const GLES2_Effect::Uniform& uniform = entry.second;
		if (uniform.location < 0)
			continue;
		const Parameter* p = find(uniformName.c_str());

		if (uniform.type == GL_SAMPLER_2D || uniform.type == GL_SAMPLER_CUBE) {
			if (p && p->kind == Parameter::TEXTURE) {
				if (const GLES2_Texture* texture = dynamic_cast<const GLES2_Texture*>(p->texture.ptr())) {
					bindTexture(uniform.location, texture->glName(), unit);
					continue;
				}
			}
			if (m_effect->usesWaterTextures) {
				const Texture* water = uniformName == "REFLMAP"
										   ? m_context->reflectionMap.ptr()
										   : (uniformName == "NORMALMAP" ? m_context->waterNormalMap.ptr() : nullptr);
				if (const GLES2_Texture* texture = dynamic_cast<const GLES2_Texture*>(water)) {
					bindTexture(uniform.location, texture->glName(), unit);
					continue;
				}
			}
			if (uniformName != "REFLMAP" && uniformName != "REFRACMAP" &&
				m_context->m_warnedSamplers.insert(m_effect->name + "|" + uniformName).second) {
				fprintf(stderr, "[gles2] sampler '%s' has no texture in '%s' (material '%s' provides: %s)\n",
						uniformName.c_str(), GLES2_Effect::baseName(m_effect->name).c_str(), m_name.c_str(),
						providedTextures().c_str());
			}
			// Select the unit first: a default texture made now is bound while
			// it is created, which must not displace the previous sampler's.
			gl.ActiveTexture(GLenum(GL_TEXTURE0 + unit));
			bindTexture(uniform.location, m_context->getSamplerDefault(uniformName), unit);
			continue;
		}

		if (p) {
			if (p->kind == Parameter::MATRIX_ARRAY) {
				const GLsizei stored = GLsizei(p->matrices.size() / 16);
				if (uniform.type == GL_FLOAT_MAT4 && stored > 0)
					gl.UniformMatrix4fv(uniform.location, std::min(stored, GLsizei(uniform.size)), GL_FALSE,
										p->matrices.data());
			} else if (uniform.type == GL_FLOAT_MAT4) {
				gl.UniformMatrix4fv(uniform.location, 1, GL_FALSE, p->kind == Parameter::MATRIX ? p->value : IDENTITY);
			} else {
				uploadValue(uniform.location, uniform.type, p->value);
			}
			continue;
		}

		if (uniform.type == GL_FLOAT_MAT4) {
			gl.UniformMatrix4fv(uniform.location, 1, GL_FALSE, IDENTITY);
			continue;
		}
		float value[4];
		defaultValue(uniformName, *m_context, value);
		uploadValue(uniform.location, uniform.type, value);
	}
	gl.ActiveTexture(GL_TEXTURE0);
}

} // gr
