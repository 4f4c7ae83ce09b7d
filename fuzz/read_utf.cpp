// A data stream over bytes of any content, read as a sequence of strings in
// the three string forms until the bytes run out.
#include "support/MemoryInputStream.h"

#include <io/DataInputStream.h>
#include <io/IOException.h>
#include <lang/Array.h>
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
	if (size < 1)
		return 0;
	unsigned mode = data[0];
	test::MemoryInputStream mem(data + 1, size - 1);
	io::DataInputStream in(&mem);
	char buf[64];
	lang::Array<char> chars;
	try {
		for (int i = 0; i < 1000; ++i) {
			switch ((mode >> (2 * (i % 4))) & 3) {
			case 0:
			case 3: {
				lang::String s = in.readUTF();
				(void)s.c_str();
				break;
			}
			case 1:
				in.readUTF(buf, int(sizeof buf));
				if (std::strlen(buf) >= sizeof buf)
					__builtin_trap();
				break;
			case 2:
				in.readUTFChars(chars);
				if (chars.size() < 1 || chars[chars.size() - 1] != 0)
					__builtin_trap();
				break;
			}
		}
	} catch (const io::IOException&) {
	}
	return 0;
}
