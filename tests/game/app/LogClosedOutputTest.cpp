// Log capture in a process started with its standard output closed (launched
// by a service or with ">&-"): the log file must not take descriptor 1.
#include "app/Log.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(LogClosedOutputTest, LogFileIsWrittenOnceWhenStandardOutputWasClosed) {
	for (int closed : {1, 2}) {
		SCOPED_TRACE(closed);
		test::TempDir dir;
		const std::string logPath = dir / "lumaroll/lumaroll.log";
		std::fflush(stdout);
		std::fflush(stderr);
		const pid_t pid = fork();
		ASSERT_GE(pid, 0);
		if (pid == 0) {
			alarm(10); // a log that feeds on itself would never stop
			close(closed);
			setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
			if (lumaroll::startLog() != logPath)
				std::_Exit(3);
			std::printf("to standard output\n");
			std::fprintf(stderr, "to standard error\n");
			lumaroll::stopLog();
			std::_Exit(0);
		}
		int status = 0;
		ASSERT_EQ(waitpid(pid, &status, 0), pid);
		ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
		EXPECT_EQ(WEXITSTATUS(status), 0);
		const std::string log = test::readFile(logPath);
		EXPECT_EQ(log.rfind("Lumaroll ", 0), 0u) << log.substr(0, 200);
		const std::string tail = "to standard output\nto standard error\n";
		ASSERT_GE(log.size(), tail.size()) << log.substr(0, 200);
		EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
		EXPECT_EQ(log.find("to standard output"), log.rfind("to standard output"));
	}
}

} // namespace
