#include "support/NamedPipe.h"

#include "support/Files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace test {

const char* standInName(FileStandIn kind) {
	return kind == FileStandIn::NamedPipe ? "named pipe" : "folder";
}

bool makeStandIn(FileStandIn kind, const std::string& path) {
	if (kind == FileStandIn::Folder)
		return makeDirs(path);
	const size_t slash = path.rfind('/');
	if (slash != std::string::npos && slash > 0 && !makeDirs(path.substr(0, slash)))
		return false;
	return ::mkfifo(path.c_str(), 0600) == 0;
}

namespace {

// Lets a reader waiting on the pipe at path go on: opening the write end
// without waiting succeeds only while a reader has the pipe open, and closing
// it again ends the data. Nothing is opened when path is no named pipe (the
// code under test may have put a file of its own there).
void releaseReaders(const std::string& path) {
	struct stat info;
	if (::lstat(path.c_str(), &info) != 0 || !S_ISFIFO(info.st_mode))
		return;
	const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
	if (fd >= 0)
		::close(fd);
}

} // namespace

void runWithoutWaiting(const std::vector<std::string>& pipes, const std::function<void()>& body) {
	std::mutex mutex;
	std::condition_variable returned;
	bool done = false;
	std::thread runner([&] {
		body();
		std::lock_guard<std::mutex> lock(mutex);
		done = true;
		returned.notify_all();
	});
	std::unique_lock<std::mutex> lock(mutex);
	if (!returned.wait_for(lock, std::chrono::milliseconds(kPipeWaitBoundMs), [&] { return done; })) {
		ADD_FAILURE() << "still waiting after " << kPipeWaitBoundMs / 1000 << " s: a named pipe was opened for reading";
		while (!done) {
			lock.unlock();
			for (const std::string& pipe : pipes)
				releaseReaders(pipe);
			::poll(nullptr, 0, 5);
			lock.lock();
		}
	}
	lock.unlock();
	runner.join();
}

} // namespace test
