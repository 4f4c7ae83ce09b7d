#include <gr/gles2/EffectDescription.h>
#include <gr/gles2/EffectLexer.h>
#include <gr/gles2/EffectText.h>
#include <gr/gles2/ShaderPreprocessor.h>

#include <cctype>

namespace gr {

namespace {

std::string toLower(const std::string& text) {
	std::string lowered = text;
	for (char& c : lowered)
		c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
	return lowered;
}

// Reads one pass after its "pass" token. Returns false with error set.
bool parsePass(EffectLexer& lexer, const std::string& directory, EffectDescription::Pass& pass, std::string& error) {
	pass.name = lexer.next();
	if (lexer.next() != "{") {
		error = "expected '{' after pass " + pass.name;
		return false;
	}
	for (;;) {
		const std::string key = lexer.next();
		if (key.empty() || key == "}")
			return true;
		if (lexer.next() != "=") {
			error = "expected '=' after " + key;
			return false;
		}
		const std::string value = lexer.readValue();
		const std::string lowered = toLower(key);
		if (lowered == "vertexshader")
			pass.vertexShader = resolveRelativePath(directory, value);
		else if (lowered == "pixelshader" || lowered == "fragmentshader")
			pass.fragmentShader = resolveRelativePath(directory, value);
		else
			pass.states[lowered] = value;
	}
}

// Reads one technique after its "technique" token. Returns false with error set.
bool parseTechnique(EffectLexer& lexer, const std::string& directory, EffectDescription::Technique& technique,
					std::string& error) {
	technique.name = lexer.next();
	if (lexer.next() != "{") {
		error = "expected '{' after technique " + technique.name;
		return false;
	}
	for (;;) {
		const std::string token = lexer.next();
		if (token.empty() || token == "}")
			return true;
		if (token != "pass") {
			error = "expected 'pass' in technique " + technique.name + ", vino '" + token + "'";
			return false;
		}
		EffectDescription::Pass pass;
		if (!parsePass(lexer, directory, pass, error))
			return false;
		technique.passes.push_back(pass);
	}
}

} // namespace

bool parseEffect(const std::string& path, EffectDescription& description) {
	description = EffectDescription();
	description.path = path;

	ShaderPreprocessor preprocessor;
	std::string text;
	if (!preprocessor.process(path, text, 0)) {
		description.error = preprocessor.error;
		return false;
	}
	for (const std::string& name : preprocessor.defineOrder) {
		const std::string& value = preprocessor.defines[name];
		description.defines.push_back(value.empty() ? name : name + " " + value);
	}

	const std::string directory = directoryOf(path);
	EffectLexer lexer(text);
	for (;;) {
		const std::string token = lexer.next();
		if (token.empty())
			break;
		if (token == "technique") {
			EffectDescription::Technique technique;
			if (!parseTechnique(lexer, directory, technique, description.error))
				return false;
			description.techniques.push_back(technique);
			continue;
		}
		if (lexer.next() != "=") {
			description.error = "unexpected syntax near '" + token + "'";
			return false;
		}
		description.settings[toLower(token)] = lexer.readValue();
	}

	if (description.techniques.empty()) {
		description.error = "the effect defines no technique";
		return false;
	}
	return true;
}

} // namespace gr
