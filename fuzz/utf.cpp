// Bytes of any content through every converter: decoding walks, re-encoding
// each code point in every encoding, and strings made from the bytes.
#include <lang/UTFConverter.h>
#include <lang/String.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Every engine exception announces itself on standard output; keep the
// fuzzer's output readable.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
	if (!std::freopen("/dev/null", "w", stdout))
		return 1;
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	if (size < 1 || size > 65536)
		return 0;
	int encoding = data[0] % 10; // 0 and 9 are no encoding
	const unsigned char* src = data + 1;
	const unsigned char* end = data + size;
	lang::UTFConverter from(encoding);
	lang::UTFConverter to[] = {lang::UTFConverter(1), lang::UTFConverter(2), lang::UTFConverter(4),
							   lang::UTFConverter(5), lang::UTFConverter(7), lang::UTFConverter(8)};

	for (const unsigned char* p = src; p < end;) {
		int consumed = -1;
		unsigned cp = 0;
		bool ok = from.decode(p, end, &consumed, &cp);
		if (consumed < 0 || consumed > end - p || (ok && consumed == 0))
			__builtin_trap();
		if (ok) {
			for (lang::UTFConverter& conv : to) {
				unsigned char buf[4];
				int written = -1;
				bool encoded = conv.encode(buf, buf + sizeof buf, &written, cp);
				if (written < 0 || written > 4 || encoded != (written > 0))
					__builtin_trap();
				unsigned back = 0;
				int used = 0;
				// What one converter writes it reads back, unless it is a lone
				// high surrogate in UTF-16.
				if (encoded && conv.encoding() != 1 && !(cp >= 0xD800 && cp <= 0xDBFF) &&
					(!conv.decode(buf, buf + written, &used, &back) || back != cp || used != written))
					__builtin_trap();
			}
		}
		p += consumed > 0 ? consumed : 1;
	}

	lang::String s(reinterpret_cast<const char*>(src), int(end - src), from);
	if (s.length() > 0 && std::strlen(s.c_str()) == 0)
		__builtin_trap();
	return 0;
}
