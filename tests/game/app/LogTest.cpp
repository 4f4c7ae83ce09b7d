// Log capture, run in a forked child so that the test program's own output
// stays where it is.
#include "app/Log.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

// The log's lines after its two start lines.
std::vector<std::string> loggedLines(const std::string& logPath) {
	std::vector<std::string> lines = test::textLines(test::readFile(logPath));
	EXPECT_GE(lines.size(), 2u);
	if (lines.size() >= 2)
		lines.erase(lines.begin(), lines.begin() + 2);
	return lines;
}

TEST(LogCaptureTest, LinesKeepTheOrderOfTheirWritesAcrossStreamsAndThreads) {
	test::TempDir dir;
	const std::string logPath = dir / "lumaroll/lumaroll.log";
	const int kLines = 400;
	// Line n goes to standard error in an irregular pattern, else to standard output.
	auto toError = [](int n) { return n * 7 % 5 < 2; };
	auto text = [](int n, bool error) {
		return std::to_string(n) + (error ? " to standard error from " : " to standard output from ") +
			   (n % 2 ? "the second thread" : "the main thread");
	};
	ChildRun run = runInChild([&] {
		setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
		if (lumaroll::startLog() != logPath)
			return 3;
		// The two threads take turns line by line; each writes its line while
		// it holds the turn, so the numbers give the order of the writes.
		std::mutex mutex;
		std::condition_variable turn;
		int next = 0;
		auto writer = [&](int parity) {
			std::unique_lock<std::mutex> lock(mutex);
			for (;;) {
				turn.wait(lock, [&] { return next == kLines || next % 2 == parity; });
				if (next == kLines)
					return;
				const bool error = toError(next);
				std::fprintf(error ? stderr : stdout, "%s\n", text(next, error).c_str());
				++next;
				turn.notify_all();
			}
		};
		std::thread second(writer, 1);
		writer(0);
		second.join();
		lumaroll::stopLog();
		return 0;
	});
	ASSERT_TRUE(WIFEXITED(run.status));
	ASSERT_EQ(WEXITSTATUS(run.status), 0) << run.err;

	std::vector<std::string> all, out, err;
	for (int n = 0; n < kLines; ++n) {
		all.push_back(text(n, toError(n)));
		(toError(n) ? err : out).push_back(all.back());
	}
	EXPECT_EQ(loggedLines(logPath), all);
	// The terminal's two streams get their own lines, in their order.
	std::vector<std::string> terminalOut = test::textLines(run.out);
	ASSERT_GE(terminalOut.size(), 2u);
	terminalOut.erase(terminalOut.begin(), terminalOut.begin() + 2);
	EXPECT_EQ(terminalOut, out);
	EXPECT_EQ(test::textLines(run.err), err);
}

TEST(LogCaptureTest, ALineWrittenInPiecesIsNeverMixedWithALineOfTheOtherStream) {
	test::TempDir dir;
	const std::string logPath = dir / "lumaroll/lumaroll.log";
	const int kLines = 300;
	auto line = [](const char* stream, int n) {
		return std::string(stream) + " line " + std::to_string(n) + ": first piece, second piece, end";
	};
	ChildRun run = runInChild([&] {
		setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
		if (lumaroll::startLog() != logPath)
			return 3;
		// In one thread: a whole line of standard error comes between the pieces of one of standard output.
		std::fputs("half a line of output, ", stdout);
		std::fflush(stdout);
		std::fputs("a whole line of error\n", stderr);
		std::fputs("the other half\n", stdout);
		// Two threads at once, each writing its lines in three pieces.
		auto writer = [&](FILE* to, const char* stream) {
			for (int n = 0; n < kLines; ++n) {
				const std::string whole = line(stream, n);
				const size_t first = whole.find(',') + 1, second = whole.rfind(',') + 1;
				std::fputs(whole.substr(0, first).c_str(), to);
				std::fflush(to);
				std::fputs(whole.substr(first, second - first).c_str(), to);
				std::fflush(to);
				std::fputs((whole.substr(second) + "\n").c_str(), to);
			}
		};
		std::thread second(writer, stderr, "error");
		writer(stdout, "output");
		second.join();
		lumaroll::stopLog();
		return 0;
	});
	ASSERT_TRUE(WIFEXITED(run.status));
	ASSERT_EQ(WEXITSTATUS(run.status), 0) << run.err;

	const std::vector<std::string> logged = loggedLines(logPath);
	ASSERT_GE(logged.size(), 2u);
	// A line is logged when its end is written.
	EXPECT_EQ(logged[0], "a whole line of error");
	EXPECT_EQ(logged[1], "half a line of output, the other half");
	std::vector<std::string> out, err;
	for (size_t i = 2; i < logged.size(); ++i)
		(logged[i].rfind("error", 0) == 0 ? err : out).push_back(logged[i]);
	std::vector<std::string> expectedOut, expectedErr;
	for (int n = 0; n < kLines; ++n) {
		expectedOut.push_back(line("output", n));
		expectedErr.push_back(line("error", n));
	}
	EXPECT_EQ(out, expectedOut);
	EXPECT_EQ(err, expectedErr);
	expectedErr.insert(expectedErr.begin(), "a whole line of error");
	EXPECT_EQ(test::textLines(run.err), expectedErr);
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
