#ifndef SUPPORT_PROCESSRUNNER_H
#define SUPPORT_PROCESSRUNNER_H

// Runs a program as a child process with a chosen environment and working
// folder, captures its standard output and standard error through pipes, and
// reports how it ended; a child that outlives its time limit is killed. Used by
// tests that check what the real lumaroll process does, and by fixtures that
// run system tools (dpkg-deb, sha256sum).

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace test {

struct ProcessOptions {
	std::vector<std::string> args; // without the program name
	// Variables set in the child (on top of the test's own environment); an
	// entry whose value is "\x01unset" removes the variable instead.
	std::vector<std::pair<std::string, std::string>> env;
	std::string workDir;			// empty: the test's working folder
	bool closeStdoutReader = false; // standard output is a pipe whose reader is already gone
};

// The marker value in ProcessOptions::env that unsets a variable.
extern const char* const kUnset;

// The environment of a lumaroll run kept inside home: its data, settings and
// pictures folders below home, offscreen video, no sound, the sanitizers
// without leak reports (Mesa leaks at exit) and stopping at their first error.
std::vector<std::pair<std::string, std::string>> programEnvironment(const std::string& home);

struct ProcessResult {
	int exitCode = -1; // exit status, or -1 when killed by a signal
	int signal = 0;	   // the signal that ended it, 0 when it exited
	bool timedOut = false;
	std::string out;
	std::string err;
};

// How long a child may run when the caller names no limit.
const int kDefaultTimeoutMs = 120000;

// A started child process; killed and reaped on destruction if still running.
class RunningProcess {
public:
	// program is a path, or a bare name searched in PATH.
	RunningProcess(const std::string& program, const ProcessOptions& options);
	~RunningProcess();
	RunningProcess(const RunningProcess&) = delete;
	RunningProcess& operator=(const RunningProcess&) = delete;

	bool started() const { return m_pid > 0; }
	// Reads output until standard output holds text (at byte from or later);
	// false after timeoutMs or when the process ended first.
	bool waitForOutput(const std::string& text, int timeoutMs, size_t from = 0);
	// Standard output read so far.
	const std::string& output() const { return m_result.out; }
	void sendSignal(int sig);
	// Waits for the end (killing the child after timeoutMs) and returns everything captured.
	ProcessResult wait(int timeoutMs);

private:
	bool pump(int timeoutMs); // reads what arrives within timeoutMs; false once both pipes closed

	int m_pid = -1;
	int m_out = -1;
	int m_err = -1;
	ProcessResult m_result;
};

// Starts the program, waits for it (at most timeoutMs) and returns the result.
ProcessResult runProcess(const std::string& program, const ProcessOptions& options, int timeoutMs = kDefaultTimeoutMs);

// Runs argv[0] (a bare name is searched in PATH) with the other words as its
// arguments and waits for it. Returns its exit status (127 when the program
// cannot be executed); -1 when no child could be made, or it was ended by a
// signal or killed after timeoutMs. Standard output goes to *out and standard
// error to *err when they are set.
int runCommand(const std::vector<std::string>& argv, std::string* out = nullptr, std::string* err = nullptr,
			   int timeoutMs = kDefaultTimeoutMs);

// The lumaroll program under test: $LUMAROLL_BINARY, else the one in the
// build tree beside the test program; empty when neither is found.
std::string lumarollBinary();

} // namespace test

#endif
