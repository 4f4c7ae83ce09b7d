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

// The variables of this process ("NAME=value"), copied. Taken on the main
// thread for a program another thread starts: the environment may change
// under a thread that reads it (setenv frees what it replaces).
std::vector<std::string> currentEnvironment();

// Runs argv[0] with argv[1..] as its arguments and the given environment, and
// waits for it. A name without '/' is searched in that environment's PATH
// (itself, not the process's). Standard input reads /dev/null; the child
// inherits no other descriptor of this process. Reading stops after more
// than maxBytes; the program then finds its output closed. Reads nothing of
// the process's environment, so any thread may call it.
ProgramRun runProgram(const std::vector<std::string>& argv, CapturedStream stream, std::size_t maxBytes,
                      const std::vector<std::string>& environment);

// The text up to its first line feed, without the carriage returns and line
// feeds that end it.
std::string firstLine(const std::string& text);

} // namespace lumaroll
