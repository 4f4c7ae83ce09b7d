#include <lang/String.h>
#include <lang/StringPool.h>
#include <lang/OutOfMemoryException.h>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lang {

namespace {

inline MemoryPool& pool() {
	return StringPool::get().pool;
}

// Powers of 31 modulo 2^32, for hashing several bytes per step.
constexpr uint32_t POW31_4 = 31u * 31u * 31u * 31u;
constexpr uint32_t POW31_8 = POW31_4 * POW31_4;
constexpr uint32_t POW31_12 = POW31_8 * POW31_4;
constexpr uint32_t POW31_16 = POW31_8 * POW31_8;

} // namespace

const char* String::text() const {
	return m_h < 0 ? "" : pool().get(m_h);
}

int String::allocateBlock(int n) {
	if (n <= 0 || n >= 0x7fffffff)
		throw OutOfMemoryException();
	return pool().allocate(n + 1);
}

String String::adopt(int handle) {
	String s;
	s.m_h = handle;
	return s;
}

void String::release() {
	if (m_h >= 0) {
		MemoryPool& p = pool();
		if (--p.refCount(m_h) == 0)
			p.free(m_h);
		m_h = -1;
	}
}

String::String(const char* s) : m_h(-1) {
	if (!s || !*s)
		return;
	const size_t n = std::strlen(s);
	if (n >= 0x7fffffff)
		throw OutOfMemoryException();
	const int h = allocateBlock((int)n);
	std::memcpy(pool().get(h), s, n + 1);
	m_h = h;
}

String::String(const String& other) : m_h(other.m_h) {
	if (m_h >= 0)
		++pool().refCount(m_h);
}

String::~String() {
	release();
}

String& String::operator=(const String& other) {
	const int h = other.m_h;
	if (h >= 0)
		++pool().refCount(h);
	release();
	m_h = h;
	return *this;
}

String& String::operator=(String&& other) noexcept {
	if (this != &other) {
		const int h = other.m_h;
		other.m_h = -1;
		release();
		m_h = h;
	}
	return *this;
}

int String::length() const {
	return m_h < 0 ? 0 : (int)std::strlen(pool().get(m_h));
}

int String::charAt(int i) const {
	return (unsigned char)text()[i];
}

void String::getChars(int begin, int end, char* dst) const {
	if (begin < end)
		std::memcpy(dst, text() + begin, (size_t)(end - begin));
}

void String::copyTo(char* dst, int size) const {
	if (size < 1)
		return;
	const char* s = text();
	int n = (int)strnlen(s, (size_t)size - 1);
	std::memcpy(dst, s, (size_t)n);
	dst[n] = 0;
}

const char* String::c_str() const {
	StringPool& sp = StringPool::get();
	const char* s = text();
	const int n = (int)strnlen(s, C_STR_MAX_LENGTH);
	int start = sp.ringPos;
	if (sp.ringPos + n > StringPool::RING_SIZE - 1) {
		start = 0;
		sp.ringPos = n + 1;
	} else {
		sp.ringPos += n + 1;
	}
	char* dst = sp.ring + start;
	std::memcpy(dst, s, (size_t)n);
	dst[n] = 0;
	return dst;
}

bool String::startsWith(const String& prefix) const {
	if (prefix.m_h < 0)
		return true;
	const char* s = text();
	const char* p = prefix.text();
	while (*p) {
		if (*s != *p)
			return false;
		++s;
		++p;
	}
	return true;
}

int String::hashCode() const {
	if (m_h < 0)
		return 0;
	// h = 31 * h + signed byte, taken several bytes at a time: a block of k bytes
	// adds its own weighted sum to h * 31^k, which keeps one multiply per block on
	// the dependency chain. Payloads are 4-byte aligned and the arena is padded
	// past its end, so whole blocks can be read up to the one holding the terminator.
	const char* s = pool().get(m_h);
	uint32_t h = 0;
#if defined(__SSE2__)
	{
		const __m128i zero = _mm_setzero_si128();
		const __m128i w16 = _mm_setr_epi16(29791, 961, 31, 1, 29791, 961, 31, 1);
		const __m128i wHigh = _mm_setr_epi32((int)POW31_12, 0, (int)POW31_8, 0);
		const __m128i wLow = _mm_setr_epi32((int)POW31_4, 0, 1, 0);
		for (;;) {
			const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
			if (_mm_movemask_epi8(_mm_cmpeq_epi8(c, zero)))
				break;
			// Sign-extend to 16 bits; pairs of products sum into 32-bit lanes.
			const __m128i lo = _mm_madd_epi16(_mm_srai_epi16(_mm_unpacklo_epi8(c, c), 8), w16);
			const __m128i hi = _mm_madd_epi16(_mm_srai_epi16(_mm_unpackhi_epi8(c, c), 8), w16);
			// Lanes 0 and 2 now hold the sums of four bytes each.
			const __m128i a = _mm_add_epi32(lo, _mm_srli_epi64(lo, 32));
			const __m128i b = _mm_add_epi32(hi, _mm_srli_epi64(hi, 32));
			const __m128i sum = _mm_add_epi32(_mm_mul_epu32(a, wHigh), _mm_mul_epu32(b, wLow));
			const uint32_t v = (uint32_t)_mm_cvtsi128_si32(sum) + (uint32_t)_mm_cvtsi128_si32(_mm_srli_si128(sum, 8));
			h = h * POW31_16 + v;
			s += 16;
		}
	}
#endif
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
	for (;;) {
		uint32_t w;
		std::memcpy(&w, s, sizeof(w));
		if ((w - 0x01010101u) & ~w & 0x80808080u)
			break; // a zero byte in this word
		const uint32_t b0 = (uint32_t)(int32_t)(int8_t)w;
		const uint32_t b1 = (uint32_t)(int32_t)(int8_t)(w >> 8);
		const uint32_t b2 = (uint32_t)(int32_t)(int8_t)(w >> 16);
		const uint32_t b3 = (uint32_t)(int32_t)(int8_t)(w >> 24);
		h = h * POW31_4 + (b0 * 29791u + b1 * 961u + b2 * 31u + b3);
		s += 4;
	}
#endif
	for (; *s; ++s)
		h = 31u * h + (uint32_t)(int32_t)(signed char)*s;
	return (int)h;
}

int String::indexOf(char c, int start) const {
	if (m_h < 0)
		return -1;
	const char* s = text();
	if (start < 0)
		start = 0;
	const int n = (int)std::strlen(s);
	for (int i = start; i < n; ++i)
		if (s[i] == c)
			return i;
	return -1;
}

String String::substring(int start, int end) const {
	if (start >= end)
		return String();
	const int h = allocateBlock(end - start);
	char* dst = pool().get(h);
	std::memcpy(dst, text() + start, (size_t)(end - start)); // text() fetched after the allocation
	dst[end - start] = 0;
	return adopt(h);
}

String String::substring(int start) const {
	return substring(start, length());
}

String String::toUpperCase() const {
	const int n = length();
	if (n == 0)
		return String();
	const int h = allocateBlock(n);
	char* dst = pool().get(h);
	const char* s = text();
	for (int i = 0; i <= n; ++i) {
		const char c = s[i];
		dst[i] = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
	}
	return adopt(h);
}

int String::compareTo(const String& other) const {
	if (m_h < 0 && other.m_h < 0)
		return 0;
	if (m_h < 0)
		return -(unsigned char)other.text()[0];
	return std::strcmp(text(), other.text());
}

int String::compareTo(const char* s) const {
	return std::strcmp(text(), s ? s : "");
}

String String::operator+(const char* s) const {
	if (!s)
		s = "";
	const long long n1 = length();
	const long long n2 = (long long)std::strlen(s);
	if (n1 + n2 == 0)
		return String();
	if (n1 + n2 >= 0x7fffffff)
		throw OutOfMemoryException();
	const int h = allocateBlock((int)(n1 + n2));
	char* dst = pool().get(h);
	std::memcpy(dst, text(), (size_t)n1);
	std::memcpy(dst + n1, s, (size_t)n2 + 1);
	return adopt(h);
}

String String::operator+(const String& other) const {
	const long long n1 = length();
	const long long n2 = other.length();
	if (n1 + n2 == 0)
		return String();
	if (n1 + n2 >= 0x7fffffff)
		throw OutOfMemoryException();
	const int h = allocateBlock((int)(n1 + n2));
	char* dst = pool().get(h);
	std::memcpy(dst, text(), (size_t)n1);
	std::memcpy(dst + n1, other.text(), (size_t)n2 + 1);
	return adopt(h);
}

bool String::getBytes(char* dst, int size) const {
	return cpy(dst, size, text());
}

bool String::cpy(char* dst, int size, const char* s) {
	if (!dst || size < 1)
		return false;
	if (!s)
		s = "";
	const size_t n = strnlen(s, (size_t)size);
	const size_t k = n < (size_t)size ? n : (size_t)size - 1;
	std::memmove(dst, s, k);
	dst[k] = 0;
	return n < (size_t)size;
}

bool String::cat(char* dst, int size, const char* s) {
	if (!s)
		s = "";
	if (!dst || size < 1)
		return *s == 0;
	const size_t d = strnlen(dst, (size_t)size);
	if (d >= (size_t)size)
		return *s == 0; // dst is not terminated within size: leave it alone
	return cpy(dst + d, size - (int)d, s);
}

} // namespace lang
