#include <gr/gles2/ShaderStage.h>
#include <gr/gles2/EffectText.h>

#include <cctype>
#include <cstring>

namespace gr {

namespace {

// Returns the directive keyword of a trimmed line ("#  ifdef X" gives
// "ifdef"), or an empty string when the line is no directive.
std::string directiveKeyword(const std::string& t) {
	if (t.empty() || t[0] != '#')
		return std::string();
	size_t pos = 1;
	while (pos < t.size() && (t[pos] == ' ' || t[pos] == '\t'))
		++pos;
	size_t end = pos;
	while (end < t.size() && (std::isalnum(static_cast<unsigned char>(t[end])) || t[end] == '_'))
		++end;
	return t.substr(pos, end - pos);
}

// Moves the body's "#extension" lines that stand outside any conditional
// block into hoisted, leaving an empty line in their place. Extension lines
// inside a conditional stay, as moving them out would change their meaning.
void hoistExtensions(std::string& body, std::string& hoisted) {
	std::string rest;
	rest.reserve(body.size());
	int conditionalDepth = 0;
	size_t pos = 0;
	std::string line;
	while (nextLine(body, pos, line)) {
		const std::string keyword = directiveKeyword(trimWhitespace(line));
		if (keyword == "if" || keyword == "ifdef" || keyword == "ifndef") {
			++conditionalDepth;
		} else if (keyword == "endif") {
			if (conditionalDepth > 0)
				--conditionalDepth;
		} else if (keyword == "extension" && conditionalDepth == 0) {
			hoisted += trimWhitespace(line);
			hoisted += '\n';
			rest += '\n';
			continue;
		}
		rest += line;
		rest += '\n';
	}
	body.swap(rest);
}

} // namespace

bool expandShaderIncludes(const std::string& path, std::string& out, std::set<std::string>& visited, std::string& error,
						  int depth) {
	std::string text;
	if (!readIncludedFile(path, depth, text, error))
		return false;

	size_t pos = 0;
	std::string line;
	while (nextLine(text, pos, line)) {
		const std::string t = trimWhitespace(line);
		if (t.compare(0, 8, "#include") != 0) {
			out += line;
			out += '\n';
			continue;
		}
		std::string name;
		for (char c : trimWhitespace(t.substr(8))) {
			if (c != '"')
				name.push_back(c);
		}
		const std::string full = resolveRelativePath(directoryOf(path), name);
		if (visited.count(full) == 0) {
			if (int(visited.size()) >= MAX_SHADER_INCLUDES) {
				error = "too many #include files (more than " + std::to_string(MAX_SHADER_INCLUDES) + ") at " + full;
				return false;
			}
			visited.insert(full);
			if (!expandShaderIncludes(full, out, visited, error, depth + 1))
				return false;
		}
	}
	return true;
}

bool buildShaderStageSource(const std::string& path, const std::vector<std::string>& defines, bool fragmentStage,
							std::string& out, std::string& error) {
	std::set<std::string> visited;
	std::string body;
	if (!expandShaderIncludes(path, body, visited, error, 0))
		return false;

	std::string extensions;
	hoistExtensions(body, extensions);

	std::string text = "#version 100\n";
	text += extensions;
	if (fragmentStage)
		text += "precision mediump float;\n";
	for (const std::string& define : defines) {
		text += "#define ";
		text += define;
		text += '\n';
	}
	text += "#line 1\n";
	text += body;
	out.swap(text);
	return true;
}

} // namespace gr
