#include <lang/Debug.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace lang {

int debugPrintf(const char* fmt, ...) {
	char buf[2016];
	va_list args;
	va_start(args, fmt);
	va_list again;
	va_copy(again, args);
	const int n = std::vsnprintf(buf, sizeof(buf), fmt, args);
	va_end(args);
	if (n < 0) {
		va_end(again);
		return -1;
	}
	const char* text = buf;
	char* big = nullptr;
	if ((size_t)n >= sizeof(buf)) {
		// Longer texts are written whole rather than cut.
		big = static_cast<char*>(std::malloc((size_t)n + 1));
		if (big) {
			std::vsnprintf(big, (size_t)n + 1, fmt, again);
			text = big;
		}
	}
	va_end(again);
	const size_t len = big ? (size_t)n : (size_t)n < sizeof(buf) ? (size_t)n : sizeof(buf) - 1;
	std::fwrite(text, 1, len, stdout);
	std::free(big);
	return (int)len;
}

} // namespace lang
