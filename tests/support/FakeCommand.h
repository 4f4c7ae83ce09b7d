#ifndef SUPPORT_FAKECOMMAND_H
#define SUPPORT_FAKECOMMAND_H

// Fake desktop programs (zenity, kdialog, curl, wget, xdg-open) for tests:
// executable scripts in a temporary folder that the test puts first on PATH
// (or alone on PATH, so that every program it does not fake is missing).
// Each prints a given text on standard output and standard error, may sleep
// first, exits with a given code, and records every call: its arguments one a
// line, and a marker once it has ended.

#include "support/TempDir.h"

#include <string>
#include <vector>

namespace test {

struct FakeProgram {
	std::string name;
	int exitCode = 0;
	std::string out; // standard output, byte for byte (CRLF allowed)
	std::string err; // standard error
	int sleepMs = 0; // slept before anything is printed
};

class FakeCommands {
public:
	FakeCommands();
	FakeCommands(const FakeCommands&) = delete;
	FakeCommands& operator=(const FakeCommands&) = delete;

	// Writes (or rewrites) the program's script; earlier calls stay recorded.
	void add(const FakeProgram& program);

	// The folder of the scripts.
	const std::string& dir() const { return m_dir.path(); }
	// A PATH value: the folder, then the PATH the test runs with.
	std::string pathFirst() const;

	// How often the program was started.
	int calls(const std::string& name) const;
	// The arguments (without the program name) of call number `call` (0 is the
	// first, -1 the last); empty when there was no such call.
	std::vector<std::string> arguments(const std::string& name, int call = -1) const;
	// True when call number `call` (-1: the last) has run to its end.
	bool finished(const std::string& name, int call = -1) const;
	// Waits until the program was started at least n times and those runs
	// ended (for programs started in the background, as xdg-open); false after timeoutMs.
	bool waitForCalls(const std::string& name, int n, int timeoutMs) const;

private:
	int index(const std::string& name, int call) const;
	TempDir m_dir;
};

} // namespace test

#endif
