#ifndef SUPPORT_FILES_H
#define SUPPORT_FILES_H

// Whole-file reads and writes for fixtures.

#include <cstddef>
#include <string>
#include <vector>

namespace test {

// The bytes of the file; empty when it cannot be read.
std::string readFile(const std::string& path);

// The lines of text without their newlines; a last line without one counts.
std::vector<std::string> textLines(const std::string& text);

// Replaces the file with bytes, making its missing parent folders first.
// Returns false when a folder or the file cannot be made or written.
bool writeFile(const std::string& path, const std::string& bytes);
bool writeFile(const std::string& path, const void* data, size_t size);

// Makes the folder and its missing parents; false when it does not exist afterwards.
bool makeDirs(const std::string& path);

// True when something (a file, a folder, a link even if dangling) is at path.
bool fileExists(const std::string& path);

// True when path is a folder (or a link to one).
bool isDirectory(const std::string& path);

} // namespace test

#endif
