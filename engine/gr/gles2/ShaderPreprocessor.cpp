#include <gr/gles2/ShaderPreprocessor.h>
#include <gr/gles2/EffectText.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace gr {

namespace {

bool isWordChar(char c) {
	return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isSpace(char c) {
	return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Removes "//" and "/* */" comments from a directive's argument so that
// "#ifdef FOO // note" tests FOO. Text between double quotes (and, for
// include names, between angle brackets) is kept as written.
std::string stripComments(const std::string& text, bool includeName) {
	std::string result;
	char closing = 0;
	for (size_t i = 0; i < text.size(); ++i) {
		char c = text[i];
		if (closing) {
			if (c == closing)
				closing = 0;
			result.push_back(c);
			continue;
		}
		if (c == '"' || (includeName && c == '<')) {
			closing = c == '"' ? '"' : '>';
			result.push_back(c);
			continue;
		}
		if (c == '/' && i + 1 < text.size() && text[i + 1] == '/')
			break;
		if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
			size_t end = text.find("*/", i + 2);
			if (end == std::string::npos)
				break;
			result.push_back(' ');
			i = end + 1;
			continue;
		}
		result.push_back(c);
	}
	return trimWhitespace(result);
}

bool isNonZeroNumber(const char* text) {
	return std::strtol(text, nullptr, 10) != 0;
}

} // namespace

ShaderPreprocessor::ShaderPreprocessor() : cursor(nullptr), nesting(0), expressionTooDeep(false), includeCount(0) {}

bool ShaderPreprocessor::process(const std::string& path, std::string& out, int depth) {
	std::string text;
	if (!readIncludedFile(path, depth, text, error))
		return false;

	std::vector<ConditionFrame> stack;
	size_t pos = 0;
	std::string line;
	while (nextLine(text, pos, line)) {
		const std::string t = trimWhitespace(line);
		const bool active = stack.empty() || stack.back().active;
		if (t.empty() || t[0] != '#') {
			if (active) {
				out += line;
				out += '\n';
			}
			continue;
		}

		// Directive: keyword is the first word after '#', argument the rest.
		size_t pos = 1;
		while (pos < t.size() && isSpace(t[pos]))
			++pos;
		size_t keywordEnd = pos;
		while (keywordEnd < t.size() && !isSpace(t[keywordEnd]))
			++keywordEnd;
		const std::string keyword = t.substr(pos, keywordEnd - pos);
		const std::string rawArgument = t.substr(keywordEnd);
		const std::string argument = stripComments(rawArgument, keyword == "include");
		const bool parentActive = stack.size() <= 1 || stack[stack.size() - 2].active;

		if (keyword == "ifdef" || keyword == "ifndef") {
			bool c = defines.count(argument) != 0;
			if (keyword == "ifndef")
				c = !c;
			stack.push_back(ConditionFrame{active && c, c});
		} else if (keyword == "if") {
			bool c = false;
			if (!evaluate(argument, path, c))
				return false;
			stack.push_back(ConditionFrame{active && c, c});
		} else if (keyword == "elif") {
			if (stack.empty())
				continue;
			ConditionFrame& top = stack.back();
			if (top.taken) {
				top.active = false;
			} else {
				bool c = false;
				if (!evaluate(argument, path, c))
					return false;
				top.active = parentActive && c;
				top.taken = c;
			}
		} else if (keyword == "else") {
			if (stack.empty())
				continue;
			ConditionFrame& top = stack.back();
			top.active = parentActive && !top.taken;
			top.taken = true;
		} else if (keyword == "endif") {
			if (!stack.empty())
				stack.pop_back();
		} else if (keyword == "define") {
			if (active)
				define(argument);
		} else if (keyword == "undef") {
			if (active)
				undefine(argument);
		} else if (keyword == "include") {
			if (!active)
				continue;
			std::string name;
			for (char c : argument) {
				if (c != '"' && c != '<' && c != '>')
					name.push_back(c);
			}
			name = trimWhitespace(name);
			const std::string full = resolveRelativePath(directoryOf(path), name);
			if (++includeCount > MAX_INCLUDES) {
				error = "too many #include files (more than " + std::to_string(MAX_INCLUDES) + ") at " + full;
				return false;
			}
			if (!process(full, out, depth + 1))
				return false;
		}
		// Any other keyword: the line is dropped.
	}
	return true;
}

void ShaderPreprocessor::define(const std::string& argument) {
	size_t nameEnd = 0;
	while (nameEnd < argument.size() && !isSpace(argument[nameEnd]))
		++nameEnd;
	const std::string name = argument.substr(0, nameEnd);
	// A define without a name would be forwarded as a bare "#define" line
	// that no GLSL compiler accepts.
	if (name.empty())
		return;
	const std::string value = trimWhitespace(argument.substr(nameEnd));
	if (defines.find(name) == defines.end())
		defineOrder.push_back(name);
	defines[name] = value;
}

void ShaderPreprocessor::undefine(const std::string& name) {
	defines.erase(name);
	defineOrder.erase(std::remove(defineOrder.begin(), defineOrder.end(), name), defineOrder.end());
}

bool ShaderPreprocessor::evaluate(const std::string& text, const std::string& path, bool& value) {
	expression = text;
	cursor = expression.c_str();
	nesting = 0;
	expressionTooDeep = false;
	value = evalOr();
	cursor = nullptr;
	if (expressionTooDeep) {
		error = "#if expression nested too deeply (more than " + std::to_string(MAX_EXPRESSION_NESTING) +
				" levels of '!' or '(') in " + path;
		return false;
	}
	return true;
}

void ShaderPreprocessor::skipBlanks() {
	while (*cursor == ' ' || *cursor == '\t')
		++cursor;
}

bool ShaderPreprocessor::evalOr() {
	bool value = evalAnd();
	for (;;) {
		skipBlanks();
		if (cursor[0] != '|' || cursor[1] != '|')
			return value;
		cursor += 2;
		bool term = evalAnd();
		value = value || term;
	}
}

bool ShaderPreprocessor::evalAnd() {
	bool value = evalCondition();
	for (;;) {
		skipBlanks();
		if (cursor[0] != '&' || cursor[1] != '&')
			return value;
		cursor += 2;
		bool operand = evalCondition();
		value = value && operand;
	}
}

bool ShaderPreprocessor::evalCondition() {
	if (!cursor || expressionTooDeep)
		return false;
	if (nesting >= MAX_EXPRESSION_NESTING) {
		expressionTooDeep = true;
		return false;
	}
	++nesting;

	bool value = false;
	skipBlanks();
	if (*cursor == '!') {
		++cursor;
		value = !evalCondition();
	} else if (*cursor == '(') {
		++cursor;
		value = evalOr();
		skipBlanks();
		if (*cursor == ')')
			++cursor;
	} else {
		const char* start = cursor;
		while (isWordChar(*cursor))
			++cursor;
		const std::string word(start, cursor);
		if (word == "defined") {
			skipBlanks();
			bool paren = false;
			if (*cursor == '(') {
				paren = true;
				++cursor;
				skipBlanks();
			}
			const char* nameStart = cursor;
			while (isWordChar(*cursor))
				++cursor;
			const std::string name(nameStart, cursor);
			skipBlanks();
			if (paren && *cursor == ')')
				++cursor;
			value = defines.count(name) != 0;
		} else if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0]))) {
			value = isNonZeroNumber(word.c_str());
		} else {
			auto it = defines.find(word);
			value = it != defines.end() && isNonZeroNumber(it->second.c_str());
		}
	}

	--nesting;
	return value && !expressionTooDeep;
}

} // namespace gr
