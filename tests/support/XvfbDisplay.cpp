#include "support/XvfbDisplay.h"

#include "support/ProcessRunner.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace test {

XvfbDisplay::XvfbDisplay(int width, int height, int timeoutMs) {
	int fds[2];
	if (pipe2(fds, O_CLOEXEC) != 0) {
		m_error = "pipe failed";
		return;
	}
	const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
	m_pid = fork();
	if (m_pid == 0) {
		// The child keeps the pipe's write end open across exec at a known number.
		const int reportFd = 3;
		if (fds[1] != reportFd)
			dup2(fds[1], reportFd);
		else
			fcntl(reportFd, F_SETFD, 0);
		const int devNull = open("/dev/null", O_RDWR);
		if (devNull >= 0) {
			dup2(devNull, 0);
			dup2(devNull, 1);
			dup2(devNull, 2);
		}
		execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
			   static_cast<char*>(nullptr));
		_exit(127);
	}
	close(fds[1]);
	if (m_pid < 0) {
		close(fds[0]);
		m_error = "fork failed";
		return;
	}
	std::string number;
	pollfd p = {fds[0], POLLIN, 0};
	while (poll(&p, 1, timeoutMs) > 0) {
		char c;
		if (read(fds[0], &c, 1) != 1 || c == '\n')
			break;
		number += c;
	}
	close(fds[0]);
	if (number.empty()) {
		m_error = "Xvfb did not report a display (is it installed?)";
		return;
	}
	m_name = ":" + number;
}

XvfbDisplay::~XvfbDisplay() {
	if (m_pid <= 0)
		return;
	kill(m_pid, SIGTERM);
	int status = 0;
	waitpid(m_pid, &status, 0);
}

bool xdotoolInstalled() {
	std::string path;
	return runCommand({"sh", "-c", "command -v xdotool"}, &path) == 0;
}

bool xdotool(const std::string& display, const std::vector<std::string>& args, std::string* out) {
	std::vector<std::string> argv{"env", "DISPLAY=" + display, "xdotool"};
	argv.insert(argv.end(), args.begin(), args.end());
	return runCommand(argv, out) == 0;
}

std::string findWindow(const std::string& display, const std::string& namePattern, int timeoutMs) {
	std::string found;
	for (int waited = 0; found.empty() && waited <= timeoutMs; waited += 100) {
		xdotool(display, {"search", "--name", namePattern}, &found);
		if (found.empty())
			std::this_thread::sleep_for(std::chrono::milliseconds(100));
	}
	return found.substr(0, found.find('\n'));
}

} // namespace test
