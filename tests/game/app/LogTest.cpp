// Log capture, run in a forked child so that the test program's own output
// stays where it is.
#include "app/Log.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ChildRun {
	int status = -1;
	std::string out;
	std::string err;
};

// Runs body in a child whose standard output and error are pipes read here;
// the child ends with body's return value.
template <typename Body>
ChildRun runInChild(Body body) {
	ChildRun run;
	int out[2], err[2];
	if (pipe(out) != 0 || pipe(err) != 0)
		return run;
	std::fflush(stdout);
	std::fflush(stderr);
	pid_t pid = fork();
	if (pid == 0) {
		dup2(out[1], 1);
		dup2(err[1], 2);
		for (int fd : {out[0], out[1], err[0], err[1]})
			close(fd);
		const int code = body();
		std::fflush(stdout);
		std::fflush(stderr);
		std::_Exit(code);
	}
	close(out[1]);
	close(err[1]);
	pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
	std::string* sinks[2] = {&run.out, &run.err};
	int open = 2;
	// A child that has not closed its output within 10 s is taken as hung.
	while (open > 0 && poll(fds, 2, 10000) > 0) {
		for (int i = 0; i < 2; ++i) {
			if (fds[i].fd < 0 || !fds[i].revents)
				continue;
			char buffer[1024];
			ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
			if (n > 0) {
				sinks[i]->append(buffer, static_cast<size_t>(n));
			} else {
				close(fds[i].fd);
				fds[i].fd = -1;
				--open;
			}
		}
	}
	for (int i = 0; i < 2; ++i)
		if (fds[i].fd >= 0)
			close(fds[i].fd);
	// The end of output comes just before the child can be reaped: allow it a moment.
	pid_t done = 0;
	for (int i = 0; i < 200 && (done = waitpid(pid, &run.status, WNOHANG)) == 0; ++i)
		usleep(10000);
	if (done == 0) {
		kill(pid, SIGKILL);
		waitpid(pid, nullptr, 0);
		run.status = -1;
	}
	return run;
}

TEST(LogCaptureTest, LinesReachTheirStreamAndTheLogAndNothingIsLostAtTheEnd) {
	test::TempDir dir;
	const std::string logPath = dir / "lumaroll/lumaroll.log";
	ChildRun run = runInChild([&] {
		setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
		if (lumaroll::startLog() != logPath)
			return 3;
		std::printf("partial");
		std::fflush(stdout);
		usleep(200000);
		if (test::readFile(logPath).find("partial") != std::string::npos)
			return 4; // a line without its newline must wait for it
		std::printf(" line\n");
		std::fprintf(stderr, "failure\n");
		std::printf("last words without a newline");
		lumaroll::stopLog();
		lumaroll::stopLog(); // a second call does nothing
		std::printf("after the log\n");
		std::fflush(stdout);
		return 0;
	});
	ASSERT_TRUE(WIFEXITED(run.status));
	ASSERT_EQ(WEXITSTATUS(run.status), 0) << run.err;

	EXPECT_EQ(run.err, "failure\n");
	const std::string outTail = "partial line\nlast words without a newlineafter the log\n";
	ASSERT_GE(run.out.size(), outTail.size());
	EXPECT_EQ(run.out.substr(run.out.size() - outTail.size()), outTail);
	EXPECT_EQ(run.out.find("log: " + logPath + "\n"), run.out.find('\n') + 1);

	const std::string log = test::readFile(logPath);
	const std::string logTail = "log: " + logPath + "\npartial line\nfailure\nlast words without a newline";
	ASSERT_GE(log.size(), logTail.size()) << log;
	EXPECT_EQ(log.substr(log.size() - logTail.size()), logTail);
	EXPECT_EQ(log.rfind("Lumaroll 1.2.0 on ", 0), 0u) << log;
}

TEST(LogCaptureTest, WithoutALogFileNothingIsRedirected) {
	test::TempDir dir;
	ASSERT_TRUE(test::writeFile(dir / "lumaroll", "a file where the folder should be"));
	ChildRun run = runInChild([&] {
		setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
		if (!lumaroll::startLog().empty())
			return 3;
		std::printf("to the terminal\n");
		std::fprintf(stderr, "failure\n");
		lumaroll::stopLog();
		return 0;
	});
	ASSERT_TRUE(WIFEXITED(run.status));
	EXPECT_EQ(WEXITSTATUS(run.status), 0);
	EXPECT_EQ(run.out, "to the terminal\n");
	EXPECT_EQ(run.err, "failure\n");
}

TEST(LogCaptureTest, StopsEvenWhileAChildProcessHoldsTheOutput) {
	test::TempDir dir;
	ChildRun run = runInChild([&] {
		setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
		if (lumaroll::startLog().empty())
			return 3;
		// A long-lived helper inherits descriptors 1 and 2; the end must not wait for it.
		if (std::system("sleep 20 &") != 0)
			return 4;
		std::printf("done\n");
		lumaroll::stopLog();
		return 0;
	});
	ASSERT_TRUE(run.status != -1 && WIFEXITED(run.status)) << "the log did not stop";
	EXPECT_EQ(WEXITSTATUS(run.status), 0);
	EXPECT_NE(test::readFile(dir / "lumaroll/lumaroll.log").find("done\n"), std::string::npos);
}

} // namespace
