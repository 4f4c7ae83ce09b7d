#include "support/FakeCommand.h"

#include "support/Files.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace test {

FakeCommands::FakeCommands() = default;

void FakeCommands::add(const FakeProgram& program) {
	const std::string base = m_dir / program.name;
	writeFile(base + ".out", program.out);
	writeFile(base + ".err", program.err);
	std::string script =
		"#!/bin/sh\n"
		"# Fake " +
		program.name +
		" written by a test.\n"
		"base='" +
		base +
		"'\n"
		"count=0\n"
		"if [ -f \"$base.count\" ]; then read count < \"$base.count\"; fi\n"
		"count=$((count + 1))\n"
		"echo \"$count\" > \"$base.count\"\n"
		"for arg in \"$@\"; do printf '%s\\n' \"$arg\"; done > \"$base.args.$count\"\n";
	if (program.sleepMs > 0)
		script += "/bin/sleep " + std::to_string(program.sleepMs / 1000) + "." +
				  std::to_string(1000 + program.sleepMs % 1000).substr(1) + "\n";
	script +=
		"/usr/bin/cat \"$base.out\"\n"
		"/usr/bin/cat \"$base.err\" >&2\n"
		": > \"$base.done.$count\"\n"
		"exit " +
		std::to_string(program.exitCode) + "\n";
	writeFile(base, script);
	chmod(base.c_str(), 0755);
}

std::string FakeCommands::pathFirst() const {
	const char* path = std::getenv("PATH");
	return dir() + ":" + (path ? path : "/usr/bin:/bin");
}

int FakeCommands::calls(const std::string& name) const {
	const std::string text = readFile(m_dir / (name + ".count"));
	return text.empty() ? 0 : std::atoi(text.c_str());
}

int FakeCommands::index(const std::string& name, int call) const {
	return call < 0 ? calls(name) : call + 1;
}

std::vector<std::string> FakeCommands::arguments(const std::string& name, int call) const {
	std::vector<std::string> args;
	const int n = index(name, call);
	if (n < 1 || n > calls(name))
		return args;
	const std::string text = readFile(m_dir / (name + ".args." + std::to_string(n)));
	size_t start = 0;
	while (start < text.size()) {
		const size_t end = text.find('\n', start);
		args.push_back(text.substr(start, end - start));
		if (end == std::string::npos)
			break;
		start = end + 1;
	}
	return args;
}

bool FakeCommands::finished(const std::string& name, int call) const {
	const int n = index(name, call);
	return n >= 1 && fileExists(m_dir / (name + ".done." + std::to_string(n)));
}

bool FakeCommands::waitForCalls(const std::string& name, int n, int timeoutMs) const {
	for (int waited = 0;; waited += 10) {
		if (calls(name) >= n && finished(name, n - 1))
			return true;
		if (waited >= timeoutMs)
			return false;
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
}

} // namespace test
