// Property text of any content: parsing either succeeds or throws
// io::IOException; every key found can be looked up with each getter.
#include <io/IOException.h>
#include <io/PropertyParser.h>
#include <lang/String.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Every engine exception announces itself on standard output; keep the
// fuzzer's output readable.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
	if (!std::freopen("/dev/null", "w", stdout))
		return 1;
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	std::string text(reinterpret_cast<const char*>(data), size);
	text = text.c_str(); // the text ends at its first zero byte, as a lang::String does
	io::PropertyParser p;
	try {
		p.parse(text.c_str(), "fuzz");
	} catch (const io::IOException&) {
		return 0;
	}
	std::vector<std::string> keys;
	for (io::PropertyParser::Iterator it = p.begin(); it != p.end(); ++it)
		keys.emplace_back(it.key());
	for (const std::string& k : keys) {
		if (!p.getString(k.c_str()))
			__builtin_trap(); // every iterated key must be found
		try {
			p.getBoolean(k.c_str());
		} catch (const io::IOException&) {
		}
		try {
			p.getInt(k.c_str());
		} catch (const io::IOException&) {
		}
		try {
			p.getFloat(k.c_str());
		} catch (const io::IOException&) {
		}
	}
	return 0;
}
