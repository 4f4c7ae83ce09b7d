#include <gr/Shader.h>
#include <cstring>

namespace gr {

namespace {

const char* const PARAM_NAMES[Shader::PARAM_COUNT] = {
	"NONE",	   "CAMERAP", "WORLDTM", "VIEWTM",	"VIEWTMINV", "VIEWPROJTM", "PROJTM",  "TOTALTM", "BONEWORLDTM",
	"LIGHTP0", "LIGHTP1", "LIGHTP2", "LIGHTP3", "LIGHTP4",	 "LIGHTP5",	   "LIGHTP6", "LIGHTP7", "LIGHTC0",
	"LIGHTC1", "LIGHTC2", "LIGHTC3", "LIGHTC4", "LIGHTC5",	 "LIGHTC6",	   "LIGHTC7",
};

} // namespace

const char* Shader::getParamName(ParamType param) {
	return param >= 0 && param < PARAM_COUNT ? PARAM_NAMES[param] : "";
}

Shader::ParamType Shader::parseParamType(const char* name) {
	if (!name)
		return PARAM_NONE;
	for (int i = 0; i < PARAM_COUNT; ++i) {
		if (!strcmp(name, PARAM_NAMES[i]))
			return ParamType(i);
	}
	return PARAM_NONE;
}

Shader::ParamType Shader::parseParamType(const lang::String& name) {
	return parseParamType(name.c_str());
}

} // gr
