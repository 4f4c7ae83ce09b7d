#ifndef GR_GLES2_EFFECTTEXT_H
#define GR_GLES2_EFFECTTEXT_H

#include <string>

// Small text helpers shared by the effect preprocessor, the effect parser,
// the shader stage assembly and the context's file lookup.
namespace gr {

// Reads the whole file at path (binary mode) into out with every carriage
// return removed. Returns false and leaves out unchanged when the file cannot
// be opened or is not a regular file (a directory, a device, a named pipe,
// which is not waited on).
bool readTextFile(const std::string& path, std::string& out);

// Deepest nesting of included files in effect and stage sources.
const int MAX_INCLUDE_NESTING = 17;

// Reads a source file met at include nesting depth (0 for the file itself).
// Returns false with error set, "demasiados #include anidados en <path>" at
// MAX_INCLUDE_NESTING or "could not open <path>", leaving text unchanged.
bool readIncludedFile(const std::string& path, int depth, std::string& text, std::string& error);

// Takes the line of text starting at pos (without its '\n') into line and
// moves pos past it; false when pos is at the end of text.
bool nextLine(const std::string& text, size_t& pos, std::string& line);

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
