#ifndef TESTS_ENGINE_IO_IOTEST_H
#define TESTS_ENGINE_IO_IOTEST_H

#include <io/IOException.h>
#include <lang/String.h>
#include <string>

namespace test {

inline std::string str(const lang::String& s) {
	return std::string(s.c_str());
}

/** The message of the io::IOException that f throws, or "<no exception>". */
template <class F>
std::string ioMessage(F f) {
	try {
		f();
	} catch (const io::IOException& e) {
		return str(lang::String(e.getMessage()));
	}
	return "<no exception>";
}

} // namespace test

#endif
