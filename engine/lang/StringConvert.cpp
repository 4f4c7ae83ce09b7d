#include <lang/String.h>
#include <lang/Converter.h>
#include <lang/UTFConverter.h>
#include <lang/StringPool.h>
#include <lang/OutOfMemoryException.h>

#include <cstring>

namespace lang {

namespace {

/**
 * One walk over the bytes: returns the UTF-8 length of what decodes, and
 * writes it to out when out is not null (sized by an earlier counting walk).
 */
long long walk(const unsigned char* src, int count, Converter& from, char* out, long long room) {
	const unsigned char* end = src + count;
	UTFConverter utf8(UTFConverter::UTF8);
	long long total = 0;
	while (src < end) {
		int consumed = 0;
		unsigned cp = 0;
		if (!from.decode(src, end, &consumed, &cp)) {
			++src;
			continue;
		}
		// Code points UTF-8 cannot hold (above 0x1FFFFF) are dropped.
		unsigned char bytes[4];
		int len = 0;
		utf8.encode(bytes, bytes + sizeof(bytes), &len, cp);
		if (out && len > 0) {
			if (total + len > room)
				break;
			std::memcpy(out + total, bytes, len);
		}
		total += len;
		src += (consumed > 0 && consumed <= end - src) ? consumed : 1;
	}
	return total;
}

} // namespace

String::String(const char* bytes, int count, Converter& from) : m_h(-1) {
	if (!bytes || count <= 0)
		return;
	const unsigned char* src = reinterpret_cast<const unsigned char*>(bytes);
	const long long total = walk(src, count, from, nullptr, 0);
	if (total <= 0)
		return;
	if (total >= 0x7fffffff)
		throw OutOfMemoryException();
	const int h = allocateBlock((int)total);
	char* dst = StringPool::get().pool.get(h);
	// The second walk writes no more than the first counted, even if the converter disagrees.
	const long long written = walk(src, count, from, dst, total);
	for (long long i = written; i <= total; ++i)
		dst[i] = 0;
	m_h = h;
	if (dst[0] == 0)
		release(); // a leading U+0000 leaves an empty text, which is the null string
}

} // namespace lang
