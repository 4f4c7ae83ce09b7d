// The text form of trigger scripts: lines of key=value, action values of
// comma-separated fields, and the "this" operand of library-object scripts.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace lumaroll {

// Reads script text into key -> value: lines split at LF, each split at its
// first '='; key and value trimmed of space, tab, CR and LF. Lines without '='
// or with an empty key are skipped; a later line of the same key wins.
void readScriptLines(const std::string& text, std::map<std::string, std::string>& into);

// Splits an action value at commas into its trimmed fields, dropping empty
// ones: " delay, ,2 " gives "delay", "2". fields is cleared first.
void splitActionFields(const std::string& value, std::vector<std::string>& fields);

// The key of action number n (1..999) of list letter: "a01", "a99", "a100".
std::string actionKey(char letter, int n);

// A copy of a library object's script in which every operand written "this"
// (a comma-separated field after the first one of a line, blanks around it
// allowed) names the object: "a01=show,this" gives "a01=show,door" for
// objectName "door"; ",thisway" and a keyword "this" stay.
std::string nameThisOperands(const std::string& script, const std::string& objectName);

} // namespace lumaroll
