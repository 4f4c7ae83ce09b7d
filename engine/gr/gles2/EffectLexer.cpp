#include <gr/gles2/EffectLexer.h>
#include <gr/gles2/EffectText.h>

#include <cctype>

namespace gr {

namespace {

bool isSingleCharToken(char c) {
	return c == ';' || c == '=' || c == '{' || c == '}';
}

bool isSpace(char c) {
	return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

EffectLexer::EffectLexer(const std::string& text) : text(text), pos(0) {}

void EffectLexer::skipBlanksAndComments() {
	for (;;) {
		while (pos < text.size() && isSpace(text[pos]))
			++pos;
		if (text.compare(pos, 2, "//") == 0) {
			size_t end = text.find('\n', pos);
			pos = end == std::string::npos ? text.size() : end;
		} else if (text.compare(pos, 2, "/*") == 0) {
			size_t end = text.find("*/", pos + 2);
			pos = end == std::string::npos ? text.size() : end + 2;
		} else {
			return;
		}
	}
}

std::string EffectLexer::next() {
	skipBlanksAndComments();
	if (pos >= text.size())
		return std::string();
	if (isSingleCharToken(text[pos]))
		return std::string(1, text[pos++]);
	size_t start = pos;
	while (pos < text.size() && !isSpace(text[pos]) && !isSingleCharToken(text[pos]))
		++pos;
	return text.substr(start, pos - start);
}

std::string EffectLexer::readValue() {
	skipBlanksAndComments();
	size_t end = text.find(';', pos);
	std::string value;
	if (end == std::string::npos) {
		value = text.substr(pos);
		pos = text.size();
	} else {
		value = text.substr(pos, end - pos);
		pos = end + 1;
	}
	return trimWhitespace(value);
}

} // namespace gr
