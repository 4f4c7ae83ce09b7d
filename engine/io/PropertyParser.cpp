#include <io/PropertyParser.h>
#include <io/IOException.h>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace io {

namespace {

inline bool isBlank(char c) {
	return std::isspace(static_cast<unsigned char>(c)) != 0;
}

inline char lower(char c) {
	return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

} // namespace

PropertyParser::Iterator::Iterator(PropertyParser* parser, int position, int line)
	: m_parser(parser), m_position(position), m_line(line) {}

PropertyParser::Iterator& PropertyParser::Iterator::operator++() {
	if (m_parser && !m_parser->readPair(&m_position, &m_line)) {
		m_parser = nullptr;
		m_position = 0;
	}
	return *this;
}

bool PropertyParser::Iterator::operator!=(const Iterator& other) const {
	return m_parser != other.m_parser || m_position != other.m_position;
}

const char* PropertyParser::Iterator::key() const {
	return m_parser->m_pairBuffer.begin();
}

const char* PropertyParser::Iterator::value() const {
	const char* k = key();
	return k + std::strlen(k) + 1;
}

PropertyParser::PropertyParser() : m_textLength(0) {}

PropertyParser::PropertyParser(const lang::String& text, const lang::String& name) : m_textLength(0) {
	parse(text, name);
}

void PropertyParser::parse(const lang::String& text, const lang::String& name) {
	// The comment-free copy. A comment runs up to its newline; the newline
	// stays, so the next line remains a pair of its own.
	int len = text.length();
	m_pairBuffer.resize(len + 1);
	char* src = m_pairBuffer.begin();
	text.getChars(0, len, src);
	src[len] = 0;
	m_text.clear();
	for (int i = 0; i < len; ++i) {
		if (src[i] == '-' && src[i + 1] == '-') {
			while (i < len && src[i] != '\n')
				++i;
			if (i == len)
				break;
		}
		m_text.add(src[i]);
	}
	m_textLength = m_text.size();
	m_text.add(0);
	m_name = name;

	m_pairBuffer.clear();
	m_entries.clear();
	int position = 0;
	int line = 1;
	while (readPair(&position, &line)) {
		Entry e;
		e.key = lang::String(m_pairBuffer.begin());
		e.value = lang::String(m_pairBuffer.begin() + std::strlen(m_pairBuffer.begin()) + 1);
		m_entries.add(e);
	}
	std::stable_sort(m_entries.begin(), m_entries.end(),
					 [](const Entry& a, const Entry& b) { return a.key.compareTo(b.key) < 0; });
}

bool PropertyParser::readPair(int* position, int* line) {
	const char* t = m_text.begin();
	int end = m_textLength;
	int i = *position;
	if (!t)
		return false;

	// Blanks and ";" between pairs.
	for (; i < end && (isBlank(t[i]) || t[i] == ';'); ++i)
		if (t[i] == '\n')
			++*line;
	if (i >= end || t[i] == 0) {
		*position = i;
		return false;
	}

	int keyLine = *line;
	m_pairBuffer.clear();
	for (; i < end && t[i] != '=' && t[i] != ';' && t[i] != 0 && !isBlank(t[i]); ++i)
		m_pairBuffer.add(lower(t[i]));
	m_pairBuffer.add(0);
	for (; i < end && isBlank(t[i]); ++i)
		if (t[i] == '\n')
			++*line;
	if (i >= end || t[i] != '=')
		throw IOException(lang::Format("Missing \"{0}=<value>\" on line {1} of property set \"{2}\":\n{3}",
									   m_pairBuffer.begin(), keyLine, m_name, t));
	++i;

	// The value stays on the line of its "=": an empty value ends there.
	for (; i < end && t[i] != '\n' && isBlank(t[i]); ++i) {
	}
	int valueStart = m_pairBuffer.size();
	for (; i < end && t[i] != '\n' && t[i] != ';' && t[i] != 0; ++i)
		m_pairBuffer.add(t[i]);
	int n = m_pairBuffer.size();
	while (n > valueStart && isBlank(m_pairBuffer[n - 1]))
		--n;
	m_pairBuffer.resize(n);
	m_pairBuffer.add(0);
	*position = i;
	return true;
}

const char* PropertyParser::lookup(const char* key) {
	if (!key)
		return nullptr;
	const Entry* first = m_entries.begin();
	const Entry* last = m_entries.end();
	const Entry* e =
		std::lower_bound(first, last, key, [](const Entry& a, const char* k) { return a.key.compareTo(k) < 0; });
	if (e == last || e->key.compareTo(key) != 0)
		return nullptr;
	int len = e->value.length();
	m_pairBuffer.resize(len + 1);
	e->value.copyTo(m_pairBuffer.begin(), len + 1);
	return m_pairBuffer.begin();
}

const char* PropertyParser::getString(const char* key) {
	return lookup(key);
}

bool PropertyParser::hasKey(const char* key) {
	return lookup(key) != nullptr;
}

bool PropertyParser::getBoolean(const char* key) {
	const char* v = lookup(key);
	if (!v)
		throw IOException(lang::Format("Failed to parse boolean, no key {0} in \"{1}\"", key, m_name));
	char* s = m_pairBuffer.begin();
	for (char* p = s; *p; ++p)
		*p = lower(*p);
	static const char* const yes[] = {"enabled", "true", "1", "yes"};
	static const char* const no[] = {"disabled", "false", "0", "no"};
	for (const char* w : yes)
		if (std::strcmp(s, w) == 0)
			return true;
	for (const char* w : no)
		if (std::strcmp(s, w) == 0)
			return false;
	throw IOException(lang::Format("Failed to parse boolean {0} from \"{1}\"", key, m_name));
}

int PropertyParser::getInt(const char* key) {
	const char* v = lookup(key);
	if (!v)
		throw IOException(lang::Format("Failed to parse number, no key {0} in \"{1}\"", key, m_name));
	double d = 0;
	if (std::sscanf(v, "%lg", &d) != 1)
		throw IOException(lang::Format("Failed to parse integer {0} from \"{1}\"", key, m_name));
	if (!(d == std::floor(d)))
		throw IOException(
			lang::Format("Failed to parse integer {0} from \"{1}\" (number is not integer)", key, m_name));
	if (d < double(INT_MIN) || d > double(INT_MAX))
		throw IOException(lang::Format("Failed to parse integer {0} from \"{1}\" (number out of range)", key, m_name));
	return int(d);
}

float PropertyParser::getFloat(const char* key) {
	const char* v = lookup(key);
	if (!v)
		throw IOException(lang::Format("Failed to parse number, no key {0} in \"{1}\"", key, m_name));
	float f = 0;
	if (std::sscanf(v, "%g", &f) != 1)
		throw IOException(lang::Format("Failed to parse number {0} from \"{1}\"", key, m_name));
	return f;
}

PropertyParser::Iterator PropertyParser::begin() {
	Iterator it(this, 0, 1);
	if (!readPair(&it.m_position, &it.m_line))
		return end();
	return it;
}

PropertyParser::Iterator PropertyParser::end() {
	return Iterator(nullptr, 0, 1);
}

} // namespace io
