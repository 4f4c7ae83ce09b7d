#include <gr/gles2/GLES2_Effect.h>
#include <gr/gles2/EffectDescription.h>
#include <gr/gles2/GLES2_Context.h>
#include <gr/gles2/GLES2_Shader.h>
#include <gr/gles2/ShaderStage.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace gr {

const char* const GLES2_Effect::FALLBACK_VERTEX =
	"#version 100\n"
	"attribute highp vec3 DT_POSITION;\n"
	"attribute mediump vec3 DT_NORMAL;\n"
	"attribute mediump vec2 DT_TEX0;\n"
	"uniform highp mat4 TOTALTM;\n"
	"uniform highp mat4 WORLDTM;\n"
	"uniform highp vec4 LIGHTP0;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"varying lowp float V_Light;\n"
	"void main() {\n"
	"  gl_Position = TOTALTM * vec4(DT_POSITION, 1.0);\n"
	"  highp vec3 wp = (WORLDTM * vec4(DT_POSITION, 1.0)).xyz;\n"
	"  mediump vec3 n = mat3(WORLDTM) * DT_NORMAL;\n"
	"  mediump float len = length(n);\n"
	"  n = len > 0.0001 ? n / len : vec3(0.0, 1.0, 0.0);\n"
	"  V_Light = 0.45 + 0.55 * abs(dot(n, normalize(LIGHTP0.xyz - wp + vec3(0.0, 0.0001, 0.0))));\n"
	"  V_TexCoord0 = DT_TEX0;\n"
	"}\n";

const char* const GLES2_Effect::FALLBACK_FRAGMENT =
	"#version 100\n"
	"precision mediump float;\n"
	"uniform lowp sampler2D BASEMAP;\n"
	"uniform lowp vec4 DIFFUSEC;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"varying lowp float V_Light;\n"
	"void main() {\n"
	"  lowp vec4 c = texture2D(BASEMAP, V_TexCoord0);\n"
	"  gl_FragColor = vec4(c.rgb * V_Light, c.a);\n"
	"}\n";

GLES2_Effect::Pass::Pass()
	: program(0), renderStates(GLES2_Shader::parseRenderStates(std::map<std::string, std::string>())) {
	for (GLint& location : attributes)
		location = -1;
}

GLES2_Effect::GLES2_Effect() : priority(0), sortMode(0), isFallback(false), usesWaterTextures(false) {}

GLES2_Effect::~GLES2_Effect() {
	for (const std::vector<Pass>& passes : techniques)
		for (const Pass& pass : passes)
			if (pass.program != 0)
				gl.DeleteProgram(pass.program);
}

std::string GLES2_Effect::baseName(const std::string& path) {
	const size_t slash = path.find_last_of("/\\");
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

int GLES2_Effect::parseSortMode(const std::string& value) {
	std::string upper = value;
	for (char& c : upper)
		c = char(std::toupper(static_cast<unsigned char>(c)));
	static const char* const modes[] = {"BACKTOFRONT", "FRONTTOBACK", "INSIDEOUT", "OUTSIDEIN"};
	for (int i = 0; i < 4; ++i)
		if (upper == modes[i])
			return i + 1;
	return 0;
}

int GLES2_Effect::parsePriority(const std::string& value) {
	return int(std::strtol(value.c_str(), nullptr, 10));
}

GLES2_Effect* GLES2_Effect::load(GLES2_Context* context, const std::string& path, int variant) {
	char suffix[24];
	std::snprintf(suffix, sizeof(suffix), "#%d", variant);
	const std::string key = path + suffix;
	auto cached = context->m_effectCache.find(key);
	if (cached != context->m_effectCache.end())
		return cached->second;

	lang::Ptr<GLES2_Effect> effect;
	EffectDescription description;
	if (!parseEffect(path, description)) {
		fprintf(stderr, "[gles2] effect '%s': %s (using fallback shader)\n", path.c_str(), description.error.c_str());
	} else {
		effect = new GLES2_Effect;
		effect->name = path;
		auto setting = description.settings.find("priority");
		if (setting != description.settings.end())
			effect->priority = parsePriority(setting->second);
		setting = description.settings.find("sort");
		if (setting != description.settings.end())
			effect->sortMode = parseSortMode(setting->second);

		const std::string file = baseName(path);
		size_t passCount = 0;
		for (const EffectDescription::Technique& technique : description.techniques) {
			std::vector<Pass> passes;
			for (const EffectDescription::Pass& passDescription : technique.passes) {
				const std::string label = file + "/" + technique.name + "/" + passDescription.name;
				std::string vertex, fragment, error;
				passes.emplace_back();
				Pass& pass = passes.back();
				if (!buildShaderStageSource(passDescription.vertexShader, description.defines, false, vertex, error) ||
					!buildShaderStageSource(passDescription.fragmentShader, description.defines, true, fragment,
											error) ||
					!GLES2_Shader::compileProgram(vertex, fragment, label, pass)) {
					if (!error.empty())
						fprintf(stderr, "[gles2] %s: %s\n", label.c_str(), error.c_str());
					fprintf(stderr, "[gles2] effect '%s' failed; using fallback shader\n", path.c_str());
					// The passes compiled so far go with the effect (their programs are deleted).
					effect->techniques.push_back(std::move(passes));
					effect = nullptr;
					break;
				}
				pass.states = passDescription.states;
				pass.renderStates = GLES2_Shader::parseRenderStates(pass.states);
			}
			if (!effect)
				break;
			passCount += passes.size();
			effect->techniqueNames.push_back(technique.name);
			effect->techniques.push_back(std::move(passes));
			if (technique.name == "Water")
				effect->usesWaterTextures = true;
		}
		if (effect && passCount == 0) {
			// Such an effect would draw nothing at all under any technique.
			fprintf(stderr, "[gles2] effect '%s': %s (using fallback shader)\n", path.c_str(),
					"no technique has a pass");
			effect = nullptr;
		}
		if (effect && file.compare(0, 5, "water") == 0)
			effect->usesWaterTextures = true;
	}

	if (effect) {
		++context->loadCounters[GLES2_Context::EFFECTS_LOADED];
		context->m_effectCache[key] = effect;
		return effect;
	}
	++context->loadCounters[GLES2_Context::EFFECTS_FALLEN_BACK];
	GLES2_Effect* fallback = createFallback(context);
	context->m_effectCache[key] = fallback;
	return fallback;
}

GLES2_Effect* GLES2_Effect::createFallback(GLES2_Context* context) {
	if (context->m_fallbackEffect)
		return context->m_fallbackEffect;

	GLES2_Effect* effect = new GLES2_Effect;
	context->m_fallbackEffect = effect;
	effect->name = "(fallback)";
	effect->isFallback = true;
	std::vector<Pass> passes(1);
	if (!GLES2_Shader::compileProgram(FALLBACK_VERTEX, FALLBACK_FRAGMENT, "fallback", passes[0])) {
		fprintf(stderr, "[gles2] the fallback shader does not compile; check the GLES context\n");
		std::abort();
	}
	effect->techniqueNames.push_back("Default");
	effect->techniques.push_back(std::move(passes));
	return effect;
}

} // gr
