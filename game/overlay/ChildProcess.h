// Starting the desktop's helper programs (the file dialogs, curl and wget)
// without a shell: the program is looked up through PATH and every argument
// arrives exactly as given, so no text (a translated dialog title, an address)
// can ever be read as a command. Tests put fake programs first on PATH.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lumaroll {

// Which of the program's streams is read; the other one goes to /dev/null.
enum class CapturedStream { Output, Error };

// How one run ended.
struct ProgramRun {
    bool started = false; // the program was found and executed
    int exitCode = -1;    // its exit code; -1 when it did not start or a signal ended it
    std::string text;     // what it wrote to the captured stream, cut after maxBytes
};

// Runs argv[0] (searched in PATH) with argv[1..] as its arguments and waits for
// it. Standard input reads /dev/null; the child inherits no other descriptor
// of this process. Reading stops after more than maxBytes; the program then
// finds its output closed. Safe to call from any thread.
ProgramRun runProgram(const std::vector<std::string>& argv, CapturedStream stream, std::size_t maxBytes);

// The text up to its first line feed, without the carriage returns and line
// feeds that end it.
std::string firstLine(const std::string& text);

} // namespace lumaroll
