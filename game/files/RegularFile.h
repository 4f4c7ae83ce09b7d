// Opening the files the program reads (levels, settings, scores, language
// and font files, the controller database) only when they are regular files.
// A named pipe in a file's place would block the open until some other
// program writes to it, and every read after that; a device may never end; a
// folder opens but does not read. The path is opened without waiting, the
// descriptor itself is checked with fstat (so an entry swapped after a check
// by name cannot slip through), and only then set back to blocking reads.
// The check itself is the engine's (io/RegularFile.h): its readers of scene,
// particle, effect and texture files use it too.
#pragma once

#include <cstddef>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace lumaroll {

// A descriptor open for reading (close-on-exec, blocking reads) of the regular
// file at path, a link to one included; -1 when path cannot be opened or is
// not a regular file. When why is given it then receives the reason: the
// system's text for a failed open, else "not a regular file".
int openRegularFile(const std::string& path, std::string* why = nullptr);

// The same as a stdio stream opened "rb"; null on the same failures (and when
// no stream can be made; the descriptor is then closed).
std::FILE* openRegularFileStream(const std::string& path);

// The whole regular file at path. False, with bytes empty, when it is no
// regular file, cannot be opened or read whole, or holds more than maxBytes.
bool readRegularFile(const std::string& path, std::vector<unsigned char>& bytes,
                     std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
bool readRegularFile(const std::string& path, std::string& text,
                     std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

} // namespace lumaroll
