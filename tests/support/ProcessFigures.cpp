#include "support/ProcessFigures.h"

#include <dirent.h>
#include <malloc.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define SUPPORT_HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SUPPORT_HEAP_FROM_SANITIZER 1
#endif
#endif
#ifdef SUPPORT_HEAP_FROM_SANITIZER
// AddressSanitizer's run-time has it; the compiler's sanitizer headers may
// not be installed.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace test {

namespace {

// Entries of a folder other than "." and ".."; -1 when it cannot be opened.
int entriesOf(const char* path) {
	DIR* dir = opendir(path);
	if (!dir)
		return -1;
	int n = 0;
	while (const dirent* e = readdir(dir))
		if (e->d_name[0] != '.')
			++n;
	closedir(dir);
	return n;
}

} // namespace

long residentKb() {
	std::ifstream status("/proc/self/status");
	std::string line;
	while (std::getline(status, line)) {
		if (line.compare(0, 6, "VmRSS:") == 0)
			return std::strtol(line.c_str() + 6, nullptr, 10);
	}
	return 0;
}

int openFileDescriptors() {
	const int n = entriesOf("/proc/self/fd");
	return n < 0 ? -1 : n - 1;
}

int threadCount() {
	return entriesOf("/proc/self/task");
}

long heapBytes() {
#ifdef SUPPORT_HEAP_FROM_SANITIZER
	return long(__sanitizer_get_current_allocated_bytes());
#else
	return long(mallinfo2().uordblks);
#endif
}

} // namespace test
