#ifndef GR_GLES2_EFFECTTEXT_H
#define GR_GLES2_EFFECTTEXT_H

#include <string>

// Small text helpers shared by the effect preprocessor, the effect parser,
// the shader stage assembly and the context's file lookup.
namespace gr
{

// Reads the whole file at path (binary mode) into out with every carriage
// return removed. Returns false and leaves out unchanged when the file cannot
// be opened or is not a regular file (a directory, a device).
bool readTextFile(const std::string& path, std::string& out);

// Returns text without leading and trailing blanks, tabs and newlines
// (only these three); empty when nothing else is left.
std::string trimWhitespace(const std::string& text);

// Returns path up to and including its last '/' or '\'; empty when it has neither.
std::string directoryOf(const std::string& path);

// Returns name seen from directory: backslashes in name become '/'; a name
// starting with '/' is returned alone, otherwise directory + name (directory
// is expected to end with a separator, as directoryOf gives it).
std::string resolveRelativePath(const std::string& directory, const std::string& name);

} // namespace gr

#endif
