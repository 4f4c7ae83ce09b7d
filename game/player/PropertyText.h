// Reading the key=value lines of a node's user-property text.
#pragma once

#include <string>

namespace lumaroll {

// The value of key at the start of a line of text ("key=value"), up to the
// end of that line, trailing spaces and carriage returns removed; empty when
// the key starts no line. The collision set-up and the rails read their
// properties with it.
std::string readProperty(const std::string& text, const std::string& key);

// text in lower case (ASCII letters only).
std::string lowerAscii(const std::string& text);

} // namespace lumaroll
