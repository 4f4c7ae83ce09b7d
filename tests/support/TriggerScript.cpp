#include "support/TriggerScript.h"

#include <cstdio>

namespace test {

TriggerScript& TriggerScript::state(int value) {
	return key("state", std::to_string(value));
}

TriggerScript& TriggerScript::executeType(int value) {
	return key("executetype", std::to_string(value));
}

TriggerScript& TriggerScript::a(const std::string& action) {
	return key(actionKey('a', ++m_mainCount), action);
}

TriggerScript& TriggerScript::e(const std::string& action) {
	return key(actionKey('e', ++m_endCount), action);
}

TriggerScript& TriggerScript::key(const std::string& key, const std::string& value) {
	return line(key + "=" + value);
}

TriggerScript& TriggerScript::line(const std::string& raw) {
	m_lines.push_back(raw);
	return *this;
}

TriggerScript& TriggerScript::crLineEnds(bool on) {
	m_crlf = on;
	return *this;
}

std::string TriggerScript::text() const {
	std::string out;
	for (const std::string& l : m_lines)
		out += l + (m_crlf ? "\r\n" : "\n");
	return out;
}

std::string TriggerScript::actionKey(char letter, int n) {
	char buf[16];
	std::snprintf(buf, sizeof buf, n < 100 ? "%c%02d" : "%c%03d", letter, n);
	return buf;
}

} // namespace test
