#include "support/ProcessRunner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

const char* const kUnset = "\x01unset";

std::vector<std::pair<std::string, std::string>> programEnvironment(const std::string& home) {
	return {{"XDG_DATA_HOME", home + "/userdata"},
			{"XDG_CONFIG_HOME", home + "/config"},
			{"XDG_PICTURES_DIR", home + "/pictures"},
			{"HOME", home + "/home"},
			{"SDL_VIDEODRIVER", "offscreen"},
			{"SDL_AUDIODRIVER", "dummy"},
			{"LUMAROLL_NO_AUDIO", "1"},
			{"ASAN_OPTIONS", "detect_leaks=0:halt_on_error=1"},
			{"UBSAN_OPTIONS", "halt_on_error=1:print_stacktrace=1"}};
}

namespace {

long long nowMs() {
	using namespace std::chrono;
	return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The program to execute: a name with a '/' as it is, a bare name from the
// first PATH folder holding it as an executable (the name itself when none
// does, so that the start fails as exec would). Looked up before fork: only
// async-signal-safe calls may follow it in a threaded test program.
std::string resolveProgram(const std::string& program) {
	if (program.find('/') != std::string::npos)
		return program;
	const char* path = std::getenv("PATH");
	std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
	size_t start = 0;
	while (start <= folders.size()) {
		size_t end = folders.find(':', start);
		if (end == std::string::npos)
			end = folders.size();
		const std::string folder = end > start ? folders.substr(start, end - start) : ".";
		const std::string candidate = folder + "/" + program;
		if (access(candidate.c_str(), X_OK) == 0)
			return candidate;
		start = end + 1;
	}
	return program;
}

// The child's environment: the test's own with the options' variables set
// or removed in their order, as "NAME=value" entries.
std::vector<std::string> childEnvironment(const std::vector<std::pair<std::string, std::string>>& changes) {
	std::vector<std::string> entries;
	for (char** e = environ; *e; ++e)
		entries.push_back(*e);
	for (const auto& variable : changes) {
		const std::string head = variable.first + "=";
		entries.erase(std::remove_if(entries.begin(), entries.end(),
									 [&](const std::string& entry) {
										 return entry.compare(0, head.size(), head) == 0;
									 }),
					  entries.end());
		if (variable.second != kUnset)
			entries.push_back(head + variable.second);
	}
	return entries;
}

} // namespace

RunningProcess::RunningProcess(const std::string& program, const ProcessOptions& options) {
	int out[2], err[2];
	if (pipe2(out, O_CLOEXEC) != 0)
		return;
	if (pipe2(err, O_CLOEXEC) != 0) {
		close(out[0]);
		close(out[1]);
		return;
	}
	if (options.closeStdoutReader) {
		close(out[0]);
		out[0] = -1;
	}
	// Everything the child needs is prepared before fork: only async-signal-safe
	// calls after it. (A child that called setenv, which allocates, could wait
	// forever for a lock that another thread of the test held at the fork.)
	const std::string executable = resolveProgram(program);
	std::vector<std::string> argStrings;
	argStrings.push_back(program);
	argStrings.insert(argStrings.end(), options.args.begin(), options.args.end());
	std::vector<char*> argv;
	for (std::string& a : argStrings)
		argv.push_back(&a[0]);
	argv.push_back(nullptr);
	std::vector<std::string> envStrings = childEnvironment(options.env);
	std::vector<char*> envp;
	for (std::string& e : envStrings)
		envp.push_back(&e[0]);
	envp.push_back(nullptr);

	pid_t pid = fork();
	if (pid == 0) {
		if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0)
			_exit(126);
		dup2(out[1], 1);
		dup2(err[1], 2);
		signal(SIGPIPE, SIG_DFL);
		execve(executable.c_str(), argv.data(), envp.data());
		_exit(127);
	}
	close(out[1]);
	close(err[1]);
	if (pid < 0) {
		if (out[0] >= 0)
			close(out[0]);
		close(err[0]);
		return;
	}
	m_pid = pid;
	m_out = out[0];
	m_err = err[0];
}

RunningProcess::~RunningProcess() {
	if (m_pid > 0) {
		kill(m_pid, SIGKILL);
		waitpid(m_pid, nullptr, 0);
	}
	if (m_out >= 0)
		close(m_out);
	if (m_err >= 0)
		close(m_err);
}

bool RunningProcess::pump(int timeoutMs) {
	pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
	if (m_out < 0 && m_err < 0)
		return false;
	int ready = poll(fds, 2, timeoutMs);
	if (ready < 0)
		return errno == EINTR;
	int* fdSlots[2] = {&m_out, &m_err};
	std::string* sinks[2] = {&m_result.out, &m_result.err};
	for (int i = 0; i < 2; ++i) {
		if (*fdSlots[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
			continue;
		char buffer[4096];
		ssize_t n = read(*fdSlots[i], buffer, sizeof buffer);
		if (n > 0) {
			sinks[i]->append(buffer, static_cast<size_t>(n));
		} else if (n == 0 || errno != EINTR) {
			close(*fdSlots[i]);
			*fdSlots[i] = -1;
		}
	}
	return m_out >= 0 || m_err >= 0;
}

bool RunningProcess::waitForOutput(const std::string& text, int timeoutMs, size_t from) {
	long long end = nowMs() + timeoutMs;
	while (m_result.out.find(text, from) == std::string::npos) {
		long long left = end - nowMs();
		if (left <= 0 || !pump(static_cast<int>(left)))
			return m_result.out.find(text, from) != std::string::npos;
	}
	return true;
}

void RunningProcess::sendSignal(int sig) {
	if (m_pid > 0)
		kill(m_pid, sig);
}

ProcessResult RunningProcess::wait(int timeoutMs) {
	if (m_pid <= 0)
		return m_result;
	long long end = nowMs() + timeoutMs;
	int status = 0;
	while (waitpid(m_pid, &status, WNOHANG) != m_pid) {
		long long left = end - nowMs();
		if (left <= 0) {
			m_result.timedOut = true;
			kill(m_pid, SIGKILL);
			waitpid(m_pid, &status, 0);
			break;
		}
		if (!pump(static_cast<int>(left < 50 ? left : 50)))
			usleep(10000); // both pipes closed: only the exit is left to wait for
	}
	m_pid = -1;
	// Whatever is still buffered in the pipes, without waiting for processes the child left behind.
	for (int* fd : {&m_out, &m_err}) {
		if (*fd < 0)
			continue;
		fcntl(*fd, F_SETFL, fcntl(*fd, F_GETFL) | O_NONBLOCK);
		char buffer[4096];
		ssize_t n;
		while ((n = read(*fd, buffer, sizeof buffer)) > 0)
			(fd == &m_out ? m_result.out : m_result.err).append(buffer, static_cast<size_t>(n));
		close(*fd);
		*fd = -1;
	}
	if (WIFEXITED(status))
		m_result.exitCode = WEXITSTATUS(status);
	else if (WIFSIGNALED(status))
		m_result.signal = WTERMSIG(status);
	return m_result;
}

ProcessResult runProcess(const std::string& program, const ProcessOptions& options, int timeoutMs) {
	RunningProcess process(program, options);
	return process.wait(timeoutMs);
}

int runCommand(const std::vector<std::string>& argv, std::string* out, std::string* err, int timeoutMs) {
	if (argv.empty())
		return -1;
	ProcessOptions options;
	options.args.assign(argv.begin() + 1, argv.end());
	RunningProcess process(argv[0], options);
	if (!process.started())
		return -1;
	const ProcessResult result = process.wait(timeoutMs);
	if (out)
		*out = result.out;
	if (err)
		*err = result.err;
	return result.timedOut ? -1 : result.exitCode;
}

std::string lumarollBinary() {
	const char* path = std::getenv("LUMAROLL_BINARY");
	if (path && *path)
		return path;
	// Beside the test programs in the build tree: <build>/tests/test_x -> <build>/game/lumaroll.
	char self[4096];
	ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
	if (n <= 0)
		return std::string();
	std::string dir(self, static_cast<size_t>(n));
	dir.erase(dir.rfind('/'));
	std::string candidate = dir + "/../game/lumaroll";
	return access(candidate.c_str(), X_OK) == 0 ? candidate : std::string();
}

} // namespace test
