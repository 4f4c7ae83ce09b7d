// Reading the user-property texts of scene nodes: the whole text of an engine
// string, and the value of one "key=value" line. The level session, the
// logic's world, the player's collision and rail set-up and the ambient
// sounds all read node properties through these.
#pragma once

#include <string>

namespace lang {
class String;
}

namespace lumaroll {

// All of an engine string's text. lang::String::c_str hands out at most
// 1999 bytes (it copies into a rotating scratch buffer), and property texts
// (a trigger script of a few hundred action lines, a library object's text
// with its scripts appended) are longer than that.
std::string wholeText(const lang::String& text);

// The value of key at the start of a line of text ("key=value"), up to the
// end of that line, trailing spaces and carriage returns removed; empty when
// the key starts no line.
std::string propertyValue(const std::string& text, const std::string& key);

} // namespace lumaroll
