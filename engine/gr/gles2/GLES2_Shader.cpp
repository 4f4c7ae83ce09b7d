#include <gr/gles2/GLES2_Shader.h>
#include <gr/gles2/GLES2_Context.h>

#include <cctype>
#include <cstring>

namespace gr {

namespace {

void storeTransposed(const math::Matrix4x4& m, float* out) {
	for (int c = 0; c < 4; ++c)
		for (int r = 0; r < 4; ++r)
			out[c * 4 + r] = m.m[r][c];
}

} // namespace

GLES2_Shader::Parameter::Parameter() : kind(VALUE), value{} {}

GLES2_Shader::GLES2_Shader(GLES2_Context* context, GLES2_Effect* effect)
	: m_context(context), m_effect(effect), m_technique(0), m_activeTechnique(0), m_sortMode(effect->sortMode),
	  m_skybox(false), m_polygonOffset{0.f, 0.f} {}

GLES2_Shader::~GLES2_Shader() {
	// The context is not touched: a level's shaders may be released after it.
}

Shader* GLES2_Shader::clone() const {
	GLES2_Shader* copy = new GLES2_Shader(m_context, m_effect);
	copy->m_technique = m_technique;
	copy->m_sortMode = m_sortMode;
	copy->setName(m_name);
	copy->m_parameters = m_parameters;
	return copy;
}

void GLES2_Shader::setTechnique(const lang::String& name) {
	const char* text = name.c_str();
	const std::vector<std::string>& names = m_effect->techniqueNames;
	for (size_t i = 0; i < names.size(); ++i) {
		if (names[i] == text) {
			m_technique = int(i);
			return;
		}
	}
}

const char* GLES2_Shader::parameterName(ParamType param) {
	if (param <= PARAM_NONE || param >= PARAM_COUNT)
		return "";
	return getParamName(param);
}

GLES2_Shader::Parameter& GLES2_Shader::parameter(const char* name, int kind) {
	Parameter& p = m_parameters[name];
	if (p.kind != kind) {
		if (p.kind == Parameter::TEXTURE)
			p.texture = nullptr;
		if (p.kind == Parameter::MATRIX_ARRAY)
			p.matrices.clear();
		p.kind = kind;
	}
	return p;
}

const GLES2_Shader::Parameter* GLES2_Shader::find(const char* name) const {
	auto it = m_parameters.find(name);
	return it == m_parameters.end() ? nullptr : &it->second;
}

void GLES2_Shader::setTexture(ParamType param, BaseTexture* value) {
	parameter(parameterName(param), Parameter::TEXTURE).texture = value;
}

void GLES2_Shader::setTexture(const lang::String& name, BaseTexture* value) {
	parameter(name.c_str(), Parameter::TEXTURE).texture = value;
}

void GLES2_Shader::setMatrix(ParamType param, const math::Matrix4x4& value) {
	storeTransposed(value, parameter(parameterName(param), Parameter::MATRIX).value);
}

void GLES2_Shader::setMatrix(const lang::String& name, const math::Matrix4x4& value) {
	storeTransposed(value, parameter(name.c_str(), Parameter::MATRIX).value);
}

void GLES2_Shader::setMatrixArray(ParamType param, const math::Matrix4x4* const* matrices, int count) {
	Parameter& p = parameter(parameterName(param), Parameter::MATRIX_ARRAY);
	p.matrices.resize(size_t(count > 0 ? count : 0) * 16);
	for (int i = 0; i < count; ++i)
		storeTransposed(*matrices[i], p.matrices.data() + size_t(i) * 16);
}

void GLES2_Shader::setVector(ParamType param, const math::Vector4& value) {
	std::memcpy(parameter(parameterName(param), Parameter::VALUE).value, &value, sizeof(float) * 4);
}

void GLES2_Shader::setVector(const lang::String& name, const math::Vector4& value) {
	std::memcpy(parameter(name.c_str(), Parameter::VALUE).value, &value, sizeof(float) * 4);
}

void GLES2_Shader::setFloat(ParamType param, float value) {
	float* v = parameter(parameterName(param), Parameter::VALUE).value;
	v[0] = v[1] = v[2] = v[3] = value;
}

void GLES2_Shader::setFloat(const lang::String& name, float value) {
	float* v = parameter(name.c_str(), Parameter::VALUE).value;
	v[0] = v[1] = v[2] = v[3] = value;
}

BaseTexture* GLES2_Shader::getTexture(const lang::String& name) const {
	const Parameter* p = find(name.c_str());
	return p && p->kind == Parameter::TEXTURE ? p->texture.ptr() : nullptr;
}

math::Matrix4x4 GLES2_Shader::getMatrix(const lang::String& name) const {
	math::Matrix4x4 m;
	const Parameter* p = find(name.c_str());
	if (p && p->kind == Parameter::MATRIX)
		for (int c = 0; c < 4; ++c)
			for (int r = 0; r < 4; ++r)
				m.m[r][c] = p->value[c * 4 + r];
	return m;
}

math::Vector4 GLES2_Shader::getVector(const lang::String& name) const {
	const Parameter* p = find(name.c_str());
	if (p && p->kind == Parameter::VALUE)
		return math::Vector4(p->value[0], p->value[1], p->value[2], p->value[3]);
	return math::Vector4();
}

float GLES2_Shader::getFloat(const lang::String& name) const {
	const Parameter* p = find(name.c_str());
	return p && p->kind == Parameter::VALUE ? p->value[0] : 0.f;
}

int GLES2_Shader::begin() {
	m_activeTechnique = m_technique;
	const GLES2_Effect& effect = *m_effect;
	if (!m_context->techniqueOverride.empty()) {
		int found = -1;
		for (size_t i = 0; i < effect.techniqueNames.size(); ++i) {
			if (effect.techniqueNames[i] == m_context->techniqueOverride) {
				found = int(i);
				break;
			}
		}
		if (effect.isFallback)
			m_activeTechnique = 0;
		else if (found >= 0)
			m_activeTechnique = found;
		else
			m_activeTechnique = -1;
	}
	if (m_activeTechnique < 0 || size_t(m_activeTechnique) >= effect.techniques.size())
		return 0;
	return int(effect.techniques[m_activeTechnique].size());
}

void GLES2_Shader::beginPass(int index) {
	if (m_activeTechnique < 0 || size_t(m_activeTechnique) >= m_effect->techniques.size())
		return;
	const std::vector<GLES2_Effect::Pass>& passes = m_effect->techniques[m_activeTechnique];
	if (index < 0 || size_t(index) >= passes.size())
		return;
	const GLES2_Effect::Pass& pass = passes[index];
	gl.UseProgram(pass.program);
	applyRenderStates(pass);
	bindParameters(pass);
	m_context->m_currentPass = &pass;
	m_context->m_currentShader = this;
}

void GLES2_Shader::endPass() {
	m_context->m_currentPass = nullptr;
	m_context->m_currentShader = nullptr;
}

void GLES2_Shader::end() {}

void GLES2_Shader::setName(const lang::String& name) {
	m_name = name;
	std::string lower = name.c_str();
	for (char& c : lower)
		c = char(std::tolower(static_cast<unsigned char>(c)));
	m_skybox = lower.find("skybox") != std::string::npos;
	// Decals that lie on other geometry and would fight it for depth.
	const std::string exact = name.c_str();
	m_polygonOffset[0] = exact == "rail_boost" ? -1.f : (exact == "boost_glow" ? -2.f : 0.f);
	m_polygonOffset[1] = exact == "rail_boost" ? -8.f : (exact == "boost_glow" ? -16.f : 0.f);
}

void GLES2_Shader::setFlags(int flags) {
	m_sortMode = flags;
}
int GLES2_Shader::getPriority() const {
	return m_effect->priority;
}
int GLES2_Shader::getFlags() const {
	return m_sortMode;
}
bool GLES2_Shader::isValid() const {
	return true;
}
const lang::String& GLES2_Shader::name() const {
	return m_name;
}

} // gr
