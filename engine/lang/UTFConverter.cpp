#include <lang/UTFConverter.h>

namespace lang {

namespace {

/** Byte length of a code point's UTF-8 form; 0 when it has none. */
int utf8Length(unsigned cp) {
	if (cp < 0x80)
		return 1;
	if (cp < 0x800)
		return 2;
	if (cp < 0x10000)
		return 3;
	if (cp <= 0x1FFFFF)
		return 4;
	return 0;
}

unsigned read16(const unsigned char* p, bool bigEndian) {
	return bigEndian ? (unsigned(p[0]) << 8 | p[1]) : (unsigned(p[1]) << 8 | p[0]);
}

unsigned read32(const unsigned char* p, bool bigEndian) {
	if (bigEndian)
		return unsigned(p[0]) << 24 | unsigned(p[1]) << 16 | unsigned(p[2]) << 8 | p[3];
	return unsigned(p[3]) << 24 | unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0];
}

void write16(unsigned char* p, unsigned v, bool bigEndian) {
	p[bigEndian ? 0 : 1] = static_cast<unsigned char>(v >> 8);
	p[bigEndian ? 1 : 0] = static_cast<unsigned char>(v);
}

void write32(unsigned char* p, unsigned v, bool bigEndian) {
	for (int i = 0; i < 4; ++i)
		p[bigEndian ? i : 3 - i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

bool decodeUtf8(const unsigned char* src, long avail, int* consumed, unsigned* cp) {
	unsigned lead = src[0];
	*consumed = 1;
	if (lead < 0x80) {
		*cp = lead;
		return true;
	}
	// 110xxxxx has one continuation byte, 1110xxxx two, 11110xxx three;
	// 10xxxxxx in lead position and 11111xxx are malformed.
	int k;
	unsigned mask;
	if ((lead & 0xE0) == 0xC0) {
		k = 1;
		mask = 0x1F;
	} else if ((lead & 0xF0) == 0xE0) {
		k = 2;
		mask = 0x0F;
	} else if ((lead & 0xF8) == 0xF0) {
		k = 3;
		mask = 0x07;
	} else {
		return false;
	}
	if (avail < k + 1)
		return false;
	unsigned value = lead & mask;
	for (int i = 1; i <= k; ++i) {
		if ((src[i] & 0xC0) != 0x80)
			return false;
		value = value << 6 | (src[i] & 0x3F);
	}
	*cp = value;
	*consumed = k + 1;
	return true;
}

bool decodeUtf16(const unsigned char* src, long avail, bool bigEndian, int* consumed, unsigned* cp) {
	if (avail < 2) {
		*consumed = 0;
		return false;
	}
	unsigned unit = read16(src, bigEndian);
	*consumed = 2;
	if (unit < 0xD800 || unit > 0xDBFF) {
		*cp = unit; // lone low surrogates pass through
		return true;
	}
	if (avail < 4)
		return false;
	unsigned low = read16(src + 2, bigEndian);
	if (low < 0xDC00 || low > 0xDFFF)
		return false; // high surrogate without its pair: dropped
	*cp = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
	*consumed = 4;
	return true;
}

bool encodeUtf8(unsigned char* dst, long room, int* written, unsigned cp) {
	int n = utf8Length(cp);
	if (n == 0 || room < n)
		return false;
	switch (n) {
	case 1:
		dst[0] = static_cast<unsigned char>(cp);
		break;
	case 2:
		dst[0] = static_cast<unsigned char>(0xC0 | cp >> 6);
		dst[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
		break;
	case 3:
		dst[0] = static_cast<unsigned char>(0xE0 | cp >> 12);
		dst[1] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
		dst[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
		break;
	default:
		dst[0] = static_cast<unsigned char>(0xF0 | cp >> 18);
		dst[1] = static_cast<unsigned char>(0x80 | (cp >> 12 & 0x3F));
		dst[2] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
		dst[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
		break;
	}
	*written = n;
	return true;
}

bool encodeUtf16(unsigned char* dst, long room, bool bigEndian, int* written, unsigned cp) {
	if (cp < 0x10000) {
		if (room < 2)
			return false;
		write16(dst, cp, bigEndian);
		*written = 2;
		return true;
	}
	// Beyond 0x10FFFF a surrogate pair cannot express the value.
	if (cp > 0x10FFFF || room < 4)
		return false;
	write16(dst, 0xD800 + ((cp - 0x10000) >> 10), bigEndian);
	write16(dst + 2, 0xDC00 | (cp & 0x3FF), bigEndian);
	*written = 4;
	return true;
}

} // namespace

UTFConverter::UTFConverter(int encoding) : m_encoding(encoding) {
	if (m_encoding == UTF16)
		m_encoding = UTF16LE;
	else if (m_encoding == UTF32)
		m_encoding = UTF32LE;
}

bool UTFConverter::decode(const unsigned char* src, const unsigned char* srcEnd, int* consumed, unsigned* codePoint) {
	long avail = src && srcEnd > src ? srcEnd - src : 0;
	*consumed = 0;
	switch (m_encoding) {
	case ASCII:
		if (avail < 1)
			return false;
		*codePoint = src[0];
		*consumed = 1;
		return true;
	case UTF8:
		if (avail < 1)
			return false;
		return decodeUtf8(src, avail, consumed, codePoint);
	case UTF16BE:
	case UTF16LE:
		return decodeUtf16(src, avail, m_encoding == UTF16BE, consumed, codePoint);
	case UTF32BE:
	case UTF32LE:
		if (avail < 4)
			return false;
		*codePoint = read32(src, m_encoding == UTF32BE);
		*consumed = 4;
		return true;
	default:
		return false;
	}
}

bool UTFConverter::encode(unsigned char* dst, unsigned char* dstEnd, int* written, unsigned codePoint) {
	long room = dst && dstEnd > dst ? dstEnd - dst : 0;
	*written = 0;
	switch (m_encoding) {
	case ASCII:
		if (room < 1 || codePoint >= 128)
			return false;
		dst[0] = static_cast<unsigned char>(codePoint);
		*written = 1;
		return true;
	case UTF8:
		return encodeUtf8(dst, room, written, codePoint);
	case UTF16BE:
	case UTF16LE:
		return encodeUtf16(dst, room, m_encoding == UTF16BE, written, codePoint);
	case UTF32BE:
	case UTF32LE:
		if (room < 4)
			return false;
		write32(dst, codePoint, m_encoding == UTF32BE);
		*written = 4;
		return true;
	default:
		return false;
	}
}

} // namespace lang
