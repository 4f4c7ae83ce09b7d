#include <lang/String.h>
#include <lang/Converter.h>
#include <lang/StringPool.h>
#include <lang/OutOfMemoryException.h>

namespace lang {

namespace {

/** Bytes of the UTF-8 form of cp; 0 above 0x1FFFFF (such code points are dropped). */
int utf8Length(unsigned cp) {
	if (cp < 0x80)
		return 1;
	if (cp < 0x800)
		return 2;
	if (cp <= 0xFFFF)
		return 3;
	if (cp <= 0x1FFFFF)
		return 4;
	return 0;
}

void utf8Write(char* dst, unsigned cp, int len) {
	unsigned char* d = reinterpret_cast<unsigned char*>(dst);
	switch (len) {
	case 1: d[0] = (unsigned char)cp; break;
	case 2:
		d[0] = (unsigned char)(0xC0 | (cp >> 6));
		d[1] = (unsigned char)(0x80 | (cp & 0x3F));
		break;
	case 3:
		d[0] = (unsigned char)(0xE0 | (cp >> 12));
		d[1] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
		d[2] = (unsigned char)(0x80 | (cp & 0x3F));
		break;
	case 4:
		d[0] = (unsigned char)(0xF0 | (cp >> 18));
		d[1] = (unsigned char)(0x80 | ((cp >> 12) & 0x3F));
		d[2] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
		d[3] = (unsigned char)(0x80 | (cp & 0x3F));
		break;
	default: break;
	}
}

/**
 * One walk over the bytes: returns the UTF-8 length of what decodes, and
 * writes it to out when out is not null (sized by an earlier counting walk).
 */
long long walk(const unsigned char* src, int count, Converter& from, char* out, long long room) {
	const unsigned char* end = src + count;
	long long total = 0;
	while (src < end) {
		int consumed = 0;
		unsigned cp = 0;
		if (!from.decode(src, end, &consumed, &cp)) {
			++src;
			continue;
		}
		const int len = utf8Length(cp);
		if (out && len > 0) {
			if (total + len > room)
				break;
			utf8Write(out + total, cp, len);
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
