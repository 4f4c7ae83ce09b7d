#include <lang/Format.h>
#include <lang/FormatException.h>
#include <lang/OutOfMemoryException.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lang {

namespace {

/** Writes into a bounded buffer and counts everything, also what did not fit. */
class Writer {
public:
	Writer(char* buf, int size) : m_buf(buf), m_size(size), m_len(0) {}

	void put(char c) {
		if (m_len < (long long)m_size - 1)
			m_buf[m_len] = c;
		++m_len;
	}
	void put(const char* s, size_t n) {
		for (size_t i = 0; i < n; ++i)
			put(s[i]);
	}
	void finish() { m_buf[m_len < m_size - 1 ? m_len : m_size - 1] = 0; }
	long long length() const { return m_len; }

private:
	char* m_buf;
	int m_size;
	long long m_len;
};

/** The value truncated towards zero and wrapped to 32 bits; NaN and infinities give 0. */
uint32_t wrapToUInt32(double v) {
	if (!std::isfinite(v))
		return 0;
	double t = std::fmod(std::trunc(v), 4294967296.0);
	if (t < 0)
		t += 4294967296.0;
	return (uint32_t)t;
}

/** printf with the number into w; texts longer than the usual 40 bytes go through the heap. */
void writeNumber(Writer& w, const char* pattern, double v) {
	char buf[40];
	const int n = std::snprintf(buf, sizeof(buf), pattern, v);
	if (n < 0)
		return;
	if ((size_t)n < sizeof(buf)) {
		w.put(buf, (size_t)n);
		return;
	}
	char* big = static_cast<char*>(std::malloc((size_t)n + 1));
	if (!big)
		throw OutOfMemoryException();
	std::snprintf(big, (size_t)n + 1, pattern, v);
	w.put(big, (size_t)n);
	std::free(big);
}

void writeNumber(Writer& w, const char* pattern, size_t patternLen, double v) {
	int intDigits = 0;
	int decimals = 0;
	bool marked = false;
	bool afterPoint = false;
	char hex = 0;
	for (size_t i = 0; i < patternLen && !hex; ++i) {
		const char c = pattern[i];
		if (c == '0') {
			if (afterPoint)
				++decimals;
			else
				++intDigits;
		} else if (c == '#') {
			if (afterPoint)
				++decimals;
			else
				marked = true;
		} else if (c == '.') {
			afterPoint = true;
		} else if (c == 'x' || c == 'X') {
			hex = c;
		}
	}

	char fmt[48];
	if (hex) {
		char buf[16];
		const int n = std::snprintf(buf, sizeof(buf), hex == 'x' ? "%x" : "%X", (unsigned)wrapToUInt32(v));
		w.put(buf, (size_t)n);
		return;
	}
	if (intDigits > 0) {
		// The field width counts the integer digits, the point and the decimals,
		// so "00.00" of 3 gives "03.00".
		const long long width = (long long)intDigits + (decimals > 0 ? decimals + 1 : 0);
		std::snprintf(fmt, sizeof(fmt), "%%0%lld.%if", width, decimals);
	} else if (marked || decimals > 0) {
		std::snprintf(fmt, sizeof(fmt), "%%.%if", decimals);
	} else {
		std::snprintf(fmt, sizeof(fmt), "%%g");
	}
	writeNumber(w, fmt, v);
}

[[noreturn]] void fail(const char* message, const String& format, int position) {
	throw FormatException(Format(message, format, position));
}

} // namespace

Format::Format() : m_count(0) {}

Format::Format(const String& format) : m_format(format), m_count(0) {}

Format::Format(const String& format, const Arg& a1) : m_format(format), m_count(1) {
	m_args[0] = a1;
}

Format::Format(const String& format, const Arg& a1, const Arg& a2) : m_format(format), m_count(2) {
	m_args[0] = a1;
	m_args[1] = a2;
}

Format::Format(const String& format, const Arg& a1, const Arg& a2, const Arg& a3) : m_format(format), m_count(3) {
	m_args[0] = a1;
	m_args[1] = a2;
	m_args[2] = a3;
}

Format::Format(const String& format, const Arg& a1, const Arg& a2, const Arg& a3, const Arg& a4)
	: m_format(format), m_count(4) {
	m_args[0] = a1;
	m_args[1] = a2;
	m_args[2] = a3;
	m_args[3] = a4;
}

Format::Format(const String& format, const Arg& a1, const Arg& a2, const Arg& a3, const Arg& a4, const Arg& a5)
	: m_format(format), m_count(5) {
	m_args[0] = a1;
	m_args[1] = a2;
	m_args[2] = a3;
	m_args[3] = a4;
	m_args[4] = a5;
}

// Members go in reverse order: the arguments last first, then the format text.
Format::~Format() = default;

int Format::format(char* buf, int size) const {
	if (size <= 0 || !buf)
		return 1;
	// Work on a copy of the text: argument strings may allocate in the pool.
	const int n = m_format.length();
	char local[256];
	char* heap = nullptr;
	char* f = local;
	if (n >= (int)sizeof(local)) {
		heap = static_cast<char*>(std::malloc((size_t)n + 1));
		if (!heap)
			throw OutOfMemoryException();
		f = heap;
	}
	m_format.copyTo(f, n + 1);

	Writer w(buf, size);
	try {
		for (int i = 0; i < n; ++i) {
			const char c = f[i];
			if (c == '\\') {
				// The next character is literal; a backslash at the very end writes nothing.
				if (i + 1 < n)
					w.put(f[++i]);
				continue;
			}
			if (c != '{' || i + 1 >= n) {
				w.put(c);
				continue;
			}
			const int p = i + 1;
			const char* close = static_cast<const char*>(std::memchr(f + p, '}', (size_t)(n - p)));
			if (!close)
				fail("Failed to format \"{0}\", '}' not found after {1}", m_format, p);
			const int end = (int)(close - f);
			if (end == p)
				fail("Failed to format \"{0}\", argument index not found at {1}", m_format, p);
			if (f[p] < '0' || f[p] > '9')
				fail("Failed to format \"{0}\", digit expected at {1}", m_format, p);
			const int index = f[p] - '0';
			if (index >= m_count)
				fail("Failed to format \"{0}\", invalid argument index at {1}", m_format, p);
			int patternStart = p + 1;
			if (patternStart < end && f[patternStart] == ',')
				++patternStart;
			const Arg& arg = m_args[index];
			if (arg.type == Arg::TYPE_TEXT) {
				const int len = arg.text.length();
				for (int k = 0; k < len; ++k)
					w.put((char)arg.text.charAt(k));
			} else if (arg.type == Arg::TYPE_NUMBER) {
				writeNumber(w, f + patternStart, (size_t)(end - patternStart), arg.number);
			}
			i = end;
		}
	} catch (...) {
		std::free(heap);
		throw;
	}
	std::free(heap);
	w.finish();
	const long long total = w.length() + 1;
	return total > 0x7fffffff ? 0x7fffffff : (int)total;
}

String::String(const Format& message) : m_h(-1) {
	char buf[512];
	const int n = message.format(buf, sizeof(buf));
	if (n < (int)sizeof(buf)) {
		*this = String(buf);
		return;
	}
	char* big = static_cast<char*>(std::calloc((size_t)n + 2, 1));
	if (!big)
		throw OutOfMemoryException();
	try {
		message.format(big, n + 2);
		*this = String(big);
	} catch (...) {
		std::free(big);
		throw;
	}
	std::free(big);
}

} // namespace lang
